#include "common/undo_journal.h"

#include "common/paint_undo_journal.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace quenda {
namespace {

// A change made of rectangles, each kept just before it is written: on maps whose sides are and
// are not whole tiles, with rectangles reaching past the edges, overlapping, and over
// everything, the differences put back the map before the change exactly and their runs are in
// map order, apart.
TEST(UndoJournal, PutsBackTheMapBeforeAChangeKeptRectangleByRectangle) {
  struct Case {
    const char* what;
    int width, height;
    std::vector<ImageRect> rects;
  };
  const Case cases[] = {
      {"one pixel", 1, 1, {{0, 1, 0, 1}}},
      {"nothing changed", 70, 50, {}},
      {"a stroke across a tile corner",
       130,
       140,
       {{58, 62, 60, 66}, {60, 70, 62, 70}, {66, 80, 66, 72}}},
      {"rectangles past every edge", 65, 63, {{-5, 3, -5, 70}, {60, 90, 50, 80}}},
      {"overlapping rectangles", 100, 100, {{10, 60, 10, 60}, {30, 90, 30, 90}, {20, 40, 0, 100}}},
      {"everything", 129, 65, {{0, 129, 0, 65}}},
  };
  std::mt19937 random(11);
  for (const Case& c : cases) {
    const std::size_t n = std::size_t(c.width) * std::size_t(c.height);
    std::vector<uint16_t> map(n);
    for (uint16_t& v : map) v = uint16_t(random() % 5);
    const std::vector<uint16_t> before = map;
    UndoJournal<uint16_t> journal;
    journal.Reset(c.width, c.height);
    for (const ImageRect& rect : c.rects) {
      journal.Keep(map, rect);
      const ImageRect r = ClipRect(rect, c.width, c.height);
      // Some pixels change, some keep their value by chance.
      for (int y = r.y0; y < r.y1; ++y)
        for (int x = r.x0; x < r.x1; ++x)
          map[std::size_t(y) * std::size_t(c.width) + x] = uint16_t(random() % 5);
    }
    const ChangedRuns<uint16_t> changes = journal.Differences(map);
    std::size_t values = 0;
    for (std::size_t k = 0; k < changes.runs.size(); ++k) {
      values += changes.runs[k].count;
      if (k > 0) {
        EXPECT_GT(changes.runs[k].start, changes.runs[k - 1].start + changes.runs[k - 1].count)
            << c.what << ": runs " << k - 1 << " and " << k << " touch or overlap";
      }
    }
    EXPECT_EQ(values, changes.old.size()) << c.what;
    std::size_t changed = 0;
    for (std::size_t i = 0; i < n; ++i) changed += map[i] != before[i];
    EXPECT_EQ(values, changed) << c.what << ": only the changed pixels are kept";
    RestoreDifferences(changes, map);
    EXPECT_EQ(map, before) << c.what;
    if (c.rects.empty()) {
      EXPECT_EQ(journal.bytes(), 0u) << c.what;
    }
  }
}

// What a short stroke keeps is the tiles it crossed, not the map: a few kilobytes of a drawing
// of millions of pixels; kept twice, a rectangle keeps its first values.
TEST(UndoJournal, KeepsOnlyTheTilesTouchedAndTheFirstValuesOfEach) {
  const int width = 2000, height = 1500;
  std::vector<uint8_t> map(std::size_t(width) * height, 7);
  UndoJournal<uint8_t> journal;
  journal.Reset(width, height);
  journal.Keep(map, {1000, 1010, 700, 704});
  EXPECT_EQ(journal.bytes(), std::size_t(64) * 64);
  map[700 * std::size_t(width) + 1000] = 9;
  journal.Keep(map, {1000, 1010, 700, 704});  // already kept: the 7 stays the old value
  map[700 * std::size_t(width) + 1000] = 3;
  const ChangedRuns<uint8_t> changes = journal.Differences(map);
  ASSERT_EQ(changes.runs.size(), 1u);
  EXPECT_EQ(changes.runs[0].start, 700u * width + 1000);
  EXPECT_EQ(changes.old, std::vector<uint8_t>{7});
  // A map of another size is no map of this journal: nothing is kept or told.
  journal.Reset(width, height);
  journal.Keep(std::vector<uint8_t>(10), {0, 5, 0, 1});
  EXPECT_EQ(journal.bytes(), 0u);
  EXPECT_TRUE(journal.Differences(std::vector<uint8_t>(10)).runs.empty());
}

// A fill along a line that crosses the drawing keeps the tiles its pixels lie in, wherever they
// are in the list, and its differences put the line colours back.
TEST(UndoJournal, APixelListKeepsOnlyTheTilesItsPixelsLieIn) {
  RegionData region = MakeBlankRegionData(2000, 1500);
  const std::vector<uint16_t> before = region.animColor;
  std::vector<std::size_t> line;
  for (int k = 0; k < 200; ++k) line.push_back(std::size_t(k) * 2000 + std::size_t(k));
  line.push_back(std::size_t(1499) * 2000 + 1999);  // the far corner's tile
  line.push_back(std::size_t(10) * 2000 + 10);      // back in the first tile
  PaintUndoJournal journal;
  journal.Begin(kUndoAnimColors, 2000, 1500);
  journal.KeepPixels(region, line);
  EXPECT_EQ(journal.bytes(), std::size_t(5) * 64 * 64 * sizeof(uint16_t));
  for (std::size_t i : line) region.animColor[i] = 9;
  PaintUndoCopy copy;
  copy.kind = kUndoAnimColors;
  journal.Finish(region, &copy);
  ASSERT_TRUE(copy.animChanges.has_value());
  RestoreDifferences(*copy.animChanges, region.animColor);
  EXPECT_EQ(region.animColor, before);
}

}  // namespace
}  // namespace quenda
