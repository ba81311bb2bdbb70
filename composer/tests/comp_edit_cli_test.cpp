// `quenda comp`'s key, clip and settings actions against the document's own commands.

#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <functional>
#include <sstream>
#include <tuple>

#include "cli/tests/tool_run.h"
#include "common/scripted_prompt.h"
#include "composer/core/composer_doc.h"
#include "composer/core/composition_file.h"
#include "composer/tests/composer_test_files.h"
#include "testing/test_support.h"

namespace quenda::cli {
namespace {

using Args = std::vector<std::string>;

ChooseKeyKind Pick(KeyKind kind) {
  return [kind](const std::vector<KeyKind>&) { return std::optional(kind); };
}

// A 47 x 33 movie of six frames: 0 a virtual clip, 1 a blur (A keyed 5 at frame 4) in front of
// 2 the walk sequence (x keyed 30 at frame 4), and 3 a single picture parented to clip 0; and
// a key clipboard file holding the walk's keys at frame 4.
class CompEdit : public ::testing::Test {
 protected:
  CompEdit() : movie(dir.File("m.cmp")), keys(dir.File("k.qkc")) {
    testing::WriteClipSequence(dir.path(), "walk", 2, 1, 3, 12, 10);
    testing::WriteClipSequence(dir.path(), "run", 1, 1, 5, 12, 10);
    testing::WriteClipImage(dir.File("bg.tga"), 20, 20, 24, 7);
    RunAll({{"comp", "new", movie, "--size", "47x33", "--frames", "6"},
            {"comp", "add-clip", movie, dir.File("bg.tga")},
            {"comp", "add-clip", movie, dir.File("walk02.tga")},
            {"comp", "add-effect", movie, "blur", "--in-front-of", "0"},
            {"comp", "add-virtual", movie},
            {"comp", "set-key", movie, "2", "x", "4", "30", "--ease-in", "3"},
            {"comp", "set-key", movie, "1", "a", "4", "5"},
            {"comp", "set-parent", movie, "3", "0"},
            {"comp", "copy-key", movie, "2", "4", "--to", keys}});
    original = testing::ReadBytes(movie);
  }

  testing::TempDir dir;
  std::string movie, keys;
  std::vector<uint8_t> original;
};

TEST_F(CompEdit, EachActionWritesWhatTheDocumentCommandMakes) {
  using Command = std::function<bool(CComposerDoc&)>;
  auto editTo = [](KeyKind kind, std::function<void(KeyEditValues&)> change) -> Command {
    return [=](CComposerDoc& d) {
      return d.EditKey(Pick(kind), [&](const KeyEditValues& v) {
        KeyEditValues e = v;
        change(e);
        return std::optional(e);
      });
    };
  };
  // The action; the clip and frame (0-based; -1 for none) and the number of questions answered
  // Yes for the program's command; the command.
  const std::tuple<Args, std::array<int, 3>, Command> kCases[] = {
      {{"insert-key", "2", "5", "scale"},
       {2, 4, 0},
       [](CComposerDoc& d) { return d.InsertKey(Pick(KeyKind::Scale)); }},
      {{"delete-key", "1", "4", "--yes"},
       {1, 3, 1},
       [](CComposerDoc& d) { return d.DeleteKey(Pick(KeyKind::Effect)); }},
      {{"edit-key", "1", "4", "--time", "6", "--a", "7", "--ease-in", "4", "--ease-out", "2"},
       {1, 3, 0},
       editTo(KeyKind::Effect,
              [](KeyEditValues& e) { e.frame = 5, e.a = 7, e.easeInA = 4, e.easeOutB = 2; })},
      {{"edit-key", "2", "4", "position", "--b", "-2.5", "--ease-out-b", "9"},
       {2, 3, 0},
       editTo(KeyKind::Position, [](KeyEditValues& e) { e.b = -2.5, e.easeOutB = 9; })},
      {{"paste-key", "3", "2", "--from", keys},
       {2, 3, 0},
       [](CComposerDoc& d) { return d.CopyKey(), d.Select(3), d.GoToFrame(1), d.PasteKey(); }},
      {{"duplicate-clip", "2", "--yes"}, {2, -1, 1}, &CComposerDoc::DuplicateClip},
      {{"delete-clip", "0", "--yes"}, {0, -1, 2}, &CComposerDoc::DeleteClip},
      {{"hide-clip", "3"}, {3, -1, 0}, &CComposerDoc::ToggleHidden},
      {{"to-front", "2"}, {2, -1, 0}, &CComposerDoc::ToFront},
      {{"to-back", "2"}, {2, -1, 0}, &CComposerDoc::ToBack},
      {{"replace-clip", "2", "run3.tga"},
       {2, -1, 0},
       [this](CComposerDoc& d) { return d.ReplaceClipWithFile(dir.File("run3.tga")); }},
      {{"settings", "--frames", "9", "--title-safe", "30", "--action-safe", "4", "--units", "cm",
        "--dpi", "200", "--background", "0A0B0C"},
       {-1, -1, 0},
       [](CComposerDoc& d) {
         OpenMovieValues v = CurrentMovieValues(d.composition());
         v.frames = 9, v.titleSafePercent = 30, v.actionSafePercent = 4, v.units = 1;
         v.dpi = 200;
         v.backgroundColor = 0x000C0B0A;
         return d.ApplySettings(v);
       }},
  };
  const std::string expected = dir.File("core.cmp");
  for (const auto& [action, at, command] : kCases) {
    const auto [clip, frame, answersYes] = at;
    testing::WriteBytes(movie, original);
    Args args = action;
    args.insert(args.begin() + 1, movie);
    args.insert(args.begin(), "comp");
    // replace-clip takes a name relative to the working directory and stores it absolute.
    testing::WorkingDirectory in(dir.path());
    ToolOutput run = RunTool(args);
    ASSERT_EQ(run.code, 0) << action[0] << ": " << run.err;

    ScriptedPrompt prompt;
    for (int i = 0; i < answersYes; ++i) prompt.QueueAnswer(true);
    CComposerDoc doc(prompt);
    testing::WriteBytes(dir.File("before.cmp"), original);
    ASSERT_TRUE(doc.Open(dir.File("before.cmp")).ok());
    if (clip >= 0) doc.Select(clip);
    if (frame >= 0) doc.GoToFrame(frame);
    ASSERT_TRUE(command(doc)) << action[0];
    ASSERT_TRUE(doc.Save(expected).ok());
    EXPECT_TRUE(testing::ReadBytes(movie) == testing::ReadBytes(expected)) << action[0];
    EXPECT_NE(testing::ReadBytes(movie), original) << action[0];
  }
}

// The document's own refusals are its tests'; here each action reports one and saves nothing.
TEST_F(CompEdit, RefusalsLeaveTheFileAsItWas) {
  const std::string keptNo = "the composition is left as it was; --yes answers Yes\n";
  // Arguments, exit code, and each line said after the command and file, or the start of a
  // usage error.
  const std::tuple<Args, int, std::string> kCases[] = {
      {{"insert-key", "2", "4", "position"}, 1, "clip 2 has a position key at frame 4 already\n"},
      {{"delete-key", "1", "4"}, 1, "Delete Key? [no]\n" + keptNo},
      {{"edit-key", "1", "4", "--a", "16"},
       1,
       "Please enter a value between 0 and 15 for BlurX.\n"},
      {{"edit-key", "2", "4", "scale"}, 1, "clip 2 has no scale key at frame 4\n"},
      {{"paste-key", "2", "4", "--from", keys}, 1, "Overwrite existing keys? [no]\n" + keptNo},
      {{"copy-key", "3", "4", "--to", dir.File("none.qkc")}, 1, "clip 3 has no key at frame 4\n"},
      {{"duplicate-clip", "2"},
       1,
       "Are you sure you want to duplicate clip \"walk (1)\" ? [no]\n" + keptNo},
      {{"hide-clip", "1"}, 1, "clip 1 is not an image clip: only image clips are hidden\n"},
      {{"to-front", "0"}, 1, "clip 0 is the front clip already\n"},
      {{"to-back", "3"}, 1, "clip 3 is the back clip already\n"},
      {{"replace-clip", "0", "walk01.tga"}, 1, "The selected clip is not an image clip\n"},
      {{"settings", "--frames", "3"},
       1,
       "There are keys in the cliped frames, first remove them to shorten the movie.\n"},
      {{"set-key", "1", "b", "1", "16"}, 1, "Please enter a value between 0 and 15 for BlurY.\n"},
      {{"set-parent", "1", "0"}, 1, "clip 1 is an effect clip: effect clips have no parent\n"},
      {{"add-effect", "sparkle"}, 2, "quenda comp: unknown effect 'sparkle'"},
      {{"set-start", "2", "0"}, 1, "The start frm must be between 1 and 4\n"},
      {{"settings", "--units", "mile"}, 2, "quenda comp: settings takes whole --frames"},
      {{"set-key", "2", "x", "1", "inf"}, 2, "quenda comp: the value inf is not a number"},
      {{"set-key", "1", "scale-x", "1", "2"}, 2, "quenda comp: clip 1 is an effect clip"},
      {{"insert-key", "2", "4"}, 2, "quenda comp: insert-key on clip 2 needs position"},
  };
  testing::WorkingDirectory in(dir.path());
  for (const auto& [action, code, err] : kCases) {
    Args args = action;
    args.insert(args.begin() + 1, movie);
    args.insert(args.begin(), "comp");
    ToolOutput run = RunTool(args);
    EXPECT_EQ(run.code, code) << action[0] << " " << err;
    std::string named;
    std::istringstream lines(err);
    for (std::string line; std::getline(lines, line);)
      named += "quenda comp: " + movie + ": " + line + "\n";
    if (code == 2)
      EXPECT_TRUE(run.err.starts_with(err)) << run.err;
    else
      EXPECT_EQ(run.err, named);
    EXPECT_EQ(run.out, "") << action[0];
    EXPECT_EQ(testing::ReadBytes(movie), original) << action[0] << " " << err;
  }
  EXPECT_FALSE(std::filesystem::exists(dir.File("none.qkc")));
}

// On a terminal the user answers each question; without one No is taken and the option that
// answers Yes is named.
TEST_F(CompEdit, QuestionsAreAskedOnATerminalAndHeadlessTheyNameTheOption) {
  testing::WriteClipSequence(dir.path(), "long", 2, 1, 9, 12, 10);
  const Args addLong{"comp", "add-clip", movie, dir.File("long01.tga")};
  const std::string named = "quenda comp: " + movie + ": ";
  const std::string expand =
      "The new sequence does not fit in the current movie,  Would you like to expand the movie "
      "so that the clip fits?";
  auto frames = [&] {
    Result<Composition> read = ReadComposition(movie);
    return read ? read->frames : -1;
  };

  ToolOutput headless = RunTool(addLong);
  EXPECT_EQ(headless.code, 0) << headless.err;
  EXPECT_EQ(headless.err, named + expand + " [no]\n" + named +
                              "the movie keeps its 6 frames: the question has no one to answer "
                              "it without a terminal; --yes answers Yes\n");
  EXPECT_EQ(frames(), 6);

  testing::WriteBytes(movie, original);
  ToolOutput yes = RunToolOnTerminal(addLong, "maybe\ny\n");
  EXPECT_EQ(yes.code, 0) << yes.err;
  EXPECT_EQ(yes.err, named + expand + " [y]es / [n]o: Answer y (Yes) or n (No): ");
  EXPECT_EQ(frames(), 9);

  // Refused on the terminal: left as it was, and no option is named.
  testing::WriteBytes(movie, original);
  ToolOutput no = RunToolOnTerminal({"comp", "delete-key", movie, "1", "4"}, "no\n");
  EXPECT_EQ(no.code, 1);
  EXPECT_EQ(no.err, named + "Delete Key? [y]es / [n]o: ");
  EXPECT_EQ(testing::ReadBytes(movie), original);
  ToolOutput deleted = RunToolOnTerminal({"comp", "delete-key", movie, "1", "4"}, "Yes\n");
  EXPECT_EQ(deleted.code, 0) << deleted.err;
  EXPECT_NE(testing::ReadBytes(movie), original);
}

// replace-clip points a clip whose pictures have all gone at new ones, but only that clip.
TEST_F(CompEdit, ReplaceClipFindsALostClipAgain) {
  std::filesystem::create_directory(dir.File("moved"));
  for (const char* name : {"walk01.tga", "walk02.tga", "walk03.tga"})
    std::filesystem::rename(dir.File(name), dir.File("moved/") + name);
  ToolOutput elsewhere = RunTool({"comp", "replace-clip", movie, "3", dir.File("run2.tga")});
  EXPECT_EQ(elsewhere.code, 1);
  EXPECT_EQ(testing::ReadBytes(movie), original);

  ToolOutput found = RunTool({"comp", "replace-clip", movie, "2", dir.File("moved/walk03.tga")});
  ASSERT_EQ(found.code, 0) << found.err;
  ScriptedPrompt prompt;
  Result<Composition> c = LoadComposition(movie, prompt);
  ASSERT_TRUE(c.ok());
  EXPECT_EQ(prompt.Texts(), std::vector<std::string>{});
  EXPECT_EQ(c->clips[2].directory, dir.File("moved/"));
  EXPECT_EQ(c->clips[2].tracks[kPositionX].Evaluate(3), 30.0);  // its keys stay
}

}  // namespace
}  // namespace quenda::cli
