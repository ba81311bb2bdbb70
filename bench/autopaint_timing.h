#pragma once
// The timing lines of bench_autopaint: auto paint of one A4 300 dpi drawing by the vote, by
// shapes and from both keys; and the checksum of painted colours its --digest prints.

#include <cstdint>
#include <string>
#include <vector>

#include "autopaint/both_keys.h"
#include "painter/core/auto_paint.h"

namespace quenda {

// FNV-1a over painted colours: one number that changes when any colour does.
inline constexpr uint64_t kDigestStart = 14695981039346656037u;
void Digest(uint64_t& hash, const std::vector<std::vector<int32_t>>& colors);

struct TimingOptions {
  int runs = 5;
  AutoPaintOptions shapes;  // by shapes, and from both keys
  int margin = kBothKeysMargin;
  int closeGaps = 0;    // the analyzer's, for the drawings timed
  bool digest = false;  // print the checksum of what each way painted
};

// Analyzes three drawings of the walk into `directory` and prints the median time of `runs`
// of each way of painting one of them; then, by shapes and from both keys, the best of at
// least three runs on one thread and on two, and their ratio.
void TimeLargeFrame(const std::string& directory, const TimingOptions& bench);

}  // namespace quenda
