#include "analyzer/core/line_generation.h"

#include "analyzer/core/neighbourhood.h"
#include "analyzer/core/thinning.h"
#include "common/contrast_stretch.h"

namespace quenda {
namespace {

void PickUp(WorkingImage& image, PixelRect r, uint8_t linePickUp) {
  const std::size_t w = std::size_t(image.width());
  for (int y = r.y0; y < r.y1; ++y) {
    const uint8_t* grey = image.grey.data() + y * w;
    uint8_t* flags = image.regions.flags.data() + y * w;
    for (int x = r.x0; x < r.x1; ++x) flags[x] = grey[x] < linePickUp ? 1 : 0;
  }
}

void ClearMarks(WorkingImage& image, PixelRect r) {
  const std::size_t w = std::size_t(image.width());
  for (int y = r.y0; y < r.y1; ++y) {
    uint8_t* flags = image.regions.flags.data() + y * w;
    for (int x = r.x0; x < r.x1; ++x) flags[x] &= uint8_t(~kFlagTemporary);
  }
}

// Ink flags and the shown picture; line pixels show in the line colour.
void InkAndDisplay(WorkingImage& image, PixelRect r, const RedlineSettings& s, Bgr lineColour) {
  const std::size_t w = std::size_t(image.width());
  const auto stretch = StretchTable(s.whiteClamp, s.blackClamp);
  for (int y = r.y0; y < r.y1; ++y) {
    const uint8_t* grey = image.grey.data() + y * w;
    uint8_t* flags = image.regions.flags.data() + y * w;
    uint8_t* shown = image.display.Row(y);
    for (int x = r.x0; x < r.x1; ++x) {
      uint8_t f = uint8_t(flags[x] & ~kFlagAnimatorLine);
      if (grey[x] < s.whiteClamp) f |= kFlagAnimatorLine;
      flags[x] = f;
      uint8_t* d = shown + 3 * x;
      if (f & kFlagRegionLine) {
        d[0] = lineColour.blue, d[1] = lineColour.green, d[2] = lineColour.red;
      } else {
        d[0] = d[1] = d[2] = stretch[grey[x]];
      }
    }
  }
}

}  // namespace

void GenerateLines(WorkingImage& image, const RedlineSettings& settings, int x0, int x1, int y0,
                   int y1, Progress& progress, Bgr lineColour) {
  const PixelRect r = ClipToPicture(image, {x0, x1, y0, y1});
  const int w = image.width(), h = image.height();
  ReportStage(progress, "Preparing...", 1);
  PickUp(image, r, settings.linePickUp);
  ReportStage(progress, "Pass 1...", 10);
  ThinLines(image.regions.flags, w, r);
  ReportStage(progress, "Pass 2...", 50);
  ClearMarks(image, r);  // already clear after thinning; kept so growth never depends on it
  GrowStrokeEnds(image.regions.flags, image.grey, w, h, r, settings.lineGrowth);
  ReportStage(progress, "Pass 3...", 70);
  ThinLines(image.regions.flags, w, r);
  ReportStage(progress, "Pass 4...", 90);
  InkAndDisplay(image, r, settings, lineColour);
  ReportStage(progress, "Done", 100);
}

void ShowClampedImage(WorkingImage& image, const RedlineSettings& settings, int x0, int x1, int y0,
                      int y1) {
  const PixelRect r = ClipToPicture(image, {x0, x1, y0, y1});
  const std::size_t w = std::size_t(image.width());
  const auto stretch = StretchTable(settings.whiteClamp, settings.blackClamp);
  for (int y = r.y0; y < r.y1; ++y) {
    const uint8_t* grey = image.grey.data() + y * w;
    uint8_t* shown = image.display.Row(y);
    for (int x = r.x0; x < r.x1; ++x)
      shown[3 * x] = shown[3 * x + 1] = shown[3 * x + 2] = stretch[grey[x]];
  }
}

}  // namespace quenda
