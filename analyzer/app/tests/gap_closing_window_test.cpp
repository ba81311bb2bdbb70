// The gap setting in the analyzer's window: its row in the line settings dialog, kept in the
// program's profile across runs, the joins shown in their own colour after marking, and the
// batch run closing the same gaps.
#include <gtest/gtest.h>

#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>

#include "analyzer/app/tests/analyzer_window.h"
#include "analyzer/core/gap_closing.h"
#include "analyzer/core/region_extraction.h"
#include "common/region_file.h"
#include "ui/tests/screenshot.h"

namespace quenda {
namespace {

using namespace testing;

int ProfileCloseGaps(const AnalyzerWindow& w) {
  // A fresh reader: what the next run of the program would find.
  Settings profile(QStringLiteral("analyzer"), QString::fromStdString(w.profileDir.path()));
  return profile.GetInt(QStringLiteral("Lines"), QStringLiteral("CloseGaps"), -1);
}

TEST(AnalyzerGapClosing, TheDialogSetsTheGapsTheProfileKeepsThem) {
  AnalyzerWindow w;
  w.Load(1);
  EXPECT_EQ(w.doc().closeGaps(), 0);
  LineSettingsDialog& dialog = w.OpenSettings();
  EXPECT_EQ(dialog.closeGapsEntry()->text(), QStringLiteral("0"));
  dialog.closeGapsBar()->setValue(7);
  EXPECT_EQ(w.doc().closeGaps(), 7);
  EXPECT_EQ(dialog.closeGapsEntry()->text(), QStringLiteral("7"));
  testing::SaveScreenshot(dialog, "analyzer_line_settings_close_gaps.png");
  // Cancel puts back the value of the opening, and the profile is not written.
  QTest::mouseClick(dialog.button(QStringLiteral("Cancel")), Qt::LeftButton);
  EXPECT_EQ(w.doc().closeGaps(), 0);
  EXPECT_EQ(ProfileCloseGaps(w), -1);

  LineSettingsDialog& again = w.OpenSettings();
  again.closeGapsEntry()->setText(QStringLiteral("21"));
  QTest::mouseClick(again.button(QStringLiteral("ACCEPT")), Qt::LeftButton);
  EXPECT_EQ(w.prompt.Texts().back(), "Close Gaps: out of Range!");
  EXPECT_TRUE(w.doc().lineSettingsOpen());
  // The four settings are checked first.
  again.entry(LineSetting::PickUp)->setText(QStringLiteral("300"));
  QTest::mouseClick(again.button(QStringLiteral("ACCEPT")), Qt::LeftButton);
  EXPECT_EQ(w.prompt.Texts().back(), "Line Pick Up: out of Range!");
  again.entry(LineSetting::PickUp)->setText(QStringLiteral("100"));
  again.closeGapsEntry()->setText(QStringLiteral("5"));
  QTest::mouseClick(again.button(QStringLiteral("ACCEPT")), Qt::LeftButton);
  EXPECT_FALSE(w.doc().lineSettingsOpen());
  EXPECT_EQ(w.doc().closeGaps(), 5);
  EXPECT_EQ(ProfileCloseGaps(w), 5);
  EXPECT_EQ(w.doc().settings(), RedlineSettings{});

  // The program started anew takes it from its profile.
  w.OpenFrame();
  EXPECT_EQ(w.doc().closeGaps(), 5);
  // Loading a settings file leaves it: the file holds the four settings only.
  ASSERT_TRUE(SaveRedlineSettings(w.dir.File("lines.rls"), {90, 140, 210, 40}));
  w.Load(1);
  LineSettingsDialog& third = w.OpenSettings();
  w.prompt.QueuePath(w.dir.File("lines.rls"));
  QTest::mouseClick(third.button(QStringLiteral("Load Setings")), Qt::LeftButton);
  EXPECT_EQ(w.doc().settings(), (RedlineSettings{90, 140, 210, 40}));
  EXPECT_EQ(third.closeGapsEntry()->text(), QStringLiteral("5"));
}

TEST(AnalyzerGapClosing, MarkedJoinsShowInTheirOwnColourAndBatchRunsCloseTheSameGaps) {
  AnalyzerWindow w;
  w.doc().SetCloseGaps(kRecommendedCloseGaps);
  w.Load(1);
  w.Trigger("actionMarkRegions");
  ASSERT_TRUE(w.doc().regionsMarked());
  const std::vector<std::ptrdiff_t> joins = w.doc().image().joinPixels;
  ASSERT_FALSE(joins.empty()) << "the sample's outlines have gaps";
  const QImage shown = w.Shown();
  for (std::ptrdiff_t p : joins)
    EXPECT_EQ(w.ShownAt(shown, int(p % kWidth), int(p / kWidth)), QColor(0, 255, 255));
  testing::SaveScreenshot(*w.frame, "analyzer_joins.png");

  // Saved, the joins are region lines like any other; loaded again they show as such.
  const std::string saved = w.dir.File("marked.rgn");
  ASSERT_TRUE(w.doc().SaveRegions(saved));
  auto data = ReadRegionFile(saved, kWidth, kHeight, RegionReader::Analyzer);
  ASSERT_TRUE(data.ok());
  for (std::ptrdiff_t p : joins)
    EXPECT_EQ(data->flags[std::size_t(p)] & 0xFB, kFlagRegionLine);  // ink as the scan has it
  ASSERT_TRUE(w.doc().LoadRegionsFile(saved));
  EXPECT_TRUE(w.doc().image().joinPixels.empty());
  EXPECT_EQ(w.ShownAt(QPoint(int(joins[0] % kWidth), int(joins[0] / kWidth))), QColor(255, 0, 255));

  // The batch dialog names the setting the run will use, and the run uses it.
  {
    BatchProcessDialog dialog(w.doc(), w.prompt, w.frame.get());
    EXPECT_EQ(dialog.closeGapsText(), QString::number(kRecommendedCloseGaps));
  }
  DrawingSequence sequence = OpenSequence(w.Frame(1, ".qds"), "walk");
  w.doc().BeginBatch();
  NullProgress progress;
  BatchResult run = w.doc().RunBatch(sequence, w.prompt, progress);
  w.doc().EndBatch();
  ASSERT_EQ(run.WrittenCount(), 3);
  for (int n = 1; n <= 3; ++n) {
    auto scan = ReadDrawingScan(w.Frame(n, ".qds"), ScanReader::Analyzer);
    ASSERT_TRUE(scan.ok());
    const Raster& picture = scan->scan.picture;
    WorkingImage image = MakeWorkingImage(picture.width(), picture.height(), picture.bytes());
    ASSERT_TRUE(MarkRegions(image, {}, progress, kDefaultLineColour, kRecommendedCloseGaps));
    ASSERT_TRUE(WriteRegionFile(w.dir.File("expected.rgn"), image.regions, RegionWriter::Analyzer));
    EXPECT_EQ(ReadBytes(w.Frame(n, ".rgn")), ReadBytes(w.dir.File("expected.rgn"))) << n;
  }
}

}  // namespace
}  // namespace quenda
