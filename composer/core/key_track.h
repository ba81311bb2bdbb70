#pragma once
// A clip's animation track: keys in the order they were made, looked up by frame, and the eased
// cubic between neighbouring keys.

#include <vector>

#include "common/result.h"

namespace quenda {

inline constexpr int kKeySlots = 500;
// An append that brings the count to this many is refused, so SetKey leaves at most 498 keys.
inline constexpr int kKeyRefusedCount = 499;
inline constexpr int kMaxEase = 10;
inline constexpr const char* kKeyLimitMessage =
    "There is a limit in number of keys in a clip, sorry.";
inline constexpr const char* kLastKeyMessage = "Can not delete the last key";

struct Key {
  int frame = 0;
  double value = 0.0;
  int easeIn = 0;
  int easeOut = 0;

  bool operator==(const Key&) const = default;
};

class KeyTrack {
 public:
  KeyTrack() = default;
  explicit KeyTrack(std::vector<Key> keys) : keys_(std::move(keys)) {}

  // Replaces the value of the key at `frame` (keeping its eases) or appends a new key.
  Status SetKey(int frame, double value);
  // Removes the key at `frame`; the track's last key stays.
  Status DeleteKey(int frame);
  // SetKey(frame, Evaluate(frame)): inserting a key never changes the motion.
  Status InsertInterpolatedKey(int frame) { return SetKey(frame, Evaluate(frame)); }
  // Appends or replaces a whole key (value and eases), as Paste Key does; a track already
  // holding 499 keys refuses.
  Status PutKey(const Key& key);

  bool HasKey(int frame) const { return IndexOfKey(frame) >= 0; }
  int IndexOfKey(int frame) const;
  // The smallest key frame after `frame` (the largest before it), -1 when there is none.
  int NextKeyFrame(int frame) const;
  int PreviousKeyFrame(int frame) const;

  // The value at time t: the key's value on a key, held before the first and after the last
  // key, the eased cubic in between. An empty track (an effect clip's unused tracks) gives 0.
  double Evaluate(double t) const;

  // Adds `delta` to every key frame.
  void ShiftFrames(int delta);
  void Clear() { keys_.clear(); }

  int count() const { return int(keys_.size()); }
  bool empty() const { return keys_.empty(); }
  const std::vector<Key>& keys() const { return keys_; }
  std::vector<Key>& keys() { return keys_; }

  bool operator==(const KeyTrack&) const = default;

 private:
  std::vector<Key> keys_;
};

}  // namespace quenda
