#pragma once
// A clip's place in the movie at a moment: its own tracks composed with its parents'.

#include "composer/core/composition.h"

namespace quenda {

// v + 0.5 truncated for v > 0, v - 0.5 truncated for v < 0, 0 for 0: positions only.
double RoundPosition(double v);

struct WorldTransform {
  double x = 0;  // rounded movie pixels
  double y = 0;
  double scaleX = 1;
  double scaleY = 1;
  double rotation = 0;  // radians
};

// The clip's own values at t (positions not rounded).
WorldTransform LocalTransform(const ClipRecord& clip, double t);

// The world transform of clip `index` at t through its chain of parents. A chain that loops
// or runs longer than the clip count (only a damaged file can make one) is cut where it
// would repeat a clip.
WorldTransform WorldTransformAt(const Composition& composition, int index, double t);

// The clip's keys re-expressed in the movie's frame with its parent's world transform at
// `frame`, and the parent dropped. Nothing happens to a clip without a parent.
void Unparent(Composition& composition, int index, int frame);
// The clip's keys re-expressed in the frame of clip `parent` at `frame`, and parented to it.
// False, with nothing changed, when the parent's world scale is 0 there.
bool SetParent(Composition& composition, int index, int parent, int frame);

}  // namespace quenda
