// Another frame's region file walked from its runs: every pixel once, in order, with the flags
// and region number the whole decoder gives it, and refused where that decoder refuses.

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "common/byte_order.h"
#include "common/region_file.h"
#include "common/tests/region_file_oracle.h"
#include "testing/test_support.h"

namespace quenda {
namespace {

using namespace testing;

// Planes of awkward runs, as a writer would store them.
std::vector<uint8_t> NoisyFile(int width, int height, unsigned seed) {
  std::mt19937 random(seed);
  RegionData data = MakeBlankRegionData(width, height);
  const std::size_t n = data.PixelCount();
  data.flags = RunsOfRandomLength<uint8_t>(n, random);
  data.regionMap = RunsOfRandomLength<uint16_t>(n, random);
  for (uint16_t& number : data.regionMap) number = uint16_t(1 + number % 40);
  data.regionCount = 39;
  data.regionBounds.resize(41);
  ComputeRegionBounds(data);
  return EncodeRegionFile(data);
}

// A 5 x 1 file from another writer: runs of 0, a number beyond the table, a last run that
// passes the end of its map.
std::vector<uint8_t> OddFile() {
  std::vector<uint8_t> bytes{104, 5, 0, 1, 0, 90, 170, 200, 40, 1, 0};
  for (int box = 0; box < 2; ++box)
    for (uint16_t field : {0, 0, 0, 4}) AppendU16LE(bytes, field);
  for (uint8_t b : {1, 0, 1, 2, 4, 1, 0x21, 9}) bytes.push_back(b);             // flags
  for (uint8_t b : {2, 0, 3, 9, 0, 0, 1, 0, 1, 7, 0, 200}) bytes.push_back(b);  // numbers
  for (uint8_t b : {249, 0, 255}) bytes.push_back(b);                           // colours
  return bytes;
}

struct Walked {
  std::vector<uint8_t> flags;
  std::vector<uint16_t> regionMap;
  bool inOrder = true;
};

Walked Walk(const RegionFileStretches& file) {
  Walked got;
  file.Walk([&](std::size_t start, std::size_t count, uint8_t flags, uint16_t region) {
    got.inOrder &= start == got.flags.size() && count > 0;
    got.flags.insert(got.flags.end(), count, flags);
    got.regionMap.insert(got.regionMap.end(), count, region);
  });
  return got;
}

TEST(RegionFileStretches, EveryPixelWalksAsTheWholeDecoderReadsIt) {
  const struct {
    const char* name;
    int width, height;
    std::vector<uint8_t> bytes;
  } files[] = {
      {"empty", 0, 0, EncodeRegionFile(MakeBlankRegionData(0, 0))},
      {"one pixel", 1, 1, EncodeRegionFile(MakeBlankRegionData(1, 1))},
      {"noisy 47 x 33", 47, 33, NoisyFile(47, 33, 3)},
      {"noisy 300 x 91", 300, 91, NoisyFile(300, 91, 4)},
      {"another writer's runs", 5, 1, OddFile()},
  };
  for (const auto& file : files) {
    SCOPED_TRACE(file.name);
    Result<RegionData> whole =
        DecodeRegionFile(file.bytes, file.width, file.height, RegionReader::Analyzer);
    ASSERT_TRUE(whole.ok()) << whole.message();
    Result<RegionFileStretches> walked =
        RegionFileStretches::Decode(file.bytes, file.width, file.height, RegionReader::Analyzer);
    ASSERT_TRUE(walked.ok()) << walked.message();
    EXPECT_EQ(walked->regionCount(), whole->regionCount);
    EXPECT_EQ(walked->PixelCount(), whole->PixelCount());
    const Walked got = Walk(*walked);
    EXPECT_TRUE(got.inOrder);
    EXPECT_EQ(got.flags, whole->flags);
    EXPECT_EQ(got.regionMap, whole->regionMap);
  }
  Result<RegionData> odd = DecodeRegionFile(OddFile(), 5, 1, RegionReader::Analyzer);
  ASSERT_TRUE(odd.ok());
  EXPECT_EQ(odd->regionMap, (std::vector<uint16_t>{2, 2, 2, 1, 2}));
  EXPECT_EQ(odd->flags, (std::vector<uint8_t>{1, 1, 4, 0x21, 0x21}));
}

TEST(RegionFileStretches, RefusedWhereTheWholeDecoderRefusesWithItsMessage) {
  const std::vector<uint8_t> whole = NoisyFile(47, 33, 5);
  std::vector<std::pair<std::vector<uint8_t>, int>> bad;
  for (std::size_t size = 0; size < whole.size(); size += 5)
    bad.push_back({std::vector<uint8_t>(whole.begin(), whole.begin() + std::ptrdiff_t(size)), 33});
  bad.push_back({std::vector<uint8_t>(whole.begin(), whole.end() - 1), 33});
  bad.push_back({whole, 34});
  std::vector<uint8_t> version = whole;
  version[0] = 105;
  bad.push_back({version, 33});
  for (RegionReader who : {RegionReader::Analyzer, RegionReader::Painter, RegionReader::Sheet})
    for (const auto& [bytes, height] : bad) {
      Result<RegionData> full = DecodeRegionFile(bytes, 47, height, who, "x.rgn");
      ASSERT_FALSE(full.ok()) << bytes.size();
      EXPECT_EQ(RegionFileStretches::Decode(bytes, 47, height, who, "x.rgn").message(),
                full.message())
          << bytes.size();
    }
  TempDir dir;
  const std::string missing = dir.File("walk9.rgn");
  EXPECT_EQ(RegionFileStretches::Read(missing, 47, 33, RegionReader::Painter).message(),
            ReadRegionFile(missing, 47, 33, RegionReader::Painter).message());
  WriteBytes(dir.File("walk1.rgn"), whole);
  Result<RegionFileStretches> read =
      RegionFileStretches::Read(dir.File("walk1.rgn"), 47, 33, RegionReader::Painter);
  ASSERT_TRUE(read.ok()) << read.message();
  EXPECT_EQ(Walk(*read).regionMap,
            DecodeRegionFile(whole, 47, 33, RegionReader::Painter)->regionMap);
}

}  // namespace
}  // namespace quenda
