#include <gtest/gtest.h>

#include "common/scripted_prompt.h"
#include "composer/core/clip_source.h"
#include "composer/core/composer_doc.h"
#include "composer/tests/composer_test_files.h"
#include "testing/test_support.h"

namespace quenda {
namespace {

using testing::TempDir;

TEST(ClipPath, SplitsDirectoryNameAndDigits) {
  Result<ClipPathParts> parts = SplitClipPath("/shots/a1/walk007.tga");
  ASSERT_TRUE(parts.ok());
  EXPECT_EQ(parts->directory, "/shots/a1/");
  EXPECT_EQ(parts->name, "walk");
  EXPECT_EQ(parts->digitCount, 3);
  EXPECT_EQ(parts->startNumber, 7);
  Result<ClipPathParts> windows = SplitClipPath("C:\\bg\\title.tga");
  ASSERT_TRUE(windows.ok());
  EXPECT_EQ(windows->directory, "C:\\bg\\");
  EXPECT_EQ(windows->digitCount, 0);
  EXPECT_EQ(SplitClipPath("/x/walk2run05.tga").message(),
            "Invalid filename format in clip file /x/walk2run05.tga\nNumbers should only appear "
            "at the end of clip name.");
  EXPECT_FALSE(SplitClipPath("/x/walk12").ok());
}

class ClipSources : public ::testing::Test {
 protected:
  ClipSources() : doc(prompt) { testing::StartNewMovie(doc, 200, 100, 5); }
  const ClipRecord& Clip(int i) { return doc.composition().clips[std::size_t(i)]; }
  TempDir dir;
  ScriptedPrompt prompt;
  CComposerDoc doc;
};

TEST_F(ClipSources, PickingOneFrameFindsTheWholeSequence) {
  testing::WriteClipSequence(dir.path(), "walk", 3, 3, 11);
  prompt.QueuePath(dir.File("walk007.tga"));
  prompt.QueueAnswer(true);  // expand the movie
  ASSERT_TRUE(doc.AddClip());
  const ClipRecord& clip = Clip(0);
  EXPECT_EQ(clip.name, "walk");
  EXPECT_EQ(clip.digitCount, 3);
  EXPECT_EQ(clip.firstFrame, 3);
  EXPECT_EQ(clip.lastFrame, 11);
  EXPECT_EQ(clip.span, 8);
  EXPECT_EQ(clip.label, "walk (1)");
  EXPECT_EQ(clip.imageWidth, 8);
  EXPECT_EQ(clip.selected, 1);
  EXPECT_DOUBLE_EQ(clip.tracks[kPositionX].Evaluate(0), 100.0);
  EXPECT_DOUBLE_EQ(clip.tracks[kPositionY].Evaluate(0), 50.0);
  EXPECT_EQ(ClipFramePath(clip, 3), dir.File("walk003.tga"));
  EXPECT_EQ(doc.composition().frames, 9);
  EXPECT_EQ(prompt.Texts().back().substr(0, 36), "The new sequence does not fit in the");
}

// Single images count their labels; a new clip stands in front of the selection.
TEST_F(ClipSources, SingleImagesCountTheirLabelsAndGapsEndSequences) {
  testing::WriteClipImage(dir.File("a.tga"), 4, 4, 24);
  for (int i = 0; i < 3; ++i) ASSERT_TRUE(doc.AddClipFromFile(dir.File("a.tga")));
  EXPECT_EQ(Clip(0).label, "a (3)");
  EXPECT_EQ(Clip(1).label, "a (2)");
  doc.Select(2);
  ASSERT_TRUE(doc.AddClipFromFile(dir.File("a.tga")));
  EXPECT_EQ(Clip(2).label, "a (4)");
  EXPECT_EQ(Clip(2).selected, 1);
  EXPECT_EQ(Clip(2).singleImage, 1);
  EXPECT_EQ(Clip(3).label, "a (1)");
  EXPECT_EQ(Clip(3).selected, 0);

  testing::WriteClipSequence(dir.path(), "gap", 3, 1, 5);
  testing::WriteClipSequence(dir.path(), "gap", 3, 7, 7);
  ClipRecord clip = FreshClipRecord();
  ASSERT_TRUE(ParseClipFile(dir.File("gap002.tga"), 200, 100, clip).ok());
  EXPECT_EQ(clip.firstFrame, 1);
  EXPECT_EQ(clip.lastFrame, 5);
}

TEST_F(ClipSources, FailedPicksLeaveTheDocumentAlone) {
  EXPECT_FALSE(doc.ReplaceClipWithFile(dir.File("x.tga")));
  testing::WriteText(dir.File("bad.tga"), "too short");
  EXPECT_FALSE(doc.AddClipFromFile(dir.File("bad.tga")));
  EXPECT_FALSE(doc.AddClipFromFile(dir.File("missing.tga")));
  EXPECT_EQ(prompt.Texts(),
            (std::vector<std::string>{
                "No clip selected", dir.File("bad.tga") + " is not a valid targa image",
                "Could not add a new clip.", dir.File("missing.tga") + " does not exist",
                "Could not add a new clip."}));
  EXPECT_EQ(doc.composition().clipCount(), 0);
}

TEST_F(ClipSources, ReplacingASequenceKeepsMotionAndStart) {
  testing::WriteClipSequence(dir.path(), "walk", 2, 1, 4);
  testing::WriteClipSequence(dir.path(), "run", 4, 0, 2);
  testing::WriteClipImage(dir.File("still.tga"), 3, 3, 24);
  ASSERT_TRUE(doc.AddClipFromFile(dir.File("walk01.tga")));
  doc.GoToFrame(2);
  ASSERT_TRUE(doc.SetStartEnd(EdgeBehaviour::Hold, EdgeBehaviour::Loop, 2));
  EXPECT_EQ(Clip(0).tracks[kPositionX].keys()[0].frame, 1);
  ASSERT_TRUE(doc.ReplaceClipWithFile(dir.File("run0001.tga")));
  EXPECT_EQ(Clip(0).name, "run");
  EXPECT_EQ(Clip(0).movieStart, 1);
  EXPECT_EQ(Clip(0).afterEnd, EdgeBehaviour::Loop);
  EXPECT_EQ(Clip(0).tracks[kPositionX].keys()[0].frame, 1);
  EXPECT_EQ(Clip(0).label, "run (1)");
  prompt.QueueAnswer(false);
  EXPECT_FALSE(doc.ReplaceClipWithFile(dir.File("still.tga")));
  EXPECT_EQ(Clip(0).name, "run");
  prompt.QueueAnswer(true);
  ASSERT_TRUE(doc.ReplaceClipWithFile(dir.File("still.tga")));
  EXPECT_EQ(Clip(0).singleImage, 1);
  EXPECT_EQ(Clip(0).movieStart, 0);
  EXPECT_EQ(Clip(0).beforeStart, EdgeBehaviour::Stop);
  EXPECT_EQ(prompt.Texts()[0].substr(0, 50), "You are changing a sequence image clip to a single");
  EXPECT_FALSE(doc.SetStartEnd(EdgeBehaviour::Hold, EdgeBehaviour::Hold, 1));  // single image
}

}  // namespace
}  // namespace quenda
