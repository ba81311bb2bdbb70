#pragma once
// Labels for region extraction, found by merging row runs instead of sweeping fill passes.
//
// Walking the pixels in linear order, a counter goes up at the start of every row and at every
// non-line pixel that follows a line pixel in its row (a row-start pixel never counts as
// "following"). Each pixel takes the counter's value: every run of non-line pixels has its own
// label, and a line pixel carries the label of the run before it. Runs that touch across rows
// (4-connectivity) are merged with a union-find that keeps the smallest label as the root, so an
// area's root is the smallest label it contains: the fixed point the fill passes reach.

#include <cstdint>
#include <span>
#include <vector>

#include "common/stripes.h"

namespace quenda {

// One run of non-line pixels start <= x < end of a row, with its own (unmerged) label.
struct LabelRun {
  int start;
  int end;
  uint32_t label;
};

class RunLabeller {
 public:
  // Reads bit 0 of `flags` (width * height bytes, bottom row first) once and merges all runs,
  // each band of rows on a thread of its own and then the bands' seams: the labels and roots
  // are those of one band.
  RunLabeller(const uint8_t* flags, int width, int height, const Stripes& bands);
  RunLabeller(const uint8_t* flags, int width, int height)
      : RunLabeller(flags, width, height, Stripes(0, height, 1)) {}

  // The highest label given; labels run 1 .. LabelCount().
  uint32_t LabelCount() const { return uint32_t(root_.size() - 1); }

  // Row y's non-line runs, left to right.
  std::span<const LabelRun> Runs(int y) const {
    return {runs_.data() + rowBegin_[std::size_t(y)], runs_.data() + rowBegin_[std::size_t(y) + 1]};
  }
  // The label line pixels at the start of row y carry (the counter as the row begins).
  uint32_t RowStartLabel(int y) const { return rowStart_[std::size_t(y)]; }
  // The smallest label of the area a run label belongs to.
  uint32_t Root(uint32_t label) const { return root_[label]; }

 private:
  std::vector<LabelRun> runs_;
  std::vector<std::size_t> rowBegin_;  // height + 1 offsets into runs_
  std::vector<uint32_t> rowStart_;     // height entries
  std::vector<uint32_t> root_;         // union-find parents, then each label's root
};

}  // namespace quenda
