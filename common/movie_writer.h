#pragma once
// What flipbooks and previews need of a movie file: pictures in order, at most one block of
// sound before them. AviWriter (media/) is the real one; tests record the calls instead.

#include <cstddef>
#include <cstdint>
#include <string>

#include "common/wave_format.h"

namespace quenda {

// What happens to a movie already at the path before the new one is opened: the last
// flipbook or preview is deleted, as the programs do; a file the user named is left to the
// writer, which replaces it only once the new movie is complete.
enum class OldMovie { Delete, LeaveToWriter };

class MovieWriter {
 public:
  virtual ~MovieWriter() = default;

  // Creates or replaces the movie. Quality runs from 0 (worst) to 10000 (best).
  virtual bool Open(const std::string& path, int quality, int framesPerSecond, int width,
                    int height) = 0;
  // The whole sound track as one block; at most once, before the first picture.
  virtual bool WriteSound(const WaveFormat& format, const uint8_t* samples,
                          std::size_t byteCount) = 0;
  // width x height x 3 bytes: blue, green, red, rows bottom first and not padded.
  virtual bool WriteFrame(int index, const uint8_t* bgrBottomUp) = 0;
  // Finishes the file; harmless when already closed.
  virtual void Close() = 0;
  // Drops the movie being written, leaving whatever was at the path; harmless when closed.
  virtual void Discard() = 0;
};

}  // namespace quenda
