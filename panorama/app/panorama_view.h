#pragma once
// The background view: the document's composed picture (over the checkerboard or tinted by
// the mask) at the window's zoom, panned with the Pan command, with the tools' mouse gestures
// turned into document commands. A brush segment recomposes only the box it touched.

#include <QPoint>

#include "panorama/core/panorama_doc.h"
#include "ui/picture_view.h"

namespace quenda {

class CPanoramaView final : public PictureView, public PanoramaListener {
  Q_OBJECT

 public:
  explicit CPanoramaView(CPanoramaDoc& doc, QWidget* parent = nullptr);
  ~CPanoramaView() override;

  void OnUpdate(const PanoramaUpdate& update) override;
  // The picture as the view shows it at 1:1 (rows bottom first).
  const Raster& composed() const { return composed_; }
  // The cursor shown where a polygon click would close the polygon.
  static QCursor ClosingCursor();

 signals:
  // A Color Keyer click on a pixel of the picture (y from the bottom).
  void KeyerClicked(const QPoint& pixel);

 protected:
  void PaintOverlay(QPainter& painter) override;

 private:
  void ComposeAll();
  void ComposeArea(const MaskRect& rect);
  void UpdateToolCursor();
  void Pressed(const QPoint& image, Qt::MouseButton button);
  void Moved(const QPoint& image, Qt::MouseButtons buttons);

  CPanoramaDoc& doc_;
  // The picture as composed at 1:1, and the mode and colours it was composed in.
  Raster composed_;
  PanoramaViewMode shownMode_ = PanoramaViewMode::SeeThrough;
  PanoramaViewSettings shownSettings_;
  bool closingCursor_ = false;
};

}  // namespace quenda
