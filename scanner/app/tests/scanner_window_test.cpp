// The scanner's window on SANE's test backend: a new sequence with its preview, the scan area
// drawn with the mouse, frames scanned, renumbered and deleted, and the calibration dialog.
#include <gtest/gtest.h>

#include <QAction>
#include <QButtonGroup>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QSpinBox>
#include <QTest>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <tuple>

#include "common/drawing_scan.h"
#include "common/scripted_prompt.h"
#include "scanner/app/import_dialog.h"
#include "scanner/app/scanner_dialogs.h"
#include "scanner/app/scanner_frame.h"
#include "scanner/app/scanner_view.h"
#include "scanner/app/sequence_fields.h"
#include "testing/picture_files.h"
#include "testing/sane_test_backend.h"
#include "testing/test_support.h"
#include "ui/dpi_buttons.h"
#include "ui/peg_buttons.h"
#include "ui/settings.h"
#include "ui/settings_profile.h"
#include "ui/tests/crashing_run.h"
#include "ui/tests/modal_helper.h"
#include "ui/tests/screenshot.h"
#include "ui/tests/second_process.h"

namespace quenda::scanner {
namespace {

using namespace quenda::testing;

struct ScannerWindow {
  ScannerWindow() : settings(QStringLiteral("scanner"), QString::fromStdString(dir.path())) {
    frame = std::make_unique<CScannerFrame>(&prompt, &settings);
    frame->show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(frame.get()));
    // Fails loudly when the backend cannot start: nothing else here can work without it.
    EXPECT_EQ(frame->session().state(), 3) << "SANE's test backend did not start";
  }
  CScannerView& view() { return *frame->view(); }
  bool Exists(const char* file) { return std::filesystem::exists(dir.File(file)); }

  // Fills "Scan New Sequence" with "walk" in the test folder, pegs along the bottom, 150 dpi.
  void NewSequence() {
    prompt.QueuePath(dir.path() + "/");
    WhenModal<NewSequenceDialog>([](NewSequenceDialog* d) {
      d->fields()->nameEdit()->setText(QStringLiteral("walk"));
      d->findChild<QPushButton*>(QStringLiteral("chooseDirectory"))->click();
      d->fields()->pegButtons()->group()->button(0)->click();
      d->fields()->dpiButtons()->group()->button(2)->click();
      d->accept();
    });
    frame->Action("actionNewSequence")->trigger();
  }
  // A left drag in window pixels from `from` by `by`.
  void Drag(QPoint from, QPoint by) {
    QWidget* surface = view().viewport();
    QTest::mousePress(surface, Qt::LeftButton, {}, from);
    QMouseEvent move(QEvent::MouseMove, from + by, surface->mapToGlobal(from + by), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(surface, &move);
    QTest::mouseRelease(surface, Qt::LeftButton, {}, from + by);
  }

  SaneTestBackend backend{{"test-picture \"Grid\""}};
  TempDir dir;
  ScriptedPrompt prompt;
  Settings settings;
  std::unique_ptr<CScannerFrame> frame;
};

// Answers "New frame number ?" with its proposals `first` to `last`, checking each.
void ScanProposed(int first, int last) {
  WhenModal<FrameNumberDialog>([first, last](FrameNumberDialog* d) {
    EXPECT_EQ(d->windowTitle(), QStringLiteral("New frame number ?"));
    EXPECT_EQ(d->number()->value(), first);
    if (first < last) ScanProposed(first + 1, last);
    d->accept();
  });
}

TEST(ScannerWindow, ScansRenumbersAndDeletesFramesOfANewSequence) {
  ScannerWindow w;
  w.NewSequence();
  CScannerDoc& doc = w.frame->document();
  ASSERT_TRUE(doc.scanModeActive()) << ::testing::PrintToString(w.prompt.Texts());
  ASSERT_TRUE(w.view().hasPicture());
  EXPECT_EQ(std::tuple(doc.scanDpi(), doc.pegPosition()), std::tuple(150, 2));

  // The whole rectangle follows the mouse; y counts upwards.
  const Selection before = doc.selection();
  const QRect shown = w.view().SelectionInWindow();
  w.Drag(shown.center(), {6, -4});
  EXPECT_EQ(doc.selection(),
            (Selection{before.left + 6, before.right + 6, before.top + 4, before.bottom + 4}));
  // The right edge alone, grabbed at its middle.
  const QRect moved = w.view().SelectionInWindow();
  w.Drag({moved.right() + 1, moved.center().y()}, {-8, 0});
  EXPECT_EQ(std::tuple(doc.selection().left, doc.selection().right),
            std::tuple(before.left + 6, before.right + 6 - 8));

  // Two frames: continue after the first, stop after the second.
  ScanProposed(1, 2);
  w.prompt.QueueChoice(0);
  w.prompt.QueueChoice(1);
  w.frame->Action("actionScanSelection")->trigger();
  ASSERT_TRUE(w.Exists("walk1.qds") && w.Exists("walk2.qds"))
      << ::testing::PrintToString(w.prompt.Texts());
  // What the scanner used is what the other programs that scan offer next: the resolution of the
  // sequence and the area the frames were scanned from (to a thousandth of an inch).
  SettingsProfile kept(w.settings);
  const twain::ScanSettings last = twain::LoadScanSettings(kept, {});
  const twain::BedFrame scanned =
      BedFrameOfSelection(doc.selection(), doc.previewDpi(), doc.pegPosition(),
                          *w.frame->session().BedWidth(), *w.frame->session().BedHeight());
  ASSERT_TRUE(last.area);
  EXPECT_EQ(last.dpi, 150);
  EXPECT_NEAR(last.area->left, scanned.left, 0.0005);
  EXPECT_NEAR(last.area->top, scanned.top, 0.0005);
  EXPECT_NEAR(last.area->right, scanned.right, 0.0005);
  EXPECT_NEAR(last.area->bottom, scanned.bottom, 0.0005);
  EXPECT_TRUE(w.frame->ToolPanelText().contains(QStringLiteral("DPI: 150")));
  // The preview stays, with the frame just scanned in the tools.
  SaveScreenshot(*w.frame, "scanner-preview.png");

  // Leaving the scan mode shows the frames, which the arrow keys browse.
  w.frame->Action("actionStopScan")->trigger();
  EXPECT_FALSE(doc.scanModeActive());
  // The scanner is free again: another can be chosen and the calibration previewed.
  EXPECT_TRUE(w.frame->Action("actionSelectSource")->isEnabled());
  EXPECT_TRUE(w.frame->Action("actionCalibration")->isEnabled());
  EXPECT_EQ(w.frame->windowTitle(), QStringLiteral("walk2 - Quenda Scanner"));
  w.frame->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(w.frame.get()));
  QTest::keyClick(w.frame.get(), Qt::Key_Left);
  EXPECT_EQ(doc.currentFrame(), 0);
  QTest::keyClick(w.frame.get(), Qt::Key_Right);
  EXPECT_EQ(doc.currentFrame(), 1);

  WhenModal<FrameNumberDialog>([](FrameNumberDialog* d) {
    EXPECT_EQ(d->windowTitle(), QStringLiteral("Change Frame Number"));
    d->number()->setValue(7);
    d->accept();
  });
  w.frame->Action("actionFrameNo")->trigger();
  EXPECT_EQ(std::tuple(w.Exists("walk7.qds"), w.Exists("walk2.qds")), std::tuple(true, false));

  w.prompt.Clear();
  w.prompt.QueueAnswer(true);
  w.frame->Action("actionDelete")->trigger();
  EXPECT_EQ(w.prompt.Texts(),
            std::vector<std::string>{"Are you sure you want to delete frame walk7"});
  EXPECT_EQ(std::tuple(w.Exists("walk7.qds"), w.Exists("walk1.qds")), std::tuple(false, true));
  EXPECT_EQ(w.prompt.unexpected(), 0);
}

TEST(ScannerWindow, ImportingPngScansOverASequenceAsksAndReplacesItWholeKeepingItsColours) {
  ScannerWindow w;
  TempDir out;
  for (int n = 1; n <= 3; ++n)
    for (const char* extension : {".qds", ".rgn", ".pnt"})
      WriteText(out.File("cel" + std::to_string(n) + extension), "old");
  WriteText(out.File("cel.col"), "colours");
  for (const char* name : {"sc010_cel_0001.png", "sc010_cel_0002.png"})
    ASSERT_EQ(std::system(("convert -size 7x5 xc:gray60 -units PixelsPerInch -density 300 '" +
                           w.dir.File(name) + "'")
                              .c_str()),
              0);
  const auto fillIn = [&](ImportDialog* d) {
    auto shown = [d](const char* name) { return d->findChild<QLabel*>(name)->text(); };
    EXPECT_EQ(
        std::tuple(shown("type"), shown("header"), shown("start"), shown("end"),
                   shown("resolution")),
        std::tuple(QStringLiteral("PNG images"), QStringLiteral("sc010_cel_"), QStringLiteral("1"),
                   QStringLiteral("2"), QStringLiteral("300 dpi (from the file)")));
    SaveScreenshot(*d, "scanner-import-png.png");
    d->fields()->nameEdit()->setText(QStringLiteral("cel"));
    d->findChild<QPushButton*>(QStringLiteral("chooseDirectory"))->click();
    d->fields()->pegButtons()->group()->button(1)->click();
    d->accept();  // no dpi chosen: the file's stands
  };
  const std::vector<std::string> before = ListDirectory(out.path());
  const std::string question =
      "The sequence cel in " + out.path() +
      " has 3 drawings already (9 files with their region and paint files).\nReplace them? They "
      "are removed before the new drawings are written; the colour set is kept.";
  // No leaves everything as it was.
  w.prompt.QueuePath(w.dir.File("sc010_cel_0001.png"));
  w.prompt.QueuePath(out.path());
  w.prompt.QueueAnswer(false);
  WhenModal<ImportDialog>(fillIn);
  w.frame->Action("actionImportSequence")->trigger();
  EXPECT_EQ(w.prompt.Texts(), std::vector<std::string>{question});
  EXPECT_EQ(ListDirectory(out.path()), before);

  w.prompt.Clear();
  w.prompt.QueuePath(w.dir.File("sc010_cel_0001.png"));
  w.prompt.QueuePath(out.path());
  w.prompt.QueueAnswer(true);
  WhenModal<ImportDialog>(fillIn);
  w.frame->Action("actionImportSequence")->trigger();
  EXPECT_EQ(w.prompt.Texts(), (std::vector<std::string>{question, "Finished..."}));
  EXPECT_EQ(ListDirectory(out.path()),
            (std::vector<std::string>{"cel.col", "cel1.qds", "cel2.qds"}));
  EXPECT_EQ(ReadText(out.File("cel.col")), "colours");
  auto read = ReadDrawingScan(out.File("cel2.qds"), ScanReader::Scanner);
  ASSERT_TRUE(read.ok()) << read.message();
  EXPECT_EQ(std::tuple(read->scan.dpi, read->scan.picture.width()), std::tuple(300, 7));
  EXPECT_EQ(w.prompt.unexpected(), 0);
}

TEST(ScannerWindow, ImportsANumberedBitmapSeriesAndCalibratesThroughTheirDialogs) {
  ScannerWindow w;
  TempDir out;
  const TestPicture picture = MakeTestPicture(13, 7, 16);
  for (const char* name : {"cel08.bmp", "cel09.bmp", "cel10.bmp"})
    WriteBytes(w.dir.File(name), EncodeTestBmp(picture, 24, false));
  w.prompt.QueuePath(w.dir.File("cel08.bmp"));
  w.prompt.QueuePath(out.path());
  WhenModal<ImportDialog>([&](ImportDialog* d) {
    auto shown = [d](const char* name) { return d->findChild<QLabel*>(name)->text(); };
    EXPECT_EQ(std::tuple(shown("type"), shown("header"), shown("start"), shown("end")),
              std::tuple(QStringLiteral("Windows bitmap images"), QStringLiteral("cel"),
                         QStringLiteral("8"), QStringLiteral("10")));
    // OK with a field left out says so and keeps the dialog (the checks' order is the form's).
    SequenceFields& fields = *d->fields();
    d->accept();
    fields.nameEdit()->setText(QStringLiteral("cel"));
    d->findChild<QPushButton*>(QStringLiteral("chooseDirectory"))->click();
    fields.pegButtons()->group()->button(3)->click();
    fields.dpiButtons()->group()->button(DpiButtons::kCustomButton)->click();
    fields.dpiButtons()->custom()->setValue(240);
    d->accept();
  });
  w.frame->Action("actionImportSequence")->trigger();
  EXPECT_EQ(w.prompt.shown().front().text, "Select the first frame of the input sequence");
  EXPECT_EQ(w.prompt.Texts(),
            (std::vector<std::string>{"You must enter a valid sequence name", "Finished..."}));
  EXPECT_EQ(ListDirectory(out.path()),
            (std::vector<std::string>{"cel10.qds", "cel8.qds", "cel9.qds"}));
  auto read = ReadDrawingScan(out.File("cel9.qds"), ScanReader::Scanner);
  ASSERT_TRUE(read.ok()) << read.message();
  EXPECT_EQ(std::tuple(read->scan.dpi, read->scan.pegPosition), std::tuple(240, 3));

  // A file of another kind is refused before any dialog.
  w.prompt.Clear();
  w.prompt.QueuePath(w.dir.File("notes.txt"));
  w.frame->Action("actionImportSequence")->trigger();
  EXPECT_EQ(w.prompt.Texts(), std::vector<std::string>{"Unsupported file extension"});

  // Calibration shows the bed and keeps the values.
  WhenModal<CalibrationDialog>([&](CalibrationDialog* d) {
    d->findChild<QPushButton*>(QStringLiteral("scanPreview"))->click();
    d->contrast()->setValue(100);
    d->brightness()->setValue(-20);
    EXPECT_FALSE(d->picture()->pixmap().isNull());
    SaveScreenshot(*d, "scanner-calibration.png");
    d->accept();
  });
  w.frame->Action("actionCalibration")->trigger();
  EXPECT_EQ(w.frame->document().calibration().contrast, 100);
  auto kept = [&](const char* key) {
    return w.settings.GetString(QStringLiteral("CALIBRATION"), QLatin1String(key));
  };
  EXPECT_EQ(std::tuple(kept("Contrast"), kept("Brightness")),
            std::tuple(QStringLiteral("100"), QStringLiteral("-20")));
  EXPECT_TRUE(w.frame->document().calibrationImage().empty());
}

// The real tool draws the frame on show again in a process of its own: the window offers to
// read it again, and Keep This Version leaves the picture as it was.
TEST(ScannerWindow, AFrameRedrawnByAnotherProgramIsOfferedToReadAgain) {
  ScannerWindow w;
  auto sample = [&](const char* size, bool force) {
    std::vector<std::string> words{QUENDA_TOOL, "sample", w.dir.path(), "--name", "walk",
                                   "--frames",  "2",      "--size",     size};
    if (force) words.emplace_back("--force");
    return RunSecondProcess(words);
  };
  ASSERT_EQ(sample("40x30", false), 0);
  ASSERT_TRUE(w.frame->OpenFile(QString::fromStdString(w.dir.File("walk2.qds"))));
  const std::string question =
      "Quenda Scanner\nwalk2.qds was changed on disk by another program. Reload it?\n[Reload] "
      "[Keep This Version]";
  for (const auto& [size, button, width] : {std::tuple("60x30", 1, 40), {"70x30", 0, 70}}) {
    w.prompt.Clear();
    w.prompt.QueueChoice(button);
    ASSERT_EQ(sample(size, true), 0);
    ASSERT_TRUE(WaitWithEvents([&] { return !w.prompt.Texts().empty(); }, 20000))
        << "the window did not notice";
    EXPECT_EQ(w.prompt.Texts(), std::vector<std::string>{question});
    EXPECT_EQ(w.frame->document().frame().picture.width(), width);
  }
}

// The real tool analyzes the sequence while the window shows its second frame: no reload is
// offered for a file the window does not show, but Edit > Delete names the new region file
// first; Cancel keeps every file, and Delete, asked again, removes them.
TEST(ScannerWindow, DeletingAFrameAnalyzedElsewhereMeanwhileAsksFirst) {
  ScannerWindow w;
  auto tool = [](std::vector<std::string> words) {
    words.insert(words.begin(), QUENDA_TOOL);
    return RunSecondProcess(words);
  };
  ASSERT_EQ(tool({"sample", w.dir.path(), "--name", "walk", "--frames", "2", "--size", "40x30"}),
            0);
  ASSERT_TRUE(w.frame->OpenFile(QString::fromStdString(w.dir.File("walk2.qds"))));
  ASSERT_EQ(tool({"analyze", w.dir.File("walk1.qds"), "--yes"}), 0);
  QTest::qWait(500);  // any notice of the watch has come by now
  const std::vector<std::string> asked{
      "Are you sure you want to delete frame walk2",
      "Quenda Scanner\nwalk2.rgn was changed on disk by another program since it was read here. "
      "Deleting frame walk2 removes those changes.\n[Delete] [Cancel]"};
  for (const auto& [button, kept] : {std::tuple(1, true), std::tuple(0, false)}) {
    w.prompt.Clear();
    w.prompt.QueueAnswer(true);
    w.prompt.QueueChoice(button);
    w.frame->Action("actionDelete")->trigger();
    EXPECT_EQ(w.prompt.Texts(), asked);
    EXPECT_EQ(std::tuple(w.Exists("walk2.qds"), w.Exists("walk2.rgn")), std::tuple(kept, kept));
  }
  EXPECT_EQ(w.frame->windowTitle(), QStringLiteral("walk1 - Quenda Scanner"));
}

}  // namespace
}  // namespace quenda::scanner
