#include "composer/core/clip_transform.h"

#include <cmath>
#include <vector>

namespace quenda {

double RoundPosition(double v) {
  if (v > 0) return std::trunc(v + 0.5);
  if (v < 0) return std::trunc(v - 0.5);
  return 0.0;
}

WorldTransform LocalTransform(const ClipRecord& clip, double t) {
  return {clip.tracks[kPositionX].Evaluate(t), clip.tracks[kPositionY].Evaluate(t),
          clip.tracks[kScaleX].Evaluate(t), clip.tracks[kScaleY].Evaluate(t),
          clip.tracks[kRotation].Evaluate(t)};
}

WorldTransform WorldTransformAt(const Composition& composition, int index, double t) {
  std::vector<int> chain{index};
  std::vector<bool> seen(composition.clips.size(), false);
  seen[std::size_t(index)] = true;
  for (int parent = composition.clips[std::size_t(index)].parentIndex;
       parent >= 0 && parent < composition.clipCount() && !seen[std::size_t(parent)];
       parent = composition.clips[std::size_t(parent)].parentIndex) {
    seen[std::size_t(parent)] = true;
    chain.push_back(parent);
  }
  WorldTransform world = LocalTransform(composition.clips[std::size_t(chain.back())], t);
  world.x = RoundPosition(world.x);
  world.y = RoundPosition(world.y);
  for (std::size_t i = chain.size() - 1; i-- > 0;) {
    WorldTransform local = LocalTransform(composition.clips[std::size_t(chain[i])], t);
    double theta = -world.rotation;
    double c = std::cos(theta), s = std::sin(theta);
    double x = RoundPosition(world.x + c * (local.x * world.scaleX) - s * (local.y * world.scaleY));
    double y = RoundPosition(world.y + c * (local.y * world.scaleY) + s * (local.x * world.scaleX));
    world = {x, y, local.scaleX * world.scaleX, local.scaleY * world.scaleY,
             local.rotation + world.rotation};
  }
  return world;
}

void Unparent(Composition& composition, int index, int frame) {
  ClipRecord& clip = composition.clips[std::size_t(index)];
  if (clip.parentIndex < 0) return;
  WorldTransform p = WorldTransformAt(composition, clip.parentIndex, frame);
  double theta = -p.rotation;
  double c = std::cos(theta), s = std::sin(theta);
  double x = clip.tracks[kPositionX].Evaluate(frame);
  double y = clip.tracks[kPositionY].Evaluate(frame);
  for (Key& key : clip.tracks[kPositionX].keys())
    key.value = c * key.value * p.scaleX - s * y * p.scaleY + p.x;
  for (Key& key : clip.tracks[kPositionY].keys())
    key.value = c * key.value * p.scaleY + s * x * p.scaleX + p.y;
  for (Key& key : clip.tracks[kScaleX].keys()) key.value *= p.scaleX;
  for (Key& key : clip.tracks[kScaleY].keys()) key.value *= p.scaleY;
  for (Key& key : clip.tracks[kRotation].keys()) key.value += p.rotation;
  clip.parentIndex = -1;
}

bool SetParent(Composition& composition, int index, int parent, int frame) {
  WorldTransform p = WorldTransformAt(composition, parent, frame);
  ClipRecord& clip = composition.clips[std::size_t(index)];
  double theta = -p.rotation;
  double c = std::cos(theta), s = std::sin(theta);
  double det = c * p.scaleX * c * p.scaleY + s * p.scaleX * s * p.scaleY;
  // A parent shrunk to nothing has no frame to express the keys in.
  if (det == 0 || p.scaleX == 0 || p.scaleY == 0 || !std::isfinite(det)) return false;
  std::vector<Key>& xs = clip.tracks[kPositionX].keys();
  std::vector<Key>& ys = clip.tracks[kPositionY].keys();
  // Keys are paired by index; an X key without a Y partner reads the Y track's value there.
  for (std::size_t i = 0; i < xs.size(); ++i) {
    double dx = xs[i].value - p.x;
    double yValue = i < ys.size() ? ys[i].value : clip.tracks[kPositionY].Evaluate(xs[i].frame);
    double dy = yValue - p.y;
    xs[i].value = (dx * c * p.scaleY + dy * s * p.scaleY) / det;
    if (i < ys.size()) ys[i].value = (dy * c * p.scaleX - dx * s * p.scaleX) / det;
  }
  for (Key& key : clip.tracks[kScaleX].keys()) key.value /= p.scaleX;
  for (Key& key : clip.tracks[kScaleY].keys()) key.value /= p.scaleY;
  for (Key& key : clip.tracks[kRotation].keys()) key.value -= p.rotation;
  clip.parentIndex = parent;
  return true;
}

}  // namespace quenda
