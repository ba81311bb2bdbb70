#pragma once
// The two-box picture most painter tests draw on, its text positions as image points, and a
// document opened on a sequence of it.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/scripted_prompt.h"
#include "painter/core/painter_doc.h"
#include "painter/tests/painter_test_frames.h"
#include "testing/test_support.h"

namespace quenda::testing {

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
