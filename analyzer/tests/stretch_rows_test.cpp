// The stretch of whole rows against the stretch of one grey value at a time, for every pair of
// clamps a settings file can hold: the rows done sixteen at a time by a product and the ones
// that fall back to the table must both give the table's bytes.

#include <gtest/gtest.h>

#include "analyzer/core/stretch_rows.h"
#include "common/contrast_stretch.h"

namespace quenda {
namespace {

// Every grey value, then some again, to an odd length: the vector part and the tail both run.
std::vector<uint8_t> AllGreys() {
  std::vector<uint8_t> grey(256 + 37);
  for (std::size_t i = 0; i < grey.size(); ++i) grey[i] = uint8_t(i * 131 % 256);
  return grey;
}

TEST(StretchRows, EveryPairOfClampsStretchesRowsAsEachPixelAlone) {
  const std::vector<uint8_t> grey = AllGreys();
  const std::vector<uint8_t> noLines(grey.size());
  int byProduct = 0;
  for (int white = 0; white < 256; ++white)
    for (int black = 0; black < 256; ++black) {
      // Unordered pairs (a file loaded unchecked) build a table each: a sample of them.
      if (white <= black && (black - white) % 17 != 0) continue;
      const StretchRows rows{uint8_t(white), uint8_t(black)};
      std::vector<uint8_t> mapped = grey;
      rows.MapRow(mapped.data(), mapped.size());
      // The display row of the same greys, no line pixels: three times the same bytes.
      std::vector<uint8_t> shown(3 * grey.size());
      rows.ShowRow(grey.data(), noLines.data(), shown.data(), grey.size(), Bgr{1, 2, 3});
      for (std::size_t i = 0; i < grey.size(); ++i) {
        const uint8_t value = StretchGrey(grey[i], uint8_t(white), uint8_t(black));
        ASSERT_EQ(mapped[i], value)
            << "white " << white << " black " << black << " grey " << int(grey[i]);
        ASSERT_TRUE(shown[3 * i] == value && shown[3 * i + 1] == value && shown[3 * i + 2] == value)
            << "shown, white " << white << " black " << black << " grey " << int(grey[i]);
      }
      byProduct += rows.ByProduct();
      // Reversed and equal clamps are not a rising ramp: only the table gives them.
      if (white <= black) {
        EXPECT_FALSE(rows.ByProduct()) << white << " " << black;
      }
    }
  // The defaults and nearly every ordered pair go by the product.
  EXPECT_TRUE(StretchRows(220, 50).ByProduct());
#if defined(__x86_64__)
  EXPECT_TRUE(StretchRows(220, 50).CanShow());  // every x86-64 since 2006 has the shuffles
#endif
  EXPECT_GT(byProduct, 30000);
}

TEST(StretchRows, ShownRowsHaveThreeEqualBytesAndTheLineColourOnLines) {
  const std::vector<uint8_t> grey = AllGreys();
  std::vector<uint8_t> flags(grey.size());
  for (std::size_t i = 0; i < flags.size(); ++i)
    flags[i] = uint8_t(i % 3 == 0 ? 1 : i % 7 == 0 ? 4 | 2 : 0);
  const Bgr line{11, 22, 33};
  for (const auto& [white, black] : {std::pair{220, 50}, std::pair{200, 90}, std::pair{255, 0},
                                     std::pair{100, 99}, std::pair{80, 80}, std::pair{10, 144}}) {
    SCOPED_TRACE(::testing::Message() << "white " << white << " black " << black);
    const StretchRows rows{uint8_t(white), uint8_t(black)};
    // Bytes before and after the row stay as they were.
    std::vector<uint8_t> shown(3 * grey.size() + 6, 0xA5);
    rows.ShowRow(grey.data(), flags.data(), shown.data() + 3, grey.size(), line);
    EXPECT_EQ(shown[2], 0xA5);
    EXPECT_EQ(shown[3 * grey.size() + 3], 0xA5);
    for (std::size_t i = 0; i < grey.size(); ++i) {
      const uint8_t* d = shown.data() + 3 + 3 * i;
      const uint8_t value = StretchGrey(grey[i], uint8_t(white), uint8_t(black));
      if (flags[i] & 1)
        EXPECT_TRUE(d[0] == 11 && d[1] == 22 && d[2] == 33) << "line pixel " << i;
      else
        EXPECT_TRUE(d[0] == value && d[1] == value && d[2] == value) << "pixel " << i;
    }
  }
}

}  // namespace
}  // namespace quenda
