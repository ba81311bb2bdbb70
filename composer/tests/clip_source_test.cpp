#include <gtest/gtest.h>

#include <tuple>

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
  Result<ClipPathParts> windows = SplitClipPath("C:\\bg\\title.tga");
  ASSERT_TRUE(parts.ok() && windows.ok());
  EXPECT_EQ(std::tie(parts->directory, parts->name, parts->digitCount, parts->startNumber),
            std::tuple("/shots/a1/", "walk", 3, 7));
  EXPECT_EQ(std::tie(windows->directory, windows->digitCount), std::tuple("C:\\bg\\", 0));
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
  EXPECT_EQ(std::tie(clip.name, clip.digitCount, clip.firstFrame, clip.lastFrame, clip.span,
                     clip.label, clip.imageWidth, clip.selected),
            std::tuple("walk", 3, 3, 11, 8, "walk (1)", 8, 1));
  EXPECT_EQ(std::tuple(clip.tracks[kPositionX].Evaluate(0), clip.tracks[kPositionY].Evaluate(0)),
            std::tuple(100.0, 50.0));
  EXPECT_EQ(ClipFramePath(clip, 3), dir.File("walk003.tga"));
  EXPECT_EQ(doc.composition().frames, 9);
  EXPECT_EQ(prompt.Texts().back().substr(0, 36), "The new sequence does not fit in the");
}

// Failed picks leave the document alone; single images count their labels; a new clip stands
// in front of the selection.
TEST_F(ClipSources, FailedPicksChangeNothingSingleImagesCountLabelsAndGapsEndSequences) {
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
  testing::WriteClipImage(dir.File("a.tga"), 4, 4, 24);
  for (int i = 0; i < 3; ++i) ASSERT_TRUE(doc.AddClipFromFile(dir.File("a.tga")));
  EXPECT_EQ(std::tie(Clip(0).label, Clip(1).label), std::tuple("a (3)", "a (2)"));
  doc.Select(2);
  ASSERT_TRUE(doc.AddClipFromFile(dir.File("a.tga")));
  EXPECT_EQ(std::tie(Clip(2).label, Clip(2).selected, Clip(2).singleImage, Clip(3).label,
                     Clip(3).selected),
            std::tuple("a (4)", 1, 1, "a (1)", 0));

  testing::WriteClipSequence(dir.path(), "gap", 3, 1, 5);
  testing::WriteClipSequence(dir.path(), "gap", 3, 7, 7);
  ClipRecord clip = FreshClipRecord();
  ASSERT_TRUE(ParseClipFile(dir.File("gap002.tga"), 200, 100, clip).ok());
  EXPECT_EQ(std::tuple(clip.firstFrame, clip.lastFrame), std::tuple(1, 5));
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
  EXPECT_EQ(std::tie(Clip(0).name, Clip(0).movieStart, Clip(0).afterEnd,
                     Clip(0).tracks[kPositionX].keys()[0].frame, Clip(0).label),
            std::tuple("run", 1, EdgeBehaviour::Loop, 1, "run (1)"));
  prompt.QueueAnswer(false);
  EXPECT_FALSE(doc.ReplaceClipWithFile(dir.File("still.tga")));
  EXPECT_EQ(Clip(0).name, "run");
  prompt.QueueAnswer(true);
  ASSERT_TRUE(doc.ReplaceClipWithFile(dir.File("still.tga")));
  EXPECT_EQ(std::tie(Clip(0).singleImage, Clip(0).movieStart, Clip(0).beforeStart),
            std::tuple(1, 0, EdgeBehaviour::Stop));
  EXPECT_EQ(prompt.Texts()[0].substr(0, 50), "You are changing a sequence image clip to a single");
  EXPECT_FALSE(doc.SetStartEnd(EdgeBehaviour::Hold, EdgeBehaviour::Hold, 1));  // single image
}

}  // namespace
}  // namespace quenda
