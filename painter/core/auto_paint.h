#pragma once
// Auto paint: a source frame laid over the target on the peg holes; every target region votes
// by pixel overlap for a source region and takes the winner's colour. Only region colours move.

#include <functional>
#include <vector>

#include "autopaint/shape_match.h"
#include "common/frame_sequence.h"
#include "common/peg_turn.h"
#include "painter/core/painter_frame.h"

namespace quenda {

// Source pixel (x, y) lies over target pixel (x + shift.x, y + shift.y). Both frames are placed
// by the target's peg position.
PegOffset AlignmentShift(const PainterFrame& target, const PainterFrame& source);

// For every target region 1 .. N_T + 1, the source region it takes its colour from: the one
// covering most of its pixels, ties to the smaller number, source region 1 when none covers
// it. Element 0 is unused.
std::vector<int> VoteRegions(const PainterFrame& target, const PainterFrame& source);

// How target regions find their source: the overlap vote, or by shapes (autopaint/shape_match.h),
// which leaves unfilled what it cannot match with confidence.
enum class AutoPaintMatch { Vote, Shapes };

struct AutoPaintOptions {
  AutoPaintMatch match = AutoPaintMatch::Vote;
  bool paintSpecks =
      false;  // afterwards, settle the unfilled specks (painter/core/small_region_fill.h)
  int speckSize = kDefaultSpeckSize;
  int confidence = kDefaultConfidence;  // by shapes, matches less sure than this stay unfilled
};

// For every target region 0 .. N_T + 1, the source region matched by shapes, 0 for none.
// `byColour` lets the source's colours decide, as auto paint does.
std::vector<int> MatchShapes(const PainterFrame& target, const PainterFrame& source,
                             int speckSize = kDefaultSpeckSize, bool byColour = false,
                             int confidence = kDefaultConfidence);

// Takes the undo copy of region colours, copies the matched regions' colours (unfilled where
// the shapes find no match) and sets paintChanged; then paints specks when asked, within the
// same undo. By shapes, the painted drawings on the far side of the source, which `beyond`
// gives nearest first (depth 0 the one just beyond the source; null where there are no more),
// are asked in turn for the regions still unfilled: where a crossing limb hid a region in the
// source, or its outline opened onto the paper there, its colour is found further back, where
// the motion lays it with confidence. `beyond` is called only while such a region is left,
// at most kChainMemory times, since reading a drawing costs as much as matching it. With
// `confidence`, how sure each target region's colour is, 0 .. 100: the match's confidence by
// shapes, 100 by the vote, 0 for regions left unfilled or painted as specks. With `held`, how
// sure the colours of the source (depth -1) and of the drawings beyond it are, per region (null
// for a drawing painted by hand): a region is then no surer than the colour it took.
inline constexpr int kChainMemory = 4;
using BeyondFrame = std::function<const PainterFrame*(int depth)>;
using HeldConfidence = std::function<const std::vector<int>*(int depth)>;
void AutoPaintFrom(PainterFrame& target, const PainterFrame& source,
                   const AutoPaintOptions& options = {}, const BeyondFrame& beyond = {},
                   std::vector<int>* confidence = nullptr, const HeldConfidence& held = {});

}  // namespace quenda
