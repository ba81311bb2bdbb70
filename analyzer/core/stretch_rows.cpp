#include "analyzer/core/stretch_rows.h"

#include <bit>
#include <cmath>
#include <cstring>

#include "common/contrast_stretch.h"

namespace quenda {
namespace {

// What the product gives for grey g: the grey above black, shifted and multiplied, its high
// half, at most 255 (-1 above 32767, which no usual setting reaches: kept out so the 16-bit
// lanes of the block loops below never hold a value with the sign bit set).
int ProductStretch(int g, int black, int shift, uint32_t multiplier) {
  const uint32_t above = uint32_t(g > black ? g - black : 0) << shift;
  const uint32_t value = (above * multiplier) >> 16;
  if (value > 32767) return -1;
  return value > 255 ? 255 : int(value);
}

// Pixels a block: loops over one block have a fixed length, which the compiler turns into
// vector code for whatever processor it builds for.
constexpr std::size_t kBlock = 16;

// The product for one block of grey values, bytes equal to ProductStretch. Written in 16-bit
// lanes, the saturating subtraction and the clamp as selects and the shift as a multiplication
// by its power of two (a shift by a variable count would keep the lanes 32 bits wide), so that
// it vectorizes.
inline void StretchBlock(const uint8_t* grey, uint8_t* out, uint8_t black, uint16_t power,
                         uint16_t multiplier) {
  uint16_t above[kBlock];
  for (std::size_t k = 0; k < kBlock; ++k)
    above[k] = grey[k] > black ? uint16_t(grey[k] - black) : uint16_t(0);
  for (std::size_t k = 0; k < kBlock; ++k) {
    const uint16_t shifted = uint16_t(above[k] * power);
    const uint16_t value = uint16_t((uint32_t(shifted) * uint32_t(multiplier)) >> 16);
    out[k] = value > 255 ? uint8_t(255) : uint8_t(value);
  }
}

}  // namespace

StretchRows::StretchRows(uint8_t whiteClamp, uint8_t blackClamp)
    : table_(StretchTable(whiteClamp, blackClamp)), black_(blackClamp) {
  // The finest shift whose multiplier fits 16 bits, rounded down or up, if either matches the
  // table everywhere (it does for every ordered pair of clamps in practice; reversed or equal
  // clamps never match).
  if (whiteClamp > blackClamp) {
    const double scale = 255.0 / (int(whiteClamp) - int(blackClamp));
    for (int shift = 0; shift <= 8 && multiplier_ == 0; ++shift) {
      const double exact = std::ldexp(scale, 16 - shift);
      if (exact >= 65535) continue;
      for (const double candidate : {std::floor(exact), std::floor(exact) + 1}) {
        bool matches = true;
        for (int g = 0; g < 256 && matches; ++g)
          matches =
              ProductStretch(g, blackClamp, shift, uint32_t(candidate)) == table_[std::size_t(g)];
        if (matches) {
          power_ = uint16_t(1u << shift), multiplier_ = uint16_t(candidate);
          break;
        }
      }
    }
  }
  canShow_ = multiplier_ != 0 && std::endian::native == std::endian::little;
  if (multiplier_ == 0) pairs_.emplace(table_);
}

void StretchRows::MapRow(uint8_t* bytes, std::size_t n) const {
  if (pairs_) return pairs_->MapRow(bytes, n);
  // Copies, so that the loop does not read them again after each store.
  const uint8_t black = black_;
  const uint16_t power = power_, multiplier = multiplier_;
  std::size_t i = 0;
  for (; i + kBlock <= n; i += kBlock) {
    uint8_t value[kBlock];
    StretchBlock(bytes + i, value, black, power, multiplier);
    for (std::size_t k = 0; k < kBlock; ++k) bytes[i + k] = value[k];
  }
  for (; i < n; ++i) bytes[i] = table_[bytes[i]];
}

void StretchRows::ShowRow(const uint8_t* grey, const uint8_t* flags, uint8_t* shown, std::size_t n,
                          Bgr line) const {
  // A pixel's three display bytes as the low bytes of a word (memory order on a little-endian
  // machine); two pixels' words make the six bytes stored at once. The block's stretch is
  // vector code; spreading a byte to three has no portable vector form, so that part is not.
  const uint32_t colour =
      uint32_t(line.blue) | uint32_t(line.green) << 8 | uint32_t(line.red) << 16;
  const uint8_t black = black_;  // copies, as in MapRow
  const uint16_t power = power_, multiplier = multiplier_;
  std::size_t i = 0;
  for (; canShow_ && i + kBlock <= n; i += kBlock) {
    uint8_t value[kBlock];
    StretchBlock(grey + i, value, black, power, multiplier);
    uint8_t* out = shown + 3 * i;
    for (std::size_t k = 0; k < kBlock; k += 2) {
      const uint64_t p0 = (flags[i + k] & 1) != 0 ? colour : uint32_t(value[k]) * 0x010101u;
      const uint64_t p1 = (flags[i + k + 1] & 1) != 0 ? colour : uint32_t(value[k + 1]) * 0x010101u;
      const uint64_t word = p0 | p1 << 24;
      std::memcpy(out + 3 * k, &word, 6);
    }
  }
  for (; i < n; ++i) {
    uint8_t* d = shown + 3 * i;
    if (flags[i] & 1)
      d[0] = line.blue, d[1] = line.green, d[2] = line.red;
    else
      d[0] = d[1] = d[2] = table_[grey[i]];
  }
}

}  // namespace quenda
