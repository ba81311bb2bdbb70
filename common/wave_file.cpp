#include "common/wave_file.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <optional>

#include "common/byte_order.h"
#include "common/file_io.h"

namespace quenda {
namespace {

constexpr std::size_t kChunkHeaderBytes = 8;
constexpr std::size_t kFormTypeBytes = 4;

struct Chunk {
  std::size_t body = 0;  // offset of the first byte after the header
  std::size_t size = 0;  // as stored; may pass the end of what holds it
};

bool IdIs(const uint8_t* p, const char* id) {
  return std::memcmp(p, id, 4) == 0;
}

// The first chunk `id` whose header lies within [from, end); later chunks are reached by
// skipping bodies padded to an even length.
std::optional<Chunk> FindChunk(std::span<const uint8_t> bytes, std::size_t from, std::size_t end,
                               const char* id) {
  std::size_t at = from;
  while (end >= kChunkHeaderBytes && at <= end - kChunkHeaderBytes) {
    Chunk chunk{at + kChunkHeaderBytes, GetU32LE(bytes.data() + at + 4)};
    if (IdIs(bytes.data() + at, id)) return chunk;
    std::size_t padded = chunk.size + (chunk.size & 1);
    if (padded > end - chunk.body) break;
    at = chunk.body + padded;
  }
  return std::nullopt;
}

std::optional<Chunk> FindWaveForm(std::span<const uint8_t> bytes) {
  std::size_t at = 0;
  while (true) {
    std::optional<Chunk> riff = FindChunk(bytes, at, bytes.size(), "RIFF");
    if (!riff) return std::nullopt;
    if (riff->size >= kFormTypeBytes && bytes.size() - riff->body >= kFormTypeBytes &&
        IdIs(bytes.data() + riff->body, "WAVE"))
      return riff;
    std::size_t padded = riff->size + (riff->size & 1);
    if (padded > bytes.size() - riff->body) return std::nullopt;
    at = riff->body + padded;
  }
}

constexpr uint16_t kWaveFormatExtensible = 0xFFFE;
constexpr std::size_t kExtensibleExtraBytes = 22;
constexpr int kMaxConvertedChannels = 2;

// The sub-format of an extensible format block is a GUID whose first two bytes carry the format
// tag and whose other fourteen are these.
constexpr uint8_t kGuidTail[14] = {0x00, 0x00, 0x00, 0x00, 0x10, 0x00, 0x80,
                                   0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};

// The format tag a "fmt " chunk describes, looking through the extensible block.
uint16_t EffectiveTag(const uint8_t* fmt, std::size_t fmtSize) {
  uint16_t tag = GetU16LE(fmt);
  if (tag != kWaveFormatExtensible) return tag;
  constexpr std::size_t kSubFormat = kWaveFormatMinimumBytes + 2 + 6;
  if (fmtSize < kWaveFormatMinimumBytes + 2 + kExtensibleExtraBytes ||
      GetU16LE(fmt + kWaveFormatMinimumBytes) < kExtensibleExtraBytes ||
      std::memcmp(fmt + kSubFormat + 2, kGuidTail, sizeof kGuidTail) != 0)
    return tag;
  return GetU16LE(fmt + kSubFormat);
}

bool Convertible(const WaveFormat& f, uint16_t tag) {
  int bytes = f.bitsPerSample / 8;
  return tag == kWaveFormatPcm && f.channels >= 1 && f.channels <= kMaxConvertedChannels &&
         f.bitsPerSample % 8 == 0 && bytes >= 1 && bytes <= 4 && f.blockAlign == f.channels * bytes;
}

int32_t SampleValue(const uint8_t* p, int bytes) {
  switch (bytes) {
    case 1:
      return int32_t(*p) - 128;
    case 2:
      return int16_t(GetU16LE(p));
    case 3:
      return int32_t(uint32_t(p[0]) << 8 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 24) >> 8;
    default:
      return int32_t(GetU32LE(p));
  }
}

std::string Describe(const WaveFormat& f) {
  return "Converted " + std::to_string(f.bitsPerSample) + "-bit " +
         (f.channels == 1 ? "mono " : "stereo ") + std::to_string(f.samplesPerSecond) +
         " Hz sound to 8-bit mono.";
}

// Whole sample frames only: a partial one at the end is dropped.
WaveSound Convert(const WaveFormat& from, std::span<const uint8_t> data) {
  const int bytes = from.bitsPerSample / 8;
  const std::size_t frames = data.size() / from.blockAlign;
  WaveSound sound;
  sound.format.samplesPerSecond = sound.format.averageBytesPerSecond = from.samplesPerSecond;
  sound.conversion = Describe(from);
  sound.samples.resize(frames);
  int32_t values[kMaxConvertedChannels];
  for (std::size_t i = 0; i < frames; ++i) {
    const uint8_t* frame = data.data() + i * from.blockAlign;
    for (int c = 0; c < from.channels; ++c) values[c] = SampleValue(frame + c * bytes, bytes);
    sound.samples[i] = MixTo8Bit({values, from.channels}, from.bitsPerSample);
  }
  return sound;
}

}  // namespace

uint8_t MixTo8Bit(std::span<const int32_t> channelValues, int bitsPerSample) {
  int64_t sum = 0;
  for (int32_t v : channelValues) sum += v;
  // round(sum / divisor) half away from zero, in integers: floor((2|sum| + divisor) / 2divisor).
  const int64_t divisor = int64_t(channelValues.size()) << (bitsPerSample - 8);
  const int64_t magnitude = (2 * std::llabs(sum) + divisor) / (2 * divisor);
  const int64_t rounded = sum < 0 ? -magnitude : magnitude;
  return uint8_t(std::clamp<int64_t>(rounded + 128, 0, 255));
}

Result<WaveSound> ParseWaveFile(std::span<const uint8_t> bytes) {
  std::optional<Chunk> riff = FindWaveForm(bytes);
  if (!riff) return Error{std::string(kWaveNotWave)};
  std::size_t formEnd = riff->body + std::min<std::size_t>(riff->size, bytes.size() - riff->body);
  std::size_t contents = riff->body + kFormTypeBytes;

  std::optional<Chunk> fmt = FindChunk(bytes, contents, formEnd, "fmt ");
  if (!fmt || fmt->size > formEnd - fmt->body || fmt->size < kWaveFormatMinimumBytes)
    return Error{std::string(kWaveCorrupt)};
  const uint8_t* f = bytes.data() + fmt->body;
  WaveSound sound;
  sound.format.formatTag = GetU16LE(f);
  sound.format.channels = GetU16LE(f + 2);
  sound.format.samplesPerSecond = GetU32LE(f + 4);
  sound.format.averageBytesPerSecond = GetU32LE(f + 8);
  sound.format.blockAlign = GetU16LE(f + 12);
  sound.format.bitsPerSample = GetU16LE(f + 14);
  sound.format.extraSize = fmt->size >= kWaveFormatMinimumBytes + 2 ? GetU16LE(f + 16) : 0;
  const bool keep = sound.format.IsMono8BitPcm();
  if (!keep && !Convertible(sound.format, EffectiveTag(f, fmt->size)))
    return Error{std::string(kWaveUnsupported)};

  std::size_t afterFmt = fmt->body + fmt->size + (fmt->size & 1);
  std::optional<Chunk> data =
      afterFmt <= formEnd ? FindChunk(bytes, afterFmt, formEnd, "data") : std::nullopt;
  if (!data) return Error{std::string(kWaveCorrupt)};
  if (data->size == 0) return Error{std::string(kWaveEmpty)};
  if (data->size > formEnd - data->body) return Error{std::string(kWaveCorrupt)};
  if (!keep) {
    WaveSound converted = Convert(sound.format, bytes.subspan(data->body, data->size));
    if (converted.samples.empty()) return Error{std::string(kWaveEmpty)};
    return converted;
  }
  sound.samples.assign(bytes.begin() + std::ptrdiff_t(data->body),
                       bytes.begin() + std::ptrdiff_t(data->body + data->size));
  return sound;
}

Result<WaveSound> ReadWaveFile(const std::string& path) {
  if (path.size() < 5 || !path.ends_with(".wav")) return Error{std::string(kWaveBadExtension)};
  std::optional<std::vector<uint8_t>> bytes = ReadFileBytes(path);
  if (!bytes) return Error{std::string(kWaveCannotOpen)};
  return ParseWaveFile(*bytes);
}

std::vector<uint8_t> EncodeWaveFile(const WaveFormat& format, std::span<const uint8_t> samples) {
  // RIFF header, form type, "fmt " chunk of 18 bytes, "data" chunk header: 46 bytes.
  constexpr std::size_t kHeaderBytes = 46;
  std::size_t padded = samples.size() + (samples.size() & 1);
  std::vector<uint8_t> out(kHeaderBytes + padded, 0);
  const char ids[] = "RIFF....WAVEfmt ";
  for (std::size_t i = 0; i < 16; ++i) out[i] = uint8_t(ids[i]);
  SetU32LE(&out[4], uint32_t(kHeaderBytes - kChunkHeaderBytes + padded));
  SetU32LE(&out[16], 18);
  SetU16LE(&out[20], format.formatTag);
  SetU16LE(&out[22], format.channels);
  SetU32LE(&out[24], format.samplesPerSecond);
  SetU32LE(&out[28], format.averageBytesPerSecond);
  SetU16LE(&out[32], format.blockAlign);
  SetU16LE(&out[34], format.bitsPerSample);
  out[38] = 'd', out[39] = 'a', out[40] = 't', out[41] = 'a';
  SetU32LE(&out[42], uint32_t(samples.size()));
  std::copy(samples.begin(), samples.end(), out.begin() + kHeaderBytes);
  return out;
}

}  // namespace quenda
