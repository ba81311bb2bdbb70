#pragma once
// The levels one frame shows, read at once: reading a painted drawing (its scan, region file
// and paint file) is most of a frame's work and runs on one thread, so the render and the
// flipbook read several levels side by side through the pool and lay them one by one, from the
// back, on the calling thread.

#include <cstddef>
#include <functional>
#include <span>

#include "common/progress.h"
#include "common/prompt.h"
#include "common/thread_pool.h"
#include "dopegrid/core/frame_compositor.h"

namespace quenda {

// Levels read side by side, and so the most held in memory at once. Reading is bound by the
// memory as much as by the cores, so a few more than a 2-core machine has still pay.
inline constexpr int kLevelsReadAtOnce = 4;

// Reads the painted drawing of every cell of `cells` (used cells, in the order they are laid)
// and hands each to lay(index, drawing) on the calling thread, in that order. With more than one
// thread up to kLevelsReadAtOnce are read at once; with one, one after another. What each
// reading tells - stage texts, percentages and messages - reaches `progress` and `prompt` in
// its level's turn, and nothing after the first level that fails, so they hear exactly what
// reading the levels one after another tells. False after the first level that fails.
bool ReadLevelsInTurn(const SheetSource& source, std::span<const SheetCell* const> cells,
                      Prompt& prompt, Progress& progress,
                      const std::function<void(std::size_t, PaintedDrawing&)>& lay,
                      int threads = InnerThreads());

}  // namespace quenda
