#include "common/file_io.h"

#include <gtest/gtest.h>

#include "testing/test_support.h"

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

TEST(ReadFileBytes, EmptyMissingAndDirectory) {
  testing::TempDir dir;
  testing::WriteBytes(dir.File("empty.bin"), {});
  auto empty = ReadFileBytes(dir.File("empty.bin"));
  ASSERT_TRUE(empty);
  EXPECT_TRUE(empty->empty());
  EXPECT_FALSE(ReadFileBytes(dir.File("missing.bin")));
  EXPECT_FALSE(ReadFileBytes(dir.path()));
}

}  // namespace
}  // namespace quenda
