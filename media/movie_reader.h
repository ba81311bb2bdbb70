#pragma once
// Reads AVI movies for the player, `quenda info` and the tests: the picture stream's size,
// rate and length, any frame as a picture (blue, green, red, rows bottom first, not padded),
// and the whole sound stream. Opening failures carry the player's messages.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <variant>
#include <vector>

#include "common/result.h"
#include "common/wave_format.h"

namespace quenda {

class MovieReader {
 public:
  ~MovieReader();
  MovieReader(const MovieReader&) = delete;
  MovieReader& operator=(const MovieReader&) = delete;

  // Opens the file as an AVI movie and finds its first picture stream.
  static Result<std::unique_ptr<MovieReader>> Open(const std::string& path);
  // The same for a movie held in memory.
  static Result<std::unique_ptr<MovieReader>> OpenBytes(std::vector<uint8_t> bytes);

  // Makes frames readable; fails with "No Decompressors found for the video stream".
  Status OpenDecoder();

  int width() const;
  int height() const;
  int frameCount() const;  // the picture stream's length in frames
  int rate() const;        // rate / scale = frames per second
  int scale() const;
  double framesPerSecond() const;
  const std::string& videoCodec() const;
  const std::string& streamName() const;  // empty when the movie names none

  bool hasSound() const;
  // PCM sound is described as it is stored; other sound gets its own format tag.
  const WaveFormat& soundFormat() const;
  const std::string& soundCodec() const;
  // The whole sound stream's bytes, read in a pass of its own.
  Result<std::vector<uint8_t>> ReadSound() const;

  // Frame `index` (0-based) into width x height x 3 bytes. A frame the movie leaves empty
  // repeats the one before it.
  Status ReadFrame(int index, uint8_t* bgrBottomUp);

 private:
  struct State;
  using Source = std::variant<std::string, std::shared_ptr<const std::vector<uint8_t>>>;
  static Result<std::unique_ptr<MovieReader>> OpenSource(const Source& source);
  explicit MovieReader(std::unique_ptr<State> state);
  bool DecodeUpTo(int64_t index);
  std::unique_ptr<State> state_;
};

}  // namespace quenda
