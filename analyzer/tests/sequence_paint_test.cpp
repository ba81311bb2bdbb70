// Sequence paint over a generated three-frame sequence on disk: auto fill against a plain reading
// of the vote, the "Frame No?" and render checks, frames whose files are missing or cannot be
// written, and the render with STOP.

#include "analyzer/core/sequence_paint.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "analyzer/core/analyzer_doc.h"
#include "analyzer/tests/analyzer_test_drawings.h"
#include "common/drawing_scan.h"
#include "common/paint_file.h"
#include "common/region_file.h"
#include "common/scripted_prompt.h"
#include "common/targa.h"
#include "samples/sample_drawing.h"
#include "testing/test_support.h"

namespace quenda {
namespace {

using testing::TempDir;

constexpr int kWidth = 150;
constexpr int kHeight = 110;

// walk1..3 drawn with the pegs on the left and each frame at its own bed position, analysed.
struct PaintedSequence {
  PaintedSequence() {
    samples::SampleOptions options{.width = kWidth, .height = kHeight, .pegPosition = kPegLeft};
    EXPECT_TRUE(samples::WriteSampleSequence(dir.path(), "walk", 3, options, prompt));
    const std::pair<int, int> bed[] = {{10, 10}, {14, 7}, {5, 16}};
    for (int n = 1; n <= 3; ++n) {
      Result<LoadedDrawingScan> scan = ReadDrawingScan(File(n, ".qds"), ScanReader::Analyzer);
      scan->scan.xPosition = bed[n - 1].first;
      scan->scan.yPosition = bed[n - 1].second;
      EXPECT_TRUE(WriteDrawingScan(File(n, ".qds"), scan->scan, ScanWriter::Analyzer));
    }
    sequence = OpenSequence(File(1, ".qds"), "walk1");
    NullProgress quiet;
    EXPECT_EQ(RunBatchProcess(sequence, AllFrames(sequence), {}, prompt, quiet).WrittenCount(), 3);
  }
  std::string File(int n, const char* extension) const {
    return dir.File("walk" + std::to_string(n) + extension);
  }
  // Sequence paint begun on frame 1 with the sequence's own colours and three more.
  void Begin() {
    SequencePaintChoice choice;
    ASSERT_TRUE(doc.SelectPaintSequence(File(1, ".qds"), choice));
    ASSERT_TRUE(doc.BeginSequencePaint(*choice.sequence));
    for (auto [name, r, g, b] :
         {std::tuple{"red", 200, 0, 0}, {"green", 0, 180, 0}, {"blue", 0, 0, 220}})
      ASSERT_TRUE(doc.AddColor(name, r, g, b));
  }
  // Fills regions of the frame in hand by clicking one pixel of each: colour 3 + r % 3, every
  // fifth region left unfilled.
  void PaintByHand() {
    const RegionData& regions = doc.image().regions;
    std::vector<bool> done(std::size_t(regions.regionCount) + 2, false);
    for (std::size_t i = 0; i < regions.PixelCount(); ++i) {
      const int r = regions.regionMap[i];
      if (done[std::size_t(r)] || r % 5 == 0) continue;
      done[std::size_t(r)] = true;
      doc.SetCurrentColor(3 + r % 3);
      doc.FillRegionAt(int(i % kWidth), int(i / kWidth));
    }
  }
  // Fills the first unfilled region the hand painting left.
  void PaintOneMore() {
    const WorkingImage& image = doc.image();
    for (std::size_t i = 0; i < image.regions.PixelCount(); ++i)
      if (image.regionColor[image.regions.regionMap[i]] == kUnfilledColor) {
        doc.SetCurrentColor(kFirstUserColor);
        doc.FillRegionAt(int(i % kWidth), int(i / kWidth));
        return;
      }
  }

  TempDir dir;
  ScriptedPrompt prompt;
  DrawingSequence sequence;
  CAnalyzerDoc doc{prompt};
};

// The vote as written out for the users: peg offsets by table, a table of counters starting
// at 1, every source pixel over the target adding one, strictly larger wins.
struct LiteralFill {
  std::vector<int32_t> colours;
  int filled = 0;
};
LiteralFill LiteralAutoFill(const WorkingImage& target, FramePlacement where,
                            const std::string& sourceScan, const std::string& sourceRegions,
                            const std::string& sourcePaint, int colourCount) {
  const DrawingScanHeader h = *ReadDrawingScanHeader(sourceScan, ScanReader::Analyzer);
  const RegionData s = *ReadRegionFile(sourceRegions, h.width, h.height, RegionReader::Painter);
  const PaintFile paint = *ReadPaintFile(sourcePaint, s.regionCount, colourCount);
  auto offset = [p = where.peg](int w, int hh, int ox, int oy) -> std::pair<int, int> {
    switch (p) {
      case 0:
        return {-(w + oy), -(hh + ox)};
      case 1:
        return {oy, ox};
      case 2:
        return {ox, -(hh + oy)};
      case 3:
        return {-(w + ox), oy};
      default:
        return {ox, oy};
    }
  };
  const auto [tx, ty] = offset(target.width(), target.height(), where.originX, where.originY);
  const auto [sx, sy] = offset(h.width, h.height, h.xPosition, h.yPosition);
  const int dx = sx - tx, dy = sy - ty;
  const int nt = target.regions.regionCount, ns = s.regionCount;
  std::vector<std::vector<uint32_t>> votes(std::size_t(nt) + 2,
                                           std::vector<uint32_t>(std::size_t(ns) + 2, 1));
  for (int y = 0; y < h.height; ++y)
    for (int x = 0; x < h.width; ++x) {
      const int X = x + dx, Y = y + dy;
      if (X < 0 || Y < 0 || X >= target.width() || Y >= target.height()) continue;
      ++votes[target.regions.regionMap[std::size_t(Y * target.width() + X)]]
             [s.regionMap[std::size_t(y * h.width + x)]];
    }
  LiteralFill fill{target.regionColor, target.filledCount};
  for (int r = 1; r <= nt + 1; ++r) {
    int best = 1;
    for (int t = 1; t <= ns + 1; ++t)
      if (votes[std::size_t(r)][std::size_t(t)] > votes[std::size_t(r)][std::size_t(best)])
        best = t;
    const int32_t colour = paint.regionColor[std::size_t(best)];
    if (fill.colours[std::size_t(r)] == kUnfilledColor && colour != kUnfilledColor) ++fill.filled;
    fill.colours[std::size_t(r)] = colour;
  }
  return fill;
}

TEST(SequencePaint, AutoFillOverThreeFramesGivesWhatThePlainVoteGives) {
  PaintedSequence s;
  const std::vector<uint8_t> analysed = testing::ReadBytes(s.File(1, ".rgn"));
  s.Begin();
  s.PaintByHand();
  const int filledByHand = s.doc.image().filledCount;
  ASSERT_GT(filledByHand, 3);
  int painted = 0;
  for (int step = 2; step <= 3; ++step) {
    ASSERT_TRUE(s.doc.NextFrame());
    if (step == 2) {
      EXPECT_EQ(testing::ReadBytes(s.File(1, ".rgn")), analysed);  // written back as read
    }
    const LiteralFill want =
        LiteralAutoFill(s.doc.image(), s.doc.paintSequence()->placement, s.File(step - 1, ".qds"),
                        s.File(step - 1, ".rgn"), s.File(step - 1, ".pnt"), s.doc.colors().count);
    ASSERT_TRUE(s.doc.AutoFillPrevious());
    EXPECT_EQ(s.doc.image().regionColor, want.colours) << "frame " << step;
    EXPECT_EQ(s.doc.image().filledCount, want.filled);
    painted += std::count_if(want.colours.begin(), want.colours.end(),
                             [](int32_t c) { return c >= kFirstUserColor; });
  }
  EXPECT_GT(painted, 6);  // the colours did travel
  // Frame 1 chosen in "Frame No?" from frame 3, over what the previous frame gave.
  const LiteralFill fromFirst =
      LiteralAutoFill(s.doc.image(), s.doc.paintSequence()->placement, s.File(1, ".qds"),
                      s.File(1, ".rgn"), s.File(1, ".pnt"), s.doc.colors().count);
  ASSERT_TRUE(s.doc.AutoFillFromEntry("1"));
  EXPECT_EQ(s.doc.image().regionColor, fromFirst.colours);

  s.prompt.QueueAnswer(true);
  ASSERT_TRUE(s.doc.ExitSequencePaint());
  const std::vector<uint8_t> stored = testing::ReadBytes(s.File(3, ".pnt"));
  ASSERT_EQ(stored.size(), 2 + 2 * fromFirst.colours.size() - 2);
  // The painted count stored is that of the regions painted, however they came to be.
  const int unfilled =
      int(std::count(fromFirst.colours.begin() + 1, fromFirst.colours.end(), kUnfilledColor));
  EXPECT_EQ(stored[0] | stored[1] << 8, int(fromFirst.colours.size()) - 2 - unfilled);
  EXPECT_TRUE(testing::ReadText(s.dir.File("walk.col")).ends_with("blue 0 0 220\n"));
}

// A sequence painted in the painter with colours the analyzer never loaded: its own set is
// read first, a set larger than the analyzer's refuses the sequence, frames only looked at
// keep their files, and the set on disk never comes back shorter.
TEST(SequencePaint, TheSequencesOwnColoursAreReadFirstAndNothingUnchangedIsRewritten) {
  PaintedSequence s;
  // Frame 1 painted everywhere with SHOES (index 7), as the painter writes it: count 0.
  const RegionData regions =
      *ReadRegionFile(s.File(1, ".rgn"), kWidth, kHeight, RegionReader::Analyzer);
  std::vector<int32_t> shoes(std::size_t(regions.regionCount) + 2, 7);
  shoes[0] = shoes[1] = kTransparentColor;
  ASSERT_TRUE(WritePaintFile(s.File(1, ".pnt"), shoes, 0));
  const std::vector<uint8_t> painted = testing::ReadBytes(s.File(1, ".pnt"));
  const std::string set = testing::ReadText(s.dir.File("walk.col"));

  SequencePaintChoice choice;
  ASSERT_TRUE(s.doc.SelectPaintSequence(s.File(1, ".qds"), choice));
  ASSERT_TRUE(s.doc.BeginSequencePaint(*choice.sequence));
  // The painted count is read from the regions, not from the 0 the painter stored.
  EXPECT_EQ(std::tuple(s.doc.colors().count, s.doc.image().regionColor, s.doc.unfilledCount()),
            std::tuple(8, shoes, 0));
  ASSERT_TRUE(s.doc.NextFrame());
  ASSERT_TRUE(s.doc.LastFrame());
  s.prompt.QueueAnswer(true);
  ASSERT_TRUE(s.doc.ExitSequencePaint());
  EXPECT_EQ(testing::ReadBytes(s.File(1, ".pnt")), painted);
  EXPECT_FALSE(std::filesystem::exists(s.File(2, ".pnt")));
  EXPECT_EQ(testing::ReadText(s.dir.File("walk.col")), set);

  // A smaller set chosen in the dialog paints, but the sequence's set is not cut down to it.
  testing::WriteText(s.dir.File("small.col"),
                     "Quenda\n4\nTRANS 1 1 1\nUNFIL 2 2 2\nLINE 3 3 "
                     "3\nRED 200 0 0\n");
  CAnalyzerDoc chosen(s.prompt);
  SequencePaintChoice smaller;
  ASSERT_TRUE(chosen.SelectPaintSequence(s.File(2, ".qds"), smaller));
  ASSERT_TRUE(chosen.LoadPaintColorSet(s.dir.File("small.col"), smaller));
  ASSERT_TRUE(chosen.BeginSequencePaint(*smaller.sequence, smaller.colorSetLoaded));
  EXPECT_EQ(chosen.colors().count, 4);
  s.prompt.Clear();
  s.prompt.QueueAnswer(true);
  ASSERT_TRUE(chosen.ExitSequencePaint());
  EXPECT_EQ(s.prompt.Texts().back(), s.dir.File("walk.col") +
                                         " was not written: it holds 8 colours and the "
                                         "analyzer's set only 4.");
  EXPECT_EQ(testing::ReadText(s.dir.File("walk.col")), set);

  // More colours than the analyzer holds: refused, naming the set, and nothing is touched.
  std::string large = "Quenda\n45\n";
  for (int i = 0; i < 45; ++i) large += "C" + std::to_string(i) + " 1 2 3\n";
  testing::WriteText(s.dir.File("walk.col"), large);
  CAnalyzerDoc refused(s.prompt);
  s.prompt.Clear();
  EXPECT_FALSE(refused.BeginSequencePaint(*choice.sequence));
  EXPECT_EQ(s.prompt.Texts(),
            std::vector<std::string>{"The colour set " + s.dir.File("walk.col") +
                                     " holds 45 colours, more than the 40 the analyzer paints "
                                     "with; paint this sequence in the painter, or its other "
                                     "colours would be lost."});
  EXPECT_FALSE(refused.sequencePainting());
  EXPECT_EQ(testing::ReadText(s.dir.File("walk.col")), large);
  EXPECT_EQ(testing::ReadBytes(s.File(1, ".pnt")), painted);
}

// A paint file made for other regions: told with both names, shown unpainted, set aside by the
// first new paint.
TEST(SequencePaint, APaintFileThatDoesNotFitItsRegionsIsToldAndSetAsideWhenPainted) {
  PaintedSequence s;
  const std::vector<uint8_t> stale{0, 0, 4, 0};
  testing::WriteBytes(s.File(1, ".pnt"), stale);
  s.prompt.Clear();
  s.Begin();
  EXPECT_EQ(s.prompt.Texts(),
            std::vector<std::string>{StalePaintWarning(s.File(1, ".pnt"), s.File(1, ".rgn"))});
  EXPECT_EQ(s.doc.unfilledCount(), s.doc.image().regions.regionCount);
  s.PaintByHand();
  const int regions = s.doc.image().regions.regionCount;
  ASSERT_TRUE(s.doc.NextFrame());
  EXPECT_EQ(testing::ReadBytes(s.File(1, ".pnt.stale")), stale);
  Result<PaintFile> fresh = ReadPaintFile(s.File(1, ".pnt"), regions, 0);
  ASSERT_TRUE(fresh.ok());
  EXPECT_FALSE(fresh->stale);
}

TEST(SequencePaint, RenderAndFrameCommandsTellWhatStopsThemAndLeaveTheFrameInHand) {
  PaintedSequence s;
  const std::pair<RenderEntries, std::string> refused[] = {
      {{"", "", "1", "3"}, "You must give a valid header"},
      {{"", "out2", "1", "3"}, "You must give a valid header"},
      {{"", "out", "1x", "3"}, "Invalid entry"},
      {{"", "out", "3", ""}, "Invalid entry"},
      {{"", "out", "3", "2"}, "End no must be greater than start no"},
      {{"", "out", "0", "2"}, "Invalid render range"},
      {{"", "out", "2", "4"}, "Invalid render range"},
  };
  for (const auto& [entries, message] : refused)
    EXPECT_EQ(CheckRenderEntries(entries, s.sequence).message(), message) << entries.header;

  s.Begin();
  s.PaintByHand();
  // Frame 1 is written as the render starts; frames 2 and 3 have no paint yet.
  s.prompt.QueueAnswer(true);
  std::optional<RenderRequest> request = s.doc.PrepareRender({s.dir.File("out/"), "out", "1", "3"});
  ASSERT_TRUE(request);
  EXPECT_EQ(s.prompt.Texts().back(), "You have not painted all requested frames, continue?");
  std::filesystem::create_directory(s.dir.File("out"));
  ScriptedProgress stopAfterSecond(2);
  s.prompt.Clear();
  const RenderResult result = s.doc.RunRender(*request, s.prompt, stopAfterSecond);
  EXPECT_EQ(result.written, 2);
  EXPECT_TRUE(result.cancelled);
  EXPECT_EQ(s.prompt.Texts(), std::vector<std::string>{"Render Cancelled!"});
  EXPECT_EQ(testing::ListDirectory(s.dir.File("out")),
            (std::vector<std::string>{"out1.tga", "out2.tga"}));
  // Frame 1 as painted: a pixel deep inside the largest painted region has its colour, opaque.
  Result<Raster> out = ReadTarga(s.dir.File("out/out1.tga"), TargaReader::ComposerClipFrame);
  ASSERT_TRUE(out);
  EXPECT_EQ(out->channels(), 4);
  const WorkingImage& image = s.doc.image();
  int checked = 0;
  for (int y = 2; y < kHeight - 2; ++y)
    for (int x = 2; x < kWidth - 2; ++x) {
      const int colour = image.regionColor[image.regions.regionMap[std::size_t(y * kWidth + x)]];
      if (!testing::InsidePaper(image, x, y) || colour < kFirstUserColor) continue;
      const ColorEntry& e = s.doc.colors().entries[std::size_t(colour)];
      const uint8_t* p = out->Row(y) + 4 * x;
      ASSERT_EQ((std::vector<int>{p[0], p[1], p[2], p[3]}),
                (std::vector<int>{e.blue, e.green, e.red, 255}))
          << x << "," << y;
      ++checked;
    }
  EXPECT_GT(checked, 20);

  // What each frame command says, from frame 1 (still in hand) unless it moves.
  const std::string rgn3 = s.File(3, ".rgn");
  const std::pair<std::function<Status()>, std::string> cases[] = {
      {[&] { return s.doc.AutoFillPrevious(); }, "Can not autopaint first frame!"},
      {[&] { return s.doc.AutoFillFromEntry("1"); }, "Can not autopaint with the same frame!"},
      {[&] { return s.doc.GoToFrameEntry(" "); }, "You must enter a frame number"},
      {[&] { return s.doc.GoToFrameEntry("4"); }, "Value to high!"},
      {[&] { return s.doc.GoToFrameEntry("2a"); }, "Frame out of range"},
      {[&] {
         std::filesystem::rename(rgn3, rgn3 + ".away");
         return s.doc.GoToFrameEntry("3");
       },
       "Fatal error: Fatal: region file does not exist: \n" + rgn3},
      {[&] {
         std::filesystem::remove(s.File(2, ".qds"));
         return s.doc.NextFrame();
       },
       "Fatal error: Fatal: Image file does not exist: \n" + s.File(2, ".qds")},
  };
  for (const auto& [command, message] : cases) {
    s.prompt.Clear();
    EXPECT_FALSE(command());
    EXPECT_EQ(s.prompt.Texts(), std::vector<std::string>{message});
    EXPECT_EQ(s.doc.paintSequence()->current, 0);
  }
  std::filesystem::rename(rgn3 + ".away", rgn3);

  // Frame 1's paint file cannot be written: both messages, and frame 1 stays with its paint.
  // The file written here is another program's: the analyzer asks before writing over it, and
  // asks again while its own paint has not replaced it.
  s.PaintByHand();
  s.PaintOneMore();
  const std::vector<int32_t> paint = s.doc.image().regionColor;
  testing::WriteBytes(s.File(1, ".pnt"), {0, 0});
  testing::MakeReadOnly(s.File(1, ".pnt"));
  s.prompt.Clear();
  s.prompt.QueueChoice(0);  // Overwrite
  EXPECT_FALSE(s.doc.LastFrame());
  const std::string overwrite =
      "Quenda Analyzer\nwalk1.pnt was changed on disk by another program since it was read "
      "here. Saving replaces those changes with this window's.\n[Overwrite] [Save As…] [Cancel]";
  EXPECT_EQ(s.prompt.Texts(), (std::vector<std::string>{
                                  overwrite, "Fatal: Error opening paint file writing\n",
                                  "Fatal: paint file can not be opened: " + s.File(1, ".pnt")}));
  EXPECT_EQ(s.doc.paintSequence()->current, 0);
  EXPECT_EQ(s.doc.image().regionColor, paint);
  testing::MakeWritable(s.File(1, ".pnt"));
  s.prompt.QueueChoice(0);  // Overwrite
  ASSERT_TRUE(s.doc.LastFrame());

  // From frame 3: frame 2 has no drawing left, then frame 1 no paint.
  s.prompt.Clear();
  EXPECT_FALSE(s.doc.AutoFillFromEntry("2"));
  std::filesystem::remove(s.File(1, ".pnt"));
  EXPECT_FALSE(s.doc.AutoFillFromEntry("1"));
  EXPECT_EQ(s.prompt.Texts(),
            (std::vector<std::string>{"Previous frame image file does not exist!",
                                      "Previous frame paint data does not exist!"}));

  // Single-frame paint has no frames to fill from.
  CAnalyzerDoc single(s.prompt);
  ASSERT_TRUE(single.LoadImageFile(s.File(3, ".qds")));
  ASSERT_TRUE(single.LoadRegionsFile(rgn3));
  ASSERT_TRUE(single.EnterPaint());
  EXPECT_FALSE(single.AutoFillPrevious());
  EXPECT_EQ(s.prompt.Texts().back(), "Can not autopaint in single frame paint!");
}

}  // namespace
}  // namespace quenda
