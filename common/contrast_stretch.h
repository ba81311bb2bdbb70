#pragma once
// The contrast stretch that turns a scanned grey value into what the screen shows: blackClamp
// maps to 0, whiteClamp to 255, linearly between. Line generation displays it, region
// extraction leaves the grey image stretched with it, and loading a region file applies it to
// a freshly read drawing, so all three must compute it the same way, down to the rounding.

#include <array>
#include <cstdint>

namespace quenda {

// Computed in double precision and truncated toward zero. With equal clamps every value shows
// as the clamp itself. The clamps need not be ordered (a settings file is loaded unchecked); a
// reversed pair gives a falling ramp, clipped to 0..255 like any other.
inline uint8_t StretchGrey(uint8_t grey, uint8_t whiteClamp, uint8_t blackClamp) {
  if (whiteClamp == blackClamp) return blackClamp;
  double scale = 255.0 / (int(whiteClamp) - int(blackClamp));
  double value = scale * (int(grey) - int(blackClamp));
  if (value > 255) value = 255;
  if (value < 0) value = 0;
  return uint8_t(value);
}

// StretchGrey for every grey value, for whole pictures.
inline std::array<uint8_t, 256> StretchTable(uint8_t whiteClamp, uint8_t blackClamp) {
  std::array<uint8_t, 256> table{};
  for (int g = 0; g < 256; ++g) table[g] = StretchGrey(uint8_t(g), whiteClamp, blackClamp);
  return table;
}

}  // namespace quenda
