#include "scanner/core/import_sequence.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <limits>
#include <string>

#include "common/bmp.h"
#include "common/drawing_scan.h"
#include "common/file_io.h"
#include "common/frame_sequence.h"
#include "common/path.h"
#include "common/targa.h"
#include "scanner/core/scan_area.h"
#include "scanner/core/scanner_doc.h"

namespace quenda::scanner {
namespace {

std::string Lowered(std::string text) {
  for (char& c : text) c = char(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

std::string Padded(int number, int width) {
  std::string digits = std::to_string(number);
  if (int(digits.size()) < width) digits.insert(0, std::size_t(width) - digits.size(), '0');
  return digits;
}

}  // namespace

std::string ImportSource::InputPath(int number) const {
  if (single) return picked;
  return directory + header + Padded(number, width) + extension;
}

Result<ImportSource> FindImportSource(const std::string& pickedPath) {
  ImportSource source;
  source.extension = ExtensionOf(pickedPath);
  const std::string lowered = Lowered(source.extension);
  if (lowered == ".tga")
    source.kind = ImportKind::Targa;
  else if (lowered == ".bmp")
    source.kind = ImportKind::Bitmap;
  else
    return Error{std::string(kUnsupportedExtension)};
  source.picked = pickedPath;
  source.directory = DirectoryOf(pickedPath);

  const std::string title = TitleOf(pickedPath);
  const auto isDigit = [](char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; };
  const auto first = std::find_if(title.begin(), title.end(), isDigit);
  const auto last = std::find_if_not(first, title.end(), isDigit);
  source.header.assign(title.begin(), first);
  int start = 0;
  const char* digits = title.data() + (first - title.begin());
  const auto parsed = std::from_chars(digits, digits + (last - first), start);
  const std::errc error = first == last ? std::errc::invalid_argument : parsed.ec;
  // No digits, or more than a frame number can hold: the one picture alone.
  if (error != std::errc()) {
    source.single = true;
    return source;
  }
  source.start = start;
  source.width = int(last - first);
  source.end = start;
  while (source.end - start + 1 < kPainterSequenceCapacity &&
         source.end < std::numeric_limits<int>::max() &&
         FileOpensForReading(source.InputPath(source.end + 1)))
    ++source.end;
  return source;
}

std::string ImportTypeText(const ImportSource& source) {
  if (source.single) return "single frame";
  return source.kind == ImportKind::Targa ? "Targa images" : "Windows bitmap images";
}

Status CheckImportForm(const ImportForm& form) {
  if (form.name.empty()) return Error{"You must enter a valid sequence name"};
  if (!IsLetters(form.name)) return Error{"Sorry, only letters are allowed for the sequence name."};
  if (form.directory.empty()) return Error{"You must select a path and name for the sequence."};
  if (PegPositionOfButton(form.pegButton) < 0) return Error{"You must select a peg position."};
  if (form.dpi < 1) return Error{"You must select a dpi."};
  return Status::Ok();
}

Result<Raster> ReadImportPicture(const std::string& path, ImportKind kind) {
  auto colour =
      kind == ImportKind::Bitmap ? ReadBmp(path) : ReadTarga(path, TargaReader::ScannerImport);
  if (!colour) return Error{colour.message()};
  const Raster& in = *colour;
  Raster grey(in.width(), in.height(), 1);
  for (int y = 0; y < in.height(); ++y) {
    const uint8_t* from = in.Row(y);
    uint8_t* to = grey.Row(y);
    for (int x = 0; x < in.width(); ++x, from += in.channels()) {
      if (in.channels() == 1)
        to[x] = from[0];
      else if (kind == ImportKind::Bitmap)
        to[x] = uint8_t((from[0] + from[1] + from[2]) / 3);
      else
        to[x] = std::max({from[0], from[1], from[2]});
    }
  }
  return grey;
}

ImportOutcome ImportSequence(const ImportSource& source, const std::string& outDirectory,
                             const std::string& name, int pegPosition, int dpi, Prompt& prompt,
                             Progress& progress,
                             const std::function<void(const std::string&)>& written) {
  ImportOutcome outcome;
  const int first = source.single ? 1 : source.start;
  const int count = source.single ? 1 : source.end - source.start + 1;
  progress.SetStage("Converting...");
  progress.FramesPlanned(count);
  for (int done = 0; done < count; ++done) {
    const int number = first + done;
    progress.SetStage("Converting Frame");
    auto picture = ReadImportPicture(source.InputPath(number), source.kind);
    if (!picture) {
      prompt.Message(picture.message());
      prompt.Message(source.kind == ImportKind::Targa ? "Unsupported or corrupted targa file"
                                                      : "Unsupported or corrupted bmp file");
      return outcome;
    }
    progress.SetStage("Saving Frame");
    DrawingScan scan;
    scan.dpi = dpi;
    scan.pegPosition = pegPosition;
    scan.picture = std::move(*picture);
    const std::string path = JoinPath(outDirectory, name + std::to_string(number) + ".qds");
    if (Status saved = WriteDrawingScan(path, scan, ScanWriter::Scanner); !saved) {
      prompt.Message(saved.message());
      return outcome;
    }
    ++outcome.written;
    if (written) written(path);
    progress.FrameCommitted(number, path);
    progress.SetPercent(100 * (done + 1) / count);
    if (done + 1 < count && progress.StopRequested()) return outcome;
  }
  progress.SetStage("Finished...");
  outcome.finished = true;
  return outcome;
}

}  // namespace quenda::scanner
