// The views' arithmetic and the view's kept frame: zoom steps, drag values, status texts, and a
// frame redrawn in parts that must equal one composited whole.
#include <gtest/gtest.h>

#include <random>
#include <tuple>

#include "composer/core/compose_frame.h"
#include "composer/core/view_frame.h"
#include "composer/core/view_state.h"
#include "composer/tests/composer_test_files.h"
#include "testing/test_support.h"

namespace quenda {
namespace {

TEST(ViewZoom, StepsThroughWholeFactorsAndTheirInverses) {
  // Zoom Out from 1 gives 1/2, then 1/3; Zoom In from 1/2 gives 1; up from 1 gives 2, 3.
  const std::pair<float, float> outs[] = {{1.0f, 0.5f}, {0.5f, 1.0f / 3}, {3.0f, 2.0f}};
  for (auto [from, to] : outs) EXPECT_FLOAT_EQ(ZoomOfLevel(LevelOfZoom(from) - 1), to) << from;
  const std::pair<float, float> ins[] = {{0.5f, 1.0f}, {1.0f, 2.0f}, {2.0f, 3.0f}};
  for (auto [from, to] : ins) EXPECT_FLOAT_EQ(ZoomOfLevel(LevelOfZoom(from) + 1), to) << from;
  // Zooms between the steps go to the nearest, halves down.
  EXPECT_EQ(std::tuple(LevelOfZoom(2.5f), LevelOfZoom(0.4f), FittingZoomLevel(720, 576, 400, 400),
                       FittingZoomLevel(100, 80, 350, 300)),
            std::tuple(1, -1, -1, 2));
}

TEST(ViewDrag, EachModeSetsItsTracks) {
  DragStart s;
  s.x = 100, s.y = 50, s.scaleX = 2, s.scaleY = 0.5, s.rotation = 0.1;
  s.imageWidth = 40, s.imageHeight = 80;  // on screen 80 x 40
  // Mode, pointer travel, zoom, and the keys set.
  const std::tuple<InteractionMode, int, int, float, std::vector<DragKey>> cases[] = {
      {InteractionMode::Move, 10, 0, 2.0f, {{kPositionX, 105}, {kPositionY, 50}}},
      {InteractionMode::Move, 3, -4, 1.0f, {{kPositionX, 103}, {kPositionY, 54}}},
      {InteractionMode::HorizontalMove, 8, 8, 1.0f, {{kPositionX, 108}, {kPositionY, 50}}},
      {InteractionMode::VerticalMove, 8, -8, 1.0f, {{kPositionX, 100}, {kPositionY, 58}}},
      {InteractionMode::UniformScale, 8, -4, 1.0f, {{kScaleX, 2 * 1.1}, {kScaleY, 0.5 * 1.1}}},
      {InteractionMode::NonUniformScale, 8, -4, 1.0f, {{kScaleX, 2 * 1.1}, {kScaleY, 0.5 * 1.1}}},
      {InteractionMode::NonUniformScale, -40, 20, 1.0f, {{kScaleX, 1.0}, {kScaleY, 0.25}}},
      {InteractionMode::Rotate, 5, 9, 1.0f, {{kRotation, 0.2}}},
      {InteractionMode::Select, 5, 9, 1.0f, {}},
  };
  for (const auto& [mode, dx, dy, zoom, expected] : cases) {
    std::vector<DragKey> keys = DragKeys(mode, s, dx, dy, zoom);
    ASSERT_EQ(keys.size(), expected.size()) << int(mode);
    for (std::size_t i = 0; i < keys.size(); ++i) {
      EXPECT_EQ(keys[i].track, expected[i].track) << int(mode);
      EXPECT_NEAR(keys[i].value, expected[i].value, 1e-6) << int(mode) << " " << i;
    }
  }
}

TEST(ViewStatus, PanesReadAsTheUserSeesThem) {
  Composition c;
  c.clips.push_back(FreshClipRecord());
  c.clips[0].selected = 1;
  (void)c.clips[0].tracks[kPositionX].SetKey(0, 150);
  (void)c.clips[0].tracks[kRotation].SetKey(0, 3.14159265359 * 2.5);
  c.units = int(Units::Inch);
  c.dpi = 100;
  EXPECT_EQ(ZoomPaneText(1.0f / 3), "zoom: 33%");
  EXPECT_EQ(ValuePaneTexts(c, InteractionMode::Move),
            std::make_pair(std::string("PositionX:  1.50"), std::string("PositionY:  0.00")));
  EXPECT_EQ(ValuePaneTexts(c, InteractionMode::Rotate),
            std::make_pair(std::string("Turns:     1"), std::string("Rotation: 90.00")));
  EXPECT_EQ(ValuePaneTexts(c, InteractionMode::UniformScale).first, "ScaleX:  1.00");
  EXPECT_EQ(UnitsPaneText(1), "cm");
  // The default margins leave 5 % and 10 % on each side.
  EXPECT_EQ(SafeRect(200, 100, 0.1f), (ViewRect{10, 5, 180, 90}));
  EXPECT_EQ(SafeRect(200, 100, 0.2f), (ViewRect{20, 10, 160, 80}));
}

TEST(Timeline, ADraggedClipStaysInsideTheMovieWithItsKeys) {
  ClipRecord clip = FreshClipRecord();
  clip.firstFrame = 1, clip.lastFrame = 4, clip.movieStart = 2;
  clip.ShiftKeys(2);
  (void)clip.tracks[kPositionX].SetKey(9, 1);  // the extent runs to the key: 8 frames
  EXPECT_EQ(ClipTimeExtent(clip, 20), 8);
  EXPECT_EQ(DraggedStart(clip, 20, 15, 3), std::optional<int>(12));
  EXPECT_EQ(DraggedStart(clip, 20, 16, 3), std::nullopt);  // 13 + 8 > 20
  EXPECT_EQ(DraggedStart(clip, 20, 2, 3), std::nullopt);
  EXPECT_EQ(TimelineFrameAt(kTimelineLabelWidth + 65, 10, 32), 12);
}

// A composition of a few clips on files, one behind effects, one parented.
struct Scene {
  testing::TempDir dir;
  Composition c;
  Scene() {
    testing::WriteClipImage(dir.File("a.tga"), 40, 30, 32, 1);
    testing::WriteClipImage(dir.File("b.tga"), 50, 20, 24, 2);
    testing::WriteClipImage(dir.File("c.tga"), 96, 72, 24, 3);
    c.width = 96, c.height = 72, c.frames = 10;
    auto add = [&](const char* name, ClipKind kind) {
      c.clips.push_back(kind == ClipKind::Image ? testing::StillClip(dir.path(), name, 48, 36)
                                                : MakeEffectClip(kind));
    };
    add("a", ClipKind::Image);
    add("", ClipKind::Blur);
    add("", ClipKind::HueSaturation);
    add("b", ClipKind::Image);
    add("c", ClipKind::Image);
    (void)c.clips[1].tracks[0].SetKey(0, 2);
    (void)c.clips[2].tracks[0].SetKey(0, 30);
    c.clips[0].parentIndex = 3;
    (void)c.clips[0].tracks[kPositionX].SetKey(0, 5);
    (void)c.clips[0].tracks[kPositionY].SetKey(0, -4);
  }
};

TEST(ViewFrame, PartialRedrawsEqualWholeComposites) {
  Scene s;
  ViewFrameCache cache;
  for (bool antialias : {false, true}) {
    for (int quality : {0, 1}) {
      ComposeOptions options{quality, antialias, false, 0};
      std::mt19937 random(7 + quality);
      Composition c = s.c;
      cache.Update(c, 0, options);
      const int fullBefore = cache.fullComposites();
      for (int step = 0; step < 24; ++step) {
        int clip = std::array{0, 3, 4, 1}[random() % 4];
        int track = clip == 1 ? int(random() % 2) : int(random() % kTrackCount);
        double value = clip == 1             ? double(random() % 6)
                       : track <= kPositionY ? double(random() % 120) - 10
                       : track == kRotation  ? (random() % 100) * 0.03
                                             : 0.3 + (random() % 20) * 0.1;
        (void)c.clips[std::size_t(clip)].tracks[std::size_t(track)].SetKey(0, value);
        if (step % 7 == 3) c.clips[3].hidden ^= 1;
        const FrameBuffer& shown = cache.Update(c, 0, options);
        FrameBuffer whole = ComposeFrame(c, 0, options);
        ASSERT_EQ(shown.bgr, whole.bgr) << "step " << step << " quality " << quality;
      }
      // Every step above took the partial path.
      EXPECT_EQ(cache.fullComposites(), fullBefore);
    }
  }
}

}  // namespace
}  // namespace quenda
