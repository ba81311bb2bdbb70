#pragma once
// Writes flipbooks and previews as AVI movies: pictures through an encoder whose quality follows
// the suite's 0..10000 scale, and sound as its own 8-bit PCM stream. The movie is built in the
// atomic writer's temporary file beside the target (common/atomic_file.h) and replaces it only
// when Close succeeds, so a failed movie never destroys the last good one, and a read-only
// target is refused and kept. Failures are shown through the prompt.
// Pictures are Motion JPEG, each a key frame; frame indices must rise (a skipped index repeats
// the picture before it).

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "common/movie_writer.h"
#include "common/prompt.h"
#include "common/wave_format.h"

namespace quenda {

class AviWriter final : public MovieWriter {
 public:
  explicit AviWriter(Prompt& prompt);
  ~AviWriter() override;  // closes
  AviWriter(const AviWriter&) = delete;
  AviWriter& operator=(const AviWriter&) = delete;

  bool Open(const std::string& path, int quality, int framesPerSecond, int width,
            int height) override;
  bool WriteSound(const WaveFormat& format, const uint8_t* samples, std::size_t byteCount) override;
  bool WriteFrame(int index, const uint8_t* bgrBottomUp) override;
  void Close() override;
  void Discard() override;

  // True once Close has put a complete movie in place.
  bool Succeeded() const;

 private:
  struct State;
  bool Fail(std::string_view message);  // shows it, closes and discards; answers false
  bool FailWith(int ffmpegError);
  bool WriteHeader();
  bool WriteSoundUntil(int64_t endSample);
  bool DrainEncoder();

  Prompt& prompt_;
  std::unique_ptr<State> state_;
  bool succeeded_ = false;
};

}  // namespace quenda
