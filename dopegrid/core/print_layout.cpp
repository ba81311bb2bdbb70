#include "dopegrid/core/print_layout.h"

#include <algorithm>
#include <array>

namespace quenda {

int PrintPageCount(int frameCount) {
  if (frameCount < 1) return 1;
  return (frameCount - 1) / kPrintFramesPerPage + 1;
}

std::string FormatPrintDate(const std::tm& date) {
  static constexpr std::array<std::string_view, 7> kDays{
      "Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"};
  static constexpr std::array<std::string_view, 12> kMonths{
      "January", "February", "March",     "April",   "May",      "June",
      "July",    "August",   "September", "October", "November", "December"};
  std::string day = std::to_string(date.tm_mday);
  if (day.size() < 2) day = "0" + day;
  return std::string(kDays[std::size_t(std::clamp(date.tm_wday, 0, 6))]) + ", " +
         std::string(kMonths[std::size_t(std::clamp(date.tm_mon, 0, 11))]) + " " + day + ", " +
         std::to_string(date.tm_year + 1900);
}

PrintedPage LayoutPrintedPage(const CDopegridDoc& doc, int number, std::string_view title,
                              std::string_view dateText) {
  const CSheetGrid& sheet = doc.sheet();
  PrintedPage page;
  page.number = number;
  page.titleText = std::string(title) + "     ";
  page.dateText = std::string(dateText);
  page.pageText = "Page: " + std::to_string(number);
  for (int l = 0; l < sheet.levelCount; ++l) page.levelNames.push_back(sheet.LevelName(l));
  int first = kPrintFramesPerPage * (number - 1);
  for (int r = 0; r < kPrintFramesPerPage; ++r) {
    int frame = first + r;
    PrintedRow row;
    row.cells.resize(std::size_t(sheet.levelCount));
    if (frame >= 0 && frame < sheet.frameCount) {
      row.frameNumber = frame + 1;
      for (int l = 0; l < sheet.levelCount; ++l)
        row.cells[std::size_t(l)] = doc.CellLabel(sheet.Cell(l, frame));
    }
    page.rows.push_back(std::move(row));
  }
  return page;
}

Status CheckPrintOrientation(bool landscape) {
  if (landscape) return Status::Ok();
  return Error{std::string(kLandscapeOnly)};
}

int PrintLevelColumnCount(int levelCount) {
  return std::max(levelCount, kPrintLevelColumns);
}

}  // namespace quenda
