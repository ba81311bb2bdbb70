#pragma once
// Small painted pieces of a drawing and where each went in the next. A piece is a group of
// neighbouring source regions of one colour, like a hand whose circle the body's and legs'
// lines cut into several regions. Each piece is small and moves rigidly, so its outer outline
// finds it in the target's lines even where it swung further than its own width; every target
// region lying inside the moved piece then takes its colour, however the crossing lines cut it.

#include <cstdint>
#include <vector>

#include "autopaint/region_shapes.h"
#include "common/region_vote.h"

namespace quenda {

struct PaintedPiece {
  int32_t colour = 0;
  int64_t area = 0;      // pixels off the lines
  int dx = 0, dy = 0;    // target pixel p lies on source pixel p + (dx, dy)
  double agreement = 0;  // share of the piece's outer outline that lands on target lines
  int minX = 0, minY = 0, maxX = -1, maxY = -1;  // box of its source regions
  // Found in the target: its outline lies there on the target's lines.
  bool Found() const;
};

class PaintedPieces {
 public:
  // `colours` holds one colour per source region; `shapes` and `borders` are
  // the source's. Pieces are searched around the motion `guess` (source = target + guess).
  PaintedPieces(const RegionMapView& target, const RegionMapView& source,
                const std::vector<int32_t>& colours, const std::vector<RegionShape>& shapes,
                const RegionBorders& borders, int guessX, int guessY);

  const std::vector<PaintedPiece>& Pieces() const { return pieces_; }
  // The piece source region `s` belongs to, or -1.
  int PieceOf(int s) const {
    return std::size_t(s) < pieceOf_.size() ? pieceOf_[std::size_t(s)] : -1;
  }

 private:
  void Group(const std::vector<int32_t>& colours, const std::vector<RegionShape>& shapes,
             const RegionBorders& borders);
  std::vector<std::vector<std::pair<int, int>>> OuterOutlines() const;
  void Follow(PaintedPiece& piece, const std::vector<std::pair<int, int>>& outline, int guessX,
              int guessY);
  double Agreement(const std::vector<std::pair<int, int>>& outline, int dx, int dy) const;

  // Side of the blocks of the coarse search, in pixels.
  static constexpr int kBlock = 4;

  const RegionMapView& target_;
  const RegionMapView& source_;
  std::vector<int> pieceOf_;  // per source region
  std::vector<PaintedPiece> pieces_;
  std::vector<std::vector<int>> members_;  // source regions of each piece
  std::vector<uint8_t> nearBlock_;         // blocks of the target with a line in or beside them
  int blocksWide_ = 0, blocksHigh_ = 0;
};

}  // namespace quenda
