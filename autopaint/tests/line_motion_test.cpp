// The whole drawing's motion from its lines: a figure of box outlines over a still ground line,
// moved between two drawings, with and without a peg shift between the sheets.
#include <gtest/gtest.h>

#include <vector>

#include "autopaint/line_motion.h"
#include "common/region_data.h"

namespace quenda {
namespace {

constexpr int kW = 300, kH = 200;

// Line flags of a figure (three box outlines) whose corner is at (x, y), and a ground line
// shorter than the figure's outlines, as under a figure that fills the sheet.
std::vector<uint8_t> Drawing(int x, int y) {
  std::vector<uint8_t> flags(std::size_t(kW) * kH, 0);
  auto set = [&](int px, int py) {
    if (px >= 0 && py >= 0 && px < kW && py < kH)
      flags[std::size_t(py) * kW + px] = kFlagRegionLine;
  };
  auto outline = [&](int x0, int y0, int x1, int y1) {
    for (int px = x0; px <= x1; ++px) set(px, y0), set(px, y1);
    for (int py = y0; py <= y1; ++py) set(x0, py), set(x1, py);
  };
  outline(x, y, x + 30, y + 60);
  outline(x + 5, y + 62, x + 25, y + 85);
  outline(x + 30, y + 20, x + 70, y + 28);
  for (int px = 40; px < 140; ++px) set(px, 20);
  return flags;
}

TEST(LineMotion, FindsHowTheFigureMovedOverTheStillGround) {
  const std::vector<uint16_t> map(std::size_t(kW) * kH, 1);
  struct Case {
    const char* name;
    int tx, ty;       // the figure's corner in the target
    PegOffset shift;  // where source pixels lie on the target
    LineMotion expected;
  } cases[] = {
      {"still", 100, 40, {0, 0}, {0, 0}},
      {"walked right and dipped", 116, 34, {0, 0}, {-16, 6}},
      {"walked left, sheet shifted on the pegs", 80, 40, {4, -2}, {24, -2}},
  };
  const std::vector<uint8_t> source = Drawing(100, 40);
  for (const Case& c : cases) {
    const std::vector<uint8_t> target = Drawing(c.tx, c.ty);
    const LineMotion m = EstimateLineMotion({map.data(), kW, kH, 0, target.data()},
                                            {map.data(), kW, kH, 0, source.data()}, c.shift);
    EXPECT_EQ(std::pair(m.x, m.y), std::pair(c.expected.x, c.expected.y)) << c.name;
  }
  const LineMotion none = EstimateLineMotion({map.data(), kW, kH, 0, nullptr},
                                             {map.data(), kW, kH, 0, source.data()}, {});
  EXPECT_EQ(std::pair(none.x, none.y), std::pair(0, 0));
}

}  // namespace
}  // namespace quenda
