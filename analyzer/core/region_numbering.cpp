#include "analyzer/core/region_numbering.h"

#include <algorithm>
#include <array>
#include <optional>

#include "analyzer/core/pixel_rows.h"
#include "common/large_pages.h"

namespace quenda {
namespace {

// Rows y-2 .. y+2 of area labels (0 for line pixels): a line pixel's neighbours are taken by
// linear index, so at the left and right edges they wrap to the far end of the row below or
// above its neighbours.
class LabelWindow {
 public:
  LabelWindow(const RunLabeller& labeller, int width, int height, int firstRow)
      : labeller_(labeller),
        width_(width),
        height_(height),
        labelled_(std::max(firstRow - 2, 0)),
        rows_(kRows * std::size_t(width)) {}

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
  int labelled_;
  std::vector<uint32_t> rows_;
};

// Neighbour offsets (dx, dy) from the last one the rule looks at to the first, so the first
// non-line one found is the one the rule keeps.
constexpr std::array<std::array<int, 2>, 8> kNeighboursLastFirst = {
    {{1, 1}, {1, 0}, {1, -1}, {0, 1}, {0, -1}, {-1, 1}, {-1, 0}, {-1, -1}}};

// The numbers one band gives the labels it meets, in the order it meets them. The bottom band
// gives label 1 number 1 first, as the whole picture does, so its numbers are already final.
class BandNumbering {
 public:
  BandNumbering(const RunLabeller& labeller, int width, int height, int y0, bool bottom)
      : labeller_(labeller),
        width_(width),
        height_(height),
        y0_(y0),
        window_(labeller, width, height, y0),
        number_(std::size_t(labeller.LabelCount()) + 1, 0),
        order_(1, 0),
        boxes_(1, EmptyRegionBox(width, height)) {
    if (bottom && number_.size() > 1) {
      number_[1] = 1;
      order_.push_back(1);
      boxes_.push_back(EmptyRegionBox(width, height));
    }
  }

  // Numbers rows y0 .. y1 - 1; row y goes to rowOut(y) (width numbers), then rowDone(y) is
  // called. Nothing more is written once the band has more numbers than a map holds.
  template <class RowOut, class RowDone>
  void Run(int y1, RowOut&& rowOut, RowDone&& rowDone) {
    for (int y = y0_; y < y1; ++y) {
      window_.LabelUpTo(y + 2);
      uint16_t* out = rowOut(y);
      uint32_t own = labeller_.RowStartLabel(y);
      int x = 0;
      for (const LabelRun& run : labeller_.Runs(y)) {
        EmitLine(out, x, run.start, y, own);
        Emit(out, labeller_.Root(run.label), run.start, run.end, y);
        own = run.label;
        x = run.end;
      }
      EmitLine(out, x, width_, y, own);
      rowDone(y);
    }
  }

  bool overflow() const { return overflow_; }
  // order()[n] is the label of local number n (entry 0 unused); box(n) its box in the band.
  const std::vector<uint32_t>& order() const { return order_; }
  const RegionBox& box(uint32_t n) const { return boxes_[n]; }
  std::vector<RegionBox>& boxes() { return boxes_; }

 private:
  void Emit(uint16_t* out, uint32_t label, int x0, int x1, int y) {
    uint32_t& n = number_[label];
    if (n == 0) {
      n = uint32_t(order_.size());
      order_.push_back(label);
      if (n > uint32_t(kMaxRegions)) overflow_ = true;
      if (!overflow_) boxes_.push_back(EmptyRegionBox(width_, height_));
    }
    if (overflow_) return;
    FillRow(out + x0, std::size_t(x1 - x0), uint16_t(n));
    RegionBox& box = boxes_[n];
    box.minX = std::min(box.minX, x0);
    box.maxX = std::max(box.maxX, x1 - 1);
    box.minY = std::min(box.minY, y);
    box.maxY = std::max(box.maxY, y);
  }
  // Line pixels take the label of a neighbouring area, or keep the one they carry.
  void EmitLine(uint16_t* out, int x0, int x1, int y, uint32_t own) {
    for (int x = x0; x < x1; ++x) {
      uint32_t label = own;
      for (const auto& d : kNeighboursLastFirst)
        if (uint32_t area = window_.Neighbour(x, y, d[0], d[1]); area != 0) {
          label = area;
          break;
        }
      Emit(out, label, x, x + 1, y);
    }
  }

  const RunLabeller& labeller_;
  int width_;
  int height_;
  int y0_;
  LabelWindow window_;
  std::vector<uint32_t> number_;  // per label: its number in this band, 0 before it is met
  std::vector<uint32_t> order_;
  std::vector<RegionBox> boxes_;
  bool overflow_ = false;
};

void Widen(RegionBox& box, const RegionBox& by) {
  if (by.IsEmpty()) return;
  box.minX = std::min(box.minX, by.minX), box.maxX = std::max(box.maxX, by.maxX);
  box.minY = std::min(box.minY, by.minY), box.maxY = std::max(box.maxY, by.maxY);
}

}  // namespace

RegionNumbering NumberRegions(const RunLabeller& labeller, int width, int height,
                              const Stripes& bands, std::vector<uint16_t>& regionMap,
                              std::vector<RegionBox>& bounds,
                              const std::function<void(int, int)>& rows) {
  const std::size_t w = std::size_t(width);
  const std::size_t total = w * std::size_t(height);
  if (bands.count() == 1) {
    // A map of the right size from the analysis before is written over; else rows are appended
    // in pixel order, so the map is never zero-filled first.
    const bool sized = regionMap.size() == total;
    if (!sized) {
      regionMap.clear();
      ReserveLarge(regionMap, total);
    }
    BandNumbering band(labeller, width, height, 0, true);
    std::vector<uint16_t> row(w);
    band.Run(
        height, [&](int) { return row.data(); },
        [&](int y) {
          if (band.overflow()) {
          } else if (sized) {
            StreamRow(regionMap.data() + std::size_t(y) * w, row.data(), w);
          } else {
            regionMap.insert(regionMap.end(), row.begin(), row.end());
          }
          rows(y, y + 1);
        });
    FinishStreaming();
    bounds = std::move(band.boxes());
    return {uint32_t(band.order().size() - 1), band.overflow()};
  }

  if (regionMap.size() != total) {
    ReserveLarge(regionMap, total);
    regionMap.resize(total);
  }
  std::vector<std::optional<BandNumbering>> numbered(std::size_t(bands.count()));
  bands.Run([&](int k, int y0, int y1) {
    BandNumbering& band = numbered[std::size_t(k)].emplace(labeller, width, height, y0, k == 0);
    band.Run(
        y1, [&](int y) { return regionMap.data() + std::size_t(y) * w; }, [&](int) {});
    rows(y0, y1);
  });

  // The bands' numbers in the bands' order: a label takes the next number where it is met
  // first. The bottom band's numbers stay as they are.
  std::vector<uint32_t> number(std::size_t(labeller.LabelCount()) + 1, 0);
  if (number.size() > 1) number[1] = 1;
  RegionNumbering result{1, false};
  bounds.assign(2, EmptyRegionBox(width, height));
  std::vector<std::vector<uint16_t>> toFinal(numbered.size());
  for (std::size_t k = 0; k < numbered.size(); ++k) {
    const BandNumbering& band = *numbered[k];
    const std::vector<uint32_t>& order = band.order();
    toFinal[k].assign(order.size(), 0);
    for (std::size_t n = 1; n < order.size(); ++n) {
      uint32_t& final = number[order[n]];
      if (final == 0) {
        final = ++result.total;
        if (final > uint32_t(kMaxRegions)) result.overflow = true;
        if (!result.overflow) bounds.push_back(EmptyRegionBox(width, height));
      }
      if (result.overflow) continue;
      toFinal[k][n] = uint16_t(final);
      Widen(bounds[final], band.box(uint32_t(n)));
    }
  }
  if (result.overflow) return result;
  bands.Run([&](int k, int y0, int y1) {
    if (k == 0) return;
    const uint16_t* to = toFinal[std::size_t(k)].data();
    uint16_t* map = regionMap.data() + std::size_t(y0) * w;
    for (std::size_t i = 0, n = std::size_t(y1 - y0) * w; i < n; ++i) map[i] = to[map[i]];
  });
  return result;
}

}  // namespace quenda
