#include "media/avi_writer.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <vector>

#include "common/atomic_file.h"
#include "media/avi_messages.h"
#include "media/avi_quality.h"
#include "media/ffmpeg_support.h"

namespace quenda {
namespace {

using namespace quenda::media;

constexpr const char* kStreamName = "Quenda Avi Preview";
constexpr int kMaxSide = 16384;  // far beyond any flipbook; keeps frame buffers sane
constexpr int kMaxFramesPerSecond = 1000;
constexpr int64_t kMaxFrameGap = 100000;

// FFmpeg's codes for the sound formats the suite can store; AV_CODEC_ID_NONE otherwise.
AVCodecID SoundCodecFor(const WaveFormat& format) {
  if (format.formatTag != kWaveFormatPcm || format.channels < 1 || format.channels > 2)
    return AV_CODEC_ID_NONE;
  if (format.blockAlign != format.channels * format.bitsPerSample / 8) return AV_CODEC_ID_NONE;
  if (format.bitsPerSample == 8) return AV_CODEC_ID_PCM_U8;
  if (format.bitsPerSample == 16) return AV_CODEC_ID_PCM_S16LE;
  return AV_CODEC_ID_NONE;
}

}  // namespace

struct AviWriter::State {
  AtomicFile file;  // dropped, unless committed, after the muxer below has let go of it
  AVFormatContext* format = nullptr;
  CodecContextPtr video;
  AVStream* videoStream = nullptr;
  AVStream* soundStream = nullptr;
  ScalerPtr scaler;
  FramePtr frame;
  PacketPtr packet;
  int width = 0;
  int height = 0;
  int framesPerSecond = 0;
  bool headerWritten = false;
  int64_t lastIndex = -1;
  std::vector<uint8_t> sound;
  int soundBlockAlign = 1;
  uint32_t soundRate = 0;
  std::size_t soundSamplesWritten = 0;

  ~State() {
    if (format) {
      if (format->pb) avio_closep(&format->pb);
      avformat_free_context(format);
    }
  }
};

AviWriter::AviWriter(Prompt& prompt) : prompt_(prompt) {}

AviWriter::~AviWriter() {
  Close();
}

bool AviWriter::Succeeded() const {
  return succeeded_;
}

bool AviWriter::Fail(std::string_view message) {
  prompt_.Message(message, MessageIcon::Error);
  state_.reset();  // closes the file and removes the unfinished movie
  succeeded_ = false;
  return false;
}

bool AviWriter::FailWith(int ffmpegError) {
  return Fail(WriterMessageFor(ffmpegError));
}

bool AviWriter::Open(const std::string& path, int quality, int framesPerSecond, int width,
                     int height) {
  Close();
  QuietLibraryLog();
  succeeded_ = false;
  auto state = std::make_unique<State>();
  state_ = std::move(state);
  State& s = *state_;
  s.width = width;
  s.height = height;
  s.framesPerSecond = framesPerSecond;
  if (width < 1 || height < 1 || width > kMaxSide || height > kMaxSide || framesPerSecond < 1 ||
      framesPerSecond > kMaxFramesPerSecond)
    return Fail(kAviUnsupported);

  // The movie grows in the atomic writer's hidden file beside the target, which takes the
  // target's place in Close.
  if (IsReadOnlyTarget(path)) return Fail(kAviReadOnly);
  if (Status opened =
          s.file.Open(path, WriteMessages(std::string(kAviFileOpen), std::string(kAviUnknown)));
      !opened)
    return Fail(opened.message());

  const AVOutputFormat* container = av_guess_format("avi", nullptr, nullptr);
  if (!container) return Fail(kAviNoHandler);
  int error = avformat_alloc_output_context2(&s.format, container, nullptr, nullptr);
  if (error < 0) return FailWith(error);
  // Every picture reaches the file as it is written, so a full disk fails the frame that
  // meets it, as the frame's own write failure.
  s.format->flush_packets = 1;

  const AVCodec* encoder = avcodec_find_encoder(AV_CODEC_ID_MJPEG);
  if (!encoder) return Fail(kAviNoCompressor);
  s.videoStream = avformat_new_stream(s.format, nullptr);
  s.video.reset(avcodec_alloc_context3(encoder));
  s.frame.reset(av_frame_alloc());
  s.packet.reset(av_packet_alloc());
  if (!s.videoStream || !s.video || !s.frame || !s.packet) return Fail(kAviNoMemory);

  AVCodecContext& video = *s.video;
  video.width = width;
  video.height = height;
  video.time_base = AVRational{1, framesPerSecond};
  video.framerate = AVRational{framesPerSecond, 1};
  // Full colour resolution: painted cels have hard colour edges that shared chroma would
  // smear. It is plain baseline JPEG, which every Motion JPEG player decodes.
  video.pix_fmt = AV_PIX_FMT_YUVJ444P;
  video.gop_size = 1;  // every picture a key frame, so any frame can be shown at once
  video.flags |= AV_CODEC_FLAG_QSCALE;
  video.global_quality = FF_QP2LAMBDA * QuantiserForQuality(quality);
  video.qmin = kQuantiserFinest;
  video.qmax = kQuantiserCoarsest;
  if (s.format->oformat->flags & AVFMT_GLOBALHEADER) video.flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
  if ((error = avcodec_open2(&video, encoder, nullptr)) < 0)
    return Fail(error == AVERROR(ENOMEM) ? kAviNoMemory : kAviUnsupported);
  if ((error = avcodec_parameters_from_context(s.videoStream->codecpar, &video)) < 0)
    return FailWith(error);
  s.videoStream->time_base = video.time_base;
  s.videoStream->avg_frame_rate = video.framerate;
  av_dict_set(&s.videoStream->metadata, "title", kStreamName, 0);

  s.frame->format = video.pix_fmt;
  s.frame->width = width;
  s.frame->height = height;
  if ((error = av_frame_get_buffer(s.frame.get(), 0)) < 0) return FailWith(error);
  s.scaler.reset(sws_getContext(width, height, AV_PIX_FMT_BGR24, width, height, video.pix_fmt,
                                SWS_BICUBIC | SWS_ACCURATE_RND | SWS_FULL_CHR_H_INT, nullptr,
                                nullptr, nullptr));
  if (!s.scaler) return Fail(kAviUnsupported);

  if ((error = avio_open(&s.format->pb, s.file.temporaryPath().c_str(), AVIO_FLAG_WRITE)) < 0)
    return Fail(error == AVERROR(ENOMEM) ? kAviNoMemory : kAviFileOpen);
  return true;
}

bool AviWriter::WriteSound(const WaveFormat& format, const uint8_t* samples,
                           std::size_t byteCount) {
  if (!state_) return false;
  State& s = *state_;
  // The container's header lists every stream, so sound cannot join once pictures are in.
  if (s.headerWritten || s.soundStream) return Fail(kAviUnknown);
  AVCodecID codec = SoundCodecFor(format);
  if (codec == AV_CODEC_ID_NONE || format.samplesPerSecond < 1) return Fail(kAviUnsupported);
  if (byteCount > 0 && !samples) return Fail(kAviUnknown);
  s.soundStream = avformat_new_stream(s.format, nullptr);
  if (!s.soundStream) return Fail(kAviNoMemory);
  AVCodecParameters& par = *s.soundStream->codecpar;
  par.codec_type = AVMEDIA_TYPE_AUDIO;
  par.codec_id = codec;
  par.sample_rate = int(format.samplesPerSecond);
  av_channel_layout_default(&par.ch_layout, format.channels);
  par.bits_per_coded_sample = format.bitsPerSample;
  par.block_align = format.blockAlign;
  par.bit_rate = int64_t(format.samplesPerSecond) * format.blockAlign * 8;
  s.soundStream->time_base = AVRational{1, par.sample_rate};
  s.soundBlockAlign = format.blockAlign;
  s.soundRate = format.samplesPerSecond;
  // Whole samples only: a torn last sample would not play.
  std::size_t usable = byteCount - byteCount % std::size_t(format.blockAlign);
  try {
    s.sound.assign(samples, samples + usable);
  } catch (const std::bad_alloc&) {
    return Fail(kAviNoMemory);
  }
  return true;
}

bool AviWriter::WriteHeader() {
  State& s = *state_;
  if (s.headerWritten) return true;
  int error = avformat_write_header(s.format, nullptr);
  if (error < 0) return FailWith(error);
  s.headerWritten = true;
  return true;
}

// Sound goes in beside the pictures it belongs to, so players read both together.
bool AviWriter::WriteSoundUntil(int64_t endSample) {
  State& s = *state_;
  if (!s.soundStream) return true;
  const std::size_t total = s.sound.size() / std::size_t(s.soundBlockAlign);
  std::size_t end = std::min<std::size_t>(total, std::size_t(std::max<int64_t>(endSample, 0)));
  while (s.soundSamplesWritten < end) {
    std::size_t count = end - s.soundSamplesWritten;
    std::size_t bytes = count * std::size_t(s.soundBlockAlign);
    AVPacket& packet = *s.packet;
    av_packet_unref(&packet);
    int error = av_new_packet(&packet, int(bytes));
    if (error < 0) return FailWith(error);
    std::memcpy(packet.data, s.sound.data() + s.soundSamplesWritten * s.soundBlockAlign, bytes);
    packet.stream_index = s.soundStream->index;
    packet.pts = packet.dts = int64_t(s.soundSamplesWritten);
    packet.duration = int64_t(count);
    av_packet_rescale_ts(&packet, AVRational{1, int(s.soundRate)}, s.soundStream->time_base);
    packet.flags |= AV_PKT_FLAG_KEY;
    error = av_write_frame(s.format, &packet);
    av_packet_unref(&packet);
    if (error < 0) return FailWith(error);
    s.soundSamplesWritten = end;
  }
  return true;
}

bool AviWriter::DrainEncoder() {
  State& s = *state_;
  for (;;) {
    int error = avcodec_receive_packet(s.video.get(), s.packet.get());
    if (error == AVERROR(EAGAIN) || error == AVERROR_EOF) return true;
    if (error < 0) return FailWith(error);
    s.packet->stream_index = s.videoStream->index;
    av_packet_rescale_ts(s.packet.get(), s.video->time_base, s.videoStream->time_base);
    error = av_write_frame(s.format, s.packet.get());
    av_packet_unref(s.packet.get());
    if (error < 0) return FailWith(error);
  }
}

bool AviWriter::WriteFrame(int index, const uint8_t* bgrBottomUp) {
  if (!state_) return false;
  State& s = *state_;
  // Out of order, or so far ahead that the gap alone would fill the disk.
  if (!bgrBottomUp || index <= s.lastIndex || index > s.lastIndex + kMaxFrameGap)
    return Fail(kAviUnknown);
  if (!WriteHeader()) return false;
  // Sound up to the end of this picture's time.
  if (!WriteSoundUntil((int64_t(index) + 1) * s.soundRate / s.framesPerSecond)) return false;

  int error = av_frame_make_writable(s.frame.get());
  if (error < 0) return FailWith(error);
  // Bottom-up rows: start at the top row (the last one) and step backwards.
  const int stride = s.width * 3;
  const uint8_t* source[1] = {bgrBottomUp + std::size_t(stride) * (s.height - 1)};
  const int sourceStride[1] = {-stride};
  sws_scale(s.scaler.get(), source, sourceStride, 0, s.height, s.frame->data, s.frame->linesize);
  s.frame->pts = index;
  s.frame->quality = s.video->global_quality;
  s.frame->pict_type = AV_PICTURE_TYPE_I;
  if ((error = avcodec_send_frame(s.video.get(), s.frame.get())) < 0) return FailWith(error);
  s.lastIndex = index;
  return DrainEncoder();
}

void AviWriter::Discard() {
  state_.reset();  // removes the unfinished movie; the last good one stays
  succeeded_ = false;
}

void AviWriter::Close() {
  if (!state_) return;
  State& s = *state_;
  if (!WriteHeader()) return;
  if (!WriteSoundUntil(int64_t(s.sound.size()))) return;
  int error = avcodec_send_frame(s.video.get(), nullptr);
  if (error < 0 && error != AVERROR_EOF) {
    FailWith(error);
    return;
  }
  if (!DrainEncoder()) return;
  if ((error = av_write_trailer(s.format)) < 0) {
    FailWith(error);
    return;
  }
  error = avio_closep(&s.format->pb);
  if (error < 0) {
    FailWith(error);
    return;
  }
  // Flushed to the disk before it replaces the last good movie.
  if (Status committed = s.file.Commit(); !committed) {
    Fail(committed.message());
    return;
  }
  state_.reset();
  succeeded_ = true;
}

}  // namespace quenda
