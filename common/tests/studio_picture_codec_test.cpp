// The picture codec module: where a program looks for it, and what it refuses to load.

#include "common/studio_picture_codec.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "testing/test_support.h"

namespace quenda {
namespace {

using testing::TempDir;

TEST(StudioPictureCodec, IsLookedForBesideTheProgramAndInTheFoldersAboveIt) {
  EXPECT_EQ(
      StudioPictureCodecPlaces("/opt/studio/bin/quenda"),
      (std::vector<std::string>{"/opt/studio/bin/lib/quenda/modules/libquenda_picture_codec.so",
                                "/opt/studio/lib/quenda/modules/libquenda_picture_codec.so",
                                "/opt/lib/quenda/modules/libquenda_picture_codec.so",
                                "/lib/quenda/modules/libquenda_picture_codec.so"}));
  // Near the root there are fewer folders above, and none is given twice.
  EXPECT_EQ(StudioPictureCodecPlaces("/usr/quenda"),
            (std::vector<std::string>{"/usr/lib/quenda/modules/libquenda_picture_codec.so",
                                      "/lib/quenda/modules/libquenda_picture_codec.so"}));
  EXPECT_TRUE(StudioPictureCodecPlaces("").empty());
}

TEST(StudioPictureCodec, AModuleThatIsNotThisBuildsCodecIsRefusedWithItsReason) {
  TempDir dir;
  const std::string missing = dir.File("libquenda_picture_codec.so");
  Result<const StudioPictureCodec*> loaded = LoadStudioPictureCodecFrom(missing);
  ASSERT_FALSE(loaded);
  EXPECT_EQ(loaded.message().rfind("the picture codec " + missing + " cannot be loaded: ", 0), 0u)
      << loaded.message();

  const std::string text = dir.File("text.so");
  testing::WriteText(text, "not a library\n");
  loaded = LoadStudioPictureCodecFrom(text);
  ASSERT_FALSE(loaded);
  EXPECT_EQ(loaded.message().rfind("the picture codec " + text + " cannot be loaded: ", 0), 0u)
      << loaded.message();

  loaded = LoadStudioPictureCodecFrom("libm.so.6");
  ASSERT_FALSE(loaded);
  EXPECT_EQ(loaded.message(),
            "the picture codec libm.so.6 cannot be used: it has no quenda_studio_picture_codec");

  loaded = LoadStudioPictureCodecFrom(QUENDA_WRONG_PICTURE_CODEC);
  ASSERT_FALSE(loaded);
  EXPECT_EQ(loaded.message(), "the picture codec " + std::string(QUENDA_WRONG_PICTURE_CODEC) +
                                  " is not the codec of this build of the suite");
}

TEST(StudioPictureCodec, TheCodecInUseIsFoundOnceAndWritesAPictureItReadsBack) {
  Result<const StudioPictureCodec*> first = StudioPictureCodecInUse();
  ASSERT_TRUE(first) << first.message();
  Result<const StudioPictureCodec*> second = StudioPictureCodecInUse();
  ASSERT_TRUE(second);
  EXPECT_EQ(*first, *second);
  EXPECT_EQ((*first)->version, kStudioPictureCodecVersion);
#ifdef QUENDA_PICTURE_CODEC_MODULE
  // The module the build made is the one found beside the test program.
  Result<const StudioPictureCodec*> byPath =
      LoadStudioPictureCodecFrom(QUENDA_PICTURE_CODEC_MODULE);
  ASSERT_TRUE(byPath) << byPath.message();
  EXPECT_EQ(*byPath, *first);
#endif

  Raster picture(3, 2, 3);
  for (std::size_t i = 0; i < picture.bytes().size(); ++i) picture.bytes()[i] = uint8_t(i * 40);
  Result<std::vector<uint8_t>> png = (*first)->encode(picture, StudioWriteOptions{});
  ASSERT_TRUE(png) << png.message();
  Result<StudioPicture> back = (*first)->decode(*png, "frame.png", "png");
  ASSERT_TRUE(back) << back.message();
  EXPECT_EQ(back->pixels, picture);
  EXPECT_EQ(back->formatName, "png");
  // The reason alone: the caller names the file.
  Result<StudioPicture> damaged =
      (*first)->decode(std::vector<uint8_t>(png->begin(), png->begin() + 20), "frame.png", "png");
  ASSERT_FALSE(damaged);
  EXPECT_EQ(damaged.message().find("Cannot read picture"), std::string::npos) << damaged.message();
}

}  // namespace
}  // namespace quenda
