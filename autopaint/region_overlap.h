#pragma once
// Where a target region lands in the source under a motion: its pixels off the lines, gathered
// once as runs along rows, the source region (or, with the source's colours, the colour) under
// most of them, and how much of its outline lands on the source's lines.

#include <cstdint>
#include <unordered_map>
#include <utility>
#include <vector>

#include "autopaint/painted_pieces.h"
#include "autopaint/region_shapes.h"
#include "common/region_vote.h"

namespace quenda {

// What lies under a target region moved onto the source.
struct Landing {
  int region = 0;     // the source region under most of it, 0 for none
  int64_t count = 0;  // its pixels over that region (with colours: over that region's colour)
  int64_t total = 0;  // its pixels off the lines
  int64_t outlineTotal = 0, outlineOnLine = 0;  // outline pixels, and those on a source line

  double Share() const { return total > 0 ? double(count) / double(total) : 0; }
};

class RegionOverlap {
 public:
  // `shapes` are the target's; `sourceRegions` the size of the source's table. With
  // `sourceColors` (one per source region, 1 for unfilled), regions of one colour vote
  // together and unfilled ones for nothing.
  RegionOverlap(const RegionMapView& target, const RegionMapView& source,
                const std::vector<RegionShape>& shapes, std::size_t sourceRegions,
                const std::vector<int32_t>* sourceColors);

  // Target pixel p moved by (mx, my) onto the source; the paper round the drawing is left out
  // when `offPaper`.
  Landing Land(int r, int mx, int my, bool offPaper);

  // The share of r that piece `p` of `pieces` holds when r moves with the piece, and the
  // source region of the piece under most of r.
  std::pair<double, int> InPiece(int r, const PaintedPieces& pieces, int p);

  int64_t PixelCount(int r) { return Pixels(r).count; }
  // The target's line pixels beside it (one for each of its pixels beside each): what is laid on
  // the source's lines to fit its motion.
  const std::vector<std::pair<int, int>>& Rim(int r) { return Pixels(r).rim; }
  // The colour of source region s, unfilled beyond the table; only with colours.
  int32_t ColourOf(int s) const;

 private:
  struct PixelRun {
    int y, x0, x1;
  };
  struct PixelsOf {
    bool gathered = false;
    int64_t count = 0;
    std::vector<PixelRun> runs;
    std::vector<std::pair<int, int>> outline, rim;
  };
  const PixelsOf& Pixels(int r);
  bool OnOutline(std::size_t i, int x, int y, int w, int h) const;
  void AddRim(PixelsOf& p, std::size_t i, int x, int y) const;
  void ClearVotes();
  std::pair<int, int64_t> ByColour();

  const RegionMapView& target_;
  const RegionMapView& source_;
  const std::vector<RegionShape>& shapes_;
  const std::vector<int32_t>* sourceColors_;
  std::vector<PixelsOf> pixels_;  // per target region
  std::vector<int64_t> voteOf_;   // per source region, of the last count
  std::vector<int> touched_;      // the source regions voted for by the last count
  std::unordered_map<int32_t, int64_t> colourVotes_;
};

}  // namespace quenda
