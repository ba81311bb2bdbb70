#include "scanner/app/scanner_view.h"

#include <QMouseEvent>
#include <QPainter>

namespace quenda::scanner {

CScannerView::CScannerView(CScannerDoc& doc, QWidget* parent) : PictureView(parent), doc_(doc) {
  doc_.AddListener(this);
  ShowPicture();
}

CScannerView::~CScannerView() {
  doc_.RemoveListener(this);
}

void CScannerView::ShowPicture() {
  const Raster& grey = doc_.picture().picture;
  if (grey.empty()) {
    ClearPicture();
    return;
  }
  QImage shown = NewPicture(grey.width(), grey.height());
  RasterView rows = PictureRows(shown);
  for (int y = 0; y < grey.height(); ++y) {
    const uint8_t* from = grey.Row(y);
    uint8_t* to = rows.Row(y);
    for (int x = 0; x < grey.width(); ++x) to[3 * x] = to[3 * x + 1] = to[3 * x + 2] = from[x];
  }
  SetPicture(std::move(shown));
}

void CScannerView::OnUpdate(const ScannerUpdate& update) {
  switch (update.hint) {
    case ScannerHint::Selection:
      viewport()->update();
      return;
    case ScannerHint::FitPreview:
      ShowPicture();
      ZoomOneToOne();
      SetScrollPosition({0, 0});
      return;
    case ScannerHint::Everything:
    case ScannerHint::Picture:
      ShowPicture();
      return;
  }
}

QRect CScannerView::SelectionInWindow() const {
  if (!doc_.scanModeActive() || !hasPicture()) return {};
  const Selection& s = doc_.selection();
  return ImageToWindow(QRect(s.left, s.bottom, s.right - s.left, s.top - s.bottom));
}

void CScannerView::PaintOverlay(QPainter& painter) {
  const QRect area = SelectionInWindow();
  if (area.isEmpty()) return;
  // Red stands out from grey pencil lines and white paper alike.
  painter.setPen(QPen(QColor(220, 0, 0), 2));
  painter.drawRect(area.adjusted(0, 0, -1, -1));
  const int h = 3;
  const QPoint centre = area.center();
  const QPoint handles[] = {area.topLeft(),
                            area.topRight(),
                            area.bottomLeft(),
                            area.bottomRight(),
                            {area.left(), centre.y()},
                            {area.right(), centre.y()},
                            {centre.x(), area.top()},
                            {centre.x(), area.bottom()}};
  painter.setPen(QPen(QColor(220, 0, 0), 1));
  for (const QPoint& p : handles) {
    const QRect box(p - QPoint(h, h), QSize(2 * h, 2 * h));
    painter.fillRect(box, Qt::white);
    painter.drawRect(box);
  }
}

void CScannerView::mousePressEvent(QMouseEvent* event) {
  if (panMode() || event->button() != Qt::LeftButton || !doc_.scanModeActive() || !hasPicture()) {
    PictureView::mousePressEvent(event);
    return;
  }
  const QPoint window = event->position().toPoint();
  const QPoint pixel = WindowToImage(window);
  handle_ = PickHandle(doc_.selection(), pixel.x(), pixel.y());
  reference_ = window;
  // The viewport keeps the mouse while the button is held.
  dragging_ = true;
}

void CScannerView::mouseMoveEvent(QMouseEvent* event) {
  if (!dragging_) {
    PictureView::mouseMoveEvent(event);
    return;
  }
  // Window pixels, also when zoomed; upwards is positive.
  const QPoint window = event->position().toPoint();
  const int dx = window.x() - reference_.x();
  const int dy = reference_.y() - window.y();
  if ((dx != 0 || dy != 0) && doc_.MoveSelection(handle_, dx, dy)) reference_ = window;
}

void CScannerView::mouseReleaseEvent(QMouseEvent* event) {
  if (!dragging_) {
    PictureView::mouseReleaseEvent(event);
    return;
  }
  dragging_ = false;
}

}  // namespace quenda::scanner
