#include <gtest/gtest.h>

#include <cmath>
#include <tuple>

#include "common/scripted_prompt.h"
#include "composer/core/composer_doc.h"
#include "composer/core/composition_file.h"
#include "composer/tests/composer_test_files.h"
#include "testing/test_support.h"

namespace quenda {
namespace {

struct Recorder : ComposerListener {
  void OnUpdate(const ComposerHint& hint) override { hints.push_back(int(hint)); }
  std::vector<int> hints;
};

class ComposerCommands : public ::testing::Test {
 protected:
  ComposerCommands() : doc(prompt) {
    doc.AddListener(&recorder);
    testing::StartNewMovie(doc, 720, 576, 50);
  }
  // Virtual clips are image-like for keys and need no files.
  void AddVirtuals(int count) {
    for (int i = 0; i < count; ++i) ASSERT_TRUE(doc.AddVirtualParent());
  }
  static ChooseKeyKind Pick(KeyKind kind) {
    return [kind](const std::vector<KeyKind>&) { return std::optional(kind); };
  }
  const ClipRecord& Clip(int i) { return doc.composition().clips[std::size_t(i)]; }

  ScriptedPrompt prompt;
  CComposerDoc doc;
  Recorder recorder;
};

TEST_F(ComposerCommands, NewDocumentSkipsTwiceThenTakesTheDialogAndOpenTellsTheViews) {
  ScriptedPrompt p;
  CComposerDoc fresh(p);
  int asked = 0;
  auto dialog = [&] {
    ++asked;
    return std::optional<NewMovieValues>();
  };
  EXPECT_TRUE(fresh.OnNewDocument(dialog));
  EXPECT_TRUE(fresh.OnNewDocument(dialog));
  EXPECT_EQ(asked, 0);
  EXPECT_FALSE(fresh.OnNewDocument(dialog));  // Cancel keeps the old document
  EXPECT_EQ(asked, 1);
  EXPECT_EQ(doc.composition().width, 720);  // the fixture's third New took the dialog's values
  // Open tells the views twice and empties the undo.
  AddVirtuals(1);
  testing::TempDir dir;
  ASSERT_TRUE(doc.Save(dir.File("m.cmp")).ok());
  recorder.hints.clear();
  ASSERT_TRUE(doc.Open(dir.File("m.cmp")).ok());
  EXPECT_EQ(std::tuple(recorder.hints, doc.CanUndo(), doc.modified()),
            std::tuple(std::vector<int>{3, 3}, false, false));
}

TEST_F(ComposerCommands, SettingsRefuseBadSafeFramesAndClippedKeys) {
  AddVirtuals(1);
  doc.Select(0);
  doc.GoToFrame(30);
  ASSERT_TRUE(doc.InsertKey(Pick(KeyKind::Rotation)));
  OpenMovieValues values = CurrentMovieValues(doc.composition());
  values.actionSafePercent = 20;
  values.titleSafePercent = 20;
  EXPECT_FALSE(doc.ApplySettings(values));
  values.titleSafePercent = 25;
  values.frames = 30;
  EXPECT_FALSE(doc.ApplySettings(values));
  EXPECT_EQ(prompt.Texts(),
            (std::vector<std::string>{
                "The safe title percentage must be greater than safe action percentage.",
                "There are keys in the cliped frames, first remove them to shorten the movie."}));
  EXPECT_EQ(doc.composition().frames, 50);
  values.frames = 31;
  EXPECT_TRUE(doc.ApplySettings(values));
  EXPECT_EQ(std::tuple(doc.composition().frames, doc.composition().titleSafe),
            std::tuple(31, 0.25f));
  doc.Undo();
  EXPECT_EQ(doc.composition().frames, 50);
  EXPECT_FALSE(doc.CanUndo());
}

TEST_F(ComposerCommands, KeyCommandsTheirMessagesAndEditsThatMoveKeys) {
  EXPECT_FALSE(doc.InsertKey(Pick(KeyKind::Scale)));
  EXPECT_FALSE(doc.DeleteKey(Pick(KeyKind::Scale)));
  AddVirtuals(1);
  doc.Select(0);
  EXPECT_FALSE(doc.InsertKey(Pick(KeyKind::Scale)));     // frame 0 has all three kinds
  EXPECT_FALSE(doc.DeleteKey(Pick(KeyKind::Rotation)));  // the only rotation key
  doc.GoToFrame(5);
  EXPECT_FALSE(doc.DeleteKey(Pick(KeyKind::Position)));
  std::vector<KeyKind> offered;
  ASSERT_TRUE(doc.InsertKey([&](const std::vector<KeyKind>& kinds) {
    offered = kinds;
    return std::optional(KeyKind::Scale);
  }));
  EXPECT_EQ(offered, (std::vector<KeyKind>{KeyKind::Position, KeyKind::Scale, KeyKind::Rotation}));
  EXPECT_EQ(std::tuple(Clip(0).tracks[kScaleY].HasKey(5), Clip(0).tracks[kPositionX].HasKey(5)),
            std::tuple(true, false));
  EXPECT_EQ(prompt.Texts(),
            (std::vector<std::string>{"You must select a clip", "Select a clip", "Keys exists.",
                                      "Can not delete the last key", "No key exists"}));
  doc.Undo();
  EXPECT_FALSE(Clip(0).tracks[kScaleY].HasKey(5));
  // Edit Key moves keys and refuses occupied frames.
  prompt.Clear();
  doc.GoToFrame(9);
  ASSERT_TRUE(doc.InsertKey(Pick(KeyKind::Position)));
  auto moveTo = [](int frame) {
    return [frame](const KeyEditValues& v) {
      KeyEditValues edited = v;
      edited.frame = frame;
      edited.a = 11;
      edited.easeInA = 4;
      edited.easeOutB = 12;  // beyond the slider: kept within 0..10
      return std::optional(edited);
    };
  };
  EXPECT_FALSE(doc.EditKey(Pick(KeyKind::Position), moveTo(0)));
  EXPECT_FALSE(doc.EditKey(Pick(KeyKind::Position), moveTo(50)));
  EXPECT_EQ(prompt.Texts(), (std::vector<std::string>{
                                "A position key exists in the changed frame, delete that key first",
                                "Please enter a key time between 1 and 50"}));
  ASSERT_TRUE(doc.EditKey(Pick(KeyKind::Position), moveTo(20)));
  const KeyTrack& x = Clip(0).tracks[kPositionX];
  EXPECT_FALSE(x.HasKey(9));
  ASSERT_TRUE(x.HasKey(20));
  EXPECT_EQ(x.keys()[std::size_t(x.IndexOfKey(20))], (Key{20, 11.0, 4, 0}));
  const KeyTrack& y = Clip(0).tracks[kPositionY];
  EXPECT_EQ(y.keys()[std::size_t(y.IndexOfKey(20))].easeOut, 10);
}

TEST_F(ComposerCommands, CopyAndPasteKeysBetweenClipsOfOneKind) {
  AddVirtuals(1);
  ASSERT_TRUE(doc.AddEffectClip(ClipKind::Blur));
  doc.Select(1);  // the virtual clip, now behind the effect
  ASSERT_TRUE(doc.CanCopyKey());
  doc.CopyKey();
  doc.Select(0);
  EXPECT_FALSE(doc.PasteKey());
  EXPECT_EQ(prompt.Texts().back(), "Can not paste to a different type of clip from source!");
  AddVirtuals(1);  // in front of the effect clip, index 0
  doc.Select(0);
  doc.GoToFrame(7);
  ASSERT_TRUE(doc.PasteKey());
  EXPECT_EQ(std::tuple(Clip(0).tracks[kPositionX].keys().back().frame,
                       Clip(0).tracks[kScaleX].keys().back().value),
            std::tuple(7, 1.0));
  prompt.QueueAnswer(false);
  EXPECT_FALSE(doc.PasteKey());
  EXPECT_EQ(prompt.Texts().back(), "Overwrite existing keys?");
}

TEST_F(ComposerCommands, LayerOrderSwapsParentIndices) {
  AddVirtuals(3);  // each lands in front of the selection (none): all at index 0
  doc.Select(1);
  ASSERT_TRUE(doc.ChooseParent(2));
  doc.Select(2);
  ASSERT_TRUE(doc.ToFront());
  EXPECT_EQ(std::tuple(Clip(2).parentIndex, Clip(1).selected), std::tuple(1, 1));
  ASSERT_TRUE(doc.ToFront());
  EXPECT_EQ(Clip(2).parentIndex, 0);
  EXPECT_FALSE(doc.ToFront());
  doc.SelectDown();
  EXPECT_EQ(doc.composition().SelectedIndex(), 1);
}

TEST_F(ComposerCommands, DuplicateAndDeleteRenumber) {
  AddVirtuals(2);
  doc.Select(1);
  ASSERT_TRUE(doc.ChooseParent(0));
  EXPECT_EQ(Clip(1).parentIndex, 0);
  doc.Select(0);
  prompt.QueueAnswer(true);
  ASSERT_TRUE(doc.DuplicateClip());
  ASSERT_EQ(doc.composition().clipCount(), 3);
  // The original moved back behind the copy, and its child follows it.
  EXPECT_EQ(std::tuple(Clip(1).selected, Clip(0).selected, Clip(2).parentIndex, Clip(0).label),
            std::tuple(1, 0, 1, "*Virtual* (3)"));
  prompt.QueueAnswer(true);
  prompt.QueueAnswer(true);
  doc.Select(1);
  ASSERT_TRUE(doc.DeleteClip());
  EXPECT_EQ(std::tuple(doc.composition().clipCount(), Clip(1).parentIndex), std::tuple(2, -1));
  EXPECT_EQ(prompt.Texts(),
            (std::vector<std::string>{"Are you sure you want to duplicate clip \"*Virtual* (2)\" ?",
                                      "Delete Clip \"*Virtual* (2)\"",
                                      "This clip is parent of another clips, Delete?"}));
}

TEST_F(ComposerCommands, ClipLimitAndEffectsInFrontOfTheSelection) {
  AddVirtuals(2);
  doc.Select(1);
  ASSERT_TRUE(doc.AddEffectClip(ClipKind::Underwater));
  EXPECT_EQ(std::tuple(Clip(1).kind, Clip(1).label, Clip(1).tracks[kPositionX].keys()[0].value,
                       Clip(2).selected),
            std::tuple(ClipKind::Underwater, "FX: Underwater", 10.0, 1));
  AddVirtuals(kMaxClips - 3);
  EXPECT_FALSE(doc.AddVirtualParent());
  EXPECT_EQ(prompt.Texts().back(), "Sorry there is a limit of 250 clips.");
  prompt.QueueAnswer(true);
  EXPECT_FALSE(doc.DuplicateClip());
  EXPECT_EQ(prompt.Texts().back(), "Sorry there is a limit of 250 clips");
  EXPECT_EQ(doc.composition().clipCount(), kMaxClips);
}

TEST_F(ComposerCommands, ParentChoicesSkipChildrenEffectsAndTheCurrentParent) {
  AddVirtuals(3);
  ASSERT_TRUE(doc.AddEffectClip(ClipKind::Blur));  // index 0
  doc.Select(2);
  ASSERT_TRUE(doc.ChooseParent(1));
  doc.Select(3);
  // Clip 2 has a parent, clip 0 is an effect: only clip 1 can be chosen.
  EXPECT_EQ(doc.ParentCandidates(), (std::vector<int>{1}));
  doc.Select(2);
  EXPECT_EQ(doc.ParentCandidates(), (std::vector<int>{-1, 3}));
  EXPECT_FALSE(doc.ChooseParent(0));
  ASSERT_TRUE(doc.ChooseParent(-1));
  EXPECT_EQ(Clip(2).parentIndex, -1);
  doc.Undo();
  EXPECT_EQ(Clip(2).parentIndex, 1);
  EXPECT_FALSE(doc.ToggleHidden());  // not an image clip
  doc.Select(0);
  EXPECT_EQ(doc.ParentCandidates(), std::vector<int>{});  // effects have no parent
  EXPECT_FALSE(doc.ChooseParent(1));
  EXPECT_EQ(Clip(0).parentIndex, -1);
}

// A sequence replaced by a longer one near the end of a full-length movie: Yes expands only as
// far as a movie can go and says how much of the clip stays beyond the end.
TEST_F(ComposerCommands, ExpandingTheMovieStopsAtItsLimit) {
  testing::TempDir dir;
  testing::WriteClipSequence(dir.path(), "a", 2, 1, 3);
  testing::WriteClipSequence(dir.path(), "b", 2, 1, 6);
  OpenMovieValues values = CurrentMovieValues(doc.composition());
  values.frames = kMaxMovieFrames - 1;
  ASSERT_TRUE(doc.ApplySettings(values));
  ASSERT_TRUE(doc.AddClipFromFile(dir.File("a01.tga")));
  ASSERT_TRUE(doc.SetStartEnd(EdgeBehaviour::Stop, EdgeBehaviour::Stop, kMaxMovieFrames - 3));
  prompt.QueueAnswer(true);
  ASSERT_TRUE(doc.ReplaceClipWithFile(dir.File("b01.tga")));
  EXPECT_TRUE(prompt.AllAnswersUsed());
  EXPECT_EQ(doc.composition().frames, kMaxMovieFrames);
  EXPECT_EQ(prompt.Texts().back(),
            "A movie holds at most 5000 frames: the last 2 frames of the clip lie beyond its end.");
}

TEST(KeyDialogValues, UnitsAndTurnsConvertBothWays) {
  EXPECT_DOUBLE_EQ(*PixelsToUnits(254, 1, 100), 6.4516);
  EXPECT_NEAR(*UnitsToPixels(*PixelsToUnits(123, 1, 72), 1, 72), 123, 1e-9);
  EXPECT_EQ(*UnitsToPixels(7, 0, 0), 7);
  EXPECT_EQ(std::tuple(PositionLabel('X', 0), PositionLabel('Y', 1)),
            std::tuple("PosX (pixel)", "PosY  (cm)"));
  // Backwards the turns are negative and the rest stays negative too.
  TurnsAndDegrees back = RadiansToTurns(-3 * M_PI);
  EXPECT_EQ(back.turns, -1);
  EXPECT_NEAR(back.degrees, -180, 1e-9);
  EXPECT_NEAR(TurnsToRadians(back.turns, back.degrees), -3 * M_PI, 1e-9);
  EXPECT_TRUE(CheckKeyTime(1, 1).ok());
  EXPECT_EQ(CheckKeyTime(0, 9).message(), "Please enter a key time between 1 and 9");
  // A movie file can hold any dpi: the key dialogs must not divide by it.
  EXPECT_EQ(PixelsToUnits(100, 1, 0).message(),
            "Please enter a value between 10 and 1200 for Dot Per Inch.");
  EXPECT_FALSE(UnitsToPixels(1, 2, 0).ok());
}

}  // namespace
}  // namespace quenda
