#include <gtest/gtest.h>

#include <filesystem>
#include <tuple>

#include "cli/tests/tool_run.h"
#include "common/scripted_prompt.h"
#include "composer/core/composition_file.h"
#include "composer/tests/composer_test_files.h"
#include "testing/test_support.h"

namespace quenda::cli {
namespace {

class CompTool : public ::testing::Test {
 protected:
  CompTool() : movie(dir.File("m.cmp")) {}
  Composition Load() {
    ScriptedPrompt prompt;
    Result<Composition> c = LoadComposition(movie, prompt);
    EXPECT_TRUE(c.ok()) << c.message();
    return c.ok() ? *c : Composition{};
  }
  // A 47 x 33 movie with a three-frame sequence behind a blur, parented to a virtual clip; it
  // replaces a movie made before.
  void Build() {
    testing::WriteClipSequence(dir.path(), "walk", 2, 1, 3, 12, 10);
    RunAll({{"comp", "new", movie, "--size", "47x33", "--frames", "2", "--background", "102030",
             "--force"},
            {"comp", "add-clip", movie, dir.File("walk02.tga"), "--yes"},
            {"comp", "add-effect", movie, "blur", "--in-front-of", "0"},
            {"comp", "set-key", movie, "0", "a", "1", "2"},
            {"comp", "add-virtual", movie},
            {"comp", "set-key", movie, "2", "x", "3", "30", "--ease-in", "4"},
            {"comp", "set-parent", movie, "2", "0"}});
  }
  testing::TempDir dir;
  std::string movie;
};

TEST_F(CompTool, BuildsACompositionStepByStepAndRefusesWhatItCannotDo) {
  ASSERT_EQ(RunTool({"comp", "new", movie}).code, 0);
  EXPECT_EQ(testing::ReadBytes(movie).size(), kCompositionHeaderSize);
  // What it cannot do is refused.
  EXPECT_EQ(RunTool({"comp", "set-key", movie, "0", "x", "1", "5"}).code, 2);  // no clip 0
  EXPECT_EQ(RunTool({"comp", "new", movie, "--size", "8x8"}).code, 2);
  EXPECT_EQ(RunTool({"compose", movie}).code, 2);
  ToolOutput nameless = RunTool({"compose", movie, "--out", dir.File("frames")});
  EXPECT_EQ(nameless.code, 2);
  EXPECT_TRUE(nameless.err.starts_with("quenda compose: --name is needed\n")) << nameless.err;
  EXPECT_FALSE(std::filesystem::exists(dir.File("frames")));
  Build();
  Composition c = Load();
  // Three frames: lengthened for the sequence.
  EXPECT_EQ(std::tuple(c.width, c.frames, c.backgroundColor), std::tuple(47, 3, 0x00302010u));
  ASSERT_EQ(c.clipCount(), 3);
  EXPECT_EQ(std::tuple(c.clips[0].kind, c.clips[1].kind, c.clips[1].tracks[kPositionX].Evaluate(0),
                       c.clips[2].name, c.clips[2].parentIndex,
                       c.clips[2].tracks[kPositionX].keys().back().easeIn),
            std::tuple(ClipKind::Virtual, ClipKind::Blur, 2.0, "walk", 0, 4));
  ToolOutput listed = RunTool({"comp", "list", movie});
  EXPECT_NE(listed.out.find("2  walk (1)  frames 1..3 from frame 1  parent 0"), std::string::npos)
      << listed.out;
}

TEST_F(CompTool, PreviewWritesAMovieAndNewKeepsAnExistingCompositionUnlessForced) {
  Build();
  ToolOutput preview = RunTool({"preview", movie, "--out", dir.File("p.avi"), "--scale", "full"});
  ASSERT_EQ(preview.code, 0) << preview.err;
  EXPECT_NE(preview.out.find("3 frames"), std::string::npos);
  EXPECT_GT(testing::ReadBytes(dir.File("p.avi")).size(), 100u);
  EXPECT_EQ(RunTool({"preview", movie, "--out", dir.File("q.avi"), "--step", "99"}).code, 2);
  std::vector<uint8_t> before = testing::ReadBytes(movie);
  ToolOutput run = RunTool({"comp", "new", movie, "--frames", "9"});
  EXPECT_EQ(run.code, 1);
  EXPECT_EQ(run.err, "quenda comp: " + movie +
                         ": exists already; it is left as it is (--force replaces it)\n");
  EXPECT_EQ(testing::ReadBytes(movie), before);
  ASSERT_EQ(RunTool({"comp", "new", movie, "--frames", "9", "--force"}).code, 0);
  EXPECT_EQ(Load().clipCount(), 0);
}

TEST_F(CompTool, AClipWhosePicturesMovedIsKeptUnlessDiscarded) {
  Build();
  std::filesystem::create_directory(dir.File("moved"));
  for (const char* name : {"walk01.tga", "walk02.tga", "walk03.tga"})
    std::filesystem::rename(dir.File(name), dir.File("moved/") + name);
  const std::vector<uint8_t> before = testing::ReadBytes(movie);
  const std::string said =
      "quenda comp: " + movie + ": All frames of clip \"walk\" does not exist\n";
  const std::string lost = said + "missing: clip \"walk\" (" + dir.path() + ")\n";
  ToolOutput kept = RunTool({"comp", "set-key", movie, "0", "x", "1", "5", "--yes"});
  EXPECT_EQ(kept.code, 1);
  EXPECT_EQ(kept.err, lost + "quenda comp: " + movie +
                          ": the composition is left as it was; --discard-missing discards the "
                          "missing clips\n");
  EXPECT_EQ(testing::ReadBytes(movie), before);

  ToolOutput discarded =
      RunTool({"comp", "set-key", movie, "0", "x", "1", "5", "--discard-missing"});
  EXPECT_EQ(std::tuple(discarded.code, discarded.err),
            std::tuple(0, said + "dropped: clip \"walk\" (" + dir.path() + ")\n"));
  EXPECT_EQ(Load().clipCount(), 2);
}

// Clips added by relative names are stored absolute, so runs from any working directory find
// them, and a split run from two directories writes the bytes of one whole run from a third.
TEST_F(CompTool, SplitComposeAcrossWorkingDirectoriesMatchesOneWholeRun) {
  std::string pictures = dir.path() + "pictures/";
  for (const char* sub : {"pictures", "a", "b", "c"})
    std::filesystem::create_directory(dir.File(sub));
  testing::WriteClipSequence(pictures, "walk", 2, 1, 3, 12, 10);
  testing::WriteClipImage(pictures + "bg.tga", 47, 33, 24, 7);
  RunAll({{"comp", "new", movie, "--size", "47x33", "--frames", "24"}});
  {
    testing::WorkingDirectory inPictures(pictures);
    RunAll({{"comp", "add-clip", movie, "bg.tga"},
            {"comp", "add-clip", movie, "./walk02.tga"},
            {"comp", "set-start", movie, "0", "1", "--after", "loop"},
            {"comp", "set-key", movie, "0", "x", "24", "30"},
            {"compose", movie, "--out", dir.File("reference/"), "--name", "f"}});
  }
  for (const ClipRecord& clip : Load().clips) EXPECT_EQ(clip.directory, pictures) << clip.name;
  auto composeFrom = [&](const char* where, const char* out, std::vector<std::string> more) {
    testing::WorkingDirectory in(dir.File(where));
    std::vector<std::string> args{"compose", movie, "--out",    dir.File(out),
                                  "--name",  "f",   "--frames", "1-24"};
    args.insert(args.end(), more.begin(), more.end());
    ToolOutput run = RunTool(args);
    EXPECT_EQ(run.code, 0) << run.err;
    EXPECT_EQ(run.err, "");
  };
  composeFrom("a", "split/", {"--write", "1-12"});
  composeFrom("b", "split/", {"--write", "13-24"});
  composeFrom("c", "whole/", {});
  std::vector<std::string> names = testing::ListDirectory(dir.File("whole/"));
  ASSERT_EQ(names.size(), 24u);
  EXPECT_EQ(testing::ListDirectory(dir.File("split/")), names);
  for (const std::string& name : names) {
    EXPECT_EQ(testing::ReadBytes(dir.File("split/") + name),
              testing::ReadBytes(dir.File("whole/") + name));
    EXPECT_EQ(testing::ReadBytes(dir.File("reference/") + name),
              testing::ReadBytes(dir.File("whole/") + name));
  }
}

// A picture the frames to be written show is missing: nothing is written unless the loss is
// accepted, and frames of an earlier part of the job stay as they were.
TEST_F(CompTool, MissingClipPictureStopsTheRunBeforeAnyFrame) {
  Build();
  std::string out = dir.File("out/");
  const std::vector<std::string> earlyFrames{"compose", movie,      "--out", out,       "--name",
                                             "f",       "--frames", "1-3",   "--write", "1-2"};
  RunAll({earlyFrames});
  std::vector<uint8_t> earlier = testing::ReadBytes(out + "f0000.tga");
  std::filesystem::remove(dir.File("walk03.tga"));
  const std::string missing = "missing: " + dir.File("walk03.tga") + "\n";

  ToolOutput refused =
      RunTool({"compose", movie, "--out", out, "--name", "f", "--frames", "1-3", "--write", "3"});
  EXPECT_EQ(refused.code, 1);
  EXPECT_EQ(refused.err, missing + "quenda compose: " + movie +
                             ": nothing written, as files the frames need are "
                             "missing or unreadable (--allow-missing goes on without them)\n");
  EXPECT_EQ(testing::ListDirectory(out), (std::vector<std::string>{"f0000.tga", "f0001.tga"}));
  EXPECT_EQ(testing::ReadBytes(out + "f0000.tga"), earlier);
  RunAll({earlyFrames});  // frames 1 and 2 do not show the missing picture

  ToolOutput preview = RunTool({"preview", movie, "--out", dir.File("p.avi")});
  EXPECT_EQ(preview.code, 1);
  EXPECT_TRUE(preview.err.starts_with(missing)) << preview.err;
  EXPECT_FALSE(std::filesystem::exists(dir.File("p.avi")));

  ToolOutput allowed = RunTool({"compose", movie, "--out", out, "--name", "f", "--frames", "1-3",
                                "--write", "3", "--allow-missing"});
  EXPECT_EQ(allowed.code, 0) << allowed.err;
  EXPECT_TRUE(allowed.err.starts_with(missing)) << allowed.err;
  EXPECT_TRUE(std::filesystem::exists(out + "f0002.tga"));
  EXPECT_EQ(RunTool({"preview", movie, "--out", dir.File("p.avi"), "--allow-missing"}).code, 0);
  EXPECT_TRUE(std::filesystem::exists(dir.File("p.avi")));
}

// Older files hold relative clip folders: looked for beside the composition, then in the
// working directory.
TEST_F(CompTool, RelativeClipFoldersResolveBesideTheDocumentThenTheWorkingDirectory) {
  Build();
  testing::TempDir elsewhere;
  std::filesystem::create_directory(elsewhere.File("sub"));
  testing::WriteClipSequence(elsewhere.File("sub/"), "walk", 2, 1, 3, 12, 10);
  testing::WorkingDirectory in(elsewhere.path());
  // The folder stored and the one found.
  const std::pair<const char*, std::string> kCases[] = {
      {"", dir.path()}, {"sub/", elsewhere.File("sub/")}, {"gone/", "gone/"}};
  for (const auto& [folder, found] : kCases) {
    Composition stored = Load();
    stored.clips[2].directory = folder;
    ASSERT_TRUE(SaveComposition(movie, stored).ok());
    Result<Composition> read = ReadComposition(movie);
    ASSERT_TRUE(read.ok()) << read.message();
    EXPECT_EQ(read->clips[2].directory, found) << folder;
  }
}

}  // namespace
}  // namespace quenda::cli
