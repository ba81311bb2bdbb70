#pragma once
// Flipbooks and previews as H.264 MP4 or ProRes 4444 MOV, by the name's extension, behind the
// same interface as the AVI writer: the suite's quality 0..10000 becomes the H.264 CRF (see
// CrfForQuality; ProRes keeps its own), the 8- or 16-bit sound block becomes the movie's sound,
// and a skipped frame index repeats the picture before it. Failures are shown through the prompt;
// the movie takes the target's place only when Close succeeds.

#include <cstdint>
#include <string>
#include <vector>

#include "common/movie_writer.h"
#include "common/pcm_sound.h"
#include "common/prompt.h"
#include "media/movie_encoder.h"

namespace quenda {

// 0 (worst) .. 10000 (best) onto CRF 51 .. 0: 51 - quality * 51 / 10000, rounded half up, so
// 5000 gives 26 and 10000 a lossless picture. Qualities outside count as the nearest end.
constexpr int CrfForQuality(int quality) {
  if (quality < 0) quality = 0;
  if (quality > 10000) quality = 10000;
  return (kMaxMovieCrf * (10000 - quality) + 5000) / 10000;
}

class EncodedMovieWriter final : public MovieWriter {
 public:
  explicit EncodedMovieWriter(Prompt& prompt) : prompt_(prompt) {}
  ~EncodedMovieWriter() override { Close(); }
  EncodedMovieWriter(const EncodedMovieWriter&) = delete;
  EncodedMovieWriter& operator=(const EncodedMovieWriter&) = delete;

  bool Open(const std::string& path, int quality, int framesPerSecond, int width,
            int height) override;
  bool WriteSound(const WaveFormat& format, const uint8_t* samples, std::size_t byteCount) override;
  bool WriteFrame(int index, const uint8_t* bgrBottomUp) override;
  void Close() override;
  void Discard() override;

  // True once Close has put a complete movie in place.
  bool Succeeded() const { return succeeded_; }

 private:
  bool Fail(const Status& status);
  bool Put(const uint8_t* bgrBottomUp);

  Prompt& prompt_;
  std::string path_;
  MovieEncoderSettings settings_;
  PcmSound sound_;
  MovieEncoder encoder_;
  bool open_ = false;     // between Open and Close
  bool started_ = false;  // the encoder holds the file
  int lastIndex_ = -1;
  std::vector<uint8_t> last_;  // the picture before, for skipped indices
  bool succeeded_ = false;
};

}  // namespace quenda
