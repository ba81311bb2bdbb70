// The pool inside a frame: every task runs exactly once whatever the thread count, a failing
// task's exception reaches the caller, nested calls finish, and the cores are divided among
// frames made at once.

#include "common/thread_pool.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <mutex>
#include <stdexcept>
#include <thread>
#include <vector>

#include "common/frame_runner.h"
#include "testing/inner_threads.h"

namespace quenda {
namespace {

TEST(ThreadPool, RunsEveryTaskOnceWithAnyThreadCountAndNesting) {
  for (int threads : {1, 2, 7}) {
    for (int count : {0, 1, 5, 1000}) {
      SCOPED_TRACE(std::to_string(threads) + " threads, " + std::to_string(count) + " tasks");
      std::vector<std::atomic<int>> ran(std::size_t(count) * 3);
      ParallelFor(
          count,
          [&](int i) {
            // A nested call inside each task: the inner callers must never wait on helpers
            // that the busy pool has not begun.
            ParallelFor(
                3, [&](int j) { ran[std::size_t(i) * 3 + std::size_t(j)]++; }, threads);
          },
          threads);
      for (std::size_t k = 0; k < ran.size(); ++k) ASSERT_EQ(ran[k].load(), 1) << k;
    }
  }
}

TEST(ThreadPool, UsesMoreThanOneThreadWhenAskedAndRethrowsTheFirstFailure) {
  std::mutex mutex;
  std::vector<std::thread::id> seen;
  std::atomic<int> inside = 0, mostInside = 0;
  ParallelFor(
      4,
      [&](int) {
        int now = ++inside;
        for (int m = mostInside; now > m && !mostInside.compare_exchange_weak(m, now);) {
        }
        // Long enough that a second thread surely joins before the first is through.
        std::this_thread::sleep_for(std::chrono::milliseconds(30));
        --inside;
        std::lock_guard lock(mutex);
        seen.push_back(std::this_thread::get_id());
      },
      2);
  EXPECT_EQ(seen.size(), 4u);
  EXPECT_EQ(mostInside.load(), 2);

  for (int threads : {1, 3}) {
    std::atomic<int> ran = 0;
    EXPECT_THROW(ParallelFor(
                     100,
                     [&](int i) {
                       ++ran;
                       if (i == 5) throw std::runtime_error("task 5");
                       // Slow enough that the failure is seen long before the rest are done.
                       std::this_thread::sleep_for(std::chrono::milliseconds(1));
                     },
                     threads),
                 std::runtime_error);
    // Tasks after the failure do not start (a few already begun on other threads may run).
    EXPECT_LT(ran.load(), 100) << threads;
  }
}

TEST(ThreadPool, BandsCoverEveryRowOnceAndKeepTheirLeastHeight) {
  struct Case {
    int first, last, minRows, threads, bands;  // bands: how many are expected
  };
  const Case cases[] = {
      {0, 0, 16, 7, 0},    {5, 4, 16, 7, 0},     {0, 15, 16, 7, 1}, {0, 1000, 16, 1, 1},
      {0, 1000, 16, 2, 8}, {3, 1003, 16, 7, 28}, {0, 40, 16, 7, 2}, {-10, 90, 1, 7, 28},
      {0, 100, 0, 3, 12},  {0, 100, 200, 7, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.first) + ".." + std::to_string(c.last) + " min " +
                 std::to_string(c.minRows) + " threads " + std::to_string(c.threads));
    const int rows = std::max(c.last - c.first, 0);
    std::vector<std::atomic<int>> seen(static_cast<std::size_t>(rows));
    std::atomic<int> bands = 0, thinnest = rows;
    ParallelBands(
        c.first, c.last,
        [&](int begin, int end) {
          ++bands;
          for (int t = thinnest;
               end - begin < t && !thinnest.compare_exchange_weak(t, end - begin);) {
          }
          for (int row = begin; row < end; ++row) seen[std::size_t(row - c.first)]++;
        },
        c.minRows, c.threads);
    EXPECT_EQ(bands.load(), c.bands);
    if (c.bands > 1) {
      EXPECT_GE(thinnest.load(), std::max(c.minRows, 1));
    }
    for (std::size_t k = 0; k < seen.size(); ++k) ASSERT_EQ(seen[k].load(), 1) << k;
  }
}

TEST(ThreadPool, DividesTheCoresAmongFramesMadeAtOnce) {
  const int cores = DefaultJobCount();
  EXPECT_EQ(InnerThreadsForJobs(1), cores);
  EXPECT_EQ(InnerThreadsForJobs(cores), 1);
  EXPECT_EQ(InnerThreadsForJobs(cores * 4), 1);
  EXPECT_EQ(InnerThreadsForJobs(0), cores);
  const testing::InnerThreadsRestored restored;
  SetInnerThreads(7);
  EXPECT_EQ(InnerThreads(), 7);
  SetInnerThreads(0);
  EXPECT_EQ(InnerThreads(), 1);
}

// A test that sets a count for a while leaves the state it found, "not set" included: a count
// left behind would stand over every later frame's share of the cores.
TEST(ThreadPool, TheTestGuardsPutBackWhetherACountWasSet) {
  const testing::InnerThreadsRestored outermost;
  const int cores = DefaultJobCount();
  ClearInnerThreads();
  EXPECT_FALSE(InnerThreadsSet());
  {
    const testing::InnerThreadsSetTo three(3);
    EXPECT_TRUE(InnerThreadsSet());
    {
      const testing::InnerThreadsSetTo five(5);
      EXPECT_EQ(InnerThreads(), 5);
    }
    EXPECT_EQ(InnerThreads(), 3);
    EXPECT_TRUE(InnerThreadsSet());
  }
  EXPECT_FALSE(InnerThreadsSet());
  {
    const FrameThreadShare share(cores * 2);
    EXPECT_EQ(InnerThreads(), 1);  // the share counts again, as nothing is set
  }
  {
    const testing::InnerThreadsRestored restored;
    SetInnerThreads(4);  // as a command's --threads does
  }
  EXPECT_FALSE(InnerThreadsSet());
  EXPECT_EQ(InnerThreads(), cores);
  SetInnerThreads(6);
  {
    const testing::InnerThreadsRestored restored;
    ClearInnerThreads();
    EXPECT_FALSE(InnerThreadsSet());
  }
  EXPECT_TRUE(InnerThreadsSet());
  EXPECT_EQ(InnerThreads(), 6);
}

TEST(ThreadPool, FramesMadeAtOnceShareTheCoresUnlessACountWasSet) {
  const int cores = DefaultJobCount();
  auto seenByFrames = [](int jobs) {
    std::vector<int> seen(6, 0);
    RunFramesInOrder(
        0, 5, jobs, [](int) { return InnerThreads(); },
        [&](int f, int threads) {
          seen[std::size_t(f)] = threads;
          return true;
        });
    return seen;
  };
  const testing::InnerThreadsRestored restored;
  // Nothing set, as in the windowed programs: every core, or a share of them per frame.
  ClearInnerThreads();
  EXPECT_EQ(InnerThreads(), cores);
  EXPECT_EQ(seenByFrames(2), std::vector<int>(6, InnerThreadsForJobs(2)));
  EXPECT_EQ(seenByFrames(1), std::vector<int>(6, cores));  // one job runs on the caller
  {
    const FrameThreadShare share(cores * 2);
    EXPECT_EQ(InnerThreads(), 1);
    {
      const FrameThreadShare alone(1);
      EXPECT_EQ(InnerThreads(), cores);
    }
    EXPECT_EQ(InnerThreads(), 1);
  }
  EXPECT_EQ(InnerThreads(), cores);
  // A count that was set (--threads, or the tool's division) stands in every frame.
  SetInnerThreads(5);
  EXPECT_EQ(seenByFrames(2), std::vector<int>(6, 5));
}

}  // namespace
}  // namespace quenda
