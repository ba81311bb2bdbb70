#include "painter/core/key_chain.h"

#include <array>
#include <deque>
#include <optional>

#include "autopaint/both_keys.h"
#include "common/color_set.h"

namespace quenda {
namespace {

// A drawing the chain painted, kept for the drawings after it: its colours and how sure each is.
struct Remembered {
  PainterFrame frame;
  std::vector<int> sure;
};

}  // namespace

bool PaintChain(const ChainFrames& frames, int first, int last, const AutoPaintOptions& options,
                ChainColours& out, const std::function<bool(int index)>& stop) {
  const int step = first <= last ? 1 : -1;
  // Slots of the source, of the drawing beyond the key and of the target, turning round each
  // step.
  std::array<int, 3> slot{0, 1, 2};
  PainterFrame* source = frames(first - step, slot[0]);
  if (!source) return false;
  // The chain's memory, asked for what the source lost: copies of the drawings it painted before
  // the source, nearest first, then the key, which a person painted, kept however long the run;
  // after it the drawing beyond the key, on disk, asked only when needed.
  std::deque<Remembered> recent;
  std::optional<PainterFrame> key, keyBeyond;  // copies, since their slots turn round
  bool keyBeyondAsked = false;
  bool sourceIsKey = true;  // whose colours are sure
  for (int index = first;; index += step) {
    PainterFrame* target = frames(index, slot[2]);
    if (!target) return false;
    // Depth d of the memory: recent[d], then the key, then the drawing beyond it.
    auto further = [&](int depth) -> const PainterFrame* {
      if (depth < int(recent.size())) return &recent[std::size_t(depth)].frame;
      if (key && depth == int(recent.size())) return &*key;
      if (depth != int(recent.size()) + (key ? 1 : 0)) return nullptr;
      if (!keyBeyondAsked) {
        keyBeyondAsked = true;
        if (const PainterFrame* frame = frames(first - 2 * step, slot[1])) keyBeyond = *frame;
      }
      return keyBeyond ? &*keyBeyond : nullptr;
    };
    const HeldConfidence held = [&](int depth) -> const std::vector<int>* {
      if (depth < 0) return sourceIsKey ? nullptr : &out.confidence.back();
      return depth < int(recent.size()) ? &recent[std::size_t(depth)].sure : nullptr;
    };
    std::vector<int> sure;
    AutoPaintFrom(*target, *source, options, further, &sure, held);
    out.colour.push_back(target->regionColor);
    out.confidence.push_back(sure);
    if (stop && stop(index)) return false;
    if (index == last) return true;
    if (!key) {
      key = *source;
    } else {
      recent.push_front({*source, out.confidence[out.confidence.size() - 2]});
      // The key stays within reach of the asking however long the run.
      if (recent.size() + 1 > std::size_t(kChainMemory)) recent.pop_back();
    }
    sourceIsKey = false;
    source = target;
    slot = {slot[2], slot[0], slot[1]};
  }
}

bool PaintBothChains(const ChainFrames& frames, int first, int last,
                     const AutoPaintOptions& options, ChainColours& forward, ChainColours& backward,
                     const std::function<bool(int index)>& stop) {
  return PaintChain(frames, first, last, options, forward, stop) &&
         PaintChain(frames, last, first, options, backward, stop);
}

std::vector<std::vector<int32_t>> CombineChains(const ChainColours& forward,
                                                const ChainColours& backward, int margin) {
  const std::size_t count = std::min(forward.colour.size(), backward.colour.size());
  std::vector<std::vector<int32_t>> colours;
  for (std::size_t k = 0; k < count; ++k) {
    const std::size_t back = count - 1 - k;
    colours.push_back(CombineKeys({forward.colour[k], forward.confidence[k], int(k) + 1},
                                  {backward.colour[back], backward.confidence[back], int(back) + 1},
                                  kUnfilledColor, margin));
  }
  return colours;
}

std::vector<std::vector<int32_t>> PaintFromBothKeys(const ChainFrames& frames, int first, int last,
                                                    const AutoPaintOptions& options,
                                                    const std::function<bool(int index)>& stop,
                                                    int margin) {
  ChainColours forward, backward;
  if (!PaintBothChains(frames, first, last, options, forward, backward, stop)) return {};
  return CombineChains(forward, backward, margin);
}

}  // namespace quenda
