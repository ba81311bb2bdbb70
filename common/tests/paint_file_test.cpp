#include "common/paint_file.h"

#include <gtest/gtest.h>

#include "common/atomic_file.h"
#include "testing/test_support.h"

namespace quenda {
namespace {

using namespace testing;

TEST(PaintFile, ThreeRegionFrameWritesTenBytes) {
  std::vector<int32_t> colors{0, 0, 7, 1, 300};  // regions 1..4
  std::vector<uint8_t> expected{0, 0, 0, 0, 7, 0, 1, 0, 0x2C, 0x01};
  EXPECT_EQ(EncodePaintFile(colors), expected);
  TempDir dir;
  ASSERT_TRUE(WritePaintFile(dir.File("walk3.pnt"), colors).ok());
  EXPECT_EQ(ReadBytes(dir.File("walk3.pnt")), expected);
  // A frame nobody painted: the background transparent, every other region unfilled.
  EXPECT_EQ(DefaultPaint(0), (std::vector<int32_t>{0, 0}));
  EXPECT_EQ(DefaultPaint(3), (std::vector<int32_t>{0, 0, 1, 1, 1}));
}

TEST(PaintFile, RoundTripOfManyRegions) {
  TempDir dir;
  std::string path = dir.File("walk1.pnt");
  std::vector<int32_t> colors = DefaultPaint(1550);
  for (std::size_t r = 2; r < colors.size(); ++r) colors[r] = int32_t((r * 37) % 200);
  ASSERT_TRUE(WritePaintFile(path, colors, 812).ok());
  Result<PaintFile> back = ReadPaintFile(path, 1550, 200);
  ASSERT_TRUE(back.ok()) << back.message();
  EXPECT_EQ(back->regionColor, colors);
  EXPECT_EQ(back->paintedCount, 812);
}

TEST(PaintFile, ShortAndLongFilesFromAnotherRegionCount) {
  // Written for 2 regions, read for 4: the missing regions are transparent.
  std::vector<uint8_t> bytes = EncodePaintFile(std::vector<int32_t>{0, 6, 7});
  EXPECT_EQ(DecodePaintFile(bytes, 3, 10).regionColor, (std::vector<int32_t>{0, 6, 7, 0, 0}));
  // Half an entry is no entry.
  bytes.push_back(9);
  EXPECT_EQ(DecodePaintFile(bytes, 3, 10).regionColor, (std::vector<int32_t>{0, 6, 7, 0, 0}));
  // Read for 1 region: the rest is ignored.
  EXPECT_EQ(DecodePaintFile(bytes, 0, 10).regionColor, (std::vector<int32_t>{0, 6}));
  // Nothing at all, or only the count.
  EXPECT_EQ(DecodePaintFile({}, 1, 10).regionColor, (std::vector<int32_t>{0, 0, 0}));
  EXPECT_EQ(DecodePaintFile(std::vector<uint8_t>{5}, 1, 10).paintedCount, 0);
  // Indices beyond a colour set that shrank from 12 to 5 read as unfilled.
  std::vector<int32_t> painted{0, 0, 4, 5, 11, 12, 3};
  EXPECT_EQ(DecodePaintFile(EncodePaintFile(painted), 5, 5).regionColor,
            (std::vector<int32_t>{0, 0, 4, 1, 1, 1, 3}));

  TempDir dir;
  std::string path = dir.File("long.pnt");
  WriteBytes(path, {0, 0, 3, 0, 4, 0, 5, 0, 6, 0});
  Result<PaintFile> paint = ReadPaintFile(path, 1, 10);
  ASSERT_TRUE(paint.ok());
  EXPECT_EQ(paint->regionColor, (std::vector<int32_t>{0, 3, 4}));
}

TEST(PaintFile, FailuresAndTheirMessages) {
  TempDir dir;
  std::string missing = dir.File("walk9.pnt");
  EXPECT_EQ(ReadPaintFile(missing, 3, 10).message(),
            "Fatal: Error opening paint file for reading: " + missing);

  std::string path = dir.File("walk4.pnt");
  std::vector<uint8_t> old{0, 0, 9, 0};
  WriteBytes(path, old);
  std::vector<int32_t> colors = DefaultPaint(40);
  testing::MakeReadOnly(path);
  EXPECT_EQ(WritePaintFile(path, colors).message(),
            "Fatal: Error opening paint file writing: maybe readonly?");
  EXPECT_EQ(ReadBytes(path), old);
  testing::MakeWritable(path);
  SetWriteLimitForTesting(10);
  Status full = WritePaintFile(path, colors);
  SetWriteLimitForTesting(-1);
  EXPECT_EQ(full.message(), "Fatal: Error opening paint file writing: maybe readonly?");
  EXPECT_EQ(ReadBytes(path), old);
  EXPECT_EQ(testing::ListDirectory(dir.path()), std::vector<std::string>{"walk4.pnt"});
}

}  // namespace
}  // namespace quenda
