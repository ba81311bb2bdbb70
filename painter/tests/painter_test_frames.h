#pragma once
// Frames for the painter's tests: line pictures drawn as text and turned into regions by the
// analyzer core, in memory or written out as a sequence on disk; the two-box picture most tests
// draw on, and a document opened on a sequence of it.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/drawing_scan.h"
#include "common/region_data.h"
#include "common/scripted_prompt.h"
#include "painter/core/painter_doc.h"
#include "painter/core/painter_frame.h"
#include "testing/test_support.h"

namespace quenda::testing {

// Rows of text, top row first: '#' is a region line pixel, '*' an animator-line pixel that is
// no region line, anything else paper. Regions come from the analyzer's extraction.
RegionData RegionsFromPicture(const std::vector<std::string>& rows);
// A loaded frame (white paper scan, default paints) over those regions.
PainterFrame FrameFromPicture(const std::vector<std::string>& rows);
PainterFrame FrameFromRegions(RegionData region);

// A frame file set: the drawing scan (white paper, 100 dpi, peg bottom) and the region file.
void WriteFrameFiles(const std::string& directory, const std::string& name,
                     const std::string& frameText, const RegionData& region);

// name1 .. nameN: sample pencil drawings of `width` x `height` analyzed by the analyzer core,
// with the sample colour set. Returns the path of the first drawing.
std::string WriteAnalyzedSequence(const std::string& directory, const std::string& name, int frames,
                                  int width, int height);

// The region index of a pixel given in picture text coordinates (column, row from the top).
int RegionAtText(const RegionData& region, int column, int rowFromTop);

// Box A inside columns 2-6 and box B inside columns 8-12, both on rows 2-3, sharing the wall
// at column 7; the background region all round.
inline const std::vector<std::string> kTwoBoxes = {
    "...............",  //
    ".#############.",  //
    ".#.....#.....#.",  //
    ".#.....#.....#.",  //
    ".#############.",  //
    "...............",  //
};

// The image point of a kTwoBoxes text position: image rows count up from the bottom.
inline ImagePoint At(int column, int rowFromTop) {
  return {column, int(kTwoBoxes.size()) - 1 - rowFromTop};
}

// name1 .. nameN, each the two-box picture.
inline void WriteTwoBoxes(const TempDir& dir, const std::string& name, int frames) {
  const RegionData region = RegionsFromPicture(kTwoBoxes);
  for (int i = 1; i <= frames; ++i) WriteFrameFiles(dir.path(), name, std::to_string(i), region);
}

// A document opened by Open() on walk1 of walk1 .. walkN, each the two-box picture.
class TwoBoxDocument : public ::testing::Test {
 protected:
  // The prompt is cleared of the message of the colour set made on opening.
  void Open(int frames) {
    WriteTwoBoxes(dir_, "walk", frames);
    ASSERT_TRUE(doc_.OpenSequenceFile(dir_.File("walk1.qds")));
    prompt_.Clear();
  }
  // A click of the region fill at a kTwoBoxes text position.
  void ClickFill(int column, int rowFromTop) {
    doc_.RegionFillRelease({0, 0}, {0, 0}, At(column, rowFromTop), At(column, rowFromTop));
  }

  TempDir dir_;
  ScriptedPrompt prompt_;
  CPainterDoc doc_{prompt_};
};

}  // namespace quenda::testing
