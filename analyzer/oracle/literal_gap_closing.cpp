#include "analyzer/oracle/literal_gap_closing.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
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
  // Strokes that end round a pinhole: every group of paper pixels, whole.
  std::vector<char> grouped(found.size(), 0);
  auto onEdge = [&](int x, int y) {
    return x == rect.x0 || y == rect.y0 || x == rect.x1 - 1 || y == rect.y1 - 1;
  };
  auto isIn = [](const std::vector<std::pair<int, int>>& set, int x, int y) {
    return std::find(set.begin(), set.end(), std::pair{x, y}) != set.end();
  };
  for (int y = rect.y0; y < rect.y1; ++y)
    for (int x = rect.x0; x < rect.x1; ++x) {
      if (line(x, y) || grouped[std::size_t(y) * width + x]) continue;
      std::vector<std::pair<int, int>> group{{x, y}};
      grouped[std::size_t(y) * width + x] = 1;
      for (std::size_t k = 0; k < group.size(); ++k) {
        const auto [gx, gy] = group[k];
        for (auto [nx, ny] : {std::pair{gx - 1, gy}, {gx + 1, gy}, {gx, gy - 1}, {gx, gy + 1}}) {
          if (nx < rect.x0 || ny < rect.y0 || nx >= rect.x1 || ny >= rect.y1 || line(nx, ny) ||
              grouped[std::size_t(ny) * width + nx])
            continue;
          grouped[std::size_t(ny) * width + nx] = 1;
          group.emplace_back(nx, ny);
        }
      }
      if (int(group.size()) > kPinholeSize) continue;
      bool pinhole = true;
      std::vector<std::pair<int, int>> ring;
      // A group off the edge is bounded by line pixels alone, being 4-connected and whole.
      for (auto [gx, gy] : group) {
        pinhole = pinhole && !onEdge(gx, gy);
        for (int dy = -1; dy <= 1; ++dy)
          for (int dx = -1; dx <= 1; ++dx)
            if (line(gx + dx, gy + dy) && !isIn(ring, gx + dx, gy + dy))
              ring.emplace_back(gx + dx, gy + dy);
      }
      if (!pinhole) continue;
      std::vector<std::pair<int, int>> exits;
      for (auto [rx, ry] : ring)
        for (int dy = -1; dy <= 1; ++dy)
          for (int dx = -1; dx <= 1; ++dx)
            if (line(rx + dx, ry + dy) && !isIn(ring, rx + dx, ry + dy) &&
                !isIn(exits, rx + dx, ry + dy))
              exits.emplace_back(rx + dx, ry + dy);
      if (exits.empty()) continue;
      // One 8-connected group of exits, reached from the first.
      std::vector<std::pair<int, int>> reached{exits.front()};
      for (std::size_t k = 0; k < reached.size(); ++k)
        for (auto [ex, ey] : exits)
          if (!isIn(reached, ex, ey) && std::abs(ex - reached[k].first) <= 1 &&
              std::abs(ey - reached[k].second) <= 1)
            reached.emplace_back(ex, ey);
      if (reached.size() != exits.size()) continue;
      // The ring pixel farthest from the exits, the lowest index on a tie.
      std::sort(ring.begin(), ring.end(), [](auto a, auto b) {
        return std::pair{a.second, a.first} < std::pair{b.second, b.first};
      });
      long long farthest = -1;
      int endX = 0, endY = 0;
      for (auto [rx, ry] : ring) {
        long long nearest = -1;
        for (auto [ex, ey] : exits) {
          const long long d2 = (long long)(ex - rx) * (ex - rx) + (long long)(ey - ry) * (ey - ry);
          if (nearest < 0 || d2 < nearest) nearest = d2;
        }
        if (nearest > farthest) farthest = nearest, endX = rx, endY = ry;
      }
      bool known = false;
      for (const End& e : ends) known = known || (e.x == endX && e.y == endY);
      if (!known) ends.push_back({endX, endY});
    }
  // Ends in pixel order, as ties between joins of one length go to the lower end.
  std::sort(ends.begin(), ends.end(), [](const End& a, const End& b) {
    return std::pair{a.y, a.x} < std::pair{b.y, b.x};
  });

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
