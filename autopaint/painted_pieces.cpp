#include "autopaint/painted_pieces.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <functional>
#include <numeric>

#include "autopaint/block_hits.h"
#include "common/color_set.h"
#include "common/region_data.h"
#include "common/stripes.h"
#include "common/thread_pool.h"

namespace quenda {
namespace {

// Pieces are groups of at least this and at most this part of the picture: a hand, a shoe, an
// eye, not a sleeve or the pants that bend as they move.
constexpr double kSmallestPiece = 0.0002;
constexpr double kLargestPiece = 0.004;
// How far from the guessed motion a piece is looked for, as a part of the picture's mean side.
constexpr double kPieceReach = 0.1;
// A piece is found where at least this share of its outer outline lands on the target's lines.
constexpr double kPieceAgreement = 0.65;
// Lines are at most this thick: a step across one further than this is not across a line.
constexpr int kLineReach = 8;
// The coarse search tries this many outline pixels at each motion, a block apart, and keeps
// this many best motions to try pixel by pixel.
constexpr std::size_t kCoarseSamples = 64;
constexpr std::size_t kCoarseKept = 8;

int Find(std::vector<int>& parent, int a) {
  while (parent[std::size_t(a)] != a)
    a = parent[std::size_t(a)] = parent[std::size_t(parent[std::size_t(a)])];
  return a;
}

}  // namespace

bool PaintedPiece::Found() const {
  return agreement >= kPieceAgreement;
}

PaintedPieces::PaintedPieces(const RegionMapView& target, const RegionMapView& source,
                             const std::vector<int32_t>& colours,
                             const std::vector<RegionShape>& shapes, const RegionBorders& borders,
                             int guessX, int guessY)
    : target_(target), source_(source), pieceOf_(shapes.size(), -1) {
  if (!target.flags || !source.flags || !target.map || !source.map) return;
  Group(colours, shapes, borders);
  if (pieces_.empty()) return;
  // Lines on a grid of blocks, each block marked with its neighbours, for the coarse search.
  const int w = target.width, h = target.height;
  blocksWide_ = (w + kBlock - 1) / kBlock, blocksHigh_ = (h + kBlock - 1) / kBlock;
  // Bands of block rows on the inner threads, each writing its own rows.
  std::vector<uint8_t> lined(std::size_t(blocksWide_) * std::size_t(blocksHigh_), 0);
  const Stripes bands(0, blocksHigh_, InnerThreads(), 1);
  bands.Run([&](int, int firstBlock, int endBlock) {
    const int last = std::min(endBlock * kBlock, h);
    for (int y = firstBlock * kBlock; y < last; ++y) {
      const uint8_t* f = target.flags + std::size_t(y) * std::size_t(w);
      uint8_t* out = lined.data() + std::size_t(y / kBlock) * std::size_t(blocksWide_);
      int x = 0;
      for (; x + 8 <= w; x += 8)
        if (HasLineAmongEight(f + x))
          for (int k = x; k < x + 8; ++k)
            if (f[k] & kFlagRegionLine) out[k / kBlock] = 1;
      for (; x < w; ++x)
        if (f[x] & kFlagRegionLine) out[x / kBlock] = 1;
    }
  });
  // A block is near a line where it or a neighbour holds one.
  nearBlock_.assign(lined.size(), 0);
  bands.Run([&](int, int firstBlock, int endBlock) {
    for (int by = firstBlock; by < endBlock; ++by)
      for (int bx = 0; bx < blocksWide_; ++bx) {
        bool near = false;
        for (int ny = std::max(by - 1, 0); ny <= std::min(by + 1, blocksHigh_ - 1) && !near; ++ny)
          for (int nx = std::max(bx - 1, 0); nx <= std::min(bx + 1, blocksWide_ - 1); ++nx)
            near = near || lined[std::size_t(ny) * std::size_t(blocksWide_) + std::size_t(nx)];
        nearBlock_[std::size_t(by) * std::size_t(blocksWide_) + std::size_t(bx)] = near;
      }
  });
  // Each piece on its own: it writes only its outline and where it went.
  const auto outlines = OuterOutlines();
  ParallelFor(int(pieces_.size()), [&](int p) {
    Follow(pieces_[std::size_t(p)], outlines[std::size_t(p)], guessX, guessY);
  });
}

void PaintedPieces::Group(const std::vector<int32_t>& colours,
                          const std::vector<RegionShape>& shapes, const RegionBorders& borders) {
  const int n = int(shapes.size());
  // Paper showing through the figure is no piece: it changes shape as the figure moves.
  auto known = [&](int s) {
    if (s <= kBackgroundRegion || std::size_t(s) >= colours.size()) return false;
    const int32_t colour = colours[std::size_t(s)];
    return colour != kUnfilledColor && colour != kTransparentColor &&
           shapes[std::size_t(s)].area > 0;
  };
  std::vector<int> parent(static_cast<std::size_t>(n));
  std::iota(parent.begin(), parent.end(), 0);
  for (int s = 2; s < n; ++s) {
    if (!known(s)) continue;
    for (const auto& [m, border] : borders.Neighbours(s))
      if (m < n && known(m) && colours[std::size_t(m)] == colours[std::size_t(s)])
        parent[std::size_t(Find(parent, s))] = Find(parent, m);
  }
  std::vector<int64_t> area(std::size_t(n), 0);
  for (int s = 2; s < n; ++s)
    if (known(s)) area[std::size_t(Find(parent, s))] += shapes[std::size_t(s)].area;
  const double picture = double(source_.width) * double(source_.height);
  std::vector<int> pieceOfRoot(std::size_t(n), -1);
  for (int s = 2; s < n; ++s) {
    if (!known(s)) continue;
    const int root = Find(parent, s);
    const double a = double(area[std::size_t(root)]);
    if (a < kSmallestPiece * picture || a > kLargestPiece * picture) continue;
    int& piece = pieceOfRoot[std::size_t(root)];
    if (piece < 0) {
      piece = int(pieces_.size());
      pieces_.push_back({colours[std::size_t(s)], area[std::size_t(root)]});
      members_.emplace_back();
    }
    pieceOf_[std::size_t(s)] = piece;
    members_[std::size_t(piece)].push_back(s);
    PaintedPiece& p = pieces_[std::size_t(piece)];
    const RegionShape& r = shapes[std::size_t(s)];
    if (members_[std::size_t(piece)].size() == 1)
      p.minX = r.minX, p.minY = r.minY, p.maxX = r.maxX, p.maxY = r.maxY;
    p.minX = std::min(p.minX, r.minX), p.minY = std::min(p.minY, r.minY);
    p.maxX = std::max(p.maxX, r.maxX), p.maxY = std::max(p.maxY, r.maxY);
  }
}

// The pixels of each piece beside a line whose other side is not the same piece.
std::vector<std::vector<std::pair<int, int>>> PaintedPieces::OuterOutlines() const {
  std::vector<std::vector<std::pair<int, int>>> outlines(pieces_.size());
  const int w = source_.width, h = source_.height;
  auto line = [&](int x, int y) {
    return source_.flags[std::size_t(y) * std::size_t(w) + std::size_t(x)] & kFlagRegionLine;
  };
  constexpr int kSteps[4][2] = {{1, 0}, {-1, 0}, {0, 1}, {0, -1}};
  ParallelFor(int(pieces_.size()), [&](int k) {
    const std::size_t p = std::size_t(k);
    const PaintedPiece& piece = pieces_[p];
    const int minX = piece.minX, minY = piece.minY, maxX = piece.maxX, maxY = piece.maxY;
    for (int y = std::max(minY, 0); y <= std::min(maxY, h - 1); ++y)
      for (int x = std::max(minX, 0); x <= std::min(maxX, w - 1); ++x) {
        if (line(x, y) ||
            PieceOf(source_.map[std::size_t(y) * std::size_t(w) + std::size_t(x)]) != int(p))
          continue;
        for (const auto& [sx, sy] : kSteps) {
          int qx = x + sx, qy = y + sy, steps = 0;
          while (qx >= 0 && qy >= 0 && qx < w && qy < h && line(qx, qy) && steps < kLineReach)
            qx += sx, qy += sy, ++steps;
          if (steps == 0) continue;  // not beside a line this way
          const bool outside =
              qx < 0 || qy < 0 || qx >= w || qy >= h || line(qx, qy) ||
              PieceOf(source_.map[std::size_t(qy) * std::size_t(w) + std::size_t(qx)]) != int(p);
          if (outside) {
            outlines[p].push_back({x, y});
            break;
          }
        }
      }
  });
  return outlines;
}

// The share of the outline's pixels that moved by (dx, dy) land on or beside (diagonals
// included) a target line pixel.
double PaintedPieces::Agreement(const std::vector<std::pair<int, int>>& outline, int dx,
                                int dy) const {
  std::size_t on = 0;
  for (const auto& [ox, oy] : outline) on += NearLine(target_, ox - dx, oy - dy);
  return outline.empty() ? 0 : double(on) / double(outline.size());
}

// The motion, near the guess, under which the piece's outer outline lies best on the target's
// lines: first a block apart on the grid of blocks (in a block near a line), for a sample of
// the outline; then, around the best few of those, pixel by pixel for all of it.
void PaintedPieces::Follow(PaintedPiece& piece, const std::vector<std::pair<int, int>>& outline,
                           int guessX, int guessY) {
  if (outline.empty()) return;
  // Better agreement first; of equal ones, the motion nearer the guess.
  struct Tried {
    double agreement = -1;
    int64_t off = 0;  // squared distance from the guess
    int dx = 0, dy = 0;
    bool operator>(const Tried& o) const {
      return agreement > o.agreement || (agreement == o.agreement && off < o.off);
    }
  };
  auto tried = [&](int dx, int dy, double agreement) {
    const int64_t x = dx - guessX, y = dy - guessY;
    return Tried{agreement, x * x + y * y, dx, dy};
  };
  const int steps =
      int(kPieceReach * std::sqrt(double(target_.width) * double(target_.height))) / kBlock;
  const std::size_t sample = std::max<std::size_t>(1, outline.size() / kCoarseSamples);
  std::vector<std::pair<int, int>> samples;
  for (std::size_t k = 0; k < outline.size(); k += sample) samples.push_back(outline[k]);
  const BlockGrid grid{nearBlock_.data(), blocksWide_,   blocksHigh_, kBlock,
                       target_.width,     target_.height};
  const std::vector<uint16_t> hits = CountBlockHits(samples, grid, guessX, guessY, steps);
  std::array<Tried, kCoarseKept> kept{};
  std::size_t at = 0;
  for (int j = -steps; j <= steps; ++j)
    for (int i = -steps; i <= steps; ++i) {
      const int dx = guessX + i * kBlock, dy = guessY + j * kBlock;
      const Tried t = tried(dx, dy, double(hits[at++]) / double(samples.size()));
      if (!(t > kept.back())) continue;
      kept.back() = t;
      std::sort(kept.begin(), kept.end(), std::greater<>());
    }
  // Every motion near the kept ones on the inner threads, a row of motions each; the best is
  // chosen in order.
  constexpr int kSide = 2 * kBlock + 1;
  std::vector<Tried> near(kept.size() * kSide * kSide);
  ParallelFor(int(kept.size()) * kSide, [&](int row) {
    const Tried& at = kept[std::size_t(row / kSide)];
    if (at.agreement < 0) return;
    const int dy = at.dy - kBlock + row % kSide;
    for (int i = 0; i < kSide; ++i) {
      const int dx = at.dx - kBlock + i;
      near[std::size_t(row) * kSide + std::size_t(i)] = tried(dx, dy, Agreement(outline, dx, dy));
    }
  });
  Tried best;
  for (std::size_t k = 0; k < near.size(); ++k)
    if (kept[k / (kSide * kSide)].agreement >= 0 && near[k] > best) best = near[k];
  piece.dx = best.dx, piece.dy = best.dy, piece.agreement = best.agreement;
}

}  // namespace quenda
