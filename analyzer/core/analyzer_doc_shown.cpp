// What the analyzer's window shows: composed on demand from the drawing's own data for the
// samples in sight, with only Test Settings' results kept, in tiles where it ran.
#include "analyzer/core/analyzer_doc.h"
#include "analyzer/core/gap_closing.h"
#include "analyzer/core/shown_picture.h"
#include "common/contrast_stretch.h"

namespace quenda {

Bgr CAnalyzerDoc::LineColour() const {
  const ColorEntry& line = colors_.entries[kLineColor];
  return {line.blue, line.green, line.red};
}

void CAnalyzerDoc::Show(Shown what) {
  shown_ = what;
  trial_.Reset(image_.width(), image_.height());
}

// The (stretched) drawing with every region line in the line colour, as after marking.
void CAnalyzerDoc::ShowRegionLines() {
  Show(Shown::RegionLines);
  shownLine_ = LineColour();
}

void CAnalyzerDoc::ComposeUnderTrial(const SampleGrid& grid, RasterView out) const {
  switch (shown_) {
    case Shown::Grey:
      SampleGrey(image_, grid, out);
      break;
    case Shown::RegionLines:
      SampleRegionLines(image_, shownLine_, grid, out);
      break;
    case Shown::Paint:
      SamplePaintView(image_, colors_, viewMode_, grid, out);
      break;
  }
}

void CAnalyzerDoc::ComposeShown(const SampleGrid& grid, RasterView out) const {
  ComposeUnderTrial(grid, out);
  trial_.Overlay(grid, out);
}

void CAnalyzerDoc::ShowTrial(PixelRect rect, bool lines) {
  const auto stretch = StretchTable(settings_.whiteClamp, settings_.blackClamp);
  const Bgr line = LineColour();
  const std::size_t w = std::size_t(image_.width());
  trial_.Write(
      rect, [this](const SampleGrid& grid, RasterView out) { ComposeUnderTrial(grid, out); },
      [&](int x, int y, uint8_t* d) {
        const std::size_t i = std::size_t(y) * w + std::size_t(x);
        if (lines && (image_.regions.flags[i] & kFlagRegionLine) != 0)
          d[0] = line.blue, d[1] = line.green, d[2] = line.red;
        else
          d[0] = d[1] = d[2] = stretch[image_.grey[i]];
      });
  if (!lines) return;
  for (std::ptrdiff_t pixel : image_.joinPixels) {
    const int x = int(pixel % std::ptrdiff_t(w)), y = int(pixel / std::ptrdiff_t(w));
    if (x < rect.x0 || x >= rect.x1 || y < rect.y0 || y >= rect.y1) continue;
    if ((image_.regions.flags[std::size_t(pixel)] & kFlagRegionLine) == 0) continue;
    if (uint8_t* d = trial_.At(x, y))
      d[0] = kJoinColour.blue, d[1] = kJoinColour.green, d[2] = kJoinColour.red;
  }
}

}  // namespace quenda
