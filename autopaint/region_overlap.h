#pragma once
// Where a target region lands in the source under a motion: the source region (or, with the
// source's colours, the colour) under most of its pixels off the lines, and how much of its
// outline lands on the source's lines.

#include <cstdint>
#include <unordered_map>
#include <utility>
#include <vector>

#include "autopaint/line_distance.h"
#include "autopaint/painted_pieces.h"
#include "autopaint/region_pixels.h"
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

// Where a region lands once its outline has been fitted to the source's lines: the source
// region (or colour) under most of it, the share of it there, and the share of its outline
// landing on the lines.
struct FittedLanding {
  int region = 0;
  double share = 0, landed = 0;
};

class RegionOverlap {
 public:
  // `pixels` are the target's; `sourceRegions` the size of the source's table. With
  // `sourceColors` (one per source region, 1 for unfilled), regions of one colour vote
  // together and unfilled ones for nothing.
  RegionOverlap(RegionPixels& pixels, const RegionMapView& source, std::size_t sourceRegions,
                const std::vector<int32_t>* sourceColors);
  // A second counter over the same pixels with votes of its own, for another thread: counts
  // share nothing but what they read.
  RegionOverlap(const RegionOverlap& other);
  RegionOverlap& operator=(const RegionOverlap&) = delete;

  // Gathers the pixels of `regions` (no region twice) on the inner threads, so that counts on
  // several threads at once only read them.
  void Gather(const std::vector<int>& regions) { pixels_.Gather(regions); }

  // Target pixel p moved by (mx, my) onto the source; the paper round the drawing is left out
  // when `offPaper`.
  Landing Land(int r, int mx, int my, bool offPaper);

  // The share of r that piece `p` of `pieces` holds when r moves with the piece, and the
  // source region of the piece under most of r.
  std::pair<double, int> InPiece(int r, const PaintedPieces& pieces, int p);
  // The source region under most of r (whose shape is `shape`) inside the found piece that
  // holds most of it, when that piece holds at least `inside` of it and r is no larger than the
  // piece by more than `growth`, with the share it holds; else 0.
  std::pair<int, double> ByPiece(int r, const RegionShape& shape, const PaintedPieces& pieces,
                                 double inside, double growth);

  // Land, from r moved by (x, y) and its outline slid within `reach` to where it lies nearest
  // the source's `lines` (autopaint/outline_fit.h); as it is where there are none, its outline
  // then counting as landed.
  FittedLanding LandFitted(int r, int x, int y, const LineDistance* lines, int tolerance, int reach,
                           bool offPaper);

  // The pixels the last Land laid on each source region, by increasing region number (the
  // paper's left out where that Land left it out).
  std::vector<std::pair<int, int64_t>> LastCounts() const;

  int64_t PixelCount(int r) { return pixels_.Pixels(r).count; }
  // The target's line pixels beside it (one for each of its pixels beside each): what is laid on
  // the source's lines to fit its motion.
  const std::vector<std::pair<int, int>>& Rim(int r) { return pixels_.Pixels(r).rim; }
  // The colour of source region s, unfilled beyond the table; only with colours.
  int32_t ColourOf(int s) const;

 private:
  void ClearVotes();
  std::pair<int, int64_t> ByColour();

  RegionPixels& pixels_;
  const RegionMapView& source_;
  const std::vector<int32_t>* sourceColors_;
  std::vector<int64_t> voteOf_;  // per source region, of the last count
  std::vector<int> touched_;     // the source regions voted for by the last count
  std::unordered_map<int32_t, int64_t> colourVotes_;
};

}  // namespace quenda
