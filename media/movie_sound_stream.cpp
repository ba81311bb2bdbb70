#include "media/movie_sound_stream.h"

#include <algorithm>
#include <cmath>
#include <cstring>

extern "C" {
#include <libavutil/channel_layout.h>
#include <libavutil/opt.h>
#include <libswresample/swresample.h>
}

namespace quenda::media {
namespace {

// Every movie carries its sound at the rate of video work, whatever the file's own.
constexpr int kMovieSampleRate = 48000;
constexpr int64_t kAacBitRatePerChannel = 128000;

struct ResamplerFree {
  void operator()(SwrContext* s) const { swr_free(&s); }
};
using ResamplerPtr = std::unique_ptr<SwrContext, ResamplerFree>;

}  // namespace

std::string LibraryReason(int ffmpegError) {
  char text[AV_ERROR_MAX_STRING_SIZE] = {};
  av_strerror(ffmpegError, text, sizeof text);
  return text;
}

Status MovieSoundStream::Open(AVFormatContext* format, MovieCodec codec, const PcmSound& sound,
                              double startSeconds) {
  format_ = format;
  if (sound.channels < 1 || sound.sampleRate < 1) return Error{"the sound has no channels"};
  const bool aac = codec == MovieCodec::H264;
  const AVCodec* encoder = avcodec_find_encoder(aac ? AV_CODEC_ID_AAC : AV_CODEC_ID_PCM_S24LE);
  if (!encoder) return Error{"no sound encoder for this movie"};
  codec_.reset(avcodec_alloc_context3(encoder));
  frame_.reset(av_frame_alloc());
  packet_.reset(av_packet_alloc());
  stream_ = avformat_new_stream(format, nullptr);
  if (!codec_ || !frame_ || !packet_ || !stream_) return Error{LibraryReason(AVERROR(ENOMEM))};
  AVCodecContext& c = *codec_;
  const int channels = sound.channels == 1 ? 1 : 2;  // more are mixed down to stereo
  av_channel_layout_default(&c.ch_layout, channels);
  c.sample_rate = kMovieSampleRate;
  c.sample_fmt = aac ? AV_SAMPLE_FMT_FLTP : AV_SAMPLE_FMT_S32;
  c.time_base = AVRational{1, kMovieSampleRate};
  if (aac) c.bit_rate = kAacBitRatePerChannel * channels;
  if (!aac) c.bits_per_raw_sample = 24;
  if (format->oformat->flags & AVFMT_GLOBALHEADER) c.flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
  if (int error = avcodec_open2(&c, encoder, nullptr); error < 0)
    return Error{LibraryReason(error)};
  if (int error = avcodec_parameters_from_context(stream_->codecpar, &c); error < 0)
    return Error{LibraryReason(error)};
  stream_->time_base = c.time_base;
  chunk_ = c.frame_size > 0 ? c.frame_size : 1024;

  // The whole track at once: the sound is short beside the pictures, and one pass keeps the
  // resampler's delay out of the pieces.
  SwrContext* made = nullptr;
  AVChannelLayout inLayout;
  av_channel_layout_default(&inLayout, sound.channels);
  int error = swr_alloc_set_opts2(&made, &c.ch_layout, c.sample_fmt, c.sample_rate, &inLayout,
                                  AV_SAMPLE_FMT_FLT, sound.sampleRate, 0, nullptr);
  av_channel_layout_uninit(&inLayout);
  ResamplerPtr resampler(made);
  if (error < 0 || (error = swr_init(resampler.get())) < 0) return Error{LibraryReason(error)};
  const int64_t inFrames = int64_t(sound.FrameCount());
  const int64_t lead = std::llround(startSeconds * kMovieSampleRate);
  const int64_t room = av_rescale_rnd(inFrames, kMovieSampleRate, sound.sampleRate, AV_ROUND_UP) +
                       swr_get_delay(resampler.get(), kMovieSampleRate) + 64;
  const bool planar = av_sample_fmt_is_planar(c.sample_fmt);
  bytesPerSample_ = av_get_bytes_per_sample(c.sample_fmt) * (planar ? 1 : channels);
  const int64_t before = std::max<int64_t>(lead, 0);
  planes_.assign(planar ? std::size_t(channels) : 1,
                 std::vector<uint8_t>(std::size_t((before + room) * bytesPerSample_), 0));
  std::vector<uint8_t*> out(planes_.size());
  int64_t converted = 0;
  auto convert = [&](const uint8_t** in, int count) -> Status {
    for (std::size_t p = 0; p < planes_.size(); ++p)
      out[p] = planes_[p].data() + (before + converted) * bytesPerSample_;
    int got = swr_convert(resampler.get(), out.data(), int(room - converted), in, count);
    if (got < 0) return Error{LibraryReason(got)};
    converted += got;
    return {};
  };
  // In pieces, so no count passes the library's int.
  constexpr int64_t kPiece = 1 << 20;
  for (int64_t at = 0; at < inFrames; at += kPiece) {
    const uint8_t* in[1] = {
        reinterpret_cast<const uint8_t*>(sound.samples.data() + at * sound.channels)};
    if (Status s = convert(in, int(std::min(kPiece, inFrames - at))); !s) return s;
  }
  if (Status s = convert(nullptr, 0); !s) return s;
  length_ = before + converted;
  if (lead < 0) {
    const int64_t skip = std::min(-lead, length_);
    for (std::vector<uint8_t>& plane : planes_)
      plane.erase(plane.begin(), plane.begin() + skip * bytesPerSample_);
    length_ -= skip;
  }
  return {};
}

Status MovieSoundStream::Send(const AVFrame* frame) {
  int error = avcodec_send_frame(codec_.get(), frame);
  if (error < 0 && error != AVERROR_EOF) return Error{LibraryReason(error)};
  for (;;) {
    error = avcodec_receive_packet(codec_.get(), packet_.get());
    if (error == AVERROR(EAGAIN) || error == AVERROR_EOF) return {};
    if (error < 0) return Error{LibraryReason(error)};
    packet_->stream_index = stream_->index;
    av_packet_rescale_ts(packet_.get(), codec_->time_base, stream_->time_base);
    error = av_interleaved_write_frame(format_, packet_.get());
    if (error < 0) return Error{LibraryReason(error)};
  }
}

Status MovieSoundStream::WriteUntil(double seconds, bool last) {
  if (!codec_) return {};
  const int64_t target = std::clamp<int64_t>(std::llround(seconds * kMovieSampleRate), 0, length_);
  while (written_ < target) {
    const int64_t count = std::min<int64_t>(chunk_, target - written_);
    if (count < chunk_ && !last) break;  // only the last piece may be short
    AVFrame& f = *frame_;
    av_frame_unref(&f);
    f.nb_samples = int(count);
    f.format = codec_->sample_fmt;
    f.sample_rate = codec_->sample_rate;
    if (int error = av_channel_layout_copy(&f.ch_layout, &codec_->ch_layout); error < 0)
      return Error{LibraryReason(error)};
    if (int error = av_frame_get_buffer(&f, 0); error < 0) return Error{LibraryReason(error)};
    for (std::size_t p = 0; p < planes_.size(); ++p)
      std::memcpy(f.data[p], planes_[p].data() + written_ * bytesPerSample_,
                  std::size_t(count * bytesPerSample_));
    f.pts = written_;
    if (Status s = Send(&f); !s) return s;
    written_ += count;
  }
  if (last) return Send(nullptr);
  return {};
}

}  // namespace quenda::media
