#include "media/movie_facts.h"

#include <filesystem>

#include "media/avi_messages.h"
#include "media/ffmpeg_support.h"
#include "media/movie_encoder.h"

extern "C" {
#include <libavutil/pixdesc.h>
}

namespace quenda {
namespace {

using namespace quenda::media;

struct InputClose {
  void operator()(AVFormatContext* c) const { avformat_close_input(&c); }
};

double StreamSeconds(const AVFormatContext& input, const AVStream& stream) {
  if (stream.duration != AV_NOPTS_VALUE && stream.duration > 0)
    return double(stream.duration) * av_q2d(stream.time_base);
  return input.duration > 0 ? double(input.duration) / AV_TIME_BASE : 0;
}

const AVStream* FirstStream(const AVFormatContext& input, AVMediaType type) {
  for (unsigned i = 0; i < input.nb_streams; ++i)
    if (input.streams[i]->codecpar->codec_type == type) return input.streams[i];
  return nullptr;
}

std::string StreamCodecName(AVCodecID id) {
  const AVCodecDescriptor* codec = avcodec_descriptor_get(id);
  return codec ? codec->name : "unknown";
}

}  // namespace

Result<MovieFacts> ReadMovieFacts(const std::string& path) {
  QuietLibraryLog();
  std::error_code missing;
  if (!std::filesystem::is_regular_file(path, missing)) return Error{std::string(kPlayerFileOpen)};
  const std::optional<MovieCodec> named = CodecForMovieName(path);
  AVFormatContext* opened = nullptr;
  // MP4 and MOV share one reader in FFmpeg.
  int code = avformat_open_input(&opened, path.c_str(), av_find_input_format("mov"), nullptr);
  if (code < 0) return Error{std::string(PlayerMessageFor(code))};
  std::unique_ptr<AVFormatContext, InputClose> input(opened);
  if ((code = avformat_find_stream_info(input.get(), nullptr)) < 0)
    return Error{std::string(PlayerMessageFor(code))};
  const AVStream* video = FirstStream(*input, AVMEDIA_TYPE_VIDEO);
  if (!video) return Error{std::string(kPlayerNoVideo)};

  MovieFacts facts;
  facts.container = named == MovieCodec::ProRes4444 ? "MOV" : "MP4";
  const AVCodecParameters& picture = *video->codecpar;
  facts.codec = StreamCodecName(picture.codec_id);
  if (const char* profile = avcodec_profile_name(picture.codec_id, picture.profile))
    facts.profile = profile;
  const auto format = AVPixelFormat(picture.format);
  if (const char* name = av_get_pix_fmt_name(format)) facts.pixelFormat = name;
  const AVPixFmtDescriptor* layout = av_pix_fmt_desc_get(format);
  facts.alpha = layout && (layout->flags & AV_PIX_FMT_FLAG_ALPHA);
  facts.width = picture.width;
  facts.height = picture.height;
  AVRational rate = video->avg_frame_rate.num > 0 ? video->avg_frame_rate : video->r_frame_rate;
  if (rate.num > 0 && rate.den > 0) {
    facts.rateNumerator = rate.num;
    facts.rateDenominator = rate.den;
  }
  facts.seconds = StreamSeconds(*input, *video);
  facts.frames = video->nb_frames > 0 ? video->nb_frames
                 : rate.num > 0       ? (long long)(facts.seconds * av_q2d(rate) + 0.5)
                                      : 0;
  if (const AVStream* sound = FirstStream(*input, AVMEDIA_TYPE_AUDIO)) {
    const AVCodecParameters& par = *sound->codecpar;
    SoundStreamFacts s;
    s.codec = StreamCodecName(par.codec_id);
    s.channels = par.ch_layout.nb_channels;
    s.samplesPerSecond = par.sample_rate;
    // Only uncompressed sound keeps a fixed number of bits per sample.
    s.bitsPerSample = av_get_exact_bits_per_sample(par.codec_id);
    s.seconds = StreamSeconds(*input, *sound);
    facts.sound = s;
  }
  return facts;
}

}  // namespace quenda
