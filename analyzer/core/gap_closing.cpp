#include "analyzer/core/gap_closing.h"

#include <algorithm>
#include <cstdlib>
#include <tuple>

#include "analyzer/core/neighbourhood.h"

namespace quenda {
namespace {

// a / b rounded to the nearest integer, halves away from zero; b > 0.
int RoundedQuotient(int a, int b) {
  return a >= 0 ? (2 * a + b) / (2 * b) : -((-2 * a + b) / (2 * b));
}

// Calls visit(x, y) for the pixels of the segment from (x0, y0) to (x1, y1), both ends included.
template <class Visit>
void ForEachSegmentPixel(int x0, int y0, int x1, int y1, Visit&& visit) {
  const int dx = x1 - x0, dy = y1 - y0;
  const int steps = std::max(std::abs(dx), std::abs(dy));
  if (steps == 0) {
    visit(x0, y0);
    return;
  }
  for (int k = 0; k <= steps; ++k)
    visit(x0 + RoundedQuotient(k * dx, steps), y0 + RoundedQuotient(k * dy, steps));
}

struct Join {
  long long length2;  // squared length
  std::ptrdiff_t end;
  std::ptrdiff_t target;
  bool operator<(const Join& o) const {
    return std::tie(length2, end, target) < std::tie(o.length2, o.end, o.target);
  }
};

// The line map of the rectangle, as found: pixels outside it are no line.
class LineMap {
 public:
  LineMap(const std::vector<uint8_t>& flags, int width, PixelRect rect)
      : flags_(flags), width_(width), rect_(rect) {}

  bool Inside(int x, int y) const {
    return x >= rect_.x0 && x < rect_.x1 && y >= rect_.y0 && y < rect_.y1;
  }
  bool Line(int x, int y) const { return Inside(x, y) && (flags_[Index(x, y)] & 1) != 0; }
  // Outside the rectangle or on its border.
  bool OnEdge(int x, int y) const {
    return x <= rect_.x0 || y <= rect_.y0 || x >= rect_.x1 - 1 || y >= rect_.y1 - 1;
  }
  std::ptrdiff_t Index(int x, int y) const { return std::ptrdiff_t(y) * width_ + x; }
  int LineNeighbours(int x, int y) const {
    int count = 0;
    for (int dy = -1; dy <= 1; ++dy)
      for (int dx = -1; dx <= 1; ++dx)
        if ((dx != 0 || dy != 0) && Line(x + dx, y + dy)) ++count;
    return count;
  }
  // Whether a pixel strictly between the segment's ends is a line pixel.
  bool Crosses(int x0, int y0, int x1, int y1) const {
    bool crosses = false;
    ForEachSegmentPixel(x0, y0, x1, y1, [&](int x, int y) {
      if ((x != x0 || y != y0) && (x != x1 || y != y1) && Line(x, y)) crosses = true;
    });
    return crosses;
  }

 private:
  const std::vector<uint8_t>& flags_;
  int width_;
  PixelRect rect_;
};

// Finds the ends of strokes that end round a pinhole, one pinhole at a time.
class PinholeEnds {
 public:
  explicit PinholeEnds(const LineMap& lines) : lines_(lines) {}

  // Where the paper pixel (x, y) is the first pixel (lowest index) of a pinhole whose exits make
  // one group, that stroke's end.
  bool EndAt(int x, int y, std::ptrdiff_t& end) {
    if (!Hole(x, y)) return false;
    const std::ptrdiff_t first = lines_.Index(x, y);
    for (const auto& [hx, hy] : hole_)
      if (lines_.Index(hx, hy) < first) return false;
    // The ring, and the exits beyond it.
    ring_.clear(), exits_.clear();
    for (const auto& [hx, hy] : hole_)
      EachNeighbour(hx, hy, [&](int nx, int ny) {
        if (lines_.Line(nx, ny)) AddOnce(ring_, nx, ny);
      });
    for (const auto& [rx, ry] : ring_)
      EachNeighbour(rx, ry, [&](int nx, int ny) {
        if (lines_.Line(nx, ny) && !In(ring_, nx, ny)) AddOnce(exits_, nx, ny);
      });
    if (exits_.empty() || !OneGroup()) return false;
    long long farthest = -1;
    for (const auto& [rx, ry] : ring_) {
      long long nearest = -1;
      for (const auto& [ex, ey] : exits_) {
        const long long d2 = (long long)(ex - rx) * (ex - rx) + (long long)(ey - ry) * (ey - ry);
        if (nearest < 0 || d2 < nearest) nearest = d2;
      }
      const std::ptrdiff_t index = lines_.Index(rx, ry);
      if (nearest > farthest || (nearest == farthest && index < end))
        farthest = nearest, end = index;
    }
    return true;
  }

 private:
  using Pixel = std::pair<int, int>;

  template <class Visit>
  static void EachNeighbour(int x, int y, Visit&& visit) {
    for (int dy = -1; dy <= 1; ++dy)
      for (int dx = -1; dx <= 1; ++dx)
        if (dx != 0 || dy != 0) visit(x + dx, y + dy);
  }
  static bool In(const std::vector<Pixel>& set, int x, int y) {
    return std::find(set.begin(), set.end(), Pixel{x, y}) != set.end();
  }
  static void AddOnce(std::vector<Pixel>& set, int x, int y) {
    if (!In(set, x, y)) set.push_back({x, y});
  }
  bool InHole(int x, int y) const { return In(hole_, x, y); }

  // Gathers the 4-connected paper pixels of (x, y) while they may still be a pinhole.
  bool Hole(int x, int y) {
    hole_.clear();
    // A pinhole's first pixel has line pixels to its left and in the row before it, since a
    // pixel of the group there would come first: most paper pixels beside a line fail at once.
    if (!lines_.Line(x - 1, y) || !lines_.Line(x, y - 1) || lines_.OnEdge(x, y)) return false;
    hole_.push_back({x, y});
    for (std::size_t k = 0; k < hole_.size(); ++k) {
      const auto [hx, hy] = hole_[k];
      for (const auto& [nx, ny] :
           {Pixel{hx - 1, hy}, Pixel{hx + 1, hy}, Pixel{hx, hy - 1}, Pixel{hx, hy + 1}}) {
        if (lines_.Line(nx, ny) || InHole(nx, ny)) continue;
        if (lines_.OnEdge(nx, ny) || int(hole_.size()) == kPinholeSize) return false;
        hole_.push_back({nx, ny});
      }
    }
    return true;
  }

  // Whether the exits make one 8-connected group: all are reached from the first.
  bool OneGroup() {
    reached_.assign(1, exits_.front());
    for (std::size_t k = 0; k < reached_.size(); ++k)
      for (const auto& [ex, ey] : exits_)
        if (std::abs(ex - reached_[k].first) <= 1 && std::abs(ey - reached_[k].second) <= 1)
          AddOnce(reached_, ex, ey);
    return reached_.size() == exits_.size();
  }

  const LineMap& lines_;
  std::vector<Pixel> hole_, ring_, exits_, reached_;
};

// Finds the target of one end at a time. The own stroke near an end lies within 2 N of it in
// both axes, so a window of that size around the end holds its step counts.
class TargetFinder {
 public:
  TargetFinder(const LineMap& lines, int maxGap)
      : lines_(lines), n_(maxGap), side_(4 * maxGap + 1), seen_(std::size_t(side_) * side_, 0) {}

  // The end's join, if it has a target.
  bool Find(int ex, int ey, Join& join) {
    MarkOwnStroke(ex, ey);
    candidates_.clear();
    const long long limit = (long long)n_ * n_;
    for (int dy = -n_; dy <= n_; ++dy)
      for (int dx = -n_; dx <= n_; ++dx) {
        const long long d2 = (long long)dx * dx + (long long)dy * dy;
        if (d2 > limit || !lines_.Line(ex + dx, ey + dy) || Own(dx, dy)) continue;
        candidates_.push_back({d2, lines_.Index(ex + dx, ey + dy), dx, dy});
      }
    std::sort(candidates_.begin(), candidates_.end());
    for (const Candidate& c : candidates_) {
      if (lines_.Crosses(ex, ey, ex + c.dx, ey + c.dy)) continue;
      join = {c.length2, lines_.Index(ex, ey), c.index};
      return true;
    }
    return false;
  }

 private:
  std::size_t Slot(int dx, int dy) const {
    return std::size_t(dy + 2 * n_) * std::size_t(side_) + std::size_t(dx + 2 * n_);
  }
  bool Own(int dx, int dy) const { return seen_[Slot(dx, dy)] == stamp_; }

  // Breadth first along the line pixels from the end, at most 2 N steps.
  void MarkOwnStroke(int ex, int ey) {
    ++stamp_;
    queue_.clear();
    queue_.push_back({0, 0, 0});
    seen_[Slot(0, 0)] = stamp_;
    for (std::size_t head = 0; head < queue_.size(); ++head) {
      const Step s = queue_[head];
      if (s.steps == 2 * n_) continue;
      for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx) {
          const int x = s.dx + dx, y = s.dy + dy;
          if ((dx == 0 && dy == 0) || std::abs(x) > 2 * n_ || std::abs(y) > 2 * n_) continue;
          if (Own(x, y) || !lines_.Line(ex + x, ey + y)) continue;
          seen_[Slot(x, y)] = stamp_;
          queue_.push_back({x, y, s.steps + 1});
        }
    }
  }

  struct Step {
    int dx, dy, steps;
  };
  struct Candidate {
    long long length2;
    std::ptrdiff_t index;
    int dx, dy;
    bool operator<(const Candidate& o) const {
      return std::tie(length2, index) < std::tie(o.length2, o.index);
    }
  };
  const LineMap& lines_;
  int n_;
  int side_;
  std::vector<uint32_t> seen_;
  uint32_t stamp_ = 0;
  std::vector<Step> queue_;
  std::vector<Candidate> candidates_;
};

// One round of the rule on the lines as they stand; the joins' pixels are added to `joins`.
int CloseGapsOnce(std::vector<uint8_t>& flags, int width, PixelRect rect, int maxGap,
                  GapJoins& joins) {
  const int before = joins.count;

  const LineMap lines(flags, width, rect);
  std::vector<std::ptrdiff_t> ends;
  // A pinhole's first pixel has a line pixel on its left, so only the paper pixels just right
  // of a line pixel are asked.
  PinholeEnds pinholes(lines);
  for (int y = rect.y0; y < rect.y1; ++y)
    ForEachLinePixel(flags.data() + std::ptrdiff_t(y) * width, rect.x0, rect.x1, [&](int x) {
      if (lines.LineNeighbours(x, y) == 1) ends.push_back(lines.Index(x, y));
      std::ptrdiff_t end = 0;
      if (!lines.Line(x + 1, y) && pinholes.EndAt(x + 1, y, end)) ends.push_back(end);
    });
  std::sort(ends.begin(), ends.end());  // ascending
  ends.erase(std::unique(ends.begin(), ends.end()), ends.end());

  TargetFinder finder(lines, maxGap);
  std::vector<Join> found;
  for (std::ptrdiff_t end : ends) {
    Join join;
    if (finder.Find(int(end % width), int(end / width), join)) found.push_back(join);
  }
  std::sort(found.begin(), found.end());

  // Every target was judged on the lines as found, so the joins are drawn only now.
  std::vector<bool> joined(ends.size(), false);
  auto endSlot = [&](std::ptrdiff_t pixel) -> std::ptrdiff_t {
    auto it = std::lower_bound(ends.begin(), ends.end(), pixel);
    return it != ends.end() && *it == pixel ? it - ends.begin() : -1;
  };
  for (const Join& join : found) {
    const std::ptrdiff_t slot = endSlot(join.end);
    if (joined[std::size_t(slot)]) continue;
    joined[std::size_t(slot)] = true;
    if (std::ptrdiff_t target = endSlot(join.target); target >= 0)
      joined[std::size_t(target)] = true;
    ForEachSegmentPixel(int(join.end % width), int(join.end / width), int(join.target % width),
                        int(join.target / width), [&](int x, int y) {
                          uint8_t& f = flags[std::size_t(lines.Index(x, y))];
                          if (f & 1) return;
                          f |= 1;
                          joins.pixels.push_back(lines.Index(x, y));
                        });
    ++joins.count;
  }
  return joins.count - before;
}

}  // namespace

GapJoins CloseGaps(std::vector<uint8_t>& flags, int width, int height, PixelRect rect, int maxGap) {
  GapJoins joins;
  rect.x0 = std::max(rect.x0, 0), rect.y0 = std::max(rect.y0, 0);
  rect.x1 = std::min(rect.x1, width), rect.y1 = std::min(rect.y1, height);
  if (maxGap <= 0 || rect.x0 >= rect.x1 || rect.y0 >= rect.y1) return joins;
  while (CloseGapsOnce(flags, width, rect, maxGap, joins) > 0) {
  }
  return joins;
}

GapJoins CloseGapsIn(WorkingImage& image, PixelRect rect, int maxGap, Progress& progress) {
  image.joinPixels.clear();
  if (maxGap <= 0 || image.empty()) return {};
  ReportStage(progress, "Closing Gaps...", 0);
  GapJoins joins = CloseGaps(image.regions.flags, image.width(), image.height(), rect, maxGap);
  image.joinPixels = joins.pixels;
  ShowJoinPixels(image, rect, image.display);
  ReportStage(progress, "Done", 100);
  return joins;
}

void ShowJoinPixels(const WorkingImage& image, PixelRect rect, Raster& display, Bgr colour) {
  const int w = image.width();
  if (display.empty()) return;
  for (std::ptrdiff_t pixel : image.joinPixels) {
    const int x = int(pixel % w), y = int(pixel / w);
    if (x < rect.x0 || x >= rect.x1 || y < rect.y0 || y >= rect.y1) continue;
    if ((image.regions.flags[std::size_t(pixel)] & 1) == 0) continue;
    uint8_t* d = display.At(x, y);
    d[0] = colour.blue, d[1] = colour.green, d[2] = colour.red;
  }
}

}  // namespace quenda
