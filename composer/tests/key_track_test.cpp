#include <gtest/gtest.h>

#include <tuple>

#include "composer/core/clip_record.h"
#include "composer/core/key_track.h"

namespace quenda {
namespace {

KeyTrack Ramp(int easeOutFirst, int easeInSecond, int offset = 0) {
  return KeyTrack({{offset, 0.0, 0, easeOutFirst}, {offset + 10, 100.0, easeInSecond, 0}});
}

TEST(KeyTrackEvaluate, EasedAndLinearRampsMeetHalfwayAndAnInterpolatedKeyKeepsTheMotion) {
  KeyTrack linear = Ramp(0, 0);
  KeyTrack eased = Ramp(10, 10);
  EXPECT_DOUBLE_EQ(linear.Evaluate(5), 50.0);
  EXPECT_NEAR(eased.Evaluate(5), 50.0, 1e-9);
  for (double t : {1.0, 2.5, 4.0}) {
    EXPECT_NEAR(linear.Evaluate(t), t * 10, 1e-9);
    EXPECT_LT(eased.Evaluate(t), linear.Evaluate(t));
  }
  for (double t : {6.0, 7.5, 9.0}) EXPECT_GT(eased.Evaluate(t), linear.Evaluate(t));
  // Eased keys come to rest: the curve is flat next to them.
  EXPECT_NEAR(eased.Evaluate(0.01), 0.0, 0.01);
  EXPECT_NEAR(eased.Evaluate(9.99), 100.0, 0.01);
  // Large frame numbers keep their precision.
  EXPECT_NEAR(Ramp(0, 0, 1000000).Evaluate(1000002.5), 25.0, 1e-9);
  KeyTrack track = Ramp(3, 6);
  double before = track.Evaluate(4);
  ASSERT_TRUE(track.InsertInterpolatedKey(4).ok());
  EXPECT_EQ(track.count(), 3);
  // A new key is linear through it (eases 0), so values near it may move, but on it they hold.
  EXPECT_DOUBLE_EQ(track.Evaluate(4), before);
}

TEST(KeyTrackEvaluate, HoldsOutsideItsKeysAndIgnoresKeyOrder) {
  KeyTrack sorted({{2, 10.0, 0, 3}, {6, 30.0, 5, 0}, {12, -4.0, 2, 0}});
  KeyTrack unsorted({{12, -4.0, 2, 0}, {2, 10.0, 0, 3}, {6, 30.0, 5, 0}});
  for (auto [t, value] : {std::pair{-50.0, 10.0}, {1.5, 10.0}, {13.0, -4.0}, {6.0, 30.0}})
    EXPECT_EQ(sorted.Evaluate(t), value) << t;
  for (double t = -2; t < 15; t += 0.25) EXPECT_EQ(sorted.Evaluate(t), unsorted.Evaluate(t)) << t;
  EXPECT_EQ(KeyTrack().Evaluate(3), 0.0);
}

TEST(KeyTrackEditing, SetKeyKeepsEasesAndStopsAtTheLimit) {
  KeyTrack track({{4, 1.0, 7, 8}});
  ASSERT_TRUE(track.SetKey(4, 9.0).ok());
  EXPECT_EQ(track.keys()[0], (Key{4, 9.0, 7, 8}));
  for (int f = 5; track.count() < 498; ++f) ASSERT_TRUE(track.SetKey(f, f).ok());
  Status refused = track.SetKey(10000, 1.0);
  EXPECT_EQ(std::tuple(refused.message(), track.count(), track.HasKey(10000)),
            std::tuple("There is a limit in number of keys in a clip, sorry.", 498, false));
  // Replacing a key is no append, so it still works at the limit.
  EXPECT_TRUE(track.SetKey(5, -1.0).ok());
  // Paste may fill one more slot.
  EXPECT_TRUE(track.PutKey({20000, 1.0, 0, 0}).ok());
  EXPECT_FALSE(track.PutKey({20001, 1.0, 0, 0}).ok());
}

TEST(KeyTrackEditing, DeleteKeepsOrderAndRefusesTheLastKey) {
  KeyTrack track({{9, 1.0, 0, 0}, {3, 2.0, 0, 0}, {6, 3.0, 0, 0}});
  ASSERT_TRUE(track.DeleteKey(3).ok());
  EXPECT_EQ(track, KeyTrack({{9, 1.0, 0, 0}, {6, 3.0, 0, 0}}));
  EXPECT_EQ(std::tuple(track.NextKeyFrame(6), track.NextKeyFrame(9), track.PreviousKeyFrame(9),
                       track.PreviousKeyFrame(6)),
            std::tuple(9, -1, 6, -1));
  ASSERT_TRUE(track.DeleteKey(9).ok());
  EXPECT_EQ(track.DeleteKey(6).message(), "Can not delete the last key");
  EXPECT_EQ(track.count(), 1);
}

ClipRecord FourImageClip(EdgeBehaviour before, EdgeBehaviour after) {
  ClipRecord clip = FreshClipRecord();
  clip.firstFrame = 1;
  clip.lastFrame = 4;
  clip.span = 3;
  clip.movieStart = 10;
  clip.beforeStart = before;
  clip.afterEnd = after;
  return clip;
}

std::vector<int> Shown(const ClipRecord& clip, std::vector<int> frames) {
  std::vector<int> images;
  for (int f : frames) images.push_back(ImageFrameAt(clip, f).value_or(-1));
  return images;
}

TEST(ImageFrameMapping, EachBehaviourBeforeTheStartAndAfterTheEndAndDamagedRanges) {
  using E = EdgeBehaviour;
  // Before the start, after the end, movie frames and the images they show.
  const std::tuple<E, E, std::vector<int>, std::vector<int>> cases[] = {
      {E::Stop, E::PingPong, {10, 13, 14, 15, 16, 17, 18, 19}, {1, 4, 4, 3, 2, 1, 1, 2}},
      {E::Stop, E::Loop, {14, 15, 16, 17, 18, 19}, {1, 2, 3, 4, 1, 2}},
      {E::PingPong, E::Stop, {9, 8, 7, 6, 5, 4}, {1, 2, 3, 4, 4, 3}},
      {E::Loop, E::Stop, {9, 8, 7, 6, 5}, {4, 3, 2, 1, 4}},
      {E::Hold, E::Hold, {0, 9, 14, 900}, {1, 1, 4, 4}},
      {E::Stop, E::Stop, {9, 10, 13, 14}, {-1, 1, 4, -1}},
  };
  for (const auto& [before, after, frames, images] : cases)
    EXPECT_EQ(Shown(FourImageClip(before, after), frames), images)
        << int(before) << " " << int(after);
  ClipRecord single = FourImageClip(EdgeBehaviour::Stop, EdgeBehaviour::Stop);
  single.singleImage = 1;
  single.firstFrame = single.lastFrame = 0;
  EXPECT_EQ(Shown(single, {0, 500}), (std::vector<int>{0, 0}));
  // Damaged ranges are never shown.
  ClipRecord clip = FourImageClip(EdgeBehaviour::Loop, EdgeBehaviour::Loop);
  clip.lastFrame = 0;  // before firstFrame: no images at all
  EXPECT_FALSE(ImageFrameAt(clip, 12).has_value());
  clip.firstFrame = -2147483647;
  clip.lastFrame = 2147483647;
  EXPECT_TRUE(ImageFrameAt(clip, 5).has_value());
}

TEST(ClipRecordKeys, ShiftKeysMovesEveryTrackAndTheStart) {
  ClipRecord clip = FourImageClip(EdgeBehaviour::Stop, EdgeBehaviour::Stop);
  ASSERT_TRUE(clip.tracks[kRotation].SetKey(15, 1.0).ok());
  clip.ShiftKeys(14);
  EXPECT_EQ(std::tuple(clip.movieStart, clip.tracks[kScaleY].keys()[0].frame,
                       clip.tracks[kRotation].keys()[1].frame, clip.NextClipKeyFrame(4),
                       clip.PreviousClipKeyFrame(19), clip.PreviousClipKeyFrame(4)),
            std::tuple(14, 4, 19, 19, 4, -1));
}

}  // namespace
}  // namespace quenda
