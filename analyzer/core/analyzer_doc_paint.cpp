#include <cstdio>

#include "analyzer/core/analyzer_doc.h"
#include "analyzer/core/batch_process.h"
#include "analyzer/core/paint_composite.h"
#include "common/region_fill.h"
#include "common/targa.h"

namespace quenda {
namespace {

constexpr std::string_view kPaintNeedsRegions = "Please do this after loading or marking regions";
constexpr std::string_view kPaintFirst = "Please paint the image first.";
constexpr std::string_view kFillAllRegions = "You have to fill all unfilled regions.";
constexpr std::string_view kCompositeWriteError = "Error writing composite image";

}  // namespace

int CAnalyzerDoc::unfilledCount() const {
  return image_.regions.regionCount - image_.filledCount;
}

void CAnalyzerDoc::SetPaintTitle() {
  char text[160];
  std::snprintf(text, sizeof text, "%s PAINT MODE: %d Unfilled regions",
                std::string(kAnalyzerTitle).c_str(), unfilledCount());
  SetTitle(text);
}

// The regions in their colours and the region lines in the line colour.
void CAnalyzerDoc::ShowPaintedRegions(PixelRect rect) {
  rect = ClipToPicture(image_, rect);
  const std::size_t w = std::size_t(image_.width());
  auto colour = [this](int index) -> const ColorEntry& {
    return colors_.entries[index >= 0 && index < kColorSlots ? index : kTransparentColor];
  };
  const ColorEntry& line = colour(kLineColor);
  for (int y = rect.y0; y < rect.y1; ++y) {
    const uint8_t* flags = image_.regions.flags.data() + y * w;
    const uint16_t* map = image_.regions.regionMap.data() + y * w;
    uint8_t* shown = image_.display.Row(y);
    for (int x = rect.x0; x < rect.x1; ++x) {
      const std::size_t region = map[x];
      const ColorEntry& c = (flags[x] & kFlagRegionLine) ? line
                            : region < image_.regionColor.size()
                                ? colour(image_.regionColor[region])
                                : colour(kTransparentColor);
      uint8_t* d = shown + 3 * x;
      d[0] = c.blue, d[1] = c.green, d[2] = c.red;
    }
  }
}

void CAnalyzerDoc::ColorsChanged() {
  if (painting_) {
    ShowPaintedRegions(WholePicture(image_));
    Notify(AnalyzerHint::RedrawRect, WholePicture(image_));
  }
  Notify(AnalyzerHint::ColorsChanged);
}

Status CAnalyzerDoc::EnterPaint() {
  if (!drawingLoaded_ || !regionsMarked_ || lineSettingsOpen()) {
    prompt_.Message(kPaintNeedsRegions);
    return Error{std::string(kPaintNeedsRegions)};
  }
  painting_ = true;
  ShowPaintedRegions(WholePicture(image_));
  SetPaintTitle();
  Notify(AnalyzerHint::PictureChanged);
  Notify(AnalyzerHint::StateChanged);
  return Status::Ok();
}

void CAnalyzerDoc::ExitPaint() {
  if (!painting_ || sequence_) return;  // a sequence is left with ExitSequencePaint
  painting_ = false;
  ShowRegionLines();
  SetTitle(kAnalyzerTitle);
  Notify(AnalyzerHint::PictureChanged);
  Notify(AnalyzerHint::StateChanged);
}

void CAnalyzerDoc::FillRegionAt(int x, int y) {
  if (!painting_) return;
  const int region = RegionAtPixel(image_.regions, x, y);
  if (region < 0) return;
  image_.regionColorUndo = image_.regionColor;
  const RegionFillOutcome outcome =
      FillRegion(image_.regionColor, region, currentColor_, /*keepPainted=*/false);
  if (!outcome.changed) return;
  if (outcome.wasUnfilled && currentColor_ != kUnfilledColor) ++image_.filledCount;
  const RegionBox& b = image_.regions.regionBounds[std::size_t(region)];
  const PixelRect box{b.minX, b.maxX + 1, b.minY, b.maxY + 1};
  ShowPaintedRegions(box);
  Notify(AnalyzerHint::RedrawRect, ClipToPicture(image_, box));
  SetPaintTitle();
}

Status CAnalyzerDoc::CheckComposite() {
  std::string_view refusal;
  if (!image_.HasRegions())
    refusal = kPaintFirst;
  else if (image_.filledCount != image_.regions.regionCount)
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
