// A frame's paint and region files changed on disk by another program while the analyzer holds
// them, with the real tool in a process of its own: the window offers to reload, and never
// writes over the change without asking.

#include <gtest/gtest.h>

#include <QPushButton>
#include <algorithm>
#include <filesystem>

#include "analyzer/app/analyzer_dialogs.h"
#include "analyzer/app/tests/analyzer_window.h"
#include "cli/tests/tool_run.h"
#include "common/paint_file.h"
#include "common/region_file.h"
#include "ui/document_watcher.h"
#include "ui/tests/crashing_run.h"
#include "ui/tests/modal_helper.h"
#include "ui/tests/second_process.h"

namespace quenda {
namespace {

using namespace quenda::testing;

std::string Question(const std::string& text, const std::string& buttons) {
  return "Quenda Analyzer\n" + text + "\n" + buttons;
}
const std::string kReloadButtons = "[Reload] [Keep This Version]";
const std::string kOverwriteButtons = "[Overwrite] [Save As…] [Cancel]";
std::string Overwrite(const std::string& name) {
  return Question(name +
                      " was changed on disk by another program since it was read here. Saving "
                      "replaces those changes with this window's.",
                  kOverwriteButtons);
}
const std::string kReloadPaint = Question(
    "walk1.pnt was changed on disk by another program. Reload it and lose the changes made here?",
    kReloadButtons);

// The sample sequence analyzed by the tool and painted in the analyzer, on its first frame.
class AnalyzerChangedOnDisk : public ::testing::Test {
 protected:
  void SetUp() override {
    const cli::ToolOutput run = cli::RunTool({"analyze", w.Frame(1, ".qds"), "--yes"});
    ASSERT_EQ(run.code, 0) << run.err;
    ASSERT_TRUE(w.doc().BeginSequencePaint(OpenSequence(w.Frame(1, ".qds"), "walk1.qds")).ok());
    w.prompt.Clear();
    FindLargestInnerRegion();
    regionCount = w.doc().image().regions.regionCount;
  }
  // The largest region and a pixel inside it, clear of lines on every side.
  void FindLargestInnerRegion() {
    const RegionData& r = w.doc().image().regions;
    std::vector<int> area(std::size_t(r.regionCount) + 2, 0);
    for (std::size_t i = 0; i < r.PixelCount(); ++i)
      if ((r.flags[i] & kFlagRegionLine) == 0) ++area[r.regionMap[i]];
    region = int(std::max_element(area.begin() + 2, area.end()) - area.begin());
    auto inside = [&](int x, int y) {
      const std::size_t i = std::size_t(y) * std::size_t(r.width) + std::size_t(x);
      return r.regionMap[i] == region && (r.flags[i] & kFlagRegionLine) == 0;
    };
    for (int y = 1; y + 1 < r.height; ++y)
      for (int x = 1; x + 1 < r.width; ++x) {
        bool all = true;
        for (int k = 0; k < 9; ++k) all = all && inside(x + k % 3 - 1, y + k / 3 - 1);
        if (all) {
          at = {x, y};
          return;
        }
      }
    FAIL() << "no inner pixel";
  }
  // The tool paints the region `colour`; the window asks, and the test answers `button`.
  void AnotherProgramPaints(int colour, std::optional<int> button, const std::string& question) {
    w.prompt.Clear();
    w.prompt.QueueChoice(button);
    const std::string fill =
        std::to_string(at.x) + "," + std::to_string(at.y) + "=" + std::to_string(colour);
    ASSERT_EQ(RunSecondProcess({QUENDA_TOOL, "paint", w.Frame(1, ".qds"), "--fill", fill}), 0);
    ASSERT_TRUE(WaitWithEvents([&] { return !w.prompt.Texts().empty(); }, 20000))
        << "the window did not notice";
    EXPECT_EQ(w.prompt.Texts(), std::vector<std::string>{question});
    w.prompt.Clear();
  }
  int PaintOnDisk(const std::string& path) {
    Result<PaintFile> read = ReadPaintFile(path, regionCount, 0);
    EXPECT_TRUE(read.ok()) << read.message();
    return read.ok() ? read->regionColor[std::size_t(region)] : -1;
  }
  void PaintHere(int colour) {
    w.doc().SetCurrentColor(colour);
    w.doc().FillRegionAt(at.x, at.y);
    ASSERT_EQ(w.doc().image().regionColor[std::size_t(region)], colour);
    ASSERT_TRUE(w.doc().modified());
  }
  int Shown() { return w.doc().image().regionColor[std::size_t(region)]; }
  int CurrentFrame() { return w.doc().paintSequence()->current; }

  AnalyzerWindow w;
  int region = 0;
  int regionCount = 0;  // of walk1
  ImagePoint at;
};

TEST_F(AnalyzerChangedOnDisk, ReloadShowsTheOtherProgramsPaint) {
  AnotherProgramPaints(
      4, 0,
      Question("walk1.pnt was changed on disk by another program. Reload it?", kReloadButtons));
  EXPECT_EQ(Shown(), 4);
  EXPECT_FALSE(w.doc().modified());
  // Their paint is this window's version now: leaving the frame asks nothing and keeps it.
  w.Trigger("actionNextFrame");
  EXPECT_TRUE(w.prompt.Texts().empty());
  EXPECT_EQ(CurrentFrame(), 1);
  EXPECT_EQ(PaintOnDisk(w.Frame(1, ".pnt")), 4);
}

TEST_F(AnalyzerChangedOnDisk, LeavingTheFrameOverTheChangeAsksAndCancelStays) {
  PaintHere(3);
  AnotherProgramPaints(4, 1, kReloadPaint);
  EXPECT_EQ(Shown(), 3) << "kept this window's paint";

  w.prompt.QueueChoice(2);  // Cancel
  w.Trigger("actionNextFrame");
  EXPECT_EQ(w.prompt.Texts(), std::vector<std::string>{Overwrite("walk1.pnt")});
  EXPECT_EQ(CurrentFrame(), 0) << "stays on the frame";
  EXPECT_TRUE(w.doc().modified());
  EXPECT_EQ(PaintOnDisk(w.Frame(1, ".pnt")), 4);

  w.prompt.Clear();
  w.prompt.QueueChoice(0);  // Overwrite
  w.Trigger("actionNextFrame");
  EXPECT_EQ(w.prompt.Texts(), std::vector<std::string>{Overwrite("walk1.pnt")});
  EXPECT_EQ(CurrentFrame(), 1);
  EXPECT_EQ(PaintOnDisk(w.Frame(1, ".pnt")), 3);
}

TEST_F(AnalyzerChangedOnDisk, SaveAsOnClosingKeepsThisWindowsPaintUnderAnotherName) {
  PaintHere(3);
  AnotherProgramPaints(4, 1, kReloadPaint);
  w.savePaths.push_back(QString::fromStdString(w.dir.File("walk1-mine.pnt")));
  w.prompt.QueueChoice(1);  // Save As…
  w.prompt.QueueAnswer(true);
  // Closing the window ends sequence paint, which writes the frame in hand.
  w.frame->close();
  EXPECT_EQ(w.prompt.Texts(),
            (std::vector<std::string>{"Are you sure you want to exit sequence paint?",
                                      Overwrite("walk1.pnt")}));
  EXPECT_FALSE(w.frame->isVisible());
  EXPECT_EQ(PaintOnDisk(w.Frame(1, ".pnt")), 4) << "their file is untouched";
  EXPECT_EQ(PaintOnDisk(w.dir.File("walk1-mine.pnt")), 3);
  EXPECT_TRUE(std::filesystem::exists(w.dir.File("walk1-mine.rgn")));
}

TEST_F(AnalyzerChangedOnDisk, SaveAsInTheFrameShowsWhatTheFramesOwnFilesHold) {
  PaintHere(3);
  AnotherProgramPaints(4, 1, kReloadPaint);
  w.savePaths.push_back(QString::fromStdString(w.dir.File("walk1-mine")));
  w.prompt.QueueChoice(1);  // Save As…
  w.Trigger("actionNextFrame");
  EXPECT_EQ(CurrentFrame(), 1);
  EXPECT_EQ(PaintOnDisk(w.dir.File("walk1-mine.pnt")), 3) << "the extension is added";
  // Back on the frame: theirs, and nothing asked on the way.
  w.prompt.Clear();
  w.Trigger("actionPreviousFrame");
  EXPECT_TRUE(w.prompt.Texts().empty());
  EXPECT_EQ(Shown(), 4);
}

TEST_F(AnalyzerChangedOnDisk, ClosingOverTheChangeAsksAndCancelKeepsTheWindowOpen) {
  PaintHere(3);
  AnotherProgramPaints(4, 1, kReloadPaint);
  w.prompt.QueueAnswer(true);
  w.prompt.QueueChoice(2);  // Cancel
  w.frame->close();
  EXPECT_TRUE(w.frame->isVisible());
  EXPECT_TRUE(w.doc().sequencePainting());
  EXPECT_TRUE(w.doc().modified());
  EXPECT_EQ(PaintOnDisk(w.Frame(1, ".pnt")), 4);
}

TEST_F(AnalyzerChangedOnDisk, SavingRegionsOverADrawingAnalyzedElsewhereAsks) {
  w.prompt.QueueAnswer(true);
  ASSERT_TRUE(w.doc().ExitSequencePaint());
  w.Load(2);
  ASSERT_TRUE(w.doc().LoadRegionsFile(w.Frame(2, ".rgn")).ok());
  w.prompt.Clear();
  w.prompt.QueueChoice(1);  // Keep This Version
  ASSERT_EQ(RunSecondProcess({QUENDA_TOOL, "analyze", w.Frame(1, ".qds"), "--frames", "2-2",
                              "--yes", "--close-gaps", "4"}),
            0);
  ASSERT_TRUE(WaitWithEvents([&] { return !w.prompt.Texts().empty(); }, 20000));
  EXPECT_EQ(w.prompt.Texts(),
            std::vector<std::string>{Question(
                "walk2.rgn was changed on disk by another program. Reload it?", kReloadButtons)});
  const std::vector<uint8_t> theirs = ReadBytes(w.Frame(2, ".rgn"));

  w.prompt.Clear();
  w.prompt.QueueChoice(2);  // Cancel
  EXPECT_FALSE(w.doc().SaveRegions(w.Frame(2, ".rgn")).ok());
  EXPECT_EQ(w.prompt.Texts(), std::vector<std::string>{Overwrite("walk2.rgn")});
  EXPECT_EQ(ReadBytes(w.Frame(2, ".rgn")), theirs);

  w.prompt.Clear();
  w.prompt.QueueChoice(0);  // Overwrite
  EXPECT_TRUE(w.doc().SaveRegions(w.Frame(2, ".rgn")).ok());
  EXPECT_NE(ReadBytes(w.Frame(2, ".rgn")), theirs);
  // Written here, the file is this window's again: the next save asks nothing.
  w.prompt.Clear();
  EXPECT_TRUE(w.doc().SaveRegions(w.Frame(2, ".rgn")).ok());
  EXPECT_TRUE(w.prompt.Texts().empty());
}

// Batch Process over paint whose region files are gone: asked once before the run, naming the
// first such file and how many more; Keep leaves the paint as it was, and the summary says so.
TEST(AnalyzerBatchWindow, PaintWithNoOldRegionFileIsKeptWhenTheUserSaysSo) {
  AnalyzerWindow w;
  auto batch = [&] {
    w.prompt.QueueAnswer(true);  // "Process with current regions settings?"
    w.prompt.QueuePath(w.Frame(1, ".qds"));
    WhenModal<BatchProcessDialog>([&](BatchProcessDialog* dialog) {
      QTest::mouseClick(dialog->button(QStringLiteral("Select a Sequence")), Qt::LeftButton);
      QTest::mouseClick(dialog->button(QStringLiteral("PROCESS")), Qt::LeftButton);
    });
    w.Trigger("actionBatchProcess");
  };
  batch();
  std::vector<std::vector<uint8_t>> painted;
  for (int f : {1, 2}) {
    Result<RegionData> regions =
        ReadRegionFile(w.Frame(f, ".rgn"), kWidth, kHeight, RegionReader::Analyzer);
    ASSERT_TRUE(regions.ok()) << regions.message();
    std::vector<int32_t> paint = DefaultPaint(regions->regionCount);
    for (std::size_t r = 2; r < paint.size(); ++r) paint[r] = 3;
    ASSERT_TRUE(WritePaintFile(w.Frame(f, ".pnt"), paint));
    painted.push_back(ReadBytes(w.Frame(f, ".pnt")));
    std::filesystem::remove(w.Frame(f, ".rgn"));
  }
  w.prompt.Clear();
  w.prompt.QueueChoice(0);  // Keep
  batch();
  EXPECT_EQ(w.prompt.Texts(),
            (std::vector<std::string>{
                "Process with current regions settings?",
                Question("walk1.pnt and 1 more paint file have no old region file to check their "
                         "paint against. Keep each as it is where the new regions are as many (it "
                         "may then colour other regions than it was painted on), or set each "
                         "aside as NAME.pnt.stale, to take back by hand?",
                         "[Keep] [Set Aside]"),
                "walk1.rgn: paint kept unchecked: no old region file to check it against\n"
                "walk2.rgn: paint kept unchecked: no old region file to check it against"}));
  EXPECT_EQ(ReadBytes(w.Frame(1, ".pnt")), painted[0]);
  EXPECT_EQ(ReadBytes(w.Frame(2, ".pnt")), painted[1]);
  EXPECT_FALSE(std::filesystem::exists(w.Frame(1, ".pnt.stale")));
  EXPECT_TRUE(std::filesystem::exists(w.Frame(1, ".rgn")));
  EXPECT_EQ(w.prompt.unexpected(), 0);
}

}  // namespace
}  // namespace quenda
