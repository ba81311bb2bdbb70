#include "media/playback.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <tuple>
#include <vector>

namespace quenda {
namespace {

struct Drawn {
  double atMs;
  int frame;
};

// Runs turns every `stepMs` from `fromMs` to `untilMs`, recording what was drawn.
struct PlayRecord {
  std::vector<Drawn> drawn;
  std::vector<double> soundStarts;
  std::vector<double> soundStartTimes;
  int warnings = 0;
  bool stopped = false;
};

PlayRecord Drive(Playback& playback, double fromMs, double untilMs, double stepMs,
                 double soundSpeed = 0) {
  PlayRecord run;
  for (double now = fromMs; now <= untilMs && playback.playing(); now += stepMs) {
    // Sound, once started, plays on for as long as the run goes.
    std::optional<double> sound;
    if (soundSpeed > 0 && !run.soundStartTimes.empty())
      sound = (now - run.soundStartTimes.back()) * soundSpeed;
    PlaybackTurn turn = playback.Turn(now, sound);
    if (turn.startSoundAtMs) {
      run.soundStarts.push_back(*turn.startSoundAtMs);
      run.soundStartTimes.push_back(now);
    }
    if (turn.drawFrame) run.drawn.push_back({now, *turn.drawFrame});
    if (turn.slowWarning) ++run.warnings;
    if (turn.stopped) run.stopped = true;
  }
  return run;
}

TEST(Playback, SteppingAndTheSliderClampToTheFramesAndNothingPlaysUnstarted) {
  Playback playback(5, 25);
  std::vector<int> shown;
  auto note = [&] { shown.push_back(playback.currentFrame()); };
  playback.StepBack(), note();
  playback.SetFrame(4), playback.StepForward(), note();
  playback.SetFrame(99), note();
  playback.SetFrame(-3), note();
  playback.StepForward(), playback.StepForward(), note();
  EXPECT_EQ(shown, (std::vector<int>{0, 4, 4, 0, 2}));
  // Nothing happens while stopped, or for an empty movie.
  EXPECT_FALSE(playback.Turn(100, std::nullopt).drawFrame.has_value());
  Playback empty(0, 25);
  empty.Start(0, true);
  EXPECT_FALSE(empty.playing());
  EXPECT_FALSE(empty.Turn(10, std::nullopt).drawFrame.has_value());
}

TEST(Playback, OneFrameMovieShowsItsFrameAndStopsUnlessLooping) {
  Playback once(1, 25);
  once.Start(0, false);
  PlayRecord run = Drive(once, 0, 1000, 1);
  ASSERT_EQ(run.drawn.size(), 1u);
  EXPECT_EQ(std::tuple(run.drawn[0].frame, run.stopped, once.playing(), once.currentFrame()),
            std::tuple(0, true, false, 0));

  Playback looped(1, 25);
  looped.SetLooping(true);
  looped.Start(0, false);
  run = Drive(looped, 0, 400, 1);
  // Drawn at 0, 40, ... 400 ms.
  EXPECT_EQ(std::tuple(run.stopped, looped.playing(), run.drawn.size()),
            std::tuple(false, true, 11u));
}

TEST(Playback, FramesFallDueOnTheExactRateWithoutDrift) {
  // 30 frames per second does not divide a millisecond; a whole-millisecond interval would
  // run 1% fast, nine frames ahead of the sound after 30 seconds.
  for (double fps : {25.0, 30.0, 12.0}) {
    Playback playback(100000, fps);
    playback.Start(0, false);
    PlayRecord run = Drive(playback, 0, 30000, 1);
    const double period = 1000.0 / fps;
    ASSERT_EQ(run.drawn.size(), std::size_t(std::floor(30000 / period)) + 1) << fps;
    for (std::size_t i = 0; i < run.drawn.size(); ++i) {
      ASSERT_EQ(run.drawn[i].frame, int(i));
      ASSERT_NEAR(run.drawn[i].atMs, double(i) * period, 1.0) << fps << " frame " << i;
    }
    EXPECT_NEAR(playback.measuredRate(), fps, kRateTolerance);
    EXPECT_EQ(playback.light(), RateLight::Right);
    EXPECT_EQ(run.warnings, 0);
  }
}

TEST(Playback, SoundStartsAgainWithFrameZeroOfEveryLoopAndWhereverPlayingStarts) {
  Playback playback(3, 25);
  playback.SetLooping(true);
  playback.Start(0, true);
  PlayRecord run = Drive(playback, 0, 1000, 1);
  // 26 frames drawn in a second; frame 0 comes round 9 times, and the sound starts with each.
  EXPECT_EQ(std::count_if(run.drawn.begin(), run.drawn.end(), [](Drawn d) { return d.frame == 0; }),
            9);
  EXPECT_EQ(run.soundStarts, std::vector<double>(9, 0.0));

  Playback middle(10, 25);
  middle.SetFrame(4);
  middle.Start(0, true);
  run = Drive(middle, 0, 100, 1);
  ASSERT_FALSE(run.soundStarts.empty());
  EXPECT_DOUBLE_EQ(run.soundStarts[0], 4 * 40.0);

  Playback silent(3, 25);
  silent.SetLooping(true);
  silent.Start(0, false);
  EXPECT_TRUE(Drive(silent, 0, 500, 1).soundStarts.empty());
}

TEST(Playback, ThePictureKeepsInStepWithSoundThatRunsSlowOrFast) {
  for (double speed : {0.98, 1.0, 1.02}) {
    Playback playback(750, 25);  // 30 seconds
    playback.Start(0, true);
    PlayRecord run = Drive(playback, 0, 40000, 1, speed);
    ASSERT_EQ(run.drawn.size(), 750u) << speed;
    double worst = 0;
    for (const Drawn& d : run.drawn) {
      const double soundMs = (d.atMs - run.soundStartTimes[0]) * speed;
      worst = std::max(worst, std::abs(soundMs - d.frame * 40.0));
    }
    EXPECT_LT(worst, 40.0) << "speed " << speed;
  }
}

TEST(Playback, SlowPlayWarnsOnceAfterFortySlowFramesAndRecoveryResetsTheCount) {
  Playback playback(100000, 25);
  playback.Start(0, false);
  // Turns only every 60 ms: about 16.7 frames per second.
  PlayRecord slow = Drive(playback, 0, 60.0 * 39, 60);
  EXPECT_EQ(playback.light(), RateLight::Off);
  EXPECT_EQ(slow.warnings, 0);  // 39 frames drawn, 38 of them slow
  PlayRecord more = Drive(playback, 60.0 * 40, 60.0 * 120, 60);
  EXPECT_EQ(more.warnings, 1);
  EXPECT_LT(playback.measuredRate(), 25 - kRateTolerance);

  // Back on time (after catching up the frames it fell behind), the light comes back.
  PlayRecord back = Drive(playback, 60.0 * 121, 60.0 * 121 + 40000, 1);
  EXPECT_EQ(playback.light(), RateLight::Right);
  const double restart = 60.0 * 121 + 40001;
  PlayRecord again = Drive(playback, restart, restart + 60.0 * 60, 60);
  EXPECT_EQ(again.warnings, 1);
  EXPECT_EQ(back.warnings, 0);

  playback.Stop();
  EXPECT_EQ(playback.light(), RateLight::Right);
  EXPECT_FALSE(playback.playing());
}

TEST(Playback, CatchingUpFastTurnsTheLightOffWithoutWarning) {
  Playback playback(1000, 25);
  playback.Start(0, false);
  Drive(playback, 0, 200, 1);
  // A stall of half a second, then the late frames go out back to back.
  PlayRecord burst = Drive(playback, 700, 706, 1);
  EXPECT_EQ(playback.light(), RateLight::Off);
  EXPECT_GT(playback.measuredRate(), 25 + kRateTolerance);
  EXPECT_EQ(burst.warnings, 0);
}

}  // namespace
}  // namespace quenda
