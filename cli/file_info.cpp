#include "cli/file_info.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <vector>

#include "common/byte_order.h"
#include "common/color_set.h"
#include "common/drawing_scan.h"
#include "common/file_io.h"
#include "common/path.h"
#include "common/targa.h"

namespace quenda::cli {
namespace {

constexpr std::string_view kPegNames[] = {"PegLeft", "PegRight", "PegBottom", "PegTop"};
// The exposure sheet's refusal; the set is still shown as the painter reads it.
constexpr std::string_view kColorSetRefused = "Could not read color set file!";
constexpr std::string_view kColorSetMissing = "Could not find ColorSet file : ";
constexpr int kTopLeftOriginBit = 0x20;
constexpr int kAlphaBitsMask = 0x0F;

void PrintError(CommandIo& io, std::string_view message) {
  io.err << message;
  if (message.empty() || message.back() != '\n') io.err << '\n';
}

std::string Mean(double sum, std::size_t count) {
  char text[32];
  std::snprintf(text, sizeof text, "%.1f", count ? sum / double(count) : 0.0);
  return text;
}

}  // namespace

std::span<const FileInfoPrinter> FileInfoPrinters() {
  static const FileInfoPrinter kPrinters[] = {
      {".qds", "drawing scan", PrintDrawingScanInfo}, {".col", "colour set", PrintColorSetInfo},
      {".tga", "Targa picture", PrintTargaInfo},      {".rgn", "region file", PrintRegionFileInfo},
      {".pnt", "paint file", PrintPaintFileInfo},     {".avi", "AVI movie", PrintMovieInfo},
      {".wav", "wave sound", PrintWaveInfo},          {".cmp", "composition", PrintCompositionInfo},
      {".dgr", "exposure sheet", PrintSheetInfo},     {".mp4", "MP4 movie", PrintEncodedMovieInfo},
      {".mov", "MOV movie", PrintEncodedMovieInfo},
  };
  return kPrinters;
}

const FileInfoPrinter* FileInfoPrinterFor(std::string_view path) {
  std::string extension = ExtensionOf(path);
  std::transform(extension.begin(), extension.end(), extension.begin(),
                 [](unsigned char c) { return char(std::tolower(c)); });
  for (const FileInfoPrinter& printer : FileInfoPrinters())
    if (printer.extension == extension) return &printer;
  return nullptr;
}

// The analyzer's reader: it is the one that names the file when it cannot open it.
int PrintDrawingScanInfo(const std::string& path, CommandIo& io) {
  auto loaded = ReadDrawingScan(path, ScanReader::Analyzer);
  if (!loaded) {
    PrintError(io, loaded.message());
    return 1;
  }
  const DrawingScan& scan = loaded->scan;
  std::ostream& out = io.out;
  out << "drawing scan " << path << "\n"
      << "width: " << scan.picture.width() << "\n"
      << "height: " << scan.picture.height() << "\n"
      << "dpi: " << scan.dpi << "\n"
      << "peg position: " << scan.pegPosition << " ("
      << (scan.pegPosition >= 0 && scan.pegPosition < 4 ? kPegNames[scan.pegPosition]
                                                        : std::string_view("unknown"))
      << ")\n"
      << "x position: " << scan.xPosition << "\n"
      << "y position: " << scan.yPosition << "\n"
      << "pixel bytes: " << scan.picture.bytes().size() << "\n";
  if (!loaded->idText.empty()) out << "id text: " << loaded->idText << "\n";
  if (loaded->warning) {
    // Short pixel data: the reader filled the rest with paper, so grey figures would mislead.
    PrintError(io, *loaded->warning);
    return 1;
  }
  uint8_t low = 255, high = 0;
  double sum = 0;
  for (uint8_t v : scan.picture.bytes()) {
    low = std::min(low, v);
    high = std::max(high, v);
    sum += v;
  }
  out << "grey: min " << int(low) << " max " << int(high) << " mean "
      << Mean(sum, scan.picture.bytes().size()) << "\n";
  return 0;
}

int PrintColorSetInfo(const std::string& path, CommandIo& io) {
  auto text = ReadFileText(path);
  if (!text) {
    PrintError(io, std::string(kColorSetMissing) + path);
    return 1;
  }
  ParsedColorSet parsed = ParseColorSet(*text);
  ColorSet set;
  ApplyColorSet(set, parsed);
  io.out << "colour set " << path << "\n"
         << "count: " << set.count << "\n";
  if (!parsed.declaredCount || *parsed.declaredCount != set.count)
    io.out << "count in file: "
           << (parsed.declaredCount ? std::to_string(*parsed.declaredCount) : "missing") << "\n";
  if (auto refusal = SheetColorSetRefusal(parsed))
    io.out << "exposure sheet: refuses it (\"" << kColorSetRefused << "\"): " << *refusal << "\n";
  for (int i = 0; i < set.count; ++i) {
    const ColorEntry& e = set.entries[i];
    io.out << i << " " << e.name << " " << int(e.red) << " " << int(e.green) << " " << int(e.blue)
           << "\n";
  }
  return 0;
}

std::string CompressedTargaHint(const std::string& path) {
  auto header = ReadFileBytes(path, 0, kTargaHeaderSize);
  if (!header || header->size() < kTargaHeaderSize) return {};
  const uint8_t type = (*header)[2];
  if (type < 9 || type > 11) return {};  // 9..11: the run-length forms of types 1..3
  return "the picture is run-length compressed; write it uncompressed, for example with "
         "ImageMagick: convert IN.tga -compress None OUT.tga";
}

// The composer's picking reader, whose messages name the file.
int PrintTargaInfo(const std::string& path, CommandIo& io) {
  auto image = ReadTarga(path, TargaReader::ComposerPicking);
  if (!image) {
    PrintError(io, image.message());
    if (std::string hint = CompressedTargaHint(path); !hint.empty()) PrintError(io, hint);
    return 1;
  }
  auto header = ReadFileBytes(path, 0, kTargaHeaderSize);
  if (!header || header->size() < kTargaHeaderSize) {  // gone since it was read
    PrintError(io, path + " is not a valid targa image");
    return 1;
  }
  const int descriptor = (*header)[17];
  const int depth = 8 * image->channels();  // the picking reader keeps pixels as stored
  io.out << "Targa picture " << path << "\n"
         << "width: " << image->width() << "\n"
         << "height: " << image->height() << "\n"
         << "depth: " << depth << "\n"
         << "origin: " << ((descriptor & kTopLeftOriginBit) ? "top left" : "bottom left") << "\n";
  if (depth != 32) {
    io.out << "alpha: none\n";
    return 0;
  }
  uint8_t low = 255, high = 0;
  const std::vector<uint8_t>& pixels = image->bytes();
  for (std::size_t i = 3; i < pixels.size(); i += 4) {
    low = std::min(low, pixels[i]);
    high = std::max(high, pixels[i]);
  }
  io.out << "alpha: " << (descriptor & kAlphaBitsMask) << " bits in the descriptor, values "
         << int(low) << ".." << int(high) << "\n";
  return 0;
}

}  // namespace quenda::cli
