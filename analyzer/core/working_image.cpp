#include "analyzer/core/working_image.h"

#include <algorithm>

#include "common/large_pages.h"

namespace quenda {

WorkingImage MakeWorkingImage(int width, int height, std::vector<uint8_t> grey, Display display) {
  WorkingImage image;
  width = std::max(width, 0);
  height = std::max(height, 0);
  image.regions.width = width;
  image.regions.height = height;
  std::size_t pixels = image.PixelCount();
  grey.resize(pixels, 255);
  image.grey = std::move(grey);
  ReserveLarge(image.regions.flags, pixels);
  image.regions.flags.assign(pixels, 0);
  if (display == Display::Shown)
    image.display = Raster(width, height, 3, std::ptrdiff_t(DisplayRowPixels(width)) * 3, 0);
  return image;
}

PixelRect ClipToPicture(const WorkingImage& image, PixelRect rect) {
  rect.x0 = std::clamp(rect.x0, 0, image.width());
  rect.x1 = std::clamp(rect.x1, rect.x0, image.width());
  rect.y0 = std::clamp(rect.y0, 0, image.height());
  rect.y1 = std::clamp(rect.y1, rect.y0, image.height());
  return rect;
}

void ShowGreyIn(const WorkingImage& image, PixelRect rect, RasterView display) {
  rect = ClipToPicture(image, rect);
  const std::size_t w = std::size_t(image.width());
  for (int y = rect.y0; y < rect.y1; ++y) {
    const uint8_t* grey = image.grey.data() + std::size_t(y) * w;
    uint8_t* shown = display.Row(y);
    for (int x = rect.x0; x < rect.x1; ++x)
      shown[3 * x] = shown[3 * x + 1] = shown[3 * x + 2] = grey[x];
  }
}

}  // namespace quenda
