#include "cli/movie_output.h"

#include <cstdio>

#include "cli/frame_progress.h"
#include "cli/interrupt_stop.h"
#include "media/sound_decoder.h"

namespace quenda::cli {
namespace {

std::optional<int> HexColour(const std::string& text) {
  if (text.size() != 6) return std::nullopt;
  int value = 0;
  for (char c : text) {
    int digit = c >= '0' && c <= '9'   ? c - '0'
                : c >= 'a' && c <= 'f' ? c - 'a' + 10
                : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                       : -1;
    if (digit < 0) return std::nullopt;
    value = value * 16 + digit;
  }
  return value;
}

std::string Seconds(double seconds) {
  char text[32];
  std::snprintf(text, sizeof text, "%.2f", seconds);
  return text;
}

}  // namespace

std::string MovieOptionsHelp(std::string_view rateLine) {
  return "  --movie OUT    one movie instead of numbered files: OUT.mp4 is H.264 (yuv420p,\n"
         "                 BT.709, transparency over the background, sound as AAC), OUT.mov\n"
         "                 ProRes 4444 with the alpha (sound as 24-bit PCM)\n"
         "  --codec C      h264 or prores4444, as the name's extension says\n"
         "  --rate R       frames per second, 1..1000 or a fraction such as 24000/1001 or\n"
         "                 30000/1001 (" +
         std::string(rateLine) +
         ")\n"
         "  --crf N        H.264 quality, 0 (lossless) .. 51 (worst), default 18\n"
         "  --preset P     H.264 speed, ultrafast .. placebo, default veryfast\n"
         "  --background RRGGBB  what transparency and padding show in H.264 (default FFFFFF)\n"
         "  --sound FILE   any sound FFmpeg decodes (WAV, AIFF, FLAC, MP3, Ogg, M4A...),\n"
         "                 read from the file itself at its full quality\n"
         "  --sound-start F  the frame (from 1) where the sound starts (default 1)\n"
         "H.264 needs even sides: an odd width or height gets one more pixel of the\n"
         "background, and the tool says so.\n";
}

std::optional<std::string> MovieOptionsWithoutMovie(const Arguments& parsed) {
  for (const std::string& option : kMovieOptions)
    if (option != "--movie" && parsed.Has(option)) return option + " needs --movie";
  return std::nullopt;
}

std::optional<std::string> ReadMovieOptions(const Arguments& parsed, FrameRate defaultRate,
                                            int lastFrame, MovieOptions& options) {
  options.path = parsed.Value("--movie").value_or("");
  std::optional<MovieCodec> codec = CodecForMovieName(options.path);
  if (!codec) return "--movie must be a file name ending in .mp4 (H.264) or .mov (ProRes 4444)";
  MovieEncoderSettings& e = options.encoder;
  e.codec = *codec;
  if (auto text = parsed.Value("--codec")) {
    if (*text != "h264" && *text != "prores4444") return "--codec must be h264 or prores4444";
    if (*text != CodecName(*codec)) return "--codec h264 writes .mp4, prores4444 writes .mov";
  }
  e.rate = defaultRate;
  if (auto text = parsed.Value("--rate")) {
    std::optional<FrameRate> rate = ParseFrameRate(*text);
    if (!rate) return "--rate must be 1..1000 frames per second, or a fraction such as 24000/1001";
    e.rate = *rate;
  }
  if (e.codec != MovieCodec::H264 && (parsed.Has("--crf") || parsed.Has("--preset")))
    return "--crf and --preset are for H.264 (.mp4)";
  if (auto text = parsed.Value("--crf")) {
    std::optional<int> crf = ParseInt(*text, 0, kMaxMovieCrf);
    if (!crf) return "--crf must be a whole number from 0 to 51";
    e.crf = *crf;
  }
  if (auto text = parsed.Value("--preset")) {
    if (!IsMoviePreset(*text)) return "--preset must be one of ultrafast .. placebo";
    e.preset = *text;
  }
  if (auto text = parsed.Value("--background")) {
    std::optional<int> colour = HexColour(*text);
    if (!colour) return "--background must be six hexadecimal digits, RRGGBB";
    e.backgroundRed = uint8_t(*colour >> 16);
    e.backgroundGreen = uint8_t(*colour >> 8);
    e.backgroundBlue = uint8_t(*colour);
  }
  if (parsed.Has("--sound-start") && !parsed.Has("--sound")) return "--sound-start needs --sound";
  options.soundPath = parsed.Value("--sound");
  if (auto text = parsed.Value("--sound-start")) {
    std::optional<int> start = ParseInt(*text, 1, lastFrame);
    if (!start) return "--sound-start must be a frame from 1 to " + std::to_string(lastFrame);
    options.soundStart = *start;
  }
  return std::nullopt;
}

MovieOutput::MovieOutput(CommandIo& io, std::string_view command, MovieOptions options,
                         int firstFrame)
    : io_(io), command_(command), options_(std::move(options)), firstFrame_(firstFrame) {}

bool MovieOutput::LoadSound() {
  if (!options_.soundPath) return true;
  Result<PcmSound> decoded = DecodeSoundFile(*options_.soundPath);
  if (!decoded) {
    ReportFileError(io_, command_, {}, decoded.message());
    return false;
  }
  sound_ = std::move(*decoded);
  return true;
}

bool MovieOutput::Take(const Raster& picture) {
  if (!opened_) {
    MovieEncoderSettings settings = options_.encoder;
    settings.width = picture.width();
    settings.height = picture.height();
    settings.sound = options_.soundPath ? &sound_ : nullptr;
    settings.soundStartFrame = options_.soundStart - firstFrame_;
    if (Status opened = encoder_.Open(options_.path, settings); !opened) {
      ReportFileError(io_, command_, {}, opened.message());
      return false;
    }
    opened_ = true;
    if (encoder_.paddedWidth() != picture.width() || encoder_.paddedHeight() != picture.height())
      io_.err << FileMessage(command_, options_.path,
                             "the frames are " + std::to_string(picture.width()) + "x" +
                                 std::to_string(picture.height()) +
                                 "; H.264 needs even sides, so the movie is " +
                                 std::to_string(encoder_.paddedWidth()) + "x" +
                                 std::to_string(encoder_.paddedHeight()) +
                                 ", padded with the background")
              << "\n";
  }
  if (Status written = encoder_.WriteFrame(picture); !written) {
    ReportFileError(io_, command_, {}, written.message());
    return false;
  }
  return true;
}

bool MovieOutput::Finish() {
  if (!opened_ || encoder_.framesWritten() == 0) {
    encoder_.Discard();
    io_.err << FileMessage(command_, options_.path, "no frame was made, so no movie is written")
            << "\n";
    return false;
  }
  if (Status finished = encoder_.Finish(); !finished) {
    ReportFileError(io_, command_, {}, finished.message());
    return false;
  }
  const MovieEncoderSettings& e = options_.encoder;
  io_.out << "wrote " << options_.path << ": " << encoder_.framesWritten() << " frames at "
          << FrameRateText(e.rate) << " per second, " << Seconds(encoder_.seconds()) << " seconds, "
          << (e.codec == MovieCodec::H264 ? "H.264" : "ProRes 4444")
          << (encoder_.hasSound() ? ", with sound" : "") << "\n";
  return true;
}

int FinishMovieRun(CommandIo& io, std::string_view command, const FrameProgress& progress,
                   const InterruptStop& stop, MovieOutput& movie, bool finished, int first,
                   int last) {
  if (!finished && !stop.Interrupted()) {
    movie.Discard();
    return 1;
  }
  if (!finished) ReportInterrupt(io, command, progress, first, last, "");
  return stop.ExitCode(movie.Finish() ? 0 : 1);
}

}  // namespace quenda::cli
