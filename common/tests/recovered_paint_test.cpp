// A recovery copy's paint goes back only onto the regions it was made for.
#include "common/recovered_paint.h"

#include <gtest/gtest.h>

#include "common/paint_file.h"

namespace quenda {
namespace {

TEST(RecoveredPaint, GoesBackOnlyOntoTheRegionsItWasMadeFor) {
  // A 4 x 3 drawing whose pixels lie in regions 2 .. 5.
  RegionData regions = MakeBlankRegionData(4, 3);
  for (std::size_t i = 0; i < regions.regionMap.size(); ++i)
    regions.regionMap[i] = uint16_t(2 + i % 4);
  regions.regionCount = 5;
  regions.regionBounds.resize(7);
  ComputeRegionBounds(regions);
  const std::vector<uint8_t> regionBytes = EncodeRegionFile(regions);
  std::vector<int32_t> painted = DefaultPaint(5);
  painted[3] = 7;
  const std::vector<uint8_t> paintBytes = EncodePaintFile(painted);
  const std::vector<int32_t> expected = DecodePaintFile(paintBytes, 5, 40).regionColor;

  struct Case {
    const char* name;
    std::vector<uint8_t> region;
    int regionCountNow;
    bool fits;
  };
  const Case cases[] = {
      {"on the drawing's regions as they are", {}, 5, true},
      {"the drawing analyzed again since into three regions", {}, 3, false},
      {"the drawing analyzed again since into seven regions", {}, 7, false},
      {"with the regions kept beside it, whatever the drawing has now", regionBytes, 3, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Result<RecoveredPaint> kept = DecodeRecoveredPaint(paintBytes, c.region, 4, 3,
                                                       RegionReader::Painter, c.regionCountNow, 40);
    ASSERT_TRUE(kept.ok()) << kept.message();
    EXPECT_EQ(kept->fits, c.fits);
    EXPECT_EQ(kept->regions.has_value(), !c.region.empty());
    if (c.fits) {
      EXPECT_EQ(kept->regionColor, expected);
    }
    if (kept->regions) {
      EXPECT_EQ(kept->regions->regionMap, regions.regionMap);
    }
  }

  // Kept regions that do not read refuse the copy with the region reader's own message.
  const std::vector<uint8_t> cut(regionBytes.begin(), regionBytes.begin() + 10);
  Result<RecoveredPaint> broken =
      DecodeRecoveredPaint(paintBytes, cut, 4, 3, RegionReader::Painter, 5, 40);
  ASSERT_FALSE(broken.ok());
  const Result<RegionData> direct = DecodeRegionFile(cut, 4, 3, RegionReader::Painter);
  ASSERT_FALSE(direct.ok());
  EXPECT_EQ(broken.message(), direct.message());
  EXPECT_EQ(broken.status().kind(), direct.status().kind());
}

}  // namespace
}  // namespace quenda
