// Clips of studio pictures: a PNG series numbered after a shot code, found beside a missing
// Targa in the documented order, read as a Targa's pixels (alpha straight, grey as colour,
// OpenEXR back from linear and premultiplied), and checked before a render.

#include <gtest/gtest.h>

#include <tuple>

#include "common/scripted_prompt.h"
#include "common/studio_picture.h"
#include "common/targa.h"
#include "composer/core/clip_image.h"
#include "composer/core/clip_source.h"
#include "composer/core/render_inputs.h"
#include "testing/outside_tools.h"
#include "testing/test_support.h"

namespace quenda {
namespace {

using testing::Quoted;
using testing::RunTool;
using testing::TempDir;

// Half-transparent red, clear green, opaque blue, by ImageMagick from a PAM.
void WriteAlphaPng(const std::string& dir, const std::string& name) {
  testing::WriteText(dir + "in.pam",
                     std::string("P7\nWIDTH 3\nHEIGHT 1\nDEPTH 4\nMAXVAL 255\nTUPLTYPE RGB_ALPHA\n"
                                 "ENDHDR\n") +
                         std::string("\xC8\x00\x00\x80\x00\xC8\x00\x00\x00\x00\xC8\xFF", 12));
  ASSERT_EQ(RunTool("convert " + Quoted(dir + "in.pam") + " " + Quoted(dir + name)).exitCode, 0);
}

TEST(StudioClips, APngSeriesAfterAShotCodeIsOneClipReadAsATargasPixels) {
  TempDir dir;
  for (const char* name : {"sc010_bg_0001.png", "sc010_bg_0002.png", "sc010_bg_0003.png"})
    WriteAlphaPng(dir.path(), name);
  ClipRecord clip;
  ASSERT_TRUE(ParseClipFile(dir.File("sc010_bg_0002.png"), 100, 50, clip).ok());
  EXPECT_EQ(std::tie(clip.name, clip.digitCount, clip.firstFrame, clip.lastFrame, clip.singleImage,
                     clip.imageWidth, clip.imageHeight),
            std::tuple("sc010_bg_", 4, 1, 3, 0, 3, 1));
  EXPECT_EQ(ClipFramePath(clip, 3), dir.File("sc010_bg_0003.png"));
  auto image = ReadClipImage(ClipFramePath(clip, 1));
  ASSERT_TRUE(image.ok()) << image.message();
  ASSERT_EQ(image->channels(), 4);
  const uint8_t kWant[3][4] = {{0, 0, 200, 128}, {0, 200, 0, 0}, {200, 0, 0, 255}};
  for (int x = 0; x < 3; ++x)
    for (int c = 0; c < 4; ++c) EXPECT_EQ(image->At(x, 0)[c], kWant[x][c]) << x << " " << c;
  EXPECT_TRUE(CheckClipInputs({}, 1, 1).ok());

  // A Targa of the same name is the clip's picture, as it always was.
  const Raster targa(3, 1, 4, uint8_t(9));
  ASSERT_TRUE(WriteTarga(dir.File("sc010_bg_0002.tga"), targa, WriteMessages("x")).ok());
  EXPECT_EQ(ClipFramePath(clip, 2), dir.File("sc010_bg_0002.tga"));
  // Digits before the end of the title are refused as for a Targa.
  EXPECT_EQ(SplitClipPath("/x/bg01_final.png").message(),
            "Invalid filename format in clip file /x/bg01_final.png\nNumbers should only appear "
            "at the end of clip name.");
}

TEST(StudioClips, BesideAMissingTargaTheFormatsAreTriedInOrderAndTheRenderCheckNamesWhatIsMissing) {
  TempDir dir;
  ClipRecord clip;
  clip.kind = ClipKind::Image;
  clip.directory = dir.path();
  clip.name = "bg";
  clip.singleImage = 1;
  EXPECT_EQ(ClipFramePath(clip, 0), dir.File("bg.tga"));
  Composition movie;
  movie.frames = 1;
  movie.clips.push_back(clip);
  EXPECT_EQ(CheckClipInputs(movie, 1, 1).message(), "missing: " + dir.File("bg.tga"));

  ASSERT_EQ(RunTool("convert -size 4x2 xc:gray30 " + Quoted(dir.File("bg.jpg"))).exitCode, 0);
  EXPECT_EQ(ClipFramePath(clip, 0), dir.File("bg.jpg"));
  const Raster grey(4, 2, 3, uint8_t(77));
  ASSERT_TRUE(
      WriteStudioPicture(dir.File("bg.exr"), grey, {PictureFormat::Exr}, WriteMessages("x")).ok());
  EXPECT_EQ(ClipFramePath(clip, 0), dir.File("bg.exr"));
  ASSERT_EQ(RunTool("convert -size 4x2 xc:gray30 " + Quoted(dir.File("bg.tif"))).exitCode, 0);
  EXPECT_EQ(ClipFramePath(clip, 0), dir.File("bg.tif"));
  ASSERT_EQ(RunTool("convert -size 4x2 xc:gray30 " + Quoted(dir.File("bg.png"))).exitCode, 0);
  EXPECT_EQ(ClipFramePath(clip, 0), dir.File("bg.png"));
  EXPECT_TRUE(CheckClipInputs(movie, 1, 1).ok());

  // Grey pictures are colour to the engine; OpenEXR comes back to the 8-bit values.
  auto png = ReadClipImage(dir.File("bg.png"));
  ASSERT_TRUE(png.ok()) << png.message();
  EXPECT_EQ(png->channels(), 3);
  EXPECT_EQ(png->At(3, 1)[0], png->At(3, 1)[2]);
  auto exr = ReadClipImage(dir.File("bg.exr"));
  ASSERT_TRUE(exr.ok()) << exr.message();
  EXPECT_EQ(*exr, grey);

  // A damaged one is unreadable, a missing one missing.
  testing::WriteText(dir.File("bg.png"), "not a picture");
  EXPECT_EQ(CheckClipInputs(movie, 1, 1).message(), "unreadable: " + dir.File("bg.png"));
  ClipImageFailure failure = ClipImageFailure::None;
  EXPECT_FALSE(ReadClipImage(dir.File("bg.png"), &failure).ok());
  EXPECT_EQ(failure, ClipImageFailure::Unreadable);
  auto gone = ReadClipImage(dir.File("gone.png"), &failure);
  EXPECT_EQ(failure, ClipImageFailure::Missing);
  EXPECT_EQ(gone.message(), "Clip member: " + dir.File("gone.png") + " does not exist");
}

}  // namespace
}  // namespace quenda
