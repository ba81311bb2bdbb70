#include "common/zoom_level.h"

#include <algorithm>
#include <cmath>

namespace quenda {
namespace {

int FloorDiv(long long a, long long b) {
  long long q = a / b;
  if ((a % b != 0) && ((a < 0) != (b < 0))) --q;
  return int(q);
}

}  // namespace

int ZoomLevelPercent(int level) {
  return level >= 1 ? 100 * level : 100 / (2 - level);
}

double ZoomLevelFactor(int level) {
  return level >= 1 ? double(level) : 1.0 / double(2 - level);
}

bool ZoomInAllowed(int level, const ZoomLimits& limits) {
  return ZoomLevelPercent(level) < limits.inBelowPercent;
}

bool ZoomOutAllowed(int level, const ZoomLimits& limits) {
  return ZoomLevelPercent(level) >= limits.outFromPercent;
}

int ZoomedLength(int length, int level) {
  return level >= 1 ? length * level : length / (2 - level);
}

int UnzoomedPosition(int offset, int level) {
  return level >= 1 ? FloorDiv(offset, level) : offset * (2 - level);
}

int CentreOffset(int windowLength, int zoomedLength) {
  return windowLength > zoomedLength ? (windowLength - zoomedLength) / 2 : 0;
}

int ScrollKeepingCentre(int oldScroll, int windowLength, int oldLevel, int newLevel,
                        int maxScroll) {
  double half = windowLength / 2;
  double moved = (oldScroll + half) * ZoomLevelFactor(newLevel) / ZoomLevelFactor(oldLevel) - half;
  int position = int(std::trunc(moved));
  return std::clamp(position, 0, std::max(0, maxScroll));
}

int ScrollAfterPan(int oldScroll, int previousMouse, int currentMouse, int zoomedLength,
                   int windowLength) {
  int position = oldScroll + previousMouse - currentMouse;
  return std::clamp(position, 0, std::max(0, zoomedLength - windowLength));
}

int FittingZoomLevel(int width, int height, int windowWidth, int windowHeight,
                     const ZoomLimits& limits) {
  auto fits = [&](int level) {
    return ZoomedLength(width, level) <= windowWidth && ZoomedLength(height, level) <= windowHeight;
  };
  int level = 1;
  while (ZoomInAllowed(level, limits) && fits(level + 1)) ++level;
  while (!fits(level) && ZoomOutAllowed(level, limits)) --level;
  return level;
}

}  // namespace quenda
