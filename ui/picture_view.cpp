#include "ui/picture_view.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QRegion>
#include <QScrollBar>
#include <algorithm>
#include <bit>
#include <cstring>
#include <utility>

namespace quenda {
namespace {

// One row of the suite's picture into one row of the view's top-down 24-bit copy.
void CopyRow(const uint8_t* from, int channels, uint8_t* to, int x0, int x1) {
  const uint8_t* source = from + std::ptrdiff_t(x0) * channels;
  uint8_t* target = to + std::ptrdiff_t(x0) * 3;
  if (channels == 3) {
    std::memcpy(target, source, std::size_t(x1 - x0) * 3);
    return;
  }
  for (int x = x0; x < x1; ++x, source += channels, target += 3) {
    target[0] = source[0];
    target[1] = source[1];
    target[2] = source[2];
  }
}

}  // namespace

PictureView::PictureView(QWidget* parent) : QAbstractScrollArea(parent) {
  viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
  viewport()->setMouseTracking(true);
  setFrameShape(QFrame::NoFrame);
  UpdateCursor();
}

void PictureView::SetPicture(ConstRasterView picture) {
  source_ = nullptr;
  kept_.Clear();
  if (picture.channels < 3 || picture.width <= 0 || picture.height <= 0) {
    ClearPicture();
    return;
  }
  if (picture_.width() != picture.width || picture_.height() != picture.height) {
    picture_ = NewPicture(picture.width, picture.height);
  }
  for (int y = 0; y < picture.height; ++y) {
    CopyRow(picture.Row(y), picture.channels, picture_.scanLine(picture.height - 1 - y), 0,
            picture.width);
  }
  UpdateScrollBars();
  viewport()->update();
}

void PictureView::SetPicture(QImage picture) {
  source_ = nullptr;
  kept_.Clear();
  if (picture.isNull()) {
    ClearPicture();
    return;
  }
  Q_ASSERT(picture.format() == QImage::Format_BGR888);
  picture_ = std::move(picture);
  UpdateScrollBars();
  viewport()->update();
}

QImage PictureView::NewPicture(int width, int height) {
  // Bytes stay blue, green, red, which Qt names BGR888.
  return QImage(width, height, QImage::Format_BGR888);
}

RasterView PictureView::PictureRows(QImage& picture) {
  if (picture.isNull()) return {};
  // Qt keeps the top row first: the suite's row 0 is the last scan line.
  return {picture.scanLine(picture.height() - 1), picture.width(), picture.height(), 3,
          -std::ptrdiff_t(picture.bytesPerLine())};
}

void PictureView::UpdatePicture(ConstRasterView picture, const QRect& area) {
  if (source_ != nullptr || picture_.isNull() || picture.width != picture_.width() ||
      picture.height != picture_.height() || picture.channels < 3) {
    SetPicture(picture);
    return;
  }
  QRect clipped = area.intersected(QRect(0, 0, picture.width, picture.height));
  if (clipped.isEmpty()) return;
  for (int y = clipped.top(); y <= clipped.bottom(); ++y) {
    CopyRow(picture.Row(y), picture.channels, picture_.scanLine(picture.height - 1 - y),
            clipped.left(), clipped.right() + 1);
  }
  viewport()->update(ImageToWindow(clipped));
}

void PictureView::ClearPicture() {
  picture_ = QImage();
  source_ = nullptr;
  sourceSize_ = QSize();
  kept_.Clear();
  UpdateScrollBars();
  viewport()->update();
}

void PictureView::SetPictureSource(const PictureSource* source) {
  picture_ = QImage();
  source_ = source;
  RefreshPicture();
}

void PictureView::RefreshPicture() {
  const QSize size = source_ != nullptr ? source_->sourceSize() : QSize();
  sourceSize_ = size.isEmpty() ? QSize() : size;
  kept_.Clear();
  UpdateScrollBars();
  viewport()->update();
}

void PictureView::RefreshPicture(const QRect& area) {
  if (source_ == nullptr) return;
  if (source_->sourceSize() != sourceSize_) return RefreshPicture();
  const QRect clipped = area.intersected(QRect(QPoint(0, 0), sourceSize_));
  if (clipped.isEmpty()) return;
  kept_.Refresh({clipped.left(), clipped.right() + 1, clipped.top(), clipped.bottom() + 1},
                Composer());
  viewport()->update(ImageToWindow(clipped));
}

SampleSource PictureView::Composer() const {
  return [source = source_](const SampleGrid& grid, RasterView out) { source->Sample(grid, out); };
}

void PictureView::ZoomIn() {
  if (CanZoomIn()) ChangeZoom(zoom_ + 1);
}

void PictureView::ZoomOut() {
  if (CanZoomOut()) ChangeZoom(zoom_ - 1);
}

void PictureView::ZoomOneToOne() {
  ChangeZoom(1);
}

void PictureView::ZoomToFit() {
  if (!hasPicture()) return;
  const QSize window = fullViewportSize();
  const QSize size = pictureSize();
  ChangeZoom(
      FittingZoomLevel(size.width(), size.height(), window.width(), window.height(), limits_));
}

void PictureView::SetZoomLevel(int level) {
  ChangeZoom(level);
}

void PictureView::ChangeZoom(int level) {
  if (level == zoom_) return;
  QPoint old = scrollPosition();
  QSize window = viewport()->size();
  int oldLevel = zoom_;
  zoom_ = level;
  UpdateScrollBars();
  QPoint moved(ScrollKeepingCentre(old.x(), window.width(), oldLevel, level,
                                   horizontalScrollBar()->maximum()),
               ScrollKeepingCentre(old.y(), window.height(), oldLevel, level,
                                   verticalScrollBar()->maximum()));
  SetScrollPosition(moved);
  viewport()->update();
  emit ZoomChanged(zoomPercent());
}

void PictureView::SetPanMode(bool on) {
  panMode_ = on;
  panning_ = false;
  UpdateCursor();
}

void PictureView::SetToolCursor(const QCursor& cursor) {
  toolCursor_ = cursor;
  UpdateCursor();
}

void PictureView::SetBackground(const QColor& colour) {
  background_ = colour;
  viewport()->update();
}

QPoint PictureView::scrollPosition() const {
  return {horizontalScrollBar()->value(), verticalScrollBar()->value()};
}

void PictureView::SetScrollPosition(const QPoint& position) {
  horizontalScrollBar()->setValue(position.x());
  verticalScrollBar()->setValue(position.y());
}

QPoint PictureView::centringOffset() const {
  QSize zoomed = zoomedSize();
  return {CentreOffset(viewport()->width(), zoomed.width()),
          CentreOffset(viewport()->height(), zoomed.height())};
}

QSize PictureView::zoomedSize() const {
  if (!hasPicture()) return {0, 0};
  const QSize size = pictureSize();
  return {ZoomedLength(size.width(), zoom_), ZoomedLength(size.height(), zoom_)};
}

ViewPlacement PictureView::placement() const {
  const QPoint scroll = scrollPosition();
  const QPoint offset = centringOffset();
  return {scroll.x(), scroll.y(), offset.x(), offset.y(), zoom_, pictureSize().height()};
}

QPoint PictureView::WindowToImage(const QPoint& window) const {
  const ViewPoint pixel = WindowToPicture({window.x(), window.y()}, placement());
  return {pixel.x, pixel.y};
}

QRect PictureView::ImageToWindow(const QRect& area) const {
  const ViewRect shown =
      PictureToWindow({area.x(), area.y(), area.width(), area.height()}, placement());
  return {shown.x, shown.y, shown.width, shown.height};
}

void PictureView::UpdateScrollBars() {
  QSize zoomed = zoomedSize();
  QSize window = viewport()->size();
  horizontalScrollBar()->setRange(0, std::max(0, zoomed.width() - window.width()));
  verticalScrollBar()->setRange(0, std::max(0, zoomed.height() - window.height()));
  horizontalScrollBar()->setSingleStep(1);
  verticalScrollBar()->setSingleStep(1);
  horizontalScrollBar()->setPageStep(std::max(1, zoomed.width() / 10));
  verticalScrollBar()->setPageStep(std::max(1, zoomed.height() / 10));
}

void PictureView::UpdateCursor() {
  if (panMode_) {
    viewport()->setCursor(panning_ ? Qt::ClosedHandCursor : Qt::OpenHandCursor);
  } else {
    viewport()->setCursor(toolCursor_);
  }
}

void PictureView::paintEvent(QPaintEvent* event) {
  QPainter painter(viewport());
  const QRect exposed = event->rect();
  if (!hasPicture()) {
    painter.fillRect(exposed, background_);
  } else {
    const QPoint origin = centringOffset() - scrollPosition();
    const QSize zoomed = zoomedSize();
    // The exposed part of the picture, relative to the picture's top left on screen; the
    // background is filled only around it, the picture drawn over all of it.
    QRect shown = exposed.translated(-origin).intersected(QRect(QPoint(0, 0), zoomed));
    for (const QRect& around : QRegion(exposed).subtracted(shown.translated(origin)))
      painter.fillRect(around, background_);
    if (!shown.isEmpty() && source_ != nullptr) {
      DrawFromSource(painter, origin, shown);
    } else if (!shown.isEmpty()) {
      if (zoom_ >= 1) {
        int x0 = shown.left() / zoom_;
        int y0 = shown.top() / zoom_;
        int x1 = std::min(picture_.width(), (shown.right() + zoom_) / zoom_);
        int y1 = std::min(picture_.height(), (shown.bottom() + zoom_) / zoom_);
        QRect source(x0, y0, x1 - x0, y1 - y0);
        QRect target(x0 * zoom_, y0 * zoom_, (x1 - x0) * zoom_, (y1 - y0) * zoom_);
        painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
        painter.drawImage(target.translated(origin), picture_, source);
      } else {
        // Reduced: screen pixel i shows picture pixel i x divisor, the one the mouse maps to.
        painter.drawImage(shown.translated(origin).topLeft(), Reduced(shown));
      }
    }
  }
  PaintOverlay(painter);
}

void PictureView::DrawFromSource(QPainter& painter, const QPoint& origin, const QRect& shown) {
  // The whole window's part is kept, so a repaint after an edit or of the overlay composes
  // nothing, and a scroll only what comes into sight.
  const QRect visible =
      viewport()->rect().translated(-origin).intersected(QRect(QPoint(0, 0), zoomedSize()));
  const SampleGrid grid = VisibleGrid(sourceSize_, zoom_, visible);
  const KeptPart part = PartToDraw(grid, sourceSize_, zoom_, shown);
  if (!grid.Inside(sourceSize_.width(), sourceSize_.height()) || part.samples.isEmpty()) {
    kept_.Clear();
    painter.fillRect(shown.translated(origin), background_);
    return;
  }
  kept_.Cover(grid, Composer());
  // Kept as 32-bit screen pixels, which a window copies without converting them; the bytes
  // blue, green, red, 255 are the word 0xffRRGGBB on the little-endian machines built for.
  static_assert(std::endian::native == std::endian::little);
  const QImage samples(kept_.topDown(), grid.columns, grid.rows, kept_.topDownStride(),
                       QImage::Format_RGB32);
  painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
  painter.drawImage(part.target.translated(origin), samples, part.samples);
}

QImage PictureView::Reduced(const QRect& shown) const {
  const int divisor = 2 - zoom_;
  QImage reduced(shown.size(), QImage::Format_BGR888);
  for (int row = 0; row < shown.height(); ++row) {
    const uchar* from = picture_.constScanLine((shown.top() + row) * divisor);
    uchar* to = reduced.scanLine(row);
    for (int column = 0; column < shown.width(); ++column, to += 3) {
      const uchar* pixel = from + std::ptrdiff_t(shown.left() + column) * divisor * 3;
      to[0] = pixel[0];
      to[1] = pixel[1];
      to[2] = pixel[2];
    }
  }
  return reduced;
}

void PictureView::PaintOverlay(QPainter&) {}

void PictureView::resizeEvent(QResizeEvent* event) {
  QAbstractScrollArea::resizeEvent(event);
  UpdateScrollBars();
}

void PictureView::scrollContentsBy(int, int) {
  viewport()->update();
}

void PictureView::mousePressEvent(QMouseEvent* event) {
  QPoint window = event->position().toPoint();
  if (panMode_) {
    if (event->button() == Qt::LeftButton) {
      panning_ = true;
      panPrevious_ = window;
      UpdateCursor();
    }
    return;
  }
  emit MousePressed(WindowToImage(window), event->button(), event->modifiers());
}

void PictureView::mouseMoveEvent(QMouseEvent* event) {
  QPoint window = event->position().toPoint();
  if (panMode_) {
    if (panning_) {
      QSize zoomed = zoomedSize();
      QSize size = viewport()->size();
      QPoint scroll = scrollPosition();
      SetScrollPosition(
          {ScrollAfterPan(scroll.x(), panPrevious_.x(), window.x(), zoomed.width(), size.width()),
           ScrollAfterPan(scroll.y(), panPrevious_.y(), window.y(), zoomed.height(),
                          size.height())});
      panPrevious_ = window;
    }
    return;
  }
  emit MouseMoved(WindowToImage(window), event->buttons());
}

void PictureView::mouseReleaseEvent(QMouseEvent* event) {
  if (panMode_) {
    if (event->button() == Qt::LeftButton) {
      panning_ = false;
      UpdateCursor();
    }
    return;
  }
  emit MouseReleased(WindowToImage(event->position().toPoint()), event->button());
}

void PictureView::mouseDoubleClickEvent(QMouseEvent* event) {
  if (panMode_) return;
  emit MouseDoubleClicked(WindowToImage(event->position().toPoint()), event->button());
}

}  // namespace quenda
