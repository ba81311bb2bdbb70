#include "common/peg_turn.h"

#include <array>
#include <cstring>

#include "common/drawing_scan.h"

namespace quenda {

Raster TurnForPeg(ConstRasterView scanned, int pegPosition) {
  const int ws = scanned.width;
  const int hs = scanned.height;
  const int channels = scanned.channels;
  const bool quarter = pegPosition == kPegLeft || pegPosition == kPegRight;
  const int wd = quarter ? hs : ws;
  const int hd = quarter ? ws : hs;
  Raster stored(wd, hd, channels);
  for (int r = 0; r < hd; ++r) {
    uint8_t* out = stored.Row(hd - 1 - r);  // stored rows run bottom first
    for (int c = 0; c < wd; ++c) {
      int sc = c;
      int sr = r;
      switch (pegPosition) {
        case kPegLeft:
          sc = r;
          sr = hs - 1 - c;
          break;
        case kPegRight:
          sc = ws - 1 - r;
          sr = c;
          break;
        case kPegTop:
          sc = ws - 1 - c;
          sr = hs - 1 - r;
          break;
        default:
          break;
      }
      std::memcpy(out + std::ptrdiff_t(c) * channels, scanned.At(sc, sr), std::size_t(channels));
    }
  }
  return stored;
}

PegOffset PegOffsetFor(int pegPosition, int width, int height, int xPosition, int yPosition) {
  switch (pegPosition) {
    case kPegLeft:
      return {-(width + yPosition), -(height + xPosition)};
    case kPegRight:
      return {yPosition, xPosition};
    case kPegBottom:
      return {xPosition, -(height + yPosition)};
    case kPegTop:
      return {-(width + xPosition), yPosition};
    default:
      return {xPosition, yPosition};
  }
}

namespace {
constexpr std::array<int, kPegButtonCount> kButtonPegs{kPegBottom, kPegLeft, kPegRight, kPegTop};
}  // namespace

int PegPositionOfButton(int button) {
  if (button < 0 || button >= kPegButtonCount) return -1;
  return kButtonPegs[button];
}

int PegButtonOfPosition(int pegPosition) {
  for (int i = 0; i < kPegButtonCount; ++i)
    if (kButtonPegs[i] == pegPosition) return i;
  return -1;
}

}  // namespace quenda
