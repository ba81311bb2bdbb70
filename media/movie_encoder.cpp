#include "media/movie_encoder.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstring>

#include "common/atomic_file.h"
#include "media/ffmpeg_support.h"
#include "media/movie_sound_stream.h"

extern "C" {
#include <libavutil/opt.h>
}

namespace quenda {
namespace {

using namespace quenda::media;

constexpr int kMaxSide = 16384;
constexpr std::array<std::string_view, 10> kPresets = {
    "ultrafast", "superfast", "veryfast", "faster",   "fast",
    "medium",    "slow",      "slower",   "veryslow", "placebo"};
// prores_ks's profile number for 4444.
constexpr int kProRes4444Profile = 4;

std::optional<int> WholeNumber(std::string_view text) {
  int value = 0;
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || text.empty()) return std::nullopt;
  return value;
}

bool EndsWithNoCase(std::string_view text, std::string_view end) {
  if (text.size() < end.size()) return false;
  for (std::size_t i = 0; i < end.size(); ++i) {
    char c = text[text.size() - end.size() + i];
    if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
    if (c != end[i]) return false;
  }
  return true;
}

}  // namespace

std::optional<FrameRate> ParseFrameRate(std::string_view text) {
  const std::size_t slash = text.find('/');
  std::optional<int> numerator = WholeNumber(text.substr(0, slash));
  std::optional<int> denominator =
      slash == std::string_view::npos ? 1 : WholeNumber(text.substr(slash + 1));
  if (!numerator || !denominator || *numerator < 1 || *denominator < 1) return std::nullopt;
  FrameRate rate{*numerator, *denominator};
  if (rate.PerSecond() < 1 || rate.PerSecond() > kMaxMovieFrameRate) return std::nullopt;
  return rate;
}

std::string FrameRateText(FrameRate rate) {
  if (rate.denominator == 1) return std::to_string(rate.numerator);
  return std::to_string(rate.numerator) + "/" + std::to_string(rate.denominator);
}

bool IsMoviePreset(std::string_view preset) {
  return std::find(kPresets.begin(), kPresets.end(), preset) != kPresets.end();
}

std::optional<MovieCodec> CodecForMovieName(std::string_view path) {
  if (EndsWithNoCase(path, ".mp4")) return MovieCodec::H264;
  if (EndsWithNoCase(path, ".mov")) return MovieCodec::ProRes4444;
  return std::nullopt;
}

std::string_view CodecName(MovieCodec codec) {
  return codec == MovieCodec::H264 ? "h264" : "prores4444";
}

struct MovieEncoder::State {
  AtomicFile file;  // dropped, unless committed, after the muxer below has let go of it
  std::string path;
  MovieEncoderSettings settings;
  AVFormatContext* format = nullptr;
  CodecContextPtr video;
  AVStream* videoStream = nullptr;
  ScalerPtr scaler;
  FramePtr frame;
  PacketPtr packet;
  MovieSoundStream sound;
  bool withSound = false;
  std::vector<uint8_t> staged;  // the picture as the scaler takes it: BGRA, top row first
  int paddedWidth = 0;
  int paddedHeight = 0;
  int frames = 0;

  ~State() {
    if (format) {
      if (format->pb) avio_closep(&format->pb);
      avformat_free_context(format);
    }
  }
  double SecondsAt(int frame) const { return double(frame) / settings.rate.PerSecond(); }
};

MovieEncoder::MovieEncoder() = default;
MovieEncoder::~MovieEncoder() = default;

Status MovieEncoder::Fail(std::string reason) {
  std::string path = state_ ? state_->path : std::string();
  state_.reset();  // closes the file and removes the unfinished movie
  return Error{"Could not write the movie " + path + ": " + reason};
}

int MovieEncoder::framesWritten() const {
  return state_ ? state_->frames : 0;
}
double MovieEncoder::seconds() const {
  return state_ ? state_->SecondsAt(state_->frames) : 0;
}
int MovieEncoder::paddedWidth() const {
  return state_ ? state_->paddedWidth : 0;
}
int MovieEncoder::paddedHeight() const {
  return state_ ? state_->paddedHeight : 0;
}
bool MovieEncoder::hasSound() const {
  return state_ && state_->withSound;
}

Status MovieEncoder::Open(const std::string& path, const MovieEncoderSettings& settings) {
  QuietLibraryLog();
  state_ = std::make_unique<State>();
  State& s = *state_;
  s.path = path;
  s.settings = settings;
  s.settings.sound = nullptr;
  const bool h264 = settings.codec == MovieCodec::H264;
  if (settings.width < 1 || settings.height < 1 || settings.width > kMaxSide ||
      settings.height > kMaxSide)
    return Fail("the pictures are " + std::to_string(settings.width) + "x" +
                std::to_string(settings.height) + " pixels, outside 1 to 16384");
  if (!ParseFrameRate(FrameRateText(settings.rate))) return Fail("the frame rate is out of range");
  if (h264 && (settings.crf < 0 || settings.crf > kMaxMovieCrf || !IsMoviePreset(settings.preset)))
    return Fail("the quality settings are out of range");
  // 4:2:0 colour is shared by two-by-two pixels.
  s.paddedWidth = h264 ? (settings.width + 1) / 2 * 2 : settings.width;
  s.paddedHeight = h264 ? (settings.height + 1) / 2 * 2 : settings.height;

  if (Status opened = s.file.Open(
          path, WriteMessages("Could not write the movie " + path + ": disk full or read only?"));
      !opened) {
    state_.reset();
    return opened;
  }
  const char* container = h264 ? "mp4" : "mov";
  int error =
      avformat_alloc_output_context2(&s.format, nullptr, container, s.file.temporaryPath().c_str());
  if (error < 0) return Fail(LibraryReason(error));

  const AVCodec* encoder =
      h264 ? avcodec_find_encoder_by_name("libx264") : avcodec_find_encoder_by_name("prores_ks");
  if (!encoder) return Fail(std::string("no ") + (h264 ? "H.264" : "ProRes") + " encoder");
  s.videoStream = avformat_new_stream(s.format, nullptr);
  s.video.reset(avcodec_alloc_context3(encoder));
  s.frame.reset(av_frame_alloc());
  s.packet.reset(av_packet_alloc());
  if (!s.videoStream || !s.video || !s.frame || !s.packet)
    return Fail(LibraryReason(AVERROR(ENOMEM)));
  AVCodecContext& video = *s.video;
  video.width = s.paddedWidth;
  video.height = s.paddedHeight;
  video.time_base = AVRational{settings.rate.denominator, settings.rate.numerator};
  video.framerate = AVRational{settings.rate.numerator, settings.rate.denominator};
  video.sample_aspect_ratio = AVRational{1, 1};
  video.pix_fmt = h264 ? AV_PIX_FMT_YUV420P : AV_PIX_FMT_YUVA444P10LE;
  video.color_primaries = AVCOL_PRI_BT709;
  video.color_trc = AVCOL_TRC_BT709;
  video.colorspace = AVCOL_SPC_BT709;
  video.color_range = AVCOL_RANGE_MPEG;
  if (s.format->oformat->flags & AVFMT_GLOBALHEADER) video.flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
  AVDictionary* options = nullptr;
  if (h264) {
    av_dict_set(&options, "preset", s.settings.preset.c_str(), 0);
    av_dict_set_int(&options, "crf", settings.crf, 0);
    // x264's own tuning for flat colour and hard lines: the suite's pictures are cels.
    av_dict_set(&options, "tune", "animation", 0);
  } else {
    video.profile = kProRes4444Profile;
    av_dict_set_int(&options, "alpha_bits", 16, 0);
    av_dict_set(&options, "vendor", "apl0", 0);  // the tag editing systems look for
  }
  error = avcodec_open2(&video, encoder, &options);
  av_dict_free(&options);
  if (error < 0) return Fail(LibraryReason(error));
  if ((error = avcodec_parameters_from_context(s.videoStream->codecpar, &video)) < 0)
    return Fail(LibraryReason(error));
  s.videoStream->time_base = video.time_base;
  s.videoStream->avg_frame_rate = video.framerate;
  s.videoStream->r_frame_rate = video.framerate;

  s.frame->format = video.pix_fmt;
  s.frame->width = video.width;
  s.frame->height = video.height;
  if ((error = av_frame_get_buffer(s.frame.get(), 0)) < 0) return Fail(LibraryReason(error));
  s.scaler.reset(sws_getContext(
      s.paddedWidth, s.paddedHeight, AV_PIX_FMT_BGRA, s.paddedWidth, s.paddedHeight, video.pix_fmt,
      SWS_BICUBIC | SWS_ACCURATE_RND | SWS_FULL_CHR_H_INT, nullptr, nullptr, nullptr));
  if (!s.scaler) return Fail("the picture converter refused the size");
  // Full-range RGB in, BT.709 limited-range YUV out, as the stream's tags say.
  sws_setColorspaceDetails(s.scaler.get(), sws_getCoefficients(SWS_CS_ITU709), 1,
                           sws_getCoefficients(SWS_CS_ITU709), 0, 0, 1 << 16, 1 << 16);
  s.staged.assign(std::size_t(s.paddedWidth) * s.paddedHeight * 4, 0);

  if (settings.sound && settings.sound->FrameCount() > 0) {
    if (Status added = s.sound.Open(
            s.format, settings.codec, *settings.sound,
            s.SecondsAt(0) + double(settings.soundStartFrame) / settings.rate.PerSecond());
        !added)
      return Fail("the sound: " + added.message());
    s.withSound = true;
  }
  if ((error = avio_open(&s.format->pb, s.file.temporaryPath().c_str(), AVIO_FLAG_WRITE)) < 0)
    return Fail(LibraryReason(error));
  AVDictionary* muxing = nullptr;
  // Review copies start playing before they are all read.
  if (h264) av_dict_set(&muxing, "movflags", "+faststart", 0);
  error = avformat_write_header(s.format, &muxing);
  av_dict_free(&muxing);
  if (error < 0) return Fail(LibraryReason(error));
  return {};
}

Status MovieEncoder::WriteFrame(ConstRasterView picture) {
  if (!state_ || !state_->format) return Error{"Could not write the movie: it is not open"};
  State& s = *state_;
  const MovieEncoderSettings& settings = s.settings;
  if (picture.width != settings.width || picture.height != settings.height ||
      (picture.channels != 3 && picture.channels != 4))
    return Fail("a picture of another size came in");
  const bool over = settings.codec == MovieCodec::H264;
  const int blue = settings.backgroundBlue, green = settings.backgroundGreen,
            red = settings.backgroundRed;
  // Top row first, padded with the background; alpha laid over it where the codec has none.
  for (int y = 0; y < s.paddedHeight; ++y) {
    uint8_t* out = s.staged.data() + std::size_t(y) * s.paddedWidth * 4;
    const bool inside = y < settings.height;
    const uint8_t* in = inside ? picture.Row(settings.height - 1 - y) : nullptr;
    for (int x = 0; x < s.paddedWidth; ++x, out += 4) {
      if (!inside || x >= settings.width) {
        out[0] = uint8_t(blue), out[1] = uint8_t(green), out[2] = uint8_t(red), out[3] = 255;
        continue;
      }
      const uint8_t* p = in + std::ptrdiff_t(x) * picture.channels;
      const int a = picture.channels == 4 ? p[3] : 255;
      if (over && a < 255) {
        out[0] = uint8_t((p[0] * a + blue * (255 - a) + 127) / 255);
        out[1] = uint8_t((p[1] * a + green * (255 - a) + 127) / 255);
        out[2] = uint8_t((p[2] * a + red * (255 - a) + 127) / 255);
        out[3] = 255;
      } else {
        out[0] = p[0], out[1] = p[1], out[2] = p[2], out[3] = uint8_t(a);
      }
    }
  }
  int error = av_frame_make_writable(s.frame.get());
  if (error < 0) return Fail(LibraryReason(error));
  const uint8_t* source[1] = {s.staged.data()};
  const int sourceStride[1] = {s.paddedWidth * 4};
  sws_scale(s.scaler.get(), source, sourceStride, 0, s.paddedHeight, s.frame->data,
            s.frame->linesize);
  s.frame->pts = s.frames;
  s.frame->color_primaries = AVCOL_PRI_BT709;
  s.frame->color_trc = AVCOL_TRC_BT709;
  s.frame->colorspace = AVCOL_SPC_BT709;
  s.frame->color_range = AVCOL_RANGE_MPEG;
  if ((error = avcodec_send_frame(s.video.get(), s.frame.get())) < 0)
    return Fail(LibraryReason(error));
  ++s.frames;
  for (;;) {
    error = avcodec_receive_packet(s.video.get(), s.packet.get());
    if (error == AVERROR(EAGAIN) || error == AVERROR_EOF) break;
    if (error < 0) return Fail(LibraryReason(error));
    s.packet->stream_index = s.videoStream->index;
    av_packet_rescale_ts(s.packet.get(), s.video->time_base, s.videoStream->time_base);
    if ((error = av_interleaved_write_frame(s.format, s.packet.get())) < 0)
      return Fail(LibraryReason(error));
  }
  // The sound that belongs with the pictures so far.
  if (Status sound = s.sound.WriteUntil(s.SecondsAt(s.frames), false); !sound)
    return Fail(sound.message());
  return {};
}

Status MovieEncoder::Finish() {
  if (!state_ || !state_->format) return Error{"Could not write the movie: it is not open"};
  State& s = *state_;
  int error = avcodec_send_frame(s.video.get(), nullptr);
  if (error < 0 && error != AVERROR_EOF) return Fail(LibraryReason(error));
  for (;;) {
    error = avcodec_receive_packet(s.video.get(), s.packet.get());
    if (error == AVERROR_EOF || error == AVERROR(EAGAIN)) break;
    if (error < 0) return Fail(LibraryReason(error));
    s.packet->stream_index = s.videoStream->index;
    av_packet_rescale_ts(s.packet.get(), s.video->time_base, s.videoStream->time_base);
    if ((error = av_interleaved_write_frame(s.format, s.packet.get())) < 0)
      return Fail(LibraryReason(error));
  }
  // The sound ends with the last picture, also when the run was stopped early.
  if (Status sound = s.sound.WriteUntil(s.SecondsAt(s.frames), true); !sound)
    return Fail(sound.message());
  if ((error = av_write_trailer(s.format)) < 0) return Fail(LibraryReason(error));
  if ((error = avio_closep(&s.format->pb)) < 0) return Fail(LibraryReason(error));
  if (Status committed = s.file.Commit(); !committed) {
    state_.reset();
    return committed;
  }
  // The counts stay readable for the caller's report.
  avformat_free_context(s.format);
  s.format = nullptr;
  return {};
}

void MovieEncoder::Discard() {
  state_.reset();
}

}  // namespace quenda
