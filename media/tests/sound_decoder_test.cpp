// Sound files for the sheet and the movies: one tone as ffmpeg writes it in 24-bit WAV, FLAC and
// MP3 gives the sheet the same samples; the wave reader keeps its own files and messages.

#include "media/sound_decoder.h"

#include <gtest/gtest.h>

#include <cmath>

#include "media/tests/movie_test_support.h"
#include "testing/test_support.h"

namespace quenda {
namespace {

using namespace quenda::testing;

class SoundFiles : public ::testing::Test {
 protected:
  // Half a second of 440 Hz at half scale, in the codec given.
  std::string Make(const std::string& name, const std::string& codec,
                   const std::string& layout = "mono") {
    const std::string path = dir.File(name);
    const std::string tone = "0.5*sin(440*2*PI*t)";
    const std::string command = "ffmpeg -v error -y -f lavfi -i 'aevalsrc=" + tone +
                                (layout == "stereo" ? "|" + tone : "") + ":s=44100:d=0.5' -c:a " +
                                codec + " '" + path + "'";
    EXPECT_EQ(RunShell(command), 0) << command;
    return path;
  }
  TempDir dir;
  FfmpegSoundDecoder decoder;
};

TEST_F(SoundFiles, OneToneInWaveFlacAndMp3GivesTheSheetTheSameSamples) {
  Result<WaveSound> wave = ReadSheetSound(Make("tone.wav", "pcm_s24le"), &decoder);
  Result<WaveSound> flac = ReadSheetSound(Make("tone.flac", "flac"), &decoder);
  Result<WaveSound> mp3 = ReadSheetSound(Make("tone.mp3", "libmp3lame -b:a 192k"), &decoder);
  ASSERT_TRUE(wave.ok()) << wave.message();
  ASSERT_TRUE(flac.ok()) << flac.message();
  ASSERT_TRUE(mp3.ok()) << mp3.message();
  // The WAV is the suite's own reader's, with its words.
  EXPECT_EQ(wave->conversion, "Converted 24-bit mono 44100 Hz sound to 8-bit mono.");
  EXPECT_EQ(flac->conversion, "Converted mono 44100 Hz sound to 8-bit mono.");
  ASSERT_EQ(wave->samples.size(), 22050u);
  for (const WaveSound* other : {&*flac, &*mp3}) {
    EXPECT_EQ(other->format, wave->format);
    ASSERT_GE(other->samples.size(), wave->samples.size());
    // The MP3 frame may round the length up; never by more than one frame.
    EXPECT_LE(other->samples.size(), wave->samples.size() + 1152);
  }
  int flacWorst = 0, mp3Worst = 0;
  double mp3Total = 0;
  for (std::size_t i = 0; i < wave->samples.size(); ++i) {
    flacWorst = std::max(flacWorst, std::abs(int(flac->samples[i]) - int(wave->samples[i])));
    const int d = std::abs(int(mp3->samples[i]) - int(wave->samples[i]));
    mp3Worst = std::max(mp3Worst, d);
    mp3Total += d;
  }
  EXPECT_EQ(flacWorst, 0);  // lossless, and the same rounding
  EXPECT_LE(mp3Worst, 4);
  EXPECT_LT(mp3Total / double(wave->samples.size()), 2.0);
}

TEST_F(SoundFiles, FloatAndManyChannelWavesAndOtherKindsGoToTheDecoder) {
  // The wave reader refuses floating point; the decoder takes it, mixed to mono.
  const std::string floating = Make("float.wav", "pcm_f32le", "stereo");
  EXPECT_EQ(ReadWaveFile(floating).message(), kWaveUnsupported);
  EXPECT_EQ(ReadSheetSound(floating, nullptr).message(), kWaveUnsupported);
  Result<WaveSound> mixed = ReadSheetSound(floating, &decoder);
  ASSERT_TRUE(mixed.ok()) << mixed.message();
  EXPECT_EQ(mixed->conversion, "Converted stereo 44100 Hz sound to 8-bit mono.");
  EXPECT_EQ(mixed->samples.size(), 22050u);
  // Half scale: the peaks are 64 levels from silence.
  auto [low, high] = std::minmax_element(mixed->samples.begin(), mixed->samples.end());
  EXPECT_EQ(*high, 192);
  EXPECT_EQ(*low, 64);
  for (const char* name : {"tone.aiff", "tone.ogg", "tone.m4a"}) {
    const std::string codec = std::string(name).ends_with(".aiff")  ? "pcm_s16be"
                              : std::string(name).ends_with(".ogg") ? "libvorbis"
                                                                    : "aac";
    Result<PcmSound> decoded = DecodeSoundFile(Make(name, codec));
    ASSERT_TRUE(decoded.ok()) << name << ": " << decoded.message();
    EXPECT_EQ(decoded->sampleRate, 44100) << name;
    EXPECT_NEAR(double(decoded->FrameCount()), 22050, 2048) << name;
  }
  // Without a decoder the sheet takes WAV only, as before.
  EXPECT_EQ(ReadSheetSound(dir.File("tone.aiff"), nullptr).message(), kWaveBadExtension);
}

TEST_F(SoundFiles, WhatCannotBeDecodedIsNamedWithTheReason) {
  const std::string junk = dir.File("junk.mp3");
  WriteText(junk, "this is not a sound at all, only words in a file named as one");
  EXPECT_EQ(ReadSheetSound(junk, &decoder).message(),
            "Could not decode the sound file " + junk + ": Invalid argument");
  const std::string gone = dir.File("gone.flac");
  EXPECT_EQ(DecodeSoundFile(gone).message(),
            "Could not decode the sound file " + gone + ": No such file or directory");
  // A picture has no sound.
  const std::string picture = dir.File("still.png");
  ASSERT_EQ(RunShell("ffmpeg -v error -f lavfi -i color=c=red:s=8x8 -frames:v 1 '" + picture + "'"),
            0);
  EXPECT_EQ(DecodeSoundFile(picture).message(), "Could not decode the sound file " + picture +
                                                    ": it holds no sound FFmpeg can "
                                                    "decode");
  // A WAV the suite's reader takes apart keeps that reader's message.
  const std::string truncated = dir.File("cut.wav");
  std::vector<uint8_t> bytes = ReadBytes(Make("whole.wav", "pcm_s16le"));
  bytes.resize(30);
  WriteBytes(truncated, bytes);
  EXPECT_EQ(ReadSheetSound(truncated, &decoder).message(), kWaveCorrupt);
}

}  // namespace
}  // namespace quenda
