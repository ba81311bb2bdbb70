#pragma once
// Where the movie player and the exposure sheet send sound. The Qt Multimedia implementation plays
// it on the system's output device; tests use a fake with a clock of their choosing.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "common/wave_format.h"

namespace quenda {

class AudioOutput {
 public:
  virtual ~AudioOutput() = default;

  // Whether any output device can play sound of this format.
  virtual bool CanPlay(const WaveFormat& format) = 0;
  // Takes a device for the format; false when it cannot be had.
  virtual bool Open(const WaveFormat& format) = 0;
  // Plays `samples` from byte `startByte` on, cutting off whatever was playing. The bytes
  // must stay alive until Stop or the next Play.
  virtual bool Play(const std::vector<uint8_t>& samples, std::size_t startByte) = 0;
  virtual void Stop() = 0;
  // Milliseconds played since the last Play, while it is still playing.
  virtual std::optional<double> PlayedMs() = 0;
};

}  // namespace quenda
