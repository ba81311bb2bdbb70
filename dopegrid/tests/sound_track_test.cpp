// Lining sound up with frames: samples per frame, selections, flipbook blocks, the waveform
// and playback through the audio output.
#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>

#include "common/scripted_prompt.h"
#include "dopegrid/core/sound_track.h"
#include "testing/fake_audio_output.h"

namespace quenda {
namespace {

SoundTrack Track(uint32_t rate, std::size_t count, int frameRate = 25, int start = 1) {
  SoundTrack sound;
  sound.format.samplesPerSecond = sound.format.averageBytesPerSecond = rate;
  sound.samples.resize(count);
  for (std::size_t i = 0; i < count; ++i) sound.samples[i] = uint8_t(i % 251);
  sound.loaded = true;
  sound.frameRate = frameRate;
  sound.startFrame = start;
  return sound;
}

TEST(SoundTrack, SamplesPerFrameIsAnIntegerDivision) {
  EXPECT_EQ(std::tuple(SamplesPerFrame(Track(22050, 1)), SamplesPerFrame(Track(22050, 1, 30)),
                       SamplesPerFrame(Track(11025, 1, 24))),
            std::tuple(882, 735, 459));
}

TEST(SoundTrack, SelectionsAroundTheStartAndEnd) {
  SoundTrack sound = Track(1000, 400, 25, 3);  // 40 samples per frame, 10 frames of sound
  // Frames 0..1 lie before the sound: only frame 2 onwards plays, from the first sample.
  EXPECT_EQ(SelectionSampleRange(sound, 0, 3), (SampleRange{0, 80}));
  EXPECT_EQ(SelectionSampleRange(sound, 0, 1), std::nullopt);
  EXPECT_EQ(SelectionSampleRange(sound, 4, 4), (SampleRange{80, 40}));
  EXPECT_EQ(SelectionSampleRange(sound, 10, 50), (SampleRange{320, 80}));  // cut at the end
  EXPECT_EQ(SelectionSampleRange(sound, 12, 50), std::nullopt);
}

TEST(SoundTrack, FlipbookBlockPadsWithSilence) {
  SoundTrack sound = Track(250, 100, 25, 5);  // 10 samples per frame, 10 frames of sound
  std::vector<uint8_t> padded(100, kFlipbookSilence);
  std::copy_n(sound.samples.begin(), 60, padded.begin() + 40);
  EXPECT_EQ(FlipbookSoundBlock(sound, 0, 9), padded);

  // Past the sound's end the block is silent too.
  std::vector<uint8_t> tail = FlipbookSoundBlock(sound, 12, 15);
  ASSERT_EQ(tail.size(), 40u);
  EXPECT_EQ(std::tuple(tail[0], tail[19], tail[20]),
            std::tuple(sound.samples[80], sound.samples[99], kFlipbookSilence));

  EXPECT_TRUE(FlipbookSoundBlock(sound, 0, 2).empty());    // ends before the sound
  EXPECT_TRUE(FlipbookSoundBlock(sound, 14, 20).empty());  // starts after it
}

TEST(SoundTrack, WaveformFollowsTheRows) {
  SoundTrack sound = Track(2500, 300, 25, 2);  // 100 samples per frame
  sound.samples[0] = 255;
  sound.samples[4] = 128;
  std::vector<WavePoint> points = WaveformPoints(sound, 0, 3, 25);
  // Frame 0 lies before the sound; frame 1 starts with sample 0, four samples per pixel row.
  ASSERT_EQ(points.size(), 50u);
  EXPECT_EQ(std::tuple(points[0], points[1]),
            std::tuple(WavePoint{255 * 100 / 256, 25}, WavePoint{50, 26}));
  SoundTrack unloaded = sound;
  unloaded.loaded = false;
  EXPECT_TRUE(WaveformPoints(unloaded, 0, 3, 25).empty());
}

// Plays 10 ms further at every look at the clock, and watches for a key at the given look.
struct FakeAudio final : testing::FakeAudioOutput, PlaybackWatch {
  FakeAudio() { stepMs = 10; }
  bool KeyPressed() override { return ++polls == keyAt; }
  void ShowStatus(std::string_view text) override { statuses.emplace_back(text); }

  int keyAt = -1;
  int polls = 0;
  std::vector<std::string> statuses;
};

TEST(SoundTrack, PlayingReportsDevicesAndStopsOnAKey) {
  SoundTrack sound = Track(1000, 400);
  ScriptedPrompt prompt;
  FakeAudio audio;
  ASSERT_TRUE(PlaySound(sound, {40, 200}, kPlayingSelection, audio, audio, prompt));
  ASSERT_EQ(audio.handed.size(), 200u);
  EXPECT_EQ(audio.handed[0], sound.samples[40]);
  EXPECT_EQ(audio.statuses,
            (std::vector<std::string>{"Playing sound selection...     Press any key to stop",
                                      "Stopped."}));

  FakeAudio keyed;
  keyed.keyAt = 2;
  ASSERT_TRUE(PlaySound(sound, {0, 400}, kPlayingAll, keyed, keyed, prompt));
  EXPECT_EQ(std::tuple(keyed.polls, keyed.statuses.size(), keyed.stops), std::tuple(2, 3u, 1));

  FakeAudio silent;
  silent.canPlay = false;
  EXPECT_FALSE(PlaySound(sound, {0, 400}, kPlayingAll, silent, silent, prompt));
  FakeAudio busy;
  busy.opens = false;
  EXPECT_FALSE(PlaySound(sound, {0, 400}, kPlayingAll, busy, busy, prompt));
  EXPECT_EQ(prompt.Texts(),
            (std::vector<std::string>{"There are no audio devices to play the sound!",
                                      "Could not open the audio device!"}));
}

}  // namespace
}  // namespace quenda
