#pragma once
// One loaded frame of the painter: the stretched drawing, its region data and its paints, with
// the changed flags that decide what is written when the frame is left and a one-step undo.
// Image coordinates: x to the right, y upwards, pixel i = y * width + x.

#include <cstdint>
#include <string>
#include <vector>

#include "common/document.h"
#include "common/paint_tools.h"
#include "common/paint_undo_journal.h"
#include "common/prompt.h"
#include "common/raster.h"
#include "common/region_data.h"

namespace quenda {

using PainterUndoCopy = PaintUndoCopy;

// The three files of one frame. Missing files are detected at load time.
struct FramePaths {
  std::string scan;    // .qds
  std::string region;  // .rgn
  std::string paint;   // .pnt
};

struct PainterFrame {
  int width = 0;
  int height = 0;
  int originX = 0;
  int originY = 0;
  int peg = 0;
  int rowPixels = 0;  // pixel width of one row of the display pictures

  Raster scan;        // the drawing, grey after the level stretch
  RegionData region;  // flags, animColor, regionMap, regionCount, regionBounds, levels
  std::vector<int32_t> regionColor;

  bool paintChanged = false;
  bool regionChanged = false;
  // The paint file was made for other regions: it shows as unpainted and is moved aside to
  // NAME.pnt.stale before the first new paint replaces it.
  bool paintStale = false;
  UndoSnapshot<PainterUndoCopy> undo;
  // While a stroke or rectangle goes on, its undo is the old values of the tiles it crossed.
  PaintUndoJournal journal;

  bool undoAvailable() const { return undo.available(); }
  int undoKind() const { return undo.available() ? undo.get()->kind : kUndoNothing; }
  // What the undo holds: between changes their differences (and the small region colour
  // table), during a stroke the tiles kept so far.
  std::size_t undoBytes() const {
    return undo.available() ? PaintUndoBytes(*undo.get()) + journal.bytes() : 0;
  }
  int regionCount() const { return region.regionCount; }
  std::size_t PixelCount() const { return std::size_t(width) * std::size_t(height); }
  bool Contains(int x, int y) const { return x >= 0 && y >= 0 && x < width && y < height; }
  std::size_t Index(int x, int y) const { return std::size_t(y) * std::size_t(width) + x; }
  bool empty() const { return width <= 0 || height <= 0; }
};

inline constexpr std::string_view kImageMissing = "Fatal: Image file does not exist: ";
inline constexpr std::string_view kRegionMissing = "Fatal: Region file does not exist: ";
inline constexpr std::string_view kImageInvalid = "Fatal: Image file invalid: ";
inline constexpr std::string_view kRegionInvalid = "Fatal: Region file invalid: ";
inline constexpr std::string_view kPaintsInvalid = "Fatal: Paints file invalid: ";

// Reads the three files into `frame`, showing every failure through `prompt` in order. A paint
// file that does not fit the region file is told, naming both, and the default paint shows.
// `colorCount` is the colour set's count (paints beyond it read as unfilled). On failure the
// frame is left empty (no pixels, nothing changed), so nothing of it can be written anywhere.
bool LoadPainterFrame(PainterFrame& frame, const FramePaths& paths, int colorCount, Prompt& prompt);

// Writes the paint file when paintChanged and the region file when regionChanged, clearing
// each flag after a successful write; write failures are shown, and the data and its flag stay.
// False when a write failed.
bool SavePainterFrame(PainterFrame& frame, const FramePaths& paths, Prompt& prompt);

// The level stretch applied to a freshly read drawing.
void StretchLevels(std::vector<uint8_t>& scan, uint8_t whiteClamp, uint8_t blackClamp);

// The frame's data as the painting tools see it.
inline PaintTarget PaintTargetOf(PainterFrame& frame) {
  return {frame.region, frame.regionColor};
}

void TakeUndoCopy(PainterFrame& frame, int kind);
// The undo of a line colour or flag change whose extent is told as it goes: nothing is copied
// now, JournalBefore keeps each rectangle's old tiles before it changes.
void TakeJournalledUndo(PainterFrame& frame, int kind);
void JournalBefore(PainterFrame& frame, const ImageRect& area);
// Restores each copy named by undoKind; the changed flags stay as they are, so an undone
// change is still written when the frame is left. False when no undo was available.
bool UndoLastChange(PainterFrame& frame);
// The change since the undo copy (or journalled undo) is complete: the undo keeps only what it
// changed. An undo during a stroke completes it first.
void KeepUndoDifferences(PainterFrame& frame);

// Regions 1 .. N + 1 carrying the unfilled colour.
int CountUnfilledRegions(const PainterFrame& frame);

}  // namespace quenda
