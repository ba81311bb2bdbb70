#pragma once
// A painted frame made in bands of rows and handed on, row order, while later bands are made:
// the render saves a frame's first rows while its last ones are still being laid, so the disk
// and every core work at once. Each band holds the levels laid over it back to front, so the
// rows are those of laying each level over the whole picture in turn.

#include <cstddef>
#include <functional>
#include <span>

#include "common/progress.h"
#include "common/prompt.h"
#include "common/raster.h"
#include "dopegrid/core/frame_compositor.h"
#include "dopegrid/core/render_layer.h"

namespace quenda {

// A band's bytes: a whole frame row of 2480 pixels makes about 26 rows, small enough that the
// bands being laid stay in the cache and the last band's saving is short.
inline constexpr std::size_t kPaintedBandBytes = std::size_t(256) << 10;

struct PaintedBandPicture {
  int width = 0;
  int height = 0;
  float scale = 1.0f;
  RenderQuality quality = RenderQuality::Fast;
  std::size_t bandBytes = kPaintedBandBytes;  // about this many bytes a band, a row at least
};

// Reads the painted drawings of `cells` (used cells, back to front) as ReadLevelsInTurn does,
// telling what it tells, and lays them over a transparent picture of `picture`'s size: first
// the levels before the last group read at once, over the whole picture, then the last group
// band by band. Once every level has read, begin() says whether the bands are wanted (false:
// nothing would take them). handOn(rows) takes the bands in row order, bottom row first, each
// once. False when a level failed to read; nothing is handed on then.
bool MakePaintedInBands(const SheetSource& source, std::span<const SheetCell* const> cells,
                        const CommonFrame& common, const PaintedBandPicture& picture,
                        Prompt& prompt, Progress& progress, const std::function<bool()>& begin,
                        const std::function<void(ConstRasterView rows)>& handOn);

}  // namespace quenda
