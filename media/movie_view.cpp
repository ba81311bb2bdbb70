#include "media/movie_view.h"

#include <QPainter>

namespace quenda {

MovieView::MovieView(int pictureWidth, int pictureHeight, QWidget* parent)
    : QWidget(parent), width_(pictureWidth), height_(pictureHeight) {
  setObjectName("movie");
  setFixedSize(sizeHint());
}

void MovieView::SetZoom(int zoom) {
  zoom_ = zoom == 2 ? 2 : 1;
  setFixedSize(sizeHint());
  update();
}

QSize MovieView::sizeHint() const {
  return QSize((width_ + 2) * zoom_, (height_ + 2) * zoom_);
}

void MovieView::ShowPicture(const uint8_t* bgrBottomUp) {
  // Rows bottom first, as Qt's top-first image flipped.
  QImage bottomUp(bgrBottomUp, width_, height_, width_ * 3, QImage::Format_BGR888);
  picture_ = bottomUp.mirrored(false, true);
  update();
}

void MovieView::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), Qt::black);
  if (picture_.isNull()) return;
  const QSize shown(width_ * zoom_, height_ * zoom_);
  const QPoint corner((width() - shown.width()) / 2, (height() - shown.height()) / 2);
  painter.drawImage(QRect(corner, shown), picture_);
}

}  // namespace quenda
