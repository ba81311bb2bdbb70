// A frame drawn in bands of rows on several threads is the frame one thread draws, byte for
// byte, on every drawing path: plain and antialiased sampling, each effect that reads
// neighbouring pixels, keyed and parented motion, the kept matte, and the view's partial redraw.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "common/thread_pool.h"
#include "composer/core/blurred_image.h"
#include "composer/core/compose_frame.h"
#include "composer/core/view_frame.h"
#include "composer/oracle/literal_draw_clip.h"
#include "composer/tests/composer_test_files.h"
#include "testing/inner_threads.h"
#include "testing/test_support.h"

namespace quenda {
namespace {

using ::quenda::testing::InnerThreadsSetTo;

constexpr int kThreadCounts[] = {2, 7};

// Image clips of 24 and 32 bits, tall enough that a Blur's picture splits into bands too.
struct Movie {
  ::quenda::testing::TempDir dir;
  Composition composition = ::quenda::testing::MovieOf(180, 300, 10);

  Movie() {
    ::quenda::testing::WriteClipImage(dir.File("tall.tga"), 70, 170, 32, 3);
    ::quenda::testing::WriteClipImage(dir.File("wide.tga"), 120, 40, 24, 5);
  }
  ClipRecord Clip(const std::string& name, double x, double y) const {
    return ::quenda::testing::StillClip(dir.path(), name, x, y);
  }
};

TEST(BandedFrame, EveryPathGivesTheFrameOneThreadGives) {
  Movie movie;
  ClipRecord moving = movie.Clip("tall", 60, 120);
  // Keyed motion: position, scale and rotation all change between frames 0 and 9.
  moving.tracks[kPositionX] = KeyTrack({{0, 40, 0, 0}, {9, 130, 0, 0}});
  moving.tracks[kScaleX] = KeyTrack({{0, 1.4, 0, 0}, {9, 0.7, 0, 0}});
  moving.tracks[kScaleY] = KeyTrack({{0, 1.6, 0, 0}});
  moving.tracks[kRotation] = KeyTrack({{0, 0, 0, 0}, {9, 2.2, 0, 0}});
  ClipRecord parent = MakeVirtualClip(180, 300);
  parent.tracks[kRotation] = KeyTrack({{0, -0.3, 0, 0}, {9, 0.4, 0, 0}});
  ClipRecord child = movie.Clip("wide", 10, -20);
  child.parentIndex = 0;
  auto effect = [](ClipKind kind, double a, double b) {
    ClipRecord e = MakeEffectClip(kind);
    e.tracks[kPositionX] = KeyTrack({{0, a, 0, 0}});
    e.tracks[kPositionY] = KeyTrack({{0, b, 0, 0}});
    return e;
  };
  struct Case {
    const char* name;
    std::vector<ClipRecord> inFront;  // effects standing directly in front of the moving clip
  };
  const Case cases[] = {
      {"no effect", {}},
      {"blur", {effect(ClipKind::Blur, 15, 15)}},
      {"thin blur then colour",
       {effect(ClipKind::HueSaturation, 60, -20), effect(ClipKind::Blur, 3, 0)}},
      {"directional blur", {effect(ClipKind::DirectionalBlur, 9, 40)}},
      {"ripple and transparency",
       {effect(ClipKind::Transparency, 40, 0), effect(ClipKind::Underwater, 12, 30)}},
  };
  for (const Case& c : cases) {
    Composition composition = movie.composition;
    composition.clips = {parent};
    composition.clips.insert(composition.clips.end(), c.inFront.begin(), c.inFront.end());
    composition.clips.push_back(moving);
    composition.clips.push_back(child);
    for (int quality : {0, 1})
      for (bool antialias : {false, true})
        for (bool matte : {false, true})
          for (int frame : {0, 6}) {
            SCOPED_TRACE(std::string(c.name) + " q" + std::to_string(quality) + " aa" +
                         std::to_string(antialias) + " matte" + std::to_string(matte) + " frame " +
                         std::to_string(frame));
            const ComposeOptions options{quality, antialias, matte};
            FrameBuffer one;
            {
              InnerThreadsSetTo threads(1);
              one = ComposeFrame(composition, frame, options);
              // The one-thread frame is itself the literal drawer's.
              FrameBuffer literal =
                  ComposeFrameWith(composition, frame, options, {}, &oracle::LiteralDrawClip);
              ASSERT_EQ(one.bgr, literal.bgr);
              ASSERT_EQ(one.matte, literal.matte);
            }
            ASSERT_EQ(one.hasMatte(), matte);
            for (int threads : kThreadCounts) {
              InnerThreadsSetTo set(threads);
              const FrameBuffer many = ComposeFrame(composition, frame, options);
              ASSERT_EQ(many.bgr, one.bgr) << threads << " threads";
              ASSERT_EQ(many.matte, one.matte) << threads << " threads";
            }
          }
  }
}

TEST(BandedFrame, BlurPicturesInBandsMatchTheLiteralBlur) {
  // Bands start their running sums afresh; the clamped rows at either end and windows that
  // reach across a band's first row are where a fault would show.
  const ClipImage image = ::quenda::testing::Pattern(23, 310, true, 9);
  for (auto [rx, ry] : {std::pair{15, 15}, std::pair{0, 7}, std::pair{4, 0}}) {
    InnerThreadsSetTo threads(7);
    const BlurredImage blurred(image, rx, ry);
    for (int ty = 0; ty < image.height(); ++ty)
      for (int tx = 0; tx < image.width(); tx += 5)
        ASSERT_EQ(blurred.At(tx, ty), oracle::LiteralBlur(image, tx, ty, rx, ry))
            << tx << "," << ty << " r " << rx << "," << ry;
  }
}

TEST(BandedFrame, TheViewsPartialRedrawMatchesAWholeFrame) {
  // Dragging the front clip redraws only what it covered, over kept layers, in bands.
  Movie movie;
  Composition composition = movie.composition;
  composition.clips = {movie.Clip("wide", 90, 100), movie.Clip("tall", 70, 150),
                       movie.Clip("wide", 100, 220)};
  ViewFrameCache view;
  const ComposeOptions options{0, true, false};
  InnerThreadsSetTo threads(7);
  view.Update(composition, 0, options);
  for (double x : {100.0, 115.0, 40.0}) {
    composition.clips[0].tracks[kPositionX] = KeyTrack({{0, x, 0, 0}});
    const FrameBuffer& shown = view.Update(composition, 0, options);
    InnerThreadsSetTo one(1);
    ASSERT_EQ(shown.bgr, ComposeFrame(composition, 0, options).bgr) << x;
  }
  EXPECT_EQ(view.fullComposites(), 1);
}

}  // namespace
}  // namespace quenda
