// The analyzer's Scan Sequence on SANE's test backend: the selection dialog's checks, drawings
// scanned into the list, renumbered and deleted there, and the menu that leaves the mode.
#include <gtest/gtest.h>

#include <QAction>
#include <QButtonGroup>
#include <QInputDialog>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <tuple>

#include "analyzer/app/analyzer_frame.h"
#include "common/drawing_scan.h"
#include "common/scripted_prompt.h"
#include "testing/sane_test_backend.h"
#include "testing/test_support.h"
#include "ui/peg_buttons.h"
#include "ui/tests/modal_helper.h"

namespace quenda {
namespace {

using namespace testing;

void Press(QWidget& window, const char* button) {
  window.findChild<QPushButton*>(QString::fromLatin1(button))->click();
}

TEST(AnalyzerScanSequence, WritesEachScanAsADrawingOfTheSequence) {
  // The source scans with its own settings: 50 dpi over 80 by 100 mm.
  testing::SaneTestBackend backend{{"test-picture \"Grid\"", "resolution 50.0"}};
  testing::TempDir dir;
  DrawingScan loaded;
  loaded.picture = Raster(20, 10, 1);
  ASSERT_TRUE(WriteDrawingScan(dir.File("old1.qds"), loaded, ScanWriter::Analyzer).ok());
  ScriptedPrompt prompt;
  CAnalyzerFrame frame(&prompt);
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
  // Scanned with the source's own settings, as scanimage would; the pixels are the scan mode's
  // and the device's tests.
  const Raster expected = backend.Scanimage("test:0", "");
  auto scan = ReadDrawingScan(dir.File("pose6.qds"), ScanReader::Analyzer);
  ASSERT_TRUE(scan.ok()) << scan.message();
  EXPECT_EQ(
      std::tuple(scan->scan.picture.width(), scan->scan.picture.height(), scan->scan.pegPosition),
      std::tuple(expected.width(), expected.height(), kPegBottom));

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

}  // namespace
}  // namespace quenda
