#include "panorama/app/panorama_view.h"

#include <QPainter>
#include <QPixmap>

#include "ui/tool_art.h"

namespace quenda {

CPanoramaView::CPanoramaView(CPanoramaDoc& doc, QWidget* parent) : PictureView(parent), doc_(doc) {
  SetBackground(QColor(128, 128, 128));
  // Zoom In stops below eleven times.
  SetZoomLimits({1100, 6});
  connect(this, &PictureView::MousePressed, this,
          [this](const QPoint& image, Qt::MouseButton button, Qt::KeyboardModifiers) {
            Pressed(image, button);
          });
  connect(this, &PictureView::MouseMoved, this, &CPanoramaView::Moved);
  connect(this, &PictureView::MouseReleased, this, [this](const QPoint&, Qt::MouseButton button) {
    if (button == Qt::LeftButton) stroking_ = false;
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
    case PanoramaHint::RedrawRect:
      ComposeArea(QRect(update.rect.x0, update.rect.y0, update.rect.x1 - update.rect.x0,
                        update.rect.y1 - update.rect.y0));
      break;
    case PanoramaHint::StateChanged:
      UpdateToolCursor();
      viewport()->update();
      break;
    default:
      ComposeAll();
      break;
  }
}

void CPanoramaView::ComposeAll() {
  if (!doc_.hasBackground()) {
    stroking_ = false;
    ClearPicture();
    return;
  }
  QImage picture = NewPicture(doc_.width(), doc_.height());
  doc_.Compose(PictureRows(picture), {0, 0, doc_.width(), doc_.height()});
  SetPicture(std::move(picture));
}

void CPanoramaView::ComposeArea(const QRect& area) {
  if (!hasPicture() || picture().width() != doc_.width() || picture().height() != doc_.height()) {
    ComposeAll();
    return;
  }
  // The picture is composed in place, in its own rows; only the box is repainted.
  QImage& shown = const_cast<QImage&>(picture());
  const QRect clipped = area.intersected(QRect(0, 0, doc_.width(), doc_.height()));
  if (clipped.isEmpty()) return;
  doc_.Compose(PictureRows(shown),
               {clipped.left(), clipped.top(), clipped.right() + 1, clipped.bottom() + 1});
  viewport()->update(ImageToWindow(clipped));
}

void CPanoramaView::UpdateToolCursor() {
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
  if (button != Qt::LeftButton || !doc_.hasBackground()) return;
  switch (doc_.tool()) {
    case PanoramaTool::Brush:
      stroking_ = true;
      last_ = image;
      doc_.BrushPress(image.x(), image.y());
      break;
    case PanoramaTool::Polygon:
      doc_.PolygonClick(image.x(), image.y());
      viewport()->update();
      break;
    case PanoramaTool::ColorKeyer:
      if (image.x() >= 0 && image.y() >= 0 && image.x() < doc_.width() &&
          image.y() < doc_.height())
        emit KeyerClicked(image);
      break;
  }
}

void CPanoramaView::Moved(const QPoint& image, Qt::MouseButtons buttons) {
  if (!doc_.hasBackground()) return;
  if (doc_.tool() == PanoramaTool::Polygon) {
    SetToolCursor(doc_.PolygonWouldClose(image.x(), image.y()) ? ClosingCursor()
                                                               : QCursor(Qt::CrossCursor));
    return;
  }
  if (doc_.tool() == PanoramaTool::Brush && stroking_ && (buttons & Qt::LeftButton)) {
    doc_.BrushStroke(last_.x(), last_.y(), image.x(), image.y());
    last_ = image;
  }
}

void CPanoramaView::PaintOverlay(QPainter& painter) {
  if (!doc_.hasBackground() || doc_.tool() != PanoramaTool::Polygon) return;
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
