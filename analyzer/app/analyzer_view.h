#pragma once
// The analyzer's picture: what the document shows at a whole-number zoom (1 and up), composed
// by the document for the pixels in sight only (the view keeps those, nothing of the drawing's
// size), and while the line settings are open the test rectangle, which the mouse drags; while
// painting a click fills the region under it.

#include "analyzer/core/analyzer_doc.h"
#include "ui/picture_view.h"

namespace quenda {

class CAnalyzerView final : public PictureView, public AnalyzerListener, private PictureSource {
  Q_OBJECT

 public:
  explicit CAnalyzerView(CAnalyzerDoc& doc, QWidget* parent = nullptr);
  ~CAnalyzerView() override;

  void OnUpdate(const AnalyzerUpdate& update) override;
  // While a batch run holds no drawing in the document: the drawing the run has in hand, grey,
  // its grey picture alone kept here (a byte a pixel) until the document shows a picture again.
  void ShowBatchDrawing(WorkingImage drawing);
  // The window rectangle the test rectangle covers.
  QRect TestRectangleOnWindow() const;

 protected:
  void PaintOverlay(QPainter& painter) override;

 private:
  QSize sourceSize() const override;
  void Sample(const SampleGrid& grid, RasterView out) const override;
  ScreenPoint ToScreenOrder(const QPoint& image) const;
  ImagePoint OnWindow(const QPoint& image) const;
  bool ShowsDragRectangle() const;
  void ShowDisplay();

  CAnalyzerDoc& doc_;
  WorkingImage batch_;
  std::string shownPath_;
  // The paint gesture in hand, for its rectangle.
  bool dragging_ = false;
  QPoint dragFrom_;
  QPoint dragTo_;
};

}  // namespace quenda
