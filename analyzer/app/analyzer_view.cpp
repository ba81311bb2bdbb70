#include "analyzer/app/analyzer_view.h"

#include <QPainter>

namespace quenda {

CAnalyzerView::CAnalyzerView(CAnalyzerDoc& doc, QWidget* parent) : PictureView(parent), doc_(doc) {
  // Zoom is a whole factor: Zoom Out stops at 1 (100 %).
  SetZoomLimits({1601, 200});
  connect(this, &PictureView::MousePressed, this,
          [this](const QPoint& image, Qt::MouseButton button, Qt::KeyboardModifiers) {
            if (button != Qt::LeftButton) return;
            if (doc_.painting()) {
              doc_.FillRegionAt(image.x(), image.y());
              return;
            }
            if (!doc_.lineSettingsOpen()) return;
            if (image.x() < 0 || image.y() < 0 || image.x() >= doc_.image().width() ||
                image.y() >= doc_.image().height())
              return;
            doc_.PressTestRectangle(ToScreenOrder(image));
          });
  connect(this, &PictureView::MouseMoved, this,
          [this](const QPoint& image, Qt::MouseButtons buttons) {
            if (buttons & Qt::LeftButton) doc_.DragTestRectangle(ToScreenOrder(image));
          });
  connect(this, &PictureView::MouseReleased, this,
          [this](const QPoint&, Qt::MouseButton) { doc_.ReleaseTestRectangle(); });
  doc_.AddListener(this);
  ShowDisplay();
}

CAnalyzerView::~CAnalyzerView() {
  doc_.RemoveListener(this);
}

ScreenPoint CAnalyzerView::ToScreenOrder(const QPoint& image) const {
  return {image.x(), doc_.image().height() - 1 - image.y()};
}

void CAnalyzerView::ShowDisplay() {
  if (doc_.image().empty()) {
    ClearPicture();
    shownPath_.clear();
    return;
  }
  SetPicture(doc_.image().display);
  // A drawing just loaded shows at zoom 1.
  if (doc_.drawingPath() != shownPath_) {
    shownPath_ = doc_.drawingPath();
    SetZoomLevel(1);
  }
}

void CAnalyzerView::OnUpdate(const AnalyzerUpdate& update) {
  switch (update.hint) {
    case AnalyzerHint::PictureChanged:
      ShowDisplay();
      break;
    case AnalyzerHint::RedrawRect: {
      const PixelRect& r = update.rect;
      UpdatePicture(doc_.image().display, QRect(r.x0, r.y0, r.x1 - r.x0, r.y1 - r.y0));
      break;
    }
    case AnalyzerHint::RectangleMoved:
    case AnalyzerHint::StateChanged:
      viewport()->update();
      break;
    case AnalyzerHint::TitleChanged:
    case AnalyzerHint::SettingsChanged:
    case AnalyzerHint::ColorsChanged:  // the drawing shows no colours outside paint mode
      break;
  }
}

QRect CAnalyzerView::TestRectangleOnWindow() const {
  const TestRectangle& t = doc_.testRectangle();
  const PixelRect r = TestRectanglePixels(t, doc_.image().height());
  return ImageToWindow(QRect(r.x0, r.y0, r.x1 - r.x0, r.y1 - r.y0));
}

void CAnalyzerView::PaintOverlay(QPainter& painter) {
  if (!doc_.lineSettingsOpen() || !hasPicture()) return;
  const QRect shown = TestRectangleOnWindow();
  // Two colours, so the frame shows on white paper and on dark pencil alike.
  painter.setBrush(Qt::NoBrush);
  painter.setPen(QPen(QColor(0, 0, 0), 3));
  painter.drawRect(shown.adjusted(-2, -2, 1, 1));
  painter.setPen(QPen(QColor(255, 200, 0), 1));
  painter.drawRect(shown.adjusted(-2, -2, 1, 1));
}

}  // namespace quenda
