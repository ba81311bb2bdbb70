#pragma once
// The layer of a painted drawing, pixel by pixel: blue, green, red and alpha from the stretched
// grey, the flags, the region map, the region colours and the line colours. The render lays it
// over its picture; the analyzer saves it as its composite.

#include <cstdint>
#include <vector>

#include "common/color_set.h"
#include "common/region_data.h"

namespace quenda {

// Inline, as the render makes one per output pixel it cannot take from its tables.
class PaintLayerPixels {
 public:
  // `grey` holds the width * height pixels of the drawing (and the maps of `regions` as many);
  // `regionColor` has an entry for every number of the region map, each a slot of `colors`.
  // All must outlive this object.
  PaintLayerPixels(const RegionData& regions, const uint8_t* grey, int width, int height,
                   const std::vector<int32_t>& regionColor, const ColorSet& colors)
      : flags_(regions.flags.data()),
        regionMap_(regions.regionMap.data()),
        animColor_(regions.animColor.data()),
        grey_(grey),
        regionColor_(regionColor.data()),
        entries_(colors.entries.data()),
        width_(width),
        count_((long long)width * height) {}

  // Pixel i (linear index) into p[0..3]. True when the pixel took a region's colour; false when
  // its region is transparent and no neighbour lent it one (it then shows its line colour).
  bool Make(long long i, uint8_t* p) const {
    int own = regionColor_[regionMap_[i]];
    if (flags_[i] == 0 && own != 0 && grey_[i] == 255) {
      // Paper inside a painted region: the fill itself (the weight is exactly 1), opaque.
      const ColorEntry& fill = entries_[own];
      p[kB] = fill.blue, p[kG] = fill.green, p[kR] = fill.red, p[kA] = 255;
      return true;
    }
    return MakeAny(i, own, p);
  }

 private:
  static constexpr int kB = 0, kG = 1, kR = 2, kA = 3;

  bool MakeAny(long long i, int own, uint8_t* p) const {
    uint8_t flag = flags_[i];
    int c = own;
    bool found = false;
    if (flag & kFlagRegionLine) {
      // The first neighbour by linear index, columns outer, rows inner, that is no line pixel
      // and whose region is painted.
      c = 0;
      for (int dx = -1; dx <= 1 && !found; ++dx) {
        for (int dy = -1; dy <= 1 && !found; ++dy) {
          long long n = i + dx + dy * width_;
          if (n < 0 || n >= count_ || (flags_[n] & kFlagRegionLine)) continue;
          if (int colour = regionColor_[regionMap_[n]]; colour != 0) {
            c = colour;
            found = true;
          }
        }
      }
    }
    int a = grey_[i];
    const ColorEntry& line = entries_[animColor_[std::size_t(i)]];
    if (c != 0) {
      const ColorEntry& fill = entries_[c];
      float w = (flag & kFlagRubbedOut) ? 1.0f : float(a) * (1.0f / 255.0f);
      p[kB] = uint8_t(float(fill.blue) * w + float(line.blue) * (1 - w));
      p[kG] = uint8_t(float(fill.green) * w + float(line.green) * (1 - w));
      p[kR] = uint8_t(float(fill.red) * w + float(line.red) * (1 - w));
    } else {
      p[kB] = line.blue, p[kG] = line.green, p[kR] = line.red;
    }
    if (own != 0 || found)
      p[kA] = 255;
    else if ((flag & kFlagAnimatorLine) && !(flag & kFlagRubbedOut))
      p[kA] = uint8_t(255 - a);
    else
      p[kA] = 0;
    return c != 0;
  }

  const uint8_t* flags_;
  const uint16_t* regionMap_;
  const uint16_t* animColor_;
  const uint8_t* grey_;
  const int32_t* regionColor_;
  const ColorEntry* entries_;
  long long width_;
  long long count_;
};

}  // namespace quenda
