// Dialog checks and defaults, and the image window's choice of a cel.
#include <gtest/gtest.h>

#include <tuple>

#include "common/scripted_prompt.h"
#include "dopegrid/core/sheet_dialogs.h"
#include "dopegrid/core/sheet_drawing.h"
#include "dopegrid/tests/sheet_test_support.h"

namespace quenda {
namespace {

using namespace quenda::testing;
using SheetDialogs = SheetDocument;

TEST_F(SheetDialogs, FrameFieldsClampAsTheyAreLeft) {
  // The start not beyond the end, nor beyond the sheet.
  EXPECT_EQ(std::tuple(ClampStartFrame(0, 10, 100), ClampStartFrame(50, 10, 100),
                       ClampStartFrame(150, 200, 100), ClampEndFrame(150, 5, 100),
                       ClampEndFrame(3, 5, 100)),
            std::tuple(1, 10, 100, 100, 5));
}

TEST_F(SheetDialogs, RatesQualityLevelsAndDefaults) {
  for (auto [rate, text] : {std::pair{25, "25 (PAL)"}, {24, "24 (FILM)"}, {12, "Custom"}})
    EXPECT_EQ(std::string(kFrameRateChoices[std::size_t(FrameRateChoice(rate))]), text);
  EXPECT_EQ(std::tuple(QualityText(5000), QualityText(9999)), std::tuple("50%", "99%"));
  EXPECT_EQ(ChosenLevelsOrAll({}, 3), (std::vector<int>{0, 1, 2}));
  EXPECT_EQ(ChosenLevelsOrAll({2, 0, 2, 7}, 3), (std::vector<int>{0, 2}));
  JobDefaults job = DefaultJob({1, 4, 2, 9});
  EXPECT_EQ(std::tuple(job.firstFrame, job.lastFrame, job.levels),
            std::tuple(5, 10, std::vector<int>{1, 2}));
  EXPECT_EQ(std::tuple(IsTransferSpacing(kTransferOnAnyDefault), IsTransferSpacing(0),
                       IsTransferSpacing(1001)),
            std::tuple(true, false, false));
}

TEST_F(SheetDialogs, CelSourceAndTheImageWindow) {
  AddSequences(doc, dir, {"Ann"}, 2);
  EXPECT_EQ(CelSourcePath(doc, prompt).message(), "No picture to view in that cell.");
  TransferAt(doc, 0, {1}, 0, 3, 2);
  doc.SetCurrentCell(0, 4);  // the hold shows the same drawing
  Result<std::string> path = CelSourcePath(doc, prompt);
  ASSERT_TRUE(path.ok());
  EXPECT_EQ(path.value(), dir.File("Ann2.qds"));
  Result<LoadedDrawingScan> image = ReadDrawingScan(*path, ScanReader::CelViewer);
  ASSERT_TRUE(image.ok()) << image.message();
  EXPECT_EQ(std::tuple(CelSizeText(image->scan), CelOriginText(image->scan)),
            std::tuple("9x7", "0x0"));
}

}  // namespace
}  // namespace quenda
