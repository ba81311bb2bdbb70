// Decoded clip frames kept between movie frames: used again only for the same unchanged file,
// bounded in memory, and never for failures.

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <tuple>

#include "composer/core/clip_image_cache.h"
#include "composer/tests/composer_test_files.h"
#include "testing/test_support.h"

namespace quenda {
namespace {

using std::chrono::nanoseconds;

// Writes a new file over `path` by renaming, as the suite's own writers do.
void ReplaceFile(const testing::TempDir& dir, const std::string& path, int width, int height,
                 int seed) {
  const std::string fresh = dir.File("fresh.tga");
  testing::WriteClipImage(fresh, width, height, 32, seed);
  std::filesystem::rename(fresh, path);
}

TEST(ClipImageCache, KeepsAPictureUntilItsFileChanges) {
  testing::TempDir dir;
  const std::string path = dir.File("cel.tga");
  testing::WriteClipImage(path, 47, 33, 32, 1);
  ClipImageCache cache(kClipImageCacheBytes, nanoseconds(0));
  ClipImageRead first = cache.Read(path);
  ASSERT_EQ(first.failure, ClipImageFailure::None);
  ASSERT_EQ(first.image->width(), 47);
  EXPECT_EQ(cache.Read(path).image, first.image);  // the same decoded picture, not read again
  EXPECT_EQ(cache.Count(), 1u);

  // Same size, other pixels, a new file under the old name.
  ReplaceFile(dir, path, 47, 33, 2);
  ClipImageRead second = cache.Read(path);
  ASSERT_NE(second.image, first.image);
  EXPECT_EQ(second.image->bytes(), ReadClipImage(path)->bytes());
  EXPECT_NE(second.image->bytes(), first.image->bytes());

  // Rewritten in place at another size.
  testing::WriteClipImage(path, 21, 5, 24, 3);
  ClipImageRead third = cache.Read(path);
  EXPECT_EQ(std::tuple(third.image->width(), HasAlpha(*third.image), cache.Count()),
            std::tuple(21, false, 1u));
}

TEST(ClipImageCache, FailuresAreNeverKeptAndDropWhatWasHeld) {
  testing::TempDir dir;
  const std::string path = dir.File("walk1.tga");
  testing::WriteClipImage(path, 8, 6, 24, 1);
  ClipImageCache cache(kClipImageCacheBytes, nanoseconds(0));
  ASSERT_TRUE(cache.Read(path).image);
  std::remove(path.c_str());
  ClipImageRead missing = cache.Read(path);
  EXPECT_EQ(std::tuple(missing.failure, missing.message, missing.image == nullptr, cache.Count(),
                       cache.BytesHeld()),
            std::tuple(ClipImageFailure::Missing, "Clip member: " + path + " does not exist", true,
                       0u, 0u));

  testing::WriteText(path, "broken but long enough to have a header");
  ClipImageRead broken = cache.Read(path);
  EXPECT_EQ(std::tuple(broken.failure, broken.message, cache.Count()),
            std::tuple(ClipImageFailure::Unreadable, ReadClipImage(path).message(), 0u));
  testing::WriteClipImage(path, 8, 6, 24, 4);  // mended: read again, not the failure
  EXPECT_EQ(cache.Read(path).failure, ClipImageFailure::None);
}

TEST(ClipImageCache, StaysWithinItsCapacityDroppingTheLeastRecentlyUsed) {
  testing::TempDir dir;
  const char* names[] = {"c0.tga", "c1.tga", "c2.tga", "c3.tga"};
  for (int i = 0; i < 4; ++i) testing::WriteClipImage(dir.File(names[i]), 40, 30, 32, i);
  const std::size_t one = 40 * 30 * 4;
  ClipImageCache cache(3 * one, nanoseconds(0));  // room for two with their bookkeeping
  auto a = cache.Read(dir.File("c0.tga")).image;
  auto b = cache.Read(dir.File("c1.tga")).image;
  EXPECT_EQ(cache.Read(dir.File("c0.tga")).image, a);  // c0 is now the most recently used
  auto c = cache.Read(dir.File("c2.tga")).image;       // c1 makes room
  EXPECT_EQ(cache.Count(), 2u);
  EXPECT_LE(cache.BytesHeld(), 3 * one);
  EXPECT_EQ(cache.Read(dir.File("c0.tga")).image, a);
  EXPECT_EQ(cache.Read(dir.File("c2.tga")).image, c);
  EXPECT_NE(cache.Read(dir.File("c1.tga")).image, b);
  // A picture larger than the whole cache is handed out but not kept.
  ClipImageCache small(one / 2, nanoseconds(0));
  ASSERT_TRUE(small.Read(dir.File("c3.tga")).image);
  EXPECT_EQ(small.Count(), 0u);
  cache.Clear();
  EXPECT_EQ(std::tuple(cache.Count(), cache.BytesHeld()), std::tuple(0u, 0u));
}

TEST(ClipImageCache, AFileChangedJustNowIsNotTrusted) {
  // Rewritten in place at the same size with its old modification time put back: only the
  // settling rule keeps the first picture from being shown again.
  testing::TempDir dir;
  const std::string path = dir.File("paint.tga");
  testing::WriteClipImage(path, 12, 7, 32, 1);
  const auto stamp = std::filesystem::last_write_time(path);
  ClipImageCache cache;
  ClipImageRead first = cache.Read(path);
  EXPECT_EQ(cache.Count(), 0u);
  testing::WriteClipImage(path, 12, 7, 32, 2);
  std::filesystem::last_write_time(path, stamp);
  ClipImageRead second = cache.Read(path);
  EXPECT_NE(second.image->bytes(), first.image->bytes());
  EXPECT_EQ(second.image->bytes(), ReadClipImage(path)->bytes());
}

}  // namespace
}  // namespace quenda
