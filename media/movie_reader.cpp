#include "media/movie_reader.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <limits>
#include <variant>

#include "media/avi_messages.h"
#include "media/ffmpeg_support.h"
#include "media/movie_encoder.h"
#include "media/sound_decoder.h"

namespace quenda {
namespace {

using namespace quenda::media;

constexpr int kMaxSide = 16384;
constexpr std::string_view kNoFrame = "Internal Error in DrawFrame: Invalid Frame no!";
constexpr std::string_view kBadFrame = "The movie frame could not be decoded.";

// A movie held in memory, read through FFmpeg's I/O callbacks.
struct MemoryCursor {
  std::shared_ptr<const std::vector<uint8_t>> bytes;
  int64_t position = 0;

  static int Read(void* opaque, uint8_t* buffer, int size) {
    auto& cursor = *static_cast<MemoryCursor*>(opaque);
    const int64_t total = int64_t(cursor.bytes->size());
    const int64_t count = std::min<int64_t>(size, total - cursor.position);
    if (count <= 0) return AVERROR_EOF;
    std::memcpy(buffer, cursor.bytes->data() + cursor.position, std::size_t(count));
    cursor.position += count;
    return int(count);
  }
  static int64_t Seek(void* opaque, int64_t offset, int whence) {
    auto& cursor = *static_cast<MemoryCursor*>(opaque);
    const int64_t total = int64_t(cursor.bytes->size());
    if (whence == AVSEEK_SIZE) return total;
    int64_t target = offset;
    if ((whence & ~AVSEEK_FORCE) == SEEK_CUR) target += cursor.position;
    if ((whence & ~AVSEEK_FORCE) == SEEK_END) target += total;
    if (target < 0 || target > total) return AVERROR(EINVAL);
    cursor.position = target;
    return target;
  }
};

// The open container, with the memory reader it may read through.
struct MovieInput {
  AVFormatContext* format = nullptr;
  AVIOContext* io = nullptr;
  std::unique_ptr<MemoryCursor> cursor;

  MovieInput() = default;
  MovieInput(const MovieInput&) = delete;
  MovieInput& operator=(const MovieInput&) = delete;
  ~MovieInput() {
    avformat_close_input(&format);
    if (io) av_freep(&io->buffer);
    avio_context_free(&io);
  }
};

using Source = std::variant<std::string, std::shared_ptr<const std::vector<uint8_t>>>;

constexpr int kMemoryBufferBytes = 32 * 1024;

// MP4 and MOV by the name; everything else, and every movie in memory, as AVI.
bool IsEncodedMovie(const Source& source) {
  const std::string* path = std::get_if<std::string>(&source);
  return path && CodecForMovieName(*path).has_value();
}

Result<std::unique_ptr<MovieInput>> OpenAvi(const Source& source) {
  QuietLibraryLog();
  auto input = std::make_unique<MovieInput>();
  const std::string* path = std::get_if<std::string>(&source);
  if (path) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(*path, error)) return Error{std::string(kPlayerFileOpen)};
  } else {
    input->cursor = std::make_unique<MemoryCursor>();
    input->cursor->bytes = std::get<1>(source);
    auto* buffer = static_cast<uint8_t*>(av_malloc(kMemoryBufferBytes));
    if (buffer)
      input->io = avio_alloc_context(buffer, kMemoryBufferBytes, 0, input->cursor.get(),
                                     &MemoryCursor::Read, nullptr, &MemoryCursor::Seek);
    if (!input->io) {
      av_free(buffer);
      return Error{std::string(kPlayerNoMemory)};
    }
    input->format = avformat_alloc_context();
    if (!input->format) return Error{std::string(kPlayerNoMemory)};
    input->format->pb = input->io;
  }
  const AVInputFormat* avi = av_find_input_format(IsEncodedMovie(source) ? "mov" : "avi");
  if (!avi) return Error{std::string(kPlayerNoHandler)};
  int code = avformat_open_input(&input->format, path ? path->c_str() : nullptr, avi, nullptr);
  if (code < 0) return Error{std::string(PlayerMessageFor(code))};
  if ((code = avformat_find_stream_info(input->format, nullptr)) < 0)
    return Error{std::string(PlayerMessageFor(code))};
  return input;
}

// The whole sound of an MP4 or MOV as 16-bit PCM of one or two channels.
Result<std::vector<uint8_t>> DecodedSoundBytes(const std::string& path, int channels) {
  Result<PcmSound> decoded = DecodeSoundFile(path);
  if (!decoded) return Error{std::string(kPlayerFileRead)};
  const std::size_t frames = decoded->FrameCount();
  const std::size_t from = std::size_t(decoded->channels);
  std::vector<uint8_t> bytes(frames * std::size_t(channels) * 2);
  for (std::size_t i = 0; i < frames; ++i)
    for (int c = 0; c < channels; ++c) {
      const float v = decoded->samples[i * from + std::size_t(std::min(c, decoded->channels - 1))];
      const auto value = int16_t(std::lround(std::clamp(v, -1.0f, 1.0f) * 32767.0f));
      std::memcpy(&bytes[(i * std::size_t(channels) + std::size_t(c)) * 2], &value, 2);
    }
  return bytes;
}

int FindStream(AVFormatContext& input, AVMediaType type) {
  for (unsigned i = 0; i < input.nb_streams; ++i)
    if (input.streams[i]->codecpar->codec_type == type) return int(i);
  return -1;
}

}  // namespace

struct MovieReader::State {
  Source source;
  std::unique_ptr<MovieInput> opened;
  AVFormatContext* input = nullptr;  // opened's
  int videoIndex = -1;
  int soundIndex = -1;
  int width = 0;
  int height = 0;
  int frameCount = 0;
  int rate = 0;
  int scale = 1;
  bool encoded = false;  // MP4 or MOV: frames counted from the stream's start time
  int64_t startPts = 0;
  std::string videoCodec;
  std::string streamName;
  WaveFormat soundFormat;
  std::string soundCodec;

  CodecContextPtr decoder;
  PacketPtr packet;
  FramePtr decoded;  // the latest frame out of the decoder
  FramePtr shown;    // the frame last handed out, kept for repeats
  ScalerPtr scaler;
  int64_t shownPts = -1;
  int64_t decodedPts = -1;  // a decoded frame not yet handed out, or -1
  bool endOfStream = false;
};

MovieReader::MovieReader(std::unique_ptr<State> state) : state_(std::move(state)) {}
MovieReader::~MovieReader() = default;

Result<std::unique_ptr<MovieReader>> MovieReader::Open(const std::string& path) {
  return OpenSource(path);
}

Result<std::unique_ptr<MovieReader>> MovieReader::OpenBytes(std::vector<uint8_t> bytes) {
  return OpenSource(std::make_shared<const std::vector<uint8_t>>(std::move(bytes)));
}

Result<std::unique_ptr<MovieReader>> MovieReader::OpenSource(const Source& source) {
  auto opened = OpenAvi(source);
  if (!opened) return Error{opened.message()};
  auto state = std::make_unique<State>();
  state->source = source;
  state->opened = std::move(*opened);
  state->input = state->opened->format;
  AVFormatContext& input = *state->input;
  state->videoIndex = FindStream(input, AVMEDIA_TYPE_VIDEO);
  if (state->videoIndex < 0) return Error{std::string(kPlayerNoVideo)};
  AVStream& video = *input.streams[state->videoIndex];
  state->width = video.codecpar->width;
  state->height = video.codecpar->height;
  if (state->width < 1 || state->height < 1 || state->width > kMaxSide ||
      state->height > kMaxSide || video.time_base.num < 1 || video.time_base.den < 1)
    return Error{std::string(kPlayerBadFormat)};
  // An AVI picture stream's time base is its scale over its rate: one tick per frame. MP4 and
  // MOV count finer ticks; their frame rate is the stream's own.
  state->rate = video.time_base.den;
  state->scale = video.time_base.num;
  state->encoded = IsEncodedMovie(source);
  if (state->encoded) {
    if (video.avg_frame_rate.num < 1 || video.avg_frame_rate.den < 1)
      return Error{std::string(kPlayerBadFormat)};
    state->rate = video.avg_frame_rate.num;
    state->scale = video.avg_frame_rate.den;
    state->startPts = video.start_time == AV_NOPTS_VALUE ? 0 : video.start_time;
  }
  int64_t frames = video.nb_frames > 0 ? video.nb_frames
                   : state->encoded    ? av_rescale_q(video.duration, video.time_base,
                                                      AVRational{state->scale, state->rate})
                                       : video.duration;
  if (frames < 0) frames = 0;
  if (frames > std::numeric_limits<int>::max()) return Error{std::string(kPlayerBadFormat)};
  state->frameCount = int(frames);
  const AVCodecDescriptor* codec = avcodec_descriptor_get(video.codecpar->codec_id);
  state->videoCodec = codec ? codec->name : "unknown";
  if (const AVDictionaryEntry* title = av_dict_get(video.metadata, "title", nullptr, 0))
    state->streamName = title->value;

  state->soundIndex = FindStream(input, AVMEDIA_TYPE_AUDIO);
  if (state->soundIndex >= 0) {
    const AVCodecParameters& par = *input.streams[state->soundIndex]->codecpar;
    const AVCodecDescriptor* sound = avcodec_descriptor_get(par.codec_id);
    state->soundCodec = sound ? sound->name : "unknown";
    WaveFormat& format = state->soundFormat;
    if (state->encoded) {
      // Decoded in full when asked for, and handed out as 16-bit PCM.
      format.formatTag = kWaveFormatPcm;
      format.channels = uint16_t(std::clamp(par.ch_layout.nb_channels, 1, 2));
      format.samplesPerSecond = uint32_t(std::max(par.sample_rate, 0));
      format.bitsPerSample = 16;
      format.blockAlign = uint16_t(format.channels * 2);
      format.averageBytesPerSecond = format.samplesPerSecond * format.blockAlign;
      return std::unique_ptr<MovieReader>(new MovieReader(std::move(state)));
    }
    const bool pcm = par.codec_id == AV_CODEC_ID_PCM_U8 || par.codec_id == AV_CODEC_ID_PCM_S16LE;
    format.formatTag = pcm ? kWaveFormatPcm : uint16_t(par.codec_tag);
    format.channels = uint16_t(par.ch_layout.nb_channels);
    format.samplesPerSecond = uint32_t(std::max(par.sample_rate, 0));
    format.bitsPerSample = uint16_t(par.codec_id == AV_CODEC_ID_PCM_U8      ? 8
                                    : par.codec_id == AV_CODEC_ID_PCM_S16LE ? 16
                                                                            : 0);
    format.blockAlign = uint16_t(par.block_align);
    format.averageBytesPerSecond = format.samplesPerSecond * format.blockAlign;
    format.extraSize = 0;
  }
  return std::unique_ptr<MovieReader>(new MovieReader(std::move(state)));
}

Status MovieReader::OpenDecoder() {
  State& s = *state_;
  if (s.decoder) return {};
  const AVCodecParameters& par = *s.input->streams[s.videoIndex]->codecpar;
  const AVCodec* codec = avcodec_find_decoder(par.codec_id);
  if (!codec) return Error{std::string(kPlayerNoDecompressor)};
  CodecContextPtr decoder(avcodec_alloc_context3(codec));
  s.packet.reset(av_packet_alloc());
  s.decoded.reset(av_frame_alloc());
  s.shown.reset(av_frame_alloc());
  if (!decoder || !s.packet || !s.decoded || !s.shown) return Error{std::string(kPlayerNoMemory)};
  if (avcodec_parameters_to_context(decoder.get(), &par) < 0 ||
      avcodec_open2(decoder.get(), codec, nullptr) < 0)
    return Error{std::string(kPlayerNoDecompressor)};
  s.decoder = std::move(decoder);
  return {};
}

int MovieReader::width() const {
  return state_->width;
}
int MovieReader::height() const {
  return state_->height;
}
int MovieReader::frameCount() const {
  return state_->frameCount;
}
int MovieReader::rate() const {
  return state_->rate;
}
int MovieReader::scale() const {
  return state_->scale;
}
double MovieReader::framesPerSecond() const {
  return double(state_->rate) / state_->scale;
}
const std::string& MovieReader::videoCodec() const {
  return state_->videoCodec;
}
const std::string& MovieReader::streamName() const {
  return state_->streamName;
}
bool MovieReader::hasSound() const {
  return state_->soundIndex >= 0;
}
const WaveFormat& MovieReader::soundFormat() const {
  return state_->soundFormat;
}
const std::string& MovieReader::soundCodec() const {
  return state_->soundCodec;
}

Result<std::vector<uint8_t>> MovieReader::ReadSound() const {
  std::vector<uint8_t> bytes;
  if (state_->soundIndex < 0) return bytes;
  if (state_->encoded)
    return DecodedSoundBytes(std::get<std::string>(state_->source), state_->soundFormat.channels);
  auto opened = OpenAvi(state_->source);
  if (!opened) return Error{opened.message()};
  PacketPtr packet(av_packet_alloc());
  if (!packet) return Error{std::string(kPlayerNoMemory)};
  for (;;) {
    int error = av_read_frame((*opened)->format, packet.get());
    if (error == AVERROR_EOF) break;
    if (error < 0) return Error{std::string(PlayerMessageFor(error))};
    if (packet->stream_index == state_->soundIndex && packet->size > 0)
      bytes.insert(bytes.end(), packet->data, packet->data + packet->size);
    av_packet_unref(packet.get());
  }
  return bytes;
}

// Decodes on from where the decoder stands to the last frame whose time is not after
// `index`. Returns false when the stream holds no such frame.
bool MovieReader::DecodeUpTo(int64_t index) {
  State& s = *state_;
  for (;;) {
    if (s.decodedPts >= 0) {
      if (s.decodedPts > index) return s.shownPts >= 0;
      av_frame_unref(s.shown.get());
      av_frame_move_ref(s.shown.get(), s.decoded.get());
      s.shownPts = s.decodedPts;
      s.decodedPts = -1;
      if (s.shownPts == index) return true;
    }
    int error = avcodec_receive_frame(s.decoder.get(), s.decoded.get());
    if (error == 0) {
      int64_t pts = s.decoded->best_effort_timestamp;
      if (pts != AV_NOPTS_VALUE && s.encoded)
        pts = av_rescale_q_rnd(pts - s.startPts, s.input->streams[s.videoIndex]->time_base,
                               AVRational{s.scale, s.rate}, AV_ROUND_NEAR_INF);
      s.decodedPts = pts == AV_NOPTS_VALUE ? s.shownPts + 1 : std::max<int64_t>(pts, 0);
      continue;
    }
    if (error == AVERROR_EOF) return s.shownPts >= 0;
    if (error != AVERROR(EAGAIN)) return false;
    if (s.endOfStream) return s.shownPts >= 0;
    error = av_read_frame(s.input, s.packet.get());
    if (error < 0) {
      s.endOfStream = true;
      avcodec_send_packet(s.decoder.get(), nullptr);
      continue;
    }
    // Empty chunks stand for repeated frames; an empty packet would end the decoder.
    if (s.packet->stream_index == s.videoIndex && s.packet->size > 0)
      avcodec_send_packet(s.decoder.get(), s.packet.get());
    av_packet_unref(s.packet.get());
  }
}

Status MovieReader::ReadFrame(int index, uint8_t* bgrBottomUp) {
  State& s = *state_;
  if (index < 0 || index >= s.frameCount) return Error{std::string(kNoFrame)};
  if (Status opened = OpenDecoder(); !opened) return opened;
  constexpr int kDecodeAheadLimit = 64;  // beyond this a seek is cheaper than decoding on
  const bool forward =
      s.shownPts >= 0 && index >= s.shownPts && index <= s.shownPts + kDecodeAheadLimit;
  if (!forward) {
    // Back or far ahead: seek to the key frame at or before it and decode forwards.
    const int64_t target =
        s.encoded ? s.startPts + av_rescale_q(index, AVRational{s.scale, s.rate},
                                              s.input->streams[s.videoIndex]->time_base)
                  : index;
    if (av_seek_frame(s.input, s.videoIndex, target, AVSEEK_FLAG_BACKWARD) < 0 &&
        av_seek_frame(s.input, s.videoIndex, s.startPts, AVSEEK_FLAG_BACKWARD) < 0)
      return Error{std::string(kBadFrame)};
    avcodec_flush_buffers(s.decoder.get());
    av_frame_unref(s.shown.get());
    av_frame_unref(s.decoded.get());
    s.shownPts = s.decodedPts = -1;
    s.endOfStream = false;
  }
  if (!DecodeUpTo(index)) return Error{std::string(kBadFrame)};
  const AVFrame& frame = *s.shown;
  if (frame.width != s.width || frame.height != s.height) return Error{std::string(kBadFrame)};
  s.scaler.reset(sws_getCachedContext(
      s.scaler.release(), frame.width, frame.height, AVPixelFormat(frame.format), s.width, s.height,
      AV_PIX_FMT_BGR24, SWS_BICUBIC | SWS_ACCURATE_RND, nullptr, nullptr, nullptr));
  if (!s.scaler) return Error{std::string(kBadFrame)};
  // Rows bottom first: write the top row into the last row and step backwards.
  const int stride = s.width * 3;
  uint8_t* target[1] = {bgrBottomUp + std::size_t(stride) * (s.height - 1)};
  const int targetStride[1] = {-stride};
  sws_scale(s.scaler.get(), frame.data, frame.linesize, 0, frame.height, target, targetStride);
  return {};
}

}  // namespace quenda
