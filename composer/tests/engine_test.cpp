#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <tuple>

#include "common/scripted_prompt.h"
#include "composer/core/blurred_image.h"
#include "composer/core/compose_frame.h"
#include "composer/oracle/literal_draw_clip.h"
#include "composer/tests/composer_test_files.h"
#include "testing/test_support.h"

namespace quenda {
namespace {

using testing::Filled;
using testing::Pattern;

ClipImage Solid(int width, int height, Rgba color, bool alpha) {
  ClipImage image(width, height, alpha ? 4 : 3);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      uint8_t* p = image.At(x, y);
      p[0] = uint8_t(color.b), p[1] = uint8_t(color.g), p[2] = uint8_t(color.r);
      if (alpha) p[3] = uint8_t(color.a);
    }
  return image;
}

TEST(Engine, BufferSizesPerQualityAndTheBackgroundColour) {
  // Halved per quality step; the width then cut to a multiple of 4 and 4 added.
  for (auto [w, h, q, bw, bh] :
       {std::array{720, 576, 0, 724, 576}, std::array{720, 576, 1, 364, 288},
        std::array{720, 576, 2, 184, 144}, std::array{47, 33, 0, 48, 33}}) {
    const BufferSize size = BufferSizeAt(w, h, q);
    EXPECT_EQ(std::tuple(size.width, size.height), std::tuple(bw, bh)) << w << " q" << q;
  }
  Composition c;
  c.width = 47;
  c.height = 33;
  c.backgroundColor = 0x00112233;  // red 0x33, green 0x22, blue 0x11
  FrameBuffer frame = ComposeFrame(c, 0, {});
  std::vector<uint8_t> expected;
  for (int i = 0; i < 48 * 33; ++i) expected.insert(expected.end(), {0x11, 0x22, 0x33});
  EXPECT_EQ(frame.bgr, expected);
}

TEST(Engine, AlphaDecidesHowMuchOfTheClipShows) {
  ClipPlacement centred{5, 4, 1, 1, 0};
  // With an alpha channel or not, its value, and the blue then seen over grey 10.
  const std::tuple<bool, int, int> cases[] = {
      {false, 0, 200}, {true, 0, 10}, {true, 255, 200}, {true, 128, (127 * 10 + 128 * 200) / 255}};
  for (auto [alpha, a, expected] : cases) {
    FrameBuffer buffer = Filled(12, 9, 10, 0);
    DrawClip(Solid(10, 8, {200, 200, 200, a}, alpha), centred, {}, {}, buffer);
    EXPECT_EQ(std::tuple(int(buffer.bgr[(3 * 12 + 4) * 3]), int(buffer.matte[3 * 12 + 4])),
              std::tuple(expected, alpha ? a : 255))
        << alpha << " " << a;
  }
}

TEST(Engine, EffectRunsStopAtVirtualClipsAndPutBlursFirst) {
  Composition c;
  c.clips.push_back(MakeEffectClip(ClipKind::Transparency));
  c.clips.push_back(MakeVirtualClip(100, 100));
  c.clips.push_back(MakeEffectClip(ClipKind::HueSaturation));
  c.clips.push_back(MakeEffectClip(ClipKind::DirectionalBlur));
  c.clips.push_back(MakeEffectClip(ClipKind::BrightnessContrast));
  c.clips.push_back(MakeEffectClip(ClipKind::Blur));
  c.clips.push_back(FreshClipRecord());
  c.clips[5].tracks[kPositionX] = KeyTrack({{0, 2.5, 0, 0}});  // rounds to 3
  c.clips[3].tracks[kPositionY] = KeyTrack({{0, 400, 0, 0}});  // angle limited to 359
  using Effects = std::vector<std::tuple<ClipKind, int, int>>;
  auto effectsFor = [&](int clip) {
    Effects got;
    for (const EffectParams& e : EffectsFor(c, clip, 0)) got.emplace_back(e.kind, e.a, e.b);
    return got;
  };
  EXPECT_EQ(effectsFor(6), (Effects{{ClipKind::Blur, 3, 0},
                                    {ClipKind::DirectionalBlur, 0, 359},
                                    {ClipKind::BrightnessContrast, 0, 0},
                                    {ClipKind::HueSaturation, 0, 0}}));
  EXPECT_EQ(effectsFor(1), (Effects{{ClipKind::Transparency, 0, 0}}));
}

TEST(Effects, TransparencyBrightnessAndHue) {
  Rgba p{10, 128, 250, 255};
  EXPECT_EQ(std::tuple(Transparency(p, 100).a, Transparency(p, 0), Transparency(p, 50).a),
            std::tuple(0, p, 127));
  Rgba brighter = BrightnessContrast(p, 60, 0);
  Rgba darker = BrightnessContrast(p, -60, 0);
  EXPECT_GT(brighter.b, p.b);
  EXPECT_GE(brighter.r, p.r);
  EXPECT_LT(darker.g, p.g);
  EXPECT_EQ(BrightnessContrast({0, 255, 0, 9}, 127, 0).b, 127);  // 0 + 255 * 127 / 255
  for (int grey : {0, 1, 77, 128, 200, 255}) {
    Rgba g{grey, grey, grey, 40};
    EXPECT_EQ(HueSaturation(g, 0, 0), g) << grey;
  }
  // Lightness 125 and saturation 51: lowering saturation by 127 leaves the grey of lightness.
  EXPECT_EQ(HueSaturation({150, 100, 100, 255}, 0, -127), (Rgba{125, 125, 125, 255}));
  // Pure blue sits at hue 0: its hue and lightness survive the round trip.
  Rgba blue = HueSaturation({255, 0, 0, 255}, 0, 0);
  EXPECT_GE(blue.b, 250);
  EXPECT_LE(blue.g, 2);
  EXPECT_LE(blue.r, 2);
}

TEST(Effects, BlursOfOnePixelAndAlongAColumn) {
  ClipImage image = Pattern(9, 9, true, 5);
  // A = B = 0: the nearest pixel even when sampling is bilinear.
  FrameBuffer fast = Filled(12, 9, 0), plain = Filled(12, 9, 0);
  DrawClip(image, {4.3, 4.6, 1, 1, 0}, {{ClipKind::Blur, 0, 0}}, {0, 0, true}, fast);
  DrawClip(image, {4.3, 4.6, 1, 1, 0}, {}, {0, 0, false}, plain);
  for (std::size_t i = 0; i < fast.bgr.size(); ++i) ASSERT_EQ(fast.bgr[i], plain.bgr[i]) << i;
  ClipImage column = Solid(5, 7, {0, 0, 0, 255}, true);
  for (int y = 0; y < 7; ++y) const_cast<uint8_t*>(column.At(2, y))[0] = uint8_t(y * 10);
  Rgba along = DirectionalBlur(column, 2, 3, 2, 90);
  EXPECT_EQ(along.b, (10 + 20 + 30 + 40 + 50) / 5);
  Rgba atEdge = DirectionalBlur(column, 2, 0, 2, 90);  // clamped: 0, 0, 0, 10, 20
  EXPECT_EQ(atEdge.b, 30 / 5);
}

TEST(Effects, RippleNeedsStrengthAndSpeed) {
  double sx = 10.5, sy = 3.25;
  Ripple(sx, sy, {ClipKind::Underwater, 40, 0}, 7, 30, 30);
  EXPECT_EQ(std::tuple(sx, sy), std::tuple(10.5, 3.25));
  double ax = 10.5, ay = 3.25, bx = 10.5, by = 3.25;
  Ripple(ax, ay, {ClipKind::Underwater, 0, 20}, 1, 30, 30);
  Ripple(bx, by, {ClipKind::Underwater, 0, 20}, 9, 30, 30);
  EXPECT_EQ(std::tuple(ax, ay), std::tuple(bx, by));
  EXPECT_NE(ay, 3.25);
  EXPECT_EQ(std::tuple(SinTable()[90], CosTable()[90], SinTable()[30], CosTable()[180]),
            std::tuple(10000, 0, 5000, -10000));
}

class ComposeFiles : public ::testing::Test {
 protected:
  ComposeFiles() : c(testing::MovieOf(47, 33, 10)) { c.backgroundColor = 0x00203040; }
  ClipRecord Sequence(const std::string& name, int first, int last, int depth) {
    for (int n = first; n <= last; ++n)
      testing::WriteClipImage(dir.File(name + std::to_string(n) + ".tga"), 21 + n, 17, depth, n);
    return testing::SequenceClip(dir.path(), name, 1, first, last);
  }
  testing::TempDir dir;
  Composition c;
};

TEST_F(ComposeFiles, WholeFramesMatchTheLiteralDrawerAndMissingOrBrokenFramesAreLeftOut) {
  ClipRecord back = Sequence("bg", 1, 3, 24);
  back.tracks[kPositionX] = KeyTrack({{0, 20, 0, 0}, {9, 30, 5, 5}});
  back.tracks[kPositionY] = KeyTrack({{0, 15, 0, 0}});
  back.afterEnd = EdgeBehaviour::PingPong;
  ClipRecord front = Sequence("fg", 1, 2, 32);
  front.tracks[kRotation] = KeyTrack({{0, 0, 0, 0}, {9, 2, 0, 0}});
  front.tracks[kScaleX] = KeyTrack({{0, 1.4, 0, 0}});
  front.parentIndex = 3;
  front.beforeStart = EdgeBehaviour::Loop;
  front.afterEnd = EdgeBehaviour::Loop;
  ClipRecord blur = MakeEffectClip(ClipKind::Blur);
  blur.tracks[kPositionX] = KeyTrack({{0, 4, 0, 0}});
  blur.tracks[kPositionY] = KeyTrack({{0, 15, 0, 0}});
  c.clips = {MakeEffectClip(ClipKind::Underwater), blur, front, MakeVirtualClip(47, 33), back};
  for (float aspect : {1.0f, 1.067f, 0.9f}) {
    c.pixelAspect = aspect;
    for (int frame : {0, 4, 9})
      for (int quality : {0, 1})
        for (bool antialias : {false, true}) {
          ComposeOptions options{quality, antialias, true};
          FrameBuffer fast = ComposeFrame(c, frame, options);
          FrameBuffer literal = ComposeFrameWith(c, frame, options, {}, &oracle::LiteralDrawClip);
          ASSERT_EQ(fast.bgr, literal.bgr) << aspect << " " << frame;
          ASSERT_EQ(fast.matte, literal.matte);
        }
  }
  // The sequence really was drawn: frame 0 differs from the plain background.
  Composition empty = c;
  empty.clips.clear();
  EXPECT_NE(ComposeFrame(c, 0, {}).bgr, ComposeFrame(empty, 0, {}).bgr);
  // Missing and broken frames leave the layer out.
  ClipRecord clip = Sequence("walk", 1, 3, 24);
  clip.tracks[kPositionX] = KeyTrack({{0, 23, 0, 0}});
  clip.tracks[kPositionY] = KeyTrack({{0, 16, 0, 0}});
  c.clips = {clip};
  std::remove(dir.File("walk2.tga").c_str());
  testing::WriteText(dir.File("walk3.tga"), "broken but long enough to have a header");
  ScriptedPrompt prompt;
  std::vector<std::string> status;
  ComposeSink sink{&prompt, [&](const std::string& s) { status.push_back(s); }};
  FrameBuffer background = ComposeFrame(empty, 0, {});
  EXPECT_NE(ComposeFrame(c, 0, {}, sink).bgr, background.bgr);
  EXPECT_EQ(ComposeFrame(c, 1, {}, sink).bgr, background.bgr);
  EXPECT_EQ(ComposeFrame(c, 2, {}, sink).bgr, background.bgr);
  EXPECT_EQ(status, (std::vector<std::string>{"Clip member: " + dir.File("walk2.tga") +
                                              " does not exist"}));
  ASSERT_EQ(prompt.Texts().size(), 1u);
  EXPECT_EQ(prompt.Texts()[0].substr(0, 13), "Clip member: ");
}

}  // namespace
}  // namespace quenda
