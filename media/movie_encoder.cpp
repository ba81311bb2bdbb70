#include "media/movie_encoder.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <mutex>
#include <thread>

#include "common/atomic_file.h"
#include "common/thread_pool.h"
#include "media/ffmpeg_support.h"
#include "media/movie_picture_planes.h"
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
// Pictures converted and waiting for the encoder thread: enough that composing the next picture
// overlaps encoding this one, few enough that a stop is not long behind.
constexpr std::size_t kQueuedPictures = 2;

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

std::span<const std::string_view> MovieEncoderPresets() {
  return kPresets;
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

// The encoder runs on a thread of its own: WriteFrame converts each picture into a frame of the
// codec's form and queues it; the thread sends the frames to the codec (which has its own threads
// too), writes the packets and the sound that belongs with them. Its first failure ends its work
// and is told by the next WriteFrame or by Finish.
struct MovieEncoder::State {
  AtomicFile file;  // dropped, unless committed, after the muxer below has let go of it
  std::string path;
  MovieEncoderSettings settings;
  AVFormatContext* format = nullptr;
  CodecContextPtr video;
  AVStream* videoStream = nullptr;
  PacketPtr packet;
  MovieSoundStream sound;
  bool withSound = false;
  int paddedWidth = 0;
  int paddedHeight = 0;
  int frames = 0;  // handed in

  std::mutex mutex;
  std::condition_variable changed;
  std::deque<FramePtr> queued;  // converted, for the thread
  std::vector<FramePtr> spare;  // sent, for WriteFrame to fill again
  bool closing = false;         // no more pictures: the thread ends once the queue is empty
  bool abandoned = false;       // the movie is dropped: the thread ends now
  std::string failure;          // the thread's first failure, when it had one
  std::thread worker;

  ~State() {
    StopWorker(true);
    if (format) {
      if (format->pb) avio_closep(&format->pb);
      avformat_free_context(format);
    }
  }
  double SecondsAt(int frame) const { return double(frame) / settings.rate.PerSecond(); }

  // Waits for the thread to end, after the queued frames unless `abandon`.
  void StopWorker(bool abandon) {
    if (!worker.joinable()) return;
    {
      std::lock_guard lock(mutex);
      closing = true;
      abandoned = abandoned || abandon;
    }
    changed.notify_all();
    worker.join();
  }

  // The codec's packets so far into the file; an empty text when all went well.
  std::string Drain() {
    for (;;) {
      int error = avcodec_receive_packet(video.get(), packet.get());
      if (error == AVERROR(EAGAIN) || error == AVERROR_EOF) return {};
      if (error < 0) return LibraryReason(error);
      packet->stream_index = videoStream->index;
      av_packet_rescale_ts(packet.get(), video->time_base, videoStream->time_base);
      if ((error = av_interleaved_write_frame(format, packet.get())) < 0)
        return LibraryReason(error);
    }
  }

  void Work() {
    int encoded = 0;
    for (;;) {
      FramePtr frame;
      {
        std::unique_lock lock(mutex);
        changed.wait(lock, [&] { return abandoned || !queued.empty() || closing; });
        if (abandoned || queued.empty()) return;
        frame = std::move(queued.front());
        queued.pop_front();
      }
      changed.notify_all();  // room in the queue
      std::string failed;
      frame->pts = encoded;
      if (int error = avcodec_send_frame(video.get(), frame.get()); error < 0)
        failed = LibraryReason(error);
      if (failed.empty()) failed = Drain();
      ++encoded;
      // The sound that belongs with the pictures so far.
      if (failed.empty())
        if (Status written = sound.WriteUntil(SecondsAt(encoded), false); !written)
          failed = written.message();
      av_frame_unref(frame.get());
      const bool stop = !failed.empty();
      {
        std::lock_guard lock(mutex);
        spare.push_back(std::move(frame));
        if (stop) {
          failure = std::move(failed);
          queued.clear();
        }
      }
      if (stop) {
        changed.notify_all();  // a WriteFrame waiting for room hears of it
        return;
      }
    }
  }

  // A frame of the codec's form, its buffers writable: a spare one or a new one.
  FramePtr FreeFrame() {
    FramePtr frame;
    {
      std::lock_guard lock(mutex);
      if (!spare.empty()) {
        frame = std::move(spare.back());
        spare.pop_back();
      }
    }
    if (!frame) frame.reset(av_frame_alloc());
    if (!frame) return frame;
    frame->format = video->pix_fmt;
    frame->width = video->width;
    frame->height = video->height;
    if (av_frame_get_buffer(frame.get(), 0) < 0) frame.reset();
    return frame;
  }
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
int MovieEncoder::codecThreads() const {
  return state_ && state_->video ? state_->video->thread_count : 0;
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
  s.packet.reset(av_packet_alloc());
  if (!s.videoStream || !s.video || !s.packet) return Fail(LibraryReason(AVERROR(ENOMEM)));
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
  video.thread_count = settings.threads > 0 ? settings.threads : InnerThreads();
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
  s.worker = std::thread([&s] { s.Work(); });
  return {};
}

Status MovieEncoder::WriteFrame(ConstRasterView picture) {
  if (!state_ || !state_->format) return Error{"Could not write the movie: it is not open"};
  State& s = *state_;
  const MovieEncoderSettings& settings = s.settings;
  if (picture.width != settings.width || picture.height != settings.height ||
      (picture.channels != 3 && picture.channels != 4))
    return Fail("a picture of another size came in");
  FramePtr frame = s.FreeFrame();
  if (!frame) return Fail(LibraryReason(AVERROR(ENOMEM)));
  const Planes planes{
      {frame->data[0], frame->data[1], frame->data[2], frame->data[3]},
      {frame->linesize[0], frame->linesize[1], frame->linesize[2], frame->linesize[3]}};
  if (settings.codec == MovieCodec::H264)
    PictureToYuv420(picture, s.paddedWidth, s.paddedHeight,
                    {settings.backgroundRed, settings.backgroundGreen, settings.backgroundBlue},
                    planes);
  else
    PictureToYuva444p10(picture, planes);
  frame->color_primaries = AVCOL_PRI_BT709;
  frame->color_trc = AVCOL_TRC_BT709;
  frame->colorspace = AVCOL_SPC_BT709;
  frame->color_range = AVCOL_RANGE_MPEG;
  {
    std::unique_lock lock(s.mutex);
    s.changed.wait(lock, [&] { return !s.failure.empty() || s.queued.size() < kQueuedPictures; });
    if (!s.failure.empty()) {
      std::string reason = s.failure;
      lock.unlock();
      return Fail(std::move(reason));
    }
    s.queued.push_back(std::move(frame));
  }
  s.changed.notify_all();
  ++s.frames;
  return {};
}

Status MovieEncoder::Finish() {
  if (!state_ || !state_->format) return Error{"Could not write the movie: it is not open"};
  State& s = *state_;
  s.StopWorker(false);  // the pictures handed in are all encoded
  if (!s.failure.empty()) return Fail(s.failure);
  int error = avcodec_send_frame(s.video.get(), nullptr);
  if (error < 0 && error != AVERROR_EOF) return Fail(LibraryReason(error));
  if (std::string failed = s.Drain(); !failed.empty()) return Fail(std::move(failed));
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
