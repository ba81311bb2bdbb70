#pragma once
// What a pair of regions, one of the target and one of the source, costs as a match: position
// after the motion laid on the target region, area, shape and neighbours, each near 1 where
// the two stop looking alike; and the likeness tests the matcher's rules use.

#include <vector>

#include "autopaint/match_target.h"
#include "autopaint/region_shapes.h"
#include "common/region_vote.h"

namespace quenda {

struct Vec {
  double x = 0, y = 0;
};

// Both drawings' shapes and borders (the target's those it measured once); the source's
// centres already moved onto the target by the peg shift.
struct ShapeTables {
  ShapeTables(const MatchTarget& target, const RegionMapView& source, PegOffset shift);

  const std::vector<RegionShape>& t;
  std::vector<RegionShape> s;
  const RegionBorders& tBorders;
  RegionBorders sBorders;
  double scale = 1;  // the reach of a position cost of 1, but for the regions' own size
};

// Regions `a` and `b` of one drawing share a border.
bool AreNeighbours(const RegionBorders& borders, int a, int b);

// The cost of matching target region r to source region s when r moves by `motion`; kNoPair
// where they differ too much in area or lie too far apart. With `match` (the source region of
// every target region, 0 for none), the neighbours' pairs count too.
double PairCost(const ShapeTables& tables, int r, int s, Vec motion, const std::vector<int>* match);

// Near enough the same region: area and both axes of spread alike.
bool LookAlike(const ShapeTables& tables, int r, int s);

// A pair's centres tell a motion only when neither is a piece of the other.
bool AlikeInArea(const ShapeTables& tables, int r, int s);

// Per source region, whether `match` (the source region of every target region, 0 for none)
// pairs a target region from 2 up that looks alike with it: its counterpart is found whole.
std::vector<char> PairedWithLookAlikes(const ShapeTables& tables, const std::vector<int>& match);

}  // namespace quenda
