#include "painter/core/shown_frame.h"

#include <algorithm>

namespace quenda {
namespace {

const ColorEntry& EntryOf(const ColorSet& colors, int index) {
  return colors.entries[index >= 0 && index < kColorSlots ? index : kTransparentColor];
}

void PutEntry(uint8_t* out, const ColorEntry& e) {
  out[0] = e.blue;
  out[1] = e.green;
  out[2] = e.red;
}

// Calls visit(i, j, pixel index, out pixel) for every sample inside `box`.
template <class Visit>
void ForEachSampleIn(const PainterFrame& frame, const SampleGrid& grid, const ImageRect& box,
                     RasterView out, Visit visit) {
  for (int j = 0; j < grid.rows; ++j) {
    const int y = grid.Y(j);
    if (y < box.y0 || y >= box.y1) continue;
    for (int i = 0; i < grid.columns; ++i) {
      const int x = grid.X(i);
      if (x >= box.x0 && x < box.x1) visit(y, frame.Index(x, y), out.At(i, j));
    }
  }
}

void SampleSplit(const PainterFrame& frame, const ColorSet& colors, int region,
                 const SampleGrid& grid, RasterView out) {
  const ColorEntry& line = colors.entries[kLineColor];
  const ColorEntry black{0, 0, 0, {}}, white{255, 255, 255, {}};
  ForEachSampleIn(frame, grid, WholeImage(frame.width, frame.height), out,
                  [&](int, std::size_t p, uint8_t* to) {
                    const ColorEntry& shown = (frame.region.flags[p] & kFlagRegionLine) ? line
                                              : frame.region.regionMap[p] == region     ? black
                                                                                        : white;
                    PutEntry(to, shown);
                  });
}

}  // namespace

FramePreview RegionFillPreview(const PainterFrame& frame, int region, int color) {
  if (frame.empty() || region < 0 || std::size_t(region) >= frame.region.regionBounds.size())
    return {};
  const RegionBox& b = frame.region.regionBounds[std::size_t(region)];
  if (b.IsEmpty()) return {};
  FramePreview preview;
  preview.kind = FramePreview::Kind::RegionFill;
  preview.region = region;
  preview.color = color;
  preview.box = ClipRect({b.minX, b.maxX + 1, b.minY, b.maxY + 1}, frame.width, frame.height);
  return preview;
}

FramePreview LineFillPreview(const PainterFrame& frame, ImagePoint at, int color) {
  FramePreview preview;
  if (frame.empty()) return preview;
  preview.linePixels = AnimFillPixels(frame, at, color);
  if (preview.linePixels.empty()) return {};
  std::sort(preview.linePixels.begin(), preview.linePixels.end());
  preview.kind = FramePreview::Kind::LineFill;
  preview.color = color;
  for (std::size_t i : preview.linePixels) {
    const int x = int(i % std::size_t(frame.width)), y = int(i / std::size_t(frame.width));
    preview.box = UniteRects(preview.box, {x, x + 1, y, y + 1});
  }
  return preview;
}

FramePreview SplitPreview(const PainterFrame& frame, int region) {
  FramePreview preview;
  preview.kind = FramePreview::Kind::Split;
  preview.region = region;
  preview.box = WholeImage(frame.width, frame.height);
  return preview;
}

void SampleShownFrame(const PainterFrame& frame, const ColorSet& colors, ViewMode mode,
                      PenComposition pen, const FramePreview& preview, const SampleGrid& grid,
                      RasterView out) {
  if (frame.empty() || !grid.Inside(frame.width, frame.height) || out.channels != 3 ||
      out.width < grid.columns || out.height < grid.rows)
    return;
  if (preview.kind == FramePreview::Kind::Split) {
    if (frame.region.flags.size() == frame.PixelCount() &&
        frame.region.regionMap.size() == frame.PixelCount())
      SampleSplit(frame, colors, preview.region, grid, out);
    return;
  }
  SampleFrame(frame, colors, mode, pen, grid, out);
  switch (preview.kind) {
    case FramePreview::Kind::RegionFill: {
      // The region's own pixels on every even row.
      const ColorEntry& shown = EntryOf(colors, preview.color);
      ForEachSampleIn(frame, grid, preview.box, out, [&](int y, std::size_t p, uint8_t* to) {
        if ((y & 1) == 0 && frame.region.regionMap[p] == preview.region) PutEntry(to, shown);
      });
      break;
    }
    case FramePreview::Kind::LineFill: {
      const ColorEntry& a = EntryOf(colors, preview.color);
      const auto& pixels = preview.linePixels;
      ForEachSampleIn(frame, grid, preview.box, out, [&](int, std::size_t p, uint8_t* to) {
        if (!std::binary_search(pixels.begin(), pixels.end(), p)) return;
        const std::size_t n = frame.region.regionMap[p];
        const ColorEntry& r = EntryOf(
            colors, n < frame.regionColor.size() ? frame.regionColor[n] : kTransparentColor);
        if (frame.region.flags[p] & kFlagRubbedOut) {
          PutEntry(to, r);
          return;
        }
        const unsigned g = frame.scan.data()[p];
        to[0] = uint8_t((g * r.blue + (255 - g) * a.blue) / 255);
        to[1] = uint8_t((g * r.green + (255 - g) * a.green) / 255);
        to[2] = uint8_t((g * r.red + (255 - g) * a.red) / 255);
      });
      break;
    }
    case FramePreview::Kind::None:
    case FramePreview::Kind::Split:
      break;
  }
}

}  // namespace quenda
