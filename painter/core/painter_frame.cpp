#include "painter/core/painter_frame.h"

#include "common/color_set.h"
#include "common/contrast_stretch.h"
#include "common/drawing_scan.h"
#include "common/file_io.h"
#include "common/frame_sequence.h"
#include "common/paint_file.h"
#include "common/region_file.h"

namespace quenda {
namespace {

bool Fail(PainterFrame& frame, Prompt& prompt, std::string_view first, std::string_view second) {
  if (!first.empty()) prompt.Message(first, MessageIcon::Error);
  if (!second.empty()) prompt.Message(second, MessageIcon::Error);
  frame = PainterFrame{};
  return false;
}

}  // namespace

void StretchLevels(std::vector<uint8_t>& scan, uint8_t whiteClamp, uint8_t blackClamp) {
  const auto table = StretchTable(whiteClamp, blackClamp);
  for (uint8_t& g : scan) g = table[g];
}

bool LoadPainterFrame(PainterFrame& frame, const FramePaths& paths, int colorCount,
                      Prompt& prompt) {
  frame.undo.Drop();
  if (!FrameExists(paths.scan))
    return Fail(frame, prompt, std::string(kImageMissing) + paths.scan, {});
  if (!FrameExists(paths.region))
    return Fail(frame, prompt, std::string(kRegionMissing) + paths.region, {});

  auto drawing = ReadDrawingScan(paths.scan, ScanReader::Painter);
  if (!drawing)
    return Fail(frame, prompt, drawing.message(), std::string(kImageInvalid) + paths.scan);
  DrawingScan& scan = drawing->scan;

  const int width = scan.picture.width(), height = scan.picture.height();
  auto region = ReadRegionFile(paths.region, width, height, RegionReader::Painter);
  if (!region)
    return Fail(frame, prompt, region.message(), std::string(kRegionInvalid) + paths.scan);

  std::vector<int32_t> colors;
  bool stale = false;
  // A paint file that is there but does not read (a folder, a broken link, no permission)
  // fails the frame rather than passing for none.
  if (!paths.paint.empty() && EntryExists(paths.paint)) {
    auto paint = ReadPaintFile(paths.paint, region->regionCount, colorCount);
    if (!paint)
      return Fail(frame, prompt, paint.message(), std::string(kPaintsInvalid) + paths.paint);
    if (paint->stale) {
      prompt.Message(StalePaintWarning(paths.paint, paths.region), MessageIcon::Warning);
      stale = true;
    }
    colors = std::move(paint->regionColor);
  } else {
    colors = DefaultPaint(region->regionCount);
  }

  PainterFrame loaded;
  loaded.width = width;
  loaded.height = height;
  loaded.originX = scan.xPosition;
  loaded.originY = scan.yPosition;
  loaded.peg = scan.pegPosition;
  loaded.rowPixels = (width & ~3) + 4;
  loaded.scan = std::move(scan.picture);
  loaded.region = std::move(region.value());
  loaded.regionColor = std::move(colors);
  loaded.paintStale = stale;
  StretchLevels(loaded.scan.bytes(), loaded.region.settings.whiteClamp,
                loaded.region.settings.blackClamp);
  frame = std::move(loaded);
  return true;
}

bool SavePainterFrame(PainterFrame& frame, const FramePaths& paths, Prompt& prompt) {
  if (frame.empty()) return true;
  bool allWritten = true;
  if (frame.paintChanged && frame.paintStale) {
    // The old file is kept beside, never overwritten: it may be all that is left of that paint.
    Result<std::string> aside = MoveStalePaintAside(paths.paint);
    if (!aside) {
      prompt.Message(aside.message(), MessageIcon::Error);
      return false;
    }
    frame.paintStale = false;
  }
  if (frame.paintChanged) {
    Status written = WritePaintFile(paths.paint, frame.regionColor);
    if (!written.ok()) prompt.Message(written.message(), MessageIcon::Error);
    allWritten = allWritten && written.ok();
    // A paint that did not reach its file stays marked, so that leaving the frame asks.
    if (written.ok()) frame.paintChanged = false;
  }
  if (frame.regionChanged) {
    Status written = WriteRegionFile(paths.region, frame.region, RegionWriter::Painter);
    if (!written.ok()) prompt.Message(written.message(), MessageIcon::Error);
    allWritten = allWritten && written.ok();
    if (written.ok()) frame.regionChanged = false;
  }
  return allWritten;
}

void TakeUndoCopy(PainterFrame& frame, int kind) {
  frame.journal.Stop();
  frame.undo.Take(MakePaintUndoCopy(PaintTargetOf(frame), kind));
}

void TakeJournalledUndo(PainterFrame& frame, int kind) {
  PainterUndoCopy copy;
  copy.kind = kind;
  frame.undo.Take(std::move(copy));
  frame.journal.Begin(kind, frame.width, frame.height);
}

void JournalBefore(PainterFrame& frame, const ImageRect& area) {
  if (frame.undo.get() != nullptr) frame.journal.Keep(frame.region, area);
}

void KeepUndoDifferences(PainterFrame& frame) {
  PainterUndoCopy* copy = frame.undo.get();
  if (frame.journal.active())
    frame.journal.Finish(frame.region, copy);
  else if (copy)
    KeepPaintUndoDifferences(PaintTargetOf(frame), *copy);
}

bool UndoLastChange(PainterFrame& frame) {
  // Undone during a stroke: what it changed so far.
  if (frame.journal.active()) KeepUndoDifferences(frame);
  std::optional<PainterUndoCopy> copy = frame.undo.Release();
  if (!copy) return false;
  RestorePaintUndoCopy(PaintTargetOf(frame), std::move(*copy));
  return true;
}

int CountUnfilledRegions(const PainterFrame& frame) {
  int count = 0;
  for (std::size_t r = kBackgroundRegion; r < frame.regionColor.size(); ++r)
    if (frame.regionColor[r] == kUnfilledColor) ++count;
  return count;
}

}  // namespace quenda
