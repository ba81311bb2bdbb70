#pragma once
// The painter's picture view: the loaded frame composed in the current view mode, zoomed and
// panned, with the tools' mouse gestures turned into document commands. Only the pixels the
// window shows are composed and kept, so no picture of the whole frame is; after a brush
// segment or a single fill only the changed box is composed and drawn again.

#include "common/raster.h"
#include "painter/core/frame_composition.h"
#include "painter/core/painter_doc.h"
#include "painter/core/shown_frame.h"
#include "ui/picture_view.h"

namespace quenda {

class CPainterView final : public PictureView, public PainterListener, private PictureSource {
  Q_OBJECT

 public:
  explicit CPainterView(CPainterDoc& doc, QWidget* parent = nullptr);
  ~CPainterView() override;

  void OnUpdate(const PainterUpdate& update) override;
  // Ends the gesture in hand before the tool changes under it: a stroke (brush or pen) is
  // finished where the mouse last was, as its release would; a gesture that does its work on
  // release (a fill, a rectangle, a gap close, a pick) is cancelled. The button's release then
  // does nothing.
  void EndGesture();

 protected:
  void PaintOverlay(QPainter& painter) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void leaveEvent(QEvent* event) override;

 private:
  QSize sourceSize() const override;
  void Sample(const SampleGrid& grid, RasterView out) const override;
  void ComposeAll();
  void ComposeArea(const ImageRect& area);
  void ShowPreview(FramePreview preview);
  void UpdateToolCursor();
  void HoverAt(ImagePoint at, QPoint window);
  void ClearHover();
  // AnimFill's hover: the connected line under the mouse shown in the current colour.
  void PreviewLineFill(ImagePoint at);
  PenComposition pen() const;
  // Next Unpainted's region: its box in the window, and scrolling that puts it in the middle.
  QRect RegionBoxInWindow(int region) const;
  void BringIntoSight(int region);

  CPainterDoc& doc_;
  // What shows over the frame for a moment: a hover's or a split's preview.
  FramePreview preview_;
  // The gesture in hand: the button and tool of its press, where it began and the last point.
  Qt::MouseButton button_ = Qt::NoButton;
  PainterTool gestureTool_ = PainterTool::RegionFill;
  QPoint pressWindow_;
  ImagePoint pressImage_;
  ImagePoint lastImage_;
  QPoint currentWindow_;
  bool rubberBand_ = false;
  // Hover previews: the region shown in the current colour, and the brush outline.
  int hoverRegion_ = 0;
  ImageRect hoverBox_;
  ImageRect lineBox_;  // the animator-line fill preview's box
  int linePreviewColour_ = -1;
  bool brushOutline_ = false;
  ImagePoint outlineAt_;
};

}  // namespace quenda
