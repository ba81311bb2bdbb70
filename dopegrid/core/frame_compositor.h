#pragma once
// The frame compositor: one row of the sheet becomes one picture by stacking the drawings the
// job's levels expose, level 0 in front. A range pass over all frames of the job first checks
// that the drawings agree in dpi and peg position and finds the common frame enclosing them;
// every picture of the job covers that frame.

#include <climits>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "common/frame_sequence.h"
#include "common/progress.h"
#include "common/prompt.h"
#include "common/raster.h"
#include "dopegrid/core/sheet_drawing.h"
#include "dopegrid/core/sheet_grid.h"

namespace quenda {

enum class CompositeMode { Painted, Scanned };
// Who runs the range pass: the two dialogs word the dpi/peg refusal differently.
enum class RangeUser { Flipbook, Render };

struct CommonFrame {
  int minX = INT_MAX;
  int minY = INT_MAX;
  int maxX = INT_MIN;
  int maxY = INT_MIN;
  bool operator==(const CommonFrame&) const = default;
};

// What a job reads: the sheet and the Picture Holder.
struct SheetSource {
  const CSheetGrid& sheet;
  std::span<const DrawingSequence> sequences;
};

struct CompositeJob {
  int firstFrame = 0;  // from 0, inclusive
  int lastFrame = 0;
  std::vector<int> levels;  // ascending
  CompositeMode mode = CompositeMode::Scanned;
  uint8_t backgroundRed = 255, backgroundGreen = 255, backgroundBlue = 255;

  // Set by the range pass.
  int resolution = -1;
  int pegPosition = -1;
  bool consistent = true;
  CommonFrame frame;

  // Set by the caller from the common frame.
  int width = 0;
  int height = 0;
  float scale = 1.0f;
  Raster picture;  // width x height x 3, blue, green, red, bottom row first
};

// The drawing path of a used cell; empty (after the sequence's own message) for a cell that
// names no drawing of the Picture Holder.
std::string CellDrawingPath(const SheetSource& source, const SheetCell& cell, Prompt& prompt);

// The painted drawing of a used cell with its sequence's colours; nothing after the message
// that stops the job (a cell naming no sequence, a bad colour set, an unreadable drawing).
std::optional<PaintedDrawing> LoadCellPainting(const SheetSource& source, const SheetCell& cell,
                                               Prompt& prompt, Progress& progress);

// Every used cell of the job must have a readable drawing header ("Error Reading drawing %s !")
// and at least one cell must be used ("At least one cell must have an image!").
bool CheckJobCells(const CompositeJob& job, const SheetSource& source, Prompt& prompt);
// The range pass; false after its message.
bool ScanRange(CompositeJob& job, const SheetSource& source, RangeUser user, Prompt& prompt);

// Build one frame into job.picture, which must be width x height x 3.
bool CompositeScanned(CompositeJob& job, const SheetSource& source, int frame, Prompt& prompt,
                      Progress& progress);
bool CompositePainted(CompositeJob& job, const SheetSource& source, int frame, Prompt& prompt,
                      Progress& progress);

// Output pixel x (or y) to drawing pixel: trunc(x / scale) - corner + minimum.
inline int MapToDrawing(int out, float scale, int corner, int minimum) {
  return int(float(out) / scale) - corner + minimum;
}

}  // namespace quenda
