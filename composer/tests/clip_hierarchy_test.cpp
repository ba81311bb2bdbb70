#include <gtest/gtest.h>

#include <cmath>
#include <tuple>

#include "composer/core/clip_transform.h"

namespace quenda {
namespace {

ClipRecord Clip(double x, double y, double sx, double sy, double rotation) {
  ClipRecord clip = FreshClipRecord();
  clip.tracks[kPositionX] = KeyTrack({{0, x, 0, 0}});
  clip.tracks[kPositionY] = KeyTrack({{0, y, 0, 0}});
  clip.tracks[kScaleX] = KeyTrack({{0, sx, 0, 0}});
  clip.tracks[kScaleY] = KeyTrack({{0, sy, 0, 0}});
  clip.tracks[kRotation] = KeyTrack({{0, rotation, 0, 0}});
  return clip;
}

TEST(Rounding, HalvesGoAwayFromZero) {
  for (auto [value, rounded] :
       {std::pair{2.5, 3.0}, {2.49, 2.0}, {-2.5, -3.0}, {-2.49, -2.0}, {0.0, 0.0}})
    EXPECT_EQ(RoundPosition(value), rounded) << value;
}

TEST(WorldTransform, ChildrenFollowTheirParentsRotationAndScaleAndParentLoopsEnd) {
  Composition c;
  c.clips.push_back(Clip(10.4, 0, 1, 1, 0));         // child of 1
  c.clips.push_back(Clip(100, 50, 2, 3, M_PI / 2));  // the parent
  c.clips[0].parentIndex = 1;
  WorldTransform parent = WorldTransformAt(c, 1, 0);
  EXPECT_EQ(std::tuple(parent.x, parent.y), std::tuple(100.0, 50.0));
  WorldTransform child = WorldTransformAt(c, 0, 0);
  // theta = -90 degrees: x' = cos*(x*sx) - sin*(y*sy) = 0, y' = sin*(x*sx) = -20.8 -> -21.
  EXPECT_EQ(std::tuple(child.x, child.y, child.scaleX, child.scaleY, child.rotation),
            std::tuple(100.0, 50.0 - 21, 2.0, 3.0, M_PI / 2));
  // Parent loops from damaged files end.
  c = Composition{};
  c.clips.push_back(Clip(1, 2, 1, 1, 0));
  c.clips.push_back(Clip(3, 4, 1, 1, 0));
  c.clips[0].parentIndex = 1;
  c.clips[1].parentIndex = 0;
  WorldTransform world = WorldTransformAt(c, 0, 0);
  EXPECT_EQ(std::tuple(world.x, world.y), std::tuple(4.0, 6.0));
}

TEST(Parenting, UnparentAtIdentityAddsTheParentsPosition) {
  Composition c;
  c.clips.push_back(Clip(0, 0, 1, 1, 0));
  c.clips[0].tracks[kPositionX] = KeyTrack({{0, 5, 0, 0}, {10, -7, 2, 3}});
  c.clips[0].tracks[kPositionY] = KeyTrack({{0, 8, 0, 0}, {10, 1.5, 0, 0}});
  c.clips.push_back(Clip(200, 120, 1, 1, 0));
  c.clips[0].parentIndex = 1;
  Unparent(c, 0, 4);
  EXPECT_EQ(c.clips[0].parentIndex, -1);
  EXPECT_EQ(c.clips[0].tracks[kPositionX], KeyTrack({{0, 205, 0, 0}, {10, 193, 2, 3}}));
  EXPECT_EQ(c.clips[0].tracks[kPositionY], KeyTrack({{0, 128, 0, 0}, {10, 121.5, 0, 0}}));
}

TEST(Parenting, ParentThenUnparentKeepsTheWorldPlaceAndAParentScaledToNothingIsRefused) {
  Composition c;
  c.clips.push_back(Clip(300, 40, 1.5, 0.5, 0.3));
  c.clips.push_back(Clip(120, 90, 2, 4, -0.7));
  WorldTransform before = WorldTransformAt(c, 0, 0);
  ASSERT_TRUE(SetParent(c, 0, 1, 0));
  EXPECT_EQ(c.clips[0].parentIndex, 1);
  WorldTransform parented = WorldTransformAt(c, 0, 0);
  EXPECT_NEAR(parented.x, before.x, 1);
  EXPECT_NEAR(parented.y, before.y, 1);
  EXPECT_NEAR(parented.scaleX, 1.5, 1e-12);
  EXPECT_NEAR(parented.rotation, 0.3, 1e-12);
  Unparent(c, 0, 0);
  EXPECT_NEAR(c.clips[0].tracks[kPositionX].keys()[0].value, 300, 1e-9);
  EXPECT_NEAR(c.clips[0].tracks[kPositionY].keys()[0].value, 40, 1e-9);
  EXPECT_NEAR(c.clips[0].tracks[kScaleY].keys()[0].value, 0.5, 1e-12);
  // A parent scaled to nothing is refused.
  c = Composition{};
  c.clips.push_back(Clip(3, 4, 1, 1, 0));
  c.clips.push_back(Clip(0, 0, 0, 1, 0));
  const ClipRecord unparented = c.clips[0];
  EXPECT_FALSE(SetParent(c, 0, 1, 0));
  EXPECT_EQ(c.clips[0], unparented);
}

}  // namespace
}  // namespace quenda
