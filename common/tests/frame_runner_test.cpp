// The in-order runner: frames reach the commit in order whatever order the workers finish in,
// no more than jobs + 1 are held, a stop drops the work done ahead, and a worker's exception
// comes out in its frame's turn.

#include "common/frame_runner.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <stdexcept>
#include <thread>
#include <vector>

namespace quenda {
namespace {

TEST(FrameRunner, CommitsInOrderHoldsAtMostJobsPlusOneAndStopsWhereAsked) {
  struct Case {
    int jobs;
    int stopAt;  // past the last frame: no stop
  };
  for (const Case& c : {Case{1, 99}, Case{2, 99}, Case{3, 99}, Case{2, 4}, Case{3, 1}}) {
    SCOPED_TRACE(std::to_string(c.jobs) + " jobs, stop at " + std::to_string(c.stopAt));
    std::atomic<int> held = 0, mostHeld = 0;
    std::vector<int> committed;
    int count = RunFramesInOrder(
        0, 11, c.jobs,
        [&](int f) {
          int now = ++held;
          for (int seen = mostHeld; now > seen && !mostHeld.compare_exchange_weak(seen, now);) {
          }
          // Early frames take longest, so later ones finish first.
          std::this_thread::sleep_for(std::chrono::milliseconds(12 - f));
          return f * 10;
        },
        [&](int f, int& made) {
          EXPECT_EQ(made, f * 10);
          committed.push_back(f);
          std::this_thread::sleep_for(std::chrono::milliseconds(3));
          --held;
          return f != c.stopAt;
        });
    std::vector<int> expected;
    for (int f = 0; f <= std::min(c.stopAt, 11); ++f) expected.push_back(f);
    EXPECT_EQ(committed, expected);
    EXPECT_EQ(count, int(expected.size()));
    EXPECT_LE(mostHeld.load(), c.jobs + 1);
  }
}

TEST(FrameRunner, AWorkersExceptionComesOutInItsTurn) {
  std::vector<int> committed;
  EXPECT_THROW(RunFramesInOrder(
                   0, 7, 2,
                   [](int f) {
                     if (f == 3) throw std::runtime_error("frame 3");
                     return f;
                   },
                   [&](int f, int&) {
                     committed.push_back(f);
                     return true;
                   }),
               std::runtime_error);
  EXPECT_EQ(committed, (std::vector<int>{0, 1, 2}));
}

}  // namespace
}  // namespace quenda
