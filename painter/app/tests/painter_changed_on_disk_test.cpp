// A frame's paint and the sequence's colour set changed on disk by another program while the
// painter holds them, with the real tool in a process of its own: the window offers to reload,
// and never writes over the change without asking.

#include <gtest/gtest.h>

#include <filesystem>
#include <tuple>

#include "common/paint_file.h"
#include "common/path.h"
#include "painter/app/tests/painter_window_fixture.h"
#include "ui/document_watcher.h"
#include "ui/tests/crashing_run.h"
#include "ui/tests/second_process.h"

namespace quenda {
namespace {

using namespace quenda::testing;

std::string Question(const std::string& text, const std::string& buttons) {
  return "Quenda Painter\n" + text + "\n" + buttons;
}
const std::string kReloadButtons = "[Reload] [Keep This Version]";
const std::string kOverwriteButtons = "[Overwrite] [Save As…] [Cancel]";
const std::string kReloadPaint = Question(
    "walk1.pnt was changed on disk by another program. Reload it and lose the changes made here?",
    kReloadButtons);
const std::string kOverwritePaint = Question(
    "walk1.pnt was changed on disk by another program since it was read here. Saving "
    "replaces those changes with this window's.",
    kOverwriteButtons);

class PainterChangedOnDisk : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(w.prompt.Texts().empty());
    std::tie(region, at) = w.LargestInnerRegion();
    regions = w.doc().frame().regionCount();
    paint = w.dir.File("walk1.pnt");
  }
  // The tool paints the region `colour`; the window asks, and the test answers `button`.
  void AnotherProgramPaints(int colour, std::optional<int> button, const std::string& question) {
    w.prompt.Clear();
    w.prompt.QueueChoice(button);
    const std::string fill =
        std::to_string(at.x) + "," + std::to_string(at.y) + "=" + std::to_string(colour);
    ASSERT_EQ(RunSecondProcess({QUENDA_TOOL, "paint", w.first, "--fill", fill}), 0);
    ASSERT_TRUE(WaitWithEvents([&] { return !w.prompt.Texts().empty(); }, 20000))
        << "the window did not notice";
    EXPECT_EQ(w.prompt.Texts(), std::vector<std::string>{question});
    w.prompt.Clear();
  }
  int PaintOnDisk() {
    Result<PaintFile> read = ReadPaintFile(paint, regions, w.doc().colors().count);
    EXPECT_TRUE(read.ok()) << read.message();
    return read.ok() ? read->regionColor[std::size_t(region)] : -1;
  }
  void PaintHere(int colour) {
    w.doc().SetCurrentColor(colour);
    w.Click(Qt::LeftButton, at);
    ASSERT_TRUE(w.doc().frameModified());
  }

  PainterWindow w;
  int region = 0;
  int regions = 0;  // of walk1
  ImagePoint at;
  std::string paint;
};

TEST_F(PainterChangedOnDisk, ReloadShowsTheOtherProgramsPaint) {
  AnotherProgramPaints(
      4, 0,
      Question("walk1.pnt was changed on disk by another program. Reload it?", kReloadButtons));
  EXPECT_EQ(w.doc().frame().regionColor[std::size_t(region)], 4);
  EXPECT_FALSE(w.doc().frameModified());
}

TEST_F(PainterChangedOnDisk, LeavingTheFrameOverTheChangeAsksAndCancelStays) {
  PaintHere(3);
  AnotherProgramPaints(4, 1, kReloadPaint);
  EXPECT_EQ(w.doc().frame().regionColor[std::size_t(region)], 3) << "kept this window's paint";

  w.prompt.QueueChoice(2);  // Cancel
  w.action("actionNextFrame")->trigger();
  EXPECT_EQ(w.prompt.Texts(), std::vector<std::string>{kOverwritePaint});
  EXPECT_EQ(w.doc().currentFrame(), 0) << "stays on the frame";
  EXPECT_TRUE(w.doc().frameModified());
  EXPECT_EQ(PaintOnDisk(), 4);

  w.prompt.Clear();
  w.prompt.QueueChoice(0);  // Overwrite
  w.action("actionNextFrame")->trigger();
  EXPECT_EQ(w.prompt.Texts(), std::vector<std::string>{kOverwritePaint});
  EXPECT_EQ(w.doc().currentFrame(), 1);
  EXPECT_EQ(PaintOnDisk(), 3);
}

TEST_F(PainterChangedOnDisk, SaveAsKeepsThisWindowsPaintUnderAnotherNameAndShowsTheirs) {
  PaintHere(3);
  AnotherProgramPaints(4, 1, kReloadPaint);
  std::vector<std::string> asked;
  w.doc().SetSavePathPicker([&](std::string_view, std::string_view,
                                const std::string& start) -> std::optional<std::string> {
    asked.push_back(start);
    return w.dir.File("walk1-mine.pnt");
  });
  w.prompt.QueueChoice(1);  // Save As…
  w.action("actionNextFrame")->trigger();
  EXPECT_EQ(asked, std::vector<std::string>{paint});
  EXPECT_EQ(w.doc().currentFrame(), 1);
  EXPECT_EQ(PaintOnDisk(), 4) << "their file is untouched";
  paint = w.dir.File("walk1-mine.pnt");
  EXPECT_EQ(PaintOnDisk(), 3);
  EXPECT_TRUE(std::filesystem::exists(w.dir.File("walk1-mine.rgn")));
}

TEST_F(PainterChangedOnDisk, AColourSetChangedByAnotherProgramIsNotOverwrittenUnasked) {
  const std::string set = w.doc().colors().path;
  w.prompt.QueueChoice(1);  // Keep This Version
  ASSERT_EQ(RunSecondProcess({QUENDA_TOOL, "colors", set, "--add", "Moss", "40", "90", "30"}), 0);
  ASSERT_TRUE(WaitWithEvents([&] { return !w.prompt.Texts().empty(); }, 20000));
  EXPECT_EQ(w.prompt.Texts(),
            std::vector<std::string>{
                Question(FileNameOf(set) + " was changed on disk by another program. Reload it?",
                         kReloadButtons)});
  const std::vector<uint8_t> theirs = ReadBytes(set);
  w.prompt.Clear();
  w.prompt.QueueChoice(2);  // Cancel
  w.doc().AddColor("Sand", 200, 180, 120);
  ASSERT_EQ(w.prompt.Texts().size(), 1u);
  EXPECT_NE(w.prompt.Texts()[0].find("since it was read here"), std::string::npos);
  EXPECT_EQ(ReadBytes(set), theirs);
}

}  // namespace
}  // namespace quenda
