// Composing frames in the four view modes, the pen variant, partial redraws, frame icons, and
// the zoom, scroll and mouse arithmetic of the panes.
#include "painter/core/frame_composition.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <functional>
#include <mutex>

#include "common/case_insensitive_path.h"
#include "common/drawing_scan.h"
#include "common/file_io.h"
#include "common/paint_file.h"
#include "common/region_file.h"
#include "common/scripted_prompt.h"
#include "painter/core/frame_icons.h"
#include "painter/core/icon_builder.h"
#include "painter/core/painter_texts.h"
#include "painter/core/preview_composition.h"
#include "painter/core/view_geometry.h"
#include "painter/tests/painter_test_frames.h"
#include "testing/test_support.h"

namespace quenda {
namespace {

using namespace testing;

struct Colour {
  int blue, green, red;
  bool operator==(const Colour&) const = default;
};
constexpr Colour kWhite{255, 255, 255}, kBlack{0, 0, 0};

Colour PixelAt(const Raster& picture, ImagePoint p) {
  const uint8_t* px = picture.At(p.x, p.y);
  return {px[0], px[1], px[2]};
}

// SKIN is entry 3, INK entry 4.
const ColorSet& Colours() {
  static const ColorSet colors = [] {
    ColorSet set;
    AddColor(set, "SKIN", 250, 205, 170);
    AddColor(set, "INK", 10, 20, 200);
    return set;
  }();
  return colors;
}

Colour EntryColour(int index) {
  const ColorEntry& e = Colours().entries[index];
  return {e.blue, e.green, e.red};
}

// Two boxes in SKIN and unfilled; `box` is the painted one, A.
struct Painted {
  PainterFrame frame = testing::FrameFromPicture(kTwoBoxes);
  int box = testing::RegionAtText(frame.region, 3, 2);
  Painted() { frame.regionColor[box] = 3; }
};

TEST(Composition, EachModeAndTheSplitShowTheirColoursAndCompositedBlendsByGrey) {
  Painted p;
  const Colour line = EntryColour(kLineColor);
  struct Shown {
    ViewMode mode;
    ImagePoint at;
    Colour colour;
  };
  // Painted, unfilled and the background (painted transparent) in X-Ray; then lines and regions.
  using enum ViewMode;
  const Colour skin = EntryColour(3), clear = EntryColour(kTransparentColor);
  const std::vector<Shown> shown = {
      {XRay, At(3, 2), kBlack},         {XRay, At(10, 2), kWhite},
      {XRay, At(0, 0), kBlack},         {XRay, At(1, 1), line},
      {RegionLine, At(1, 1), line},     {RegionLine, At(3, 2), kWhite},
      {RegionsPainted, At(1, 1), line}, {RegionsPainted, At(3, 2), skin},
      {RegionsPainted, At(0, 0), clear}};
  for (const Shown& s : shown) {
    EXPECT_EQ(PixelAt(ComposeWholeFrame(p.frame, Colours(), s.mode), s.at), s.colour)
        << "mode " << int(s.mode) << " at " << s.at.x << "," << s.at.y;
  }
  // Line pixels of the painted background too.
  ASSERT_EQ(testing::RegionAtText(p.frame.region, 1, 1), kBackgroundRegion);
  EXPECT_EQ(ComposeWholeFrame(p.frame, Colours(), ViewMode::XRay).width(), 16);
  // A split shows one region black and the rest white.
  Raster split = MakeFramePicture(p.frame);
  ComposeSplitHighlight(p.frame, Colours(), p.box, split);
  for (auto [at, colour] :
       {std::pair{At(3, 2), kBlack}, {At(10, 2), kWhite}, {At(0, 0), kWhite}, {At(1, 1), line}})
    EXPECT_EQ(PixelAt(split, at), colour) << at.x << "," << at.y;
  // Composited blends by grey, and rubbed out shows the pure region colour.
  PainterFrame& frame = p.frame;
  const std::size_t black = frame.Index(At(2, 2).x, At(2, 2).y);
  const std::size_t grey = frame.Index(At(3, 2).x, At(3, 2).y);
  const std::size_t rubbed = frame.Index(At(4, 2).x, At(4, 2).y);
  frame.scan.data()[black] = frame.scan.data()[rubbed] = 0;
  frame.scan.data()[grey] = 128;
  for (std::size_t i : {black, grey, rubbed}) frame.region.animColor[i] = 4;
  frame.region.flags[rubbed] |= kFlagRubbedOut;
  const Raster picture = ComposeWholeFrame(frame, Colours(), ViewMode::Composited);
  EXPECT_EQ(PixelAt(picture, At(2, 2)), EntryColour(4));
  EXPECT_EQ(PixelAt(picture, At(4, 2)), EntryColour(3));
  EXPECT_EQ(PixelAt(picture, At(5, 2)), EntryColour(3));  // white paper
  EXPECT_EQ(PixelAt(picture, At(3, 2)),
            (Colour{(128 * 170 + 127 * 200) / 255, (128 * 205 + 127 * 20) / 255,
                    (128 * 250 + 127 * 10) / 255}));

  const Raster pen = ComposeWholeFrame(frame, Colours(), ViewMode::Composited, PenComposition::On);
  EXPECT_EQ(PixelAt(pen, At(1, 1)), EntryColour(kLineColor));
  EXPECT_EQ(PixelAt(pen, At(4, 2)), kWhite);
  EXPECT_EQ(PixelAt(pen, At(3, 2)), (Colour{128, 128, 128}));
}

TEST(Composition, APartialRedrawTouchesOnlyItsRectangleAndIconsScaleByNearestNeighbour) {
  const PainterFrame frame = testing::FrameFromPicture(kTwoBoxes);
  Raster picture = MakeFramePicture(frame);
  std::fill(picture.bytes().begin(), picture.bytes().end(), 77);
  ComposeFrame(frame, Colours(), ViewMode::RegionLine, PenComposition::Off, {3, 6, 1, 3}, picture);
  for (int y = 0; y < picture.height(); ++y)
    for (int x = 0; x < picture.width(); ++x) {
      const bool inside = x >= 3 && x < 6 && y >= 1 && y < 3;
      EXPECT_EQ(picture.At(x, y)[0] == 77, !inside) << x << "," << y;
    }
  // A picture of the wrong size is left alone.
  Raster wrong(15, 6, 3, 77);
  ComposeFrame(frame, Colours(), ViewMode::RegionLine, PenComposition::Off, {0, 15, 0, 6}, wrong);
  EXPECT_EQ(wrong, Raster(15, 6, 3, 77));
  // Icons scale by nearest neighbour and fill beyond the picture with grey.
  const Painted p;
  const Raster icon = ComposeFrameIcon(p.frame.region, p.frame.regionColor, Colours(), 8);
  ASSERT_EQ(icon.width(), 8);
  // Scale 15 / 8: icon pixel (i, j) shows image pixel (trunc(i * 1.875), trunc(j * 1.875)).
  const Colour grey{kStripGrey, kStripGrey, kStripGrey};
  const std::tuple<int, int, Colour> shown[] = {{0, 0, EntryColour(kTransparentColor)},
                                                {2, 1, EntryColour(kLineColor)},
                                                {2, 2, EntryColour(3)},
                                                {5, 2, EntryColour(kUnfilledColor)},
                                                {7, 3, EntryColour(kTransparentColor)},
                                                {0, 4, grey},
                                                {7, 7, grey}};
  for (auto [i, j, colour] : shown) EXPECT_EQ(PixelAt(icon, {i, j}), colour) << i << "," << j;
  // An unreadable frame gives a grey icon.
  EXPECT_EQ(ComposeFrameIcon(RegionData{}, {}, Colours(), 4), Raster(4, 4, 3, kStripGrey));
}

TEST(Previews, RegionFillHoverShowsOnEvenRowsOfTheRegionOnlyAndLineFillHoverAsTheFillWould) {
  const PainterFrame frame = testing::FrameFromPicture(kTwoBoxes);
  const int box = testing::RegionAtText(frame.region, 3, 2);
  const Raster plain = ComposeWholeFrame(frame, Colours(), ViewMode::RegionsPainted);
  Raster picture = plain;
  EXPECT_FALSE(ComposeRegionFillPreview(frame, Colours(), ViewMode::RegionsPainted,
                                        PenComposition::Off, box, 4, picture)
                   .IsEmpty());
  for (int y = 0; y < frame.height; ++y)
    for (int x = 0; x < frame.width; ++x) {
      const bool shows = y % 2 == 0 && frame.region.regionMap[frame.Index(x, y)] == box;
      EXPECT_EQ(PixelAt(picture, {x, y}), shows ? EntryColour(4) : PixelAt(plain, {x, y}))
          << x << "," << y;
    }
  // The line fill's hover recolours the connected line as the fill would.
  PainterFrame lines = testing::FrameFromPicture({"*..*", "*..*", "*...", "...."});
  std::fill(lines.scan.bytes().begin(), lines.scan.bytes().end(), 0);
  picture = ComposeWholeFrame(lines, Colours(), ViewMode::Composited);
  const ImageRect touched = ComposeAnimFillPreview(lines, Colours(), {0, 3}, 4, picture);
  // The right column joins through the row end (neighbours by pixel index).
  EXPECT_EQ(touched, (ImageRect{0, 4, 1, 4}));
  PainterFrame filled = lines;
  AnimFillAt(filled, {0, 3}, 4);
  EXPECT_EQ(picture, ComposeWholeFrame(filled, Colours(), ViewMode::Composited));
  EXPECT_TRUE(ComposeAnimFillPreview(lines, Colours(), {1, 1}, 4, picture).IsEmpty());
}

TEST(ViewGeometry, StripAndColourList) {
  const std::pair<int, int> got[] = {
      {VisibleStripCells(500, 100), 5},  {StripScrollMaximum(3, 5), 1},
      {StripScrollMaximum(30, 5), 25},   {StripIconSide(100), 80},
      {StripIconSide(103), 80},          {StripIconSide(10), 0},
      {ListPositionToEntry(0), 0},       {ListPositionToEntry(1), 3},
      {EntryToListPosition(5), 3},       {EntryToListPosition(1), -1},
      {EntryToListPosition(2), -1},      {VisibleColorRows(95), 3},
      {ColorListScrollMaximum(3, 3), 1}, {ColorListScrollMaximum(40, 10), 28}};
  for (std::size_t i = 0; i < std::size(got); ++i)
    EXPECT_EQ(got[i].first, got[i].second) << "row " << i;
}

// Strip icons read from a frame's files, their cache on disk, and the worker threads that make
// them for a whole sequence.
constexpr int kSide = 16;

struct PaintedFrame {
  TempDir dir;
  ColorSet colors;
  FramePaths paths;

  PaintedFrame() {
    testing::WriteAnalyzedSequence(dir.path(), "walk", 1, 120, 90);
    paths = {dir.File("walk1.qds"), dir.File("walk1.rgn"), dir.File("walk1.pnt")};
    ScriptedPrompt prompt;
    LoadColorSet(colors, dir.File("walk.col"), prompt);
    auto map = ReadRegionMap(paths.region, 120, 90, RegionReader::Painter);
    std::vector<int32_t> paint(std::size_t(map->regionCount) + 2, 4);
    paint[2] = kUnfilledColor;
    EXPECT_TRUE(WritePaintFile(paths.paint, paint).ok());
  }
};

// The strip reads only the pixels it shows; the icon of the whole frame read is the oracle, on
// drawings of odd sizes at sides below, near and beyond their own, and on cut region files.
TEST(FrameIcon, TheSampledReadGivesTheIconOfTheWholeFrame) {
  TempDir dir;
  testing::WriteAnalyzedSequence(dir.path(), "walk", 2, 121, 87);
  testing::WriteAnalyzedSequence(dir.path(), "tall", 1, 47, 233);
  ScriptedPrompt prompt;
  ColorSet colors;
  LoadColorSet(colors, dir.File("walk.col"), prompt);
  auto map = ReadRegionMap(dir.File("walk2.rgn"), 121, 87, RegionReader::Painter);
  std::vector<int32_t> paint(std::size_t(map->regionCount) + 2, 4);
  for (std::size_t r = 2; r < paint.size(); r += 3) paint[r] = kUnfilledColor;
  ASSERT_TRUE(WritePaintFile(dir.File("walk2.pnt"), paint).ok());
  const std::vector<uint8_t> whole = *ReadFileBytes(dir.File("walk1.rgn"));
  testing::WriteBytes(dir.File("cut1.rgn"), std::vector<uint8_t>(whole.begin(), whole.end() - 3));
  std::filesystem::copy_file(dir.File("walk1.qds"), dir.File("cut1.qds"));
  for (const char* frame : {"walk1", "walk2", "tall1", "cut1"}) {
    const FramePaths paths{dir.File(frame) + ".qds", dir.File(frame) + ".rgn",
                           dir.File(frame) + ".pnt"};
    const auto header = ReadDrawingScanHeader(paths.scan, ScanReader::Painter);
    ASSERT_TRUE(header.ok()) << frame;
    auto region =
        ReadRegionFile(paths.region, header->width, header->height, RegionReader::Painter);
    RegionData data = region ? region.value() : RegionData{};
    auto painted = ReadPaintFile(paths.paint, data.regionCount, colors.count);
    const std::vector<int32_t> colours =
        painted ? painted->regionColor : DefaultPaint(data.regionCount);
    for (int side : {4, 16, 44, 240}) {
      SCOPED_TRACE(std::string(frame) + " at " + std::to_string(side));
      EXPECT_EQ(ReadFrameIcon(paths, colors, side).icon,
                ComposeFrameIcon(data, colours, colors, side));
    }
  }
  EXPECT_EQ(ReadFrameIcon({dir.File("cut1.qds"), dir.File("cut1.rgn"), ""}, colors, 8).icon,
            Raster(8, 8, 3, kStripGrey));
}

TEST(IconCache, AnIntactEntryIsUsedADamagedOneRebuiltAndTheBuilderMakesEachFrameOnce) {
  PaintedFrame f;
  const StripIcon fromFiles = ReadFrameIcon(f.paths, f.colors, kSide);
  EXPECT_EQ(fromFiles.state, PaintState::SomeUnpainted);
  const IconCache cache(f.dir.File("cache"));
  const std::string entry = cache.EntryPath(f.paths.scan, kSide);
  EXPECT_EQ(cache.Get(f.paths, f.colors, kSide).icon, fromFiles.icon);
  const std::vector<uint8_t> good = *ReadFileBytes(entry);
  const std::size_t pixels = std::size_t(kSide) * kSide * 3;

  // Pixels are not checked, so a changed pixel shows: the entry is what was used.
  std::vector<uint8_t> marked = good;
  marked[marked.size() - pixels] ^= 0xFF;
  testing::WriteBytes(entry, marked);
  EXPECT_NE(cache.Get(f.paths, f.colors, kSide).icon, fromFiles.icon);

  const std::vector<std::pair<const char*, std::function<void(std::vector<uint8_t>&)>>> damages{
      {"cut short", [](auto& b) { b.pop_back(); }},
      {"empty", [](auto& b) { b.clear(); }},
      {"another magic", [](auto& b) { b[0] = 'X'; }},
      {"another key", [](auto& b) { b[14] ^= 1; }},
      {"a state beyond the marks", [&](auto& b) { b[b.size() - pixels - 1] = 7; }},
  };
  for (const auto& [what, damage] : damages) {
    std::vector<uint8_t> bytes = good;
    damage(bytes);
    testing::WriteBytes(entry, bytes);
    SCOPED_TRACE(what);
    const StripIcon got = cache.Get(f.paths, f.colors, kSide);
    EXPECT_EQ(std::tie(got.icon, got.state), std::tie(fromFiles.icon, fromFiles.state));
    EXPECT_EQ(*ReadFileBytes(entry), good);
  }
  // The builder makes each frame once, from the one shown on, and lists the folder once.
  TempDir sequence;
  testing::WriteAnalyzedSequence(sequence.path(), "walk", 6, 120, 90);
  IconJob job{OpenSequence(sequence.File("walk1.qds"), "walk1"), ColorSet(), kSide, IconCache()};
  std::mutex lock;
  std::condition_variable done;
  std::vector<int> order;
  std::vector<StripIcon> icons(6);
  const long long listings = FolderListingCount();
  {
    IconBuilder builder(1, [&](uint64_t, int frame, StripIcon icon) {
      std::lock_guard guard(lock);
      order.push_back(frame);
      icons[std::size_t(frame)] = std::move(icon);
      done.notify_all();
    });
    builder.Prefer(3);
    builder.Start(job);
    std::unique_lock guard(lock);
    ASSERT_TRUE(done.wait_for(guard, std::chrono::seconds(20), [&] { return order.size() == 6; }));
  }
  EXPECT_EQ(order, (std::vector<int>{3, 4, 5, 0, 1, 2}));
  EXPECT_EQ(FolderListingCount() - listings, 1);  // the sequence's folder, not once a frame
  for (int frame : {0, 5}) {
    const std::string base = sequence.File("walk" + std::to_string(frame + 1));
    const FramePaths paths{base + ".qds", base + ".rgn", base + ".pnt"};
    EXPECT_EQ(icons[std::size_t(frame)].icon, ReadFrameIcon(paths, job.colors, kSide).icon);
  }
}

}  // namespace
}  // namespace quenda
