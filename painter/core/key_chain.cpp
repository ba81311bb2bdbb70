#include "painter/core/key_chain.h"

#include <array>

#include "autopaint/both_keys.h"
#include "common/color_set.h"

namespace quenda {

bool PaintChain(const ChainFrames& frames, int first, int last, const AutoPaintOptions& options,
                ChainColours& out, const std::function<bool(int index)>& stop) {
  const int step = first <= last ? 1 : -1;
  // Slots of the source, of the drawing beyond it and of the target, turning round each step.
  std::array<int, 3> slot{0, 1, 2};
  PainterFrame* source = frames(first - step, slot[0]);
  if (!source) return false;
  PainterFrame* beyond = nullptr;
  bool beyondOnDisk = true;  // until the chain has painted a frame of its own
  const int keyBeyond = first - 2 * step;
  for (int index = first;; index += step) {
    PainterFrame* target = frames(index, slot[2]);
    if (!target) return false;
    auto further = [&]() -> const PainterFrame* {
      if (!beyond && beyondOnDisk) beyond = frames(keyBeyond, slot[1]);
      return beyond;
    };
    std::vector<int> sure;
    AutoPaintFrom(*target, *source, options, further, &sure);
    out.colour.push_back(target->regionColor);
    out.confidence.push_back(std::move(sure));
    if (stop && stop(index)) return false;
    if (index == last) return true;
    beyond = source, beyondOnDisk = false;
    source = target;
    slot = {slot[2], slot[0], slot[1]};
  }
}

std::vector<std::vector<int32_t>> PaintFromBothKeys(const ChainFrames& frames, int first, int last,
                                                    const AutoPaintOptions& options,
                                                    const std::function<bool(int index)>& stop) {
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
                                  kUnfilledColor));
  }
  return colours;
}

}  // namespace quenda
