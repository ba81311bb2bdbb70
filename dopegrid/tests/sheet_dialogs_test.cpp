// Dialog checks and defaults, and the image window's choice of a cel.
#include <gtest/gtest.h>

#include "common/scripted_prompt.h"
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

}  // namespace
}  // namespace quenda
