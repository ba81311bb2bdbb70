#pragma once
// Hand-made analysed and painted drawings on disk, and a sheet showing them, for compositor,
// render and flipbook tests.

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "common/color_set.h"
#include "common/drawing_scan.h"
#include "common/frame_sequence.h"
#include "common/progress.h"
#include "common/region_data.h"
#include "common/scripted_prompt.h"
#include "dopegrid/core/frame_compositor.h"
#include "dopegrid/core/sheet_drawing.h"
#include "testing/test_support.h"

namespace quenda::testing {

// Colour indices of the test colour set written by WriteTestColorSet.
inline constexpr int kRed = 3;    // 200, 10, 20
inline constexpr int kBlue = 4;   // 30, 40, 250
inline constexpr int kGreen = 5;  // 15, 220, 35

// RED, BLUE and GREEN as above.
ColorSet TestColors();
void WriteTestColorSet(const std::string& directory, const std::string& name);

// A drawing of uniform grey, placed directly at (x, y) by an unknown peg position (4).
DrawingScan FlatDrawing(int width, int height, uint8_t grey, int x = 0, int y = 0, int peg = 4);

// One region covering everything, line levels that leave grey values as they are.
RegionData OneRegion(int width, int height);

// Writes name<number>.qds/.rgn/.pnt; `regionColor` has regionCount + 2 entries.
void WritePaintedFrame(const std::string& directory, const std::string& name, int number,
                       const DrawingScan& scan, const RegionData& regions,
                       const std::vector<int32_t>& regionColor);
// The same with one region over the whole drawing.
void WritePaintedFrame(const std::string& directory, const std::string& name, int number,
                       const DrawingScan& scan, const std::vector<int32_t>& regionColor = {0, 0});

// The channels of `picture` at (x, y), blue first.
inline std::vector<int> PixelAt(const Raster& picture, int x, int y) {
  const uint8_t* p = picture.At(x, y);
  return std::vector<int>(p, p + picture.channels());
}

// A drawing with every kind of pixel: random grey, flags, regions (some unpainted, some 0) and
// line colours, in the test colour set.
PaintedDrawing RandomPainted(int width, int height, uint32_t seed);
// A drawing as painters leave them: mostly paper in painted regions, stripes of regions
// `stripe` pixels wide, unpainted stripes, and lines here and there.
PaintedDrawing StripedPainted(int width, int height, int stripe, uint32_t seed);

// The sequence of name1.qds.. in `directory` as the sheet would hold it.
DrawingSequence SequenceOf(const std::string& directory, const std::string& name);

// A sheet with slots for two sequences, Ann's and Bob's, read from `dir`.
class PaintedSheet : public ::testing::Test {
 protected:
  // Level 0 shows Ann's drawings 1..frames on ones; level "back" (1) shows Bob's, his first
  // `bobDrawings` of them over and over.
  void ShowAnnAndBob(int frames, int bobDrawings);

  TempDir dir;
  ScriptedPrompt prompt;
  NullProgress progress;
  CSheetGrid sheet = MakeNewSheet();
  // Two slots from the start: the source views them.
  std::vector<DrawingSequence> sequences{2};
  SheetSource source{sheet, sequences};
};

}  // namespace quenda::testing
