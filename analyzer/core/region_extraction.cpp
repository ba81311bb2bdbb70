#include "analyzer/core/region_extraction.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <vector>

#include "analyzer/core/line_generation.h"
#include "analyzer/core/neighbourhood.h"
#include "analyzer/core/run_labelling.h"
#include "common/color_set.h"
#include "common/contrast_stretch.h"
#include "common/large_pages.h"

namespace quenda {
namespace {

// Rows y-2 .. y+2 of labels: a line pixel's neighbours are taken by linear index, so at the
// left and right edges they wrap to the far end of the row below or above its neighbours.
class LabelWindow {
 public:
  explicit LabelWindow(int width) : width_(width), rows_(kRows * std::size_t(width)) {}
  uint32_t* Row(int y) { return rows_.data() + std::size_t(y % kRows) * width_; }
  uint32_t At(long long i) { return Row(int(i / width_))[i % width_]; }

 private:
  static constexpr int kRows = 5;
  int width_;
  std::vector<uint32_t> rows_;
};

// Neighbour offsets (dx, dy) from the last one the rule looks at to the first, so the first
// non-line one found is the one the rule keeps.
constexpr std::array<std::array<int, 2>, 8> kNeighboursLastFirst = {
    {{1, 1}, {1, 0}, {1, -1}, {0, 1}, {0, -1}, {-1, 1}, {-1, 0}, {-1, -1}}};

}  // namespace

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
  regions.regionBounds.clear();
  image.regionColor.clear();
  image.regionColorUndo.clear();
  image.filledCount = 0;
}

Status ExtractRegions(WorkingImage& image, const RedlineSettings& settings, Progress& progress) {
  if (image.empty()) return Error{kNoPictureToMark};
  const int w = image.width(), h = image.height();
  const long long total = (long long)w * h;
  const uint8_t* flags = image.regions.flags.data();

  ReportStage(progress, "Fill Pass 1...", 25);
  RunLabeller labeller(flags, w, h);
  ReportStage(progress, "Fill Pass 2...", 50);
  ReportStage(progress, "Fill Pass 3...", 75);
  ReportStage(progress, "Fill Pass 4...", 99);

  RegionData& regions = image.regions;
  regions.settings = settings;
  // Runs are appended in pixel order, so the map is never zero-filled first.
  regions.regionMap.clear();
  ReserveLarge(regions.regionMap, std::size_t(total));
  ReserveLarge(regions.animColor, std::size_t(total));
  regions.animColor.assign(std::size_t(total), uint16_t(kAnimLineColor));
  regions.regionBounds.assign(2, EmptyRegionBox(w, h));
  const auto stretch = StretchTable(settings.whiteClamp, settings.blackClamp);

  ReportStage(progress, "Region Pass...", 0);
  const long long reportInterval = std::max(total / 10, 1LL);
  long long nextReport = 0;

  LabelWindow window(w);
  std::vector<uint32_t> number(std::size_t(labeller.LabelCount()) + 1, 0);
  if (number.size() > 1) number[1] = 1;
  uint32_t next = 2;
  bool overflow = false;
  int labelled = 0;
  for (int y = 0; y < h; ++y) {
    for (; labelled < h && labelled <= y + 2; ++labelled)
      labeller.LabelRow(labelled, window.Row(labelled));
    uint32_t* labels = window.Row(y);
    const uint8_t* flagRow = flags + std::size_t(y) * w;
    const long long rowStart = (long long)y * w;

    // Line pixels take the label of a neighbouring area. Only area labels are read, and those
    // are final, so resolving in place is safe.
    ForEachLinePixel(flagRow, 0, w, [&](int x) {
      const long long i = rowStart + x;
      for (const auto& d : kNeighboursLastFirst) {
        long long j = i + (long long)d[1] * w + d[0];
        if (j < 0 || j >= total || (flags[j] & kFlagRegionLine)) continue;
        labels[x] = window.At(j);
        return;
      }
    });

    // Numbers in order of first appearance, boxes, stretched grey.
    int x = 0;
    while (x < w) {
      const uint32_t label = labels[x];
      int end = x + 1;
      while (end < w && labels[end] == label) ++end;
      uint32_t& n = number[label];
      if (n == 0) {
        n = next++;
        if (n > uint32_t(kMaxRegions)) overflow = true;
        if (!overflow) regions.regionBounds.push_back(EmptyRegionBox(w, h));
      }
      if (!overflow) {
        regions.regionMap.insert(regions.regionMap.end(), std::size_t(end - x), uint16_t(n));
        RegionBox& box = regions.regionBounds[n];
        box.minX = std::min(box.minX, x);
        box.maxX = std::max(box.maxX, end - 1);
        box.minY = std::min(box.minY, y);
        box.maxY = std::max(box.maxY, y);
      }
      x = end;
    }
    uint8_t* grey = image.grey.data() + rowStart;
    for (int gx = 0; gx < w; ++gx) grey[gx] = stretch[grey[gx]];

    for (; nextReport < rowStart + w; nextReport += reportInterval)
      ReportStage(progress, "Region Pass...", int(nextReport * 100 / total));
  }

  const uint32_t regionTotal = next - 1;
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
                   Bgr lineColour) {
  if (image.empty()) return Error{kNoPictureToMark};
  GenerateLines(image, settings, 0, image.width(), 0, image.height(), progress, lineColour);
  if (Status status = ExtractRegions(image, settings, progress); !status) return status;
  ResetRegionColours(image);
  return Status::Ok();
}

}  // namespace quenda
