// Auto paint: alignment on the pegs, the vote and its tie rule (held to a literal transcription
// of the vote table), and the three commands with every check, progress and STOP. Matching by
// shapes and Paint Specks are in auto_paint_shapes_test.cpp.
#include "painter/core/auto_paint.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <tuple>

#include "common/color_set.h"
#include "common/paint_file.h"
#include "common/scripted_prompt.h"
#include "painter/core/painter_doc.h"
#include "painter/core/small_region_fill.h"
#include "painter/tests/painter_test_frames.h"
#include "testing/test_support.h"

namespace quenda {
namespace {

using testing::TempDir;

// A frame of one row (or rows) whose region map is given directly.
PainterFrame MapFrame(int width, int height, const std::vector<uint16_t>& map, int regionCount) {
  RegionData region = MakeBlankRegionData(width, height);
  region.regionMap = map;
  region.regionCount = regionCount;
  region.regionBounds.resize(std::size_t(regionCount) + 2);
  ComputeRegionBounds(region);
  return testing::FrameFromRegions(std::move(region));
}

// The vote exactly as described: a full table of counters starting at 1, one pass over the
// source pixels, the strictly larger counter wins scanning upwards.
std::vector<int> LiteralVote(const PainterFrame& target, const PainterFrame& source) {
  const int rows = target.region.regionCount + 2, cols = source.region.regionCount + 2;
  std::vector<long long> table(std::size_t(rows) * cols, 1);
  const PegOffset d = AlignmentShift(target, source);
  for (int y = 0; y < source.height; ++y) {
    for (int x = 0; x < source.width; ++x) {
      const int tx = x + d.x, ty = y + d.y;
      if (!target.Contains(tx, ty)) continue;
      ++table[std::size_t(target.region.regionMap[target.Index(tx, ty)]) * cols +
              source.region.regionMap[source.Index(x, y)]];
    }
  }
  std::vector<int> winner(rows, 1);
  for (int r = 1; r < rows; ++r) {
    int best = 1;
    for (int t = 1; t < cols; ++t)
      if (table[std::size_t(r) * cols + t] > table[std::size_t(r) * cols + best]) best = t;
    winner[r] = best;
  }
  return winner;
}

TEST(AutoPaintVote, TiesGoToTheSmallerSourceRegionAndUncoveredRegionsToRegionOne) {
  // Target: regions 1 | 2 | 3 over columns 0-1, 2-5, 6-7. Source: 1 | 3 | 2 | 1.
  PainterFrame target = MapFrame(8, 1, {1, 1, 2, 2, 2, 2, 3, 3}, 2);
  PainterFrame source = MapFrame(8, 1, {1, 1, 3, 3, 2, 2, 1, 1}, 2);
  source.regionColor = {0, 5, 6, 7};
  EXPECT_EQ(VoteRegions(target, source), (std::vector<int>{1, 1, 2, 1}));
  // Moved two pixels right on the pegs: target region 1 is no longer covered (source region
  // 1), region 2 ties between source regions 1 and 3 (1 wins), region 3 lies under region 2.
  source.originX = 2;  // peg bottom: the offset is the origin itself
  target.peg = source.peg = kPegBottom;
  EXPECT_EQ(AlignmentShift(target, source), (PegOffset{2, 0}));
  EXPECT_EQ(VoteRegions(target, source), (std::vector<int>{1, 1, 1, 2}));
  AutoPaintFrom(target, source);
  EXPECT_EQ(target.regionColor, (std::vector<int32_t>{0, 5, 5, 6}));
  EXPECT_TRUE(target.paintChanged);
  EXPECT_EQ(target.undoKind(), kUndoRegionColors);
}

TEST(AutoPaintVote, MatchesTheLiteralTableOnRandomMapsSmallAndLarge) {
  std::mt19937 random(7);
  for (int regions : {3, 40, 2200})
    for (int shift : {0, 5, -9}) {
      SCOPED_TRACE(::testing::Message() << regions << " regions, shift " << shift);
      const int w = 97, h = 61;
      auto randomMap = [&] {
        std::vector<uint16_t> map(std::size_t(w) * h);
        // Runs of equal numbers, as real region maps have.
        uint16_t value = 1;
        for (auto& v : map) {
          if (random() % 4 == 0) value = uint16_t(1 + random() % (regions + 1));
          v = value;
        }
        return map;
      };
      PainterFrame target = MapFrame(w, h, randomMap(), regions);
      PainterFrame source = MapFrame(w, h, randomMap(), regions);
      source.originX = shift;
      source.originY = -shift;
      target.peg = source.peg = kPegTop;
      EXPECT_EQ(VoteRegions(target, source), LiteralVote(target, source));
    }
}

TEST(AutoPaintVote, TypedFrameTags) {
  EXPECT_EQ(ParseTypedFrameTag("12a"), (FrameTag{12, 'a'}));
  EXPECT_EQ(ParseTypedFrameTag("12"), (FrameTag{12, kNoLetter}));
  EXPECT_EQ(ParseTypedFrameTag("3b7"), (FrameTag{3, 'b'}));
  EXPECT_EQ(ParseTypedFrameTag(""), (FrameTag{0, kNoLetter}));
  EXPECT_EQ(ParseTypedFrameTag("99999999999999").number, INT_MAX);
  const std::vector<FrameTag> frames{{7, 'a'}, {8, kNoLetter}};
  EXPECT_EQ(FindFrame(frames, {7, kNoLetter}), std::nullopt);
  EXPECT_EQ(FindFrame(frames, {7, 'a'}), 0);
}

// Paints every region of the current frame with a colour of its own.
void PaintAllRegions(CPainterDoc& doc) {
  const PainterFrame& frame = doc.frame();
  for (int r = 2; r <= frame.region.RegionTotal(); ++r) {
    const RegionBox& b = frame.region.regionBounds[r];
    if (b.IsEmpty()) continue;
    for (int y = b.minY; y <= b.maxY; ++y)
      for (int x = b.minX; x <= b.maxX; ++x) {
        const std::size_t i = frame.Index(x, y);
        if (frame.region.regionMap[i] != r || (frame.region.flags[i] & kFlagRegionLine)) continue;
        doc.SetCurrentColor(3 + r % 5);
        doc.RegionFillRelease({0, 0}, {0, 0}, {x, y}, {x, y});
        y = b.maxY;
        break;
      }
  }
}

class AutoPaintCommands : public ::testing::Test {
 protected:
  void SetUp() override {
    first_ = testing::WriteAnalyzedSequence(dir_.path(), "walk", 4, 120, 90);
    ASSERT_TRUE(doc_.OpenSequenceFile(first_));
    PaintAllRegions(doc_);
    prompt_.Clear();
  }
  std::vector<std::string> Texts() { return prompt_.Texts(); }
  // Frames 2 to 4 become copies of frame 1's drawing and regions, unpainted.
  void CopyFirstDrawing() {
    namespace fs = std::filesystem;
    for (const char* n : {"2", "3", "4"})
      for (const char* ext : {".qds", ".rgn"})
        fs::copy_file(dir_.File(std::string("walk1") + ext),
                      dir_.File("walk" + std::string(n) + ext),
                      fs::copy_options::overwrite_existing);
  }

  TempDir dir_;
  std::string first_;
  ScriptedPrompt prompt_;
  CPainterDoc doc_{prompt_};
};

TEST_F(AutoPaintCommands, TwoIdenticalFramesPaintOneToOne) {
  namespace fs = std::filesystem;
  for (const char* ext : {".qds", ".rgn"}) {
    fs::copy_file(dir_.File(std::string("walk1") + ext), dir_.File(std::string("walk2") + ext),
                  fs::copy_options::overwrite_existing);
  }
  const std::vector<int32_t> painted = doc_.frame().regionColor;
  ASSERT_TRUE(doc_.NextFrame());
  ASSERT_TRUE(doc_.AutoPaintPrevious());
  EXPECT_EQ(doc_.frame().regionColor, painted);
  EXPECT_TRUE(Texts().empty());
}

TEST_F(AutoPaintCommands, ByShapesTheDrawingBeyondTheSourceFillsWhatTheSourceLeftUnfilled) {
  // Four copies of one drawing: the first and last painted, the middle two not.
  namespace fs = std::filesystem;
  CopyFirstDrawing();
  const std::vector<int32_t> painted = doc_.frame().regionColor;
  ASSERT_TRUE(doc_.NextFrame());
  fs::copy_file(dir_.File("walk1.pnt"), dir_.File("walk4.pnt"));
  doc_.SetAutoPaintMatch(AutoPaintMatch::Shapes);
  doc_.SetSpeckSize(1);
  const std::vector<int32_t> unfilled = doc_.frame().regionColor;
  ASSERT_TRUE(doc_.AutoPaintAnyFrame("3"));  // beyond frame 3 lies frame 4
  EXPECT_EQ(doc_.frame().regionColor, painted);
  ASSERT_TRUE(doc_.Undo());
  ASSERT_TRUE(doc_.NextFrame());
  ASSERT_TRUE(doc_.AutoPaintPrevious());  // beyond frame 2 lies frame 1
  EXPECT_EQ(doc_.frame().regionColor, painted);
  doc_.SetAutoPaintMatch(AutoPaintMatch::Vote);
  ASSERT_TRUE(doc_.AutoPaintPrevious());  // the vote looks at its source alone
  EXPECT_EQ(doc_.frame().regionColor, unfilled);
  EXPECT_TRUE(Texts().empty());
}

TEST_F(AutoPaintCommands, AnyFrameChecksTheTypedFrame) {
  ASSERT_TRUE(doc_.NextFrame());
  EXPECT_FALSE(doc_.AutoPaintAnyFrame("9"));
  EXPECT_FALSE(doc_.AutoPaintAnyFrame("1a"));
  EXPECT_FALSE(doc_.AutoPaintAnyFrame("2"));
  EXPECT_EQ(Texts(), (std::vector<std::string>{"Invalid Frame Number", "Invalid Frame Number",
                                               "You can not auto paint with current frame"}));
  EXPECT_FALSE(doc_.frame().paintChanged);
  ASSERT_TRUE(doc_.AutoPaintAnyFrame("1"));
  EXPECT_TRUE(doc_.frame().paintChanged);
  EXPECT_LT(CountUnfilledRegions(doc_.frame()), doc_.frame().region.regionCount);
}

TEST_F(AutoPaintCommands, RangeChecksInOrder) {
  struct Case {
    AutoPaintRangeFields fields;
    std::string message;
  };
  const std::vector<Case> cases = {
      {{RangeSource::AutoPrevious, "", "", "3"}, "You must give a valid start frame."},
      {{RangeSource::AutoPrevious, "", "2", ""}, "You must give a valid end frame."},
      {{RangeSource::FrameNo, "", "2", "3"}, "You must supply a valid source frame no."},
      {{RangeSource::AutoPrevious, "", "9", "3"}, "Invalid Start Frame!"},
      {{RangeSource::AutoPrevious, "", "2", "3x"}, "Invalid End Frame!"},
      {{RangeSource::AutoPrevious, "", "3", "3"}, "Start frame must be smaller than end frame!"},
      {{RangeSource::AutoPrevious, "", "3", "2"}, "Start frame must be smaller than end frame!"},
      {{RangeSource::AutoPrevious, "", "1", "3"},
       "There must be a frame before start frame with auto-next paint!"},
      {{RangeSource::AutoNext, "", "2", "4"},
       "There must be a frame after end frame with auto-previous paint!"},
      {{RangeSource::FrameNo, "12", "2", "4"}, "Invalid source frame number!"},
  };
  for (const Case& c : cases) {
    prompt_.Clear();
    ScriptedProgress progress;
    EXPECT_FALSE(doc_.AutoPaintRange(c.fields, progress));
    EXPECT_EQ(Texts(), std::vector<std::string>{c.message});
    EXPECT_TRUE(progress.stages.empty());
  }
  EXPECT_TRUE(CPainterDoc::CheckRangeFields({RangeSource::FrameNo, "1", "2", "3"}).ok());
  EXPECT_EQ(doc_.currentFrame(), 0);
}

TEST_F(AutoPaintCommands, RangeFromPreviousPaintsSavesAndLeavesTheLastFrameCurrent) {
  ScriptedProgress progress;
  ASSERT_TRUE(doc_.AutoPaintRange({RangeSource::AutoPrevious, "", "2", "4"}, progress));
  EXPECT_EQ(progress.stages,
            (std::vector<std::string>{"Autopainting frame 2", "Autopainting frame 3",
                                      "Autopainting frame 4"}));
  EXPECT_EQ(progress.percents, (std::vector<int>{33, 66, 100}));
  EXPECT_EQ(doc_.currentFrame(), 3);
  for (int n : {1, 2, 3}) EXPECT_TRUE(FrameExists(dir_.File("walk" + std::to_string(n) + ".pnt")));
  EXPECT_FALSE(FrameExists(dir_.File("walk4.pnt")));  // written when the user leaves it
  EXPECT_TRUE(doc_.frame().paintChanged);
  EXPECT_LT(CountUnfilledRegions(doc_.frame()), doc_.frame().region.regionCount);
  // Undo reverts the last frame's auto paint only.
  ASSERT_TRUE(doc_.Undo());
  EXPECT_EQ(doc_.frame().regionColor, DefaultPaint(doc_.frame().region.regionCount));
  EXPECT_FALSE(doc_.Undo());
  EXPECT_NE(doc_.FramePaintState(2), PaintState::NoPaintFile);
}

TEST_F(AutoPaintCommands, RangeFromNextRunsDownwardsAndStopEndsAfterTheFrameInHand) {
  ASSERT_TRUE(doc_.LastFrame());
  doc_.AutoPaintPrevious();
  ScriptedProgress progress(0);
  ASSERT_TRUE(doc_.AutoPaintRange({RangeSource::AutoNext, "", "2", "3"}, progress));
  EXPECT_EQ(progress.stages, std::vector<std::string>{"Autopainting frame 3"});
  EXPECT_EQ(doc_.currentFrame(), 2);
  EXPECT_TRUE(doc_.frame().paintChanged);
  EXPECT_FALSE(FrameExists(dir_.File("walk3.pnt")));
  EXPECT_TRUE(FrameExists(dir_.File("walk4.pnt")));
}

// By shapes, a range from a neighbour runs its chain in memory before it writes anything, so
// that the chain remembers its key and how sure it was of each frame; then it paints and writes
// the frames in turn. A Stop while the chain runs changes nothing.
TEST_F(AutoPaintCommands, RangeByShapesRunsItsChainFirstAndAStopThereChangesNothing) {
  CopyFirstDrawing();
  const std::vector<int32_t> painted = doc_.frame().regionColor;
  doc_.SetSpeckSize(1);
  auto written = [&](int n) { return FrameExists(dir_.File("walk" + std::to_string(n) + ".pnt")); };
  const AutoPaintRangeFields up{RangeSource::AutoPrevious, "", "2", "4", AutoPaintMatch::Shapes};
  ScriptedProgress stopped(1);
  EXPECT_FALSE(doc_.AutoPaintRange(up, stopped));
  EXPECT_EQ(stopped.stages,
            (std::vector<std::string>{"Autopainting frame 2", "Autopainting frame 3"}));
  EXPECT_EQ(std::tuple(written(2), written(3), written(4)), std::tuple(false, false, false));
  EXPECT_EQ(doc_.currentFrame(), 0);

  ScriptedProgress progress;
  ASSERT_TRUE(doc_.AutoPaintRange(up, progress));
  const std::vector<std::string> twice{"Autopainting frame 2", "Autopainting frame 3",
                                       "Autopainting frame 4", "Autopainting frame 2",
                                       "Autopainting frame 3", "Autopainting frame 4"};
  EXPECT_EQ(progress.stages, twice);
  EXPECT_EQ(progress.percents, (std::vector<int>{16, 33, 50, 66, 83, 100}));
  EXPECT_EQ(std::tuple(doc_.currentFrame(), written(2), written(3), written(4)),
            std::tuple(3, true, true, false));
  EXPECT_EQ(doc_.frame().regionColor, painted);

  // Downwards from frame 4, the chain's order is the frames'.
  ScriptedProgress down;
  ASSERT_TRUE(
      doc_.AutoPaintRange({RangeSource::AutoNext, "", "2", "3", AutoPaintMatch::Shapes}, down));
  EXPECT_EQ(down.stages,
            (std::vector<std::string>{"Autopainting frame 3", "Autopainting frame 2",
                                      "Autopainting frame 3", "Autopainting frame 2"}));
  EXPECT_EQ(doc_.currentFrame(), 1);
  EXPECT_EQ(doc_.frame().regionColor, painted);
  EXPECT_TRUE(Texts().empty());
}

TEST_F(AutoPaintCommands, RangeStopsAtAFrameThatDoesNotLoadAndASourceThatDoesNotLoadPaintsNothing) {
  testing::WriteText(dir_.File("walk3.rgn"), "broken");
  ScriptedProgress progress;
  EXPECT_FALSE(doc_.AutoPaintRange({RangeSource::FrameNo, "1", "2", "4"}, progress));
  EXPECT_EQ(progress.stages.size(), 2u);
  EXPECT_EQ(doc_.currentFrame(), 2);
  EXPECT_FALSE(doc_.frameLoaded());
  for (int n : {2, 3, 4})
    EXPECT_EQ(FrameExists(dir_.File("walk" + std::to_string(n) + ".pnt")), n == 2) << n;
  EXPECT_EQ(testing::ReadText(dir_.File("walk3.rgn")), "broken");

  ASSERT_TRUE(doc_.PreviousFrame());
  std::remove(dir_.File("walk1.qds").c_str());
  const auto before = doc_.frame().regionColor;
  prompt_.Clear();
  EXPECT_FALSE(doc_.AutoPaintPrevious());
  EXPECT_EQ(Texts(), std::vector<std::string>{"Fatal: Image file does not exist: " +
                                              dir_.File("walk1.qds")});
  EXPECT_EQ(doc_.frame().regionColor, before);
  EXPECT_FALSE(doc_.frame().undoAvailable());
}

}  // namespace
}  // namespace quenda
