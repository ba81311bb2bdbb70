#include "analyzer/oracle/literal_regions.h"

#include <algorithm>
#include <cstdio>
#include <map>

#include "analyzer/core/neighbourhood.h"
#include "analyzer/core/region_extraction.h"
#include "common/color_set.h"
#include "common/contrast_stretch.h"

namespace quenda {
namespace {

bool ReplaceLarger(uint32_t& a, uint32_t& b) {
  if (a == b) return false;
  if (a > b)
    a = b;
  else
    b = a;
  return true;
}

}  // namespace

Status ExtractRegionsLiteral(WorkingImage& image, const RedlineSettings& settings,
                             Progress& progress) {
  if (image.empty()) return Error{kNoPictureToMark};
  const int w = image.width(), h = image.height();
  const long long total = (long long)w * h;
  const std::vector<uint8_t>& flags = image.regions.flags;
  auto line = [&](long long i) { return (flags[i] & 1) != 0; };
  std::vector<uint32_t> label(total);

  // Row-run labels.
  uint32_t counter = 0;
  bool previousLine = false;
  for (long long i = 0; i < total; ++i) {
    if (i % w == 0 || (!line(i) && previousLine)) {
      ++counter;
      previousLine = false;
    } else if (line(i)) {
      previousLine = true;
    }
    label[i] = counter;
  }

  // Fill passes until nothing changes.
  auto pair = [&](int xa, int ya, int xb, int yb) {
    long long a = (long long)ya * w + xa, b = (long long)yb * w + xb;
    if (line(a) || line(b)) return false;
    return ReplaceLarger(label[a], label[b]);
  };
  bool changed;
  do {
    changed = false;
    ReportStage(progress, "Fill Pass 1...", 25);
    for (int y = 0; y <= h - 2; ++y)
      for (int x = 0; x < w; ++x) changed |= pair(x, y, x, y + 1);
    ReportStage(progress, "Fill Pass 2...", 50);
    for (int y = h - 1; y >= 1; --y)
      for (int x = 0; x < w; ++x) changed |= pair(x, y, x, y - 1);
    ReportStage(progress, "Fill Pass 3...", 75);
    for (int x = 0; x <= w - 2; ++x)
      for (int y = 0; y < h; ++y) changed |= pair(x, y, x + 1, y);
    ReportStage(progress, "Fill Pass 4...", 99);
    for (int x = w - 1; x >= 1; --x)
      for (int y = 0; y < h; ++y) changed |= pair(x, y, x - 1, y);
  } while (changed);

  // Line pixels join a neighbouring area.
  ReportStage(progress, "Region Pass...", 0);
  for (long long i = 0; i < total; ++i) {
    if (!line(i)) continue;
    for (int dx = -1; dx <= 1; ++dx)
      for (int dy = -1; dy <= 1; ++dy) {
        long long j = i + (long long)dy * w + dx;
        if (j < 0 || j > total - 1) continue;
        if (!line(j)) label[i] = label[j];
      }
  }

  // Numbers in order of first appearance; the grey image takes its stretched values.
  std::map<uint32_t, uint32_t> number{{1u, 1u}};
  uint32_t next = 2;
  const long long interval = std::max(total / 10, 1LL);
  for (long long i = 0; i < total; ++i) {
    auto [it, added] = number.try_emplace(label[i], next);
    if (added) ++next;
    label[i] = it->second;
    image.grey[i] = StretchGrey(image.grey[i], settings.whiteClamp, settings.blackClamp);
    if (i % interval == 0) ReportStage(progress, "Region Pass...", int(i * 100 / total));
  }
  const uint32_t n = next - 1;
  if (n > uint32_t(kMaxRegions)) {
    ClearRegions(image);
    return Error{TooManyRegionsMessage(n)};
  }

  RegionData& regions = image.regions;
  regions.settings = settings;
  regions.regionCount = int(n) - 1;
  regions.regionMap.assign(label.begin(), label.end());
  regions.animColor.assign(total, uint16_t(kAnimLineColor));
  regions.regionBounds.assign(n + 1, EmptyRegionBox(w, h));
  image.filledCount = 0;
  image.regionColor.assign(n + 1, 0);
  image.regionColorUndo.assign(n + 1, 0);

  ReportStage(progress, "Finishing...", 0);
  const int columnInterval = std::max(w / 10, 1);
  for (int x = 0; x < w; ++x) {
    for (int y = 0; y < h; ++y) {
      RegionBox& box = regions.regionBounds[label[(long long)y * w + x]];
      box.minX = std::min(box.minX, x);
      box.maxX = std::max(box.maxX, x);
      box.minY = std::min(box.minY, y);
      box.maxY = std::max(box.maxY, y);
    }
    if (x % columnInterval == 0) ReportStage(progress, "Finishing...", x * 100 / w);
  }
  ReportStage(progress, "Done", 100);
  return Status::Ok();
}

}  // namespace quenda
