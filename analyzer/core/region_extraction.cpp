#include "analyzer/core/region_extraction.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <vector>

#include "analyzer/core/line_generation.h"
#include "analyzer/core/neighbourhood.h"
#include "analyzer/core/pixel_rows.h"
#include "analyzer/core/region_numbering.h"
#include "analyzer/core/run_labelling.h"
#include "analyzer/core/stretch_rows.h"
#include "common/color_set.h"
#include "common/contrast_stretch.h"
#include "common/large_pages.h"
#include "common/stripes.h"

namespace quenda {
namespace {}  // namespace

std::string TooManyRegionsMessage(uint32_t regions) {
  char text[96];
  std::snprintf(text, sizeof text, "Too many regions in this drawing: %u (at most %d)", regions,
                kMaxRegions);
  return text;
}

void ClearRegions(WorkingImage& image) {
  RegionData& regions = image.regions;
  regions.regionCount = 0;
  regions.regionMap.clear();
  regions.animColor.clear();
  regions.uniformAnimColor.reset();
  regions.regionBounds.clear();
  image.regionColor.clear();
  image.regionColorUndo.clear();
  image.filledCount = 0;
}

Status ExtractRegions(WorkingImage& image, const RedlineSettings& settings, Progress& progress,
                      LineColours colours) {
  if (image.empty()) return Error{kNoPictureToMark};
  const int w = image.width(), h = image.height();
  const long long total = (long long)w * h;

  const Stripes bands(0, h, InnerThreads());
  ReportStage(progress, "Fill Pass 1...", 25);
  const RunLabeller labeller(image.regions.flags.data(), w, h, bands);
  ReportStage(progress, "Fill Pass 2...", 50);
  ReportStage(progress, "Fill Pass 3...", 75);
  ReportStage(progress, "Fill Pass 4...", 99);

  RegionData& regions = image.regions;
  regions.settings = settings;
  const bool mapped = colours == LineColours::Map;
  // A map of line colours of the right size from the analysis before is written over in place
  // (its painted lines go back to the one colour), else made afresh.
  const bool coloursSized = mapped && regions.animColor.size() == std::size_t(total);
  if (mapped) {
    regions.uniformAnimColor.reset();
    if (!coloursSized) {
      regions.animColor.clear();
      ReserveLarge(regions.animColor, std::size_t(total));
    }
  } else {
    ReleaseLarge(regions.animColor);
    regions.uniformAnimColor = uint16_t(kAnimLineColor);
  }
  // One band appends fresh line colours row by row with the numbers; bands fill them first.
  const bool oneBand = bands.count() == 1;
  if (!oneBand) {
    // Both maps filled at once, one on each of two threads. The bands write every number, so
    // a region map of the right size from the analysis before needs no filling.
    const bool sized = regions.regionMap.size() == std::size_t(total);
    if (!sized) {
      regions.regionMap.clear();
      ReserveLarge(regions.regionMap, std::size_t(total));
    }
    ParallelFor(
        2,
        [&](int map) {
          if (map == 0 && !sized)
            regions.regionMap.resize(std::size_t(total));
          else if (map == 1 && mapped && !coloursSized)
            regions.animColor.resize(std::size_t(total), uint16_t(kAnimLineColor));
        },
        2);
  }
  std::vector<uint16_t> lineColours(oneBand && mapped && !coloursSized ? std::size_t(w) : 0);
  FillRow(lineColours.data(), lineColours.size(), uint16_t(kAnimLineColor));
  const StretchRows stretch(settings.whiteClamp, settings.blackClamp);

  ReportStage(progress, "Region Pass...", 0);
  const RegionNumbering numbering = NumberRegions(
      labeller, w, h, bands, regions.regionMap, regions.regionBounds, [&](int y0, int y1) {
        const std::size_t from = std::size_t(y0) * w, n = std::size_t(y1 - y0) * w;
        if (coloursSized)
          StreamFill(regions.animColor.data() + from, n, uint16_t(kAnimLineColor));
        else if (oneBand && mapped)
          regions.animColor.insert(regions.animColor.end(), lineColours.begin(), lineColours.end());
        if (!image.grey.empty()) stretch.MapRow(image.grey.data() + from, n);
        FinishStreaming();
      });
  // The reports the pass made when it went row by row on one thread.
  const long long reportInterval = std::max(total / 10, 1LL);
  for (long long next = 0; next < total; next += reportInterval)
    ReportStage(progress, "Region Pass...", int(next * 100 / total));

  const bool overflow = numbering.overflow;
  const uint32_t regionTotal = numbering.total;
  if (overflow) {
    ClearRegions(image);
    return Error{TooManyRegionsMessage(regionTotal)};
  }
  regions.regionCount = int(regionTotal) - 1;
  image.filledCount = 0;
  image.regionColor.assign(regionTotal + 1, 0);
  image.regionColorUndo.assign(regionTotal + 1, 0);

  // The boxes were widened with the numbering; the stage still reports as it always has.
  ReportStage(progress, "Finishing...", 0);
  const int columnInterval = std::max(w / 10, 1);
  for (int column = 0; column < w; column += columnInterval)
    ReportStage(progress, "Finishing...", column * 100 / w);
  ReportStage(progress, "Done", 100);
  return Status::Ok();
}

void ResetRegionColours(WorkingImage& image) {
  const std::size_t entries = std::size_t(image.regions.regionCount) + 2;
  image.regionColor.resize(std::max(image.regionColor.size(), entries), 0);
  for (std::size_t r = 1; r < entries; ++r)
    image.regionColor[r] = r == std::size_t(kBackgroundRegion) ? kTransparentColor : kUnfilledColor;
}

Status MarkRegions(WorkingImage& image, const RedlineSettings& settings, Progress& progress,
                   Bgr lineColour, int closeGaps, GapJoins* joins) {
  if (image.empty()) return Error{kNoPictureToMark};
  GenerateLines(image, settings, 0, image.width(), 0, image.height(), progress, lineColour);
  GapJoins made = CloseGapsOfDrawing(image, closeGaps, progress);
  if (joins) *joins = std::move(made);
  if (Status status = ExtractRegions(image, settings, progress); !status) return status;
  ResetRegionColours(image);
  return Status::Ok();
}

}  // namespace quenda
