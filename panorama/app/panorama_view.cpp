#include "panorama/app/panorama_view.h"

#include <QPainter>
#include <QPixmap>
#include <algorithm>
#include <cstring>

#include "ui/tool_art.h"

namespace quenda {

CPanoramaView::CPanoramaView(CPanoramaDoc& doc, QWidget* parent) : PictureView(parent), doc_(doc) {
  // Darker than the checkerboard's grey, so that the picture's edge shows in See Through.
  SetBackground(QColor(64, 64, 64));
  connect(this, &PictureView::MousePressed, this,
          [this](const QPoint& image, Qt::MouseButton button, Qt::KeyboardModifiers) {
            Pressed(image, button);
          });
  connect(this, &PictureView::MouseMoved, this, &CPanoramaView::Moved);
  connect(this, &PictureView::MouseReleased, this, [this](const QPoint&, Qt::MouseButton button) {
    if (button == Qt::LeftButton) doc_.BrushRelease();
  });
  doc_.AddListener(this);
  UpdateToolCursor();
  ComposeAll();
}

CPanoramaView::~CPanoramaView() {
  doc_.RemoveListener(this);
}

QCursor CPanoramaView::ClosingCursor() {
  // A cross with a ring round its centre: the click lands on the polygon's first point.
  QPixmap picture(32, 32);
  picture.fill(Qt::transparent);
  QPainter painter(&picture);
  painter.setRenderHint(QPainter::Antialiasing);
  for (const auto& [colour, width] : {std::pair{QColor(255, 255, 255), 3}, {QColor(0, 0, 0), 1}}) {
    painter.setPen(QPen(colour, width));
    painter.drawLine(16, 2, 16, 11);
    painter.drawLine(16, 21, 16, 30);
    painter.drawLine(2, 16, 11, 16);
    painter.drawLine(21, 16, 30, 16);
    painter.drawEllipse(QPointF(16, 16), 6, 6);
  }
  return QCursor(picture, 16, 16);
}

void CPanoramaView::OnUpdate(const PanoramaUpdate& update) {
  switch (update.hint) {
    case PanoramaHint::NewPicture:
      ComposeAll();
      break;
    case PanoramaHint::MaskChanged:
      if (update.rect.right < update.rect.left)
        ComposeAll();
      else
        ComposeArea(update.rect);
      break;
    case PanoramaHint::PolygonChanged:
      viewport()->update();
      break;
    case PanoramaHint::StateChanged:
      UpdateToolCursor();
      SetZoomLevel(doc_.zoomLevel());
      // The tool and brush leave the picture as it is; the view mode and its colours do not.
      if (doc_.viewMode() != shownMode_ || !(doc_.viewSettings() == shownSettings_)) ComposeAll();
      viewport()->update();
      break;
  }
}

void CPanoramaView::ComposeAll() {
  shownMode_ = doc_.viewMode();
  shownSettings_ = doc_.viewSettings();
  if (!doc_.loaded()) {
    composed_ = Raster();
    ClearPicture();
    return;
  }
  SetZoomLevel(doc_.zoomLevel());
  composed_ = doc_.ComposeView();
  SetPicture(ConstRasterView(composed_));
}

void CPanoramaView::ComposeArea(const MaskRect& rect) {
  if (composed_.width() != doc_.width() || composed_.height() != doc_.height()) {
    ComposeAll();
    return;
  }
  // The box starts on a whole pair of checkerboard cells, so that composing it alone lays
  // the cells where the whole picture has them.
  const int pair = 2 * std::max(1, shownSettings_.gridSize);
  const int left = std::max(0, rect.left) / pair * pair;
  const int bottom = std::max(0, rect.bottom) / pair * pair;
  const int right = std::min(doc_.width() - 1, rect.right);
  const int top = std::min(doc_.height() - 1, rect.top);
  if (right < left || top < bottom) return;
  auto part = [&](const Raster& whole) {
    ConstRasterView view = whole.view();
    view.pixels = whole.At(left, bottom);
    view.width = right - left + 1;
    view.height = top - bottom + 1;
    return view;
  };
  const Raster box =
      quenda::ComposeView(part(doc_.image()), part(doc_.mask()), shownMode_, shownSettings_);
  for (int y = 0; y < box.height(); ++y)
    std::memcpy(composed_.At(left, bottom + y), box.Row(y), std::size_t(box.width()) * 3);
  UpdatePicture(composed_, QRect(left, bottom, box.width(), box.height()));
}

void CPanoramaView::UpdateToolCursor() {
  closingCursor_ = false;
  switch (doc_.tool()) {
    case PanoramaTool::Brush:
      SetToolCursor(ToolCursor(ToolArt::Brush));
      break;
    case PanoramaTool::Polygon:
      SetToolCursor(Qt::CrossCursor);
      break;
    case PanoramaTool::ColorKeyer:
      SetToolCursor(ToolCursor(ToolArt::Picker));
      break;
  }
}

void CPanoramaView::Pressed(const QPoint& image, Qt::MouseButton button) {
  if (button != Qt::LeftButton || !doc_.loaded()) return;
  switch (doc_.tool()) {
    case PanoramaTool::Brush:
      doc_.BrushPress(image.x(), image.y());
      break;
    case PanoramaTool::Polygon:
      doc_.AddPolygonPoint(image.x(), image.y());
      break;
    case PanoramaTool::ColorKeyer:
      // Outside the picture a click does nothing.
      if (doc_.KeyerClick(image.x(), image.y())) emit KeyerClicked(image);
      break;
  }
}

void CPanoramaView::Moved(const QPoint& image, Qt::MouseButtons buttons) {
  if (!doc_.loaded()) return;
  if (doc_.tool() == PanoramaTool::Polygon) {
    const bool closing = doc_.WouldClosePolygon(image.x(), image.y());
    if (closing != closingCursor_) {
      closingCursor_ = closing;
      SetToolCursor(closing ? ClosingCursor() : QCursor(Qt::CrossCursor));
    }
    return;
  }
  if (doc_.tool() == PanoramaTool::Brush && (buttons & Qt::LeftButton))
    doc_.BrushMove(image.x(), image.y());
}

void CPanoramaView::PaintOverlay(QPainter& painter) {
  if (!doc_.loaded() || doc_.tool() != PanoramaTool::Polygon) return;
  const auto& points = doc_.polygon();
  if (points.empty()) return;
  // The polygon being entered, from pixel centre to pixel centre.
  QPolygon shown;
  for (const auto& point : points) shown << ImageToWindow(QRect(point.x, point.y, 1, 1)).center();
  painter.setRenderHint(QPainter::Antialiasing);
  for (const auto& [colour, width] : {std::pair{QColor(0, 0, 0), 3}, {QColor(255, 255, 0), 1}}) {
    painter.setPen(QPen(colour, width));
    painter.drawPolyline(shown);
    for (const QPoint& corner : shown) painter.drawRect(QRect(corner - QPoint(2, 2), QSize(4, 4)));
  }
}

}  // namespace quenda
