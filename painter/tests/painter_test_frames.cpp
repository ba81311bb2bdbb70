#include "painter/tests/painter_test_frames.h"

#include <gtest/gtest.h>

#include "analyzer/core/line_generation.h"
#include "analyzer/core/region_extraction.h"
#include "common/color_set.h"
#include "common/paint_file.h"
#include "common/region_file.h"
#include "common/scripted_prompt.h"
#include "samples/sample_drawing.h"

namespace quenda::testing {

RegionData RegionsFromPicture(const std::vector<std::string>& rows) {
  const int height = int(rows.size());
  const int width = int(rows.front().size());
  WorkingImage image = MakeWorkingImage(width, height, {});
  for (int row = 0; row < height; ++row)
    for (int x = 0; x < width; ++x) {
      const char c = rows[row][x];
      uint8_t& f = image.regions.flags[std::size_t(height - 1 - row) * width + x];
      if (c == '#') f |= kFlagRegionLine | kFlagAnimatorLine;
      if (c == '*') f |= kFlagAnimatorLine;
    }
  NullProgress progress;
  Status extracted = ExtractRegions(image, RedlineSettings{}, progress);
  EXPECT_TRUE(extracted.ok()) << extracted.message();
  return image.regions;
}

PainterFrame FrameFromRegions(RegionData region) {
  PainterFrame frame;
  frame.width = region.width;
  frame.height = region.height;
  frame.rowPixels = (region.width & ~3) + 4;
  frame.scan = Raster(region.width, region.height, 1, 255);
  frame.regionColor = DefaultPaint(region.regionCount);
  frame.region = std::move(region);
  return frame;
}

PainterFrame FrameFromPicture(const std::vector<std::string>& rows) {
  return FrameFromRegions(RegionsFromPicture(rows));
}

void WriteFrameFiles(const std::string& directory, const std::string& name,
                     const std::string& frameText, const RegionData& region) {
  const DrawingScan scan{100, kPegBottom, 0, 0, Raster(region.width, region.height, 1, 255)};
  const std::string base = directory + name + frameText;
  ASSERT_TRUE(WriteDrawingScan(base + ".qds", scan, ScanWriter::Scanner).ok());
  ASSERT_TRUE(WriteRegionFile(base + ".rgn", region, RegionWriter::Analyzer).ok());
}

std::string WriteAnalyzedSequence(const std::string& directory, const std::string& name, int frames,
                                  int width, int height) {
  samples::SampleOptions options{.width = width, .height = height, .dpi = 100};
  ScriptedPrompt prompt;
  EXPECT_TRUE(samples::WriteSampleSequence(directory, name, frames, options, prompt).ok());
  for (int i = 0; i < frames; ++i) {
    const std::string base = directory + name + std::to_string(i + 1);
    auto scan = ReadDrawingScan(base + ".qds", ScanReader::Analyzer);
    EXPECT_TRUE(scan.ok()) << scan.message();
    WorkingImage image = MakeWorkingImage(width, height, scan->scan.picture.bytes());
    NullProgress progress;
    GenerateLines(image, RedlineSettings{}, 0, width, 0, height, progress);
    EXPECT_TRUE(ExtractRegions(image, RedlineSettings{}, progress).ok());
    EXPECT_TRUE(WriteRegionFile(base + ".rgn", image.regions, RegionWriter::Analyzer).ok());
  }
  return directory + name + "1.qds";
}

int RegionAtText(const RegionData& region, int column, int rowFromTop) {
  return region.regionMap[std::size_t(region.height - 1 - rowFromTop) * region.width + column];
}

}  // namespace quenda::testing
