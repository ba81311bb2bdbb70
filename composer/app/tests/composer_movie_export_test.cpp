// File > Export Movie in the composer: the frames Render Output composes become a ProRes 4444
// movie with the matte as alpha and the sound laid from the frame asked, as ffprobe reads it.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>

#include "cli/tests/tool_run.h"
#include "common/targa.h"
#include "composer/app/tests/composer_window_fixture.h"
#include "media/movie_export_dialog.h"
#include "media/tests/movie_preset_check.h"
#include "media/tests/movie_test_support.h"
#include "ui/tests/screenshot.h"

namespace quenda {
namespace {

using namespace testing;

TEST(ComposerMovieExport, TheFramesBecomeProResWithTheMatteAndTheSoundFromTheFrameAsked) {
  ComposerWindow w;
  const std::string tone = w.dir.File("music.mp3");
  ASSERT_EQ(RunShell("ffmpeg -v error -f lavfi -i 'aevalsrc=0.5*sin(440*2*PI*t):s=44100:d=2' "
                     "-c:a libmp3lame '" +
                     tone + "'"),
            0);
  const std::string movie = w.dir.File("movie.mov");
  bool shown = false;
  WhenModal<MovieExportDialog>([&](MovieExportDialog* d) {
    shown = true;
    EXPECT_EQ(d->fileField()->text().toStdString(), w.dir.File("movie.mp4"));
    EXPECT_FALSE(d->soundBox()->isChecked());
    d->codecField()->setCurrentIndex(1);
    EXPECT_EQ(d->fileField()->text().toStdString(), movie);
    d->findChild<QSpinBox*>(QStringLiteral("toFrame"))->setValue(6);
    d->soundField()->setText(QString::fromStdString(tone));
    d->soundBox()->setChecked(true);
    d->soundStartField()->setValue(3);
    SaveScreenshot(*d, QStringLiteral("composer_export_movie.png"));
    // A sound that is not there is refused and the dialog stays.
    d->soundField()->setText(QString::fromStdString(w.dir.File("gone.wav")));
    QTest::mouseClick(d->exportButton(), Qt::LeftButton);
    EXPECT_TRUE(d->isVisible());
    d->soundField()->setText(QString::fromStdString(tone));
    QTest::mouseClick(d->exportButton(), Qt::LeftButton);
  });
  w.frame->Action("actionExportMovie")->trigger();
  ASSERT_TRUE(shown);
  const std::vector<std::string> texts = w.prompt.Texts();
  ASSERT_EQ(texts.size(), 2u);
  EXPECT_EQ(texts[0], "The sound file " + w.dir.File("gone.wav") + " is not there.");
  EXPECT_EQ(texts[1], "Wrote " + movie + ": 6 frames at 25 per second, 0.24 seconds.");
  auto streams = ProbeStreams(movie);
  ASSERT_EQ(streams.size(), 2u);
  EXPECT_EQ(streams[0]["codec_name"], "prores");
  EXPECT_TRUE(streams[0]["pix_fmt"].starts_with("yuva444p"));
  EXPECT_EQ(streams[0]["nb_read_frames"], "6");
  EXPECT_EQ(streams[1]["codec_name"], "pcm_s24le");
  // Silence under frames 1 and 2, the tone from frame 3.
  std::vector<int16_t> sound = DecodedSound(movie, 48000);
  ASSERT_GT(sound.size(), 5000u);
  long first = -1;
  for (std::size_t i = 0; i < sound.size() && first < 0; ++i)
    if (std::abs(sound[i]) > 8192) first = long(i);
  EXPECT_NEAR(first, 2 * 48000 / 25, 96);
  // The matte is the alpha: what compose --matte writes for the first frame.
  cli::ToolOutput run = cli::RunTool(
      {"compose", w.cmp, "--out", w.dir.File("tool"), "--name", "m", "--frames", "1-6", "--matte"});
  ASSERT_EQ(run.code, 0) << run.err;
  Result<Raster> frame = ReadTarga(w.dir.File("tool/m0000.tga"), TargaReader::ComposerClipFrame);
  ASSERT_TRUE(frame.ok()) << frame.message();
  std::vector<uint8_t> decoded = DecodedPictures(movie, "rgba");
  ASSERT_GE(decoded.size(), std::size_t(frame->width()) * frame->height() * 4);
  int worst = 0;
  for (int y = 0; y < frame->height(); ++y)
    for (int x = 0; x < frame->width(); ++x) {
      const uint8_t* want = frame->At(x, frame->height() - 1 - y);
      const uint8_t got = decoded[(std::size_t(y) * frame->width() + x) * 4 + 3];
      worst = std::max(worst, std::abs(int(got) - int(want[3])));
    }
  EXPECT_LE(worst, 2);
}

// x264 writes its settings into the stream: the slow preset's sub-pixel search.
TEST(ComposerMovieExport, ThePresetChosenIsUsedAndRememberedAndProResDisablesWhatItIgnores) {
  ComposerWindow w;
  ExpectPresetUsedAndRemembered(
      {QStringLiteral("slow"), "subme=8", QStringLiteral("composer"), w.dir.path(),
       w.dir.File("movie.mp4")},
      [&] { w.frame->Action("actionExportMovie")->trigger(); }, nullptr);
}

}  // namespace
}  // namespace quenda
