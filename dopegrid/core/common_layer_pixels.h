#pragma once
// The shortcuts of laying a painted drawing: the pixels most drawings are made of, laid from
// tables. Each gives exactly the bytes of making the layer pixel and laying it over the picture;
// a pixel they do not cover is left to the caller (they answer false).

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <type_traits>
#include <vector>

#include "common/color_set.h"
#include "dopegrid/core/sheet_drawing.h"

namespace quenda {

// Layer columns side by side: the k-th output pixel of a row shows the k-th layer pixel.
struct UnitLayerStep {
  long long operator()(std::size_t k) const { return (long long)k; }
};

// The two pixels most of a painted drawing is made of, each from a table instead of
// making each layer pixel and laying it over: paper inside a painted region is the region's
// opaque fill, and any pixel without flags in an unpainted region is its line colour with no
// alpha, which only a transparent picture pixel takes.
class CommonLayerPixels {
 public:
  explicit CommonLayerPixels(const PaintedDrawing& painted)
      : flags_(painted.regions.flags.data()),
        regionMap_(painted.regions.regionMap.data()),
        animColor_(painted.regions.animColor.data()),
        grey_(painted.drawing.picture.data()) {
    const auto& entries = painted.colors.entries;
    fills_.reserve(painted.regionColor.size());
    for (int32_t own : painted.regionColor) {
      if (own == 0) {
        fills_.push_back(kUnpainted);
      } else if (own > 0 && own < int32_t(entries.size())) {
        const ColorEntry& e = entries[std::size_t(own)];
        fills_.push_back(Pack(e.blue, e.green, e.red, 255));
      } else {
        fills_.push_back(kLeftToLayerPixels);  // a colour no slot holds
      }
    }
    for (std::size_t c = 0; c < lines_.size(); ++c)
      lines_[c] = Pack(entries[c].blue, entries[c].green, entries[c].red, 0);
  }

  // Lays pixel i over the picture pixel `d` when it is one of the two; false otherwise.
  bool LayOver(long long i, uint8_t* d) const {
    if (flags_[i] != 0) return false;
    const uint32_t fill = fills_[regionMap_[i]];
    if (fill == kUnpainted) {
      const uint16_t line = animColor_[i];
      if (line >= lines_.size()) return false;
      if (d[kAlpha] == 0) std::memcpy(d, &lines_[line], sizeof(uint32_t));
      return true;
    }
    if (fill == kLeftToLayerPixels || grey_[i] != 255) return false;
    std::memcpy(d, &fill, sizeof fill);  // opaque: what lies beneath does not count
    return true;
  }

  // Eight pixels, rowStart + column(k) .. column(k + 7), laid over `out` when all eight are paper
  // inside painted regions, the usual case; false (and nothing written) otherwise.
  template <class Column>
  bool LayEight(long long rowStart, Column column, std::size_t k, uint8_t* out) const {
    if constexpr (std::is_same_v<Column, UnitLayerStep>) {
      // Side by side in the layer: whole words at once, and one fill when the eight share a
      // region, as they mostly do.
      const long long i = rowStart + (long long)k;
      uint64_t flags, grey;
      uint64_t regions[2];
      std::memcpy(&flags, flags_ + i, sizeof flags);
      std::memcpy(&grey, grey_ + i, sizeof grey);
      if (flags != 0 || grey != ~uint64_t(0)) return false;
      std::memcpy(regions, regionMap_ + i, sizeof regions);
      const uint64_t same = uint64_t(regionMap_[i]) * 0x0001000100010001ULL;
      if (regions[0] == same && regions[1] == same) {
        const uint32_t fill = fills_[regionMap_[i]];
        if (fill <= kLeftToLayerPixels) return false;
        for (std::size_t j = 0; j < 8; ++j) std::memcpy(out + 4 * j, &fill, sizeof fill);
        return true;
      }
    }
    uint8_t anyFlag = 0, allGrey = 255;
    for (std::size_t j = 0; j < 8; ++j) {
      const long long i = rowStart + column(k + j);
      anyFlag |= flags_[i];
      allGrey &= grey_[i];
    }
    if (anyFlag != 0 || allGrey != 255) return false;
    uint32_t words[8];
    bool opaque = true;
    for (std::size_t j = 0; j < 8; ++j) {
      words[j] = fills_[regionMap_[rowStart + column(k + j)]];
      opaque &= words[j] > kLeftToLayerPixels;
    }
    if (opaque) std::memcpy(out, words, sizeof words);
    return opaque;
  }

  // Pixel i's four bytes when it is paper inside a painted region; false otherwise.
  bool Copy(long long i, uint8_t* p) const {
    if (flags_[i] != 0 || grey_[i] != 255) return false;
    const uint32_t fill = fills_[regionMap_[i]];
    if (fill == kUnpainted || fill == kLeftToLayerPixels) return false;
    std::memcpy(p, &fill, sizeof fill);
    return true;
  }

 private:
  static constexpr std::size_t kAlpha = 3;  // byte offset in a picture pixel
  // No fill word is either: every fill has an alpha byte of 255.
  static constexpr uint32_t kUnpainted = 0;
  static constexpr uint32_t kLeftToLayerPixels = 1;

  static uint32_t Pack(uint8_t b, uint8_t g, uint8_t r, uint8_t a) {
    const uint8_t bytes[4] = {b, g, r, a};
    uint32_t word;
    std::memcpy(&word, bytes, sizeof word);
    return word;
  }

  const uint8_t* flags_;
  const uint16_t* regionMap_;
  const uint16_t* animColor_;
  const uint8_t* grey_;
  std::vector<uint32_t> fills_;
  std::array<uint32_t, kColorSlots> lines_{};
};

}  // namespace quenda
