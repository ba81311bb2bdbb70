#include "analyzer/app/analyzer_view.h"

#include <QPainter>
#include <algorithm>

#include "analyzer/core/shown_picture.h"

namespace quenda {

CAnalyzerView::CAnalyzerView(CAnalyzerDoc& doc, QWidget* parent) : PictureView(parent), doc_(doc) {
  // Zoom is a whole factor: Zoom Out stops at 1 (100 %).
  SetZoomLimits({1601, 200});
  connect(this, &PictureView::MousePressed, this,
          [this](const QPoint& image, Qt::MouseButton button, Qt::KeyboardModifiers) {
            if (doc_.painting()) {
              const PaintButton which = button == Qt::LeftButton    ? PaintButton::Left
                                        : button == Qt::RightButton ? PaintButton::Right
                                                                    : PaintButton::None;
              doc_.PaintPress({image.x(), image.y()}, OnWindow(image), which);
              dragFrom_ = dragTo_ = image;
              dragging_ = which != PaintButton::None;
              return;
            }
            if (button != Qt::LeftButton) return;
            if (!doc_.lineSettingsOpen()) return;
            if (image.x() < 0 || image.y() < 0 || image.x() >= doc_.image().width() ||
                image.y() >= doc_.image().height())
              return;
            doc_.PressTestRectangle(ToScreenOrder(image));
          });
  connect(this, &PictureView::MouseMoved, this,
          [this](const QPoint& image, Qt::MouseButtons buttons) {
            if (doc_.painting()) {
              if (!dragging_) return;
              doc_.PaintMove({image.x(), image.y()});
              dragTo_ = image;
              if (ShowsDragRectangle()) viewport()->update();
              return;
            }
            if (buttons & Qt::LeftButton) doc_.DragTestRectangle(ToScreenOrder(image));
          });
  connect(this, &PictureView::MouseReleased, this, [this](const QPoint& image, Qt::MouseButton) {
    if (doc_.painting()) {
      const bool wasShown = ShowsDragRectangle();
      dragging_ = false;
      doc_.PaintRelease({image.x(), image.y()}, OnWindow(image));
      if (wasShown) viewport()->update();
      return;
    }
    doc_.ReleaseTestRectangle();
  });
  doc_.AddListener(this);
  ShowDisplay();
}

CAnalyzerView::~CAnalyzerView() {
  doc_.RemoveListener(this);
}

ImagePoint CAnalyzerView::OnWindow(const QPoint& image) const {
  // Whole zoom factors only: the window distance of a drag is the image distance times it.
  return {image.x() * zoomLevel(), image.y() * zoomLevel()};
}

bool CAnalyzerView::ShowsDragRectangle() const {
  const PaintTool tool = doc_.tool();
  return dragging_ && (tool == PaintTool::RegionFill || tool == PaintTool::AnimBrushRect ||
                       tool == PaintTool::RubberRect || tool == PaintTool::UnRubberRect);
}

ScreenPoint CAnalyzerView::ToScreenOrder(const QPoint& image) const {
  return {image.x(), doc_.image().height() - 1 - image.y()};
}

QSize CAnalyzerView::sourceSize() const {
  const WorkingImage& shown = doc_.showsPicture() ? doc_.image() : batch_;
  if (shown.empty()) return {};
  return {shown.width(), shown.height()};
}

void CAnalyzerView::Sample(const SampleGrid& grid, RasterView out) const {
  // A picture of another size than the one drawn (a message box let the window repaint before
  // the view was told) shows the background.
  if (sourceSize() != pictureSize()) {
    for (int j = 0; j < grid.rows; ++j) std::fill_n(out.Row(j), std::size_t(grid.columns) * 3, 128);
    return;
  }
  if (doc_.showsPicture())
    doc_.ComposeShown(grid, out);
  else
    SampleGrey(batch_, grid, out);
}

void CAnalyzerView::ShowBatchDrawing(WorkingImage drawing) {
  if (doc_.showsPicture()) return;
  batch_ = std::move(drawing);
  SetPictureSource(this);
}

void CAnalyzerView::ShowDisplay() {
  if (sourceSize().isEmpty()) {
    ClearPicture();
    shownPath_.clear();
    return;
  }
  SetPictureSource(this);
  // A drawing just loaded shows at zoom 1.
  if (doc_.drawingPath() != shownPath_) {
    shownPath_ = doc_.drawingPath();
    SetZoomLevel(1);
  }
}

void CAnalyzerView::OnUpdate(const AnalyzerUpdate& update) {
  switch (update.hint) {
    case AnalyzerHint::PictureChanged:
      batch_ = WorkingImage();
      ShowDisplay();
      break;
    case AnalyzerHint::RedrawRect: {
      if (!drawsFromSource() || pictureSize() != sourceSize()) {
        ShowDisplay();
        break;
      }
      const PixelRect& r = update.rect;
      RefreshPicture(QRect(r.x0, r.y0, r.x1 - r.x0, r.y1 - r.y0));
      break;
    }
    case AnalyzerHint::RectangleMoved:
    case AnalyzerHint::StateChanged:
      if (!doc_.painting()) dragging_ = false;
      viewport()->update();
      break;
    case AnalyzerHint::TitleChanged:
    case AnalyzerHint::SettingsChanged:
    case AnalyzerHint::ColorsChanged:  // the document redraws what shows colours
      break;
  }
}

QRect CAnalyzerView::TestRectangleOnWindow() const {
  const TestRectangle& t = doc_.testRectangle();
  const PixelRect r = TestRectanglePixels(t, doc_.image().height());
  return ImageToWindow(QRect(r.x0, r.y0, r.x1 - r.x0, r.y1 - r.y0));
}

void CAnalyzerView::PaintOverlay(QPainter& painter) {
  if (doc_.painting() && ShowsDragRectangle() && dragFrom_ != dragTo_) {
    // The dragged rectangle with a raised-and-sunken edge.
    const QRect dragged = ImageToWindow(QRect(dragFrom_, dragTo_).normalized());
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(QColor(255, 255, 255), 1));
    painter.drawRect(dragged);
    painter.setPen(QPen(QColor(64, 64, 64), 1));
    painter.drawRect(dragged.adjusted(1, 1, 1, 1));
    return;
  }
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
