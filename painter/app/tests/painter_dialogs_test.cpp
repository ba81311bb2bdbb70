#include <gtest/gtest.h>

#include <QCheckBox>
#include <QSpinBox>
#include <tuple>

#include "common/targa.h"
#include "painter/app/tests/painter_window_fixture.h"

namespace quenda {
namespace {

using testing::PainterWindow;
using testing::WhenModal;

TEST(PainterWindow, AddAndEditColourThroughTheDialogAndPickFromTheReferencePicture) {
  PainterWindow w;
  const int count = w.doc().colors().count;
  WhenModal<ColorInformationDialog>([](ColorInformationDialog* dialog) {
    EXPECT_EQ(std::tuple(dialog->name(), dialog->colour(), dialog->pickerButton()->isEnabled(),
                         dialog->windowTitle()),
              std::tuple(QStringLiteral("New"), QColor(128, 128, 128), false,
                         QStringLiteral("Color Information")));
    dialog->nameField()->setText(QStringLiteral("Skyblue99"));  // names hold eight letters
    dialog->swatch()->SetColour(QColor(90, 160, 230));
    dialog->accept();
  });
  w.action("actionAddColor")->trigger();
  ASSERT_EQ(w.doc().colors().count, count + 1);
  EXPECT_EQ(std::tuple(w.doc().colors().entries[std::size_t(count)].name, w.Entry(count)),
            std::tuple("Skyblue9", QColor(90, 160, 230)));

  // A double click on the list row edits that entry.
  CColorView* list = w.frame->colorView();
  WhenModal<ColorInformationDialog>([](ColorInformationDialog* dialog) {
    EXPECT_EQ(std::tuple(dialog->name(), dialog->nameField()->isReadOnly()),
              std::tuple(QStringLiteral("TRANS"), true));
    dialog->swatch()->SetColour(QColor(10, 20, 30));
    dialog->accept();
  });
  QTest::mouseDClick(list, Qt::LeftButton, {}, list->RowRect(0).center());
  EXPECT_EQ(std::tuple(w.doc().currentColor(), w.Entry(0)), std::tuple(0, QColor(10, 20, 30)));

  // Cancel changes nothing.
  WhenModal<ColorInformationDialog>([](ColorInformationDialog* dialog) {
    dialog->swatch()->SetColour(QColor(1, 2, 3));
    dialog->reject();
  });
  w.action("actionEditColor")->trigger();
  EXPECT_EQ(w.Entry(0), QColor(10, 20, 30));
  // The dialog picks from the reference picture.
  // A 300 x 200 picture whose every pixel tells where it is: blue the column, green the row.
  constexpr int kSide = 300;
  constexpr int kRows = 200;
  std::vector<uint8_t> pixels;
  for (int y = 0; y < kRows; ++y) {
    for (int x = 0; x < kSide; ++x) pixels.insert(pixels.end(), {uint8_t(x), uint8_t(y), 77, 255});
  }
  const std::string reference = w.dir.File("reference.tga");
  ASSERT_TRUE(WriteTarga32(reference, kSide, kRows, pixels.data(), WriteMessages("failed")).ok());
  w.prompt.QueuePath(reference);
  w.action("actionLoadReference")->trigger();
  ASSERT_TRUE(w.doc().referenceLoaded());

  QColor picked;
  QPoint offsetBefore;
  QPoint offsetAfter;
  WhenModal<ColorInformationDialog>([&](ColorInformationDialog* dialog) {
    ASSERT_TRUE(dialog->pickerButton()->isEnabled() && dialog->pickerButton()->isChecked());
    ReferenceFrame* frame = dialog->reference();
    // The hand drags the picture against the mouse.
    QTest::mouseClick(dialog->handButton(), Qt::LeftButton);
    offsetBefore = frame->offset();
    QTest::mousePress(frame, Qt::LeftButton, {}, QPoint(60, 60));
    QTest::mouseMove(frame, QPoint(50, 55));
    QTest::mouseRelease(frame, Qt::LeftButton, {}, QPoint(50, 55));
    offsetAfter = frame->offset();
    // The picker takes the colour under the mouse.
    QTest::mouseClick(dialog->pickerButton(), Qt::LeftButton);
    const QPoint at(30, 25);
    QTest::mouseClick(frame, Qt::LeftButton, {}, at);
    const QPoint pixel = at - QPoint(4, 4) + frame->offset();
    picked = QColor(77, kRows - 1 - pixel.y(), pixel.x());
    EXPECT_EQ(dialog->colour(), picked);
    dialog->nameField()->setText(QStringLiteral("Picked"));
    dialog->accept();
  });
  w.action("actionAddColor")->trigger();
  EXPECT_EQ(offsetAfter, offsetBefore + QPoint(10, 5));
  const int added = w.doc().colors().count - 1;
  EXPECT_EQ(std::tuple(w.doc().colors().entries[std::size_t(added)].name, w.Entry(added)),
            std::tuple("Picked", picked));
}

// The new unfilled colour shows at once; frame 1 is then painted all over for the auto paints.
TEST(PainterWindow, LineAndUnfilledColoursAndAutoPaintOfARangeAndFromANamedFrame) {
  PainterWindow w;
  WhenModal<LineAndUnfilledDialog>([](LineAndUnfilledDialog* dialog) {
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Region Line and Unfilled Color"));
    dialog->unfilledSwatch()->SetColour(QColor(200, 10, 10));
    dialog->accept();
  });
  w.action("actionEditLineUnfilled")->trigger();
  EXPECT_EQ(w.Entry(kUnfilledColor), QColor(200, 10, 10));
  auto [region, at] = w.LargestInnerRegion();
  EXPECT_EQ(w.ShownAt(at.x, at.y), QColor(200, 10, 10));
  w.doc().SetCurrentColor(3);
  w.FillAll();

  // A missing field keeps the dialog open with its message; then a valid range runs.
  WhenModal<AutoPaintRangeDialog>([&](AutoPaintRangeDialog* dialog) {
    EXPECT_TRUE(dialog->autoPreviousButton()->isChecked());
    dialog->endField()->setText(QStringLiteral("3"));
    dialog->accept();
    EXPECT_TRUE(dialog->isVisible());
    dialog->startField()->setText(QStringLiteral("2"));
    dialog->accept();
  });
  bool stopSeen = false;
  WhenModal<ProgressWindow>(
      [&](ProgressWindow* progress) {
        EXPECT_EQ(progress->windowTitle(), QStringLiteral("AutoPaint Progress"));
        stopSeen = progress->stopButton()->text() == QStringLiteral("Stop");
        QTest::mouseClick(progress->stopButton(), Qt::LeftButton);
      },
      0);  // at the first chance, while the first frame of the range is in hand
  w.action("actionAutoPaintRange")->trigger();
  EXPECT_TRUE(stopSeen);
  EXPECT_EQ(w.prompt.Texts(), std::vector<std::string>{"You must give a valid start frame."});
  // Frame 2 was painted and stays on show; frame 3 was never reached.
  const ImagePoint inner = w.LargestInnerRegion().second;
  EXPECT_EQ(std::tuple(w.doc().currentFrame(), w.ShownAt(inner.x, inner.y)),
            std::tuple(1, w.Entry(3)));

  // Frame 3 painted from frame 1 by name; a refused name is said and the dialog stays open.
  w.action("actionLastFrame")->trigger();
  w.prompt.Clear();
  std::vector<bool> openAfter;
  WhenModal<QInputDialog>([&](QInputDialog* dialog) {
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("AutoPaint Frame No?"));
    for (const char* text : {"9", "3", "1"}) {
      dialog->setTextValue(QString::fromLatin1(text));
      dialog->accept();
      openAfter.push_back(dialog->isVisible());
    }
    if (dialog->isVisible()) dialog->reject();
  });
  w.action("actionAutoPaintAnyFrame")->trigger();
  EXPECT_EQ(openAfter, (std::vector<bool>{true, true, false}));
  EXPECT_EQ(w.prompt.Texts(),
            (std::vector<std::string>{"Invalid Frame Number",
                                      "You can not auto paint with current frame"}));
  EXPECT_EQ(std::tuple(w.doc().currentFrame(), w.ShownAt(at.x, at.y)), std::tuple(2, w.Entry(3)));
}

// The Both Keys choice and the confidence field: the field follows By Shapes, starts at the
// document's confidence, and what OK gives is kept for later auto paints and the next run.
TEST(PainterWindow, AutoPaintRangeTakesBothKeysAndAConfidenceThatIsRemembered) {
  PainterWindow w;
  EXPECT_EQ(w.doc().autoPaintOptions().confidence, kDefaultConfidence);
  {
    AutoPaintRangeDialog dialog(w.prompt, {AutoPaintMatch::Shapes, true, 10, 70});
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    EXPECT_EQ(std::tuple(dialog.confidenceField()->value(), dialog.confidenceField()->isEnabled(),
                         dialog.bothKeysButton()->text()),
              std::tuple(70, true, QStringLiteral("Both Keys")));
    dialog.byShapesBox()->setChecked(false);
    EXPECT_FALSE(dialog.confidenceField()->isEnabled());
    // On the button's mark: a radio button takes clicks on its mark and text only.
    QTest::mouseClick(dialog.bothKeysButton(), Qt::LeftButton, {},
                      QPoint(6, dialog.bothKeysButton()->height() / 2));
    dialog.confidenceField()->setValue(130);  // beyond the range: the most
    const AutoPaintRangeFields fields = dialog.fields();
    EXPECT_EQ(std::tuple(fields.source, fields.confidence, fields.match),
              std::tuple(RangeSource::BothKeys, 100, AutoPaintMatch::Vote));
  }
  // Both keys need a painted frame after the range: three frames have none after 2-3.
  WhenModal<AutoPaintRangeDialog>([&](AutoPaintRangeDialog* dialog) {
    dialog->bothKeysButton()->setChecked(true);
    dialog->byShapesBox()->setChecked(true);
    dialog->confidenceField()->setValue(64);
    dialog->startField()->setText(QStringLiteral("2"));
    dialog->endField()->setText(QStringLiteral("3"));
    dialog->accept();
  });
  w.action("actionAutoPaintRange")->trigger();
  EXPECT_EQ(
      w.prompt.Texts(),
      std::vector<std::string>{"There must be a frame after end frame with auto-previous paint!"});
  EXPECT_EQ(
      std::tuple(w.doc().autoPaintOptions().confidence,
                 w.settings.GetInt(QStringLiteral("AutoPaint"), QStringLiteral("Confidence"), -1)),
      std::tuple(64, 64));
  WhenModal<AutoPaintRangeDialog>([&](AutoPaintRangeDialog* dialog) {
    EXPECT_EQ(dialog->confidenceField()->value(), 64);
    dialog->reject();
  });
  w.action("actionAutoPaintRange")->trigger();
}

}  // namespace
}  // namespace quenda
