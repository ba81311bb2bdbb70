#pragma once
// Specks: regions of a few pixels that line generation leaves inside and beside thick lines.
// Paint Specks gives every unfilled speck the colour of the painted region it borders most.

#include <cstdint>
#include <vector>

#include "autopaint/shape_match.h"
#include "painter/core/painter_frame.h"

namespace quenda {

// True when region r has fewer than `speckSize` pixels off the lines.
bool IsSpeck(const PainterFrame& frame, int region, int speckSize);

// Unfilled regions that are specks.
int CountUnfilledSpecks(const PainterFrame& frame, int speckSize);

// Settles the unfilled specks of `frame` in `colors` (its region colours or a copy): each takes
// the colour of the painted region it shares most border with, lines between them counting as
// border (ties to the smaller region number). Larger specks go first, and the passes repeat
// until nothing changes, so a cluster of specks fills from its painted side. Returns how many
// were painted.
int SettleSpecks(const PainterFrame& frame, std::vector<int32_t>& colors, int speckSize);

// Paint Specks as a command: the undo copy of region colours is taken only when something is
// painted, and paintChanged is set then. Returns how many specks were painted.
int PaintSpecks(PainterFrame& frame, int speckSize);

}  // namespace quenda
