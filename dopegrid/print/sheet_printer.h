#pragma once
// Prints the exposure sheet: the pages of the core's print layout (dopegrid/core/print_layout.h)
// drawn on a QPainter, for the program's Print and Print Preview and the tool's PDF alike.

#include <QPainter>
#include <QPrinter>
#include <QRect>
#include <string>

#include "common/result.h"
#include "dopegrid/core/dopegrid_doc.h"
#include "dopegrid/core/print_layout.h"

namespace quenda {

// Pages from 1, inclusive.
struct PrintPageRange {
  int first = 1;
  int last = 1;
};
PrintPageRange AllPrintPages(const CDopegridDoc& doc);

struct SheetPrintHeader {
  std::string title;     // the document's title, as the window shows it
  std::string dateText;  // FormatPrintDate of the day printed
};
// Today's date as the header shows it.
std::string TodayPrintDate();

// Starts every printer the sheet uses the same way: landscape, since the sheet prints only so,
// with the page's own margins left to the printer.
void PrepareSheetPrinter(QPrinter& printer);

// Prints `pages` (kept within the sheet's pages) one sheet page per printer page. Refused with
// the landscape message, and nothing printed, when the printer is set to portrait; with
// "Could not print to PATH." when the printer's output cannot be opened.
Status PrintSheet(const CDopegridDoc& doc, QPrinter& printer, PrintPageRange pages,
                  const SheetPrintHeader& header);

// Prints `pages` to the PDF file `pdfPath` through the atomic writer, so that a failed print
// leaves an older file as it was: "Could not write PATH." when the file cannot be made or ends
// short (the PDF writer reports no failed write). The printer keeps `pdfPath` as its output.
Status PrintSheetToPdfFile(const CDopegridDoc& doc, QPrinter& printer, PrintPageRange pages,
                           const SheetPrintHeader& header, const std::string& pdfPath);

// Draws one page into `area` (device units): the header line, the heading row and 25 frame
// rows with their grid.
void PaintPrintedPage(QPainter& painter, const QRect& area, const PrintedPage& page);

}  // namespace quenda
