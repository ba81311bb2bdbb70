#include <cstdio>

#include "analyzer/core/analyzer_doc.h"

#include "analyzer/core/batch_process.h"
#include "analyzer/core/gap_closing.h"
#include "analyzer/core/paint_composite.h"
#include "analyzer/core/sequence_paint.h"
#include "common/region_fill.h"
#include "common/region_view.h"
#include "common/targa.h"

namespace quenda {
namespace {

constexpr std::string_view kPaintNeedsRegions = "Please do this after loading or marking regions";
constexpr std::string_view kPaintFirst = "Please paint the image first.";
constexpr std::string_view kFillAllRegions = "You have to fill all unfilled regions.";
constexpr std::string_view kCompositeWriteError = "Error writing composite image";

}  // namespace

// Counted from the colours: a region filled with the unfilled colour is unfilled again, which
// a running count of fills cannot see.
int CAnalyzerDoc::unfilledCount() const {
  return image_.regions.regionCount - PaintedRegionCount(image_);
}

void CAnalyzerDoc::SetPaintTitle() {
  char text[160];
  std::snprintf(text, sizeof text, "%s PAINT MODE: %d Unfilled regions",
                std::string(kAnalyzerTitle).c_str(), unfilledCount());
  SetTitle(text);
}

void CAnalyzerDoc::ShowPaintAndRedraw(ImageRect rect) {
  rect = ClipRect(rect, image_.width(), image_.height());
  if (rect.IsEmpty()) return;
  ShowPaint();
  Notify(AnalyzerHint::RedrawRect, {rect.x0, rect.x1, rect.y0, rect.y1});
}

void CAnalyzerDoc::RecolourRegionLines() {
  // Over whatever showed: the region lines and joins in the colour now chosen.
  ShowRegionLines();
  Notify(AnalyzerHint::RedrawRect, WholePicture(image_));
}

void CAnalyzerDoc::ColorsChanged() {
  if (painting_)
    ShowPaintAndRedraw(WholeImage(image_.width(), image_.height()));
  else if (regionsMarked_ && !lineSettingsOpen())
    RecolourRegionLines();
  Notify(AnalyzerHint::ColorsChanged);
}

Status CAnalyzerDoc::EnterPaint() {
  if (!drawingLoaded_ || !regionsMarked_ || lineSettingsOpen()) {
    prompt_.Message(kPaintNeedsRegions);
    return Error{std::string(kPaintNeedsRegions)};
  }
  painting_ = true;
  undo_.Drop();  // a copy from an earlier paint mode belongs to other regions
  ShowPaint();
  SetPaintTitle();
  Notify(AnalyzerHint::PictureChanged);
  Notify(AnalyzerHint::StateChanged);
  return Status::Ok();
}

void CAnalyzerDoc::ExitPaint() {
  if (!painting_ || sequence_) return;  // a sequence is left with ExitSequencePaint
  painting_ = false;
  undo_.Drop();
  button_ = PaintButton::None;
  ShowRegionLines();
  SetTitle(kAnalyzerTitle);
  Notify(AnalyzerHint::PictureChanged);
  Notify(AnalyzerHint::StateChanged);
}

void CAnalyzerDoc::FillRegionAt(int x, int y) {
  if (!painting_ || RegionAtPixel(image_.regions, x, y) < 0) return;
  TakePaintUndo(kUndoRegionColors);
  const RegionFillResult fill =
      quenda::FillRegionAt({image_.regions, image_.regionColor}, {x, y}, currentColor_, viewMode_);
  image_.filledCount += fill.filled;
  ShowPaintAndRedraw(fill.redraw);
  SetPaintTitle();
}

Status CAnalyzerDoc::CheckComposite() {
  std::string_view refusal;
  if (!image_.HasRegions())
    refusal = kPaintFirst;
  else if (unfilledCount() > 0)
    refusal = kFillAllRegions;
  if (refusal.empty()) return Status::Ok();
  prompt_.Message(refusal);
  return Error{std::string(refusal)};
}

Status CAnalyzerDoc::SaveComposite(const std::string& path, Progress& progress) {
  if (Status status = CheckComposite(); !status) return status;
  progress.SetStage("Preparing...");
  const Raster composite = FilterComposite(ComposePaintedLayer(image_, colors_));
  progress.SetStage("Saving...");
  Status written = WriteTarga(path, composite, WriteMessages(std::string(kCompositeWriteError)));
  if (!written) prompt_.Message(written.message());
  return written;
}

}  // namespace quenda
