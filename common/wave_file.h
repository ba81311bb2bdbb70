#pragma once
// Wave files: the RIFF "WAVE" form with its "fmt " and "data" chunks, read as the exposure
// sheet loads a sound track; every step words its own failure. The sheet and the flipbook use
// 8-bit mono PCM, and that is kept as stored. Other integer PCM (8, 16, 24 or 32 bits, one or two
// channels, plain or in the extensible format block) is converted on load to 8-bit mono at its own
// rate, exactly as a file converted beforehand would read; compressed, floating-point and
// many-channel sound is refused.
//
// Chunks are walked as a buffered multimedia reader walks them: the first RIFF chunk of form
// "WAVE" at the top level, the first "fmt " chunk inside it, then the first "data" chunk after
// the "fmt " chunk. Chunk bodies are padded to an even length. A chunk is bounded by the file
// and by the chunk that holds it, so a size field never reads past either.

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "common/result.h"
#include "common/wave_format.h"

namespace quenda {

inline constexpr std::string_view kWaveBadExtension = "Invalid Audio File extension";
inline constexpr std::string_view kWaveCannotOpen = "Could not open audio file!";
inline constexpr std::string_view kWaveNotWave = "Incorrect audio file format!";
inline constexpr std::string_view kWaveCorrupt = "Corrupt audio file!";
inline constexpr std::string_view kWaveUnsupported =
    "Unsupported audio file!\n(8bit Mono PCM or Radio Quality in Sound Recorder Supported)";
inline constexpr std::string_view kWaveEmpty = "Empty audio file!";

// The smallest "fmt " chunk that describes PCM: the fields up to bits per sample.
inline constexpr std::size_t kWaveFormatMinimumBytes = 16;

struct WaveSound {
  WaveFormat format;
  std::vector<uint8_t> samples;  // one byte per sample, 128 is silence
  // Says what was converted on load ("Converted 16-bit stereo 44100 Hz sound to 8-bit mono.");
  // empty for a file that already was 8-bit mono.
  std::string conversion;
};

// One sample frame of integer PCM to 8 bits. The channels' signed values (8-bit ones less 128)
// are summed as integers; their mean, a real number, is divided by 2^(bits-8), rounded half away
// from zero, raised by 128 and clamped to 0..255.
uint8_t MixTo8Bit(std::span<const int32_t> channelValues, int bitsPerSample);

// The checks from the RIFF form on.
Result<WaveSound> ParseWaveFile(std::span<const uint8_t> bytes);
// First the name: at least 5 characters ending in ".wav" (lower case); then the file.
Result<WaveSound> ReadWaveFile(const std::string& path);

// An 8-bit mono PCM file of these samples, for tests and the demo's sound track.
std::vector<uint8_t> EncodeWaveFile(const WaveFormat& format, std::span<const uint8_t> samples);

}  // namespace quenda
