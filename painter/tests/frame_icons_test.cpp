// Strip icons read from a frame's files, their cache on disk, and the worker threads that make
// them for a whole sequence.
#include "painter/core/frame_icons.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>

#include "common/case_insensitive_path.h"
#include "common/file_io.h"
#include "common/paint_file.h"
#include "common/region_file.h"
#include "common/scripted_prompt.h"
#include "painter/core/icon_builder.h"
#include "painter/tests/painter_test_frames.h"
#include "testing/test_support.h"

namespace quenda {
namespace {

using testing::TempDir;

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

void Overwrite(const std::string& path, const std::vector<uint8_t>& bytes) {
  testing::WriteText(path, std::string(bytes.begin(), bytes.end()));
}

TEST(IconCache, AnIntactEntryIsUsedAndADamagedOneRebuilt) {
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
  Overwrite(entry, marked);
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
    Overwrite(entry, bytes);
    const StripIcon got = cache.Get(f.paths, f.colors, kSide);
    EXPECT_EQ(got.icon, fromFiles.icon) << what;
    EXPECT_EQ(got.state, fromFiles.state) << what;
    EXPECT_EQ(*ReadFileBytes(entry), good) << what;
  }
}

TEST(IconBuilder, MakesEveryFrameOnceFromTheShownOnAndListsTheFolderOnce) {
  TempDir dir;
  testing::WriteAnalyzedSequence(dir.path(), "walk", 6, 120, 90);
  IconJob job{OpenSequence(dir.File("walk1.qds"), "walk1"), ColorSet(), kSide, IconCache()};
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
    const std::string base = dir.File("walk" + std::to_string(frame + 1));
    const FramePaths paths{base + ".qds", base + ".rgn", base + ".pnt"};
    EXPECT_EQ(icons[std::size_t(frame)].icon, ReadFrameIcon(paths, job.colors, kSide).icon);
  }
}

}  // namespace
}  // namespace quenda
