// Paint carried across a new analysis of the same drawing: each new region takes the colour
// most of its pixels had, lines do not vote, and the new paint file is written with the new
// region file, or a paint file made for other regions set aside.
#include "common/paint_carry.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <tuple>

#include "common/color_set.h"
#include "common/paint_file.h"
#include "common/region_file.h"
#include "common/region_file_writer.h"
#include "common/tests/region_file_oracle.h"
#include "testing/test_support.h"
#include "testing/write_limit.h"

namespace quenda {
namespace {

using testing::ReadBytes;
using testing::TempDir;

// Rows top first: a digit is the pixel's region, '#' a region-line pixel of region 1.
RegionData Regions(const std::vector<std::string>& rows) {
  const int height = int(rows.size()), width = int(rows[0].size());
  RegionData data = MakeBlankRegionData(width, height);
  int highest = 1;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      const char c = rows[std::size_t(height - 1 - y)][std::size_t(x)];
      const std::size_t i = std::size_t(y) * std::size_t(width) + std::size_t(x);
      data.regionMap[i] = c == '#' ? 1 : uint16_t(c - '0');
      if (c == '#') data.flags[i] = kFlagRegionLine;
      highest = std::max<int>(highest, data.regionMap[i]);
    }
  data.regionCount = highest - 1;
  data.regionBounds.assign(std::size_t(highest) + 1, {});
  ComputeRegionBounds(data);
  return data;
}

CarriedPaint Carry(const RegionData& old, const std::vector<int32_t>& colors,
                   const RegionData& fresh) {
  return CarryPaint(old.regionMap, old.flags, colors, fresh);
}

TEST(CarryPaint, EachNewRegionTakesTheColourOfMostOfItsPixels) {
  const RegionData old = Regions({"111111", "122331", "122331", "111111"});
  const std::vector<int32_t> paint{0, 0, 5, 6};
  struct Case {
    const char* name;
    std::vector<std::string> fresh;
    std::vector<int32_t> colors;
    int changed, unfilled;
  };
  const Case cases[] = {
      // The same regions numbered the other way round: exact, nothing changed.
      {"renumbered", {"111111", "133221", "133221", "111111"}, {0, 0, 6, 5}, 0, 0},
      // Region 2 grew over one pixel of 3: it keeps 5, one region changed colour.
      {"merged", {"111111", "122231", "122231", "111111"}, {0, 0, 5, 6}, 1, 0},
      // Half of 5, half of 6: no clear majority, unfilled; the background took in the other
      // halves, so it changed colour.
      {"even", {"111111", "122221", "111111", "111111"}, {0, 0, 1}, 1, 1},
      // A third each of 0, 5 and 6: unfilled, and paint lay under it.
      {"three ways", {"122221", "122221", "122221", "111111"}, {0, 0, 1}, 0, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const CarriedPaint carried = Carry(old, paint, Regions(c.fresh));
    EXPECT_EQ(std::tuple(carried.regionColor, carried.changedColour, carried.becameUnfilled),
              std::tuple(c.colors, c.changed, c.unfilled));
  }
  // Region 4 of five exists in the table but holds no pixel.
  RegionData withEmpty = Regions({"111111", "122331", "122331", "111111"});
  withEmpty.regionCount = 3;
  withEmpty.regionBounds.resize(5);
  ComputeRegionBounds(withEmpty);
  EXPECT_EQ(Carry(old, paint, withEmpty).regionColor, (std::vector<int32_t>{0, 0, 5, 6, 1}));
}

TEST(CarryPaint, LinePixelsDoNotVoteUnlessARegionHasNoOthers) {
  // The old lines (region 1, transparent) ran where the new region 2 now mostly lies.
  const RegionData old = Regions({"1####1", "1#22#1", "1####1"});
  const std::vector<int32_t> paint{0, 0, 7};
  const RegionData fresh = Regions({"122221", "122221", "122221"});
  EXPECT_EQ(Carry(old, paint, fresh).regionColor, (std::vector<int32_t>{0, 0, 7}));
  // A new region made of line pixels only is voted by all of them.
  RegionData lines = Regions({"111111", "122221", "111111"});
  for (std::size_t i = 0; i < lines.PixelCount(); ++i)
    if (lines.regionMap[i] == 2) lines.flags[i] = kFlagRegionLine;
  const RegionData painted = Regions({"111111", "122221", "111111"});
  EXPECT_EQ(Carry(painted, paint, lines).regionColor, (std::vector<int32_t>{0, 0, 7}));
}

class ReplaceRegions : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(WriteRegionFile(rgn_, old_, RegionWriter::Analyzer).ok());
    ASSERT_TRUE(WritePaintFile(pnt_, std::vector<int32_t>{0, 0, 5, 6}).ok());
  }
  TempDir dir_;
  std::string rgn_ = dir_.File("walk1.rgn"), pnt_ = dir_.File("walk1.pnt");
  RegionData old_ = Regions({"111111", "122331", "122331", "111111"});
  RegionData fresh_ = Regions({"111111", "133221", "133221", "111111"});
};

TEST_F(ReplaceRegions, ThePaintIsCarriedAndWrittenWithTheNewRegionFile) {
  Result<RegionReplacement> replaced =
      ReplaceRegionsKeepingPaint(rgn_, pnt_, fresh_, RegionWriter::Analyzer);
  ASSERT_TRUE(replaced.ok()) << replaced.message();
  EXPECT_EQ(replaced->paint, PaintKept::Carried);
  EXPECT_EQ(ReadBytes(rgn_), EncodeRegionFile(fresh_));
  // Two regions painted, stored as the painted count.
  EXPECT_EQ(ReadBytes(pnt_), EncodePaintFile(std::vector<int32_t>{0, 0, 6, 5}, 2));
  EXPECT_EQ(PaintKeptText(*replaced), "paint kept: 0 regions changed colour, 0 became unfilled");
  EXPECT_EQ(PaintKeptText({PaintKept::Carried, 1, 3, {}}),
            "paint kept: 1 region changed colour, 3 became unfilled");
  EXPECT_EQ(PaintKeptText({}), "");
}

TEST_F(ReplaceRegions, WithoutPaintOnlyTheRegionFileIsWritten) {
  std::filesystem::remove(pnt_);
  Result<RegionReplacement> replaced =
      ReplaceRegionsKeepingPaint(rgn_, pnt_, fresh_, RegionWriter::Analyzer);
  ASSERT_TRUE(replaced.ok());
  EXPECT_EQ(std::tuple(replaced->paint, ReadBytes(rgn_), std::filesystem::exists(pnt_)),
            std::tuple(PaintKept::NoPaint, EncodeRegionFile(fresh_), false));
}

TEST_F(ReplaceRegions, PaintThatDidNotFitTheOldRegionsIsSetAside) {
  testing::WriteBytes(pnt_, {0, 0, 5, 0});  // one region: not the old file's three
  Result<RegionReplacement> replaced =
      ReplaceRegionsKeepingPaint(rgn_, pnt_, fresh_, RegionWriter::Analyzer);
  ASSERT_TRUE(replaced.ok()) << replaced.message();
  EXPECT_EQ(std::tuple(replaced->paint, replaced->asidePath, ReadBytes(pnt_ + ".stale"),
                       std::filesystem::exists(pnt_), ReadBytes(rgn_)),
            std::tuple(PaintKept::SetAside, pnt_ + ".stale", std::vector<uint8_t>{0, 0, 5, 0},
                       false, EncodeRegionFile(fresh_)));
  EXPECT_EQ(PaintKeptText(*replaced), "paint made for other regions set aside as walk1.pnt.stale");
}

// A paint file knows only its region count: without the regions it was made on, paint of the
// same count may belong to other regions, so it is never kept unchecked, and never lost either.
TEST_F(ReplaceRegions, WithoutAnOldRegionFileToCheckItAgainstThePaintIsSetAside) {
  const auto oldPaint = ReadBytes(pnt_);
  // The regions of the paint again, and as many regions numbered otherwise.
  for (const RegionData* fresh : {&old_, &fresh_}) {
    SCOPED_TRACE(fresh == &old_ ? "same regions" : "same count, other regions");
    for (const bool garbled : {false, true}) {
      std::filesystem::remove(pnt_ + ".stale");
      ASSERT_TRUE(WritePaintFile(pnt_, std::vector<int32_t>{0, 0, 5, 6}).ok());
      if (garbled)
        testing::WriteBytes(rgn_, {1, 2, 3});
      else
        std::filesystem::remove(rgn_);
      Result<RegionReplacement> replaced =
          ReplaceRegionsKeepingPaint(rgn_, pnt_, *fresh, RegionWriter::Analyzer);
      ASSERT_TRUE(replaced.ok()) << replaced.message();
      EXPECT_EQ(std::tuple(replaced->paint, ReadBytes(rgn_), std::filesystem::exists(pnt_),
                           ReadBytes(pnt_ + ".stale")),
                std::tuple(PaintKept::Unchecked, EncodeRegionFile(*fresh), false, oldPaint));
      EXPECT_EQ(PaintKeptText(*replaced),
                "paint set aside as walk1.pnt.stale: no old region file to check it against");
    }
  }
  // An older stale file is never overwritten.
  ASSERT_TRUE(WritePaintFile(pnt_, std::vector<int32_t>{0, 0, 7, 7}).ok());
  std::filesystem::remove(rgn_);
  Result<RegionReplacement> again =
      ReplaceRegionsKeepingPaint(rgn_, pnt_, fresh_, RegionWriter::Analyzer);
  ASSERT_TRUE(again.ok()) << again.message();
  EXPECT_NE(again->asidePath, pnt_ + ".stale");
  EXPECT_EQ(ReadBytes(pnt_ + ".stale"), oldPaint);
  EXPECT_EQ(ReadBytes(again->asidePath), EncodePaintFile(std::vector<int32_t>{0, 0, 7, 7}));
}

// Kept on request when the region count is the new one; set aside all the same when it is not.
TEST_F(ReplaceRegions, UncheckedPaintIsKeptOnRequestOnlyWithTheNewRegionCount) {
  const auto oldPaint = ReadBytes(pnt_);
  std::filesystem::remove(rgn_);
  Result<RegionReplacement> kept =
      ReplaceRegionsKeepingPaint(rgn_, pnt_, fresh_, RegionWriter::Analyzer, UncheckedPaint::Keep);
  ASSERT_TRUE(kept.ok()) << kept.message();
  EXPECT_EQ(std::tuple(kept->paint, ReadBytes(rgn_), ReadBytes(pnt_),
                       std::filesystem::exists(pnt_ + ".stale")),
            std::tuple(PaintKept::KeptUnchecked, EncodeRegionFile(fresh_), oldPaint, false));
  EXPECT_EQ(PaintKeptText(*kept), "paint kept unchecked: no old region file to check it against");

  std::filesystem::remove(rgn_);
  const RegionData more = Regions({"111111", "123341", "123341", "111111"});
  Result<RegionReplacement> aside =
      ReplaceRegionsKeepingPaint(rgn_, pnt_, more, RegionWriter::Analyzer, UncheckedPaint::Keep);
  ASSERT_TRUE(aside.ok()) << aside.message();
  EXPECT_EQ(std::tuple(aside->paint, std::filesystem::exists(pnt_), ReadBytes(pnt_ + ".stale")),
            std::tuple(PaintKept::Unchecked, false, oldPaint));
}

TEST_F(ReplaceRegions, APaintFileThatCannotBeWrittenLeavesBothFilesAsTheyWere) {
  const auto oldRegions = ReadBytes(rgn_), oldPaint = ReadBytes(pnt_);
  testing::MakeReadOnly(pnt_);
  Result<RegionReplacement> replaced =
      ReplaceRegionsKeepingPaint(rgn_, pnt_, fresh_, RegionWriter::Analyzer);
  EXPECT_EQ(replaced.message(), "Fatal: Error opening paint file writing: maybe readonly?");
  EXPECT_EQ(std::tuple(ReadBytes(rgn_), ReadBytes(pnt_)), std::tuple(oldRegions, oldPaint));
  testing::MakeWritable(pnt_);
}

// A batch run's fresh regions have no line colour map; a region file too large to stand whole
// in memory fills the disk part way, and neither file changes.
TEST_F(ReplaceRegions, RegionsWithOneLineColourAreWrittenAsTheirMapWouldBeAndAFullDiskKeepsBoth) {
  RegionData single = fresh_;
  single.animColor.clear();
  single.uniformAnimColor = uint16_t(kAnimLineColor);
  Result<RegionReplacement> replaced =
      ReplaceRegionsKeepingPaint(rgn_, pnt_, single, RegionWriter::Analyzer);
  ASSERT_TRUE(replaced.ok()) << replaced.message();
  EXPECT_EQ(std::tuple(replaced->paint, ReadBytes(rgn_), ReadBytes(pnt_)),
            std::tuple(PaintKept::Carried, EncodeRegionFile(fresh_),
                       EncodePaintFile(std::vector<int32_t>{0, 0, 6, 5}, 2)));

  RegionData speckled = testing::SpeckledRegions(1200, 1000);
  ASSERT_TRUE(WriteRegionFile(rgn_, speckled, RegionWriter::Analyzer).ok());
  ASSERT_TRUE(WritePaintFile(pnt_, std::vector<int32_t>{0, 0, 5}).ok());
  const auto oldRegions = ReadBytes(rgn_), oldPaint = ReadBytes(pnt_);
  const auto names = testing::ListDirectory(dir_.path());
  ASSERT_GT(oldRegions.size(), 2 * kRegionFilePiece);
  speckled.animColor.clear();
  speckled.uniformAnimColor = uint16_t(kAnimLineColor);
  {
    testing::WriteLimit full(kRegionFilePiece + 10);
    replaced = ReplaceRegionsKeepingPaint(rgn_, pnt_, speckled, RegionWriter::Analyzer);
  }
  EXPECT_EQ(replaced.message(), "Error opening file for writing");
  EXPECT_EQ(std::tuple(ReadBytes(rgn_), ReadBytes(pnt_), testing::ListDirectory(dir_.path())),
            std::tuple(oldRegions, oldPaint, names));
}

}  // namespace
}  // namespace quenda
