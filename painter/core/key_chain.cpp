#include "painter/core/key_chain.h"

#include <array>
#include <deque>
#include <optional>

#include "autopaint/both_keys.h"
#include "common/color_set.h"

namespace quenda {

bool PaintChain(const ChainFrames& frames, int first, int last, const AutoPaintOptions& options,
                ChainColours& out, const std::function<bool(int index)>& stop) {
  const int step = first <= last ? 1 : -1;
  // Slots of the source, of the drawing beyond the key and of the target, turning round each
  // step.
  std::array<int, 3> slot{0, 1, 2};
  PainterFrame* source = frames(first - step, slot[0]);
  if (!source) return false;
  // The chain's memory: copies of the drawings it painted before the source, nearest first,
  // then the key; after them the drawing beyond the key, on disk, asked only when needed.
  std::deque<PainterFrame> memory;
  std::optional<PainterFrame> keyBeyond;  // a copy, since its slot turns round
  bool keyBeyondAsked = false;
  for (int index = first;; index += step) {
    PainterFrame* target = frames(index, slot[2]);
    if (!target) return false;
    auto further = [&](int depth) -> const PainterFrame* {
      if (depth < int(memory.size())) return &memory[std::size_t(depth)];
      if (depth > int(memory.size()) || memory.size() >= std::size_t(kChainMemory)) return nullptr;
      if (!keyBeyondAsked) {
        keyBeyondAsked = true;
        if (const PainterFrame* frame = frames(first - 2 * step, slot[1])) keyBeyond = *frame;
      }
      return keyBeyond ? &*keyBeyond : nullptr;
    };
    std::vector<int> sure;
    AutoPaintFrom(*target, *source, options, further, &sure);
    out.colour.push_back(target->regionColor);
    out.confidence.push_back(std::move(sure));
    if (stop && stop(index)) return false;
    if (index == last) return true;
    memory.push_front(*source);
    if (memory.size() > std::size_t(kChainMemory)) memory.pop_back();
    source = target;
    slot = {slot[2], slot[0], slot[1]};
  }
}

std::vector<std::vector<int32_t>> PaintFromBothKeys(const ChainFrames& frames, int first, int last,
                                                    const AutoPaintOptions& options,
                                                    const std::function<bool(int index)>& stop,
                                                    int margin) {
  ChainColours forward, backward;
  if (!PaintChain(frames, first, last, options, forward, stop) ||
      !PaintChain(frames, last, first, options, backward, stop))
    return {};
  const std::size_t count = forward.colour.size();
  std::vector<std::vector<int32_t>> colours;
  for (std::size_t k = 0; k < count; ++k) {
    const std::size_t back = count - 1 - k;
    colours.push_back(CombineKeys({forward.colour[k], forward.confidence[k]},
                                  {backward.colour[back], backward.confidence[back]},
                                  kUnfilledColor, margin));
  }
  return colours;
}

}  // namespace quenda
