// Batch processing over real drawing sequences on disk: which region files appear, what they
// hold, STOP and its question, bad frames, unwritable files and split runs.

#include "analyzer/core/batch_process.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <tuple>

#include "analyzer/core/line_generation.h"
#include "analyzer/core/region_extraction.h"
#include "common/drawing_scan.h"
#include "common/file_io.h"
#include "common/paint_file.h"
#include "common/region_file.h"
#include "common/scripted_prompt.h"
#include "samples/sample_drawing.h"
#include "testing/test_support.h"

namespace quenda {
namespace {

using namespace testing;

constexpr int kWidth = 61;
constexpr int kHeight = 47;
// Not the defaults, so a file that took the defaults shows.
constexpr RedlineSettings kRunSettings{90, 170, 200, 40};

// walk1.qds .. walkN.qds, sample drawings of an odd size.
DrawingSequence WriteSequence(const TempDir& dir, int frames) {
  samples::SampleOptions options{.width = kWidth, .height = kHeight};
  ScriptedPrompt prompt;
  EXPECT_TRUE(samples::WriteSampleSequence(dir.path(), "walk", frames, options, prompt));
  return OpenSequence(dir.File("walk1.qds"), "walk1.qds");
}

// A Progress whose STOP the test presses; reading it clears it, as the run expects.
class StopButton final : public Progress {
 public:
  void SetStage(std::string_view text) override { stages.emplace_back(text); }
  void SetPercent(int percent) override { percents.push_back(percent); }
  bool StopRequested() override {
    ++reads;
    return std::exchange(pressed, false);
  }
  bool pressed = false;
  int reads = 0;
  std::vector<std::string> stages;
  std::vector<int> percents;
};

// Every frame with the run's settings, without STOP.
BatchResult RunAll(const DrawingSequence& sequence, ScriptedPrompt& prompt) {
  NullProgress progress;
  return RunBatchProcess(sequence, AllFrames(sequence), kRunSettings, prompt, progress);
}

// The region file of one drawing made without the batch run, for comparison.
std::vector<uint8_t> AnalyzedAlone(const std::string& scanPath, const RedlineSettings& settings) {
  auto loaded = ReadDrawingScan(scanPath, ScanReader::Analyzer);
  EXPECT_TRUE(loaded.ok()) << loaded.message();
  WorkingImage image = MakeWorkingImage(loaded->scan.picture.width(), loaded->scan.picture.height(),
                                        std::move(loaded->scan.picture.bytes()));
  NullProgress progress;
  GenerateLines(image, settings, 0, image.width(), 0, image.height(), progress);
  EXPECT_TRUE(ExtractRegions(image, settings, progress));
  ResetRegionColours(image);
  return EncodeRegionFile(image.regions);
}

TEST(BatchProcess, ProcessChecksTheSequenceThenAsksAboutTheSettings) {
  ScriptedPrompt prompt;
  EXPECT_FALSE(ConfirmBatchProcess(false, true, prompt));
  EXPECT_EQ(prompt.Texts(), std::vector<std::string>{"You must select a sequence first"});
  EXPECT_EQ(prompt.shown()[0].kind, ScriptedPrompt::Kind::Message);

  prompt.Clear();
  EXPECT_TRUE(ConfirmBatchProcess(true, true, prompt));  // a loaded file needs no question
  EXPECT_TRUE(prompt.shown().empty());

  for (bool answer : {true, false}) {
    prompt.Clear();
    prompt.QueueAnswer(answer);
    EXPECT_EQ(ConfirmBatchProcess(true, false, prompt), answer);
    ASSERT_EQ(prompt.shown().size(), 1u);
    EXPECT_EQ(prompt.shown()[0].kind, ScriptedPrompt::Kind::OkCancel);
  }

  EXPECT_EQ(ProcessingFrameTitle("/anim/walk3.qds"),
            "Compatible Scanner :: Quenda Animation Paint System Processing Frame: "
            "/anim/walk3.qds");
}

TEST(BatchProcess, EveryFrameGetsItsRegionFileWithTheRunsSettings) {
  TempDir dir;
  DrawingSequence sequence = WriteSequence(dir, 2);
  // A drawing inserted after frame 2 is processed in tag order, between 2 and 3.
  const samples::SampleOptions options{.width = kWidth, .height = kHeight};
  const samples::SampleOptions other{.width = kWidth, .height = kHeight, .seed = 9};
  ASSERT_TRUE(WriteDrawingScan(dir.File("walk2a.qds"), samples::MakeSampleDrawing(other, 0, 1),
                               ScanWriter::Scanner));
  // The last frame is drawn up to the paper's right edge: its last column is ink too.
  DrawingScan edge = samples::MakeSampleDrawing(options, 1, 3);
  for (int y = 0; y < kHeight; ++y) *edge.picture.At(kWidth - 1, y) = 20;
  ASSERT_TRUE(WriteDrawingScan(dir.File("walk3.qds"), edge, ScanWriter::Scanner));
  sequence = OpenSequence(dir.File("walk1.qds"), "walk1.qds");
  ASSERT_EQ(sequence.frameCount, 4);

  // Settings changed while the run goes on must not reach the later frames.
  RedlineSettings settings = kRunSettings;
  BatchObserver observer;
  std::vector<std::string> started;
  observer.frameStarted = [&](int, const std::string& path) {
    started.push_back(path);
    settings = RedlineSettings{};
  };
  int loaded = 0;
  observer.drawingLoaded = [&](const WorkingImage& image) {
    EXPECT_EQ(image.width(), kWidth);
    EXPECT_FALSE(image.HasRegions());
    ++loaded;
  };
  ScriptedPrompt prompt;
  StopButton progress;
  progress.pressed = true;  // left over from before the run: dropped when the run starts
  BatchResult result =
      RunBatchProcess(sequence, AllFrames(sequence), settings, prompt, progress, observer);

  EXPECT_EQ(result.end, BatchEnd::Finished);
  EXPECT_TRUE(prompt.shown().empty());
  EXPECT_EQ(ListDirectory(dir.path(), ".rgn"),
            (std::vector<std::string>{"walk1.rgn", "walk2.rgn", "walk2a.rgn", "walk3.rgn"}));
  EXPECT_EQ(started, (std::vector<std::string>{dir.File("walk1.qds"), dir.File("walk2.qds"),
                                               dir.File("walk2a.qds"), dir.File("walk3.qds")}));
  EXPECT_EQ(loaded, 4);
  ASSERT_EQ(result.frames.size(), 4u);
  for (const BatchFrameReport& frame : result.frames) {
    SCOPED_TRACE(frame.regionPath);
    EXPECT_TRUE(frame.written);
    EXPECT_EQ(frame.failure, "");
    EXPECT_EQ(frame.regionPath, dir.File("walk" + FormatFrameTag(frame.tag) + ".rgn"));
    auto data = ReadRegionFile(frame.regionPath, kWidth, kHeight, RegionReader::Painter);
    ASSERT_TRUE(data.ok()) << data.message();
    EXPECT_EQ(frame.regions, data->regionCount + 1);
    EXPECT_GT(frame.regions, 1);  // the figure's outlines close regions
    EXPECT_EQ(ReadBytes(frame.regionPath), AnalyzedAlone(frame.scanPath, kRunSettings));
  }
  auto last = ReadRegionFile(dir.File("walk3.rgn"), kWidth, kHeight, RegionReader::Painter);
  ASSERT_TRUE(last.ok()) << last.message();
  for (int y = 0; y < kHeight; ++y)
    ASSERT_EQ(
        last->flags[std::size_t(y * kWidth + kWidth - 1)] & (kFlagRegionLine | kFlagAnimatorLine),
        kFlagRegionLine | kFlagAnimatorLine)
        << "row " << y;

  EXPECT_EQ(progress.stages, (std::vector<std::string>{
                                 "Processing Frame: walk1.qds", "Processing Frame: walk2.qds",
                                 "Processing Frame: walk2a.qds", "Processing Frame: walk3.qds"}));
  EXPECT_EQ(progress.reads, 5);  // once to start afresh, then after each frame
  EXPECT_EQ(progress.percents.front(), 0);
  EXPECT_EQ(progress.percents.back(), 100);
  EXPECT_TRUE(std::is_sorted(progress.percents.begin(), progress.percents.end()));
}

// With two jobs the third frame is analyzed ahead; a stop must still leave it unwritten.
// Run again over painted frames: the paint follows the new regions, is written with them, and
// the window's summary names only the frames whose paint did not stay as it was.
TEST(BatchProcess, PaintBesideTheRegionFilesIsCarriedAndTheChangesSummed) {
  TempDir dir;
  DrawingSequence sequence = WriteSequence(dir, 3);
  ScriptedPrompt prompt;
  NullProgress progress;
  ASSERT_EQ(RunBatchProcess(sequence, AllFrames(sequence), {}, prompt, progress).WrittenCount(), 3);
  // walk1 painted throughout: the same regions again keep it exactly. walk2 has paint made
  // for other regions; walk3 has none.
  const RegionData first =
      *ReadRegionFile(dir.File("walk1.rgn"), kWidth, kHeight, RegionReader::Analyzer);
  std::vector<int32_t> paint = DefaultPaint(first.regionCount);
  for (std::size_t r = 2; r < paint.size(); ++r) paint[r] = 3;
  ASSERT_TRUE(WritePaintFile(dir.File("walk1.pnt"), paint));
  WriteBytes(dir.File("walk2.pnt"), {0, 0, 3, 0});
  BatchResult again = RunBatchProcess(sequence, AllFrames(sequence), {}, prompt, progress);
  ASSERT_EQ(again.WrittenCount(), 3);
  EXPECT_EQ(std::tuple(again.frames[0].paint.paint, again.frames[1].paint.paint,
                       again.frames[2].paint.paint),
            std::tuple(PaintKept::Carried, PaintKept::SetAside, PaintKept::NoPaint));
  EXPECT_EQ(ReadBytes(dir.File("walk1.pnt")),
            EncodePaintFile(paint, first.regionCount));  // every region painted
  EXPECT_EQ(PaintChangesSummary(again),
            "walk2.rgn: paint made for other regions set aside as walk2.pnt.stale");
  EXPECT_TRUE(prompt.shown().empty());
}

// Paint whose region files were removed: asked once for the whole run, naming the first and
// how many; Keep keeps paint of the new region count as it is, Set Aside (and no answer) moves
// it aside as before. With every region file there, nothing is asked.
TEST(BatchProcess, PaintWithoutRegionFilesIsKeptOrSetAsideAsAnsweredOnceForTheRun) {
  const struct {
    std::optional<int> button;
    bool kept;
  } cases[] = {{0, true}, {1, false}, {std::nullopt, false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.button.value_or(-1));
    TempDir dir;
    DrawingSequence sequence = WriteSequence(dir, 3);
    ScriptedPrompt prompt;
    NullProgress progress;
    ASSERT_EQ(RunAll(sequence, prompt).WrittenCount(), 3);
    EXPECT_TRUE(UncheckedPaintFiles(sequence, AllFrames(sequence)).empty());
    std::vector<std::vector<uint8_t>> painted;
    for (const std::string frame : {"walk1", "walk3"}) {
      const RegionData regions =
          *ReadRegionFile(dir.File(frame + ".rgn"), kWidth, kHeight, RegionReader::Analyzer);
      std::vector<int32_t> paint = DefaultPaint(regions.regionCount);
      for (std::size_t r = 2; r < paint.size(); ++r) paint[r] = 3;
      ASSERT_TRUE(WritePaintFile(dir.File(frame + ".pnt"), paint));
      painted.push_back(ReadBytes(dir.File(frame + ".pnt")));
      std::filesystem::remove(dir.File(frame + ".rgn"));
    }
    const std::vector<std::string> unchecked = UncheckedPaintFiles(sequence, AllFrames(sequence));
    EXPECT_EQ(unchecked, (std::vector<std::string>{dir.File("walk1.pnt"), dir.File("walk3.pnt")}));
    EXPECT_EQ(UncheckedPaintFiles(sequence, {1, 2}),
              std::vector<std::string>{dir.File("walk3.pnt")});
    prompt.QueueChoice(c.button);
    const UncheckedPaint answer = AskAboutUncheckedPaint(unchecked, prompt);
    EXPECT_EQ(prompt.Texts().size(), 1u);  // read whole in the window's test
    BatchResult run = RunBatchProcess(sequence, AllFrames(sequence), kRunSettings, prompt, progress,
                                      {}, 1, 0, answer);
    ASSERT_EQ(run.WrittenCount(), 3);
    EXPECT_EQ(run.frames[0].paint.paint, c.kept ? PaintKept::KeptUnchecked : PaintKept::Unchecked);
    EXPECT_EQ(ReadBytes(dir.File(c.kept ? "walk1.pnt" : "walk1.pnt.stale")), painted[0]);
    EXPECT_EQ(ReadBytes(dir.File(c.kept ? "walk3.pnt" : "walk3.pnt.stale")), painted[1]);
    EXPECT_EQ(EntryExists(dir.File("walk1.pnt.stale")), !c.kept);
  }
  ScriptedPrompt prompt;
  EXPECT_EQ(AskAboutUncheckedPaint({}, prompt), UncheckedPaint::SetAside);
  prompt.QueueChoice(0);
  EXPECT_EQ(AskAboutUncheckedPaint({"/x/walk2.pnt"}, prompt), UncheckedPaint::Keep);
  EXPECT_EQ(AskAboutUncheckedPaint({"/x/walk2.pnt", "/x/walk4.pnt", "/x/walk5.pnt"}, prompt),
            UncheckedPaint::SetAside);  // no answer queued: no one to ask
  ASSERT_EQ(prompt.Texts().size(), 2u);
  EXPECT_EQ(prompt.Texts()[0],
            "Quenda Analyzer\nwalk2.pnt has no old region file to check its paint against. Keep "
            "it as it is where the new regions are as many (it may then colour other regions "
            "than it was painted on), or set it aside as walk2.pnt.stale, to take back by "
            "hand?\n[Keep] [Set Aside]");
  EXPECT_TRUE(prompt.Texts()[1].starts_with(
      "Quenda Analyzer\nwalk2.pnt and 2 more paint files have no old region file"))
      << prompt.Texts()[1];
}

TEST(BatchProcess, StopDuringTheSecondFrameAsksOnceItIsDone) {
  for (auto [confirm, jobs] : {std::pair{false, 1}, {true, 1}, {false, 2}, {true, 2}}) {
    SCOPED_TRACE(::testing::Message() << (confirm ? "OK" : "Cancel") << " jobs " << jobs);
    TempDir dir;
    DrawingSequence sequence = WriteSequence(dir, 3);
    StopButton progress;
    BatchObserver observer;
    observer.drawingLoaded = [&](const WorkingImage&) {
      if (progress.stages.size() == 2) progress.pressed = true;
    };
    ScriptedPrompt prompt;
    prompt.QueueAnswer(confirm);
    BatchResult result = RunBatchProcess(sequence, AllFrames(sequence), kRunSettings, prompt,
                                         progress, observer, jobs);

    EXPECT_EQ(prompt.Texts(),
              std::vector<std::string>{"Are you sure, you will stop finding regions?"});
    EXPECT_EQ(prompt.shown()[0].kind, ScriptedPrompt::Kind::OkCancel);
    if (confirm) {
      EXPECT_EQ(result.end, BatchEnd::Stopped);
      EXPECT_EQ(ListDirectory(dir.path(), ".rgn"),
                (std::vector<std::string>{"walk1.rgn", "walk2.rgn"}));
      EXPECT_EQ(result.frames.size(), 2u);
    } else {
      EXPECT_EQ(result.end, BatchEnd::Finished);
      EXPECT_EQ(ListDirectory(dir.path(), ".rgn"),
                (std::vector<std::string>{"walk1.rgn", "walk2.rgn", "walk3.rgn"}));
      EXPECT_EQ(progress.reads, 4);
    }
  }
}

// A refused file and one whose pixels are cut short (a warning the reader passes, which the run
// must treat as a failure); the reader's message tables are checked with the drawing scan.
TEST(BatchProcess, ABadDrawingStopsTheRunAndKeepsEarlierFiles) {
  auto cut = [](const std::string& path) {
    std::vector<uint8_t> bytes = ReadBytes(path);
    bytes.resize(bytes.size() - 100);
    WriteBytes(path, bytes);
  };
  auto remove = [](const std::string& path) { std::filesystem::remove(path); };
  // The message is `before` + path + `after`.
  struct Case {
    std::string name;
    std::function<void(const std::string&)> spoil;
    std::string before, after;
  };
  const Case cases[] = {{"missing", remove, "Error opening file ", "\n"},
                        {"short pixels", cut, "Error reading image ", " : Unexpected end of file"}};
  for (int jobs : {1, 2})
    for (const auto& [name, spoil, before, after] : cases) {
      SCOPED_TRACE(::testing::Message() << name << " jobs " << jobs);
      TempDir dir;
      DrawingSequence sequence = WriteSequence(dir, 3);
      const std::string middle = dir.File("walk2.qds");
      spoil(middle);
      const std::string message = before + middle + after;
      ScriptedPrompt prompt;
      NullProgress progress;
      BatchResult result =
          RunBatchProcess(sequence, AllFrames(sequence), kRunSettings, prompt, progress, {}, jobs);
      EXPECT_EQ(result.end, BatchEnd::BadFrame);
      EXPECT_EQ(result.badFrameMessage, message);
      EXPECT_EQ(prompt.Texts(), std::vector<std::string>{message});
      ASSERT_EQ(result.frames.size(), 1u);
      EXPECT_EQ(ListDirectory(dir.path(), ".rgn"), std::vector<std::string>{"walk1.rgn"});
    }
}

TEST(BatchProcess, ARegionFileThatCannotBeWrittenIsReportedAndTheOthersAreReplaced) {
  TempDir dir;
  DrawingSequence sequence = WriteSequence(dir, 3);
  const std::vector<uint8_t> old{1, 2, 3};
  WriteBytes(dir.File("walk1.rgn"), old);  // replaced without asking
  WriteBytes(dir.File("walk2.rgn"), old);
  testing::MakeReadOnly(dir.File("walk2.rgn"));
  ScriptedPrompt prompt;
  BatchResult result = RunAll(sequence, prompt);
  testing::MakeWritable(dir.File("walk2.rgn"));

  EXPECT_EQ(result.end, BatchEnd::Finished);
  EXPECT_EQ(prompt.Texts(), std::vector<std::string>{"Error opening file for writing"});
  ASSERT_EQ(result.frames.size(), 3u);
  EXPECT_TRUE(result.frames[0].written);
  EXPECT_FALSE(result.frames[1].written);
  EXPECT_EQ(result.frames[1].failure, "Error opening file for writing");
  EXPECT_GT(result.frames[1].regions, 1);  // found, only not stored
  EXPECT_TRUE(result.frames[2].written);
  EXPECT_EQ(ReadBytes(dir.File("walk2.rgn")), old);
  EXPECT_EQ(ReadBytes(dir.File("walk1.rgn")), AnalyzedAlone(dir.File("walk1.qds"), kRunSettings));
  // Nothing left behind by the replacing writes.
  EXPECT_EQ(ListDirectory(dir.path()).size(), 7u);
}

TEST(BatchProcess, SplitRunsWriteTheSameBytesAsOneWholeRun) {
  TempDir whole, split;
  DrawingSequence all = WriteSequence(whole, 5);
  DrawingSequence parts = WriteSequence(split, 5);
  ScriptedPrompt prompt;
  NullProgress progress;
  ASSERT_EQ(RunAll(all, prompt).WrittenCount(), 5);

  BatchResult middle = RunBatchProcess(parts, {1, 3}, kRunSettings, prompt, progress);
  EXPECT_EQ(ListDirectory(split.path(), ".rgn"),
            (std::vector<std::string>{"walk2.rgn", "walk3.rgn", "walk4.rgn"}));
  ASSERT_EQ(middle.frames.size(), 3u);
  EXPECT_EQ(middle.frames[0].index, 1);
  EXPECT_EQ(middle.frames[2].tag.number, 4);
  BatchResult rest = RunBatchProcess(parts, {4, 99}, kRunSettings, prompt, progress);
  EXPECT_EQ(rest.frames.size(), 1u);  // cut to the sequence
  BatchResult first = RunBatchProcess(parts, {-3, 0}, kRunSettings, prompt, progress);
  EXPECT_EQ(first.frames.size(), 1u);
  EXPECT_TRUE(RunBatchProcess(parts, {3, 2}, kRunSettings, prompt, progress).frames.empty());
  for (int n = 1; n <= 5; ++n) {
    std::string name = "walk" + std::to_string(n) + ".rgn";
    EXPECT_EQ(ReadBytes(split.File(name)), ReadBytes(whole.File(name))) << name;
  }
  EXPECT_TRUE(prompt.shown().empty());
}

TEST(BatchProcess, ADrawingWithMoreRegionsThanAFileHoldsGetsNoFile) {
  TempDir dir;
  // Ink everywhere but a lattice of lone paper pixels: each one is a region of its own.
  const int side = 520;
  DrawingScan scan{100, 0, 0, 0, Raster(side, side, 1, 0)};
  for (int y = 1; y < side - 1; y += 2)
    for (int x = 1; x < side - 1; x += 2) scan.picture.At(x, y)[0] = 255;
  ASSERT_TRUE(WriteDrawingScan(dir.File("dots1.qds"), scan, ScanWriter::Scanner));
  DrawingScan small = samples::MakeDrawing(kWidth, kHeight);
  ASSERT_TRUE(WriteDrawingScan(dir.File("dots2.qds"), small, ScanWriter::Scanner));
  DrawingSequence sequence = OpenSequence(dir.File("dots1.qds"), "dots1.qds");

  ScriptedPrompt prompt;
  BatchResult result = RunAll(sequence, prompt);
  EXPECT_EQ(result.end, BatchEnd::Finished);
  ASSERT_EQ(result.frames.size(), 2u);
  EXPECT_FALSE(result.frames[0].written);
  EXPECT_EQ(result.frames[0].failure.rfind("Too many regions in this drawing: ", 0), 0u)
      << result.frames[0].failure;
  EXPECT_EQ(prompt.Texts(), std::vector<std::string>{result.frames[0].failure});
  EXPECT_TRUE(result.frames[1].written);
  EXPECT_EQ(ListDirectory(dir.path(), ".rgn"), std::vector<std::string>{"dots2.rgn"});
}

}  // namespace
}  // namespace quenda
