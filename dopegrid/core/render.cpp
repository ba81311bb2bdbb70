#include "dopegrid/core/render.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <memory>

#include "common/frame_in_hand_progress.h"
#include "common/frame_picture.h"
#include "common/frame_runner.h"
#include "common/targa.h"
#include "dopegrid/core/level_reading.h"
#include "dopegrid/core/painted_bands.h"

namespace quenda {
namespace {

// Byte offsets of a picture pixel.
constexpr int kB = 0, kG = 1, kR = 2, kA = 3;

std::vector<int> BackToFront(std::vector<int> levels) {
  std::sort(levels.begin(), levels.end(), std::greater<>());
  return levels;
}

WriteMessages FrameWriteMessages(const std::string& path, std::string_view cannotCreate) {
  return {std::string(cannotCreate),
          "Error writing file " + path + "!: Disk Full or Write Protected"};
}

// Says what went wrong; false when the run must end there.
bool ToldSaved(const Status& written, Prompt& prompt) {
  if (!written) prompt.Message(written.message(), MessageIcon::Error);
  return written.kind() != ErrorKind::CannotCreate;  // a short write goes on with the next frame
}

bool SaveFrame(const std::string& path, const Raster& picture, const FramePictureOptions& options,
               std::string_view cannotCreate, Prompt& prompt, Progress& progress) {
  progress.SetStage("Saving...");
  return ToldSaved(
      WriteFramePicture(path, picture, options, FrameWriteMessages(path, cannotCreate)), prompt);
}

std::vector<const SheetCell*> UsedCellsBackToFront(const RenderSettings& settings,
                                                   const SheetSource& source, int frame) {
  std::vector<const SheetCell*> cells;
  for (int level : BackToFront(settings.levels))
    if (source.sheet.Cell(level, frame).used()) cells.push_back(&source.sheet.Cell(level, frame));
  return cells;
}

// `picture` comes fresh from its constructor, all zero: transparent, as the levels expect.
bool RenderPainted(const RenderSettings& settings, const SheetSource& source, int frame,
                   const CommonFrame& common, const RenderGeometry& geometry, RenderQuality quality,
                   Raster& picture, Prompt& prompt, Progress& progress) {
  const std::vector<const SheetCell*> cells = UsedCellsBackToFront(settings, source, frame);
  return ReadLevelsInTurn(
      source, cells, prompt, progress, [&](std::size_t i, const PaintedDrawing& painted) {
        const SheetCell& cell = *cells[i];
        const DrawingSequence& sequence = source.sequences[std::size_t(cell.sequence)];
        // The layer is made as the filter samples it, in one pass: the pass
        // shows under this text.
        progress.SetStage("Layering frame " + sequence.name +
                          FormatFrameTag(sequence.frames[std::size_t(cell.frame)]));
        LayDrawing(painted, common, geometry.scale, quality, picture);
      });
}

bool RenderLineTest(const RenderSettings& settings, const SheetSource& source, int frame,
                    const CommonFrame& common, const RenderGeometry& geometry, Raster& picture,
                    Prompt& prompt, Progress& progress) {
  // The scanned compositor does the multiplying on a three-byte picture; alpha comes after.
  CompositeJob job;
  job.levels = settings.levels;
  job.frame = common;
  job.width = geometry.width;
  job.height = geometry.height;
  job.scale = geometry.scale;
  job.picture = Raster(geometry.width, geometry.height, 3);
  if (!CompositeScanned(job, source, frame, prompt, progress)) return false;
  for (int y = 0; y < geometry.height; ++y) {
    const uint8_t* in = job.picture.Row(y);
    uint8_t* out = picture.Row(y);
    for (int x = 0; x < geometry.width; ++x) {
      out[4 * x + kB] = in[3 * x];
      out[4 * x + kG] = in[3 * x + 1];
      out[4 * x + kR] = in[3 * x + 2];
      out[4 * x + kA] = uint8_t(255 - in[3 * x]);
    }
  }
  return true;
}

// One frame as a worker leaves it for its turn.
struct RenderedFrame {
  Raster picture;
  bool built = false;
  DeferredPrompt said;
  // A frame saved while it was made: its file, not yet in its target's place (dropped, it is
  // discarded), and how the saving went.
  std::unique_ptr<TargaRowWriter> file;
  Status saved;
};

// A painted Targa frame made in bands and saved band by band as they are finished.
bool RenderPaintedSaving(const RenderSettings& settings, const SheetSource& source, int frame,
                         const CommonFrame& common, const RenderGeometry& geometry,
                         RenderQuality quality, const std::string& path,
                         std::string_view cannotCreate, RenderedFrame& made, Progress& progress) {
  const std::vector<const SheetCell*> cells = UsedCellsBackToFront(settings, source, frame);
  made.file = std::make_unique<TargaRowWriter>();
  auto open = [&] {
    made.saved = made.file->Open(path, geometry.width, geometry.height, 4,
                                 FrameWriteMessages(path, cannotCreate));
    return made.saved.ok();
  };
  // Bands after a failed one are not written: the first failure is the one told.
  auto write = [&](ConstRasterView rows) {
    if (made.saved.ok()) made.saved = made.file->WriteRows(rows);
  };
  return MakePaintedInBands(source, cells, common,
                            {geometry.width, geometry.height, geometry.scale, quality}, made.said,
                            progress, open, write);
}

// Frames saved as they are made, in place of whole pictures handed to a taker.
struct SavedAsMade {
  std::string_view cannotCreate;
};

bool RenderFrames(const RenderSettings& settings, const SheetSource& source, Prompt& prompt,
                  Progress& progress, const RenderedFrameTaker& taker,
                  const SavedAsMade* savedAsMade);

}  // namespace

Status CheckRenderSettings(const RenderSettings& settings) {
  if (settings.directory.empty()) return Error{"Select an output directory."};
  if (settings.name.empty()) return Error{"Give a sequence name."};
  for (char c : settings.name)
    if (!((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z')))
      return Error{"Only letters are allowed for the name"};
  if (settings.name.size() > std::size_t(kRenderNameLimit))
    return Error{"The name may have at most " + std::to_string(kRenderNameLimit) + " letters."};
  return Status::Ok();
}

std::string RenderFileName(std::string_view directory, std::string_view name, int frameNumber,
                           PictureFormat format) {
  std::string pad = frameNumber < 10     ? "000"
                    : frameNumber < 100  ? "00"
                    : frameNumber < 1000 ? "0"
                                         : "";
  return std::string(directory) + std::string(name) + pad + std::to_string(frameNumber) +
         std::string(PictureFormatExtension(format));
}

RenderGeometry RenderGeometryFor(const CommonFrame& frame, RenderSize size) {
  int dx = frame.maxX - frame.minX;
  int dy = frame.maxY - frame.minY;
  switch (size) {
    case RenderSize::Full:
      return {dx, dy, 1.0f};
    case RenderSize::Half:
      return {dx / 2, dy / 2, 0.5f};
    case RenderSize::Quarter:
      break;
  }
  return {dx / 4, dy / 4, 0.25f};
}

bool RunRender(const RenderSettings& settings, const SheetSource& source, Prompt& prompt,
               Progress& progress) {
  if (Status refusal = CheckRenderSettings(settings); !refusal) {
    prompt.Message(refusal.message(), MessageIcon::Error);
    return false;
  }
  const std::string_view cannotCreate =
      settings.kind == RenderKind::Painted
          ? "Could not save painted frame!, disk full or read only?"
          : "Could not save frame!, disk full or read only?";
  auto fileName = [&](int frameNumber) {
    return RenderFileName(settings.directory, settings.name, frameNumber, settings.format);
  };
  auto save = [&](int frameNumber, const Raster& picture, double dpi, Progress& shown) {
    const FramePictureOptions options{settings.format, settings.depth, FrameAlpha::Coverage, dpi};
    return SaveFrame(fileName(frameNumber), picture, options, cannotCreate, prompt, shown);
  };
  // Painted Targa frames, the usual render, are saved while they are made.
  const SavedAsMade asMade{cannotCreate};
  const bool streamed =
      settings.kind == RenderKind::Painted && settings.format == PictureFormat::Targa;
  return RenderFrames(settings, source, prompt, progress, {save, fileName},
                      streamed ? &asMade : nullptr);
}

bool RenderFramesTo(const RenderSettings& settings, const SheetSource& source, Prompt& prompt,
                    Progress& progress, const RenderedFrameTaker& taker) {
  return RenderFrames(settings, source, prompt, progress, taker, nullptr);
}

namespace {

// A frame in its turn: the one saved as it was made takes its target's place; any other goes
// to the taker.
bool Take(RenderedFrame& frame, int frameNumber, double dpi, const RenderedFrameTaker& taker,
          Prompt& prompt, Progress& shown) {
  if (!frame.file) return taker.take(frameNumber, frame.picture, dpi, shown);
  shown.SetStage("Saving...");
  const Status written = frame.saved.ok() ? frame.file->Commit() : frame.saved;
  frame.file.reset();
  return ToldSaved(written, prompt);
}

bool RenderFrames(const RenderSettings& settings, const SheetSource& source, Prompt& prompt,
                  Progress& progress, const RenderedFrameTaker& taker,
                  const SavedAsMade* savedAsMade) {
  CompositeJob job;
  job.firstFrame = settings.firstFrame;
  job.lastFrame = settings.lastFrame;
  job.levels = settings.levels;
  if (!CheckJobCells(job, source, prompt) || !ScanRange(job, source, RangeUser::Render, prompt)) {
    prompt.Message("Error Finding Cells!", MessageIcon::Error);
    return false;
  }
  RenderGeometry geometry = RenderGeometryFor(job.frame, settings.size);
  if (geometry.width < 1 || geometry.height < 1) return false;
  RenderQuality quality =
      settings.size == RenderSize::Full ? RenderQuality::Fast : settings.quality;
  int first = std::max(settings.writeFirst.value_or(settings.firstFrame), settings.firstFrame);
  int last = std::min(settings.writeLast.value_or(settings.lastFrame), settings.lastFrame);
  FrameInHandProgress shown(progress, first);
  shown.SetStage("Rendering...");
  shown.FramesPlanned(last - first + 1);
  // The drawings' resolution at the render's scale: a half-size frame of 300 dpi drawings is
  // 150 dpi.
  const double dpi = job.resolution > 0 ? job.resolution * double(geometry.scale) : 0.0;
  bool finished = true;
  RunFramesInOrder(
      first, last, settings.jobs,
      [&](int f) {
        // Several frames are under way at once: the one the run waits for says what it does.
        FrameInHandProgress::Frame inside = shown.ForFrame(f);
        RenderedFrame frame;
        if (savedAsMade) {
          frame.built =
              RenderPaintedSaving(settings, source, f, job.frame, geometry, quality,
                                  taker.fileName(f + 1), savedAsMade->cannotCreate, frame, inside);
          return frame;
        }
        frame.picture = Raster(geometry.width, geometry.height, 4);
        frame.built = settings.kind == RenderKind::Painted
                          ? RenderPainted(settings, source, f, job.frame, geometry, quality,
                                          frame.picture, frame.said, inside)
                          : RenderLineTest(settings, source, f, job.frame, geometry, frame.picture,
                                           frame.said, inside);
        return frame;
      },
      [&](int f, RenderedFrame& frame) {
        shown.SetStage("Rendering Frame : " + std::to_string(f + 1));
        frame.said.Replay(prompt);
        if (!frame.built || !Take(frame, f + 1, dpi, taker, prompt, shown)) {
          finished = false;
          return false;
        }
        shown.SetPercent((f - first + 1) * 100 / (last - first + 1));
        shown.FrameCommitted(f + 1, taker.fileName(f + 1));
        if (shown.StopRequested() && prompt.AskYesNo("Do you want to stop render?")) {
          prompt.Message("Stopped after Frame : " + std::to_string(f + 1));
          finished = false;
          return false;
        }
        shown.Committed(f);
        return true;
      });
  return finished;
}

}  // namespace

}  // namespace quenda
