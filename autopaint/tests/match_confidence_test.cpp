// How sure a landing is: the share of the region under one source region, weighed by how much of
// its outline lands on the source's lines, so that a region lying wholly inside another whose
// outline lands nowhere (new where a crossing limb hid it) stays below the default threshold.
#include <gtest/gtest.h>

#include "autopaint/match_confidence.h"

namespace quenda {
namespace {

TEST(MatchConfidence, ALandingIsAsSureAsItsShareAndItsOutlineSay) {
  struct Case {
    double share, landed;
    double expected;
  };
  const Case cases[] = {
      {1, 1, 100}, {1, 0, 30}, {0.5, 1, 50}, {1, 0.5, 65}, {0, 1, 0}, {1, 2, 100}, {1, -1, 30},
  };
  for (const Case& c : cases)
    EXPECT_NEAR(ConfidenceOfLanding(c.share, c.landed), c.expected, 1e-9)
        << "share " << c.share << ", landed " << c.landed;
  // Inside a source region entirely, with less than a third of its outline on the lines.
  EXPECT_LT(ConfidenceOfLanding(1, 0.28), kDefaultConfidence);
}

}  // namespace
}  // namespace quenda
