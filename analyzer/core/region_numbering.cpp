#include "analyzer/core/region_numbering.h"

#include <algorithm>
#include <array>
#include <optional>
#include <span>

#include "analyzer/core/pixel_rows.h"
#include "common/large_pages.h"

namespace quenda {
namespace {

// The area labels of one row (0 for line pixels), read from its runs for x that only move
// rightwards, give or take one: the line pixels of a row ask for x - 1 .. x + 1 of the rows
// around them in order of x. Reading the runs in place spares writing every pixel's label out.
class RowLabels {
 public:
  RowLabels() = default;
  RowLabels(const RunLabeller& labeller, int y) : labeller_(&labeller), runs_(labeller.Runs(y)) {}

  // Moves on to the first run that does not end before x; no later query is left of x.
  void Seek(int x) {
    while (next_ < runs_.size() && runs_[next_].end <= x) ++next_;
  }
  // The area label at x, at or right of the last Seek; 0 on a line pixel or outside the picture.
  uint32_t At(int x) const {
    std::size_t k = next_;
    while (k < runs_.size() && runs_[k].end <= x) ++k;
    return k < runs_.size() && runs_[k].start <= x ? labeller_->Root(runs_[k].label) : 0;
  }
  // The same for any x, for the few neighbours that wrap round the picture's side.
  uint32_t AnyAt(int x) const {
    const auto run = std::upper_bound(runs_.begin(), runs_.end(), x,
                                      [](int at, const LabelRun& r) { return at < r.end; });
    return run != runs_.end() && run->start <= x ? labeller_->Root(run->label) : 0;
  }

 private:
  const RunLabeller* labeller_ = nullptr;  // none: a row outside the picture
  std::span<const LabelRun> runs_;
  std::size_t next_ = 0;
};

// Rows y - 2 .. y + 2 around the row being numbered: a line pixel's neighbours are taken by
// linear index, so at the left and right edges they wrap to the far end of the row below or
// above its neighbours.
class LabelWindow {
 public:
  LabelWindow(const RunLabeller& labeller, int width, int height)
      : labeller_(labeller), width_(width), height_(height) {}

  void StartRow(int y) {
    for (int k = 0; k < kRows; ++k) {
      const int row = y + k - kRows / 2;
      rows_[std::size_t(k)] = row >= 0 && row < height_ ? RowLabels(labeller_, row) : RowLabels();
    }
  }
  // Every neighbour asked for next lies at x - 1 or right of it.
  void Seek(int x) {
    for (int k = 1; k < kRows - 1; ++k) rows_[std::size_t(k)].Seek(x - 1);
  }

  // The area label of the neighbour (x + dx, y + dy) counted by linear index, or 0 when that is
  // a line pixel or outside the picture.
  uint32_t Neighbour(int x, int dx, int dy) const {
    x += dx;
    if (x >= 0 && x < width_) return rows_[std::size_t(dy + kRows / 2)].At(x);
    if (x < 0) return rows_[std::size_t(dy - 1 + kRows / 2)].AnyAt(x + width_);
    return rows_[std::size_t(dy + 1 + kRows / 2)].AnyAt(x - width_);
  }

 private:
  static constexpr int kRows = 5;
  const RunLabeller& labeller_;
  int width_;
  int height_;
  std::array<RowLabels, kRows> rows_;
};

// Neighbour offsets (dx, dy) from the last one the rule looks at to the first, so the first
// non-line one found is the one the rule keeps.
constexpr std::array<std::array<int, 2>, 8> kNeighboursLastFirst = {
    {{1, 1}, {1, 0}, {1, -1}, {0, 1}, {0, -1}, {-1, 1}, {-1, 0}, {-1, -1}}};

// What a pass over a band does: number the labels as it meets them and write the numbers
// (the whole picture as one band); only note the order it meets them in; or write numbers
// already given.
enum class Pass { NumberAndWrite, Order, Write };

// The numbers one band gives the labels it meets, in the order it meets them. The bottom band
// gives label 1 number 1 first, as the whole picture does, so its numbers are already final.
class BandNumbering {
 public:
  BandNumbering(const RunLabeller& labeller, int width, int height, int y0, bool bottom)
      : labeller_(labeller),
        width_(width),
        height_(height),
        y0_(y0),
        window_(labeller, width, height),
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
  // called. Nothing more is written once the band has more numbers than a map holds. With
  // Pass::Order nothing is written and rowOut is not called; Pass::Write writes the numbers
  // that SetNumbers gave, and keeps the boxes by them.
  template <Pass kPass, class RowOut, class RowDone>
  void Run(int y1, RowOut&& rowOut, RowDone&& rowDone) {
    for (int y = y0_; y < y1; ++y) {
      window_.StartRow(y);
      uint16_t* out = kPass == Pass::Order ? nullptr : rowOut(y);
      uint32_t own = labeller_.RowStartLabel(y);
      int x = 0;
      for (const LabelRun& run : labeller_.Runs(y)) {
        EmitLine<kPass>(out, x, run.start, y, own);
        Emit<kPass>(out, labeller_.Root(run.label), run.start, run.end, y);
        own = run.label;
        x = run.end;
      }
      EmitLine<kPass>(out, x, width_, y, own);
      rowDone(y);
    }
  }

  // For Pass::Write: every label this band meets has its number in `number` (shared by the
  // bands, kept by the caller while they write), of `total`.
  void SetNumbers(const std::vector<uint32_t>& number, uint32_t total) {
    given_ = &number;
    boxes_.assign(std::size_t(total) + 1, EmptyRegionBox(width_, height_));
  }

  bool overflow() const { return overflow_; }
  // order()[n] is the label of local number n (entry 0 unused); box(n) the box of number n.
  const std::vector<uint32_t>& order() const { return order_; }
  const RegionBox& box(uint32_t n) const { return boxes_[n]; }
  std::vector<RegionBox>& boxes() { return boxes_; }

 private:
  template <Pass kPass>
  void Emit(uint16_t* out, uint32_t label, int x0, int x1, int y) {
    if constexpr (kPass == Pass::Write) return Write(out, (*given_)[label], x0, x1, y);
    uint32_t& n = number_[label];
    if (n == 0) {
      n = uint32_t(order_.size());
      order_.push_back(label);
      if (n > uint32_t(kMaxRegions)) overflow_ = true;
      if (kPass == Pass::NumberAndWrite && !overflow_)
        boxes_.push_back(EmptyRegionBox(width_, height_));
    }
    if (kPass == Pass::Order || overflow_) return;
    Write(out, n, x0, x1, y);
  }
  // Number n over x0 .. x1 - 1 of row y, and its box widened to take them.
  void Write(uint16_t* out, uint32_t n, int x0, int x1, int y) {
    FillRow(out + x0, std::size_t(x1 - x0), uint16_t(n));
    RegionBox& box = boxes_[n];
    box.minX = std::min(box.minX, x0);
    box.maxX = std::max(box.maxX, x1 - 1);
    box.minY = std::min(box.minY, y);
    box.maxY = std::max(box.maxY, y);
  }
  // Line pixels take the label of a neighbouring area, or keep the one they carry; neighbours
  // alike in label are emitted as one span.
  template <Pass kPass>
  void EmitLine(uint16_t* out, int x0, int x1, int y, uint32_t own) {
    int from = x0;
    uint32_t pending = 0;
    for (int x = x0; x < x1; ++x) {
      uint32_t label = own;
      window_.Seek(x);
      for (const auto& d : kNeighboursLastFirst)
        if (uint32_t area = window_.Neighbour(x, d[0], d[1]); area != 0) {
          label = area;
          break;
        }
      if (label != pending && x > from) {
        Emit<kPass>(out, pending, from, x, y);
        from = x;
      }
      pending = label;
    }
    if (x1 > from) Emit<kPass>(out, pending, from, x1, y);
  }

  const RunLabeller& labeller_;
  int width_;
  int height_;
  int y0_;
  LabelWindow window_;
  std::vector<uint32_t> number_;  // per label: its number in this band, 0 before it is met
  const std::vector<uint32_t>* given_ = nullptr;  // Pass::Write: the final numbers
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
    band.Run<Pass::NumberAndWrite>(
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

  // In bands: each band first notes the order it meets the labels in, without writing; the
  // numbers follow from the bands' orders in the bands' order (a label takes the next number
  // where it is met first), and each band then writes its rows with them. Writing local
  // numbers and putting them right afterwards went over the map twice, the second time on
  // fewer threads, as the bottom band's numbers need no change.
  std::vector<std::optional<BandNumbering>> numbered(std::size_t(bands.count()));
  bands.Run([&](int k, int y0, int y1) {
    BandNumbering& band = numbered[std::size_t(k)].emplace(labeller, width, height, y0, k == 0);
    band.Run<Pass::Order>(
        y1, [](int) { return nullptr; }, [](int) {});
  });
  std::vector<uint32_t> number(std::size_t(labeller.LabelCount()) + 1, 0);
  if (number.size() > 1) number[1] = 1;
  RegionNumbering result{1, false};
  for (const std::optional<BandNumbering>& band : numbered) {
    const std::vector<uint32_t>& order = band->order();
    for (std::size_t n = 1; n < order.size(); ++n)
      if (uint32_t& final = number[order[n]]; final == 0) final = ++result.total;
  }
  result.overflow = result.total > uint32_t(kMaxRegions);
  if (result.overflow) {
    // The other per-row work is done all the same.
    bands.Run([&](int, int y0, int y1) { rows(y0, y1); });
    return result;
  }

  if (regionMap.size() != total) {
    ReserveLarge(regionMap, total);
    regionMap.resize(total);
  }
  bands.Run([&](int k, int y0, int y1) {
    BandNumbering& band = *numbered[std::size_t(k)];
    band.SetNumbers(number, result.total);
    band.Run<Pass::Write>(
        y1, [&](int y) { return regionMap.data() + std::size_t(y) * w; }, [](int) {});
    rows(y0, y1);
  });
  bounds.assign(std::size_t(result.total) + 1, EmptyRegionBox(width, height));
  for (const std::optional<BandNumbering>& band : numbered)
    for (uint32_t n = 1; n <= result.total; ++n) Widen(bounds[n], band->box(n));
  return result;
}

}  // namespace quenda
