#include "composer/core/key_track.h"

namespace quenda {

Status KeyTrack::SetKey(int frame, double value) {
  int index = IndexOfKey(frame);
  if (index >= 0) {
    keys_[std::size_t(index)].value = value;
    return {};
  }
  if (int(keys_.size()) + 1 >= kKeyRefusedCount) return Error{kKeyLimitMessage};
  keys_.push_back({frame, value, 0, 0});
  return {};
}

Status KeyTrack::PutKey(const Key& key) {
  int index = IndexOfKey(key.frame);
  if (index >= 0) {
    keys_[std::size_t(index)] = key;
    return {};
  }
  if (int(keys_.size()) >= kKeyRefusedCount) return Error{kKeyLimitMessage};
  keys_.push_back(key);
  return {};
}

Status KeyTrack::DeleteKey(int frame) {
  int index = IndexOfKey(frame);
  if (index < 0) return {};
  if (keys_.size() == 1) return Error{kLastKeyMessage};
  keys_.erase(keys_.begin() + index);
  return {};
}

int KeyTrack::IndexOfKey(int frame) const {
  for (std::size_t i = 0; i < keys_.size(); ++i)
    if (keys_[i].frame == frame) return int(i);
  return -1;
}

int KeyTrack::NextKeyFrame(int frame) const {
  int best = -1;
  for (const Key& key : keys_)
    if (key.frame > frame && (best < 0 || key.frame < best)) best = key.frame;
  return best;
}

int KeyTrack::PreviousKeyFrame(int frame) const {
  int best = -1;
  for (const Key& key : keys_)
    if (key.frame < frame && key.frame > best) best = key.frame;
  return best;
}

// The cubic through (t0, y0) and (t1, y1) with end tangents m0 and m1, written over the
// normalised time s = (t - t0) / (t1 - t0) in double precision. It is the same curve as the
// four coefficients in absolute frames, without their loss of precision at large frame numbers.
double KeyTrack::Evaluate(double t) const {
  if (keys_.empty()) return 0.0;
  const Key* previous = nullptr;
  const Key* next = nullptr;
  for (const Key& key : keys_) {
    if (double(key.frame) == t) return key.value;
    if (key.frame < t && (!previous || key.frame > previous->frame)) previous = &key;
    if (key.frame > t && (!next || key.frame < next->frame)) next = &key;
  }
  if (!next) return previous->value;
  if (!previous) return next->value;

  double t0 = previous->frame, t1 = next->frame;
  double y0 = previous->value, y1 = next->value;
  double span = t1 - t0;
  double slope = (y1 - y0) / span;
  double m0 = (kMaxEase - previous->easeOut) * 0.1 * slope;
  double m1 = (kMaxEase - next->easeIn) * 0.1 * slope;
  double s = (t - t0) / span;
  double s2 = s * s, s3 = s2 * s;
  double h00 = 2 * s3 - 3 * s2 + 1;
  double h10 = s3 - 2 * s2 + s;
  double h01 = -2 * s3 + 3 * s2;
  double h11 = s3 - s2;
  return h00 * y0 + h10 * span * m0 + h01 * y1 + h11 * span * m1;
}

void KeyTrack::ShiftFrames(int delta) {
  for (Key& key : keys_) key.frame += delta;
}

}  // namespace quenda
