#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <deque>
#include <tuple>

#include "common/scripted_prompt.h"
#include "scanner/core/scanner_doc.h"
#include "testing/test_support.h"
#include "twain/memory_device.h"
#include "ui/tests/second_process.h"

namespace quenda::scanner {
namespace {

using ::quenda::testing::ListDirectory;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

// Answers the frame-number dialogs from a queue (the proposal itself when the queue holds
// nothing for it) and remembers what each dialog proposed.
class ScriptedDialogs final : public ScannerDialogs {
 public:
  std::optional<FrameTag> AskNewFrameNumber(const FrameTag& proposed) override {
    return Next(proposed);
  }
  std::optional<FrameTag> AskChangeFrameNumber(const FrameTag& current) override {
    return Next(current);
  }
  std::deque<std::optional<FrameTag>> answers;
  std::vector<int> proposed;

 private:
  std::optional<FrameTag> Next(const FrameTag& shown) {
    proposed.push_back(shown.number);
    if (answers.empty()) return shown;
    auto answer = answers.front();
    answers.pop_front();
    return answer;
  }
};

struct ScannerDocTest : ::testing::Test {
  ScannerDocTest() { doc.AttachSession(&session); }

  // A small drawing scan on disk, as an earlier session left it.
  void WriteFrame(const std::string& name) {
    const DrawingScan scan{100, kPegBottom, 0, 0, Raster(3, 2, 1, 200)};
    ASSERT_TRUE(WriteDrawingScan(dir.File(name), scan, ScanWriter::Scanner).ok());
  }

  ::quenda::testing::TempDir dir;
  twain::MemoryScanner scanner;
  twain::MemoryDeviceManager manager{scanner};
  ScriptedPrompt prompt;
  ScriptedDialogs dialogs;
  MemoryProfile profile;
  CScannerDoc doc{prompt, dialogs, profile};
  ScannerSession session{manager, prompt, doc};
};

TEST_F(ScannerDocTest, NewSequencePreviewsThenScansFrameAfterFrameIntoTheSelection) {
  ASSERT_TRUE(doc.NewSequence(dir.path(), "walk", kPegBottom, 100));
  ASSERT_TRUE(doc.scanModeActive());
  // The whole bed at 45 dpi, with the first preview's selection.
  EXPECT_EQ(
      std::tuple(doc.picture().picture.width(), doc.picture().picture.height(), doc.selection()),
      std::tuple(382, 526, Selection{95, 286, 394, 131}));
  EXPECT_EQ(profile.Get("SCAN_SETTINGS", "Last_Seq_Name"), "walk");

  prompt.QueueChoice(0);  // "No. Continue Scan"
  prompt.QueueChoice(1);  // "Yes. Stop scan"
  EXPECT_EQ(doc.ScanSelection(), 2);
  EXPECT_THAT(dialogs.proposed, ElementsAre(1, 2));
  EXPECT_THAT(ListDirectory(dir.path()), ElementsAre("walk1.qds", "walk2.qds"));
  auto scan = ReadDrawingScan(dir.File("walk2.qds"), ScanReader::Scanner);
  ASSERT_TRUE(scan.ok()) << scan.message();
  // Preview pixels 95 and 394 (from the bottom) of an 11.699-inch bed, placed at 100 dpi.
  // The preview stays on show so the area can be drawn again.
  EXPECT_EQ(
      std::tuple(scan->scan.xPosition, scan->scan.yPosition, scan->scan.dpi,
                 scan->scan.picture.width(), doc.currentFrame(), doc.picture().picture.width()),
      std::tuple(211, 294, 100, 424, 1, 382));
  // The area the frames came from is kept for the other programs that scan.
  const twain::ScanSettings kept = twain::LoadScanSettings(profile, {});
  ASSERT_TRUE(kept.area);
  EXPECT_NEAR(kept.area->left * 100, 211, 1);
  EXPECT_NEAR(kept.area->top * 100, 294, 1);
  EXPECT_NEAR((kept.area->right - kept.area->left) * 100, 424, 1);
}

TEST_F(ScannerDocTest, ExistingSequencesAndFramesAreNotStartedAgainAndTheNextNumberIsProposed) {
  for (const char* name : {"walk1.qds", "walk2.qds", "walk7.qds"}) WriteFrame(name);
  EXPECT_FALSE(doc.NewSequence(dir.path(), "walk", kPegBottom, 100));
  EXPECT_FALSE(doc.scanModeActive());
  ASSERT_TRUE(doc.OpenSequenceAt(dir.File("walk2.qds")));
  EXPECT_EQ(doc.currentFrame(), 1);
  doc.StartScan();
  ASSERT_TRUE(doc.scanModeActive());
  dialogs.answers = {FrameTag{2, kNoLetter}, std::nullopt};
  EXPECT_EQ(doc.ScanSelection(), 0);
  EXPECT_THAT(dialogs.proposed, ElementsAre(8, 2));
  EXPECT_THAT(prompt.Texts(),
              ElementsAre("The sequence exists, Please open the sequence to edit it in scanner",
                          "Sorry, that frame exists."));
}

TEST_F(ScannerDocTest, ReadErrorDuringAFrameLeavesNoFileBehind) {
  ASSERT_TRUE(doc.NewSequence(dir.path(), "walk", kPegBottom, 100));
  scanner.readFailsAfter = 5000;
  EXPECT_EQ(doc.ScanSelection(), 0);
  EXPECT_THAT(ListDirectory(dir.path()), IsEmpty());
  EXPECT_EQ(doc.currentFrame(), -1);
  // Only an area a frame came from is kept; one that cannot be kept is said, and the frame stays.
  EXPECT_FALSE(profile.Get("SCAN_SETTINGS", "Area_Left"));
  scanner.readFailsAfter = -1;
  profile.refuseWrites = true;
  prompt.QueueChoice(1);  // "Yes. Stop scan"
  EXPECT_EQ(doc.ScanSelection(), 1);
  EXPECT_THAT(prompt.Texts(), ::testing::Contains("Problem Saving scan area to ini file"));
  EXPECT_THAT(ListDirectory(dir.path()), ElementsAre("walk1.qds"));
}

// A read-only frame is kept; the last frame deleted leaves nothing loaded.
TEST_F(ScannerDocTest, DeletingAsksKeepsAReadOnlyFrameAndTheLastLeavesNothingLoaded) {
  WriteFrame("walk1.qds");
  ::quenda::testing::WriteText(dir.File("walk1.rgn"), "regions");
  ::quenda::testing::MakeReadOnly(dir.File("walk1.qds"));
  ASSERT_TRUE(doc.OpenSequenceAt(dir.File("walk1.qds")));
  prompt.QueueAnswer(true);
  EXPECT_FALSE(doc.DeleteFrame());
  EXPECT_THAT(ListDirectory(dir.path()), ElementsAre("walk1.qds", "walk1.rgn"));
  ::quenda::testing::MakeWritable(dir.File("walk1.qds"));
  prompt.QueueAnswer(true);
  ASSERT_TRUE(doc.DeleteFrame());
  const std::string asked = "Are you sure you want to delete frame walk1";
  EXPECT_THAT(prompt.Texts(),
              ElementsAre(asked, "Can not delete frame, The file may be read-only", asked));
  EXPECT_THAT(ListDirectory(dir.path()), IsEmpty());
  EXPECT_EQ(std::tuple(doc.currentFrame(), doc.hasPicture()), std::tuple(-1, false));
}

TEST_F(ScannerDocTest, RenumberMovesTheFrameWithItsRegionFileAndRefusesATakenNumber) {
  WriteFrame("walk1.qds");
  WriteFrame("walk2.qds");
  ::quenda::testing::WriteText(dir.File("walk1.rgn"), "regions");
  ASSERT_TRUE(doc.OpenSequenceAt(dir.File("walk1.qds")));
  dialogs.answers = {FrameTag{2, kNoLetter}, FrameTag{3, 'a'}};
  EXPECT_FALSE(doc.RenumberFrame());
  EXPECT_THAT(prompt.Texts(), ElementsAre("Sorry, that frame exists."));
  // A paint file left by a drawing that is gone would describe the moved one: it goes.
  ::quenda::testing::WriteText(dir.File("walk3a.pnt"), "old paint");
  ASSERT_TRUE(doc.RenumberFrame());
  EXPECT_THAT(ListDirectory(dir.path()), ElementsAre("walk2.qds", "walk3a.qds", "walk3a.rgn"));
  EXPECT_EQ(doc.currentFrame(), 1);
}

TEST_F(ScannerDocTest, SettingsDefaultWhenMissingAndRefusedSavesAreReported) {
  EXPECT_EQ(std::tuple(doc.previewDpi(), doc.settings().scanDpi, doc.settings().pegButton),
            std::tuple(45, -1, -1));
  profile.refuseWrites = true;
  EXPECT_TRUE(doc.SetPreviewDpi(60));
  EXPECT_TRUE(doc.SetCalibration({10, 20}));
  EXPECT_THAT(prompt.Texts(), ElementsAre("Problem Saving preview dpi to ini file",
                                          "Problem Saving brightness to ini file"));
  profile.refuseWrites = false;
  ASSERT_TRUE(doc.SetCalibration({10, 20}));
  CScannerDoc reopened(prompt, dialogs, profile);
  EXPECT_EQ(reopened.calibration().contrast, 20);
}

// While the scan of walk1 runs, the real tool writes a drawing of its own as walk1.qds: the scan
// is never written over it unasked, and each answer leaves what it says.
TEST_F(ScannerDocTest, AFrameAnotherProgramWroteDuringTheScanIsNotWrittenOverUnasked) {
  struct Case {
    const char* name;
    std::optional<int> answer;
    bool picker;
    bool ours;          // walk1.qds holds the scan afterwards
    const char* saved;  // where else the scan went
  };
  const Case cases[] = {
      {"Cancel", 2, true, false, nullptr},
      {"no answer (no one to ask)", std::nullopt, true, false, nullptr},
      {"Save As… without a picker (headless) is Cancel", 1, false, false, nullptr},
      {"Save As…", 1, true, false, "walk1-mine.qds"},
      {"Overwrite", 0, true, true, nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ::quenda::testing::TempDir folder;
    CScannerDoc fresh{prompt, dialogs, profile};
    ScannerSession own{manager, prompt, fresh};
    fresh.AttachSession(&own);
    fresh.SetSavePathPicker(
        c.picker ? CScannerDoc::SavePathPicker(
                       [&](std::string_view, std::string_view, const std::string&) {
                         return std::optional<std::string>(folder.File("walk1-mine"));
                       })
                 : CScannerDoc::SavePathPicker());
    ASSERT_TRUE(fresh.NewSequence(folder.path(), "walk", kPegBottom, 100));
    bool written = false;
    scanner.onRead = [&] {
      if (std::exchange(written, true)) return;
      ASSERT_EQ(::quenda::testing::RunSecondProcess({QUENDA_TOOL, "sample", folder.path(), "--name",
                                                     "walk", "--frames", "1", "--size", "40x30"}),
                0);
    };
    prompt.Clear();
    prompt.QueueChoice(c.answer);
    if (c.ours) prompt.QueueChoice(1);  // "Yes. Stop scan"
    EXPECT_EQ(fresh.ScanSelection(), c.ours ? 1 : 0);
    scanner.onRead = nullptr;
    ASSERT_TRUE(written);
    ASSERT_FALSE(prompt.Texts().empty());
    EXPECT_EQ(prompt.Texts()[0],
              "Quenda Scanner\nwalk1.qds was changed on disk by another program since it was "
              "read here. Saving replaces those changes with this window's.\n[Overwrite] [Save "
              "As…] [Cancel]");
    auto onDisk = ReadDrawingScan(folder.File("walk1.qds"), ScanReader::Scanner);
    ASSERT_TRUE(onDisk.ok()) << onDisk.message();
    EXPECT_EQ(onDisk->scan.picture.width() != 40, c.ours);
    if (c.saved) {
      auto saved = ReadDrawingScan(folder.File(c.saved), ScanReader::Scanner);
      ASSERT_TRUE(saved.ok()) << saved.message();
      EXPECT_NE(saved->scan.picture.width(), 40);
    }
  }
}

// The real tool changes the frame on show in a process of its own: Delete and Frame No say so
// before they touch its files, and Cancel (or no one to ask) leaves every file as it is.
TEST_F(ScannerDocTest, DeleteAndRenumberAskBeforeTakingAnotherProgramsChangeAlong) {
  struct Case {
    const char* name;
    bool renumber;
    bool analyze;  // the tool analyzes the sequence rather than drawing it again
    std::optional<int> answer;
    std::vector<std::string> after;
  };
  // The tool's sample sequence comes with its colour set.
  const std::vector<std::string> untouched{"walk.col", "walk1.qds", "walk2.qds"};
  const Case cases[] = {
      {"Delete, Cancel", false, false, 1, untouched},
      {"Delete, no one to ask", false, false, std::nullopt, untouched},
      {"Delete, Delete", false, false, 0, {"walk.col", "walk1.qds"}},
      {"Renumber, Cancel", true, false, 1, untouched},
      {"Renumber, Renumber", true, false, 0, {"walk.col", "walk1.qds", "walk5.qds"}},
      {"Delete of a frame analyzed since, Delete",
       false,
       true,
       0,
       {"walk.col", "walk1.qds", "walk1.rgn"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ::quenda::testing::TempDir folder;
    auto tool = [&](std::vector<std::string> words) {
      words.insert(words.begin(), QUENDA_TOOL);
      return ::quenda::testing::RunSecondProcess(words);
    };
    ASSERT_EQ(tool({"sample", folder.path(), "--name", "walk", "--frames", "2", "--size", "40x30"}),
              0);
    CScannerDoc fresh{prompt, dialogs, profile};
    ASSERT_TRUE(fresh.OpenSequenceAt(folder.File("walk2.qds")));
    if (c.analyze)
      ASSERT_EQ(tool({"analyze", folder.File("walk1.qds"), "--yes"}), 0);
    else
      ASSERT_EQ(tool({"sample", folder.path(), "--name", "walk", "--frames", "2", "--size", "60x30",
                      "--force"}),
                0);
    prompt.Clear();
    if (!c.renumber) prompt.QueueAnswer(true);  // "Are you sure you want to delete frame walk2"
    prompt.QueueChoice(c.answer);
    dialogs.answers = {FrameTag{5, kNoLetter}};
    const bool done = c.renumber ? fresh.RenumberFrame() : fresh.DeleteFrame();
    EXPECT_EQ(done, c.answer == 0);
    ASSERT_FALSE(prompt.Texts().empty());
    const std::string changed = c.analyze ? "walk2.rgn was" : "walk2.qds was";
    EXPECT_EQ(prompt.Texts().back(),
              "Quenda Scanner\n" + changed +
                  " changed on disk by another program since it was read here. " +
                  (c.renumber ? "Renumbering moves the files as they are now to frame walk5.\n"
                                "[Renumber] [Cancel]"
                              : "Deleting frame walk2 removes those changes.\n[Delete] [Cancel]"));
    EXPECT_EQ(ListDirectory(folder.path()), c.after);
    // What the other program wrote is what stays, or what moved.
    if (c.renumber || c.answer != 0) {
      auto kept = ReadDrawingScan(folder.File(c.answer == 0 ? "walk5.qds" : "walk2.qds"),
                                  ScanReader::Scanner);
      ASSERT_TRUE(kept.ok()) << kept.message();
      EXPECT_EQ(kept->scan.picture.width(), 60);
    }
  }
}

TEST_F(ScannerDocTest, AFrameChangedOnDiskIsReadAgainOnReload) {
  WriteFrame("walk1.qds");
  WriteFrame("walk2.qds");
  ASSERT_TRUE(doc.OpenSequenceAt(dir.File("walk2.qds")));
  EXPECT_EQ(doc.heldFiles(), std::vector<std::string>{dir.File("walk2.qds")});
  EXPECT_FALSE(doc.ChangedOnDisk(dir.File("walk2.qds")));
  // Another program adds a frame before it and redraws it wider.
  WriteFrame("walk0.qds");
  const DrawingScan wider{100, kPegBottom, 0, 0, Raster(5, 2, 1, 90)};
  ASSERT_TRUE(WriteDrawingScan(dir.File("walk2.qds"), wider, ScanWriter::Scanner).ok());
  // It paints the frame as well: reading the drawing again does not take that as read.
  ::quenda::testing::WriteBytes(dir.File("walk2.pnt"), std::vector<uint8_t>(8, 1));
  EXPECT_TRUE(doc.ChangedOnDisk(dir.File("walk2.qds")));
  doc.ReloadFromDisk();
  EXPECT_EQ(std::tuple(doc.currentFrame(), doc.frame().picture.width()), std::tuple(2, 5));
  EXPECT_FALSE(doc.ChangedOnDisk(dir.File("walk2.qds")));
  EXPECT_TRUE(doc.ChangedOnDisk(dir.File("walk2.pnt")));
}

TEST(NewSequenceForm, StartChecksInOrder) {
  ::quenda::testing::TempDir dir;
  const std::pair<NewSequenceForm, const char*> cases[] = {
      {{"", "", -1, -1}, "You must enter a valid sequence name"},
      {{"walk2", "", -1, -1}, "Sorry, only letters are allowed for the sequence name."},
      {{"walk", "", -1, -1}, "You must select a storage path for the sequence."},
      {{"walk", dir.File("none/"), -1, -1}, "Sorry, the storage path does not exist."},
      {{"walk", dir.path(), -1, -1}, "You must select a peg position."},
      {{"walk", dir.path(), 3, -1}, "You must select a dpi."},
      {{"walk", dir.path(), 3, 150}, ""},
  };
  for (const auto& [form, message] : cases)
    EXPECT_EQ(CheckNewSequenceForm(form).message(), message);
}

}  // namespace
}  // namespace quenda::scanner
