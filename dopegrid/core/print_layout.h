#pragma once
// The printed exposure sheet as data: pages of 25 frames with the header texts and each row's
// cel labels, so that the program only draws them.

#include <ctime>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/result.h"
#include "dopegrid/core/dopegrid_doc.h"

namespace quenda {

inline constexpr int kPrintFramesPerPage = 25;
inline constexpr int kPrintRowsPerPage = kPrintFramesPerPage + 1;  // with the heading row
inline constexpr int kPrintLevelColumns = 11;
inline constexpr int kPrintSideMargin = 100;
inline constexpr std::string_view kPrintFace = "arial";
inline constexpr std::string_view kPrintFrameHeading = " Frm ";
inline constexpr std::string_view kPrintRightFrameHeading = " FRM ";
inline constexpr std::string_view kPrintNotesHeading = "   Notes   ";
inline constexpr std::string_view kLandscapeOnly =
    "Dopegrid can only print in LANDSCAPE mode, please choose LANDSCAPE in print setup";

int PrintPageCount(int frameCount);

struct PrintedRow {
  int frameNumber = 0;             // from 1; 0 for a row beyond the last frame
  std::vector<std::string> cells;  // one label per level; empty for empty cells
};

struct PrintedPage {
  int number = 0;         // from 1
  std::string titleText;  // the document's title and five blanks, at the left
  std::string dateText;   // at the right
  std::string pageText;   // "Page: %d", centred
  std::vector<std::string> levelNames;
  std::vector<PrintedRow> rows;  // always kPrintFramesPerPage
};

// "%A, %B %d, %Y" in the C locale.
std::string FormatPrintDate(const std::tm& date);
// Page `number` (from 1) of the document's sheet.
PrintedPage LayoutPrintedPage(const CDopegridDoc& doc, int number, std::string_view title,
                              std::string_view dateText);
// The refusal of a portrait page; Ok for landscape.
Status CheckPrintOrientation(bool landscape);

// Level columns across the width left between the fixed columns: at least 11 equal columns,
// more when the sheet has more levels, so that every level gets one.
int PrintLevelColumnCount(int levelCount);

}  // namespace quenda
