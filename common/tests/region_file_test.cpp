#include "common/region_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <tuple>

#include "common/atomic_file.h"
#include "common/byte_order.h"
#include "common/paint_file.h"
#include "common/tests/region_file_oracle.h"
#include "testing/test_support.h"
#include "testing/write_limit.h"

namespace quenda {
namespace {

using namespace testing;

constexpr RedlineSettings kOddSettings{91, 160, 230, 40};

// A drawing cut into small cells, each its own region, with lines, ink and painted lines, a
// long blank band (runs longer than 254) and one region number that no pixel holds.
RegionData MakeRegions(int width, int height) {
  std::mt19937 random(7);
  RegionData data = MakeBlankRegionData(width, height, kOddSettings);
  int columns = (width + 2) / 3;
  int highest = 1;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      std::size_t i = std::size_t(y) * width + x;
      if (y < 8) continue;  // the band stays region 1, no flags
      int cell = 2 + (y / 2) * columns + x / 3;
      data.regionMap[i] = uint16_t(cell);
      highest = std::max(highest, cell);
      data.flags[i] = uint8_t(std::array{0, 1, 4, 5, 0x24, 0x11}[random() % 6]);
      if (random() % 4 == 0) data.animColor[i] = uint16_t(3 + random() % 20);
    }
  data.regionCount = highest;  // number highest + 1 holds no pixel
  data.regionBounds.resize(std::size_t(data.regionCount) + 2);
  ComputeRegionBounds(data);
  return data;
}

TEST(RegionFile, BlankOnePixelDrawingIs27Bytes) {
  RegionData data = MakeBlankRegionData(1, 1, kOddSettings);
  data.flags[0] = 0x05;
  std::vector<uint8_t> expected{104, 1, 0, 1, 0, 91,  160, 230, 40, 0, 0,  // header
                                0,   0, 0, 0, 0, 0,   0,   0,              // box of region 1
                                5,   1, 1, 0, 1, 249, 0,   1};             // the three streams
  EXPECT_EQ(EncodeRegionFile(data), expected);
}

TEST(RegionFile, RoundTripAtOddSizeKeepsEverything) {
  TempDir dir;
  RegionData data = MakeRegions(47, 33);
  ASSERT_GT(data.regionCount, 200);
  ASSERT_TRUE(data.regionBounds.back().IsEmpty());
  std::string path = dir.File("walk1.rgn");
  for (RegionWriter writer : {RegionWriter::Analyzer, RegionWriter::Painter}) {
    ASSERT_TRUE(WriteRegionFile(path, data, writer).ok());
    for (RegionReader reader :
         {RegionReader::Analyzer, RegionReader::Painter, RegionReader::Sheet}) {
      Result<RegionData> back = ReadRegionFile(path, 47, 33, reader);
      ASSERT_TRUE(back.ok()) << back.message();
      EXPECT_EQ(*back, data);
    }
  }
  Result<RegionMapFile> map = ReadRegionMap(path, 47, 33, RegionReader::Analyzer);
  ASSERT_TRUE(map.ok()) << map.message();
  EXPECT_EQ(map->regionCount, data.regionCount);
  EXPECT_EQ(map->regionMap, data.regionMap);
}

TEST(RegionFile, ReaderMessagesOfEachProgram) {
  TempDir dir;
  std::string good = dir.File("good.rgn");
  std::string bad = dir.File("bad.rgn");
  std::string empty = dir.File("empty.rgn");
  std::string missing = dir.File("missing.rgn");
  ASSERT_TRUE(WriteRegionFile(good, MakeRegions(5, 3), RegionWriter::Analyzer).ok());
  std::vector<uint8_t> wrongVersion = ReadBytes(good);
  wrongVersion[0] = 103;
  WriteBytes(bad, wrongVersion);
  WriteBytes(empty, {});

  struct Case {
    RegionReader who;
    std::string open, version, resolution, empty;
  };
  const Case cases[] = {
      {RegionReader::Analyzer, "Error opening file for reading", "Incorrect region file version",
       "The regions file resolution does not match", "Incorrect region file version"},
      {RegionReader::Painter, "Error opening region file :" + missing,
       "Incorrect region file version :" + bad,
       "The regions file resolution does not match :" + good,
       "Incorrect region file version :" + empty},
      {RegionReader::Sheet, "Error opening file " + missing,
       "Incorrect region file version :" + bad,
       "The regions file resolution does not match :" + good,
       "Incorrect region file version :" + empty},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ReadRegionFile(missing, 5, 3, c.who).message(), c.open);
    EXPECT_EQ(ReadRegionFile(bad, 5, 3, c.who).message(), c.version);
    // The version is refused before the size is looked at.
    EXPECT_EQ(ReadRegionFile(bad, 3, 5, c.who).message(), c.version);
    // A file for a 5 x 3 drawing does not fit the same frame scanned 3 x 5.
    EXPECT_EQ(ReadRegionFile(good, 3, 5, c.who).message(), c.resolution);
    // An empty file has no version 104.
    EXPECT_EQ(ReadRegionFile(empty, 5, 3, c.who).message(), c.empty);
    EXPECT_EQ(ReadRegionMap(missing, 5, 3, c.who).message(), c.open);
    EXPECT_EQ(ReadRegionMap(bad, 5, 3, c.who).message(), c.version);
    EXPECT_EQ(ReadRegionMap(good, 5, 4, c.who).message(), c.resolution);
  }
}

TEST(RegionFile, EveryTruncationIsRefused) {
  std::vector<uint8_t> whole = EncodeRegionFile(MakeRegions(47, 33));
  const std::string analyzer = "Error reading region file: unexpected end of file";
  for (std::size_t size = 1; size < whole.size(); ++size) {
    std::span<const uint8_t> part(whole.data(), size);
    ASSERT_EQ(DecodeRegionFile(part, 47, 33, RegionReader::Analyzer).message(), analyzer) << size;
  }
  std::span<const uint8_t> part(whole.data(), whole.size() - 1);
  EXPECT_EQ(DecodeRegionFile(part, 47, 33, RegionReader::Painter, "x.rgn").message(),
            "Error reading region file: unexpected end of file :x.rgn");
  EXPECT_EQ(DecodeRegionFile(part, 47, 33, RegionReader::Sheet, "x.rgn").message(),
            "Error reading file x.rgn : unexpected end of file");
  // The map reader needs the flag and region streams only, not the line colours after them.
  RegionData data = MakeRegions(47, 33);
  std::span<const uint8_t> noColours(whole.data(), whole.size() - 3);
  Result<RegionMapFile> map = DecodeRegionMap(noColours, 47, 33, RegionReader::Analyzer);
  ASSERT_TRUE(map.ok()) << map.message();
  EXPECT_EQ(map->regionMap, data.regionMap);
  std::size_t boxesEnd = kRegionFileHeaderSize + kRegionBoxRecordSize * (data.regionCount + 1);
  EXPECT_EQ(
      DecodeRegionMap({whole.data(), boxesEnd + 40}, 47, 33, RegionReader::Analyzer).message(),
      analyzer);
  // 65535 x 65535 pixels and 65535 regions promised by 40 bytes allocate nothing.
  std::vector<uint8_t> bytes{104, 0xFF, 0xFF, 0xFF, 0xFF, 1, 2, 3, 4, 0xFF, 0xFF};
  bytes.resize(40, 0);
  EXPECT_EQ(DecodeRegionFile(bytes, 65535, 65535, RegionReader::Analyzer).message(),
            "Error reading region file: unexpected end of file");
  EXPECT_FALSE(DecodeRegionMap(bytes, 65535, 65535, RegionReader::Analyzer).ok());
}

TEST(RegionFile, OddRunsFromOtherWriters) {
  // A 2 x 1 drawing with region count 0 and hand-made streams. A run past the end of its map is
  // cut there; the next stream starts after its bytes. A count of 0 adds nothing.
  const std::vector<uint8_t> bytes{104, 2, 0, 1, 0, 1, 2, 3, 4, 0, 0, 0, 0, 0,  0, 0,
                                   0,   1, 0, 7, 0, 5, 3, 1, 0, 0, 1, 0, 2, 12, 0, 9};
  auto data = DecodeRegionFile(bytes, 2, 1, RegionReader::Analyzer);
  ASSERT_TRUE(data.ok()) << data.message();
  EXPECT_EQ(data->flags, (std::vector<uint8_t>{5, 5}));
  EXPECT_EQ(data->regionMap, (std::vector<uint16_t>{1, 1}));
  EXPECT_EQ(data->animColor, (std::vector<uint16_t>{12, 12}));
  EXPECT_EQ(data->settings, (RedlineSettings{1, 2, 3, 4}));
  EXPECT_EQ(data->regionBounds[1], (RegionBox{0, 0, 1, 0}));
}

TEST(RegionFile, OutOfRangeNumbersAreForcedIntoTheTables) {
  // Region 9 of a file with two regions, colour 300 of a 250-slot set, and boxes that are not
  // inside the 2 x 1 picture.
  std::vector<uint8_t> bytes{104, 2, 0, 1, 0, 1, 2, 3, 4,   1, 0, 0,  0, 0,
                             0,   0, 0, 2, 0,           // region 1: maxX 2 is outside
                             0,   0, 1, 0, 0, 0, 0, 0,  // region 2: minY 1 above maxY 0
                             0,   2, 1, 0, 1, 9, 0, 1, 249, 0, 1, 44, 1, 1};
  for (RegionReader who : {RegionReader::Analyzer, RegionReader::Painter, RegionReader::Sheet}) {
    auto data = DecodeRegionFile(bytes, 2, 1, who);
    ASSERT_TRUE(data.ok()) << data.message();
    EXPECT_EQ(data->regionMap, (std::vector<uint16_t>{1, 2}));
    EXPECT_EQ(data->animColor, (std::vector<uint16_t>{249, 249}));
    EXPECT_TRUE(data->regionBounds[1].IsEmpty());
    EXPECT_TRUE(data->regionBounds[2].IsEmpty());
    auto map = DecodeRegionMap(bytes, 2, 1, who);
    ASSERT_TRUE(map.ok());
    EXPECT_EQ(map->regionMap, (std::vector<uint16_t>{1, 2}));
  }
}

TEST(RegionFile, WriterRefusesWhatTheFileCannotHold) {
  TempDir dir;
  std::string path = dir.File("many.rgn");
  WriteBytes(path, {1, 2, 3});
  RegionData data = MakeBlankRegionData(300, 300);
  data.regionCount = kMaxRegions;  // 65536 regions: numbers would wrap
  data.regionBounds.assign(std::size_t(data.regionCount) + 2, EmptyRegionBox(300, 300));
  EXPECT_EQ(WriteRegionFile(path, data, RegionWriter::Analyzer).message(),
            "Too many regions to save: 65536 (at most 65535)");
  data.regionCount = kMaxRegions - 1;
  data.regionBounds.pop_back();
  EXPECT_TRUE(WriteRegionFile(path, data, RegionWriter::Painter).ok());

  WriteBytes(path, {1, 2, 3});
  data = MakeBlankRegionData(4, 4);
  data.animColor.pop_back();
  EXPECT_EQ(WriteRegionFile(path, data, RegionWriter::Analyzer).message(),
            "Internal Error: region data does not match the picture size");
  EXPECT_EQ(ReadBytes(path), (std::vector<uint8_t>{1, 2, 3}));
}

TEST(RegionFile, FailedWriteKeepsTheOldFile) {
  TempDir dir;
  std::string path = dir.File("walk2.rgn");
  WriteBytes(path, {104, 9, 9});
  RegionData data = MakeRegions(47, 33);
  auto fail = [&](RegionWriter writer) {
    return FailedWriteMessages(path, 100, [&] { return WriteRegionFile(path, data, writer); });
  };
  const std::string analyzer = "Error opening file for writing";
  EXPECT_EQ(fail(RegionWriter::Analyzer), std::pair(analyzer, analyzer));
  const std::string painter = "Error opening region file for writing: Readonly or no space?" + path;
  EXPECT_EQ(fail(RegionWriter::Painter), std::pair(painter, painter));
}

// The writer compares whole words to find where runs end; it must still write exactly the runs
// of the pixel-by-pixel rule, wherever a change falls within a word.

std::vector<uint8_t> Streams(const RegionData& data) {
  std::vector<uint8_t> bytes = EncodeRegionFile(data);
  std::size_t start = kRegionFileHeaderSize + kRegionBoxRecordSize * (data.regionCount + 1);
  return {bytes.begin() + std::ptrdiff_t(start), bytes.end()};
}

TEST(RegionFileRuns, WordWiseRunsEqualThePixelRuleAtEveryAlignment) {
  std::mt19937 random(11);
  for (int width : {1, 3, 7, 8, 9, 47, 254, 255, 301})
    for (int height : {1, 2, 33})
      for (int trial = 0; trial < 4; ++trial) {
        RegionData data = MakeBlankRegionData(width, height);
        const std::size_t n = data.PixelCount();
        data.flags = RunsOfRandomLength<uint8_t>(n, random);
        data.regionMap = RunsOfRandomLength<uint16_t>(n, random);
        data.animColor = RunsOfRandomLength<uint16_t>(n, random);
        EXPECT_EQ(Streams(data), StreamsPixelByPixel(data)) << width << " x " << height;
      }
}

// The paint file beside it: one colour index per region.
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
  EXPECT_EQ(std::pair(back->regionColor, back->paintedCount), std::pair(colors, 812));
}

// A file of any other length was written for other regions: its colours would land on the
// wrong ones, so it reads as stale, with the default paint, and its stored count kept.
TEST(PaintFile, FilesOfAnotherRegionCountReadStaleWithTheDefaultPaint) {
  const std::vector<uint8_t> two = EncodePaintFile(std::vector<int32_t>{0, 6, 7}, 9);
  struct Case {
    std::vector<uint8_t> bytes;
    int regionCount;
    bool stale;
    std::vector<int32_t> colors;
    int paintedCount;
  };
  std::vector<uint8_t> halfEntry = two;
  halfEntry.push_back(9);
  const Case cases[] = {
      {two, 1, false, {0, 6, 7}, 9},       // exactly its regions
      {two, 3, true, DefaultPaint(3), 9},  // too short for 4 regions
      {two, 0, true, DefaultPaint(0), 9},  // too long for 1 region
      {halfEntry, 1, true, DefaultPaint(1), 9},
      {{}, 1, true, DefaultPaint(1), 0},
      {{5}, 1, true, DefaultPaint(1), 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(c.bytes) + " for " + std::to_string(c.regionCount));
    const PaintFile paint = DecodePaintFile(c.bytes, c.regionCount, 10);
    EXPECT_EQ(std::tuple(paint.stale, paint.regionColor, paint.paintedCount),
              std::tuple(c.stale, c.colors, c.paintedCount));
  }
  EXPECT_EQ(PaintFileSize(3), 10u);
  // Indices beyond a colour set that shrank from 12 to 5 read as unfilled; a count of 0 keeps
  // every index.
  std::vector<int32_t> painted{0, 0, 4, 5, 11, 12, 3};
  EXPECT_EQ(DecodePaintFile(EncodePaintFile(painted), 5, 5).regionColor,
            (std::vector<int32_t>{0, 0, 4, 1, 1, 1, 3}));
  EXPECT_EQ(DecodePaintFile(EncodePaintFile(painted), 5, 0).regionColor, painted);

  // The reader sees a longer file too, though it reads no more than one byte past the regions.
  TempDir dir;
  std::string path = dir.File("long.pnt");
  WriteBytes(path, {0, 0, 3, 0, 4, 0, 5, 0, 6, 0});
  Result<PaintFile> paint = ReadPaintFile(path, 1, 10);
  ASSERT_TRUE(paint.ok());
  EXPECT_EQ(std::tuple(paint->stale, paint->regionColor),
            std::tuple(true, std::vector<int32_t>{0, 0, 1}));
  EXPECT_EQ(StalePaintWarning("/a/walk1.pnt", "/a/walk1.rgn"),
            "The paint file /a/walk1.pnt does not fit its region file /a/walk1.rgn (it was made "
            "for other regions): the frame shows unpainted, and the old paint is kept as "
            "/a/walk1.pnt.stale once new paint is saved.");
}

TEST(PaintFile, StaleFilesAreMovedAsideNeverOverAnOlderOne) {
  TempDir dir;
  const std::string path = dir.File("walk1.pnt");
  WriteBytes(path, {1, 0, 3, 0});
  Result<std::string> first = MoveStalePaintAside(path);
  ASSERT_TRUE(first.ok()) << first.message();
  WriteBytes(path, {2, 0, 4, 0});
  Result<std::string> second = MoveStalePaintAside(path);
  ASSERT_TRUE(second.ok()) << second.message();
  EXPECT_EQ(std::tuple(*first, *second), std::tuple(path + ".stale", path + ".stale2"));
  EXPECT_EQ(ReadBytes(path + ".stale"), (std::vector<uint8_t>{1, 0, 3, 0}));
  EXPECT_EQ(ReadBytes(path + ".stale2"), (std::vector<uint8_t>{2, 0, 4, 0}));
  EXPECT_FALSE(std::filesystem::exists(path));
  EXPECT_EQ(MoveStalePaintAside(path).message(),
            "The stale paint file " + path + " could not be moved aside.");
}

TEST(PaintFile, FailuresAndTheirMessages) {
  TempDir dir;
  std::string missing = dir.File("walk9.pnt");
  EXPECT_EQ(ReadPaintFile(missing, 3, 10).message(),
            "Fatal: Error opening paint file for reading: " + missing);

  std::string path = dir.File("walk4.pnt");
  WriteBytes(path, {0, 0, 9, 0});
  const std::string failed = "Fatal: Error opening paint file writing: maybe readonly?";
  EXPECT_EQ(FailedWriteMessages(path, 10, [&] { return WritePaintFile(path, DefaultPaint(40)); }),
            std::pair(failed, failed));
}

}  // namespace
}  // namespace quenda
