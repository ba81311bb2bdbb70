// `quenda info` for region files and paint files. Neither says on its own which drawing it
// belongs to, so both look at the files beside them: a region file is checked against the
// size of its drawing scan when that is there, and a paint file is read with the region count
// of its region file and named with the colours of the sequence's colour set.

#include <algorithm>
#include <cctype>
#include <map>
#include <optional>

#include "cli/file_info.h"
#include "common/byte_order.h"
#include "common/case_insensitive_path.h"
#include "common/color_set.h"
#include "common/drawing_scan.h"
#include "common/file_io.h"
#include "common/frame_sequence.h"
#include "common/paint_file.h"
#include "common/path.h"
#include "common/region_file.h"

namespace quenda::cli {
namespace {

constexpr std::size_t kSizeFieldsEnd = 5;  // version, width, height

void PrintError(CommandIo& io, std::string_view message) {
  io.err << message;
  if (message.empty() || message.back() != '\n') io.err << '\n';
}

// The same path with another extension, resolved like a sequence's companion files.
std::string Beside(const std::string& path, std::string_view extension) {
  return ResolvePathIgnoringCase(JoinPath(DirectoryOf(path), TitleOf(path)) +
                                 std::string(extension));
}

// The colour set of the sequence a frame file belongs to (its leading letters + ".col"), read
// without the loader, which would write a new set when none is there.
std::optional<ColorSet> SequenceColorSet(const std::string& framePath) {
  const std::string name = FileNameOf(framePath);
  std::size_t letters = 0;
  while (letters < name.size() && std::isalpha(static_cast<unsigned char>(name[letters])))
    ++letters;
  if (letters == 0) return std::nullopt;
  const std::string path =
      ResolvePathIgnoringCase(JoinPath(DirectoryOf(framePath), name.substr(0, letters) + ".col"));
  auto text = ReadFileText(path);
  if (!text) return std::nullopt;
  ParsedColorSet parsed = ParseColorSet(*text);
  if (parsed.headerWord != kColorSetHeader) return std::nullopt;
  ColorSet set;
  ApplyColorSet(set, parsed);
  set.path = path;
  return set;
}

struct BoxFacts {
  int empty = 0;
  int largest = 0;  // region number; 0 when every box is empty
  long long largestArea = 0;
};

BoxFacts FactsOf(const RegionData& data) {
  BoxFacts facts;
  for (int r = 1; r <= data.RegionTotal(); ++r) {
    const RegionBox& box = data.regionBounds[std::size_t(r)];
    if (box.IsEmpty()) {
      ++facts.empty;
      continue;
    }
    const long long area = (long long)(box.maxX - box.minX + 1) * (box.maxY - box.minY + 1);
    if (area > facts.largestArea) facts.largestArea = area, facts.largest = r;
  }
  return facts;
}

void PrintBox(std::ostream& out, const RegionBox& box) {
  if (box.IsEmpty()) {
    out << "empty";
    return;
  }
  out << "x " << box.minX << ".." << box.maxX << ", y " << box.minY << ".." << box.maxY;
}

}  // namespace

// The painter's reader, whose messages name the file. The expected size is the drawing
// scan's when the scan beside the file reads, else the size the file itself states.
int PrintRegionFileInfo(const std::string& path, CommandIo& io) {
  auto bytes = ReadFileBytes(path);
  if (!bytes) {
    PrintError(io, "Error opening region file :" + path);
    return 1;
  }
  int width = 0, height = 0;
  // No drawing is larger than a scan may be; a file that says otherwise matches no drawing,
  // and is refused before its size can ask for gigabytes of maps.
  if (bytes->size() >= kSizeFieldsEnd && GetU16LE(&(*bytes)[1]) <= kMaxDrawingScanSide &&
      GetU16LE(&(*bytes)[3]) <= kMaxDrawingScanSide) {
    width = GetU16LE(&(*bytes)[1]);
    height = GetU16LE(&(*bytes)[3]);
  }
  const std::string scanPath = Beside(path, ".qds");
  auto scan = ReadDrawingScanHeader(scanPath, ScanReader::Painter);
  if (scan) width = scan->width, height = scan->height;
  auto data = DecodeRegionFile(*bytes, width, height, RegionReader::Painter, path);
  if (!data) {
    PrintError(io, data.message());
    return 1;
  }

  std::size_t lines = 0, ink = 0, penned = 0, rubbed = 0, paintedInk = 0;
  for (std::size_t i = 0; i < data->PixelCount(); ++i) {
    const uint8_t flags = data->flags[i];
    lines += (flags & kFlagRegionLine) != 0;
    ink += (flags & kFlagAnimatorLine) != 0;
    penned += (flags & kFlagRegionPen) != 0;
    rubbed += (flags & kFlagRubbedOut) != 0;
    paintedInk += (flags & kFlagAnimatorLine) && data->animColor[i] != kAnimLineColor;
  }
  const RedlineSettings& s = data->settings;
  const BoxFacts facts = FactsOf(*data);
  std::ostream& out = io.out;
  out << "region file " << path << "\n"
      << "width: " << data->width << "\n"
      << "height: " << data->height << "\n"
      << "drawing scan: "
      << (scan ? FileNameOf(scanPath) + ", the same size" : std::string("none beside it")) << "\n"
      << "settings: pick-up " << int(s.linePickUp) << ", growth " << int(s.lineGrowth)
      << ", white clamp " << int(s.whiteClamp) << ", black clamp " << int(s.blackClamp) << "\n"
      << "regions: " << data->RegionTotal() << " (region 1 and " << data->regionCount
      << " to paint)\n"
      << "line pixels: " << lines << "\n"
      << "ink pixels: " << ink << " (" << paintedInk << " painted)\n"
      << "region pen pixels: " << penned << "\n"
      << "rubbed out pixels: " << rubbed << "\n"
      << "region 1 box: ";
  PrintBox(out, data->regionBounds[kBackgroundRegion]);
  out << "\nregions without pixels: " << facts.empty << "\n";
  if (facts.largest > 0) {
    out << "largest box: region " << facts.largest << ", ";
    PrintBox(out, data->regionBounds[std::size_t(facts.largest)]);
    out << "\n";
  }
  return 0;
}

// Read as the painter would: with the region count of the region file beside it, or, when
// there is none, every region the file holds; colour names from the sequence's colour set.
int PrintPaintFileInfo(const std::string& path, CommandIo& io) {
  // Bytes beyond the most regions a frame can have mean nothing, so they are not read.
  constexpr std::uint64_t kMeaningfulBytes = kPaintFileHeaderSize + 2 * (kMaxRegions + 1);
  auto bytes = ReadFileBytes(path, 0, kMeaningfulBytes);
  auto size = FileSize(path);
  if (!bytes || !size) {
    PrintError(io, std::string(kPaintFileReadError) + path);
    return 1;
  }
  const std::string regionPath = Beside(path, ".rgn");
  std::optional<int> regionCount;
  if (auto header = ReadFileBytes(regionPath, 0, kRegionFileHeaderSize);
      header && header->size() == kRegionFileHeaderSize && (*header)[0] == kRegionFileVersion)
    regionCount = GetU16LE(&(*header)[9]);
  const std::uint64_t stored =
      *size > kPaintFileHeaderSize ? (*size - kPaintFileHeaderSize) / 2 : 0;
  const int storedRegionCount = int(std::clamp<std::uint64_t>(stored, 1, kMaxRegions + 1) - 1);
  const std::optional<ColorSet> colors = SequenceColorSet(path);
  const int colorCount = colors ? colors->count : kColorSlots;
  // Without a region file the file is shown as it stands, a half entry at its end left out.
  std::span<const uint8_t> decoded(*bytes);
  if (!regionCount)
    decoded = decoded.first(
        std::min<std::size_t>(decoded.size(), std::size_t(PaintFileSize(storedRegionCount))));
  PaintFile paint =
      DecodePaintFile(decoded, regionCount ? *regionCount : storedRegionCount, colorCount);
  if (paint.stale && regionCount) PrintError(io, StalePaintWarning(path, regionPath));

  std::map<int, int> histogram;
  int painted = 0;
  for (std::size_t r = 1; r < paint.regionColor.size(); ++r) {
    const int color = paint.regionColor[r];
    ++histogram[color];
    painted += color != kTransparentColor && color != kUnfilledColor;
  }
  const int regions = int(paint.regionColor.size()) - 1;
  std::ostream& out = io.out;
  out << "paint file " << path << "\n"
      << "regions: " << regions << " ("
      << (regionCount ? "as in " + FileNameOf(regionPath)
                      : std::string("no region file beside it; every region the file holds"))
      << ")\n"
      << "regions in the file: " << stored << "\n"
      << "painted count stored: " << paint.paintedCount << "\n"
      << "painted regions: " << painted << "\n"
      << "colour set: " << (colors ? FileNameOf(colors->path) : std::string("none found")) << "\n"
      << "colours used: " << histogram.size() << "\n";
  for (const auto& [color, count] : histogram) {
    out << "  " << color;
    if (colors) out << " " << colors->entries[std::size_t(color)].name;
    out << ": " << count << (count == 1 ? " region" : " regions") << "\n";
  }
  return 0;
}

}  // namespace quenda::cli
