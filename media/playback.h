#pragma once
// The movie player's timing, apart from any window: which frame is current, when the next one
// is due, the measured rate with its light and warning, and when the sound must start again.
// Times are milliseconds on any steady clock. The picture follows the sound while sound plays
// and the clock otherwise, so the two stay in step for the whole movie.

#include <array>
#include <optional>

namespace quenda {

enum class RateLight { Right, Off };

inline constexpr int kMeasuredRateSamples = 5;  // the measured rate averages this many
inline constexpr int kSlowFramesBeforeWarning = 40;
inline constexpr double kRateTolerance = 1.0;  // frames per second either side of nominal

// What one turn of the play loop asks of the window, in this order.
struct PlaybackTurn {
  std::optional<double> startSoundAtMs;  // (re)start the sound this far into it
  std::optional<int> drawFrame;          // draw this frame
  bool slowWarning = false;              // show the frame rate warning
  bool stopped = false;                  // the movie ended without looping
};

class Playback {
 public:
  Playback(int frameCount, double framesPerSecond);

  int frameCount() const { return frameCount_; }
  double framesPerSecond() const { return framesPerSecond_; }
  double FramePeriodMs() const { return 1000.0 / framesPerSecond_; }
  int currentFrame() const { return current_; }
  bool playing() const { return playing_; }
  bool looping() const { return looping_; }
  double measuredRate() const { return measuredRate_; }
  RateLight light() const { return light_; }

  void SetLooping(bool on) { looping_ = on; }
  // Clamped to 0 .. frame count - 1.
  void SetFrame(int frame);
  void StepForward() { SetFrame(current_ + 1); }
  void StepBack() { SetFrame(current_ - 1); }

  // Playing starts at the current frame, which is due at once.
  void Start(double nowMs, bool hasSound);
  void Stop();

  // One turn of the loop. `soundPlayedMs` is how far the sound has played since it was last
  // started, while it is still playing; the picture is held to it.
  PlaybackTurn Turn(double nowMs, std::optional<double> soundPlayedMs);

  // When, on the caller's clock, the next frame falls due.
  double NextDueMs() const;

 private:
  double MovieTimeAt(double nowMs) const { return anchorMovieMs_ + (nowMs - anchorWallMs_); }
  void FollowSound(double nowMs, double soundPlayedMs);
  void NoteRate(double nowMs, PlaybackTurn& turn);

  int frameCount_;
  double framesPerSecond_;
  int current_ = 0;
  bool playing_ = false;
  bool looping_ = false;
  bool hasSound_ = false;

  // Movie time (0 at the start of frame 0) against the caller's clock.
  double anchorWallMs_ = 0;
  double anchorMovieMs_ = 0;
  double soundStartMovieMs_ = 0;  // the movie time at which the sound was last started

  std::optional<double> lastDrawMs_;
  std::array<double, kMeasuredRateSamples> rates_{};
  int rateCount_ = 0;
  int rateNext_ = 0;
  double measuredRate_ = 0;
  RateLight light_ = RateLight::Right;
  int slowFrames_ = 0;
};

}  // namespace quenda
