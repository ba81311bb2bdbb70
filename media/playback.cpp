#include "media/playback.h"

#include <algorithm>
#include <cmath>

namespace quenda {

Playback::Playback(int frameCount, double framesPerSecond)
    : frameCount_(std::max(frameCount, 0)),
      framesPerSecond_(framesPerSecond > 0 ? framesPerSecond : 1.0),
      measuredRate_(framesPerSecond_) {}

void Playback::SetFrame(int frame) {
  current_ = std::clamp(frame, 0, std::max(frameCount_ - 1, 0));
}

void Playback::Start(double nowMs, bool hasSound) {
  if (frameCount_ < 1) return;
  playing_ = true;
  hasSound_ = hasSound;
  anchorWallMs_ = nowMs;
  anchorMovieMs_ = current_ * FramePeriodMs();
  lastDrawMs_.reset();
  rateCount_ = rateNext_ = 0;
  measuredRate_ = framesPerSecond_;
  light_ = RateLight::Right;
  slowFrames_ = 0;
}

void Playback::Stop() {
  playing_ = false;
  light_ = RateLight::Right;
  slowFrames_ = 0;
}

double Playback::NextDueMs() const {
  return anchorWallMs_ + (current_ * FramePeriodMs() - anchorMovieMs_);
}

// Sound positions come in steps of the device's buffer, so small differences are left to the
// clock; a difference of half a frame puts the picture back on the sound.
void Playback::FollowSound(double nowMs, double soundPlayedMs) {
  const double soundMovieMs = soundStartMovieMs_ + soundPlayedMs;
  if (std::abs(soundMovieMs - MovieTimeAt(nowMs)) > FramePeriodMs() / 2) {
    anchorWallMs_ = nowMs;
    anchorMovieMs_ = soundMovieMs;
  }
}

void Playback::NoteRate(double nowMs, PlaybackTurn& turn) {
  if (lastDrawMs_ && nowMs > *lastDrawMs_) {
    rates_[std::size_t(rateNext_)] = 1000.0 / (nowMs - *lastDrawMs_);
    rateNext_ = (rateNext_ + 1) % kMeasuredRateSamples;
    rateCount_ = std::min(rateCount_ + 1, kMeasuredRateSamples);
    double sum = 0;
    for (int i = 0; i < rateCount_; ++i) sum += rates_[std::size_t(i)];
    measuredRate_ = sum / rateCount_;
  }
  lastDrawMs_ = nowMs;
  if (std::abs(measuredRate_ - framesPerSecond_) <= kRateTolerance) {
    light_ = RateLight::Right;
    slowFrames_ = 0;
    return;
  }
  light_ = RateLight::Off;
  if (measuredRate_ < framesPerSecond_ - kRateTolerance) {
    if (++slowFrames_ == kSlowFramesBeforeWarning) turn.slowWarning = true;
  } else {
    slowFrames_ = 0;
  }
}

PlaybackTurn Playback::Turn(double nowMs, std::optional<double> soundPlayedMs) {
  PlaybackTurn turn;
  if (!playing_) return turn;
  if (soundPlayedMs) FollowSound(nowMs, *soundPlayedMs);
  const double period = FramePeriodMs();
  if (MovieTimeAt(nowMs) < current_ * period) return turn;

  // The sound starts with frame 0 of every loop, and with whatever frame playing starts at.
  if (hasSound_ && (current_ == 0 || !lastDrawMs_)) {
    soundStartMovieMs_ = current_ * period;
    turn.startSoundAtMs = soundStartMovieMs_;
    anchorWallMs_ = nowMs;
    anchorMovieMs_ = soundStartMovieMs_;
  }
  turn.drawFrame = current_;
  NoteRate(nowMs, turn);
  if (++current_ >= frameCount_) {
    current_ = 0;
    anchorMovieMs_ -= frameCount_ * period;  // the next loop keeps the cadence
    if (!looping_) {
      Stop();
      turn.stopped = true;
    }
  }
  return turn;
}

}  // namespace quenda
