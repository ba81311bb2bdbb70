#include "dopegrid/core/sheet_drawing.h"

#include <array>

#include "common/drawing_scan.h"
#include "common/file_io.h"
#include "common/paint_file.h"
#include "common/peg_turn.h"
#include "common/region_file.h"

namespace quenda {
namespace {

std::size_t PixelCount(const DrawingScanHeader& h) {
  return std::size_t(h.width) * std::size_t(h.height);
}

// A drawing file as read: nothing when it does not open; otherwise its header when that is one
// and, after it, at most the header's pixels (fewer when the file ends early). Each byte is
// read once, straight into place.
struct DrawingFile {
  std::optional<DrawingScanHeader> header;
  std::vector<uint8_t> pixels;
  bool Complete() const { return header && pixels.size() == PixelCount(*header); }
  // The drawing of a complete file.
  DrawingScan Take() {
    return {header->dpi, header->pegPosition, header->xPosition, header->yPosition,
            Raster(header->width, header->height, 1, std::move(pixels))};
  }
};

std::optional<DrawingFile> ReadDrawingFile(const std::string& path) {
  std::optional<std::vector<uint8_t>> head = ReadFileBytes(path, 0, kDrawingScanHeaderSize);
  if (!head) return std::nullopt;
  DrawingFile file{ParseSheetDrawingHeader(*head), {}};
  if (!file.header) return file;
  std::optional<std::vector<uint8_t>> pixels =
      ReadFileBytes(path, kDrawingScanHeaderSize, PixelCount(*file.header));
  if (!pixels) return std::nullopt;
  file.pixels = std::move(*pixels);
  return file;
}

}  // namespace

std::optional<DrawingScanHeader> ParseSheetDrawingHeader(std::span<const uint8_t> bytes) {
  Result<DrawingScanHeader> header = ParseDrawingScanHeader(bytes, ScanReader::Sheet, {});
  if (!header) return std::nullopt;
  return std::move(*header);
}

std::optional<DrawingScanHeader> ReadSheetDrawingHeader(const std::string& path) {
  std::optional<std::vector<uint8_t>> head = ReadFileBytes(path, 0, kDrawingScanHeaderSize);
  if (!head) return std::nullopt;
  return ParseSheetDrawingHeader(*head);
}

DrawingCorner CornerOf(const DrawingScanHeader& h) {
  const PegOffset o = PegOffsetFor(h.pegPosition, h.width, h.height, h.xPosition, h.yPosition);
  return {o.x, o.y};
}

DrawingCorner CornerOf(const DrawingScan& scan) {
  const PegOffset o = PegOffsetFor(scan.pegPosition, scan.picture.width(), scan.picture.height(),
                                   scan.xPosition, scan.yPosition);
  return {o.x, o.y};
}

std::string_view PegName(int pegPosition) {
  static constexpr std::array<std::string_view, 4> kNames{"Left", "Right", "Bottom", "Top"};
  if (pegPosition < 0 || pegPosition > 3) return "Invalid!";
  return kNames[std::size_t(pegPosition)];
}

std::optional<DrawingScan> LoadScannedDrawing(const std::string& path, Prompt& prompt) {
  std::optional<DrawingFile> file = ReadDrawingFile(path);
  if (!file) {
    prompt.Message("Error finding drawing file " + path, MessageIcon::Error);
    return std::nullopt;
  }
  if (!file->Complete()) {
    prompt.Message("Error Reading drawing " + path + ": Incomplete image file", MessageIcon::Error);
    return std::nullopt;
  }
  return file->Take();
}

uint8_t NormaliseGrey(uint8_t grey, uint8_t white, uint8_t black) {
  if (white == black) return white;
  float factor = 255.0f / float(int(white) - int(black));
  float value = float(int(grey) - int(black)) * factor;
  if (value < 0) value = 0;
  if (value > 255) value = 255;
  return uint8_t(value);
}

std::optional<ColorSet> CheckSheetColorSet(const DrawingSequence& sequence, Prompt& prompt) {
  std::string path = ColorSetPath(sequence);
  std::optional<std::string> text = ReadFileText(path);
  if (!text) prompt.Message("Could not find ColorSet file : " + path, MessageIcon::Error);
  ParsedColorSet parsed;
  if (text) parsed = ParseColorSet(*text);
  if (!text || parsed.headerWord != kColorSetHeader) {
    prompt.Message("Could not read color set file!", MessageIcon::Error);
    return std::nullopt;
  }
  ColorSet colors;
  ApplyColorSet(colors, parsed);
  colors.path = path;
  return colors;
}

std::optional<PaintedDrawing> LoadPaintedDrawing(const DrawingSequence& sequence, int frameIndex,
                                                 const ColorSet& colors, Prompt& prompt,
                                                 Progress& progress) {
  std::string frameText = FormatFrameTag(sequence.frames[std::size_t(frameIndex)]);
  progress.SetStage("Loading frame " + sequence.name + frameText);
  std::string path = FramePath(sequence, frameIndex, prompt);
  std::optional<DrawingFile> file = ReadDrawingFile(path);
  if (!file) {
    prompt.Message("Error opening file " + path, MessageIcon::Error);
    return std::nullopt;
  }
  if (!file->Complete()) {
    prompt.Message("Error reading file " + path + " : unexpected end of file", MessageIcon::Error);
    return std::nullopt;
  }
  const DrawingScanHeader header = *file->header;
  PaintedDrawing painted;
  painted.drawing = file->Take();
  painted.colors = colors;

  progress.SetPercent(70);
  Result<RegionData> regions = ReadRegionFile(RegionPath(sequence, frameIndex, prompt),
                                              header.width, header.height, RegionReader::Sheet);
  if (!regions) {
    prompt.Message(regions.message(), MessageIcon::Error);
    return std::nullopt;
  }
  progress.SetPercent(90);
  painted.regions = std::move(*regions);
  std::array<uint8_t, 256> table{};
  for (int g = 0; g < 256; ++g)
    table[std::size_t(g)] = NormaliseGrey(uint8_t(g), painted.regions.settings.whiteClamp,
                                          painted.regions.settings.blackClamp);
  for (uint8_t& p : painted.drawing.picture.bytes()) p = table[p];

  std::string paintPath = PaintPath(sequence, frameIndex, prompt);
  Result<PaintFile> paints = ReadPaintFile(paintPath, painted.regions.regionCount, colors.count);
  if (!paints) {
    prompt.Message("Can not load the paint file :" + paintPath, MessageIcon::Error);
    return std::nullopt;
  }
  if (paints->stale)
    prompt.Message(StalePaintWarning(paintPath, RegionPath(sequence, frameIndex, prompt)),
                   MessageIcon::Warning);
  painted.regionColor = std::move(paints->regionColor);
  // Entry 0 belongs to no region: such pixels show what lies beneath.
  painted.regionColor[0] = kTransparentColor;
  return painted;
}

}  // namespace quenda
