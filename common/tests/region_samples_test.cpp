#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "common/region_file.h"

namespace quenda {
namespace {

// Cells of region numbers across a blank band (runs past 254 pixels), flags and line colours
// changing pixel by pixel.
RegionData MakeRegions(int width, int height) {
  std::mt19937 random(11);
  RegionData data = MakeBlankRegionData(width, height, RedlineSettings{91, 160, 230, 40});
  int highest = 1;
  for (int y = 9; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      const std::size_t i = std::size_t(y) * width + x;
      const int cell = 2 + (y / 3) * ((width + 4) / 5) + x / 5;
      data.regionMap[i] = uint16_t(cell);
      highest = std::max(highest, cell);
      data.flags[i] = uint8_t(random() % 3 == 0 ? 1 + random() % 0x30 : 0);
      if (random() % 5 == 0) data.animColor[i] = uint16_t(3 + random() % 20);
    }
  data.regionCount = highest;
  data.regionBounds.resize(std::size_t(data.regionCount) + 2);
  ComputeRegionBounds(data);
  return data;
}

TEST(RegionSamples, EachPointReadsAsTheWholeMapHoldsItAndCutFilesFailAlike) {
  const RegionData data = MakeRegions(47, 33);
  const std::vector<uint8_t> whole = EncodeRegionFile(data);
  std::vector<std::size_t> every(data.PixelCount());
  for (std::size_t p = 0; p < every.size(); ++p) every[p] = p;
  const std::vector<std::vector<std::size_t>> pointSets{
      {}, {0}, {every.size() - 1}, {5, 5, 6, 300, 301, 1200}, every};
  for (const auto& points : pointSets) {
    Result<RegionSamples> samples =
        DecodeRegionSamples(whole, 47, 33, points, RegionReader::Painter);
    ASSERT_TRUE(samples.ok()) << samples.message();
    EXPECT_EQ(samples->regionCount, data.regionCount);
    for (std::size_t k = 0; k < points.size(); ++k) {
      ASSERT_EQ(samples->flags[k], data.flags[points[k]]) << points[k];
      ASSERT_EQ(samples->regionMap[k], data.regionMap[points[k]]) << points[k];
    }
  }
  // Every cut, a wrong size and another version, for each reader's wording.
  std::vector<std::pair<std::vector<uint8_t>, std::pair<int, int>>> bad;
  for (std::size_t size = 0; size < whole.size(); size += 7)
    bad.push_back(
        {std::vector<uint8_t>(whole.begin(), whole.begin() + std::ptrdiff_t(size)), {47, 33}});
  bad.push_back({std::vector<uint8_t>(whole.begin(), whole.end() - 1), {47, 33}});
  bad.push_back({whole, {47, 34}});
  std::vector<uint8_t> version = whole;
  version[0] = 103;
  bad.push_back({version, {47, 33}});
  for (RegionReader who : {RegionReader::Analyzer, RegionReader::Painter, RegionReader::Sheet}) {
    for (const auto& [bytes, size] : bad) {
      const auto [width, height] = size;
      Result<RegionData> full = DecodeRegionFile(bytes, width, height, who, "x.rgn");
      ASSERT_FALSE(full.ok()) << bytes.size();
      EXPECT_EQ(DecodeRegionSamples(bytes, width, height, every, who, "x.rgn").message(),
                full.message())
          << bytes.size();
    }
  }
}

}  // namespace
}  // namespace quenda
