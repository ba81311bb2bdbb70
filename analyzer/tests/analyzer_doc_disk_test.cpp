// The analyzer's document over files another program changes while sequence paint holds them:
// what is asked before each write, what each answer leaves on disk, and that its own writes
// never count as another program's.
#include <gtest/gtest.h>

#include <filesystem>

#include "analyzer/core/analyzer_doc.h"
#include "common/file_io.h"
#include "common/paint_file.h"
#include "common/scripted_prompt.h"
#include "samples/sample_drawing.h"
#include "testing/test_support.h"

namespace quenda {
namespace {

using testing::ReadBytes;
using testing::WriteBytes;

std::string Overwrite(const std::string& names, bool one = true) {
  return "Quenda Analyzer\n" + names + (one ? " was" : " were") +
         " changed on disk by another program since " + (one ? "it was" : "they were") +
         " read here. Saving replaces those changes with this window's.\n"
         "[Overwrite] [Save As…] [Cancel]";
}

// walk1..3 analysed, sequence paint begun on walk1 with one region painted.
struct HeldSequence : ::testing::Test {
  void SetUp() override {
    ASSERT_TRUE(
        samples::WriteSampleSequence(dir.path(), "walk", 3, {.width = 150, .height = 110}, prompt));
    const DrawingSequence sequence = OpenSequence(File(1, ".qds"), "walk1");
    NullProgress quiet;
    ASSERT_EQ(RunBatchProcess(sequence, AllFrames(sequence), {}, prompt, quiet).WrittenCount(), 3);
    ASSERT_TRUE(doc.BeginSequencePaint(sequence));
    regionCount = doc.image().regions.regionCount;
    Paint(3);
    prompt.Clear();
  }
  std::string File(int n, const char* extension) const {
    return dir.File("walk" + std::to_string(n) + extension);
  }
  // The first region off the lines and the background, filled with `colour`.
  void Paint(int colour) {
    const RegionData& regions = doc.image().regions;
    for (std::size_t i = 0; i < regions.PixelCount(); ++i)
      if ((regions.flags[i] & kFlagRegionLine) == 0 && regions.regionMap[i] > kBackgroundRegion) {
        region = regions.regionMap[i];
        doc.SetCurrentColor(colour);
        doc.FillRegionAt(int(i % 150), int(i / 150));
        ASSERT_EQ(doc.image().regionColor[region], colour);
        return;
      }
  }
  int OnDisk(int frame) {
    Result<PaintFile> read = ReadPaintFile(File(frame, ".pnt"), regionCount, 0);
    return read ? read->regionColor[region] : -1;
  }
  // Another program's paint of frame 1: the region `colour`.
  void TheirPaint(int colour) {
    std::vector<int32_t> paint = DefaultPaint(regionCount);
    paint[region] = colour;
    ASSERT_TRUE(WritePaintFile(File(1, ".pnt"), paint));
  }

  testing::TempDir dir;
  ScriptedPrompt prompt;
  CAnalyzerDoc doc{prompt};
  int regionCount = 0;
  std::size_t region = 0;
};

TEST_F(HeldSequence, ItsOwnWritesAreNeverAskedAbout) {
  ASSERT_TRUE(doc.NextFrame());
  ASSERT_TRUE(doc.PreviousFrame());
  Paint(4);
  ASSERT_TRUE(doc.NextFrame());
  prompt.QueueAnswer(true);
  ASSERT_TRUE(doc.ExitSequencePaint());
  EXPECT_EQ(prompt.Texts(),
            std::vector<std::string>{"Are you sure you want to exit sequence paint?"});
  EXPECT_EQ(OnDisk(1), 4);
}

TEST_F(HeldSequence, EachAnswerOverTheirPaint) {
  struct Case {
    const char* name;
    std::optional<int> answer;
    bool picker;
    bool left;   // the frame was left
    int onDisk;  // frame 1's paint of the region afterwards
  };
  const Case cases[] = {
      {"Cancel", 2, true, false, 5},
      {"no answer (no one to ask)", std::nullopt, true, false, 5},
      {"Save As… without a picker (headless) is Cancel", 1, false, false, 5},
      {"Save As… picked nothing", 1, true, false, 5},
      {"Overwrite", 0, true, true, 3},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TheirPaint(5);
    bool asked = false;
    doc.SetSavePathPicker(c.picker
                              ? CAnalyzerDoc::SavePathPicker(
                                    [&](std::string_view, std::string_view, const std::string&) {
                                      asked = true;
                                      return std::optional<std::string>();
                                    })
                              : CAnalyzerDoc::SavePathPicker());
    prompt.Clear();
    prompt.QueueChoice(c.answer);
    EXPECT_EQ(doc.NextFrame().ok(), c.left);
    EXPECT_EQ(prompt.Texts(), std::vector<std::string>{Overwrite("walk1.pnt")});
    EXPECT_EQ(doc.paintSequence()->current, c.left ? 1 : 0);
    EXPECT_EQ(OnDisk(1), c.onDisk);
    EXPECT_EQ(asked, c.answer == 1 && c.picker);
    EXPECT_EQ(doc.modified(), !c.left);
  }
}

TEST_F(HeldSequence, ReloadShowsTheirPaintAndDropsThisOne) {
  TheirPaint(5);
  EXPECT_EQ(doc.heldFiles(),
            (std::vector<std::string>{dir.File("walk.col"), File(1, ".pnt"), File(1, ".rgn")}));
  EXPECT_TRUE(doc.ChangedOnDisk(File(1, ".pnt")));
  EXPECT_FALSE(doc.ChangedOnDisk(File(1, ".rgn")));
  doc.ReloadFromDisk();
  EXPECT_EQ(doc.image().regionColor[region], 5);
  EXPECT_FALSE(doc.modified());
  EXPECT_FALSE(doc.ChangedOnDisk(File(1, ".pnt")));
  EXPECT_TRUE(doc.NextFrame());
  EXPECT_TRUE(prompt.Texts().empty());
}

TEST_F(HeldSequence, AColourSetSavedElsewhereIsNotWrittenOverUnasked) {
  const std::string set = dir.File("walk.col");
  ASSERT_TRUE(doc.AddColor("Sand", 200, 180, 120));
  prompt.QueueAnswer(true);
  ASSERT_TRUE(doc.ExitSequencePaint());  // writes the set, now this run's
  ASSERT_TRUE(doc.BeginSequencePaint(OpenSequence(File(1, ".qds"), "walk1")));
  ASSERT_TRUE(doc.AddColor("Moss", 40, 90, 30));
  // Another program renames a colour.
  std::string theirs = ReadFileText(set).value_or("");
  ASSERT_NE(theirs.find("Sand"), std::string::npos);
  theirs.replace(theirs.find("Sand"), 4, "Dune");
  testing::WriteText(set, theirs);

  prompt.Clear();
  prompt.QueueAnswer(true);
  prompt.QueueChoice(2);  // Cancel
  ASSERT_TRUE(doc.ExitSequencePaint());
  EXPECT_EQ(prompt.Texts(),
            (std::vector<std::string>{"Are you sure you want to exit sequence paint?",
                                      Overwrite("walk.col")}));
  EXPECT_EQ(ReadFileText(set), theirs);
  // The colours stay in the program, for Save Color Set elsewhere.
  EXPECT_EQ(doc.colors().entries[std::size_t(doc.colors().count - 1)].name, "Moss");
}

}  // namespace
}  // namespace quenda
