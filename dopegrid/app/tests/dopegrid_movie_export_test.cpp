// File > Export Movie (of the line test: the fixture's drawings are not painted): the dialog
// offers the loaded sound's own file, the movie is the sheet's frames as ffprobe reads them,
// and STOP leaves a whole movie of the frames made.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <filesystem>

#include "dopegrid/app/tests/sheet_window.h"
#include "media/movie_export_dialog.h"
#include "media/tests/movie_preset_check.h"
#include "media/tests/movie_test_support.h"
#include "ui/progress_window.h"
#include "ui/tests/modal_helper.h"
#include "ui/tests/screenshot.h"

namespace quenda {
namespace {

using namespace quenda::testing;

std::string MakeTone(const TempDir& dir) {
  const std::string path = dir.File("voice.flac");
  EXPECT_EQ(RunShell("ffmpeg -v error -f lavfi -i 'aevalsrc=0.5*sin(440*2*PI*t):s=44100:d=0.3' '" +
                     path + "'"),
            0);
  return path;
}

TEST(DopegridMovieExport, TheSheetsFramesBecomeAnH264MovieWithTheLoadedSoundsOwnFile) {
  SheetWindow w;
  const std::string tone = MakeTone(w.dir);
  ASSERT_TRUE(w.doc().LoadSoundFile(tone));  // FLAC, through FFmpeg
  EXPECT_TRUE(w.doc().sound().loaded);
  const std::string movie = w.dir.File("s.mp4");
  bool shown = false;
  WhenModal<MovieExportDialog>([&](MovieExportDialog* dialog) {
    shown = true;
    EXPECT_EQ(dialog->fileField()->text().toStdString(), movie);
    EXPECT_TRUE(dialog->soundBox()->isChecked());
    EXPECT_EQ(dialog->soundField()->text().toStdString(), tone);
    EXPECT_EQ(dialog->rateField()->currentText(), QStringLiteral("25"));
    // ProRes takes no CRF and shows its alpha, not a background; the name follows the codec.
    dialog->codecField()->setCurrentIndex(1);
    EXPECT_FALSE(dialog->qualityField()->isEnabled());
    EXPECT_EQ(dialog->fileField()->text().toStdString(), w.dir.File("s.mov"));
    dialog->codecField()->setCurrentIndex(0);
    EXPECT_EQ(dialog->fileField()->text().toStdString(), movie);
    dialog->findChild<QSpinBox*>(QStringLiteral("toFrame"))->setValue(6);
    dialog->findChild<QCheckBox*>(QStringLiteral("lineTest"))->setChecked(true);
    dialog->rateField()->setCurrentText(QStringLiteral("24000/1001"));
    SaveScreenshot(*dialog, QStringLiteral("dopegrid_export_movie.png"));
    QTest::mouseClick(dialog->exportButton(), Qt::LeftButton);
  });
  w.action("actionExportMovie")->trigger();
  ASSERT_TRUE(shown);
  auto streams = ProbeStreams(movie);
  ASSERT_EQ(streams.size(), 2u);
  EXPECT_EQ(streams[0]["codec_name"], "h264");
  EXPECT_EQ(streams[0]["nb_read_frames"], "6");
  EXPECT_EQ(streams[0]["r_frame_rate"], "24000/1001");
  EXPECT_EQ(streams[1]["codec_name"], "aac");
  const std::vector<std::string> texts = w.prompt.Texts();
  ASSERT_FALSE(texts.empty());
  EXPECT_EQ(texts.back(), "Wrote " + movie + ": 6 frames at 24000/1001 per second, 0.25 seconds.");
}

TEST(DopegridMovieExport, StopLeavesAWholeMovieOfTheFramesMade) {
  SheetWindow w(AnnAndBob(false, 800, 600));
  const std::string movie = w.dir.File("s.mov");
  w.prompt.QueueAnswer(true);  // stop the render
  const std::size_t before = ListDirectory(w.dir.path()).size();
  bool stopped = false;
  WhenModal<MovieExportDialog>([&](MovieExportDialog* dialog) {
    dialog->fileField()->setText(QString::fromStdString(movie));
    EXPECT_EQ(dialog->codecField()->currentIndex(), 1);
    dialog->findChild<QCheckBox*>(QStringLiteral("lineTest"))->setChecked(true);
    WhenModal<ProgressWindow>(
        [&](ProgressWindow* progress) {
          EXPECT_EQ(progress->windowTitle(), QStringLiteral("Exporting Movie"));
          // The movie grows in a file of its own beside the target once the first frame is in.
          QElapsedTimer waited;
          waited.start();
          while (ListDirectory(w.dir.path()).size() == before && waited.elapsed() < 10000)
            QTest::qWait(1);
          QTest::mouseClick(progress->stopButton(), Qt::LeftButton);
          stopped = true;
        },
        0);
    QTest::mouseClick(dialog->exportButton(), Qt::LeftButton);
  });
  w.action("actionExportMovie")->trigger();
  ASSERT_TRUE(stopped);
  const std::vector<std::string> texts = w.prompt.Texts();
  ASSERT_EQ(texts.size(), 3u);
  EXPECT_EQ(texts[0], "Do you want to stop render?");
  const std::string said = "Stopped after Frame : ";
  ASSERT_TRUE(texts[1].starts_with(said)) << texts[1];
  const int last = std::stoi(texts[1].substr(said.size()));
  ASSERT_TRUE(last >= 1 && last < 100) << texts[1];
  EXPECT_TRUE(texts[2].starts_with("Wrote " + movie + ": " + std::to_string(last) + " frames"))
      << texts[2];
  auto streams = ProbeStreams(movie);
  ASSERT_EQ(streams.size(), 1u);
  EXPECT_EQ(streams[0]["codec_name"], "prores");
  EXPECT_EQ(streams[0]["nb_read_frames"], std::to_string(last));
  EXPECT_EQ(ListDirectory(w.dir.path()).size(), before + 1);  // no unfinished file is left
}

// As in the composer, through this window's own command; the ultrafast preset uses no CABAC.
TEST(DopegridMovieExport, ThePresetChosenIsUsedAndRememberedAndProResDisablesWhatItIgnores) {
  SheetWindow w;
  ExpectPresetUsedAndRemembered(
      {QStringLiteral("ultrafast"), "cabac=0", QStringLiteral("dopegrid"), w.dir.path(),
       w.dir.File("s.mp4")},
      [&] { w.action("actionExportMovie")->trigger(); },
      [](MovieExportDialog* dialog) {
        dialog->findChild<QCheckBox*>(QStringLiteral("lineTest"))->setChecked(true);
      });
}

}  // namespace
}  // namespace quenda
