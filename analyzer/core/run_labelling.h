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
#include <vector>

namespace quenda {

class RunLabeller {
 public:
  // Reads bit 0 of `flags` (width * height bytes, bottom row first) and merges all runs.
  RunLabeller(const uint8_t* flags, int width, int height);

  // The highest label given; labels run 1 .. LabelCount().
  uint32_t LabelCount() const { return uint32_t(root_.size() - 1); }

  // Row y's labels: non-line pixels their area's smallest label, line pixels their own row-run
  // label. Rows must be asked for in order, each once, from row 0.
  void LabelRow(int y, uint32_t* out);

 private:
  const uint8_t* flags_;
  int width_;
  [[maybe_unused]] int height_;  // read by the row-order assertion only
  std::vector<uint32_t> root_;   // union-find parents, then each label's root
  uint32_t counter_ = 0;         // replays the labels while rows are handed out
  int nextRow_ = 0;
};

}  // namespace quenda
