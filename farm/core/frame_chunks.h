#pragma once
// A job's frames cut into chunks, one per task of a job array.

#include <vector>

namespace quenda::farm {

// Frame numbers first..last, inclusive, as the plain commands take them ("A-B").
struct FrameChunk {
  int first = 0;
  int last = 0;
  bool operator==(const FrameChunk&) const = default;
};

// `frames` (ascending, no repeats) in runs of `size` numbers; the last run may be shorter.
// Every frame falls in exactly one chunk. Nothing for no frames; `size` is at least 1.
std::vector<FrameChunk> SplitIntoChunks(const std::vector<int>& frames, int size);
// Frames first..last, every one.
std::vector<int> FrameSpan(int first, int last);

// The indices of the chunks that hold at least one of `frames`, ascending: what to run again.
std::vector<int> ChunksHolding(const std::vector<FrameChunk>& chunks,
                               const std::vector<int>& frames);

}  // namespace quenda::farm
