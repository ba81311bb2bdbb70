#include "scanner/core/import_sequence.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <limits>
#include <string>

#include "common/bmp.h"
#include "common/drawing_scan.h"
#include "common/file_io.h"
#include "common/frame_sequence.h"
#include "common/path.h"
#include "common/sequence_files.h"
#include "common/studio_picture.h"
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
  return directory + header + Padded(number, width) + trailer + extension;
}

namespace {

// A file resolution that can go into a drawing as it is, or 0.
int UsableDpi(double dpi) {
  const long rounded = std::lround(dpi);
  return rounded >= kImportMinDpi && rounded <= kImportMaxDpi ? int(rounded) : 0;
}

// Laid over white paper: what a drawing on paper shows where the picture is transparent.
uint8_t OverWhite(uint8_t value, uint8_t alpha) {
  return uint8_t((value * alpha + 255 * (255 - alpha) + 127) / 255);
}

}  // namespace

Result<ImportSource> FindImportSource(const std::string& pickedPath) {
  ImportSource source;
  source.extension = ExtensionOf(pickedPath);
  const std::string lowered = Lowered(source.extension);
  if (lowered == ".tga")
    source.kind = ImportKind::Targa;
  else if (lowered == ".bmp")
    source.kind = ImportKind::Bitmap;
  else if (IsStudioPictureExtension(lowered))
    source.kind = ImportKind::Studio;
  else
    return Error{std::string(kUnsupportedExtension)};
  source.picked = pickedPath;
  source.directory = DirectoryOf(pickedPath);
  if (source.kind == ImportKind::Studio)
    if (auto header = ReadStudioPictureHeader(pickedPath)) source.fileDpi = header->dpi;

  const std::string title = TitleOf(pickedPath);
  const auto isDigit = [](char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; };
  // The last run of digits: studios number after a scene or shot code (sc010_bg_0001).
  const auto lastDigit = std::find_if(title.rbegin(), title.rend(), isDigit);
  const auto runStart = std::find_if_not(lastDigit, title.rend(), isDigit);
  const auto first = runStart.base(), last = lastDigit.base();
  source.header.assign(title.begin(), first);
  source.trailer.assign(last, title.end());
  int start = 0;
  const char* digits = title.data() + (first - title.begin());
  const auto parsed = std::from_chars(digits, digits + (last - first), start);
  const std::errc error = first == last ? std::errc::invalid_argument : parsed.ec;
  // No digits, or more than a frame number can hold: the one picture alone.
  if (error != std::errc()) {
    source.single = true;
    source.header = title;
    source.trailer.clear();
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
  if (source.kind == ImportKind::Targa) return "Targa images";
  if (source.kind == ImportKind::Bitmap) return "Windows bitmap images";
  const std::string lowered = Lowered(source.extension);
  if (lowered == ".png") return "PNG images";
  if (lowered == ".tif" || lowered == ".tiff") return "TIFF images";
  if (lowered == ".jpg" || lowered == ".jpeg") return "JPEG images";
  if (lowered == ".exr") return "OpenEXR images";
  return "DPX images";
}

std::string ImportResolutionText(const ImportSource& source) {
  if (!(source.fileDpi > 0)) return "none in the file";
  return std::to_string(std::lround(source.fileDpi)) + " dpi (from the file)";
}

Status CheckImportForm(const ImportForm& form, const ImportSource& source) {
  if (form.name.empty()) return Error{"You must enter a valid sequence name"};
  if (!IsLetters(form.name)) return Error{"Sorry, only letters are allowed for the sequence name."};
  if (form.directory.empty()) return Error{"You must select a path and name for the sequence."};
  if (PegPositionOfButton(form.pegButton) < 0) return Error{"You must select a peg position."};
  if (form.dpi < 1 && UsableDpi(source.fileDpi) == 0) return Error{"You must select a dpi."};
  return Status::Ok();
}

Status CheckImportForm(const ImportForm& form) {
  return CheckImportForm(form, ImportSource{});
}

Result<ImportPicture> ReadImportPicture(const std::string& path, ImportKind kind) {
  ImportPicture result;
  Result<Raster> colour = Error{std::string()};
  if (kind == ImportKind::Studio) {
    auto studio = ReadStudioPicture(path);
    if (!studio) return Error{studio.message()};
    result.dpi = studio->dpi;
    colour = std::move(studio->pixels);
  } else {
    colour =
        kind == ImportKind::Bitmap ? ReadBmp(path) : ReadTarga(path, TargaReader::ScannerImport);
  }
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
      else if (kind == ImportKind::Studio && in.channels() == 4)
        to[x] = OverWhite(std::max({from[0], from[1], from[2]}), from[3]);
      else
        to[x] = std::max({from[0], from[1], from[2]});
    }
  }
  result.grey = std::move(grey);
  return result;
}

std::vector<std::string> ExistingImportTarget(const std::string& directory,
                                              const std::string& name) {
  return ExistingSequenceFiles(directory, name, ColorSetFile::Kept);
}

std::string ReplaceSequenceQuestion(const std::string& name, const std::string& directory,
                                    const std::vector<std::string>& existing) {
  return "The sequence " + name + " in " + directory + " has " +
         std::to_string(CountDrawings(existing)) + " drawings already (" +
         std::to_string(existing.size()) +
         " files with their region and paint files).\nReplace them? They are removed before "
         "the new drawings are written; the colour set is kept.";
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
    const std::string input = source.InputPath(number);
    auto picture = ReadImportPicture(input, source.kind);
    if (!picture) {
      prompt.Message(picture.message());
      if (source.kind != ImportKind::Studio)
        prompt.Message(source.kind == ImportKind::Targa ? "Unsupported or corrupted targa file"
                                                        : "Unsupported or corrupted bmp file");
      return outcome;
    }
    const int resolution = dpi > 0 ? dpi : UsableDpi(picture->dpi);
    if (resolution == 0) {
      prompt.Message(picture->dpi > 0
                         ? input + " says " + std::to_string(std::lround(picture->dpi)) +
                               " dpi, outside 10..1200: choose the dpi of the drawings"
                         : input + " holds no resolution: choose the dpi of the drawings");
      return outcome;
    }
    progress.SetStage("Saving Frame");
    DrawingScan scan;
    scan.dpi = resolution;
    scan.pegPosition = pegPosition;
    scan.picture = std::move(picture->grey);
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
