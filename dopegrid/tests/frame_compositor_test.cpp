// The compositor: placement, the range pass and its refusals, scanned and painted frames.
#include <gtest/gtest.h>

#include <filesystem>
#include <tuple>

#include "common/scripted_prompt.h"
#include "dopegrid/core/frame_compositor.h"
#include "dopegrid/tests/painted_frames.h"
#include "testing/test_support.h"

namespace quenda {
namespace {

using namespace quenda::testing;

TEST(Placement, CornersFollowThePegPosition) {
  DrawingScanHeader h;
  h.width = 100;
  h.height = 80;
  h.xPosition = 10;
  h.yPosition = 20;
  struct Case {
    int peg;
    DrawingCorner corner;
    std::string_view name;
  } cases[] = {{0, {-120, -90}, "Left"}, {1, {20, 10}, "Right"},    {2, {10, -100}, "Bottom"},
               {3, {-110, 20}, "Top"},   {4, {10, 20}, "Invalid!"}, {-1, {10, 20}, "Invalid!"}};
  for (const Case& c : cases) {
    h.pegPosition = c.peg;
    EXPECT_EQ(CornerOf(h), c.corner) << c.peg;
    EXPECT_EQ(PegName(c.peg), c.name);
  }
}

class Compositor : public PaintedSheet {
 protected:
  // Frame 0 of a job showing Ann's first drawing on level 0 and Bob's on level 1.
  void UseSequences() {
    ShowAnnAndBob(1, 1);
    job.levels = {0, 1};
  }
  // The same with Ann's and Bob's first drawings written unpainted, one region each.
  void UseDrawings(const DrawingScan& ann, const DrawingScan& bob) {
    WritePaintedFrame(dir.path(), "Ann", 1, ann);
    WritePaintedFrame(dir.path(), "Bob", 1, bob);
    UseSequences();
  }
  bool Prepare() {
    if (!CheckJobCells(job, source, prompt) || !ScanRange(job, source, RangeUser::Flipbook, prompt))
      return false;
    job.width = job.frame.maxX - job.frame.minX;
    job.height = job.frame.maxY - job.frame.minY;
    job.picture = Raster(job.width, job.height, 3);
    return true;
  }
  void UseColorSets() {
    for (const char* name : {"Ann", "Bob"}) WriteTestColorSet(dir.path(), name);
  }
  const uint8_t* Pixel(int x, int y) { return job.picture.At(x, y); }
  std::vector<int> Bgr(int x, int y) { return PixelAt(job.picture, x, y); }

  CompositeJob job;
};

TEST_F(Compositor, RangePassEnclosesEveryDrawingOfTheJob) {
  UseDrawings(FlatDrawing(100, 80, 200, 10, 20), FlatDrawing(30, 200, 200, 5, 50));
  ASSERT_TRUE(Prepare());
  EXPECT_EQ(std::tuple(job.frame, job.resolution, prompt.Texts().size()),
            std::tuple(CommonFrame{5, 20, 110, 250}, 100, 0u));
}

TEST_F(Compositor, DifferentPegPositionsStopTheJob) {
  UseDrawings(FlatDrawing(8, 6, 200, 0, 0, 0), FlatDrawing(8, 6, 200, 0, 0, 1));
  EXPECT_FALSE(Prepare());
  EXPECT_EQ(prompt.Texts(),
            std::vector<std::string>{"Two or more frames in selection does not match with each "
                                     "other in dpi or peg position!\nCannot continue with "
                                     "generating flipbook"});
  prompt.Clear();
  EXPECT_FALSE(ScanRange(job, source, RangeUser::Render, prompt));
  EXPECT_EQ(prompt.Texts()[0].substr(0, 61),
            "Two or more frames in selection does not match with eachother");
}

TEST_F(Compositor, UnreadableDrawingsAndEmptyJobsAreRefused) {
  UseDrawings(FlatDrawing(8, 6, 200), FlatDrawing(8, 6, 200));
  std::vector<uint8_t> bytes = ReadBytes(dir.File("Bob1.qds"));
  bytes[16] = 24;  // not an 8-bit drawing
  WriteBytes(dir.File("Bob1.qds"), bytes);
  EXPECT_FALSE(CheckJobCells(job, source, prompt));
  EXPECT_EQ(prompt.Texts().back(), "Error Reading drawing " + dir.File("Bob1.qds") + " !");
  job.firstFrame = job.lastFrame = 5;
  EXPECT_FALSE(CheckJobCells(job, source, prompt));
  EXPECT_EQ(prompt.Texts().back(), "At least one cell must have an image!");
}

TEST_F(Compositor, ScannedDrawingsMultiplyLikePencilOnPaper) {
  DrawingScan front = FlatDrawing(4, 3, 128);
  front.picture.data()[5] = 0;  // (1, 1)
  UseDrawings(front, FlatDrawing(6, 3, 128));
  ASSERT_TRUE(Prepare());
  ASSERT_TRUE(CompositeScanned(job, source, 0, prompt, progress));
  // Only the back drawing reaches (5, 2).
  EXPECT_EQ(std::tuple(Bgr(0, 0), Pixel(1, 1)[1], Pixel(5, 2)[0]),
            std::tuple(std::vector<int>{64, 64, 64}, 0, 128));
}

TEST_F(Compositor, ScaledOutputSamplesByTruncation) {
  DrawingScan ramp = FlatDrawing(10, 2, 0);
  for (int x = 0; x < 10; ++x) ramp.picture.data()[std::size_t(x)] = uint8_t(x * 20);
  UseDrawings(ramp, FlatDrawing(1, 1, 255));
  ASSERT_TRUE(Prepare());
  job.scale = 0.4f;  // output 4 columns cover drawing columns 0, 2, 5, 7
  job.width = 4;
  job.height = 1;
  job.picture = Raster(4, 1, 3);
  ASSERT_TRUE(CompositeScanned(job, source, 0, prompt, progress));
  EXPECT_EQ(std::tuple(Pixel(0, 0)[0], Pixel(1, 0)[0], Pixel(2, 0)[0], Pixel(3, 0)[0]),
            std::tuple(0, 40, 100, 140));
}

TEST_F(Compositor, UnpaintedFrontRegionShowsTheLevelBehindUnderItsLines) {
  UseColorSets();
  DrawingScan front = FlatDrawing(5, 4, 255);
  front.picture.data()[2 * 5 + 1] = 0;    // a pencil stroke at (1, 2)
  front.picture.data()[3 * 5 + 3] = 0;    // rubbed out at (3, 3)
  front.picture.data()[0 * 5 + 4] = 102;  // light pencil at (4, 0)
  RegionData frontRegions = OneRegion(5, 4);
  frontRegions.animColor[2 * 5 + 1] = uint16_t(kRed);
  frontRegions.animColor[0 * 5 + 4] = uint16_t(kRed);
  frontRegions.flags[3 * 5 + 3] = kFlagAnimatorLine | kFlagRubbedOut;
  WritePaintedFrame(dir.path(), "Ann", 1, front, frontRegions, {0, 0});  // unpainted
  WritePaintedFrame(dir.path(), "Bob", 1, FlatDrawing(5, 4, 255), {0, kBlue});
  UseSequences();
  ASSERT_TRUE(Prepare());
  ASSERT_TRUE(CompositePainted(job, source, 0, prompt, progress)) << prompt.Texts()[0];
  EXPECT_EQ(Bgr(0, 0), (std::vector<int>{250, 40, 30}));  // blue behind
  EXPECT_EQ(Bgr(1, 2), (std::vector<int>{20, 10, 200}));  // the front's red line
  EXPECT_EQ(Bgr(3, 3), (std::vector<int>{250, 40, 30}));  // rubbed out: the fill shows
  // 102 of 255 towards the fill: (102 * 250 + 153 * 20) / 255 = 112, and so on.
  EXPECT_EQ(Bgr(4, 0), (std::vector<int>{112, 22, 132}));
}

TEST_F(Compositor, NearlyWhitePaperStillTakesALittleLine) {
  UseColorSets();
  DrawingScan front = FlatDrawing(4, 1, 255);
  front.picture.data()[1] = 254;
  front.picture.data()[2] = 0;
  front.picture.data()[3] = 0;
  RegionData frontRegions = OneRegion(4, 1);
  for (uint16_t& colour : frontRegions.animColor) colour = uint16_t(kRed);
  frontRegions.flags[3] = kFlagAnimatorLine | kFlagRubbedOut;
  WritePaintedFrame(dir.path(), "Ann", 1, front, frontRegions, {0, kBlue});
  WritePaintedFrame(dir.path(), "Bob", 1, FlatDrawing(4, 1, 255), {0, kGreen});
  UseSequences();
  ASSERT_TRUE(Prepare());
  ASSERT_TRUE(CompositePainted(job, source, 0, prompt, progress));
  EXPECT_EQ(Bgr(0, 0), (std::vector<int>{250, 40, 30}));  // paper: the blue fill
  // (254 * 250 + 1 * 20) / 255 = 249, (254 * 40 + 10) / 255 = 39, (254 * 30 + 200) / 255 = 30
  EXPECT_EQ(Bgr(1, 0), (std::vector<int>{249, 39, 30}));
  EXPECT_EQ(Bgr(2, 0), (std::vector<int>{20, 10, 200}));  // ink: the red line
  EXPECT_EQ(Bgr(3, 0), (std::vector<int>{250, 40, 30}));  // rubbed out: the fill again
}

TEST_F(Compositor, PaintedBackgroundWhereNothingIsPainted) {
  UseColorSets();
  UseDrawings(FlatDrawing(3, 3, 255), FlatDrawing(3, 3, 255, 3, 0));
  job.backgroundRed = 1, job.backgroundGreen = 2, job.backgroundBlue = 3;
  ASSERT_TRUE(Prepare());
  ASSERT_TRUE(CompositePainted(job, source, 0, prompt, progress));
  EXPECT_EQ(Bgr(4, 1), (std::vector<int>{3, 2, 1}));
}

TEST_F(Compositor, FailuresNameTheFileAndStopTheFrame) {
  // After the range pass each of Ann's frames 2..6 breaks in its own way; Bob has no colours.
  WriteTestColorSet(dir.path(), "Ann");
  for (int n = 1; n <= 6; ++n)
    WritePaintedFrame(dir.path(), "Ann", n, FlatDrawing(5, 4, 255), OneRegion(n == 5 ? 6 : 5, 4),
                      {0, 0});
  WritePaintedFrame(dir.path(), "Bob", 1, FlatDrawing(5, 4, 255));
  UseSequences();
  for (int f = 0; f < 6; ++f) sheet.Cell(0, f) = {CellKind::Key, 0, f};
  job.levels = {0};
  job.lastFrame = 5;
  ASSERT_TRUE(Prepare());
  auto file = [&](int n, const char* extension) {
    return dir.File("Ann" + std::to_string(n) + extension);
  };
  const std::vector<uint8_t> bytes = ReadBytes(file(1, ".qds"));
  std::vector<uint8_t> longer = bytes;
  longer.insert(longer.end(), {1, 2, 3});  // bytes after the pixels belong to nobody
  WriteBytes(file(1, ".qds"), longer);
  WriteBytes(file(2, ".qds"), {bytes.begin(), bytes.end() - 1});     // one pixel short
  WriteBytes(file(3, ".qds"), {bytes.begin(), bytes.begin() + 10});  // not even a header
  std::filesystem::remove(file(4, ".qds"));
  std::filesystem::create_directory(file(4, ".qds"));  // opens on Linux, holds no drawing
  std::filesystem::remove(file(6, ".pnt"));
  const std::string end = " : unexpected end of file";
  const std::string first[] = {"Error reading file " + file(2, ".qds") + end,
                               "Error reading file " + file(3, ".qds") + end,
                               "Error opening file " + file(4, ".qds"),
                               "The regions file resolution does not match :" + file(5, ".rgn"),
                               "Can not load the paint file :" + file(6, ".pnt")};
  EXPECT_TRUE(CompositePainted(job, source, 0, prompt, progress)) << prompt.Texts()[0];
  for (int f = 1; f < 6; ++f) {
    prompt.Clear();
    EXPECT_FALSE(CompositePainted(job, source, f, prompt, progress));
    EXPECT_EQ(prompt.Texts(),
              (std::vector<std::string>{first[f - 1], "Could not load a painted frame!"}));
  }

  prompt.Clear();
  job.levels = {1};
  ASSERT_FALSE(CompositePainted(job, source, 0, prompt, progress));
  EXPECT_EQ(prompt.Texts(),
            (std::vector<std::string>{"Could not find ColorSet file : " + dir.File("Bob.col"),
                                      "Could not read color set file!"}));
  prompt.Clear();
  WriteText(dir.File("Bob.col"), "Other\n3\n");
  ASSERT_FALSE(CompositePainted(job, source, 0, prompt, progress));
  EXPECT_EQ(prompt.Texts(), std::vector<std::string>{"Could not read color set file!"});

  std::vector<uint8_t> bob = ReadBytes(dir.File("Bob1.qds"));
  bob.pop_back();
  WriteBytes(dir.File("Bob1.qds"), bob);
  std::filesystem::remove(dir.File("Ann1.qds"));
  for (int level : {1, 0}) {  // Bob's drawing is short, Ann's gone
    prompt.Clear();
    job.levels = {level};
    ASSERT_FALSE(CompositeScanned(job, source, 0, prompt, progress));
    EXPECT_EQ(prompt.Texts(), (std::vector<std::string>{
                                  level == 1 ? "Error Reading drawing " + dir.File("Bob1.qds") +
                                                   ": Incomplete image file"
                                             : "Error finding drawing file " + dir.File("Ann1.qds"),
                                  "Could not load a scanned frame!"}));
  }
}

}  // namespace
}  // namespace quenda
