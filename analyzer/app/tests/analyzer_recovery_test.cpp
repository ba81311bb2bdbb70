// Crash recovery in the analyzer: a run killed in sequence paint with paint it had not written
// gives the paint back at the next start (Restore), or forgets it (Discard).

#include <gtest/gtest.h>

#include "analyzer/app/analyzer_frame.h"
#include "cli/tests/tool_run.h"
#include "common/paint_file.h"
#include "samples/sample_drawing.h"
#include "ui/tests/kill_test.h"

namespace quenda {
namespace {

using namespace quenda::testing;

// The analyzer's window on the test's folder: its profile and recovery copies there.
struct AnalyzerOn : WindowOn<CAnalyzerFrame> {
  explicit AnalyzerOn(const std::string& folder)
      : WindowOn(folder, "analyzer", [](ScriptedPrompt& prompt, Settings& settings) {
          return std::make_unique<CAnalyzerFrame>(&prompt, SavePathPicker{}, nullptr, &settings);
        }) {}
};

// The paint of every region but the background, as a paint file without its painted count.
std::vector<int32_t> PaintOf(const std::vector<uint8_t>& bytes, int regionCount) {
  return DecodePaintFile(bytes, regionCount, 0).regionColor;
}

// The crashing run: in sequence paint, on the second drawing, fills every region it can reach
// with colour 3 through the Paint Region tool, and is killed before it leaves the frame.
QUENDA_CRASHING_RUN(AnalyzerPaintsASecondFrameAndIsKilled) {
  AnalyzerOn w(folder);
  w.frame->recovery().SetInterval(20);
  ASSERT_TRUE(w.doc().BeginSequencePaint(OpenSequence(folder + "walk1.qds", "walk1.qds")).ok());
  w.frame->Action("actionNextFrame")->trigger();
  ASSERT_EQ(w.doc().paintSequence()->current, 1);
  w.doc().SetCurrentColor(3);
  const RegionData& regions = w.doc().image().regions;
  for (std::size_t i = 0; i < regions.PixelCount(); i += 7)
    if ((regions.flags[i] & kFlagRegionLine) == 0 && regions.regionMap[i] > kBackgroundRegion)
      w.doc().FillRegionAt(int(i % std::size_t(regions.width)),
                           int(i / std::size_t(regions.width)));
  ASSERT_TRUE(w.doc().modified());
  // Written by the timer, as every two minutes in use.
  ASSERT_TRUE(WaitWithEvents([&] { return w.frame->recovery().written(); }));
  WriteBytes(folder + "expected.pnt", EncodePaintFile(w.doc().image().regionColor));
  SayReadyAndWaitForTheKill(folder);
}

class AnalyzerKill : public KillTest {
 protected:
  AnalyzerKill() : KillTest(QStringLiteral("walk2.qds")) {}
  void SetUp() override {
    ScriptedPrompt quiet;
    ASSERT_TRUE(samples::WriteSampleSequence(dir.path(), "walk", 3,
                                             {.width = 320, .height = 240, .dpi = 100}, quiet)
                    .ok());
    const cli::ToolOutput run = cli::RunTool({"analyze", dir.File("walk1.qds"), "--yes"});
    ASSERT_EQ(run.code, 0) << run.err;
    before = ReadBytes(dir.File("walk2.pnt"));
    ASSERT_NO_FATAL_FAILURE(Crash("AnalyzerPaintsASecondFrameAndIsKilled"));
    expected = ReadBytes(dir.File("expected.pnt"));
    ASSERT_FALSE(expected.empty());
    // The paint never reached the drawing's own file.
    ASSERT_EQ(ReadBytes(dir.File("walk2.pnt")), before);
    ASSERT_EQ(ListRecoverable(dir.File("recovery"), "analyzer").size(), 1u);
  }
  std::vector<uint8_t> before;
  std::vector<uint8_t> expected;
};

TEST_F(AnalyzerKill, RestoreGivesThePaintBackUnsavedUntilTheFrameIsLeft) {
  AnalyzerOn w(dir.path());
  Answer(&RecoveryDialog::restoreButton);
  ASSERT_TRUE(w.frame->OfferRecovery());
  ASSERT_TRUE(w.doc().sequencePainting());
  EXPECT_EQ(w.doc().paintSequence()->current, 1);
  EXPECT_TRUE(w.doc().modified());
  EXPECT_EQ(EncodePaintFile(w.doc().image().regionColor), expected);
  EXPECT_TRUE(w.prompt.Texts().empty());
  // The crashed run's copy is gone; this run keeps the changes under its own.
  EXPECT_TRUE(ListRecoverable(dir.File("recovery"), "analyzer").empty());
  EXPECT_TRUE(w.frame->recovery().written());

  // Leaving the frame writes it, and the copy goes with the unsaved change.
  const int regionCount = w.doc().image().regions.regionCount;
  w.frame->Action("actionNextFrame")->trigger();
  EXPECT_EQ(PaintOf(ReadBytes(dir.File("walk2.pnt")), regionCount), PaintOf(expected, regionCount));
  EXPECT_FALSE(w.frame->recovery().written());
}

TEST_F(AnalyzerKill, DiscardRemovesTheCopyAndPaintsNothing) {
  AnalyzerOn w(dir.path());
  Answer(&RecoveryDialog::discardButton);
  EXPECT_FALSE(w.frame->OfferRecovery());
  EXPECT_FALSE(w.doc().sequencePainting());
  EXPECT_TRUE(ListDirectory(dir.File("recovery")).empty());
  EXPECT_EQ(ReadBytes(dir.File("walk2.pnt")), before);
}

TEST_F(AnalyzerKill, LaterKeepsTheCopyAndACleanExitLeavesNoneOfItsOwn) {
  {
    AnalyzerOn w(dir.path());
    Answer(&RecoveryDialog::laterButton);
    EXPECT_FALSE(w.frame->OfferRecovery());
    // This run paints the first frame and ends cleanly: the paint is written, its own copy
    // goes, the old one stays.
    ASSERT_TRUE(w.doc().BeginSequencePaint(OpenSequence(dir.File("walk1.qds"), "walk1.qds")).ok());
    w.doc().SetCurrentColor(3);
    const RegionData& regions = w.doc().image().regions;
    for (std::size_t i = 0; i < regions.PixelCount(); ++i)
      if ((regions.flags[i] & kFlagRegionLine) == 0 && regions.regionMap[i] > kBackgroundRegion) {
        w.doc().FillRegionAt(int(i % std::size_t(regions.width)),
                             int(i / std::size_t(regions.width)));
        break;
      }
    ASSERT_TRUE(w.doc().modified());
    w.frame->recovery().Refresh();
    ASSERT_TRUE(w.frame->recovery().written());
    const std::vector<int32_t> painted = w.doc().image().regionColor;
    const int regionCount = regions.regionCount;  // the drawing goes with sequence paint
    w.prompt.QueueAnswer(true);                   // "Are you sure you want to exit sequence paint?"
    w.frame->close();
    EXPECT_EQ(PaintOf(ReadBytes(dir.File("walk1.pnt")), regionCount), painted);
  }
  EXPECT_EQ(ListRecoverable(dir.File("recovery"), "analyzer").size(), 1u);
  EXPECT_EQ(ListDirectory(dir.File("recovery")).size(), 1u);
}

}  // namespace
}  // namespace quenda
