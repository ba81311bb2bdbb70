// In-betweens from both keys: what a region takes when the two chains agree, when they differ
// with a clear margin of confidence, and when they differ without one; a chain's word counting
// for less the further it has come from its key.
#include <gtest/gtest.h>

#include <vector>

#include "autopaint/both_keys.h"

namespace quenda {
namespace {

constexpr int32_t kNone = 1;  // the unfilled colour

TEST(BothKeys, AgreeingChainsGiveTheirColourAndDifferingOnesOnlyWithAClearMargin) {
  struct Case {
    const char* name;
    int32_t forward, backward;
    int forwardSure, backwardSure;
    int32_t expected;
  };
  const int m = kBothKeysMargin;
  const Case cases[] = {
      {"agreeing, however unsure", 5, 5, 3, 1, 5},
      {"agreeing on unfilled", kNone, kNone, 0, 0, kNone},
      {"forward surer by the margin", 5, 6, 60 + m, 60, 5},
      {"backward surer by the margin", 5, 6, 40, 40 + m, 6},
      {"forward surer by less than the margin", 5, 6, 60 + m - 1, 60, kNone},
      {"backward surer by less than the margin", 5, 6, 70, 70 + m - 1, kNone},
      {"equally sure", 5, 6, 90, 90, kNone},
      {"one chain left it unfilled, the other sure", kNone, 6, 0, m, 6},
      {"one chain left it unfilled, the other unsure", 5, kNone, m - 1, 0, kNone},
  };
  for (const Case& c : cases) {
    const std::vector<int32_t> fc{0, 0, c.forward}, bc{0, 0, c.backward};
    const std::vector<int> fs{0, 100, c.forwardSure}, bs{0, 100, c.backwardSure};
    EXPECT_EQ(CombineKeys({fc, fs}, {bc, bs}, kNone), (std::vector<int32_t>{0, 0, c.expected}))
        << c.name;
  }
}

TEST(BothKeys, WhereTheChainsDifferTheOneNearerItsKeyGainsForEveryStepBetween) {
  struct Case {
    const char* name;
    int32_t forward, backward;
    int forwardSure, backwardSure, forwardSteps, backwardSteps;
    int32_t expected;
  };
  const int m = kBothKeysMargin, s = kBothKeysStepCost;
  const int apart = (m + s - 1) / s;  // the fewest steps nearer that make up the margin
  const Case cases[] = {
      {"as sure, forward nearer by enough steps", 5, 6, 70, 70, 1, 1 + apart, 5},
      {"as sure, forward nearer by one step too few", 5, 6, 70, 70, 2, apart, kNone},
      {"as sure, backward nearer by enough steps", 5, 6, 60, 60, 1 + apart, 1, 6},
      {"nearer, but less sure by what its steps make up", 5, 6, 70 - s * apart, 70, 1, 1 + apart,
       kNone},
      {"unfilled beside its key, the other sure however far", kNone, 6, 0, m + s * 9, 1, 10, 6},
      {"unfilled beside its key, the other unsure that far", kNone, 6, 0, m + s * 9 - 1, 1, 10,
       kNone},
      {"agreeing, however far", 5, 5, 1, 1, 1, 10, 5},
  };
  for (const Case& c : cases) {
    const std::vector<int32_t> fc{0, 0, c.forward}, bc{0, 0, c.backward};
    const std::vector<int> fs{0, 100, c.forwardSure}, bs{0, 100, c.backwardSure};
    EXPECT_EQ(CombineKeys({fc, fs, c.forwardSteps}, {bc, bs, c.backwardSteps}, kNone),
              (std::vector<int32_t>{0, 0, c.expected}))
        << c.name;
  }
}

TEST(BothKeys, ARegionBeyondOneChainsTableCountsAsLeftUnfilledThere) {
  const std::vector<int32_t> fc{0, 0, 5, 6}, bc{0, 0, 5};
  const std::vector<int> fs{0, 100, 90, 90}, bs{0, 100, 90};
  EXPECT_EQ(CombineKeys({fc, fs}, {bc, bs}, kNone), (std::vector<int32_t>{0, 0, 5, 6}));
  const std::vector<int> unsure{0, 100, 90, kBothKeysMargin - 1};
  EXPECT_EQ(CombineKeys({fc, unsure}, {bc, bs}, kNone), (std::vector<int32_t>{0, 0, 5, kNone}));
}

}  // namespace
}  // namespace quenda
