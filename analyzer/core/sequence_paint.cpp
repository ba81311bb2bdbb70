#include "analyzer/core/sequence_paint.h"

#include <algorithm>
#include <cctype>
#include <new>

#include "analyzer/core/batch_process.h"
#include "analyzer/core/paint_composite.h"
#include "analyzer/core/region_extraction.h"
#include "common/byte_order.h"
#include "common/contrast_stretch.h"
#include "common/drawing_scan.h"
#include "common/file_io.h"
#include "common/paint_file.h"
#include "common/path.h"
#include "common/region_file.h"
#include "common/region_vote.h"
#include "common/targa.h"

namespace quenda {
namespace {

constexpr std::string_view kNoMemoryForFrame =
    "Seq: Image too large: Not enough memory for buffers";
constexpr std::string_view kPaintFileCannotOpen = "Fatal: paint file can not be opened: ";
constexpr std::string_view kCompositeWriteError = "Error writing composite image";

Error Shown(Prompt& prompt, std::string text) {
  prompt.Message(text);
  return Error{std::move(text)};
}

// A whole decimal number with nothing else but blanks around it.
std::optional<long long> WholeNumber(std::string_view text) {
  while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front())))
    text.remove_prefix(1);
  while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back())))
    text.remove_suffix(1);
  if (text.empty() || text.size() > 9) return std::nullopt;
  long long value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
  }
  return value;
}

// The drawing, region file and paint file of one frame whose drawing scan and region file are
// known to exist.
Result<SequenceFrame> ReadFrameFiles(const std::string& scanPath, const std::string& regionPath,
                                     const std::string& paintPath, const ColorSet& colors,
                                     Prompt& prompt) {
  Result<LoadedDrawingScan> loaded = ReadDrawingScan(scanPath, ScanReader::Analyzer);
  if (!loaded) return Shown(prompt, loaded.message());
  if (!loaded->idText.empty()) prompt.Message(loaded->idText);
  // A short file is painted with white paper where its pixels ran out, as a single load is.
  if (loaded->warning) prompt.Message(*loaded->warning);
  DrawingScan& scan = loaded->scan;
  SequenceFrame frame;
  frame.placement = {scan.pegPosition, scan.xPosition, scan.yPosition};
  const int width = scan.picture.width(), height = scan.picture.height();
  try {
    frame.image = MakeWorkingImage(width, height, std::move(scan.picture.bytes()), Display::None);
  } catch (const std::bad_alloc&) {
    return Shown(prompt, std::string(kNoMemoryForFrame));
  }

  std::optional<std::vector<uint8_t>> bytes = ReadFileBytes(regionPath);
  if (!bytes) return Shown(prompt, SequenceFatalMessage(kSequenceRegionMissing, regionPath));
  // The size is checked here, before the reader's own checks, for the sequence's own wording.
  if (bytes->size() >= 5 && (*bytes)[0] == kRegionFileVersion &&
      (GetU16LE(bytes->data() + 1) != width || GetU16LE(bytes->data() + 3) != height))
    return Shown(prompt, SequenceFatalMessage(kSequenceSizesDiffer, regionPath));
  Result<RegionData> regions =
      DecodeRegionFile(*bytes, width, height, RegionReader::Analyzer, regionPath);
  if (!regions) return Shown(prompt, regions.message());
  frame.settings = regions->settings;
  frame.image.regions = std::move(*regions);
  const auto stretch = StretchTable(frame.settings.whiteClamp, frame.settings.blackClamp);
  for (uint8_t& g : frame.image.grey) g = stretch[g];

  WorkingImage& image = frame.image;
  // The path is resolved already; looking again would list a changing folder once a frame.
  if (!paintPath.empty() && FileOpensForReading(paintPath)) {
    Result<PaintFile> paint = ReadPaintFile(paintPath, image.regions.regionCount, colors.count);
    if (!paint) return Shown(prompt, SequenceFatalMessage(kSequencePaintUnreadable, paintPath));
    if (paint->stale) {
      prompt.Message(StalePaintWarning(paintPath, regionPath), MessageIcon::Warning);
      frame.onDisk.paintStale = true;
    }
    image.regionColor = std::move(paint->regionColor);
  } else {
    ResetRegionColours(image);
  }
  // The stored count is not trusted: the painter writes 0 there whatever it painted.
  image.filledCount = PaintedRegionCount(image);
  image.regionColorUndo = image.regionColor;
  frame.onDisk.regionColor = image.regionColor;
  frame.onDisk.regions = image.regions;
  return frame;
}

}  // namespace

int PaintedRegionCount(const WorkingImage& image) {
  const std::size_t regions = std::size_t(image.regions.regionCount) + 2;
  int unfilled = 0;
  for (std::size_t r = kBackgroundRegion; r < regions && r < image.regionColor.size(); ++r)
    if (image.regionColor[r] == kUnfilledColor) ++unfilled;
  return image.regions.regionCount - unfilled;
}

std::string ColorSetTooLargeText(const std::string& path, int count) {
  return "The colour set " + path + " holds " + std::to_string(count) + " colours, more than the " +
         std::to_string(kAnalyzerColorLimit) +
         " the analyzer paints with; paint this sequence in the painter, or its other colours "
         "would be lost.";
}

std::string ColorSetKeptText(const std::string& path, int fileCount, int count) {
  return path + " was not written: it holds " + std::to_string(fileCount) +
         " colours and the analyzer's set only " + std::to_string(count) + ".";
}

std::string SequenceFatalMessage(std::string_view what, std::string_view path) {
  std::string text = "Fatal error: ";
  text += what;
  text += " \n";
  text += path;
  return text;
}

std::string PaintingFrameTitle(const DrawingSequence& sequence, int index) {
  std::string title(kAnalyzerTitle);
  title += "::Painting Frame--> ";
  title += sequence.name;
  if (index >= 0 && index < sequence.frameCount)
    title += FormatFrameTag(sequence.frames[std::size_t(index)]);
  return title;
}

std::string RenderingFrameTitle(int frameNumber) {
  return std::string(kAnalyzerTitle) + " Rendering Frame: " + std::to_string(frameNumber);
}

Result<SequenceFrame> LoadSequenceFrame(const DrawingSequence& sequence, int index,
                                        const ColorSet& colors, Prompt& prompt) {
  const std::string scanPath = FramePath(sequence, index, prompt);
  if (scanPath.empty()) return Error{std::string(kIllegalFrameNumber)};
  const std::string regionPath = RegionPath(sequence, index, prompt);
  if (!FrameExists(scanPath))
    return Shown(prompt, SequenceFatalMessage(kSequenceImageMissing, scanPath));
  if (!FrameExists(regionPath))
    return Shown(prompt, SequenceFatalMessage(kSequenceRegionMissing, regionPath));
  return ReadFrameFiles(scanPath, regionPath, PaintPath(sequence, index, prompt), colors, prompt);
}

Status SaveSequenceFrame(const WorkingImage& image, const DrawingSequence& sequence, int index,
                         SequenceFrameFiles& onDisk, Prompt& prompt) {
  if (!image.HasRegions()) return Status::Ok();
  if (image.regionColor != onDisk.regionColor) {
    const std::string paintPath = PaintPath(sequence, index, prompt);
    if (onDisk.paintStale) {
      Result<std::string> aside = MoveStalePaintAside(paintPath);
      if (!aside) return Shown(prompt, aside.message());
      onDisk.paintStale = false;
    }
    const int painted = std::max(PaintedRegionCount(image), 0);
    if (!WritePaintFile(paintPath, image.regionColor, painted)) {
      prompt.Message(kSequencePaintNotWritten);
      return Shown(prompt, std::string(kPaintFileCannotOpen) + paintPath);
    }
    onDisk.regionColor = image.regionColor;
  }
  if (image.regions == onDisk.regions) return Status::Ok();
  Status written =
      WriteRegionFile(RegionPath(sequence, index, prompt), image.regions, RegionWriter::Analyzer);
  if (!written) {
    prompt.Message(written.message());
    return written;
  }
  onDisk.regions = image.regions;
  return written;
}

Result<int> FrameNumberEntry(std::string_view text, const DrawingSequence& sequence) {
  if (std::none_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; }))
    return Error{std::string(kEnterFrameNumber)};
  const FrameTag tag = ParseTypedFrameTag(text);
  if (sequence.frameCount <= 0 || tag.number > sequence.frames.back().number)
    return Error{std::string(kFrameValueTooHigh)};
  std::optional<int> index = FindFrame(sequence.frames, tag);
  if (!index) return Error{std::string(kFrameOutOfRange)};
  return *index;
}

Status AutoFillFromFrame(WorkingImage& target, const FramePlacement& placement,
                         const DrawingSequence& sequence, int sourceIndex, const ColorSet& colors,
                         Prompt& prompt) {
  const std::string scanPath = FramePath(sequence, sourceIndex, prompt);
  if (scanPath.empty()) return Error{std::string(kIllegalFrameNumber)};
  const std::string regionPath = RegionPath(sequence, sourceIndex, prompt);
  const std::string paintPath = PaintPath(sequence, sourceIndex, prompt);
  if (!FrameExists(scanPath)) return Shown(prompt, std::string(kSourceImageMissing));
  if (!FrameExists(regionPath)) return Shown(prompt, std::string(kSourceRegionsMissing));
  if (!FrameExists(paintPath)) return Shown(prompt, std::string(kSourcePaintMissing));

  Result<DrawingScanHeader> header = ReadDrawingScanHeader(scanPath, ScanReader::Analyzer);
  if (!header) return Shown(prompt, header.message());
  Result<RegionMapFile> map =
      ReadRegionMap(regionPath, header->width, header->height, RegionReader::Analyzer);
  if (!map) return Shown(prompt, map.message());
  Result<PaintFile> paint = ReadPaintFile(paintPath, map->regionCount, colors.count);
  if (!paint) return Shown(prompt, paint.message());
  // Paint made for other regions would put its colours on the wrong ones.
  if (paint->stale) return Shown(prompt, StalePaintWarning(paintPath, regionPath));

  const PegOffset shift = PegAlignmentShift(
      placement.peg, {target.width(), target.height(), placement.originX, placement.originY},
      {header->width, header->height, header->xPosition, header->yPosition});
  const std::vector<int> winner =
      VoteRegionMaps({target.regions.regionMap.data(), target.width(), target.height(),
                      target.regions.regionCount},
                     {map->regionMap.data(), map->width, map->height, map->regionCount}, shift);
  target.regionColorUndo = target.regionColor;
  const std::vector<int32_t>& source = paint->regionColor;
  for (std::size_t r = 1; r < winner.size() && r < target.regionColor.size(); ++r) {
    const std::size_t t = std::size_t(winner[r]);
    const int32_t colour = t < source.size() ? source[t] : kTransparentColor;
    if (target.regionColor[r] == kUnfilledColor && colour != kUnfilledColor) ++target.filledCount;
    target.regionColor[r] = colour;
  }
  return Status::Ok();
}

Result<RenderRequest> CheckRenderEntries(const RenderEntries& entries,
                                         const DrawingSequence& sequence) {
  const bool lettersOnly = !entries.header.empty() &&
                           std::all_of(entries.header.begin(), entries.header.end(), [](char c) {
                             return std::isalpha(static_cast<unsigned char>(c)) != 0;
                           });
  if (!lettersOnly) return Error{std::string(kRenderHeaderInvalid)};
  const std::optional<long long> start = WholeNumber(entries.startText);
  const std::optional<long long> end = WholeNumber(entries.endText);
  if (!start || !end) return Error{std::string(kRenderEntryInvalid)};
  if (*start > *end) return Error{std::string(kRenderEndBeforeStart)};
  if (sequence.frameCount <= 0 || *start < sequence.frames.front().number ||
      *end > sequence.frames.back().number)
    return Error{std::string(kRenderRangeInvalid)};
  RenderRequest request;
  request.directory = entries.directory.empty() ? sequence.directory : entries.directory;
  request.header = entries.header;
  for (int i = 0; i < sequence.frameCount; ++i) {
    const int number = sequence.frames[std::size_t(i)].number;
    if (number >= *start && number <= *end) request.frames.push_back(i);
  }
  if (request.frames.empty()) return Error{std::string(kRenderRangeInvalid)};
  return request;
}

std::vector<int> UnpaintedFrames(const RenderRequest& request, const DrawingSequence& sequence) {
  std::vector<int> unpainted;
  const FolderListing folder = SequenceFolder(sequence);
  for (int index : request.frames)
    if (!FileOpensForReading(
            SequenceFilePath(sequence, sequence.frames[std::size_t(index)], ".pnt", folder)))
      unpainted.push_back(index);
  return unpainted;
}

std::string RenderOutputPath(const RenderRequest& request, const FrameTag& tag) {
  // Inserted frames keep their letter, so that 12a does not overwrite 12.
  return JoinPath(request.directory, request.header + FormatFrameTag(tag) + ".tga");
}

RenderResult RunRenderSequence(const DrawingSequence& sequence, const RenderRequest& request,
                               const ColorSet& colors, Prompt& prompt, Progress& progress,
                               const RenderObserver& observer) {
  RenderResult result;
  const int total = int(request.frames.size());
  (void)progress.StopRequested();  // a press left from before is not for this run
  // Listed once for the run: the pictures may be written into the same folder.
  const FolderListing folder = SequenceFolder(sequence);
  for (int k = 0; k < total; ++k) {
    const int index = request.frames[std::size_t(k)];
    const FrameTag& tag = sequence.frames[std::size_t(index)];
    if (observer.frameStarted) observer.frameStarted(index, tag);
    progress.SetStage("Rendering Frame: " + FormatFrameTag(tag));
    progress.SetPercent(k * 100 / total);
    const std::string scanPath = FramePath(sequence, index, prompt, folder);
    const std::string regionPath = RegionPath(sequence, index, prompt, folder);
    if (!FrameExists(scanPath) || !FrameExists(regionPath)) {
      prompt.Message(kRenderFilesMissing);
      result.failed = true;
      return result;
    }
    Result<SequenceFrame> frame = ReadFrameFiles(
        scanPath, regionPath, PaintPath(sequence, index, prompt, folder), colors, prompt);
    if (!frame) {
      result.failed = true;
      return result;
    }
    const Raster composite = FilterComposite(ComposePaintedLayer(frame->image, colors));
    Status written = WriteTarga(RenderOutputPath(request, tag), composite,
                                WriteMessages(std::string(kCompositeWriteError)));
    if (!written) {
      prompt.Message(written.message());
      result.failed = true;
      return result;
    }
    ++result.written;
    progress.SetPercent((k + 1) * 100 / total);
    if (progress.StopRequested()) {
      prompt.Message(kRenderCancelled);
      result.cancelled = true;
      return result;
    }
  }
  return result;
}

}  // namespace quenda
