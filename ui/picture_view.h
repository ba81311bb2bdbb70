#pragma once
// A zoomable, pannable view of one picture. The picture arrives as the suite keeps pictures
// (rows bottom first, bytes blue, green, red), whole or from a source asked for only what is
// drawn, and is drawn at an integer zoom level, centred when smaller than the window. Mouse input
// is reported in image pixels (x to the right, y upwards); in pan mode a left drag scrolls instead
// and nothing is reported.

#include <QAbstractScrollArea>
#include <QColor>
#include <QCursor>
#include <QImage>
#include <QPoint>
#include <QRect>

#include "common/kept_samples.h"
#include "common/raster.h"
#include "common/view_geometry.h"
#include "common/zoom_level.h"
#include "ui/visible_picture.h"

namespace quenda {

class PictureView : public QAbstractScrollArea {
  Q_OBJECT

 public:
  explicit PictureView(QWidget* parent = nullptr);

  // Replaces the whole picture (3 or 4 channels; a 4th is ignored).
  void SetPicture(ConstRasterView picture);
  // Takes over a picture made by NewPicture, with no copy: a large picture made on a worker
  // thread reaches the window without holding up its event loop.
  void SetPicture(QImage picture);
  // A picture of the view's own kind (any thread), and its rows as the suite keeps pictures
  // (bottom row first, 3 channels), for filling before SetPicture.
  static QImage NewPicture(int width, int height);
  static RasterView PictureRows(QImage& picture);
  // Copies the image rectangle `area` (x, y from the bottom, width, height) of `picture`, which
  // has the shown picture's size, and repaints only where it shows.
  void UpdatePicture(ConstRasterView picture, const QRect& area);
  void ClearPicture();
  // Draws from `source` (which must outlive its use here; null shows nothing) instead of a
  // picture of its own: the view keeps the pixels the window shows at the current zoom, and asks
  // the source only for those it did not show before. The picture set before is dropped;
  // SetPicture and ClearPicture end the source's use.
  void SetPictureSource(const PictureSource* source);
  // The source changed: all of it (its size too), or only image rectangle `area` (x, y from
  // the bottom), which is then composed again where shown and the only part repainted.
  void RefreshPicture();
  void RefreshPicture(const QRect& area);
  bool drawsFromSource() const { return source_ != nullptr; }
  // Top row first, as Qt keeps images; null while drawing from a source.
  const QImage& picture() const { return picture_; }
  QSize pictureSize() const { return source_ != nullptr ? sourceSize_ : picture_.size(); }
  bool hasPicture() const { return !pictureSize().isEmpty(); }

  int zoomLevel() const { return zoom_; }
  int zoomPercent() const { return ZoomLevelPercent(zoom_); }
  void SetZoomLimits(const ZoomLimits& limits) { limits_ = limits; }
  bool CanZoomIn() const { return ZoomInAllowed(zoom_, limits_); }
  bool CanZoomOut() const { return ZoomOutAllowed(zoom_, limits_); }
  // Each keeps the point at the window's centre in place; Zoom In and Out do nothing beyond the
  // limits.
  void ZoomIn();
  void ZoomOut();
  void ZoomOneToOne();
  // The largest level within the limits at which the whole picture shows without scrolling.
  void ZoomToFit();
  // The viewport's size once the scroll bars are gone, as they go when the picture fits.
  QSize fullViewportSize() const { return maximumViewportSize(); }
  void SetZoomLevel(int level);

  bool panMode() const { return panMode_; }
  void SetPanMode(bool on);
  // The cursor outside pan mode (the current tool's).
  void SetToolCursor(const QCursor& cursor);
  void SetBackground(const QColor& colour);

  QPoint scrollPosition() const;
  void SetScrollPosition(const QPoint& position);
  // Where the picture starts in the window when it is smaller than the window.
  QPoint centringOffset() const;
  // The image pixel drawn under a window (viewport) position; outside the picture the result
  // lies outside 0 .. width - 1, 0 .. height - 1.
  QPoint WindowToImage(const QPoint& window) const;
  // The window rectangle where image rectangle `area` (y from the bottom) is drawn.
  QRect ImageToWindow(const QRect& area) const;

 signals:
  void MousePressed(const QPoint& image, Qt::MouseButton button, Qt::KeyboardModifiers modifiers);
  void MouseMoved(const QPoint& image, Qt::MouseButtons buttons);
  void MouseReleased(const QPoint& image, Qt::MouseButton button);
  void MouseDoubleClicked(const QPoint& image, Qt::MouseButton button);
  void ZoomChanged(int percent);

 protected:
  // Drawn over the picture after it, in window coordinates (rubber bands and the like).
  virtual void PaintOverlay(QPainter& painter);

  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void scrollContentsBy(int dx, int dy) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;

 private:
  void ChangeZoom(int level);
  void UpdateScrollBars();
  void UpdateCursor();
  QSize zoomedSize() const;
  ViewPlacement placement() const;
  // The reduced picture for the screen area `shown` (relative to the picture's top left).
  QImage Reduced(const QRect& shown) const;
  // The source's part: keeps what the window shows, then draws the exposed `shown`.
  void DrawFromSource(QPainter& painter, const QPoint& origin, const QRect& shown);
  SampleSource Composer() const;

  QImage picture_;
  const PictureSource* source_ = nullptr;
  QSize sourceSize_;
  // What the window shows of the source, as of the last paint or refresh.
  KeptSamples kept_;
  int zoom_ = 1;
  ZoomLimits limits_;
  bool panMode_ = false;
  bool panning_ = false;
  QPoint panPrevious_;
  QCursor toolCursor_;
  QColor background_{128, 128, 128};
};

}  // namespace quenda
