#include "dopegrid/print/sheet_printer.h"

#include <QFont>
#include <QFontMetrics>
#include <QPageLayout>
#include <QPen>
#include <algorithm>
#include <ctime>
#include <fstream>
#include <vector>

#include "common/atomic_file.h"

namespace quenda {
namespace {

QString Text(std::string_view text) {
  return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

// The table's columns, left to right: frame number, notes, the level columns, frame number and
// notes again; the last one ends at the right margin.
std::vector<int> ColumnEdges(int left, int right, int levelColumns, const QFontMetrics& metrics,
                             int padding) {
  int frameWidth = std::max(metrics.horizontalAdvance(Text(kPrintFrameHeading)),
                            metrics.horizontalAdvance(Text(kPrintRightFrameHeading))) +
                   padding;
  int notesWidth = metrics.horizontalAdvance(Text(kPrintNotesHeading)) + padding;
  int levelWidth = std::max(1, (right - left - 2 * (frameWidth + notesWidth)) / levelColumns);
  std::vector<int> edges{left, left + frameWidth, left + frameWidth + notesWidth};
  for (int c = 0; c < levelColumns; ++c) edges.push_back(edges.back() + levelWidth);
  edges.push_back(edges.back() + frameWidth);
  edges.push_back(std::max(right, edges.back() + notesWidth));
  return edges;
}

// Centred in `box`, made smaller where it would not fit (a long level name in a narrow column).
void DrawCentred(QPainter& painter, const QRect& box, const std::string& text) {
  if (text.empty()) return;
  QString shown = Text(text);
  const QFont font = painter.font();
  int advance = painter.fontMetrics().horizontalAdvance(shown);
  int room = box.width() * 9 / 10;
  if (advance > room && room > 0) {
    QFont smaller = font;
    smaller.setPixelSize(std::max(1, font.pixelSize() * room / advance));
    painter.setFont(smaller);
  }
  painter.drawText(box, Qt::AlignCenter, shown);
  painter.setFont(font);
}

// A file that does not end as every PDF does was cut short (a full disk).
bool EndsAsPdf(const std::string& path) {
  std::ifstream file(path, std::ios::binary | std::ios::ate);
  constexpr std::string_view kEnd = "%%EOF";
  if (!file || file.tellg() < std::streamoff(kEnd.size() + 1)) return false;
  file.seekg(-std::streamoff(kEnd.size() + 1), std::ios::end);
  std::string tail(kEnd.size() + 1, '\0');
  file.read(tail.data(), std::streamsize(tail.size()));
  return file && tail.starts_with(kEnd);
}

}  // namespace

PrintPageRange AllPrintPages(const CDopegridDoc& doc) {
  return {1, PrintPageCount(doc.sheet().frameCount)};
}

std::string TodayPrintDate() {
  std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  return FormatPrintDate(local);
}

void PrepareSheetPrinter(QPrinter& printer) {
  printer.setPageOrientation(QPageLayout::Landscape);
}

void PaintPrintedPage(QPainter& painter, const QRect& area, const PrintedPage& page) {
  const int left = area.left() + kPrintSideMargin;
  const int right = area.left() + area.width() - kPrintSideMargin;
  const int headerHeight = area.height() / 14;
  const int rowHeight = std::max(1, (area.height() - headerHeight) / kPrintRowsPerPage);
  const int tableTop = area.top() + headerHeight;
  const int tableBottom = tableTop + rowHeight * kPrintRowsPerPage;

  QFont font(Text(kPrintFace));
  font.setPixelSize(std::max(1, rowHeight * 9 / 20));
  painter.setFont(font);
  painter.setPen(QPen(Qt::black, std::max(1, painter.device()->logicalDpiY() / 150)));

  QRect header(left, area.top(), right - left, headerHeight);
  painter.drawText(header, Qt::AlignLeft | Qt::AlignVCenter, Text(page.titleText));
  painter.drawText(header, Qt::AlignHCenter | Qt::AlignVCenter, Text(page.pageText));
  painter.drawText(header, Qt::AlignRight | Qt::AlignVCenter, Text(page.dateText));

  const int levelColumns = PrintLevelColumnCount(int(page.levelNames.size()));
  const std::vector<int> edges =
      ColumnEdges(left, right, levelColumns, painter.fontMetrics(), rowHeight / 2);
  auto cell = [&](std::size_t column, int row) {
    return QRect(edges[column], tableTop + row * rowHeight, edges[column + 1] - edges[column],
                 rowHeight);
  };
  const std::size_t firstLevel = 2, rightFrame = edges.size() - 3, rightNotes = edges.size() - 2;

  DrawCentred(painter, cell(0, 0), std::string(kPrintFrameHeading));
  DrawCentred(painter, cell(1, 0), std::string(kPrintNotesHeading));
  for (std::size_t l = 0; l < page.levelNames.size(); ++l)
    DrawCentred(painter, cell(firstLevel + l, 0), page.levelNames[l]);
  DrawCentred(painter, cell(rightFrame, 0), std::string(kPrintRightFrameHeading));
  DrawCentred(painter, cell(rightNotes, 0), std::string(kPrintNotesHeading));

  for (std::size_t r = 0; r < page.rows.size(); ++r) {
    const PrintedRow& row = page.rows[r];
    if (row.frameNumber > 0)
      DrawCentred(painter, cell(0, int(r) + 1), std::to_string(row.frameNumber));
    for (std::size_t l = 0; l < row.cells.size(); ++l)
      DrawCentred(painter, cell(firstLevel + l, int(r) + 1), row.cells[l]);
  }

  painter.drawRect(QRect(QPoint(edges.front(), tableTop), QPoint(edges.back(), tableBottom)));
  for (int r = 1; r < kPrintRowsPerPage; ++r)
    painter.drawLine(edges.front(), tableTop + r * rowHeight, edges.back(),
                     tableTop + r * rowHeight);
  for (std::size_t c = 1; c + 1 < edges.size(); ++c)
    painter.drawLine(edges[c], tableTop, edges[c], tableBottom);
}

Status PrintSheet(const CDopegridDoc& doc, QPrinter& printer, PrintPageRange pages,
                  const SheetPrintHeader& header) {
  Status landscape =
      CheckPrintOrientation(printer.pageLayout().orientation() == QPageLayout::Landscape);
  if (!landscape) return landscape;
  const int count = PrintPageCount(doc.sheet().frameCount);
  const int first = std::clamp(pages.first, 1, count);
  const int last = std::clamp(pages.last, first, count);
  const std::string output = printer.outputFileName().toStdString();
  const Error failed{output.empty() ? std::string("Could not print the sheet.")
                                    : "Could not print to " + output + "."};

  QPainter painter;
  if (!painter.begin(&printer)) return failed;
  const QRect area(QPoint(0, 0), printer.pageLayout().paintRectPixels(printer.resolution()).size());
  for (int p = first; p <= last; ++p) {
    if (p > first && !printer.newPage()) return failed;
    PaintPrintedPage(painter, area, LayoutPrintedPage(doc, p, header.title, header.dateText));
  }
  if (!painter.end()) return failed;
  return Status::Ok();
}

Status PrintSheetToPdfFile(const CDopegridDoc& doc, QPrinter& printer, PrintPageRange pages,
                           const SheetPrintHeader& header, const std::string& pdfPath) {
  // The orientation is refused before the old file is touched in any way.
  Status landscape =
      CheckPrintOrientation(printer.pageLayout().orientation() == QPageLayout::Landscape);
  if (!landscape) return landscape;
  const std::string failed = "Could not write " + pdfPath + ".";
  AtomicFile file;
  if (Status opened = file.Open(pdfPath, WriteMessages(failed)); !opened) return opened;
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setOutputFileName(QString::fromStdString(file.temporaryPath()));
  Status printed = PrintSheet(doc, printer, pages, header);
  printer.setOutputFileName(QString::fromStdString(pdfPath));
  if (!printed || !EndsAsPdf(file.temporaryPath())) printed = Error{failed};
  if (printed) printed = file.Commit();
  if (!printed) file.Discard();
  return printed;
}

}  // namespace quenda
