#include "dopegrid/core/frame_compositor.h"

#include <algorithm>
#include <functional>
#include <optional>

#include "common/thread_pool.h"
#include "dopegrid/core/level_reading.h"

namespace quenda {
namespace {

// For each output column (row) the drawing column (row) it shows, or -1 when outside.
std::vector<int> AxisMap(int outputSize, float scale, int corner, int minimum, int drawingSize) {
  std::vector<int> map(std::size_t(outputSize), -1);
  for (int o = 0; o < outputSize; ++o) {
    int s = MapToDrawing(o, scale, corner, minimum);
    if (s >= 0 && s < drawingSize) map[std::size_t(o)] = s;
  }
  return map;
}

// Runs rows(begin, end) over output rows [0, height) in bands on the inner threads; progress
// is told from the calling thread at each tenth of the rows, as a pass row by row tells it.
void CompositeRows(Progress& progress, int height, const std::function<void(int, int)>& rows) {
  const int tenth = std::max(height / 10, 1);
  for (int y = 0; y < height; y += tenth) {
    progress.SetPercent(y * 100 / std::max(height, 1));
    ParallelBands(y, std::min(y + tenth, height), rows);
  }
}

// Level indices from the back (highest) to the front.
std::vector<int> BackToFront(const CompositeJob& job) {
  std::vector<int> levels = job.levels;
  std::sort(levels.begin(), levels.end(), std::greater<>());
  return levels;
}

// One painted level laid over job.picture in bands of rows.
void CompositePaintedLevel(CompositeJob& job, const PaintedDrawing& drawing, Progress& progress) {
  const int width = drawing.drawing.picture.width();
  const int height = drawing.drawing.picture.height();
  DrawingCorner corner = CornerOf(drawing.drawing);
  std::vector<int> columns = AxisMap(job.width, job.scale, corner.left, job.frame.minX, width);
  std::vector<int> rows = AxisMap(job.height, job.scale, corner.top, job.frame.minY, height);
  // Plain pointers, local to each band: stores through the picture's bytes could otherwise
  // be taken to change the containers (or the caller's variables a band refers to), and every
  // pixel would fetch them again.
  CompositeRows(progress, job.height, [&](int firstRow, int endRow) {
    const uint8_t* grey = drawing.drawing.picture.data();
    const uint8_t* flags = drawing.regions.flags.data();
    const uint16_t* regionMap = drawing.regions.regionMap.data();
    const uint16_t* animColor = drawing.regions.animColor.data();
    const int32_t* regionColor = drawing.regionColor.data();
    const ColorEntry* entries = drawing.colors.entries.data();
    const int* columnOf = columns.data();
    const int outWidth = job.width;
    for (int y = firstRow; y < endRow; ++y) {
      int sy = rows[std::size_t(y)];
      if (sy < 0) continue;
      const std::size_t rowStart = std::size_t(sy) * std::size_t(width);
      uint8_t* out = job.picture.Row(y);
      for (int x = 0; x < outWidth; ++x) {
        int sx = columnOf[x];
        if (sx < 0) continue;
        std::size_t i = rowStart + std::size_t(sx);
        int a = grey[i];
        int c = regionColor[regionMap[i]];
        uint8_t* p = out + 3 * x;
        // Paper (a = 255 weighs the line by 0: (255 * fill) / 255 is the fill) and rubbed-out
        // ink show the fill alone, which an unpainted region leaves as it was.
        if (a == 255 || (flags[i] & kFlagRubbedOut)) {
          if (c != 0) {
            const ColorEntry& e = entries[c];
            p[0] = e.blue, p[1] = e.green, p[2] = e.red;
          }
          continue;
        }
        const ColorEntry& line = entries[animColor[i]];
        uint8_t fill[3] = {p[0], p[1], p[2]};
        if (c != 0) {
          const ColorEntry& e = entries[c];
          fill[0] = e.blue, fill[1] = e.green, fill[2] = e.red;
        }
        p[0] = uint8_t((a * fill[0] + (255 - a) * line.blue) / 255);
        p[1] = uint8_t((a * fill[1] + (255 - a) * line.green) / 255);
        p[2] = uint8_t((a * fill[2] + (255 - a) * line.red) / 255);
      }
    }
  });
}

}  // namespace

std::string CellDrawingPath(const SheetSource& source, const SheetCell& cell, Prompt& prompt) {
  if (cell.sequence < 0 || cell.sequence >= int(source.sequences.size())) {
    prompt.Message(kIllegalFrameNumber, MessageIcon::Error);
    return {};
  }
  return FramePath(source.sequences[std::size_t(cell.sequence)], cell.frame, prompt);
}

std::optional<PaintedDrawing> LoadCellPainting(const SheetSource& source, const SheetCell& cell,
                                               Prompt& prompt, Progress& progress) {
  if (cell.sequence < 0 || cell.sequence >= int(source.sequences.size())) {
    prompt.Message(kIllegalFrameNumber, MessageIcon::Error);
    return std::nullopt;
  }
  const DrawingSequence& sequence = source.sequences[std::size_t(cell.sequence)];
  std::optional<ColorSet> colors = CheckSheetColorSet(sequence, prompt);
  if (!colors) return std::nullopt;
  std::optional<PaintedDrawing> painted =
      cell.frame >= 0 && cell.frame < int(sequence.frames.size())
          ? LoadPaintedDrawing(sequence, cell.frame, *colors, prompt, progress)
          : std::nullopt;
  if (!painted) prompt.Message("Could not load a painted frame!", MessageIcon::Error);
  return painted;
}

bool CheckJobCells(const CompositeJob& job, const SheetSource& source, Prompt& prompt) {
  bool any = false;
  for (int level : job.levels) {
    for (int f = job.firstFrame; f <= job.lastFrame; ++f) {
      const SheetCell& cell = source.sheet.Cell(level, f);
      if (!cell.used()) continue;
      any = true;
      std::string path = CellDrawingPath(source, cell, prompt);
      if (!ReadSheetDrawingHeader(path)) {
        prompt.Message("Error Reading drawing " + path + " !", MessageIcon::Error);
        return false;
      }
    }
  }
  if (!any) prompt.Message("At least one cell must have an image!", MessageIcon::Error);
  return any;
}

bool ScanRange(CompositeJob& job, const SheetSource& source, RangeUser user, Prompt& prompt) {
  job.resolution = job.pegPosition = -1;
  job.consistent = true;
  job.frame = CommonFrame{};
  for (int level : job.levels) {
    for (int f = job.firstFrame; f <= job.lastFrame; ++f) {
      const SheetCell& cell = source.sheet.Cell(level, f);
      if (!cell.used()) continue;
      std::string path = CellDrawingPath(source, cell, prompt);
      std::optional<DrawingScanHeader> header = ReadSheetDrawingHeader(path);
      if (!header) {
        prompt.Message("Error Reading drawing " + path + " !", MessageIcon::Error);
        return false;
      }
      if (job.resolution < 0) {
        job.resolution = header->dpi;
        job.pegPosition = header->pegPosition;
      } else if (header->dpi != job.resolution || header->pegPosition != job.pegPosition) {
        job.consistent = false;
      }
      DrawingCorner corner = CornerOf(*header);
      job.frame.minX = std::min(job.frame.minX, corner.left);
      job.frame.minY = std::min(job.frame.minY, corner.top);
      job.frame.maxX = std::max(job.frame.maxX, corner.left + header->width);
      job.frame.maxY = std::max(job.frame.maxY, corner.top + header->height);
    }
  }
  if (!job.consistent) {
    prompt.Message(user == RangeUser::Flipbook
                       ? "Two or more frames in selection does not match with each other in dpi "
                         "or peg position!\nCannot continue with generating flipbook"
                       : "Two or more frames in selection does not match with eachother in dpi "
                         "or peg position!\nCan not continue with generating flipbook",
                   MessageIcon::Error);
    return false;
  }
  // A job without a used cell has no frame to show; CheckJobCells says so before this.
  return job.resolution >= 0;
}

bool CompositeScanned(CompositeJob& job, const SheetSource& source, int frame, Prompt& prompt,
                      Progress& progress) {
  std::fill(job.picture.bytes().begin(), job.picture.bytes().end(), uint8_t(255));
  for (int level : BackToFront(job)) {
    const SheetCell& cell = source.sheet.Cell(level, frame);
    if (!cell.used()) continue;
    std::string path = CellDrawingPath(source, cell, prompt);
    progress.SetStage("Loading frame " + path);
    std::optional<DrawingScan> drawing = LoadScannedDrawing(path, prompt);
    if (!drawing) {
      prompt.Message("Could not load a scanned frame!", MessageIcon::Error);
      return false;
    }
    const Raster& grey = drawing->picture;
    DrawingCorner corner = CornerOf(*drawing);
    std::vector<int> columns =
        AxisMap(job.width, job.scale, corner.left, job.frame.minX, grey.width());
    std::vector<int> rows =
        AxisMap(job.height, job.scale, corner.top, job.frame.minY, grey.height());
    progress.SetStage("Compositing...");
    CompositeRows(progress, job.height, [&](int firstRow, int endRow) {
      for (int y = firstRow; y < endRow; ++y) {
        int sy = rows[std::size_t(y)];
        if (sy < 0) continue;
        const uint8_t* scanRow = grey.Row(sy);
        uint8_t* out = job.picture.Row(y);
        for (int x = 0; x < job.width; ++x) {
          int sx = columns[std::size_t(x)];
          if (sx < 0) continue;
          uint8_t* p = out + 3 * x;
          uint8_t v = uint8_t(scanRow[sx] * p[0] / 255);
          p[0] = p[1] = p[2] = v;
        }
      }
    });
  }
  return true;
}

bool CompositePainted(CompositeJob& job, const SheetSource& source, int frame, Prompt& prompt,
                      Progress& progress) {
  if (job.picture.empty()) {
    prompt.Message("Internal Error: image buffer not allocated in composite!", MessageIcon::Error);
    return false;
  }
  for (int y = 0; y < job.height; ++y) {
    uint8_t* out = job.picture.Row(y);
    for (int x = 0; x < job.width; ++x) {
      out[3 * x] = job.backgroundBlue;
      out[3 * x + 1] = job.backgroundGreen;
      out[3 * x + 2] = job.backgroundRed;
    }
  }
  std::vector<const SheetCell*> cells;
  for (int level : BackToFront(job))
    if (source.sheet.Cell(level, frame).used()) cells.push_back(&source.sheet.Cell(level, frame));
  return ReadLevelsInTurn(
      source, cells, prompt, progress, [&](std::size_t l, const PaintedDrawing& drawing) {
        const SheetCell& cell = *cells[l];
        const DrawingSequence& sequence = source.sequences[std::size_t(cell.sequence)];
        progress.SetStage("Compositing frame " + sequence.name +
                          FormatFrameTag(sequence.frames[std::size_t(cell.frame)]));
        CompositePaintedLevel(job, drawing, progress);
      });
}

}  // namespace quenda
