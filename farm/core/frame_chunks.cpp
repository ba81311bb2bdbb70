#include "farm/core/frame_chunks.h"

#include <algorithm>

namespace quenda::farm {

std::vector<FrameChunk> SplitIntoChunks(const std::vector<int>& frames, int size) {
  std::vector<FrameChunk> chunks;
  const std::size_t step = std::size_t(std::max(size, 1));
  for (std::size_t at = 0; at < frames.size(); at += step) {
    const std::size_t end = std::min(at + step, frames.size());
    chunks.push_back({frames[at], frames[end - 1]});
  }
  return chunks;
}

std::vector<int> FrameSpan(int first, int last) {
  std::vector<int> frames;
  for (int frame = first; frame <= last; ++frame) frames.push_back(frame);
  return frames;
}

std::vector<int> ChunksHolding(const std::vector<FrameChunk>& chunks,
                               const std::vector<int>& frames) {
  std::vector<int> held;
  for (std::size_t i = 0; i < chunks.size(); ++i) {
    const bool holds = std::any_of(frames.begin(), frames.end(), [&](int frame) {
      return frame >= chunks[i].first && frame <= chunks[i].last;
    });
    if (holds) held.push_back(int(i));
  }
  return held;
}

}  // namespace quenda::farm
