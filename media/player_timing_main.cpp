// quenda-player-timing: plays a 30-second, 25 frames-per-second movie with sound in the real
// player window (offscreen) and reports the frame rate achieved and how far the picture strays
// from the sound. The sound device is simulated by a clock that may run fast or slow, as real
// sound cards' clocks do against the computer's.

#include <unistd.h>
#include <QApplication>
#include <QElapsedTimer>
#include <QPushButton>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "common/scripted_prompt.h"
#include "media/avi_writer.h"
#include "media/movie_player.h"

namespace {

constexpr int kFramesPerSecond = 25;
constexpr int kSeconds = 30;
constexpr int kWidth = 320;
constexpr int kHeight = 240;
constexpr uint32_t kSoundRate = 22050;

class ClockAudio final : public quenda::AudioOutput {
 public:
  explicit ClockAudio(double speed) : speed_(speed) {}
  bool CanPlay(const quenda::WaveFormat&) override { return true; }
  bool Open(const quenda::WaveFormat&) override { return true; }
  bool Play(const std::vector<uint8_t>& samples, std::size_t startByte) override {
    lengthMs_ = double(samples.size() - std::min(startByte, samples.size())) * 1000 / kSoundRate;
    started_.start();
    active_ = true;
    return true;
  }
  void Stop() override { active_ = false; }
  std::optional<double> PlayedMs() override {
    if (!active_) return std::nullopt;
    const double played = double(started_.nsecsElapsed()) / 1e6 * speed_;
    if (played >= lengthMs_) return std::nullopt;
    return played;
  }

 private:
  double speed_;
  double lengthMs_ = 0;
  bool active_ = false;
  QElapsedTimer started_;
};

bool WriteTestMovie(const std::string& path) {
  quenda::ScriptedPrompt prompt;
  quenda::AviWriter writer(prompt);
  if (!writer.Open(path, 7500, kFramesPerSecond, kWidth, kHeight)) return false;
  std::vector<uint8_t> sound(std::size_t(kSoundRate) * kSeconds);
  for (std::size_t i = 0; i < sound.size(); ++i) sound[i] = uint8_t(128 + 60 * std::sin(i * 0.05));
  quenda::WaveFormat format;
  format.samplesPerSecond = format.averageBytesPerSecond = kSoundRate;
  if (!writer.WriteSound(format, sound.data(), sound.size())) return false;
  std::vector<uint8_t> picture(std::size_t(kWidth) * kHeight * 3);
  for (int f = 0; f < kFramesPerSecond * kSeconds; ++f) {
    for (std::size_t i = 0; i < picture.size(); ++i) picture[i] = uint8_t((i / 3 + f * 7) & 0xFF);
    if (!writer.WriteFrame(f, picture.data())) return false;
  }
  writer.Close();
  return writer.Succeeded();
}

struct Drawn {
  int frame;
  double wallMs;
  std::optional<double> soundMs;
};

int Measure(const std::string& path, double speed) {
  quenda::ScriptedPrompt prompt;
  auto audio = std::make_unique<ClockAudio>(speed);
  ClockAudio* sound = audio.get();
  quenda::MoviePlayer player(prompt, std::move(audio));
  if (!player.Open(path)) return 1;
  std::vector<Drawn> drawn;
  QElapsedTimer wall;
  wall.start();
  QObject::connect(&player, &quenda::MoviePlayer::frameDrawn, [&](int frame) {
    drawn.push_back({frame, double(wall.nsecsElapsed()) / 1e6, sound->PlayedMs()});
  });
  drawn.clear();
  player.findChild<QPushButton*>("play")->click();
  while (player.playing()) QApplication::processEvents(QEventLoop::WaitForMoreEvents);

  const double period = 1000.0 / kFramesPerSecond;
  double worst = 0, sum = 0;
  int measured = 0;
  for (const Drawn& d : drawn) {
    if (!d.soundMs) continue;
    const double drift = *d.soundMs - d.frame * period;  // sound ahead of picture when positive
    worst = std::max(worst, std::abs(drift));
    sum += std::abs(drift);
    ++measured;
  }
  const double seconds = (drawn.back().wallMs - drawn.front().wallMs) / 1000.0;
  std::printf(
      "sound clock x%.3f: %zu frames in %.2f s = %.2f frames per second; "
      "picture against sound: mean %.1f ms, worst %.1f ms (one frame = %.0f ms)%s\n",
      speed, drawn.size(), seconds, double(drawn.size() - 1) / seconds,
      measured ? sum / measured : 0.0, worst, period,
      prompt.Texts().empty() ? "" : "; with messages");
  return worst < period ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  const std::string path = "/tmp/quenda-player-timing-" + std::to_string(getpid()) + ".avi";
  if (!WriteTestMovie(path)) {
    std::fprintf(stderr, "could not write the test movie %s\n", path.c_str());
    return 1;
  }
  int failures = 0;
  for (double speed : {1.0, 0.995, 1.005}) failures += Measure(path, speed);
  std::remove(path.c_str());
  return failures ? 1 : 0;
}
