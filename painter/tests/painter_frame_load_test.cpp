// One frame's files: loading, saving, the level stretch and undo.
#include "painter/core/painter_frame.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <tuple>

#include "common/color_set.h"
#include "common/contrast_stretch.h"
#include "common/file_io.h"
#include "common/frame_sequence.h"
#include "common/paint_file.h"
#include "common/region_file.h"
#include "common/scripted_prompt.h"
#include "painter/core/frame_composition.h"
#include "painter/core/painter_frame.h"
#include "painter/tests/painter_test_frames.h"
#include "testing/test_support.h"

namespace quenda {
namespace {

using namespace testing;

// One frame on its own: loading and saving its files, the level stretch, every failure message in
// order, changed flags and the one-step undo.
FramePaths PathsIn(const TempDir& dir, const std::string& base) {
  return {dir.File(base + ".qds"), dir.File(base + ".rgn"), dir.File(base + ".pnt")};
}

TEST(PainterFrameLoad, ReadsScanRegionsAndDefaultPaintStretchesLevelsSavesBackAndUndoesOnce) {
  TempDir dir;
  RegionData region = testing::RegionsFromPicture(kTwoBoxes);
  region.settings.whiteClamp = 200;
  region.settings.blackClamp = 40;
  testing::WriteFrameFiles(dir.path(), "box", "1", region);
  // Grey values across the range, so the stretch shows at both clamps and between.
  DrawingScan scan{100, kPegTop, 7, 3, Raster(region.width, region.height, 1)};
  for (std::size_t i = 0; i < region.PixelCount(); ++i) scan.picture.data()[i] = uint8_t(i * 3);
  ASSERT_TRUE(WriteDrawingScan(dir.File("box1.qds"), scan, ScanWriter::Scanner).ok());

  ScriptedPrompt prompt;
  PainterFrame frame;
  ASSERT_TRUE(LoadPainterFrame(frame, PathsIn(dir, "box1"), 3, prompt));
  EXPECT_TRUE(prompt.Texts().empty());
  EXPECT_EQ(std::tuple(frame.width, frame.rowPixels, frame.originX, frame.originY, frame.peg),
            std::tuple(15, 16, 7, 3, kPegTop));
  EXPECT_EQ(frame.region, region);
  EXPECT_EQ(frame.regionColor, DefaultPaint(region.regionCount));
  for (std::size_t i = 0; i < region.PixelCount(); ++i) {
    const double stretched = 255.0 / (200 - 40) * (double(scan.picture.data()[i]) - 40);
    const int expected = stretched < 0 ? 0 : stretched > 255 ? 255 : int(stretched);
    ASSERT_EQ(frame.scan.data()[i], expected) << "pixel " << i;
  }
  EXPECT_FALSE(frame.paintChanged || frame.regionChanged || frame.undoAvailable());
  // Equal clamps turn every pixel into the black clamp.
  std::vector<uint8_t> levels{0, 17, 128, 255};
  StretchLevels(levels, 90, 90);
  EXPECT_EQ(levels, std::vector<uint8_t>(4, 90));
  // Saving clears the flags; a read-only paint file shows the message and keeps the data.
  frame.paintChanged = frame.regionChanged = true;
  SavePainterFrame(frame, PathsIn(dir, "box1"), prompt);
  EXPECT_FALSE(frame.paintChanged || frame.regionChanged);
  const auto before = testing::ReadBytes(dir.File("box1.pnt"));
  testing::MakeReadOnly(dir.File("box1.pnt"));
  frame.regionColor[2] = 4;
  frame.paintChanged = true;
  SavePainterFrame(frame, PathsIn(dir, "box1"), prompt);
  EXPECT_EQ(std::tuple(prompt.Texts(), frame.paintChanged, frame.regionColor[2]),
            std::tuple(std::vector<std::string>{"Fatal: Error opening paint file writing: maybe "
                                                "readonly?"},
                       true, 4));
  EXPECT_EQ(testing::ReadBytes(dir.File("box1.pnt")), before);
  // Undo restores only the copied kind, and only once.
  PainterFrame copied = testing::FrameFromPicture(kTwoBoxes);
  EXPECT_FALSE(UndoLastChange(copied));
  const auto painted = copied.regionColor;
  const auto anim = copied.region.animColor;
  TakeUndoCopy(copied, kUndoRegionColors);
  copied.regionColor[2] = 9;
  copied.region.animColor[3] = 9;  // not in the copy: stays
  copied.paintChanged = true;
  ASSERT_TRUE(UndoLastChange(copied));
  EXPECT_EQ(copied.regionColor, painted);
  EXPECT_NE(copied.region.animColor, anim);
  EXPECT_TRUE(copied.paintChanged);  // the undone change is still written on leaving
  EXPECT_FALSE(UndoLastChange(copied));
}

// One damaged file of each kind: the readers' own messages are their tests'; here the painter's
// follow-up message, which size it asks the region reader for, and the emptied frame.
TEST(PainterFrameLoad, EveryFailureShowsItsMessagesAndLeavesTheFrameEmpty) {
  auto cutScan = [](const TempDir& d) {
    auto bytes = testing::ReadBytes(d.File("box1.qds"));
    bytes.resize(bytes.size() - 5);
    testing::WriteBytes(d.File("box1.qds"), bytes);
  };
  auto otherSize = [](const TempDir& d) {
    ASSERT_TRUE(
        WriteRegionFile(d.File("box1.rgn"), MakeBlankRegionData(9, 6), RegionWriter::Analyzer));
  };
  struct Case {
    std::function<void(const TempDir&)> damage;
    std::string reader, damaged, fatal;  // messages without paths; `fatal` names the scan
  };
  const Case cases[] = {{[](const TempDir& d) { std::remove(d.File("box1.qds").c_str()); },
                         "Fatal: Image file does not exist: ", "box1.qds", ""},
                        {[](const TempDir& d) { std::remove(d.File("box1.rgn").c_str()); },
                         "Fatal: Region file does not exist: ", "box1.rgn", ""},
                        {cutScan, "Error reading image: unexpected end of file: ", "box1.qds",
                         "Fatal: Image file invalid: "},
                        {otherSize, "The regions file resolution does not match :", "box1.rgn",
                         "Fatal: Region file invalid: "}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.reader);
    TempDir dir;
    testing::WriteFrameFiles(dir.path(), "box", "1", testing::RegionsFromPicture(kTwoBoxes));
    c.damage(dir);
    PainterFrame frame = testing::FrameFromPicture(kTwoBoxes);
    frame.paintChanged = true;
    ScriptedPrompt prompt;
    EXPECT_FALSE(LoadPainterFrame(frame, PathsIn(dir, "box1"), 3, prompt));
    std::vector<std::string> expected{c.reader + dir.File(c.damaged)};
    if (!c.fatal.empty()) expected.push_back(c.fatal + dir.File("box1.qds"));
    EXPECT_EQ(std::tuple(prompt.Texts(), frame.empty(), frame.paintChanged),
              std::tuple(expected, true, false));
    // An empty frame writes nothing, whatever its flags say.
    frame.paintChanged = frame.regionChanged = true;
    SavePainterFrame(frame, PathsIn(dir, "box1"), prompt);
    EXPECT_FALSE(FrameExists(dir.File("box1.pnt")));
  }
}

}  // namespace
}  // namespace quenda
