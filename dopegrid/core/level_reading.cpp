#include "dopegrid/core/level_reading.h"

#include <algorithm>
#include <optional>
#include <string>
#include <utility>
#include <variant>
#include <vector>

#include "common/frame_runner.h"

namespace quenda {
namespace {

// What a level's reading tells its progress, held in order and told in the level's turn.
class HeldProgress final : public Progress {
 public:
  void SetStage(std::string_view text) override { told_.emplace_back(std::string(text)); }
  void SetPercent(int percent) override { told_.emplace_back(percent); }
  bool StopRequested() override { return false; }  // STOP is read between frames, not here
  void Replay(Progress& progress) const {
    for (const auto& told : told_) {
      if (const std::string* stage = std::get_if<std::string>(&told))
        progress.SetStage(*stage);
      else
        progress.SetPercent(std::get<int>(told));
    }
  }

 private:
  std::vector<std::variant<std::string, int>> told_;
};

// One level read ahead of its turn, with what its reading said.
struct ReadLevel {
  std::optional<PaintedDrawing> painted;
  DeferredPrompt said;
  HeldProgress told;
};

}  // namespace

bool ReadLevelsInTurn(const SheetSource& source, std::span<const SheetCell* const> cells,
                      Prompt& prompt, Progress& progress,
                      const std::function<void(std::size_t, PaintedDrawing&)>& lay, int threads) {
  if (threads <= 1) {
    // One after another, straight to the caller's prompt and progress.
    for (std::size_t i = 0; i < cells.size(); ++i) {
      std::optional<PaintedDrawing> painted = LoadCellPainting(source, *cells[i], prompt, progress);
      if (!painted) return false;
      lay(i, *painted);
    }
    return true;
  }
  const std::size_t group = std::size_t(kLevelsReadAtOnce);
  for (std::size_t start = 0; start < cells.size(); start += group) {
    const std::size_t count = std::min(group, cells.size() - start);
    std::vector<ReadLevel> read(count);
    ParallelFor(
        int(count),
        [&](int i) {
          ReadLevel& r = read[std::size_t(i)];
          r.painted = LoadCellPainting(source, *cells[start + std::size_t(i)], r.said, r.told);
        },
        int(count));
    for (std::size_t i = 0; i < count; ++i) {
      ReadLevel& r = read[i];
      r.told.Replay(progress);
      r.said.Replay(prompt);
      if (!r.painted) return false;
      lay(start + i, *r.painted);
      r.painted.reset();  // its memory serves the next group's reading
    }
  }
  return true;
}

}  // namespace quenda
