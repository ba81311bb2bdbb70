#pragma once
// Sound in full, as a decoder delivers it and a movie encoder takes it: samples interleaved by
// channel, each -1..1, at the file's own rate.

#include <cstddef>
#include <vector>

namespace quenda {

struct PcmSound {
  int sampleRate = 48000;
  int channels = 2;
  std::vector<float> samples;
  std::size_t FrameCount() const {
    return channels > 0 ? samples.size() / std::size_t(channels) : 0;
  }
};

}  // namespace quenda
