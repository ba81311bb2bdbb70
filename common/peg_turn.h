#pragma once
// Turning a scanned sheet by its peg position, so every drawing of a sequence is stored the
// same way up whichever edge of the paper carried the pegs, and placing a stored drawing on
// the peg bar again.

#include "common/raster.h"

namespace quenda {

// `scanned` is the raster as the scanner delivers it, Ws columns by Hs rows, indexed with
// row 0 at the TOP of the picture (a bottom-up bitmap can be passed as a view that starts at
// its last row with a negative stride). Any channel count; whole pixels are moved.
//
// The result is the stored raster D in file order, row 0 at the BOTTOM, packed without
// padding, with the same channel count. Counting D's rows from the top, D(c, r) is:
//   kPegLeft   (0): S(r, Hs-1-c), Hs wide by Ws high  (a quarter turn clockwise)
//   kPegRight  (1): S(Ws-1-r, c), Hs wide by Ws high  (a quarter turn anticlockwise)
//   kPegBottom (2): S(c, r),      Ws wide by Hs high  (not turned)
//   kPegTop    (3): S(Ws-1-c, Hs-1-r), Ws wide by Hs high  (half a turn)
// Any other value leaves the picture as kPegBottom does: a foreign file's odd peg value must
// not stop a scan.
Raster TurnForPeg(ConstRasterView scanned, int pegPosition);

// Where a stored drawing's corner lies in the common peg-aligned coordinates, from its peg
// position, size and bed position (x, y). Drawings of one sequence line up when each is
// moved by its own offset; any peg value but the four leaves the bed position as it is.
struct PegOffset {
  int x = 0;
  int y = 0;
  bool operator==(const PegOffset&) const = default;
};
PegOffset PegOffsetFor(int pegPosition, int width, int height, int xPosition, int yPosition);

// The peg buttons of every dialog that asks for a peg position, left to right: pictures of the
// sheet with its pegs along the bottom, the left, the right and the top edge.
inline constexpr int kPegButtonCount = 4;
// The stored peg position of a button; -1 for no button.
int PegPositionOfButton(int button);
// The button showing a stored peg position; -1 for a value no button shows.
int PegButtonOfPosition(int pegPosition);

}  // namespace quenda
