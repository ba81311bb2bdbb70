#include "common/region_pen.h"

#include <algorithm>
#include <array>

#include "common/segment_walk.h"

namespace quenda {
namespace {

constexpr std::array<uint8_t, 256> MakeGapTable() {
  std::array<uint8_t, 256> table{};
  constexpr int kCodes[] = {12,  17,  24,  25,  28,  29,  34,  36,  38,  44,  48,  52,
                            56,  57,  60,  61,  65,  66,  67,  68,  70,  71,  98,  99,
                            100, 102, 103, 129, 130, 131, 136, 137, 145, 152, 153, 156,
                            157, 184, 185, 188, 193, 194, 195, 198, 199, 226, 227, 230};
  for (int c : kCodes) table[c] = 1;
  return table;
}
constexpr std::array<uint8_t, 256> kGapTable = MakeGapTable();

std::size_t Index(const RegionData& region, int x, int y) {
  return std::size_t(y) * std::size_t(region.width) + std::size_t(x);
}

bool Empty(const RegionData& region) {
  return region.width <= 0 || region.height <= 0;
}

bool IsLine(const RegionData& region, int x, int y) {
  return region.flags[Index(region, x, y)] & kFlagRegionLine;
}

// The first pixel of the box, x outer and y inner, of region `label` that is neither line nor
// marked.
bool FindSeed(const RegionData& region, const StrokeBox& box, int label, std::size_t& seed) {
  const auto& flags = region.flags;
  const auto& map = region.regionMap;
  for (int x = box.minX; x <= box.maxX; ++x) {
    for (int y = box.minY; y <= box.maxY; ++y) {
      const std::size_t i = Index(region, x, y);
      if (map[i] == label && !(flags[i] & (kFlagRegionLine | kFlagVisited))) {
        seed = i;
        return true;
      }
    }
  }
  return false;
}

// Marks the piece of `label` reachable from the seed. A step may run onto a line (or pen line)
// but never off it, so lines keep the pieces apart.
void MarkPiece(RegionData& region, std::size_t seed, int label) {
  auto& flags = region.flags;
  const auto& map = region.regionMap;
  const int w = region.width;
  std::vector<std::size_t> work{seed};
  flags[seed] |= kFlagVisited;
  auto tryStep = [&](std::size_t from, std::size_t to) {
    const uint8_t a = flags[from], b = flags[to];
    if (map[to] != label || (b & kFlagVisited)) return;
    if ((a & kFlagRegionLine) && !(b & kFlagRegionLine)) return;
    if ((a & kFlagRegionPen) && !(b & kFlagRegionPen)) return;
    flags[to] |= kFlagVisited;
    work.push_back(to);
  };
  while (!work.empty()) {
    const std::size_t i = work.back();
    work.pop_back();
    const int x = int(i % w), y = int(i / w);
    if (x > 0) tryStep(i, i - 1);
    if (x + 1 < w) tryStep(i, i + 1);
    if (y > 0) tryStep(i, i - w);
    if (y + 1 < region.height) tryStep(i, i + w);
  }
}

StrokeBox ClippedBox(const RegionData& region, const RegionBox& b) {
  return {std::max(b.minX, 0), std::max(b.minY, 0), std::min(b.maxX, region.width - 1),
          std::min(b.maxY, region.height - 1)};
}

void Include(RegionBox& box, int x, int y) {
  box.minX = std::min(box.minX, x);
  box.maxX = std::max(box.maxX, x);
  box.minY = std::min(box.minY, y);
  box.maxY = std::max(box.maxY, y);
}

// Moves the unmarked pixels of `label` in its box to the new region `added`, and rebuilds both
// boxes.
void Renumber(RegionData& region, int label, int added) {
  auto& map = region.regionMap;
  const auto& flags = region.flags;
  const StrokeBox area = ClippedBox(region, region.regionBounds[label]);
  RegionBox kept = EmptyRegionBox(region.width, region.height);
  RegionBox moved = kept;
  for (int y = area.minY; y <= area.maxY; ++y) {
    for (int x = area.minX; x <= area.maxX; ++x) {
      const std::size_t i = Index(region, x, y);
      if (map[i] != label) continue;
      if (flags[i] & kFlagVisited) {
        Include(kept, x, y);
      } else {
        map[i] = uint16_t(added);
        Include(moved, x, y);
      }
    }
  }
  region.regionBounds[label] = kept;
  region.regionBounds[added] = moved;
}

// Line pixels of the box take the number of their last non-line neighbour (x offset outer,
// y offset inner), neighbours taken by pixel index within the picture. The box of the region a
// pixel joins grows to hold it, so every box keeps holding all of its region's pixels.
void RelabelLines(RegionData& region, const StrokeBox& area) {
  auto& map = region.regionMap;
  const auto& flags = region.flags;
  const long long size = static_cast<long long>(region.PixelCount());
  const long long w = region.width;
  for (int y = area.minY; y <= area.maxY; ++y) {
    for (int x = area.minX; x <= area.maxX; ++x) {
      const long long i = static_cast<long long>(Index(region, x, y));
      if (!(flags[i] & kFlagRegionLine)) continue;
      for (int dx = -1; dx <= 1; ++dx) {
        for (int dy = -1; dy <= 1; ++dy) {
          const long long n = i + dy * w + dx;
          if (n < 0 || n >= size || (flags[n] & kFlagRegionLine)) continue;
          map[i] = map[n];
        }
      }
      const std::size_t joined = map[i];
      if (joined < region.regionBounds.size()) Include(region.regionBounds[joined], x, y);
    }
  }
}

}  // namespace

void StrokeBox::Extend(ImagePoint p) {
  minX = std::min(minX, p.x);
  minY = std::min(minY, p.y);
  maxX = std::max(maxX, p.x);
  maxY = std::max(maxY, p.y);
}

ImageRect DrawPenLine(RegionData& region, ImagePoint from, ImagePoint to) {
  if (Empty(region)) return {};
  auto clamp = [&](ImagePoint p) {
    return ImagePoint{std::clamp(p.x, 0, region.width - 1), std::clamp(p.y, 0, region.height - 1)};
  };
  const ImagePoint a = clamp(from), b = clamp(to);
  ImageRect drawn;
  WalkSegment(a, b, [&](int x, int y) {
    region.flags[Index(region, x, y)] |= kFlagRegionLine | kFlagRegionPen;
    drawn = UniteRects(drawn, {x, x + 1, y, y + 1});
  });
  return drawn;
}

SplitResult SplitRegions(const PaintTarget& target, StrokeBox box) {
  RegionData& region = target.region;
  SplitResult result;
  if (Empty(region)) return result;
  box = {std::max(box.minX - 1, 0), std::max(box.minY - 1, 0),
         std::min(box.maxX + 1, region.width - 1), std::min(box.maxY + 1, region.height - 1)};
  if (static_cast<long long>(box.maxX - box.minX) * (box.maxY - box.minY) < 1) return result;

  std::vector<int> affected;
  std::vector<bool> seen(std::size_t(region.RegionTotal()) + 1, false);
  for (int x = box.minX; x <= box.maxX; ++x) {
    for (int y = box.minY; y <= box.maxY; ++y) {
      const int r = region.regionMap[Index(region, x, y)];
      if (std::size_t(r) < seen.size() && !seen[r]) {
        seen[r] = true;
        affected.push_back(r);
      }
    }
  }

  auto& flags = region.flags;
  for (int r : affected) {
    const StrokeBox area = ClippedBox(region, region.regionBounds[r]);
    for (int y = area.minY; y <= area.maxY; ++y)
      for (int x = area.minX; x <= area.maxX; ++x)
        flags[Index(region, x, y)] &= uint8_t(~kFlagVisited);
    int label = r;
    int splits = 0;
    std::size_t seed = 0;
    while (FindSeed(region, box, label, seed)) {
      MarkPiece(region, seed, label);
      if (!FindSeed(region, box, label, seed)) break;
      // A region file holds 16-bit region numbers: the table stops growing at its limit.
      if (region.RegionTotal() + 1 > kMaxRegions) break;
      const int added = region.RegionTotal() + 1;
      region.regionCount += 1;
      region.regionBounds.resize(std::size_t(added) + 1);
      target.regionColor.resize(std::size_t(added) + 1);
      target.regionColor[added] = target.regionColor[label];
      Renumber(region, label, added);
      result.shownRegions.push_back(label);
      result.shownRegions.push_back(added);
      ++result.regionsAdded;
      ++splits;
      label = added;
    }
    if (splits > 0) RelabelLines(region, area);
  }
  return result;
}

int NeighbourCode(const RegionData& region, int x, int y) {
  const int w = region.width, h = region.height;
  auto at = [&](int nx, int ny, bool outsideCounts) {
    if (nx < 0 || ny < 0 || nx >= w || ny >= h) return outsideCounts;
    return IsLine(region, nx, ny);
  };
  int code = 0;
  if (at(x - 1, y + 1, x == 0 && y == h - 1)) code += 1;
  if (at(x, y + 1, true)) code += 2;
  if (at(x + 1, y + 1, x == w - 1 && y == h - 1)) code += 4;
  if (at(x - 1, y, true)) code += 8;
  if (at(x + 1, y, true)) code += 16;
  if (at(x - 1, y - 1, x == 0 && y == 0)) code += 32;
  if (at(x, y - 1, true)) code += 64;
  if (at(x + 1, y - 1, x == w - 1 && y == 0)) code += 128;
  return code;
}

bool IsGapCode(int code) {
  return code >= 0 && code < 256 && kGapTable[code];
}

GapResult CloseGaps(const PaintTarget& target, ImagePoint press, ImagePoint release) {
  RegionData& region = target.region;
  GapResult result;
  if (Empty(region)) return result;
  const int left = std::max(std::min(press.x, release.x), 0);
  const int right = std::min(std::max(press.x, release.x), region.width - 1);
  const int bottom = std::max(std::min(press.y, release.y), 0);
  const int top = std::min(std::max(press.y, release.y), region.height - 1);
  if (right < left || top < bottom || static_cast<long long>(right - left) * (top - bottom) < 1)
    return result;
  result.ran = true;
  auto& flags = region.flags;
  for (uint8_t& f : flags) f &= uint8_t(~kFlagRegionPen);
  for (int y = bottom; y < top; ++y) {
    for (int x = left; x < right; ++x) {
      const std::size_t i = Index(region, x, y);
      if ((flags[i] & kFlagRegionLine) || !IsGapCode(NeighbourCode(region, x, y))) continue;
      flags[i] |= kFlagRegionLine;
      ++result.bridged;
    }
  }
  if (result.bridged > 0) result.split = SplitRegions(target, {left, bottom, right, top});
  return result;
}

}  // namespace quenda
