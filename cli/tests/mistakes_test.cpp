// Every command's exit code for each kind of mistake (2 for a usage error, 1 for a file that
// cannot be read or written), and messages that name the command, the file and what is wrong:
// every line of a refusal starts "quenda COMMAND: ", and one of them names the file.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <regex>

#include "cli/tests/tool_run.h"
#include "testing/pcm_wave.h"
#include "testing/test_support.h"
#include "testing/text_lines.h"

namespace quenda::cli {
namespace {

using namespace quenda::testing;

struct Mistake {
  std::vector<std::string> words;
  int code;
  std::string file = {};  // the file a refusal (code 1) names
};

// Two analyzed drawings on a sheet, their line test rendered and a composition of it. `blocked`
// is a plain file, so nothing can be written under it.
class ExitCodes : public ::testing::Test {
 protected:
  void SetUp() override {
    RunAll({{"sample", walk, "--name", "walk", "--frames", "2", "--size", "47x33", "--dpi", "100"},
            {"analyze", walk + "walk1.qds", "--yes", "--jobs", "1"},
            {"sheet", "new", sheet},
            {"sheet", "add-sequence", sheet, walk + "walk1.qds"},
            {"sheet", "transfer", sheet, "--sequence", "1", "--pictures", "1-2", "--level", "0",
             "--frame", "1", "--on", "1"},
            {"render", sheet, "--out", clips, "--name", "clip", "--line-test"},
            {"comp", "new", movie, "--size", "47x33", "--frames", "2"},
            {"comp", "add-clip", movie, clips + "clip0001.tga", "--yes"}});
    WriteText(blocked, "not a folder");
  }
  void Expect(const std::vector<Mistake>& table) {
    for (const Mistake& row : table) {
      ToolOutput run = RunTool(row.words);
      std::string typed;
      for (const std::string& word : row.words) typed += word + " ";
      SCOPED_TRACE(typed + "\n" + run.err);
      EXPECT_EQ(run.code, row.code);
      const std::vector<std::string> lines = Lines(run.err);
      ASSERT_FALSE(lines.empty());
      const std::string prefix = "quenda " + row.words[0] + ": ";
      // A usage error's reason comes first, then the usage.
      if (row.code == 2) {
        EXPECT_TRUE(lines[0].starts_with(prefix));
        EXPECT_NE(run.err.find("\nusage: quenda " + row.words[0]), std::string::npos);
      }
      if (row.code != 1) continue;
      bool named = false;
      for (const std::string& line : lines) {
        named |= line.find(row.file) != std::string::npos;
        // The input check lists what is missing in lines of their own.
        EXPECT_TRUE(line.starts_with(prefix) || line.starts_with("missing: ") ||
                    line.starts_with("unreadable: "))
            << line;
      }
      EXPECT_TRUE(named) << row.file;
    }
    EXPECT_TRUE(std::filesystem::is_regular_file(blocked));
  }
  TempDir dir;
  std::string walk = dir.File("walk/");
  std::string sheet = dir.File("walk.dgr");
  std::string clips = dir.File("clips/");
  std::string movie = dir.File("m.cmp");
  std::string blocked = dir.File("blocked");
  std::string gone = dir.File("gone/");
};

struct Told {
  std::vector<std::string> words;
  int code;
  std::string err;  // a whole line of standard error
};

TEST_F(ExitCodes, UsageErrorsAreTwoUnreadableOrUnwritableFilesOneAndMessagesSayWhy) {
  const std::string tga = clips + "clip0001.tga";
  Expect({
      {{"info"}, 2},
      {{"info", dir.File("notes.txt")}, 2},
      {{"info", "walk"}, 2},
      {{"info", "dir.qds/walk"}, 2},
      {{"info", "a.qds", "b.qds"}, 2},
      {{"autopaint", walk + "walk1.qds", "--from", "previous"}, 2},
      {{"sheet", "transfer", sheet}, 2},
      {{"sheet", "tidy", sheet}, 2},
      {{"render", sheet, "--out", dir.File("r")}, 2},
      {{"render", sheet, "--out", dir.File("r"), "--name", "r2"}, 2},
      {{"flipbook", sheet}, 2},
      {{"tone", dir.File("t.wav"), "--seconds", "0"}, 2},
      {{"comp", "list"}, 2},
      {{"preview", movie}, 2},
      {{"export", tga}, 2},
      {{"export", dir.File("notes.txt"), "--png", dir.File("e.png")}, 2},
      {{"import", tga, "--out", dir.File("i"), "--dpi", "150", "--peg", "0"}, 2},
      {{"import", tga, "--out", dir.File("i"), "--name", "w2", "--dpi", "150", "--peg", "0"}, 2},
  });
  EXPECT_FALSE(std::filesystem::exists(dir.File("i")));

  const std::string qds = gone + "w1.qds", dgr = gone + "s.dgr", cmp = gone + "m.cmp";
  Expect({
      {{"info", qds}, 1, qds},
      {{"paint", qds, "--list-regions"}, 1, qds},
      {{"colors", gone + "w.col", "--list"}, 1, gone + "w.col"},
      {{"autopaint", qds, "--range", "1-2", "--from", "previous"}, 1, qds},
      {{"sheet", "show", dgr}, 1, dgr},
      {{"render", dgr, "--out", dir.File("r"), "--name", "r"}, 1, dgr},
      {{"flipbook", dgr, "--out", dir.File("f.avi")}, 1, dgr},
      {{"comp", "list", cmp}, 1, cmp},
      {{"comp", "paste-key", movie, "0", "1", "--from", gone + "k.qkc"}, 1, gone + "k.qkc"},
      {{"compose", cmp, "--out", dir.File("c"), "--name", "c"}, 1, cmp},
      {{"preview", cmp, "--out", dir.File("p.avi")}, 1, cmp},
      {{"mask", gone + "b.tga", "--out", dir.File("b.tga")}, 1, gone + "b.tga"},
      {{"export", gone + "b.tga", "--png", dir.File("b.png")}, 1, gone + "b.tga"},
      {{"import", gone + "p1.bmp", "--out", dir.File("i"), "--name", "w", "--dpi", "150", "--peg",
        "0"},
       1,
       gone + "p1.bmp"},
  });
  for (const char* name : {"f.avi", "p.avi", "b.png", "b.tga", "i", "r", "c"})
    EXPECT_FALSE(std::filesystem::exists(dir.File(name))) << name;

  Expect({
      {{"colors", blocked + "/w.col", "--add", "RED", "1", "2", "3"}, 1, blocked},
      {{"sheet", "new", blocked + "/s.dgr"}, 1, blocked},
      {{"sheet", "copy", sheet, "--to", blocked + "/c.clip"}, 1, blocked},
      {{"sheet", "print", sheet, "--pdf", blocked + "/s.pdf"}, 1, blocked},
      {{"render", sheet, "--out", blocked + "/r", "--name", "r", "--line-test"}, 1, blocked},
      {{"flipbook", sheet, "--out", blocked + "/f.avi"}, 1, blocked},
      {{"tone", blocked + "/t.wav"}, 1, blocked},
      {{"comp", "new", blocked + "/m.cmp"}, 1, blocked},
      {{"comp", "copy-key", movie, "0", "1", "--to", blocked + "/k.qkc"}, 1, blocked},
      {{"compose", movie, "--out", blocked + "/c", "--name", "c"}, 1, blocked},
      {{"preview", movie, "--out", blocked + "/p.avi"}, 1, blocked},
      {{"export", tga, "--png", blocked + "/e.png"}, 1, blocked},
      {{"import", tga, "--out", blocked + "/i", "--name", "w", "--dpi", "150", "--peg", "0"},
       1,
       blocked},
  });

  // An ADPCM wave: compressed, so no reader takes it.
  std::string beat = dir.File("beat.wav");
  WriteBytes(beat, PcmWave({8, 1, 22050, 2}, {1, 2, 3, 4}));
  // A run-length compressed Targa picture.
  const std::string still = dir.File("still.tga");
  std::vector<uint8_t> rle = ReadBytes(clips + "clip0001.tga");
  rle[2] = 10;
  WriteBytes(still, rle);
  const std::string mend =
      ": the picture is run-length compressed; write it uncompressed, for example with "
      "ImageMagick: convert IN.tga -compress None OUT.tga";
  const std::vector<Told> table{
      {{"import", still, "--out", dir.File("i"), "--name", "w", "--dpi", "150", "--peg", "0"},
       1,
       "quenda import: " + still + mend},
      {{"comp", "add-clip", movie, still}, 1, "quenda comp: " + still + mend},
      {{"flipbook", sheet, "--out", dir.File("f.avi"), "--sound", beat},
       1,
       // A compressed wave the suite's reader refuses goes to FFmpeg, which finds no sound.
       "quenda flipbook: " + beat + ": Could not decode the sound file " + beat +
           ": it holds no sound"},
      {{"flipbook", sheet, "--out", dir.File("f.mkv")},
       2,
       "quenda flipbook: --out must be a file name ending in .avi, .mp4 (H.264) or .mov (ProRes "
       "4444)"},
      {{"preview", movie, "--out", dir.File("p.webm")},
       2,
       "quenda preview: --out must be a file name ending in .avi, .mp4 (H.264) or .mov (ProRes "
       "4444)"},
      {{"tone", dir.File("t.wav"), "--seconds", "0.5"},
       2,
       "quenda tone: --seconds must be a whole number from 1 to 600"},
      {{"comp", "new", dir.File("n.cmp"), "--preset", "SECAM"},
       2,
       "quenda comp: unknown preset 'SECAM'; the presets are 'NTSC', 'PAL', 'D1 NTSC', 'D1 PAL', "
       "'HDTV 1', 'HDTV 2', 'Motion Picture'"},
      {{"comp", "set-key", movie, "3", "x", "1", "5"},
       2,
       "quenda comp: no clip 3: the clips are numbered 0 to 0"},
      {{"comp", "set-key", movie, "0", "depth", "1", "5"},
       2,
       "quenda comp: no track depth: the tracks are x, y, scale-x, scale-y, rotation, a and b"},
      {{"comp", "set-key", movie, "0", "x", "101", "5"},
       2,
       "quenda comp: no frame 101: the movie's frames are 1 to 100"},
      {{"autopaint", walk + "walk1.qds", "--range", "1-99", "--from", "previous"},
       1,
       "quenda autopaint: " + walk +
           "walk1.qds: no frame 99 in the sequence; its frames are 1 "
           "to 2"},
  };
  for (const Told& row : table) {
    ToolOutput run = RunTool(row.words);
    EXPECT_EQ(run.code, row.code) << row.words[0] << "\n" << run.err;
    EXPECT_TRUE(HasLine(run.err, row.err)) << row.words[0] << "\n" << run.err;
  }
  EXPECT_FALSE(std::filesystem::exists(dir.File("f.mp4")));
  EXPECT_FALSE(std::filesystem::exists(dir.File("t.wav")));
}

// The picture's RGBA bytes, top row first, as ffmpeg reads the file (it honours a Targa's
// row order): a reader independent of the suite's.
std::vector<uint8_t> FfmpegRgba(const std::string& path, const std::string& raw) {
  const std::string command =
      "ffmpeg -v error -y -i '" + path + "' -f rawvideo -pix_fmt rgba '" + raw + "'";
  if (std::system(command.c_str()) != 0) return {};
  return ReadBytes(raw);
}

TEST_F(ExitCodes, ExportOfATargaIsItsPixelsRightSideUpAndInfoTellsSheetsAndCompositions) {
  ASSERT_EQ(std::system("ffmpeg -version >/dev/null 2>&1"), 0) << "ffmpeg (scripts/deps) is needed";
  // Paint one corner so that a picture turned over cannot pass.
  const std::string tga = clips + "clip0001.tga";
  std::vector<uint8_t> bytes = ReadBytes(tga);
  for (int x = 0; x < 5; ++x) {
    uint8_t* p = &bytes[18 + std::size_t(x) * 4];  // the bottom row, as the suite writes it
    p[0] = 200, p[1] = 10, p[2] = 30, p[3] = 77;
  }
  WriteBytes(tga, bytes);
  ExpectRun({"export", tga, "--png", dir.File("clip.png")}, 0, "");
  std::vector<uint8_t> expected = FfmpegRgba(tga, dir.File("tga.raw"));
  ASSERT_EQ(expected.size(), std::size_t(47 * 33 * 4));
  EXPECT_EQ(FfmpegRgba(dir.File("clip.png"), dir.File("png.raw")), expected);

  ExpectRun({"export", tga, "--png", dir.File("half.png"), "--scale", "0.5"}, 0, "",
            "wrote " + dir.File("half.png") + "  24 x 17\n");

  // Info on sheets and compositions, and on damaged ones.
  RunAll({{"comp", "set-key", movie, "0", "x", "2", "7.5", "--ease-in", "3"},
          {"comp", "set-start", movie, "0", "1", "--after", "hold"}});
  ToolOutput listed = RunTool({"comp", "list", movie, "--keys"});
  ToolOutput cmp = ExpectRun({"info", movie}, 0, "");
  for (std::string line :
       {"      x: 1=23.5 2=7.5(3/0)", "      before start: stop, after end: hold"}) {
    EXPECT_NE(listed.out.find("\n" + line + "\n"), std::string::npos) << listed.out;
    EXPECT_NE(cmp.out.find("\n" + line + "\n"), std::string::npos) << cmp.out;
  }

  std::filesystem::rename(walk, dir.File("moved"));
  ExpectRun({"info", sheet}, 0, "",
            "exposure sheet " + sheet +
                "\nsize: 1 levels, 100 frames\nlevel 0: default\nsequence 1: " + walk +
                "walk, 2 frames, folder missing\nsound: none kept in the sheet (flipbook --sound "
                "lays one under its frames)\n");

  for (const std::string& damaged : {dir.File("cut.dgr"), dir.File("cut.cmp")}) {
    std::vector<uint8_t> bytes = ReadBytes(damaged.ends_with("dgr") ? sheet : movie);
    bytes.resize(bytes.size() / 2);
    WriteBytes(damaged, bytes);
    ToolOutput run = RunTool({"info", damaged});
    EXPECT_EQ(std::tie(run.code, run.out), std::tuple(1, "")) << damaged;
    EXPECT_TRUE(run.err.starts_with("quenda info: " + damaged + ": ")) << run.err;
  }
}

TEST(Quenda, VersionIsPrinted) {
  ToolOutput run = RunTool({"--version"});
  EXPECT_EQ(run.code, 0);
  EXPECT_TRUE(std::regex_match(run.out, std::regex("quenda [0-9]+\\.[0-9]+(\\.[0-9]+)*\n")))
      << run.out;
}

}  // namespace
}  // namespace quenda::cli
