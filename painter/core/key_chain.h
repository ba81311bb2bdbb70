#pragma once
// A chain of auto paint through a run of frames, each painted from the one before it in the
// run, starting from a painted key; kept in memory, so that the in-betweens of two keys can be
// painted from both before anything is written.

#include <cstdint>
#include <functional>
#include <vector>

#include "autopaint/both_keys.h"
#include "painter/core/auto_paint.h"

namespace quenda {

// Frame `index` as it is on disk, or null when there is none there or it does not load. What
// is returned stays valid, and the chain may change its colours, until `slot` (0 .. 2) is
// asked for again.
using ChainFrames = std::function<PainterFrame*(int index, int slot)>;

struct ChainColours {
  std::vector<std::vector<int32_t>> colour;  // per frame of the run, in the chain's order
  // Likewise, per region (autopaint/both_keys.h): how sure the chain is of the colour from the
  // key on, no surer than the colour the region took in the drawing before.
  std::vector<std::vector<int>> confidence;
};

// Paints the frames `first`, first + step, .. `last` (step 1 or -1) each from the one before,
// the first from the key at first - step. What the one before leaves unfilled (a region a
// crossing limb hid there) is asked of the chain's memory: the drawings painted before it,
// nearest first, and the key, always; the frame beyond the key only while the memory is short.
// False when a frame does not load or `stop` says so before the run ends.
bool PaintChain(const ChainFrames& frames, int first, int last, const AutoPaintOptions& options,
                ChainColours& out, const std::function<bool(int index)>& stop = {});

// Both chains of the frames `first` .. `last` (first < last), forward from the key at first - 1
// and backward from the one at last + 1. False as PaintChain.
bool PaintBothChains(const ChainFrames& frames, int first, int last,
                     const AutoPaintOptions& options, ChainColours& forward, ChainColours& backward,
                     const std::function<bool(int index)>& stop = {});

// The colours of both chains' frames combined (autopaint/both_keys.h), ascending.
std::vector<std::vector<int32_t>> CombineChains(const ChainColours& forward,
                                                const ChainColours& backward,
                                                int margin = kBothKeysMargin);

// The colours of the frames `first` .. `last` (first < last) painted from both keys, the
// painted frames first - 1 and last + 1, ascending. The chains paint specks as `options` say;
// the specks they disagree on are unfilled here, for the caller to settle on the frame. Empty
// when a frame does not load or `stop` says so. `margin`: autopaint/both_keys.h.
std::vector<std::vector<int32_t>> PaintFromBothKeys(const ChainFrames& frames, int first, int last,
                                                    const AutoPaintOptions& options,
                                                    const std::function<bool(int index)>& stop = {},
                                                    int margin = kBothKeysMargin);

}  // namespace quenda
