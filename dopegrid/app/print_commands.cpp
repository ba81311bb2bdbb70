#include "dopegrid/app/print_commands.h"

#include <QAction>
#include <QMainWindow>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QTimer>

#include "dopegrid/print/sheet_printer.h"

namespace quenda {

PrintCommands::PrintCommands(CDopegridDoc& doc, Prompt& prompt, QMainWindow& window,
                             std::function<QString()> title)
    : doc_(doc), prompt_(prompt), window_(window), title_(std::move(title)) {
  PrepareSheetPrinter(printer_);
  auto make = [this](const char* name, const QString& text, QKeySequence key, auto slot) {
    auto* action = new QAction(text, &window_);  // found among the window's commands
    action->setObjectName(QString::fromLatin1(name));
    action->setShortcut(key);
    connect(action, &QAction::triggered, this, slot);
    window_.addAction(action);
    actions_.append(action);
  };
  make("actionPrint", tr("&Print..."), QKeySequence::Print, [this] { Print(); });
  make("actionPrintPreview", tr("Print Pre&view"), {}, [this] { Preview(); });
  make("actionPrintSetup", tr("P&rint Setup..."), {}, [this] { Setup(); });
}

bool PrintCommands::CheckLandscape() {
  Status landscape =
      CheckPrintOrientation(printer_.pageLayout().orientation() == QPageLayout::Landscape);
  if (!landscape) prompt_.Message(landscape.message(), MessageIcon::Warning);
  return bool(landscape);
}

void PrintCommands::Print() {
  const PrintPageRange all = AllPrintPages(doc_);
  QPrintDialog dialog(&printer_, &window_);
  dialog.setMinMax(all.first, all.last);
  dialog.setFromTo(all.first, all.last);
  if (dialog.exec() != QDialog::Accepted || !CheckLandscape()) return;
  PrintPageRange pages = all;
  if (printer_.printRange() == QPrinter::PageRange && printer_.fromPage() > 0)
    pages = {printer_.fromPage(), std::max(printer_.fromPage(), printer_.toPage())};
  const SheetPrintHeader header{title_().toStdString(), TodayPrintDate()};
  const std::string file = printer_.outputFileName().toStdString();
  // A PDF replaces an older file only once it is whole.
  Status printed = printer_.outputFormat() == QPrinter::PdfFormat && !file.empty()
                       ? PrintSheetToPdfFile(doc_, printer_, pages, header, file)
                       : PrintSheet(doc_, printer_, pages, header);
  if (!printed) prompt_.Message(printed.message(), MessageIcon::Error);
}

void PrintCommands::Preview() {
  if (!CheckLandscape()) return;
  QPrintPreviewDialog dialog(&printer_, &window_);
  dialog.setWindowTitle(tr("Print Preview"));
  const SheetPrintHeader header{title_().toStdString(), TodayPrintDate()};
  connect(&dialog, &QPrintPreviewDialog::paintRequested, this, [this, header](QPrinter* printer) {
    // Turned to portrait in the preview: the pages stay blank and the rule is said once the
    // preview has been laid out.
    if (!PrintSheet(doc_, *printer, AllPrintPages(doc_), header))
      QTimer::singleShot(0, this, [this] { CheckLandscape(); });
  });
  dialog.exec();
}

void PrintCommands::Setup() {
  QPageSetupDialog dialog(&printer_, &window_);
  dialog.exec();
}

}  // namespace quenda
