#include "analyzer/core/region_extraction.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <vector>

#include "analyzer/core/line_generation.h"
#include "analyzer/core/neighbourhood.h"
#include "analyzer/core/pixel_rows.h"
#include "analyzer/core/run_labelling.h"
#include "common/color_set.h"
#include "common/contrast_stretch.h"
#include "common/large_pages.h"

namespace quenda {
namespace {

// Rows y-2 .. y+2 of area labels (0 for line pixels): a line pixel's neighbours are taken by
// linear index, so at the left and right edges they wrap to the far end of the row below or
// above its neighbours.
class LabelWindow {
 public:
  LabelWindow(const RunLabeller& labeller, int width, int height)
      : labeller_(labeller), width_(width), height_(height), rows_(kRows * std::size_t(width)) {}

  // Labels every row up to `y` (and below the picture's top) not labelled yet.
  void LabelUpTo(int y) {
    for (; labelled_ < height_ && labelled_ <= y; ++labelled_) {
      uint32_t* out = Row(labelled_);
      int x = 0;
      for (const LabelRun& run : labeller_.Runs(labelled_)) {
        FillRow(out + x, std::size_t(run.start - x), 0u);
        FillRow(out + run.start, std::size_t(run.end - run.start), labeller_.Root(run.label));
        x = run.end;
      }
      FillRow(out + x, std::size_t(width_ - x), 0u);
    }
  }

  // The area label of the neighbour (x + dx, y + dy) counted by linear index, or 0 when that is
  // a line pixel or outside the picture.
  uint32_t Neighbour(int x, int y, int dx, int dy) {
    x += dx, y += dy;
    if (x < 0) x += width_, --y;
    if (x >= width_) x -= width_, ++y;
    if (y < 0 || y >= height_) return 0;
    return Row(y)[x];
  }

 private:
  uint32_t* Row(int y) { return rows_.data() + std::size_t(y % kRows) * width_; }

  static constexpr int kRows = 5;
  const RunLabeller& labeller_;
  int width_;
  int height_;
  int labelled_ = 0;
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

  ReportStage(progress, "Fill Pass 1...", 25);
  const RunLabeller labeller(image.regions.flags.data(), w, h);
  ReportStage(progress, "Fill Pass 2...", 50);
  ReportStage(progress, "Fill Pass 3...", 75);
  ReportStage(progress, "Fill Pass 4...", 99);

  RegionData& regions = image.regions;
  regions.settings = settings;
  // Rows are appended in pixel order, so the maps are never zero-filled first.
  regions.regionMap.clear();
  regions.animColor.clear();
  ReserveLarge(regions.regionMap, std::size_t(total));
  ReserveLarge(regions.animColor, std::size_t(total));
  regions.regionBounds.assign(2, EmptyRegionBox(w, h));
  const PairTable stretch(StretchTable(settings.whiteClamp, settings.blackClamp));

  ReportStage(progress, "Region Pass...", 0);
  const long long reportInterval = std::max(total / 10, 1LL);
  long long nextReport = 0;

  LabelWindow window(labeller, w, h);
  std::vector<uint16_t> row(static_cast<std::size_t>(w));
  // Line colours go in row by row with the numbers, as copies of one row.
  std::vector<uint16_t> lineColours(static_cast<std::size_t>(w));
  FillRow(lineColours.data(), lineColours.size(), uint16_t(kAnimLineColor));
  std::vector<uint32_t> number(std::size_t(labeller.LabelCount()) + 1, 0);
  if (number.size() > 1) number[1] = 1;
  uint32_t next = 2;
  bool overflow = false;
  int y = 0;
  // Numbers in order of first appearance, and the boxes, for the pixels x0 <= x < x1 of row y.
  auto emit = [&](uint32_t label, int x0, int x1) {
    uint32_t& n = number[label];
    if (n == 0) {
      n = next++;
      if (n > uint32_t(kMaxRegions)) overflow = true;
      if (!overflow) regions.regionBounds.push_back(EmptyRegionBox(w, h));
    }
    if (overflow) return;
    FillRow(row.data() + x0, std::size_t(x1 - x0), uint16_t(n));
    RegionBox& box = regions.regionBounds[n];
    box.minX = std::min(box.minX, x0);
    box.maxX = std::max(box.maxX, x1 - 1);
    box.minY = std::min(box.minY, y);
    box.maxY = std::max(box.maxY, y);
  };
  // Line pixels take the label of a neighbouring area, or keep the one they carry.
  auto emitLine = [&](int x0, int x1, uint32_t own) {
    for (int x = x0; x < x1; ++x) {
      uint32_t label = own;
      for (const auto& d : kNeighboursLastFirst)
        if (uint32_t area = window.Neighbour(x, y, d[0], d[1]); area != 0) {
          label = area;
          break;
        }
      emit(label, x, x + 1);
    }
  };
  for (; y < h; ++y) {
    window.LabelUpTo(y + 2);
    uint32_t own = labeller.RowStartLabel(y);
    int x = 0;
    for (const LabelRun& run : labeller.Runs(y)) {
      emitLine(x, run.start, own);
      emit(labeller.Root(run.label), run.start, run.end);
      own = run.label;
      x = run.end;
    }
    emitLine(x, w, own);
    if (!overflow) regions.regionMap.insert(regions.regionMap.end(), row.begin(), row.end());
    regions.animColor.insert(regions.animColor.end(), lineColours.begin(), lineColours.end());

    const long long rowStart = (long long)y * w;
    stretch.MapRow(image.grey.data() + rowStart, std::size_t(w));

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
