// The printed sheet: rows and labels per page, header texts, orientation.
#include <gtest/gtest.h>

#include <tuple>

#include "common/scripted_prompt.h"
#include "dopegrid/core/print_layout.h"
#include "dopegrid/tests/sheet_test_support.h"

namespace quenda {
namespace {

using namespace quenda::testing;
using PrintLayout = SheetDocument;

TEST_F(PrintLayout, TheLastPageShowsOnlyTheFramesThatExist) {
  AddSequences(doc, dir, {"Ann"}, 3);
  doc.AddFrames(1);
  doc.AddLevel("front");
  TransferAt(doc, 0, {0, 2}, 1, 99, 2);  // frames 100..101 on "default"; the rest is pushed off
  PrintedPage last = LayoutPrintedPage(doc, 5, "walk.dgr", "Sunday, December 06, 2026");
  EXPECT_EQ(std::tuple(last.titleText, last.pageText, last.levelNames),
            std::tuple("walk.dgr     ", "Page: 5", std::vector<std::string>{"front", "default"}));
  ASSERT_EQ(last.rows.size(), 25u);
  using Cells = std::vector<std::string>;
  EXPECT_EQ(std::tuple(last.rows[0].frameNumber, last.rows[0].cells, last.rows[1].frameNumber,
                       last.rows[1].cells),
            std::tuple(101, Cells{"", "\""}, 0, Cells{"", ""}));

  PrintedPage fourth = LayoutPrintedPage(doc, 4, "walk.dgr", "");
  EXPECT_EQ(
      std::tuple(fourth.rows[0].frameNumber, fourth.rows[24].frameNumber, fourth.rows[24].cells[1]),
      std::tuple(76, 100, "A1"));
}

TEST_F(PrintLayout, DateAndColumns) {
  std::tm date{};
  date.tm_year = 2026 - 1900;
  date.tm_mon = 11;
  date.tm_mday = 6;
  date.tm_wday = 0;
  EXPECT_EQ(std::tuple(FormatPrintDate(date), PrintLevelColumnCount(3), PrintLevelColumnCount(30)),
            std::tuple("Sunday, December 06, 2026", 11, 30));
}

}  // namespace
}  // namespace quenda
