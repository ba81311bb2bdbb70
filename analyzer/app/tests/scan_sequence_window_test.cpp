// The analyzer's Scan Sequence on SANE's test backend: the selection dialog's checks, the scan
// settings offered from the scanner's last ones, drawings scanned into the list with the
// settings chosen, renumbered and deleted there, and the menu that leaves the mode.
#include <gtest/gtest.h>

#include <QAction>
#include <QButtonGroup>
#include <QDoubleSpinBox>
#include <QInputDialog>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <tuple>

#include "analyzer/app/analyzer_frame.h"
#include "common/drawing_scan.h"
#include "common/scripted_prompt.h"
#include "testing/sane_test_backend.h"
#include "testing/test_support.h"
#include "ui/dpi_buttons.h"
#include "ui/peg_buttons.h"
#include "ui/scan_settings_dialog.h"
#include "ui/settings.h"
#include "ui/settings_profile.h"
#include "ui/tests/modal_helper.h"
#include "ui/tests/screenshot.h"

namespace quenda {
namespace {

using namespace testing;

void Press(QWidget& window, const char* button) {
  window.findChild<QPushButton*>(QString::fromLatin1(button))->click();
}

// The scanner's profile beside the analyzer's, holding what the scanner keeps as it scans.
void KeepScannersSettings(const std::string& folder, int dpi, const twain::BedFrame& area) {
  Settings scanner(QStringLiteral("scanner"), QString::fromStdString(folder));
  SettingsProfile profile(scanner);
  ASSERT_TRUE(twain::SaveScanDpi(profile, dpi).ok());
  ASSERT_TRUE(twain::SaveScanArea(profile, area).ok());
}

TEST(AnalyzerScanSequence, WritesEachScanAsADrawingOfTheSequence) {
  testing::SaneTestBackend backend{{"test-picture \"Grid\""}};
  testing::TempDir dir;
  testing::TempDir profiles;
  Settings settings(QStringLiteral("analyzer"), QString::fromStdString(profiles.path()));
  KeepScannersSettings(profiles.path(), 100, {0.5, 0.25, 2.5, 1.75});
  DrawingScan loaded;
  loaded.picture = Raster(20, 10, 1);
  ASSERT_TRUE(WriteDrawingScan(dir.File("old1.qds"), loaded, ScanWriter::Analyzer).ok());
  ScriptedPrompt prompt;
  CAnalyzerFrame frame(&prompt, {}, nullptr, &settings);
  frame.show();
  ASSERT_TRUE(frame.OpenFile(QString::fromStdString(dir.File("old1.qds"))));
  // A drawing of the sequence is there already: scans go on after it.
  ASSERT_TRUE(WriteDrawingScan(dir.File("pose4.qds"), loaded, ScanWriter::Analyzer).ok());

  prompt.QueueAnswer(true);      // give up the drawing loaded
  prompt.QueuePath(dir.path());  // the output folder
  prompt.QueueChoice(0);         // the source: test:0
  WhenModal<ScanSelectionDialog>([](ScanSelectionDialog* d) {
    EXPECT_EQ(d->nameEdit()->text(), QStringLiteral("header"));
    EXPECT_EQ(d->pegButtons()->checked(), 1);
    d->accept();  // refused without a folder (the order of the checks is the form's own test)
    Press(*d, "selectOutputDirectory");
    d->nameEdit()->setText(QStringLiteral("pose"));
    d->pegButtons()->group()->button(0)->click();  // pegs along the bottom: not turned
    d->accept();
  });
  // The scanner's resolution and area, and grey since it kept no mode; the user takes 72 dpi.
  WhenModal<ScanSettingsDialog>([](ScanSettingsDialog* d) {
    EXPECT_EQ(std::tuple(d->dpiButtons()->dpi(), d->chosenArea()->isChecked(), d->edge(0)->value(),
                         d->edge(1)->value(), d->edge(2)->value(), d->edge(3)->value(),
                         d->gray()->isChecked()),
              std::tuple(100, true, 0.5, 0.25, 2.5, 1.75, true));
    d->dpiButtons()->group()->button(0)->click();
    testing::SaveScreenshot(*d, "analyzer_scan_settings.png");
    d->accept();
  });
  frame.Action("actionScanSequence")->trigger();
  EXPECT_EQ(prompt.Texts(), (std::vector<std::string>{
                                "You will lose the current picture and regions, Are you sure?",
                                "You must select an output directory",
                                "Select Source\nSources:\n[test:0] [test:1]"}));
  EXPECT_FALSE(frame.document().drawingLoaded());
  ScannedImageList* list = frame.scannedImageList();
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(frame.Action("actionScanSequence")->text(), QStringLiteral("E&xit Scan"));
  EXPECT_FALSE(frame.Action("actionLoadImage")->isEnabled());

  Press(*list, "scan");
  Press(*list, "scan");
  ASSERT_EQ(list->list()->count(), 2) << ::testing::PrintToString(prompt.Texts());
  EXPECT_EQ(list->list()->item(0)->text(), QStringLiteral("pose5"));
  EXPECT_FALSE(list->list()->item(0)->icon().isNull());
  // Scanned with the settings chosen, as scanimage would; the pixels are the scan mode's and the
  // device's tests.
  const Raster expected =
      backend.Scanimage("test:0", "--mode Gray --resolution 72 -l 12.7 -t 6.35 -x 50.8 -y 38.1");
  auto scan = ReadDrawingScan(dir.File("pose6.qds"), ScanReader::Analyzer);
  ASSERT_TRUE(scan.ok()) << scan.message();
  EXPECT_EQ(std::tuple(scan->scan.picture.width(), scan->scan.picture.height(), scan->scan.dpi,
                       scan->scan.pegPosition),
            std::tuple(expected.width(), expected.height(), 72, kPegBottom));
  // 2 x 1.5 inches at 72 dpi, as the backend rounds millimetres.
  EXPECT_NEAR(expected.width(), 144, 1);
  EXPECT_NEAR(expected.height(), 108, 1);

  list->list()->setCurrentRow(0);
  WhenModal<QInputDialog>([](QInputDialog* d) {
    d->setIntValue(9);
    d->accept();
  });
  Press(*list, "changeFrame");
  EXPECT_EQ(list->list()->item(0)->text(), QStringLiteral("pose9"));
  prompt.Clear();
  prompt.QueueAnswer(true);
  list->list()->setCurrentRow(1);
  Press(*list, "delete");
  EXPECT_EQ(prompt.Texts(), std::vector<std::string>{"Are you sure you want to delete pose6.qds"});
  EXPECT_EQ(ListDirectory(dir.path()),
            (std::vector<std::string>{"old1.qds", "pose4.qds", "pose9.qds"}));

  frame.Action("actionScanSequence")->trigger();
  QTest::qWait(0);  // the list window goes at the next pass of the event loop
  EXPECT_EQ(frame.scannedImageList(), nullptr);
  EXPECT_EQ(frame.Action("actionScanSequence")->text(), QStringLiteral("Scan Se&quence"));
  EXPECT_TRUE(frame.Action("actionLoadImage")->isEnabled());
  EXPECT_EQ(prompt.unexpected(), 0);
}

TEST(AnalyzerScanSequence, CancelInTheScanSettingsScansNothingAndKeepsTheDrawing) {
  testing::SaneTestBackend backend;
  testing::TempDir dir;
  testing::TempDir profiles;
  Settings settings(QStringLiteral("analyzer"), QString::fromStdString(profiles.path()));
  DrawingScan loaded;
  loaded.picture = Raster(20, 10, 1);
  ASSERT_TRUE(WriteDrawingScan(dir.File("old1.qds"), loaded, ScanWriter::Analyzer).ok());
  ScriptedPrompt prompt;
  CAnalyzerFrame frame(&prompt, {}, nullptr, &settings);
  ASSERT_TRUE(frame.OpenFile(QString::fromStdString(dir.File("old1.qds"))));
  prompt.QueueAnswer(true);
  prompt.QueuePath(dir.path());
  WhenModal<ScanSelectionDialog>([](ScanSelectionDialog* d) {
    Press(*d, "selectOutputDirectory");
    d->accept();
  });
  WhenModal<ScanSettingsDialog>([](ScanSettingsDialog* d) {
    // Nothing kept by the scanner: grey drawings of the whole bed at 150 dpi.
    EXPECT_EQ(
        std::tuple(d->dpiButtons()->dpi(), d->wholeBed()->isChecked(), d->gray()->isChecked()),
        std::tuple(150, true, true));
    d->reject();
  });
  frame.Action("actionScanSequence")->trigger();
  // No source was chosen, nothing written, and the drawing is still there.
  EXPECT_EQ(prompt.Texts(), std::vector<std::string>{
                                "You will lose the current picture and regions, Are you sure?"});
  EXPECT_EQ(frame.scannedImageList(), nullptr);
  EXPECT_EQ(frame.Action("actionScanSequence")->text(), QStringLiteral("Scan Se&quence"));
  EXPECT_TRUE(frame.document().drawingLoaded());
  EXPECT_EQ(ListDirectory(dir.path()), std::vector<std::string>{"old1.qds"});
}

}  // namespace
}  // namespace quenda
