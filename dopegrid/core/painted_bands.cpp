#include "dopegrid/core/painted_bands.h"

#include <algorithm>
#include <string>
#include <vector>

#include "common/bands_in_order.h"
#include "common/frame_sequence.h"
#include "dopegrid/core/level_reading.h"

namespace quenda {
namespace {

// Rows [first, end) of `picture`.
RasterView RowsOf(Raster& picture, int first, int end) {
  RasterView rows = picture.view();
  rows.pixels = picture.Row(first);
  rows.height = end - first;
  return rows;
}

}  // namespace

bool MakePaintedInBands(const SheetSource& source, std::span<const SheetCell* const> cells,
                        const CommonFrame& common, const PaintedBandPicture& picture,
                        Prompt& prompt, Progress& progress, const std::function<bool()>& begin,
                        const std::function<void(ConstRasterView rows)>& handOn) {
  auto tell = [&](const SheetCell& cell) {
    const DrawingSequence& sequence = source.sequences[std::size_t(cell.sequence)];
    progress.SetStage("Layering frame " + sequence.name +
                      FormatFrameTag(sequence.frames[std::size_t(cell.frame)]));
  };
  // The levels behind the last group are laid whole, as the render lays them one by one; the
  // last group is held to be laid band by band.
  const std::size_t held = std::min(cells.size(), std::size_t(kLevelsReadAtOnce));
  const std::span<const SheetCell* const> behind = cells.first(cells.size() - held);
  Raster whole;
  if (!behind.empty()) {
    whole = Raster(picture.width, picture.height, 4);
    const bool read = ReadLevelsInTurn(
        source, behind, prompt, progress, [&](std::size_t i, const PaintedDrawing& painted) {
          tell(*behind[i]);
          LayDrawing(painted, common, picture.scale, picture.quality, whole);
        });
    if (!read) return false;
  }
  std::vector<PaintedDrawing> front;
  front.reserve(held);
  const bool read = ReadLevelsInTurn(source, cells.last(held), prompt, progress,
                                     [&](std::size_t i, PaintedDrawing& painted) {
                                       tell(*cells[behind.size() + i]);
                                       front.push_back(std::move(painted));
                                     });
  if (!read) return false;
  if (!begin()) return true;
  std::vector<DrawingLayout> layouts;
  layouts.reserve(front.size());
  for (const PaintedDrawing& painted : front)
    layouts.emplace_back(painted, common, picture.scale, picture.quality, picture.width,
                         picture.height);

  const std::size_t rowBytes = std::size_t(picture.width) * 4;
  const int rowsPerBand = int(std::max<std::size_t>(picture.bandBytes / rowBytes, 1));
  const RowBandSplit split(picture.height, rowsPerBand);
  // Without levels behind, each band is made in a buffer of its own, freed once handed on.
  std::vector<Raster> bands(std::size_t(whole.empty() ? split.count() : 0));
  auto rowsOf = [&](int b) {
    const int first = split.BandStart(b), end = split.BandStart(b + 1);
    return whole.empty() ? bands[std::size_t(b)].view() : RowsOf(whole, first, end);
  };
  MakeBandsInOrder(
      split.count(),
      [&](int b) {
        const int first = split.BandStart(b), end = split.BandStart(b + 1);
        if (whole.empty()) bands[std::size_t(b)] = Raster(picture.width, end - first, 4);
        const RasterView rows = rowsOf(b);
        for (const DrawingLayout& layout : layouts) layout.LayRows(first, end, rows);
      },
      [&](int b) {
        const RasterView rows = rowsOf(b);
        handOn(ConstRasterView{rows.pixels, rows.width, rows.height, rows.channels, rows.stride});
        if (whole.empty()) bands[std::size_t(b)] = Raster();
      });
  return true;
}

}  // namespace quenda
