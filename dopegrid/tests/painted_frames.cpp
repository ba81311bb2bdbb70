#include "dopegrid/tests/painted_frames.h"

#include <gtest/gtest.h>

#include <random>

#include "common/paint_file.h"
#include "common/region_file.h"
#include "common/scripted_prompt.h"

namespace quenda::testing {

ColorSet TestColors() {
  ColorSet set;
  AddColor(set, "RED", 200, 10, 20);
  AddColor(set, "BLUE", 30, 40, 250);
  AddColor(set, "GREEN", 15, 220, 35);
  return set;
}

void WriteTestColorSet(const std::string& directory, const std::string& name) {
  ColorSet set = TestColors();
  set.path = directory + name + ".col";
  ScriptedPrompt prompt;
  ASSERT_TRUE(SaveColorSet(set, prompt));
}

DrawingScan FlatDrawing(int width, int height, uint8_t grey, int x, int y, int peg) {
  DrawingScan scan;
  scan.dpi = 100;
  scan.pegPosition = peg;
  scan.xPosition = x;
  scan.yPosition = y;
  scan.picture = Raster(width, height, 1, grey);
  return scan;
}

RegionData OneRegion(int width, int height) {
  RedlineSettings levels;
  levels.whiteClamp = 255;
  levels.blackClamp = 0;
  return MakeBlankRegionData(width, height, levels);
}

void WritePaintedFrame(const std::string& directory, const std::string& name, int number,
                       const DrawingScan& scan, const RegionData& regions,
                       const std::vector<int32_t>& regionColor) {
  std::string stem = directory + name + std::to_string(number);
  RegionData bounded = regions;
  ComputeRegionBounds(bounded);
  ASSERT_TRUE(WriteDrawingScan(stem + ".qds", scan, ScanWriter::Scanner).ok());
  ASSERT_TRUE(WriteRegionFile(stem + ".rgn", bounded, RegionWriter::Painter).ok());
  ASSERT_TRUE(WritePaintFile(stem + ".pnt", regionColor).ok());
}

void WritePaintedFrame(const std::string& directory, const std::string& name, int number,
                       const DrawingScan& scan, const std::vector<int32_t>& regionColor) {
  WritePaintedFrame(directory, name, number, scan,
                    OneRegion(scan.picture.width(), scan.picture.height()), regionColor);
}

void PaintedSheet::ShowAnnAndBob(int frames, int bobDrawings) {
  sequences[0] = SequenceOf(dir.path(), "Ann");
  sequences[1] = SequenceOf(dir.path(), "Bob");
  sheet.AddLevel("back");
  for (int f = 0; f < frames; ++f) {
    sheet.Cell(0, f) = {CellKind::Key, 0, f};
    sheet.Cell(1, f) = {CellKind::Key, 1, f % bobDrawings};
  }
}

DrawingSequence SequenceOf(const std::string& directory, const std::string& name) {
  return OpenSequence(directory + name + "1.qds", name + "1.qds");
}

PaintedDrawing RandomPainted(int width, int height, uint32_t seed) {
  std::mt19937 random(seed);
  auto pick = [&](int n) { return int(random() % uint32_t(n)); };
  PaintedDrawing painted;
  painted.drawing.picture = Raster(width, height, 1);
  painted.drawing.xPosition = pick(5);
  painted.drawing.yPosition = pick(5);
  painted.drawing.pegPosition = 4;
  painted.regions = OneRegion(width, height);
  painted.regions.regionCount = 4;
  painted.regionColor = {0, kRed, 0, kBlue, kGreen, 0};
  painted.colors = TestColors();
  const uint8_t rubbedLine = kFlagAnimatorLine | kFlagRubbedOut;
  const uint8_t flagChoices[] = {
      0, 0, 0, kFlagRegionLine, kFlagAnimatorLine, rubbedLine, kFlagRubbedOut};
  const uint16_t lineChoices[] = {2, 3, 5, 249};
  for (int i = 0; i < width * height; ++i) {
    painted.drawing.picture.data()[i] = uint8_t(pick(3) == 0 ? 255 : pick(256));
    painted.regions.flags[std::size_t(i)] = flagChoices[pick(7)];
    painted.regions.regionMap[std::size_t(i)] = uint16_t(pick(6));
    painted.regions.animColor[std::size_t(i)] = lineChoices[pick(4)];
  }
  return painted;
}

PaintedDrawing StripedPainted(int width, int height, int stripe, uint32_t seed) {
  PaintedDrawing painted = RandomPainted(width, height, seed);
  std::mt19937 random(seed);
  painted.regions.regionCount = 6;
  painted.regionColor = {0, kRed, kBlue, 0, kGreen, kRed, 0, kBlue};
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      std::size_t i = std::size_t(y) * std::size_t(width) + std::size_t(x);
      painted.regions.regionMap[i] = uint16_t(1 + (x / stripe + y / 9) % 7);
      if (random() % 12 != 0) {  // the rest keep their random grey, flags and line colour
        painted.drawing.picture.data()[i] = 255;
        painted.regions.flags[i] = 0;
      }
    }
  }
  return painted;
}

}  // namespace quenda::testing
