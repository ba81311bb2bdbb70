#pragma once
// The two ways of working bench_autopaint measures, on analyzed drawings whose keys are painted
// from the truth: a chain from one key, and the in-betweens of two keys painted from both.

#include <cstdint>
#include <vector>

#include "bench/autopaint_drawing.h"
#include "bench/autopaint_tables.h"
#include "painter/core/auto_paint.h"
#include "painter/core/key_chain.h"

namespace quenda {

inline constexpr int kDrawings = 12;

// One step of a way of working: paint `target` from `source`; the painted drawings beyond the
// source are asked in turn for what it left unfilled, as the painter's chain does. A source
// of -1: painted from both keys.
struct Step {
  int target, source;
};
std::vector<Step> ChainSteps();      // drawing 1 from the truth, 2..12 each from the one before
std::vector<Step> InBetweenSteps();  // 2..11 from both keys, 1 and 12

inline AutoPaintOptions Shapes(bool specks, int confidence) {
  return {AutoPaintMatch::Shapes, specks, kDefaultSpeckSize, confidence};
}

using Colours = std::vector<std::vector<int32_t>>;

// The colours every drawing ends with when the steps are taken by `mode` from the keys (the
// drawings not painted by a step) painted from the truth.
Colours Paint(std::vector<Drawing>& drawings, const std::vector<Step>& steps,
              const AutoPaintOptions& mode);

// The chain from the key painted from the truth, as Auto Paint Range by shapes runs it: in
// memory, remembering the key and how sure each drawing was.
Colours PaintChainFromKey(std::vector<Drawing>& drawings, const AutoPaintOptions& mode);

// Both keys' chains through the in-betweens, the first and last drawings painted from the
// truth; and the colours every drawing ends with when they are combined at `margin`, with
// specks settled afterwards as `mode` says.
struct KeyChains {
  ChainColours forward, backward;
};
KeyChains PaintKeyChains(std::vector<Drawing>& drawings, const AutoPaintOptions& mode);
Colours CombineKeyChains(std::vector<Drawing>& drawings, const KeyChains& chains,
                         const AutoPaintOptions& mode, int margin);
inline Colours PaintFromKeys(std::vector<Drawing>& drawings, const AutoPaintOptions& mode,
                             int margin) {
  return CombineKeyChains(drawings, PaintKeyChains(drawings, mode), mode, margin);
}

// The steps' targets measured against the truth, and the worst of them.
Outcome Judge(const std::vector<Drawing>& drawings, const std::vector<Step>& steps,
              const Colours& colors);

}  // namespace quenda
