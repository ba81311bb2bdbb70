#include "common/last_preview.h"

#include <gtest/gtest.h>

#include "testing/test_support.h"
#include "testing/write_limit.h"

namespace quenda {
namespace {

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
