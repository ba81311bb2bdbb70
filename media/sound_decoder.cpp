#include "media/sound_decoder.h"

#include "media/ffmpeg_support.h"
#include "media/movie_sound_stream.h"

extern "C" {
#include <libavutil/channel_layout.h>
#include <libswresample/swresample.h>
}

namespace quenda {
namespace {

using namespace quenda::media;

struct InputFree {
  void operator()(AVFormatContext* f) const { avformat_close_input(&f); }
};
struct ResamplerFree {
  void operator()(SwrContext* s) const { swr_free(&s); }
};

Error Refusal(const std::string& path, const std::string& reason) {
  return Error{"Could not decode the sound file " + path + ": " + reason};
}

// Appends what the decoder gave (or, with no frame, what the resampler still holds).
Status Collect(SwrContext* resampler, const AVFrame* frame, int channels, PcmSound& sound) {
  const int in = frame ? frame->nb_samples : 0;
  const int room = swr_get_out_samples(resampler, in);
  if (room < 0) return Error{LibraryReason(room)};
  const std::size_t at = sound.samples.size();
  if (at + std::size_t(room) * std::size_t(channels) > kMaxDecodedSamples)
    return Error{"the sound is too long (over 40 minutes)"};
  sound.samples.resize(at + std::size_t(room) * std::size_t(channels));
  uint8_t* out[1] = {reinterpret_cast<uint8_t*>(sound.samples.data() + at)};
  const int got =
      swr_convert(resampler, out, room,
                  frame ? const_cast<const uint8_t**>(frame->extended_data) : nullptr, in);
  if (got < 0) return Error{LibraryReason(got)};
  sound.samples.resize(at + std::size_t(got) * std::size_t(channels));
  return {};
}

}  // namespace

Result<PcmSound> DecodeSoundFile(const std::string& path) {
  QuietLibraryLog();
  AVFormatContext* opened = nullptr;
  int error = avformat_open_input(&opened, path.c_str(), nullptr, nullptr);
  if (error < 0) return Refusal(path, LibraryReason(error));
  std::unique_ptr<AVFormatContext, InputFree> input(opened);
  if ((error = avformat_find_stream_info(input.get(), nullptr)) < 0)
    return Refusal(path, LibraryReason(error));
  const AVCodec* codec = nullptr;
  const int index = av_find_best_stream(input.get(), AVMEDIA_TYPE_AUDIO, -1, -1, &codec, 0);
  const AVCodecParameters* held = index >= 0 ? input->streams[index]->codecpar : nullptr;
  // A file only named as sound may still open, with a stream that says nothing.
  if (!codec || !held || held->sample_rate < 1 || held->ch_layout.nb_channels < 1)
    return Refusal(path, "it holds no sound FFmpeg can decode");
  CodecContextPtr decoder(avcodec_alloc_context3(codec));
  FramePtr frame(av_frame_alloc());
  PacketPtr packet(av_packet_alloc());
  if (!decoder || !frame || !packet) return Refusal(path, LibraryReason(AVERROR(ENOMEM)));
  if ((error = avcodec_parameters_to_context(decoder.get(), input->streams[index]->codecpar)) < 0 ||
      (error = avcodec_open2(decoder.get(), codec, nullptr)) < 0)
    return Refusal(path, LibraryReason(error));

  PcmSound sound;
  std::unique_ptr<SwrContext, ResamplerFree> resampler;
  // Every decoded frame to float, interleaved, at the file's own rate and channels.
  auto take = [&](AVFrame* f) -> Status {
    if (!resampler) {
      if (!f) return {};
      sound.sampleRate = f->sample_rate;
      sound.channels = f->ch_layout.nb_channels;
      if (sound.sampleRate < 1 || sound.channels < 1) return Error{"the sound has no channels"};
      SwrContext* made = nullptr;
      int e =
          swr_alloc_set_opts2(&made, &f->ch_layout, AV_SAMPLE_FMT_FLT, f->sample_rate,
                              &f->ch_layout, AVSampleFormat(f->format), f->sample_rate, 0, nullptr);
      resampler.reset(made);
      if (e < 0 || (e = swr_init(resampler.get())) < 0) return Error{LibraryReason(e)};
    }
    return Collect(resampler.get(), f, sound.channels, sound);
  };
  auto drain = [&]() -> Status {
    for (;;) {
      int e = avcodec_receive_frame(decoder.get(), frame.get());
      if (e == AVERROR(EAGAIN) || e == AVERROR_EOF) return {};
      if (e < 0) return Error{LibraryReason(e)};
      // A change of form inside the file is not followed: the first one holds.
      if (resampler && (frame->sample_rate != sound.sampleRate ||
                        frame->ch_layout.nb_channels != sound.channels))
        return Error{"its sound changes form part way"};
      Status taken = take(frame.get());
      av_frame_unref(frame.get());
      if (!taken) return taken;
    }
  };
  while ((error = av_read_frame(input.get(), packet.get())) >= 0) {
    if (packet->stream_index == index) {
      error = avcodec_send_packet(decoder.get(), packet.get());
      av_packet_unref(packet.get());
      // A damaged packet is skipped, as players do; the rest still decodes.
      if (error < 0 && error != AVERROR_INVALIDDATA) return Refusal(path, LibraryReason(error));
      if (Status s = drain(); !s) return Refusal(path, s.message());
    } else {
      av_packet_unref(packet.get());
    }
  }
  if (error != AVERROR_EOF) return Refusal(path, LibraryReason(error));
  avcodec_send_packet(decoder.get(), nullptr);
  if (Status s = drain(); !s) return Refusal(path, s.message());
  if (Status s = take(nullptr); !s) return Refusal(path, s.message());
  if (sound.FrameCount() == 0) return Refusal(path, "it holds no sound");
  return sound;
}

}  // namespace quenda
