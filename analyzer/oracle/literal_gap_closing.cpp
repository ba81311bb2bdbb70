#include "analyzer/oracle/literal_gap_closing.h"

#include <cmath>
#include <deque>

namespace quenda {

namespace {

// One round: every end of the lines as they stand, judged before any of the round's joins.
int OneRound(std::vector<uint8_t>& flags, int width, PixelRect rect, int maxGap, GapJoins& joins) {
  const int before = joins.count;
  const std::vector<uint8_t> found = flags;  // the lines as found, before any join
  auto line = [&](int x, int y) {
    return x >= rect.x0 && x < rect.x1 && y >= rect.y0 && y < rect.y1 &&
           (found[std::size_t(y) * width + x] & 1) != 0;
  };
  auto segment = [](int x0, int y0, int x1, int y1) {
    std::vector<std::pair<int, int>> pixels;
    const int steps = std::max(std::abs(x1 - x0), std::abs(y1 - y0));
    if (steps == 0) return std::vector<std::pair<int, int>>{{x0, y0}};
    for (int k = 0; k <= steps; ++k)
      pixels.emplace_back(x0 + int(std::lround(double(k * (x1 - x0)) / steps)),
                          y0 + int(std::lround(double(k * (y1 - y0)) / steps)));
    return pixels;
  };

  struct End {
    int x, y;
    bool hasTarget = false;
    int tx = 0, ty = 0;
    long long length2 = 0;
    bool joined = false;
  };
  std::vector<End> ends;
  for (int y = rect.y0; y < rect.y1; ++y)
    for (int x = rect.x0; x < rect.x1; ++x) {
      if (!line(x, y)) continue;
      int neighbours = 0;
      for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx)
          if ((dx || dy) && line(x + dx, y + dy)) ++neighbours;
      if (neighbours == 1) ends.push_back({x, y});
    }

  for (End& e : ends) {
    // Steps along the line pixels from the end, over the whole rectangle.
    std::vector<int> steps(std::size_t(width) * std::size_t(rect.y1), -1);
    std::deque<std::pair<int, int>> queue{{e.x, e.y}};
    steps[std::size_t(e.y) * width + e.x] = 0;
    while (!queue.empty()) {
      auto [x, y] = queue.front();
      queue.pop_front();
      for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx) {
          if (!line(x + dx, y + dy)) continue;
          int& s = steps[std::size_t(y + dy) * width + x + dx];
          if (s >= 0) continue;
          s = steps[std::size_t(y) * width + x] + 1;
          queue.emplace_back(x + dx, y + dy);
        }
    }
    for (int y = rect.y0; y < rect.y1; ++y)
      for (int x = rect.x0; x < rect.x1; ++x) {
        if (!line(x, y)) continue;
        const int along = steps[std::size_t(y) * width + x];
        if (along >= 0 && along <= 2 * maxGap) continue;
        const long long d2 = (long long)(x - e.x) * (x - e.x) + (long long)(y - e.y) * (y - e.y);
        if (d2 > (long long)maxGap * maxGap) continue;
        if (e.hasTarget && d2 >= e.length2) continue;  // rows and columns ascend: lower wins
        bool crosses = false;
        for (auto [px, py] : segment(e.x, e.y, x, y))
          if (!(px == e.x && py == e.y) && !(px == x && py == y) && line(px, py)) crosses = true;
        if (crosses) continue;
        e.hasTarget = true, e.tx = x, e.ty = y, e.length2 = d2;
      }
  }

  // Shortest first, again and again, until no end is left to join.
  for (;;) {
    End* next = nullptr;
    for (End& e : ends)
      if (e.hasTarget && !e.joined && (!next || e.length2 < next->length2)) next = &e;
    if (!next) break;
    next->joined = true;
    for (End& e : ends)
      if (e.x == next->tx && e.y == next->ty) e.joined = true;
    for (auto [px, py] : segment(next->x, next->y, next->tx, next->ty)) {
      uint8_t& f = flags[std::size_t(py) * width + px];
      if (f & 1) continue;
      f |= 1;
      joins.pixels.push_back(std::ptrdiff_t(py) * width + px);
    }
    ++joins.count;
  }
  return joins.count - before;
}

}  // namespace

GapJoins CloseGapsLiteral(std::vector<uint8_t>& flags, int width, int height, PixelRect rect,
                          int maxGap) {
  (void)height;
  GapJoins joins;
  if (maxGap <= 0) return joins;
  // Rounds until one joins nothing.
  while (OneRound(flags, width, rect, maxGap, joins) > 0) {
  }
  return joins;
}

}  // namespace quenda
