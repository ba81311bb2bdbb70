#include "analyzer/core/run_labelling.h"

#include <cassert>
#include <cstring>

namespace quenda {
namespace {

bool IsLine(uint8_t flag) {
  return (flag & 1) != 0;
}

// First x >= from (below width) whose pixel is a line pixel, or width.
int NextLine(const uint8_t* row, int from, int width) {
  constexpr uint64_t kBit0 = 0x0101010101010101ull;
  int x = from;
  while (x + 8 <= width) {
    uint64_t word;
    std::memcpy(&word, row + x, 8);
    if (word & kBit0) break;
    x += 8;
  }
  while (x < width && !IsLine(row[x])) ++x;
  return x;
}

int NextNonLine(const uint8_t* row, int from, int width) {
  int x = from;
  while (x < width && IsLine(row[x])) ++x;
  return x;
}

// Walks one row's spans in order, advancing the counter by the labelling rule.
// onRun(start, end, label) for non-line runs, onLine(start, end, label) for line spans.
template <class OnRun, class OnLine>
void WalkRow(const uint8_t* row, int width, uint32_t& counter, OnRun&& onRun, OnLine&& onLine) {
  ++counter;
  int x = 0;
  bool freshLabel = false;
  if (IsLine(row[0])) {
    x = NextNonLine(row, 0, width);
    onLine(0, x, counter);
    // The row's first pixel does not count as a line before the next one.
    freshLabel = x >= 2;
  }
  while (x < width) {
    int end = NextLine(row, x, width);
    if (freshLabel) ++counter;
    onRun(x, end, counter);
    x = end;
    if (x >= width) break;
    end = NextNonLine(row, x, width);
    onLine(x, end, counter);
    freshLabel = true;
    x = end;
  }
}

struct Run {
  int start;
  int end;
  uint32_t label;
};

}  // namespace

RunLabeller::RunLabeller(const uint8_t* flags, int width, int height)
    : flags_(flags), width_(width), height_(height) {
  root_.push_back(0);
  auto find = [this](uint32_t a) {
    while (root_[a] != a) a = root_[a] = root_[root_[a]];
    return a;
  };
  std::vector<Run> previous, current;
  uint32_t counter = 0;
  for (int y = 0; y < height; ++y) {
    const uint8_t* row = flags + std::size_t(y) * width;
    current.clear();
    WalkRow(
        row, width, counter,
        [&](int start, int end, uint32_t label) {
          current.push_back({start, end, label});
        },
        [](int, int, uint32_t) {});
    while (root_.size() <= counter) root_.push_back(uint32_t(root_.size()));
    // Runs of the two rows that share a column belong together.
    std::size_t i = 0, j = 0;
    while (i < previous.size() && j < current.size()) {
      const Run& a = previous[i];
      const Run& b = current[j];
      if (a.start < b.end && b.start < a.end) {
        uint32_t ra = find(a.label), rb = find(b.label);
        if (ra < rb)
          root_[rb] = ra;
        else if (rb < ra)
          root_[ra] = rb;
      }
      if (a.end <= b.end)
        ++i;
      else
        ++j;
    }
    previous.swap(current);
  }
  // Parents never exceed their children, so one ascending sweep resolves every root.
  for (std::size_t label = 1; label < root_.size(); ++label) root_[label] = root_[root_[label]];
}

void RunLabeller::LabelRow(int y, uint32_t* out) {
  assert(y == nextRow_ && y < height_);
  (void)y;
  const uint8_t* row = flags_ + std::size_t(nextRow_) * width_;
  ++nextRow_;
  WalkRow(
      row, width_, counter_,
      [&](int start, int end, uint32_t label) {
        uint32_t root = root_[label];
        for (int x = start; x < end; ++x) out[x] = root;
      },
      [&](int start, int end, uint32_t label) {
        for (int x = start; x < end; ++x) out[x] = label;
      });
}

}  // namespace quenda
