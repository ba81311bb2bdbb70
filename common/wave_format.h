#pragma once
// The 18-byte wave format block of a wave file's "fmt " chunk, as sound is described to the
// movie writer and the audio output. The suite plays and stores 8-bit mono PCM only.

#include <cstdint>

namespace quenda {

inline constexpr uint16_t kWaveFormatPcm = 1;
inline constexpr int kWaveFormatBytes = 18;

struct WaveFormat {
  uint16_t formatTag = kWaveFormatPcm;
  uint16_t channels = 1;
  uint32_t samplesPerSecond = 22050;
  uint32_t averageBytesPerSecond = 22050;
  uint16_t blockAlign = 1;
  uint16_t bitsPerSample = 8;
  uint16_t extraSize = 0;  // bytes of format-specific data after these fields

  bool IsMono8BitPcm() const {
    return formatTag == kWaveFormatPcm && channels == 1 && bitsPerSample == 8;
  }
  bool operator==(const WaveFormat&) const = default;
};

}  // namespace quenda
