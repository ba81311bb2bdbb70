// Region files written piece by piece: the pieces make exactly the file written whole and the
// file of the plain pixel rule, whatever their size; one line colour for every pixel writes what
// its map would; a failure part way keeps the old file.

#include "common/region_file_writer.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "common/color_set.h"
#include "common/tests/region_file_oracle.h"
#include "testing/test_support.h"
#include "testing/write_limit.h"

namespace quenda {
namespace {

using namespace testing;

constexpr RedlineSettings kSettings{91, 160, 230, 40};

// A map of awkward runs in every plane, with boxes from its numbers.
RegionData NoisyRegions(int width, int height, unsigned seed) {
  std::mt19937 random(seed);
  RegionData data = MakeBlankRegionData(width, height, kSettings);
  const std::size_t n = data.PixelCount();
  data.flags = RunsOfRandomLength<uint8_t>(n, random);
  data.regionMap = RunsOfRandomLength<uint16_t>(n, random);
  for (uint16_t& number : data.regionMap) number = uint16_t(1 + number % 700);
  data.animColor = RunsOfRandomLength<uint16_t>(n, random);
  data.regionCount = 699;
  data.regionBounds.resize(std::size_t(data.regionCount) + 2);
  ComputeRegionBounds(data);
  return data;
}

struct Drawing {
  const char* name;
  RegionData data;
};

std::vector<Drawing> Drawings() {
  RegionData line = MakeBlankRegionData(1, 1, kSettings);
  line.flags[0] = kFlagRegionLine | kFlagAnimatorLine;
  line.animColor[0] = 17;
  return {
      {"empty", MakeBlankRegionData(0, 0, kSettings)},
      {"one blank pixel", MakeBlankRegionData(1, 1, kSettings)},
      {"one line pixel", line},
      {"one row of 600", MakeBlankRegionData(600, 1, kSettings)},
      {"noisy 47 x 33", NoisyRegions(47, 33, 3)},
      // More pixels than the writer encodes between two looks at its pieces.
      {"noisy 301 x 257", NoisyRegions(301, 257, 5)},
  };
}

// The pieces as they come, and whether every one but the last is full.
struct Collected {
  std::vector<uint8_t> bytes;
  bool fullPieces = true;
  int pieces = 0;
};

Collected Collect(const RegionData& data, std::size_t pieceSize) {
  Collected got;
  std::size_t last = pieceSize;
  Status status = StreamRegionFile(data, pieceSize, [&](std::span<const uint8_t> piece) {
    got.fullPieces &= last == pieceSize && !piece.empty() && piece.size() <= pieceSize;
    last = piece.size();
    got.bytes.insert(got.bytes.end(), piece.begin(), piece.end());
    ++got.pieces;
    return Status::Ok();
  });
  EXPECT_TRUE(status.ok()) << status.message();
  return got;
}

TEST(RegionFileWriter, PiecesOfAnySizeMakeTheWholeFileAndThePlainOne) {
  for (const Drawing& drawing : Drawings()) {
    SCOPED_TRACE(drawing.name);
    ASSERT_TRUE(CheckRegionFileData(drawing.data));
    const std::vector<uint8_t> whole = EncodeRegionFile(drawing.data);
    EXPECT_EQ(whole, RegionFilePixelByPixel(drawing.data));
    for (std::size_t pieceSize :
         {std::size_t(1), std::size_t(7), std::size_t(254), std::size_t(4096), kRegionFilePiece}) {
      SCOPED_TRACE(pieceSize);
      const Collected got = Collect(drawing.data, pieceSize);
      EXPECT_EQ(got.bytes, whole);
      EXPECT_TRUE(got.fullPieces);
      EXPECT_EQ(got.pieces, int((whole.size() + pieceSize - 1) / pieceSize));
    }
  }
}

TEST(RegionFileWriter, OneLineColourForEveryPixelWritesWhatItsMapWould) {
  // Runs of 254 and the rest, around the longest run and beyond one piece of encoding.
  for (auto [width, height] :
       {std::pair(1, 1), std::pair(253, 1), std::pair(254, 1), std::pair(255, 1), std::pair(254, 2),
        std::pair(600, 1), std::pair(351, 200)})
    for (uint16_t colour : {uint16_t(kAnimLineColor), uint16_t(3), uint16_t(0x1234)}) {
      SCOPED_TRACE(std::to_string(width) + " x " + std::to_string(height) + " of colour " +
                   std::to_string(colour));
      RegionData mapped = MakeBlankRegionData(width, height, kSettings);
      mapped.animColor.assign(mapped.PixelCount(), colour);
      RegionData single = mapped;
      single.animColor.clear();
      single.uniformAnimColor = colour;
      ASSERT_TRUE(CheckRegionFileData(single));
      EXPECT_EQ(EncodeRegionFile(single), EncodeRegionFile(mapped));
      EXPECT_EQ(Collect(single, 5).bytes, RegionFilePixelByPixel(mapped));
    }
  // Data that has both, or neither, is not what the file can be written from.
  RegionData both = MakeBlankRegionData(3, 2);
  both.uniformAnimColor = uint16_t(kAnimLineColor);
  RegionData neither = MakeBlankRegionData(3, 2);
  neither.animColor.clear();
  for (const RegionData* bad : {&both, &neither})
    EXPECT_EQ(CheckRegionFileData(*bad).message(),
              "Internal Error: region data does not match the picture size");
}

TEST(RegionFileWriter, ARefusedPieceEndsTheWritingWithItsFailure) {
  const RegionData data = NoisyRegions(47, 33, 9);
  int calls = 0;
  Status status = StreamRegionFile(data, 100, [&](std::span<const uint8_t>) {
    return ++calls == 3 ? Status(Error{"disk full"}) : Status::Ok();
  });
  EXPECT_EQ(status.message(), "disk full");
  EXPECT_EQ(calls, 3);
}

TEST(RegionFileWriter, AWriteFailingAfterSomePiecesKeepsTheOldFile) {
  const RegionData data = testing::SpeckledRegions(1200, 1000, kSettings);
  const std::size_t size = EncodeRegionFile(data).size();
  ASSERT_GT(size, 3 * kRegionFilePiece);
  TempDir dir;
  const std::string path = dir.File("walk2.rgn");
  WriteBytes(path, {104, 9, 9});
  for (RegionWriter writer : {RegionWriter::Analyzer, RegionWriter::Painter}) {
    const std::string text = RegionWriteMessage(path, writer);
    // The disk fills part way into the third piece.
    EXPECT_EQ(FailedWriteMessages(path, 2 * kRegionFilePiece + 77,
                                  [&] { return WriteRegionFile(path, data, writer); }),
              std::pair(text, text));
  }
  EXPECT_EQ(ReadBytes(path), (std::vector<uint8_t>{104, 9, 9}));
  ASSERT_TRUE(WriteRegionFile(path, data, RegionWriter::Analyzer));
  EXPECT_EQ(ReadBytes(path), EncodeRegionFile(data));
}

}  // namespace
}  // namespace quenda
