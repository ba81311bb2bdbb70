#include "painter/core/preview_composition.h"

#include <algorithm>

namespace quenda {
namespace {

bool Fits(const PainterFrame& frame, const Raster& picture) {
  return !frame.empty() && picture.width() == frame.rowPixels && picture.height() == frame.height &&
         picture.channels() == 3;
}

void PutEntry(uint8_t* out, const ColorEntry& e) {
  out[0] = e.blue;
  out[1] = e.green;
  out[2] = e.red;
}

const ColorEntry& EntryOf(const ColorSet& colors, int index) {
  return colors.entries[index >= 0 && index < kColorSlots ? index : kTransparentColor];
}

}  // namespace

ImageRect ComposeRegionFillPreview(const PainterFrame& frame, const ColorSet& colors, ViewMode mode,
                                   PenComposition pen, int region, int color, Raster& picture) {
  if (!Fits(frame, picture) || region < 0 ||
      std::size_t(region) >= frame.region.regionBounds.size())
    return {};
  const RegionBox& b = frame.region.regionBounds[region];
  if (b.IsEmpty()) return {};
  const ImageRect box =
      ClipRect({b.minX, b.maxX + 1, b.minY, b.maxY + 1}, frame.width, frame.height);
  ComposeFrame(frame, colors, mode, pen, box, picture);
  const ColorEntry& shown = EntryOf(colors, color);
  for (int y = box.y0 + (box.y0 & 1); y < box.y1; y += 2)
    for (int x = box.x0; x < box.x1; ++x)
      if (frame.region.regionMap[frame.Index(x, y)] == region) PutEntry(picture.At(x, y), shown);
  return box;
}

ImageRect ComposeAnimFillPreview(const PainterFrame& frame, const ColorSet& colors, ImagePoint at,
                                 int color, Raster& picture) {
  if (!Fits(frame, picture)) return {};
  const ColorEntry& a = EntryOf(colors, color);
  ImageRect touched;
  for (std::size_t i : AnimFillPixels(frame, at, color)) {
    const int x = int(i % std::size_t(frame.width)), y = int(i / std::size_t(frame.width));
    uint8_t* out = picture.At(x, y);
    const std::size_t n = frame.region.regionMap[i];
    const ColorEntry& r =
        EntryOf(colors, n < frame.regionColor.size() ? frame.regionColor[n] : kTransparentColor);
    if (frame.region.flags[i] & kFlagRubbedOut) {
      PutEntry(out, r);
    } else {
      const unsigned g = frame.scan.data()[i];
      out[0] = uint8_t((g * r.blue + (255 - g) * a.blue) / 255);
      out[1] = uint8_t((g * r.green + (255 - g) * a.green) / 255);
      out[2] = uint8_t((g * r.red + (255 - g) * a.red) / 255);
    }
    touched = UniteRects(touched, {x, x + 1, y, y + 1});
  }
  return touched;
}

void ComposeSplitHighlight(const PainterFrame& frame, const ColorSet& colors, int region,
                           Raster& picture) {
  if (!Fits(frame, picture)) return;
  const ColorEntry& line = colors.entries[kLineColor];
  const ColorEntry black{0, 0, 0, {}}, white{255, 255, 255, {}};
  for (int y = 0; y < frame.height; ++y) {
    for (int x = 0; x < frame.width; ++x) {
      const std::size_t i = frame.Index(x, y);
      const ColorEntry& shown = (frame.region.flags[i] & kFlagRegionLine) ? line
                                : frame.region.regionMap[i] == region     ? black
                                                                          : white;
      PutEntry(picture.At(x, y), shown);
    }
  }
}

}  // namespace quenda
