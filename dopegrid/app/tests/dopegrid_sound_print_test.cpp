// The exposure sheet window's Sound menu and printing: the waveform in the sound column, what
// playback hands to the audio output and when, and the printed pages against the tool's.
#include <gtest/gtest.h>

#include <QAction>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QProcess>
#include <QStatusBar>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <tuple>

#include "common/scripted_prompt.h"
#include "common/wave_file.h"
#include "dopegrid/app/print_commands.h"
#include "dopegrid/app/sound_commands.h"
#include "dopegrid/app/tests/sheet_window.h"
#include "media/qt_audio_output.h"
#include "testing/fake_audio_output.h"
#include "testing/pdf_text.h"
#include "ui/tests/modal_helper.h"
#include "ui/tests/screenshot.h"

namespace quenda {
namespace {

using namespace quenda::testing;

constexpr uint32_t kRate = 8000;  // 320 samples a frame at 25 frames a second

// Frames 0..3 silent, 4..7 as loud as 8 bits go, every sample different from its neighbour
// after that so that the bytes handed over show where they came from.
std::vector<uint8_t> Samples() {
  std::vector<uint8_t> samples(12 * 320);
  for (std::size_t i = 0; i < samples.size(); ++i)
    samples[i] = i < 4 * 320 ? 128 : i < 8 * 320 ? (i % 2 ? 10 : 245) : uint8_t(i % 251);
  return samples;
}

// A sheet of 101 frames with sequence Ann on levels "default" and "front", and a wave beside it.
void MakeSoundSheet(const TempDir& dir, const std::string& path) {
  ScriptedPrompt quiet;
  CDopegridDoc doc(quiet);
  EXPECT_TRUE(doc.AddSequenceFile(WriteTinySequence(dir.path(), "Ann", 4, 96, 72)));
  doc.AddLevel("front");
  TransferAt(doc, 0, {0, 1, 2}, 0, 0, 2);
  TransferAt(doc, 0, {3}, 1, 97, 3);
  doc.AddFrames(1);
  EXPECT_TRUE(doc.OnSaveDocument(path));
  WaveFormat format;
  format.samplesPerSecond = format.averageBytesPerSecond = kRate;
  WriteBytes(dir.File("voice.wav"), EncodeWaveFile(format, Samples()));
}

struct SoundWindow : SheetWindow {
  SoundWindow() : SheetWindow(MakeSoundSheet) {
    QObject::connect(frame->statusBar(), &QStatusBar::messageChanged,
                     [this](const QString& text) { statuses << text; });
  }
  void LoadSound() {
    prompt.QueuePath(wave);
    action("actionLoadSound")->trigger();
  }
  // Plays by the wall clock at the sound's rate, keeping the bytes it was handed.
  FakeAudioOutput& Record() {
    auto owned = std::make_unique<FakeAudioOutput>();
    FakeAudioOutput& audio = *owned;
    frame->soundCommands().SetAudioOutput(std::move(owned));
    return audio;
  }

  std::string wave = dir.File("voice.wav");
  QStringList statuses;
};

TEST(DopegridSound, TheWaveformShowsWhereTheLoadedSoundIsLoud) {
  SoundWindow w;
  EXPECT_FALSE(w.action("actionPlayAll")->isEnabled());
  CDopegridView& view = *w.frame->sheetView();
  const QImage before = view.viewport()->grab().toImage();
  w.LoadSound();
  ASSERT_TRUE(w.prompt.Texts().empty()) << w.prompt.Texts().front();
  EXPECT_TRUE(w.action("actionPlaySelection")->isEnabled());
  const QImage after = view.viewport()->grab().toImage();
  // The silent rows keep their ground left of the middle line; the loud ones swing to the
  // column's edges (10 and 245 of 256 fall 3 and 95 pixels in).
  const int left = view.viewport()->width() - 100;
  auto changed = [&](int firstFrame, int lastFrame, int x0, int x1) {
    int count = 0;
    for (int y = view.CellRect(0, firstFrame).top(); y <= view.CellRect(0, lastFrame).bottom(); ++y)
      for (int x = left + x0; x <= left + x1; ++x) count += before.pixel(x, y) != after.pixel(x, y);
    return count;
  };
  EXPECT_EQ(changed(0, 3, 2, 45), 0);
  EXPECT_GT(changed(4, 7, 2, 8), 20);
  EXPECT_GT(changed(4, 7, 92, 98), 20);

  SaveScreenshot(*w.frame, "dopegrid_sound_window.png");

  // The system's own output plays it, or there is no device to say so.
  WaveFormat format;
  format.samplesPerSecond = format.averageBytesPerSecond = kRate;
  const bool device = QtAudioOutput().CanPlay(format);
  w.action("actionPlayAll")->trigger();
  if (device)
    EXPECT_TRUE(w.prompt.Texts().empty());
  else
    EXPECT_EQ(w.prompt.Texts(),
              std::vector<std::string>{"There are no audio devices to play the sound!"});
}

TEST(DopegridSound, AFailedLoadLeavesNoSoundCommandOnOffer) {
  SoundWindow w;
  w.LoadSound();
  const char* const needSound[] = {"actionSoundSettings", "actionPlayAll", "actionPlaySelection"};
  for (const char* name : needSound) EXPECT_TRUE(w.action(name)->isEnabled()) << name;
  WriteText(w.dir.File("notes.wav"), "not a sound");
  w.prompt.QueuePath(w.dir.File("notes.wav"));
  w.action("actionLoadSound")->trigger();
  EXPECT_EQ(w.prompt.Texts().size(), 1u);  // the reader's refusal, its own tests' subject
  EXPECT_FALSE(w.frame->document().sound().loaded);
  for (const char* name : needSound) EXPECT_FALSE(w.action(name)->isEnabled()) << name;
  EXPECT_TRUE(w.action("actionLoadSound")->isEnabled());
}

TEST(DopegridSound, PlayingHandsTheSoundUnderTheFramesAndLastsAsLongAsIt) {
  SoundWindow w;
  w.LoadSound();
  FakeAudioOutput& audio = w.Record();
  const std::vector<uint8_t> all = Samples();

  // Frames 3..4 (from 1) with the sound starting at frame 2: the samples of its frames 2 and 3.
  w.frame->document().SetSelection({0, 2, 0, 3});
  ASSERT_TRUE(w.frame->document().SetSoundSettings(25, 2));
  w.action("actionPlaySelection")->trigger();
  EXPECT_EQ(audio.handed, std::vector<uint8_t>(all.begin() + 320, all.begin() + 960));
  EXPECT_TRUE(audio.stoppedAfterMs >= 75 && audio.stoppedAfterMs < 400)  // 640 samples at 8000/s
      << audio.stoppedAfterMs;
  EXPECT_EQ(w.statuses,
            (QStringList{"Playing sound selection...     Press any key to stop", "Stopped."}));

  // Play All of 480 ms, stopped by a key after about 100: the key does not reach the sheet.
  w.statuses.clear();
  const int current = w.frame->document().currentFrame();
  QTimer::singleShot(100, w.frame.get(),
                     [&] { QTest::keyClick(w.frame->sheetView(), Qt::Key_Down); });
  w.action("actionPlayAll")->trigger();
  EXPECT_EQ(audio.handed, all);
  EXPECT_TRUE(audio.stoppedAfterMs >= 90 && audio.stoppedAfterMs < 400) << audio.stoppedAfterMs;
  EXPECT_EQ(w.statuses, (QStringList{"Playing Sound...     Press any key to stop", "Stopped."}));
  EXPECT_EQ(w.frame->document().currentFrame(), current);
  EXPECT_TRUE(w.prompt.Texts().empty());
}

// The tool's PDF of the sheet, for comparing with the window's; run as a farm job is, without
// XDG_RUNTIME_DIR, it says nothing on stderr.
PdfText ToolPrint(const std::string& sheet, const std::string& pdf) {
  QProcess tool;
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.remove(QStringLiteral("XDG_RUNTIME_DIR"));
  tool.setProcessEnvironment(environment);
  tool.start(QStringLiteral(QUENDA_TOOL),
             {QStringLiteral("sheet"), QStringLiteral("print"), QString::fromStdString(sheet),
              QStringLiteral("--pdf"), QString::fromStdString(pdf)});
  EXPECT_TRUE(tool.waitForFinished(30000));
  EXPECT_EQ(std::tuple(tool.exitCode(), tool.readAllStandardError().toStdString()),
            std::tuple(0, ""));
  return ReadPdfText(pdf);
}

TEST(DopegridPrint, ThePreviewShowsEveryPageAndCtrlPPrintsAsTheToolDoesButNotInPortrait) {
  SoundWindow w;
  int pages = 0;
  WhenModal<QPrintPreviewDialog>([&](QPrintPreviewDialog* d) {
    d->resize(1000, 700);
    auto* preview = d->findChild<QPrintPreviewWidget*>();
    ASSERT_NE(preview, nullptr);
    QTest::qWait(100);
    pages = preview->pageCount();
    SaveScreenshot(*d, "dopegrid_print_preview.png");
    d->reject();
  });
  w.action("actionPrintPreview")->trigger();
  EXPECT_EQ(pages, 5);
  EXPECT_TRUE(w.prompt.Texts().empty());

  QPrinter& printer = w.frame->printCommands().printer();
  printer.setPageSize(QPageSize(QPageSize::A4));
  printer.setOutputFormat(QPrinter::PdfFormat);
  const std::string pdf = w.dir.File("window.pdf");
  printer.setOutputFileName(QString::fromStdString(pdf));
  WhenModal<QPrintDialog>([](QPrintDialog* d) { d->accept(); });
  w.Key(Qt::Key_P, Qt::ControlModifier);
  const PdfText printed = ReadPdfText(pdf);
  const PdfText tool = ToolPrint(w.path, w.dir.File("tool.pdf"));
  EXPECT_EQ(std::tie(printed.pages, printed.words), std::tie(tool.pages, tool.words));

  const std::string portrait = w.dir.File("portrait.pdf");
  printer.setOutputFileName(QString::fromStdString(portrait));
  printer.setPageOrientation(QPageLayout::Portrait);
  WhenModal<QPrintDialog>([](QPrintDialog* d) { d->accept(); });
  w.action("actionPrint")->trigger();
  EXPECT_EQ(w.prompt.Texts(),
            std::vector<std::string>{"Dopegrid can only print in LANDSCAPE mode, please choose "
                                     "LANDSCAPE in print setup"});
  EXPECT_FALSE(std::filesystem::exists(portrait));
}

}  // namespace
}  // namespace quenda
