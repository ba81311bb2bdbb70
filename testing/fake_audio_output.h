#pragma once
// An audio output that plays nothing: it keeps what it was asked for and answers how long it has
// played from a clock the test chooses, the wall clock or one that steps at every look.

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "common/audio_output.h"

namespace quenda::testing {

class FakeAudioOutput : public AudioOutput {
 public:
  bool CanPlay(const WaveFormat&) override { return canPlay; }
  bool Open(const WaveFormat& format) override {
    rate = format.samplesPerSecond;
    return opens;
  }
  bool Play(const std::vector<uint8_t>& samples, std::size_t startByte) override {
    starts.push_back(startByte);
    handed.assign(samples.begin() + std::ptrdiff_t(startByte), samples.end());
    begun_ = std::chrono::steady_clock::now();
    steppedMs_ = 0;
    return active = plays;
  }
  void Stop() override {
    if (active) stoppedAfterMs = ElapsedMs();
    active = false;
    ++stops;
  }
  std::optional<double> PlayedMs() override {
    if (!active) return std::nullopt;
    const double ms = stepMs > 0 ? (steppedMs_ += stepMs) : ElapsedMs();
    if (endsWithSound && ms * rate / 1000 >= double(handed.size())) return std::nullopt;
    return ms;
  }

  bool canPlay = true;
  bool opens = true;
  bool plays = true;
  // Milliseconds each look at the clock adds; 0 follows the wall clock.
  double stepMs = 0;
  // Whether playing ends once the samples handed over have played at the rate opened.
  bool endsWithSound = true;

  uint32_t rate = 0;
  bool active = false;
  std::vector<std::size_t> starts;
  std::vector<uint8_t> handed;  // from the start byte of the last Play
  int stops = 0;
  double stoppedAfterMs = -1;

 private:
  double ElapsedMs() const {
    if (stepMs > 0) return steppedMs_;
    const auto since = std::chrono::steady_clock::now() - begun_;
    return std::chrono::duration<double, std::milli>(since).count();
  }

  std::chrono::steady_clock::time_point begun_;
  double steppedMs_ = 0;
};

}  // namespace quenda::testing
