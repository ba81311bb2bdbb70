// Wave files: what loads, and the message of every step that refuses a file.
#include <gtest/gtest.h>

#include <tuple>

#include "common/byte_order.h"
#include "common/scripted_prompt.h"
#include "common/wave_file.h"
#include "dopegrid/tests/sheet_test_support.h"
#include "testing/pcm_wave.h"
#include "testing/test_support.h"

namespace quenda {
namespace {

using namespace quenda::testing;
using WaveFile = SheetDocument;

// The messages as the user reads them, written out so that a slip in the wording shows.
const std::string kNotWave = "Incorrect audio file format!";
const std::string kCorrupt = "Corrupt audio file!";
const std::string kUnsupported =
    "Unsupported audio file!\n(8bit Mono PCM or Radio Quality in Sound Recorder Supported)";

std::vector<uint8_t> Ramp(std::size_t count) {
  std::vector<uint8_t> samples(count);
  for (std::size_t i = 0; i < count; ++i) samples[i] = uint8_t(i * 7);
  return samples;
}

std::vector<uint8_t> Chunk(const char* id, std::vector<uint8_t> body) {
  std::vector<uint8_t> out(id, id + 4);
  AppendU32LE(out, uint32_t(body.size()));
  out.insert(out.end(), body.begin(), body.end());
  if (body.size() & 1) out.push_back(0);
  return out;
}

std::vector<uint8_t> FmtBody(uint16_t tag, uint16_t channels, uint16_t bits) {
  std::vector<uint8_t> b;
  AppendU16LE(b, tag);
  AppendU16LE(b, channels);
  AppendU32LE(b, 11025);
  AppendU32LE(b, 11025 * channels * bits / 8);
  AppendU16LE(b, uint16_t(channels * bits / 8));
  AppendU16LE(b, bits);
  return b;
}

std::vector<uint8_t> Riff(const char* form, std::vector<std::vector<uint8_t>> chunks) {
  std::vector<uint8_t> body(form, form + 4);
  for (const auto& c : chunks) body.insert(body.end(), c.begin(), c.end());
  return Chunk("RIFF", body);
}

TEST_F(WaveFile, OddLengthSoundRoundTrips) {
  WaveFormat format;
  format.samplesPerSecond = format.averageBytesPerSecond = 8000;
  std::vector<uint8_t> samples = Ramp(47);
  Result<WaveSound> read = ParseWaveFile(EncodeWaveFile(format, samples));
  ASSERT_TRUE(read.ok()) << read.message();
  EXPECT_EQ(std::tie(read->format, read->samples), std::tie(format, samples));
}

TEST_F(WaveFile, ChunksAreFoundPastOthersWithPaddingAndA16ByteFormat) {
  std::vector<uint8_t> bytes =
      Riff("WAVE", {Chunk("LIST", {1, 2, 3}), Chunk("fmt ", FmtBody(1, 1, 8)), Chunk("fact", {9}),
                    Chunk("data", Ramp(5))});
  std::vector<uint8_t> junkFirst = Chunk("JUNK", {0, 0});
  bytes.insert(bytes.begin(), junkFirst.begin(), junkFirst.end());
  Result<WaveSound> read = ParseWaveFile(bytes);
  ASSERT_TRUE(read.ok()) << read.message();
  EXPECT_EQ(std::tuple(read->samples, read->format.samplesPerSecond, read->format.extraSize),
            std::tuple(Ramp(5), 11025u, 0));
}

TEST_F(WaveFile, EachStepHasItsMessage) {
  std::vector<uint8_t> fmt = Chunk("fmt ", FmtBody(1, 1, 8));
  std::vector<uint8_t> data = Chunk("data", Ramp(10));
  std::vector<uint8_t> good = Riff("WAVE", {fmt, data});
  std::vector<uint8_t> shortData = good;
  shortData.resize(good.size() - 3);
  std::vector<uint8_t> shortFmt = Riff("WAVE", {Chunk("fmt ", {1, 0, 1, 0})});
  struct Case {
    const char* what;
    std::vector<uint8_t> bytes;
    std::string message;
  } cases[] = {
      {"empty file", {}, kNotWave},
      {"another form", Riff("AVI ", {fmt, data}), kNotWave},
      {"no fmt", Riff("WAVE", {data}), kCorrupt},
      {"fmt too small for PCM", shortFmt, kCorrupt},
      {"compressed", Riff("WAVE", {Chunk("fmt ", FmtBody(2, 1, 8)), data}), kUnsupported},
      {"12 bit", Riff("WAVE", {Chunk("fmt ", FmtBody(1, 1, 12)), data}), kUnsupported},
      {"16 bit, no whole sample",
       Riff("WAVE", {Chunk("fmt ", FmtBody(1, 2, 16)), Chunk("data", {1})}), "Empty audio file!"},
      {"data before fmt", Riff("WAVE", {data, fmt}), kCorrupt},
      {"no data", Riff("WAVE", {fmt}), kCorrupt},
      {"empty data", Riff("WAVE", {fmt, Chunk("data", {})}), "Empty audio file!"},
      {"data cut short", shortData, kCorrupt},
  };
  for (const Case& c : cases) {
    Result<WaveSound> read = ParseWaveFile(c.bytes);
    ASSERT_FALSE(read.ok()) << c.what;
    EXPECT_EQ(read.message(), c.message) << c.what;
  }
  // Every cut of a good file fails cleanly.
  for (std::size_t size = 0; size < good.size(); ++size)
    EXPECT_FALSE(ParseWaveFile({good.data(), size}).ok()) << size;
}

TEST_F(WaveFile, NameAndOpenChecksComeFirstAndARefusedFileUnloadsThePreviousSound) {
  WriteBytes(dir.File("loud.WAV"), EncodeWaveFile({}, Ramp(3)));
  EXPECT_EQ(std::tuple(ReadWaveFile("a.wa").message(), ReadWaveFile(dir.File("loud.WAV")).message(),
                       ReadWaveFile(dir.File("none.wav")).message()),
            std::tuple("Invalid Audio File extension", "Invalid Audio File extension",
                       "Could not open audio file!"));

  WriteBytes(dir.File("good.wav"), EncodeWaveFile({}, Ramp(100)));
  std::vector<uint8_t> wide =
      Riff("WAVE", {Chunk("fmt ", FmtBody(1, 3, 16)), Chunk("data", Ramp(12))});
  WriteBytes(dir.File("wide.wav"), wide);
  ASSERT_TRUE(doc.LoadSoundFile(dir.File("good.wav")));
  EXPECT_TRUE(doc.sound().loaded);
  EXPECT_FALSE(doc.LoadSoundFile(dir.File("wide.wav")));
  EXPECT_EQ(std::tuple(doc.sound().loaded, doc.sound().path, prompt.Texts()),
            std::tuple(false, dir.File("wide.wav"), std::vector{kUnsupported}));
}

TEST_F(WaveFile, IntegerSoundIsConvertedTo8BitMonoAtItsOwnRate) {
  const PcmLayout layouts[] = {
      {16, 2, 44100}, {16, 1, 22050}, {24, 1, 48000},          {24, 2, 96000},
      {8, 2, 11025},  {32, 2, 8000},  {24, 2, 48000, 1, true},
  };
  for (const PcmLayout& l : layouts) {
    const std::vector<int32_t> values = PcmValues(l, 301);
    Result<WaveSound> read = ParseWaveFile(PcmWave(l, values));
    ASSERT_TRUE(read.ok()) << l.bits << " " << l.channels << ": " << read.message();
    // The format as the suite's own writer describes 8-bit mono at that rate.
    WaveFormat mono;
    mono.samplesPerSecond = mono.averageBytesPerSecond = l.rate;
    EXPECT_EQ(std::tie(read->samples, read->format), std::tuple(ExpectedMono8(l, values), mono))
        << l.bits << " " << l.channels;
  }
  EXPECT_EQ(std::tuple(ParseWaveFile(PcmWave({16, 2, 44100}, {1, 2})).value().conversion,
                       ParseWaveFile(PcmWave({24, 1, 48000}, {1})).value().conversion,
                       ParseWaveFile(EncodeWaveFile({}, Ramp(4))).value().conversion),
            std::tuple("Converted 16-bit stereo 44100 Hz sound to 8-bit mono.",
                       "Converted 24-bit mono 48000 Hz sound to 8-bit mono.", ""));
}

TEST_F(WaveFile, SoundThatCannotBeConvertedIsRefused) {
  const PcmLayout layouts[] = {
      {32, 1, 44100, 3}, {32, 2, 44100, 3, true}, {16, 3, 44100},
      {16, 1, 44100, 2}, {16, 2, 44100, 2, true},
  };
  for (const PcmLayout& l : layouts) {
    Result<WaveSound> read = ParseWaveFile(PcmWave(l, {1, 2, 3, 4, 5, 6}));
    EXPECT_EQ(read.message(), kUnsupported) << l.tag << " " << l.channels;
  }
}

}  // namespace
}  // namespace quenda
