// Bands made on several threads are handed on once each, in band order, one at a time and only
// after they are made, whatever the thread count and however the making finishes out of order;
// a failure stops the hand-over where it happened. A file written band by band from the
// threads in turn holds what one thread writes, and the testing disk limit shared by files
// written at once lets exactly its bytes through.

#include "common/bands_in_order.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <mutex>
#include <stdexcept>
#include <thread>
#include <vector>

#include "common/atomic_file.h"
#include "testing/test_support.h"
#include "testing/write_limit.h"

namespace quenda {
namespace {

using namespace testing;

constexpr int kThreadCounts[] = {1, 2, 7};

// Band b takes longer the more its number is odd in low bits, so later bands often finish first.
void Dawdle(int band) {
  if (band % 3 == 1) std::this_thread::sleep_for(std::chrono::microseconds(200 * (band % 7)));
}

TEST(BandsInOrder, EveryBandIsHandedOnceInOrderAfterItIsMadeAndNeverTwoAtOnce) {
  for (int threads : kThreadCounts)
    for (int bands : {0, 1, 2, 5, 64}) {
      SCOPED_TRACE(std::to_string(threads) + " threads, " + std::to_string(bands) + " bands");
      std::vector<std::atomic<int>> made(static_cast<std::size_t>(bands));
      std::vector<int> handed;  // written by the hand-overs only, which never overlap
      std::atomic<int> handing = 0, overlapped = 0, early = 0;
      MakeBandsInOrder(
          bands,
          [&](int b) {
            Dawdle(b);
            made[std::size_t(b)]++;
          },
          [&](int b) {
            if (handing++ != 0) overlapped++;
            if (made[std::size_t(b)].load() != 1) early++;
            std::this_thread::sleep_for(std::chrono::microseconds(50));
            handed.push_back(b);
            handing--;
          },
          threads);
      std::vector<int> inOrder;
      for (int b = 0; b < bands; ++b) inOrder.push_back(b);
      EXPECT_EQ(handed, inOrder);
      EXPECT_EQ(overlapped.load(), 0);
      EXPECT_EQ(early.load(), 0);
      for (int b = 0; b < bands; ++b) EXPECT_EQ(made[std::size_t(b)].load(), 1) << b;
    }
}

TEST(BandsInOrder, AFailureIsThrownAndNothingAfterItIsHandedOn) {
  constexpr int kBands = 40, kFailing = 13;
  struct Case {
    const char* name;
    bool inMaking;  // the failing band's making throws; otherwise its hand-over
  };
  for (const Case c : {Case{"making fails", true}, Case{"handing on fails", false}})
    for (int threads : kThreadCounts) {
      SCOPED_TRACE(std::string(c.name) + ", " + std::to_string(threads) + " threads");
      std::mutex mutex;
      std::vector<int> handed;
      auto run = [&] {
        MakeBandsInOrder(
            kBands,
            [&](int b) {
              Dawdle(b);
              if (c.inMaking && b == kFailing) throw std::runtime_error("band");
            },
            [&](int b) {
              if (!c.inMaking && b == kFailing) throw std::runtime_error("band");
              std::lock_guard lock(mutex);
              handed.push_back(b);
            },
            threads);
      };
      EXPECT_THROW(run(), std::runtime_error);
      // What was handed on is the bands before the failing one, in order, and perhaps fewer.
      EXPECT_LE(handed.size(), std::size_t(kFailing));
      if (!c.inMaking) {
        EXPECT_EQ(handed.size(), std::size_t(kFailing));
      }
      for (std::size_t i = 0; i < handed.size(); ++i) EXPECT_EQ(handed[i], int(i));
    }
}

TEST(BandsInOrder, RowSplitsCoverEveryRowOnceInBandsNearTheAskedHeight) {
  struct Case {
    int rows, perBand, count;
  };
  const Case cases[] = {{0, 10, 1},    {5, 64, 1}, {100, 10, 10}, {104, 10, 10},
                        {105, 10, 11}, {3, 1, 3},  {7, 0, 7},     {3508, 26, 135}};
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.rows) + " rows by " + std::to_string(c.perBand));
    const RowBandSplit split(c.rows, c.perBand);
    ASSERT_EQ(split.count(), c.count);
    EXPECT_EQ(split.BandStart(0), 0);
    EXPECT_EQ(split.BandStart(split.count()), c.rows);
    for (int b = 0; b < split.count(); ++b) {
      const int height = split.BandStart(b + 1) - split.BandStart(b);
      EXPECT_GE(height, c.rows == 0 ? 0 : 1) << b;
      EXPECT_LE(height, 2 * std::max(c.perBand, 1)) << b;
    }
  }
}

// The bytes band b of a test file holds.
std::vector<uint8_t> BandBytes(int band) {
  std::vector<uint8_t> bytes(std::size_t(1000 + 37 * band));
  for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = uint8_t(band * 31 + i);
  return bytes;
}

TEST(BandsInOrder, AFileWrittenBandByBandFromTheThreadsInTurnIsTheOneThreadsFile) {
  constexpr int kBands = 30;
  TempDir dir;
  std::vector<uint8_t> expected;
  for (int b = 0; b < kBands; ++b) {
    const std::vector<uint8_t> bytes = BandBytes(b);
    expected.insert(expected.end(), bytes.begin(), bytes.end());
  }
  for (int threads : kThreadCounts) {
    SCOPED_TRACE(threads);
    const std::string path = dir.File("frame.tga");
    AtomicFile file;
    ASSERT_TRUE(file.Open(path, WriteMessages("cannot create", "short write")).ok());
    std::vector<std::vector<uint8_t>> made(kBands);
    Status written;
    MakeBandsInOrder(
        kBands,
        [&](int b) {
          Dawdle(b);
          made[std::size_t(b)] = BandBytes(b);
        },
        [&](int b) {
          const std::vector<uint8_t>& bytes = made[std::size_t(b)];
          if (written.ok()) written = file.Write(bytes.data(), bytes.size());
        },
        threads);
    ASSERT_TRUE(written.ok());
    ASSERT_TRUE(file.Commit().ok());
    EXPECT_TRUE(ReadBytes(path) == expected);
    EXPECT_EQ(ListDirectory(dir.path()), std::vector<std::string>{"frame.tga"});
  }
}

TEST(BandsInOrder, FilesWrittenAtOnceShareTheDiskLimitToTheByte) {
  constexpr long long kLimit = 150000;
  TempDir dir;
  WriteLimit full(kLimit);
  std::vector<uint8_t> bytes(4096, 5);
  std::atomic<long long> through = 0;
  // Seven files at once, each written in pieces until the disk is full; what reached each is
  // its temporary's size when the write fell short.
  ParallelFor(
      7,
      [&](int f) {
        AtomicFile file;
        if (!file.Open(dir.File("f" + std::to_string(f)), WriteMessages("no", "full")).ok()) return;
        while (file.Write(bytes.data(), bytes.size()).ok()) {
        }
        through += (long long)std::filesystem::file_size(file.temporaryPath());
      },
      7);
  EXPECT_EQ(through.load(), kLimit);
  EXPECT_TRUE(ListDirectory(dir.path()).empty());
}

}  // namespace
}  // namespace quenda
