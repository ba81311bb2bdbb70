// Dialog checks and defaults, status texts, the image window's choice of a cel, and playing
// the sound under the selection.
#include <gtest/gtest.h>

#include "common/scripted_prompt.h"
#include "common/wave_file.h"
#include "dopegrid/core/sheet_dialogs.h"
#include "dopegrid/core/sheet_drawing.h"
#include "dopegrid/tests/sheet_test_support.h"

namespace quenda {
namespace {

using testing::AddSequences;
using testing::TempDir;
using testing::TransferAt;

TEST(SheetDialogs, FrameFieldsClampAsTheyAreLeft) {
  EXPECT_EQ(ClampStartFrame(0, 10, 100), 1);
  EXPECT_EQ(ClampStartFrame(50, 10, 100), 10);     // not beyond the end
  EXPECT_EQ(ClampStartFrame(150, 200, 100), 100);  // not beyond the sheet
  EXPECT_EQ(ClampEndFrame(150, 5, 100), 100);
  EXPECT_EQ(ClampEndFrame(3, 5, 100), 5);
}

TEST(SheetDialogs, RatesQualityLevelsAndDefaults) {
  EXPECT_EQ(kFrameRateChoices[std::size_t(FrameRateChoice(25))], "25 (PAL)");
  EXPECT_EQ(kFrameRateChoices[std::size_t(FrameRateChoice(24))], "24 (FILM)");
  EXPECT_EQ(kFrameRateChoices[std::size_t(FrameRateChoice(12))], "Custom");
  EXPECT_EQ(QualityText(5000), "50%");
  EXPECT_EQ(QualityText(9999), "99%");
  EXPECT_EQ(ChosenLevelsOrAll({}, 3), (std::vector<int>{0, 1, 2}));
  EXPECT_EQ(ChosenLevelsOrAll({2, 0, 2, 7}, 3), (std::vector<int>{0, 2}));
  JobDefaults job = DefaultJob({1, 4, 2, 9});
  EXPECT_EQ(job.firstFrame, 5);
  EXPECT_EQ(job.lastFrame, 10);
  EXPECT_EQ(job.levels, (std::vector<int>{1, 2}));
  EXPECT_TRUE(IsTransferSpacing(kTransferOnAnyDefault));
  EXPECT_FALSE(IsTransferSpacing(0));
  EXPECT_FALSE(IsTransferSpacing(1001));
}

TEST(SheetDialogs, CelSourceAndTheImageWindow) {
  TempDir dir;
  ScriptedPrompt prompt;
  CDopegridDoc doc(prompt);
  AddSequences(doc, dir, {"Ann"}, 2);
  EXPECT_EQ(CelSourcePath(doc, prompt).message(), "No picture to view in that cell.");
  TransferAt(doc, 0, {1}, 0, 3, 2);
  doc.SetCurrentCell(0, 4);  // the hold shows the same drawing
  Result<std::string> path = CelSourcePath(doc, prompt);
  ASSERT_TRUE(path.ok());
  EXPECT_EQ(path.value(), dir.File("Ann2.qds"));
  Result<LoadedDrawingScan> image = ReadDrawingScan(*path, ScanReader::CelViewer);
  ASSERT_TRUE(image.ok()) << image.message();
  EXPECT_EQ(CelSizeText(image->scan), "9x7");
  EXPECT_EQ(CelOriginText(image->scan), "0x0");
  std::vector<uint8_t> mapped = testing::ReadBytes(*path);
  mapped[1] = 1;  // the viewer refuses any colour map, not only the ones other readers refuse
  EXPECT_EQ(ParseDrawingScan(mapped, ScanReader::CelViewer, *path).message(),
            "Incorrect image type!");
}

class QuietAudio : public AudioOutput, public PlaybackWatch {
 public:
  bool CanPlay(const WaveFormat&) override { return true; }
  bool Open(const WaveFormat&) override { return true; }
  bool Play(const std::vector<uint8_t>& samples, std::size_t startByte) override {
    played.assign(samples.begin() + std::ptrdiff_t(startByte), samples.end());
    return true;
  }
  std::optional<double> PlayedMs() override { return std::nullopt; }  // over at once
  void Stop() override {}
  bool KeyPressed() override { return false; }
  void ShowStatus(std::string_view text) override { statuses.emplace_back(text); }

  std::vector<uint8_t> played;
  std::vector<std::string> statuses;
};

TEST(SheetDialogs, PlayingTheSelectionAndTheStatusBar) {
  TempDir dir;
  ScriptedPrompt prompt;
  CDopegridDoc doc(prompt);
  WaveFormat format;
  format.samplesPerSecond = format.averageBytesPerSecond = 250;  // 10 samples per frame
  std::vector<uint8_t> samples(100);
  for (std::size_t i = 0; i < samples.size(); ++i) samples[i] = uint8_t(i);
  testing::WriteBytes(dir.File("s.wav"), EncodeWaveFile(format, samples));
  QuietAudio audio;
  EXPECT_FALSE(doc.PlayAll(audio, audio));  // nothing loaded yet
  ASSERT_TRUE(doc.LoadSoundFile(dir.File("s.wav")));
  ASSERT_TRUE(doc.SetSoundSettings(25, 4));
  doc.SetSelection({0, 1, 0, 4});  // starts before the sound: plays from its first sample
  ASSERT_TRUE(doc.PlaySelection(audio, audio));
  EXPECT_EQ(audio.played.size(), 20u);
  EXPECT_EQ(audio.played[0], 0);
  EXPECT_EQ(audio.statuses.front(), "Playing sound selection...     Press any key to stop");
  doc.SetSelection({0, 0, 0, 1});  // ends before it: nothing
  EXPECT_FALSE(doc.PlaySelection(audio, audio));
  ASSERT_TRUE(doc.PlayAll(audio, audio));
  EXPECT_EQ(audio.played.size(), 100u);

  doc.SetCurrentCell(0, 6);
  EXPECT_EQ(StatusTexts(doc),
            (std::array<std::string, 3>{"Sound Frame Rate : 25", "Total Frames : 100",
                                        "Current Frame : 7"}));
}

}  // namespace
}  // namespace quenda
