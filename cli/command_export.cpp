// `quenda export`: a drawing, a Targa picture or a movie frame as a PNG (or TIFF, OpenEXR,
// Targa) file, so that any step's result can be looked at without the programs. The readers are
// the cores'; the files are written by the suite's one picture writer.

#include <QImage>

#include <cmath>
#include <memory>

#include "cli/arguments.h"
#include "cli/commands.h"
#include "cli/console_prompt.h"
#include "cli/file_info.h"
#include "common/atomic_file.h"
#include "common/drawing_scan.h"
#include "common/frame_picture.h"
#include "common/path.h"
#include "common/targa.h"
#include "media/movie_reader.h"
#include "painter/core/frame_composition.h"
#include "painter/core/painter_doc.h"

namespace quenda::cli {
namespace {

constexpr std::string_view kUsage =
    "usage: quenda export FILE.qds|FILE.tga|MOVIE.avi --png OUT.png|--out OUT [--painted]\n"
    "                     [--frame N] [--scale S]\n"
    "Writes a PNG picture, right side up (or with --out the format its extension names:\n"
    ".png, .tif, .tiff, .exr or .tga), of\n"
    "  a drawing scan: grey, or with --painted as the painter's Composited view shows it (its\n"
    "                  regions painted with the sequence's colour set, the lines over them)\n"
    "  a Targa picture: its pixels, alpha kept\n"
    "  a movie: frame N, from 1 (default 1)\n\n"
    "  --scale S   a factor from 0.01 to 16 (default 1), nearest pixel\n";

int UsageError(CommandIo& io, const std::string& reason) {
  return ReportUsageError(io, "export", reason, kUsage);
}

std::string Lowered(std::string text) {
  for (char& c : text) c = char(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

// Bottom-up rows of 1 (grey), 3 (BGR) or 4 (BGRA) channels, `width` pixels of each row used.
QImage ToImage(const Raster& picture, int width) {
  const int channels = picture.channels();
  QImage image(width, picture.height(),
               channels == 4 ? QImage::Format_ARGB32 : QImage::Format_RGB32);
  for (int y = 0; y < picture.height(); ++y) {
    auto* line = reinterpret_cast<QRgb*>(image.scanLine(picture.height() - 1 - y));
    for (int x = 0; x < width; ++x) {
      const uint8_t* p = picture.At(x, y);
      if (channels == 1)
        line[x] = qRgb(p[0], p[0], p[0]);
      else
        line[x] = qRgba(p[2], p[1], p[0], channels == 4 ? p[3] : 255);
    }
  }
  return image;
}

// The picture in the suite's form for the writer: bottom row first, B, G, R and alpha when the
// image has any.
Raster FromImage(const QImage& shown) {
  const bool alpha = shown.hasAlphaChannel();
  const QImage image = shown.convertToFormat(alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
  Raster picture(image.width(), image.height(), alpha ? 4 : 3);
  for (int y = 0; y < image.height(); ++y) {
    const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(image.height() - 1 - y));
    uint8_t* out = picture.Row(y);
    for (int x = 0; x < image.width(); ++x, out += picture.channels()) {
      out[0] = uint8_t(qBlue(line[x]));
      out[1] = uint8_t(qGreen(line[x]));
      out[2] = uint8_t(qRed(line[x]));
      if (alpha) out[3] = uint8_t(qAlpha(line[x]));
    }
  }
  return picture;
}

struct Picture {
  QImage image;
  std::string error;  // the reader's message when there is no image
};

Picture ReadDrawing(const std::string& path, bool painted, CommandIo& io) {
  if (!painted) {
    Result<LoadedDrawingScan> scan = ReadDrawingScan(path, ScanReader::Painter);
    if (!scan) return {{}, scan.message()};
    return {ToImage(scan->scan.picture, scan->scan.picture.width()), {}};
  }
  ConsolePrompt prompt(io, false);
  prompt.Name("export", path);
  CPainterDoc doc(prompt);
  if (!doc.OpenSequenceFile(path, SequenceStart::NamedDrawing))
    return {{}, "the drawing could not be opened in the painter"};
  const PainterFrame& frame = doc.frame();
  Raster shown = ComposeWholeFrame(frame, doc.colors(), ViewMode::Composited);
  return {ToImage(shown, frame.width), {}};
}

Picture ReadMovieFrame(const std::string& path, int frame) {
  auto opened = MovieReader::Open(path);
  if (!opened) return {{}, opened.message()};
  MovieReader& movie = **opened;
  if (frame > movie.frameCount())
    return {{},
            "no frame " + std::to_string(frame) + ": the movie has " +
                std::to_string(movie.frameCount()) + " frames"};
  if (Status decoder = movie.OpenDecoder(); !decoder) return {{}, decoder.message()};
  Raster pixels(movie.width(), movie.height(), 3);
  if (Status read = movie.ReadFrame(frame - 1, pixels.data()); !read) return {{}, read.message()};
  return {ToImage(pixels, movie.width()), {}};
}

int RunExport(std::span<const std::string> args, CommandIo& io) {
  Arguments parsed(args, {"--png", "--out", "--frame", "--scale"}, {"--painted"});
  if (!parsed.error().empty()) return UsageError(io, parsed.error());
  if (parsed.positional().size() != 1) return UsageError(io, "give exactly one file");
  auto png = parsed.Value("--png");
  if (png && parsed.Value("--out")) return UsageError(io, "give --png or --out, not both");
  if (!png && !parsed.Value("--out")) return UsageError(io, "--png or --out is required");
  if (png && !Lowered(*png).ends_with(".png")) return UsageError(io, "--png must name a .png file");
  if (!png) png = parsed.Value("--out");
  const std::optional<PictureFormat> format = PictureFormatOfPath(*png);
  if (!format) return UsageError(io, "--out must name a .png, .tif, .tiff, .exr or .tga file");
  const std::string& path = parsed.positional()[0];
  const std::string kind = Lowered(ExtensionOf(path));
  if (kind != ".qds" && kind != ".tga" && kind != ".avi")
    return UsageError(io, "cannot export " + path + ": give a .qds, .tga or .avi file");
  if (parsed.Has("--painted") && kind != ".qds")
    return UsageError(io, "--painted is for drawing scans");
  if (parsed.Value("--frame") && kind != ".avi") return UsageError(io, "--frame is for movies");
  auto frame = ParseInt(parsed.Value("--frame").value_or("1"), 1, 1 << 30);
  if (!frame) return UsageError(io, "--frame must be a whole number from 1");
  double scale = 1;
  if (auto text = parsed.Value("--scale")) {
    char* end = nullptr;
    scale = std::strtod(text->c_str(), &end);
    if (text->empty() || end != text->c_str() + text->size() || !(scale >= 0.01 && scale <= 16))
      return UsageError(io, "--scale must be a number from 0.01 to 16");
  }

  Picture picture;
  std::string hint;  // how to mend a file the reader refuses, when the tool knows
  if (kind == ".qds") {
    picture = ReadDrawing(path, parsed.Has("--painted"), io);
  } else if (kind == ".tga") {
    Result<Raster> read = ReadTarga(path, TargaReader::ComposerPicking);
    if (read) {
      picture.image = ToImage(*read, read->width());
    } else {
      picture.error = read.message();
      hint = CompressedTargaHint(path);
    }
  } else {
    picture = ReadMovieFrame(path, *frame);
  }
  if (picture.image.isNull()) {
    ReportFileError(io, "export", path, picture.error);
    if (!hint.empty()) ReportFileError(io, "export", path, hint);
    return 1;
  }

  QImage image = picture.image;
  if (scale != 1) {
    const int w = std::max(1, int(std::lround(image.width() * scale)));
    const int h = std::max(1, int(std::lround(image.height() * scale)));
    image = image.scaled(w, h, Qt::IgnoreAspectRatio, Qt::FastTransformation);
  }
  if (Status written = WriteFramePicture(*png, FromImage(image), {*format},
                                         WriteMessages("Could not write " + *png));
      !written)
    return ReportFileError(io, "export", *png, written.message());
  io.out << "wrote " << *png << "  " << image.width() << " x " << image.height() << "\n";
  return 0;
}

}  // namespace

const Command& ExportCommand() {
  static const Command kCommand{
      "export", "write a drawing, picture or movie frame as a PNG, TIFF or EXR", kUsage, RunExport};
  return kCommand;
}

}  // namespace quenda::cli
