#include "dopegrid/tests/painted_frames.h"

#include <gtest/gtest.h>

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

}  // namespace quenda::testing
