#pragma once
// The contrast stretch over whole rows: the grey picture stretched in place, and the display's
// three equal bytes a pixel with the line pixels in the line colour. For the usual settings the
// stretch of every grey value is what a 16-bit fixed-point product gives, which loops the
// compiler vectorizes do sixteen pixels at a time with no table; the product is checked against the
// table for all 256 values when made, and settings it does not match go through the table.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>

#include "analyzer/core/pixel_rows.h"
#include "analyzer/core/working_image.h"

namespace quenda {

class StretchRows {
 public:
  StretchRows(uint8_t whiteClamp, uint8_t blackClamp);

  // bytes[i] = stretch(bytes[i]) for i < n.
  void MapRow(uint8_t* bytes, std::size_t n) const;

  // Whether ShowRow can be used: the product matches and the machine is little-endian (the
  // display bytes are packed into words). Otherwise the caller shows the row its own way.
  bool CanShow() const { return canShow_; }
  // shown[3 i .. 3 i + 2] = stretch(grey[i]), or the line colour where flags[i] has bit 0, for
  // i < n.
  void ShowRow(const uint8_t* grey, const uint8_t* flags, uint8_t* shown, std::size_t n,
               Bgr line) const;

  // Whether the fixed-point product reproduces the table (for tests).
  bool ByProduct() const { return multiplier_ != 0; }
  const std::array<uint8_t, 256>& table() const { return table_; }

 private:
  std::array<uint8_t, 256> table_;
  uint8_t black_;
  uint16_t power_ = 1;       // the grey above black is multiplied by this power of two, then
  uint16_t multiplier_ = 0;  // by this, keeping the high 16 bits of the product (0: none fits)
  bool canShow_ = false;
  std::optional<PairTable> pairs_;  // for MapRow when no product fits
};

}  // namespace quenda
