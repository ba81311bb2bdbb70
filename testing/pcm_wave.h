#pragma once
// Wave files as ordinary sound tools write them (16 or 24 bits, stereo, their own rate), built
// byte by byte here rather than by the suite's writer, and the 8-bit mono samples they should
// load as, worked out in floating point.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

namespace quenda::testing {

inline void PutLE(std::vector<uint8_t>& out, uint64_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(uint8_t(value >> (8 * i)));
}

struct PcmLayout {
  int bits = 16;
  int channels = 2;
  uint32_t rate = 44100;
  uint16_t tag = 1;         // 1 PCM, 2 ADPCM, 3 floating point
  bool extensible = false;  // the 40-byte format block, `tag` in its sub-format
};

// Interleaved signed values (8-bit ones as stored, 0..255) in a RIFF/WAVE file.
inline std::vector<uint8_t> PcmWave(const PcmLayout& l, const std::vector<int32_t>& values) {
  const int bytes = l.bits / 8;
  std::vector<uint8_t> fmt;
  PutLE(fmt, l.extensible ? 0xFFFE : l.tag, 2);
  PutLE(fmt, uint64_t(l.channels), 2);
  PutLE(fmt, l.rate, 4);
  PutLE(fmt, uint64_t(l.rate) * uint64_t(l.channels * bytes), 4);
  PutLE(fmt, uint64_t(l.channels * bytes), 2);
  PutLE(fmt, uint64_t(l.bits), 2);
  if (l.extensible) {
    PutLE(fmt, 22, 2);
    PutLE(fmt, uint64_t(l.bits), 2);
    PutLE(fmt, l.channels == 1 ? 4 : 3, 4);
    PutLE(fmt, l.tag, 2);
    for (int b : {0, 0, 0, 0, 0x10, 0, 0x80, 0, 0, 0xAA, 0, 0x38, 0x9B, 0x71}) fmt.push_back(b);
  }
  std::vector<uint8_t> data;
  for (int32_t v : values) PutLE(data, uint64_t(int64_t(v)), bytes);
  if (data.size() & 1) data.push_back(0);
  std::vector<uint8_t> out{'R', 'I', 'F', 'F'};
  PutLE(out, 4 + 8 + fmt.size() + 8 + data.size(), 4);
  for (char c : std::string("WAVEfmt ")) out.push_back(uint8_t(c));
  PutLE(out, fmt.size(), 4);
  out.insert(out.end(), fmt.begin(), fmt.end());
  for (char c : std::string("data")) out.push_back(uint8_t(c));
  PutLE(out, uint64_t(values.size()) * uint64_t(bytes), 4);
  out.insert(out.end(), data.begin(), data.end());
  return out;
}

// The mean of each frame's channels, divided by 2^(bits-8), rounded half away from zero,
// raised by 128 and clamped.
inline std::vector<uint8_t> ExpectedMono8(const PcmLayout& l, const std::vector<int32_t>& values) {
  std::vector<uint8_t> out;
  for (std::size_t i = 0; i + std::size_t(l.channels) <= values.size(); i += l.channels) {
    double sum = 0;
    for (int c = 0; c < l.channels; ++c)
      sum += l.bits == 8 ? values[i + c] - 128.0 : double(values[i + c]);
    double scaled = std::round(sum / l.channels / std::ldexp(1.0, l.bits - 8));
    out.push_back(uint8_t(std::clamp(scaled + 128, 0.0, 255.0)));
  }
  return out;
}

// A loud, busy signal across the whole range with the extremes and rounding ties in it.
inline std::vector<int32_t> PcmValues(const PcmLayout& l, std::size_t frames) {
  const int64_t top = (int64_t(1) << (l.bits - 1)) - 1;
  const int64_t unit = int64_t(1) << (l.bits - 8);
  std::vector<int32_t> values;
  uint32_t seed = 12345;
  for (std::size_t i = 0; i < frames * std::size_t(l.channels); ++i) {
    seed = seed * 1103515245u + 12345u;
    int64_t v = int64_t(seed >> 8) % (2 * top + 2) - top - 1;
    if (i % 7 == 0) v = top;
    if (i % 7 == 1) v = -top - 1;
    if (i % 7 == 2) v = (i % 2 ? unit : -unit) * 3 / 2;  // a tie between two steps
    values.push_back(l.bits == 8 ? int32_t(v + 128) : int32_t(v));
  }
  return values;
}

}  // namespace quenda::testing
