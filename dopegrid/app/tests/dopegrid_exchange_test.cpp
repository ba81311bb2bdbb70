// The exposure sheet window's exchange commands through their dialogs: a timesheet and a CSV
// file written and read back into the window, the sequences chosen in the import's table, and
// lip-sync data mapped to mouth drawings, the map remembered for the next time.
#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QTest>

#include "dopegrid/app/exchange_dialogs.h"
#include "dopegrid/app/tests/sheet_window.h"
#include "ui/tests/modal_helper.h"
#include "ui/tests/screenshot.h"

namespace quenda {
namespace {

using namespace quenda::testing;

// Every level's labels over the sheet's frames.
std::vector<std::string> Levels(const CDopegridDoc& doc) {
  std::vector<std::string> levels;
  for (int l = 0; l < doc.sheet().levelCount; ++l)
    levels.push_back(doc.sheet().LevelName(l) + ": " +
                     LevelText(doc, l, 0, std::min(doc.sheet().frameCount, 8)));
  return levels;
}

TEST(DopegridExchange, ATimesheetWrittenAndReadBackThroughTheDialogsGivesTheSameSheet) {
  SheetWindow w;
  const std::vector<std::string> before = Levels(w.doc());
  const QString file = QString::fromStdString(w.dir.File("shot.xdts"));
  w.saveAsPath = file;
  WhenModal<ExportTimesheetDialog>([&](ExportTimesheetDialog* d) {
    for (QPushButton* button : d->findChildren<QPushButton*>())
      if (button->text() == "Browse...") QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_EQ(d->file()->text(), file);
    d->cut()->setText("12");
    SaveScreenshot(*d, "dopegrid_export_timesheet.png");
    for (QPushButton* button : d->findChildren<QPushButton*>())
      if (button->text() == "Export") QTest::mouseClick(button, Qt::LeftButton);
  });
  w.action("actionExportTimesheet")->trigger();
  EXPECT_EQ(w.asked.filter, "XDTS Timesheets (*.xdts)");
  EXPECT_NE(ReadText(file.toStdString()).find("\"cut\":\"12\""), std::string::npos);

  // The tracks are named for the levels, the drawings Ann and Bob: the import cannot find them
  // until they are chosen in the table.
  WhenModal<ImportSheetDialog>([&](ImportSheetDialog* d) {
    d->SetFile(file);
    QTableWidget& rows = *d->columns();
    ASSERT_EQ(rows.rowCount(), 3);
    EXPECT_EQ(rows.item(0, 0)->text(), "track \"front\"");
    EXPECT_EQ(rows.item(2, 1)->text(), "default");
    EXPECT_FALSE(d->importButton()->isEnabled());
    EXPECT_TRUE(d->report()->toPlainText().contains("missing: level \"front\": sequence front"));
    d->ChooseSequence(0, QString::fromStdString(w.dir.File("Ann1.qds")));
    w.prompt.QueuePath(w.dir.File("Bob1.qds"));
    rows.selectRow(1);
    for (QPushButton* button : d->findChildren<QPushButton*>())
      if (button->text() == "Choose Sequence...") QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_EQ(rows.item(1, 2)->text(),
              "sequence Bob (" + QString::fromStdString(w.dir.path()) + "), chosen here");
    EXPECT_TRUE(d->importButton()->isEnabled()) << d->report()->toPlainText().toStdString();
    SaveScreenshot(*d, "dopegrid_import_timesheet.png");
    QTest::mouseClick(d->importButton(), Qt::LeftButton);
  });
  w.action("actionImportTimesheet")->trigger();
  EXPECT_EQ(Levels(w.doc()), before);
  EXPECT_TRUE(w.frame->documentPath().isEmpty());
  EXPECT_TRUE(w.doc().modified());
  EXPECT_TRUE(w.frame->windowTitle().startsWith("Untitled"));
}

TEST(DopegridExchange, CsvWrittenAndReadBackFindsItsSequencesByTheirNames) {
  SheetWindow w;
  const std::vector<std::string> before = Levels(w.doc());
  const QString file = QString::fromStdString(w.dir.File("shot.csv"));
  w.saveAsPath = file;
  w.action("actionExportCsv")->trigger();
  EXPECT_EQ(w.asked.name, "s");
  EXPECT_EQ(ReadText(file.toStdString()).find("frame,front,back,default\r\n1,Ann1,,\r\n"), 0u);

  w.doc().OnNewDocument();
  WhenModal<ImportSheetDialog>([&](ImportSheetDialog* d) {
    EXPECT_FALSE(d->importButton()->isEnabled());
    w.prompt.QueuePath(file.toStdString());
    for (QPushButton* button : d->findChildren<QPushButton*>())
      if (button->text() == "Browse...") QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_EQ(d->columns()->item(1, 2)->text(),
              "sequence Bob (" + QString::fromStdString(w.dir.path()) + "), named by its cells");
    EXPECT_TRUE(d->importButton()->isEnabled());
    QTest::mouseClick(d->importButton(), Qt::LeftButton);
  });
  w.action("actionImportCsv")->trigger();
  EXPECT_EQ(Levels(w.doc()), before);
}

TEST(DopegridExchange, LipSyncDataFillsTheLevelWithTheMappedMouthsAndTheMapIsRemembered) {
  SheetWindow w;
  const std::string data = w.dir.File("talk.dat");
  WriteText(data, "MohoSwitch1\n1 MBP\n3 AI\n5 rest\n");
  w.Click(2, 1);  // level "default", frame 2
  WhenModal<LipSyncDialog>([&](LipSyncDialog* d) {
    EXPECT_EQ(d->level()->currentText(), "default");
    EXPECT_EQ(d->from()->value(), 2);
    d->SetFile(QString::fromStdString(data));
    EXPECT_EQ(d->sequence()->text(), "the level holds no single sequence: choose one");
    w.prompt.QueuePath(w.dir.File("Ann1.qds"));
    for (QPushButton* button : d->findChildren<QPushButton*>())
      if (button->text() == "Choose...") QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_TRUE(d->sequence()->text().startsWith("Ann in "));
    ASSERT_NE(d->DrawingBox("AI"), nullptr);
    d->DrawingBox("MBP")->setCurrentText("1");
    d->DrawingBox("AI")->setCurrentText("3");
    d->DrawingBox("*")->setCurrentText("6");
    d->until()->setValue(7);
    SaveScreenshot(*d, "dopegrid_lipsync.png");
    for (QPushButton* button : d->findChildren<QPushButton*>())
      if (button->text() == "Apply") QTest::mouseClick(button, Qt::LeftButton);
  });
  w.action("actionApplyLipSync")->trigger();
  EXPECT_EQ(LevelText(w.doc(), 2, 0, 8), ". A1 \" A3 \" A6 \" .");
  EXPECT_TRUE(w.doc().undoAvailable());
  EXPECT_EQ(w.settings.GetString("LipSync", "mouths"), "MBP=1,AI=3,*=6");

  // The next time the rows start from the remembered map; a map without a drawing for a shape
  // is refused and changes nothing.
  WhenModal<LipSyncDialog>([&](LipSyncDialog* d) {
    d->SetFile(QString::fromStdString(data));
    EXPECT_EQ(d->DrawingBox("AI")->currentText(), "3");
    EXPECT_EQ(d->DrawingBox("rest")->currentText(), "(none)");
    d->DrawingBox("*")->setCurrentText("(none)");
    d->level()->setCurrentIndex(1);  // "back": Bob's drawings
    EXPECT_TRUE(d->sequence()->text().startsWith("Bob in "));
    for (QPushButton* button : d->findChildren<QPushButton*>())
      if (button->text() == "Apply") QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_TRUE(d->isVisible());
    d->reject();
  });
  w.prompt.Clear();
  w.action("actionApplyLipSync")->trigger();
  ASSERT_FALSE(w.prompt.Texts().empty());
  EXPECT_EQ(w.prompt.Texts().back(),
            "the mouth map has no drawing for rest (name each, or *=DRAWING)");
  EXPECT_EQ(LevelText(w.doc(), 1, 0, 5), ". . B1 B2 .");
  EXPECT_EQ(LevelText(w.doc(), 2, 0, 8), ". A1 \" A3 \" A6 \" .");
}

}  // namespace
}  // namespace quenda
