#include "common/file_io.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "common/last_preview.h"
#include "common/raster.h"
#include "testing/test_support.h"
#include "testing/write_limit.h"

namespace quenda {
namespace {

std::vector<uint8_t> Counting(std::size_t n) {
  std::vector<uint8_t> bytes(n);
  for (std::size_t i = 0; i < n; ++i) bytes[i] = uint8_t(i * 7);
  return bytes;
}

TEST(ReadFileBytes, ReadsTheAskedWindowOfTheFileAndNoMore) {
  testing::TempDir dir;
  const std::string path = dir.File("data.bin");
  // Larger than one read chunk, so the sized read and the tail are both exercised.
  const std::vector<uint8_t> all = Counting((1 << 20) + 4099);
  testing::WriteBytes(path, all);

  EXPECT_EQ(ReadFileBytes(path), all);
  auto window = ReadFileBytes(path, 18, 1000);
  ASSERT_TRUE(window);
  EXPECT_EQ(*window, std::vector<uint8_t>(all.begin() + 18, all.begin() + 1018));
  auto tail = ReadFileBytes(path, all.size() - 5, 100);
  ASSERT_TRUE(tail);
  EXPECT_EQ(*tail, std::vector<uint8_t>(all.end() - 5, all.end()));
  auto beyond = ReadFileBytes(path, all.size() + 10, 100);
  ASSERT_TRUE(beyond);
  EXPECT_TRUE(beyond->empty());
}

// Buffers past a few megabytes are advised for large pages before they are filled; what they
// hold must not depend on it.
TEST(LargeBuffers, HoldExactlyWhatTheyAreFilledWith) {
  testing::TempDir dir;
  const std::string path = dir.File("large.bin");
  const std::vector<uint8_t> all = Counting((9 << 20) + 4097);
  testing::WriteBytes(path, all);
  EXPECT_EQ(ReadFileBytes(path), all);
  auto window = ReadFileBytes(path, 4095, (5 << 20) + 3);
  ASSERT_TRUE(window);
  EXPECT_EQ(*window, std::vector<uint8_t>(all.begin() + 4095, all.begin() + 4095 + (5 << 20) + 3));

  struct Case {
    int width, height, channels;
    std::ptrdiff_t stride;
  };
  for (Case c : {Case{2480, 3508, 1, 2480}, Case{1001, 1703, 3, 3008}}) {
    Raster raster(c.width, c.height, c.channels, c.stride, 77);
    ASSERT_EQ(raster.bytes().size(), std::size_t(c.stride) * std::size_t(c.height));
    EXPECT_EQ(std::count(raster.bytes().begin(), raster.bytes().end(), 77),
              std::ptrdiff_t(raster.bytes().size()));
  }
}

TEST(LastPreview, ShowAndSaveNeverOverwrite) {
  testing::TempDir dir;
  std::string preview = dir.File("preview.avi");
  const std::string failed =
      "Could not save preview, disk full or a file already exists with the same name!";
  EXPECT_EQ(CheckLastPreview(preview).message(),
            "There is no last preview!\n(" + preview + " does not exist)");
  EXPECT_EQ(SaveLastPreview(preview, dir.File("copy.avi")).message(), failed);
  std::vector<uint8_t> movie(3 << 20);
  for (std::size_t i = 0; i < movie.size(); ++i) movie[i] = uint8_t(i * 7 + i / 4096);
  testing::WriteBytes(preview, movie);
  EXPECT_TRUE(CheckLastPreview(preview).ok());
  ASSERT_TRUE(SaveLastPreview(preview, dir.File("copy.avi")).ok());
  EXPECT_EQ(testing::ReadBytes(dir.File("copy.avi")), movie);
  testing::WriteText(dir.File("taken.avi"), "mine");
  EXPECT_EQ(SaveLastPreview(preview, dir.File("taken.avi")).message(), failed);
  EXPECT_EQ(testing::ReadText(dir.File("taken.avi")), "mine");
  EXPECT_EQ(testing::ReadBytes(preview), movie);
  {
    testing::WriteLimit full(1000);
    EXPECT_EQ(SaveLastPreview(preview, dir.File("full.avi")).message(), failed);
  }
  EXPECT_EQ(testing::ListDirectory(dir.path()),
            (std::vector<std::string>{"copy.avi", "preview.avi", "taken.avi"}));
}

}  // namespace
}  // namespace quenda
