#include "common/undo_differences.h"

#include <gtest/gtest.h>

#include <functional>
#include <random>
#include <string>
#include <vector>

namespace quenda {
namespace {

// Against the whole copy they replace: every pattern of change restores the map before it, and
// the runs come out as the join rule says.
TEST(UndoDifferences, RestoreTheMapBeforeAChangeOfEveryShape) {
  const std::size_t n = 47 * 33;
  std::mt19937 random(5);
  std::vector<uint16_t> before(n);
  for (uint16_t& v : before) v = uint16_t(random() % 7);
  struct Case {
    const char* what;
    std::function<void(std::vector<uint16_t>&)> change;
    int runs;  // -1: a whole copy is kept
  };
  const std::vector<Case> cases{
      {"nothing", [](auto&) {}, 0},
      {"the first pixel", [](auto& m) { m[0] += 1; }, 1},
      {"the last pixel", [&](auto& m) { m[n - 1] += 1; }, 1},
      {"two pixels eight apart", [](auto& m) { m[100] += 1, m[108] += 1; }, 1},
      {"two pixels nine apart", [](auto& m) { m[100] += 1, m[109] += 1; }, 2},
      {"every fifth pixel of a row",
       [](auto& m) {
         for (std::size_t i = 470; i < 517; i += 5) m[i] += 1;
       },
       1},
      {"a stroke across rows",
       [](auto& m) {
         for (std::size_t y = 3; y < 20; ++y)
           for (std::size_t x = y; x < y + 4; ++x) m[y * 47 + x] = 9;
       },
       17},
      {"every pixel",
       [](auto& m) {
         for (uint16_t& v : m) v = uint16_t(v + 1);
       },
       -1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::vector<uint16_t> after = before;
    c.change(after);
    const auto changes = DifferencesOf(before, after);
    ASSERT_EQ(changes.has_value(), c.runs >= 0);
    if (!changes) continue;
    EXPECT_EQ(int(changes->runs.size()), c.runs);
    RestoreDifferences(*changes, after);
    EXPECT_EQ(after, before);
  }
  EXPECT_FALSE(DifferencesOf(std::vector<uint8_t>(3), std::vector<uint8_t>(4)).has_value());
}

}  // namespace
}  // namespace quenda
