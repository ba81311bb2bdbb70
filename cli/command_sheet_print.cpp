// `quenda sheet print`: the sheet's pages as PDF, drawn by the same printer code as the
// program's Print, on Qt's offscreen platform.

#include <sys/stat.h>
#include <unistd.h>
#include <QGuiApplication>
#include <QPageSize>
#include <QPrinter>

#include <cstdlib>
#include <optional>
#include <string>

#include "cli/command_sheet_verbs.h"
#include "common/path.h"
#include "dopegrid/print/sheet_printer.h"

namespace quenda::cli {
namespace {

// Qt's painting needs an application object; the tool makes one only for printing, on the
// offscreen platform unless the user chose another.
class PrintingApplication {
 public:
  PrintingApplication() {
    if (QGuiApplication::instance()) return;
    const char* platform = std::getenv("QT_QPA_PLATFORM");
    if (!platform || !*platform) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    NameRuntimeDirectory();
    app_.emplace(argc_, argv_);
  }

 private:
  // Without XDG_RUNTIME_DIR (a farm job, a cron run) Qt uses /tmp/runtime-UID and warns about it
  // on every run; naming that same private folder keeps the tool's output to what it did.
  static void NameRuntimeDirectory() {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime && *runtime) return;
    const std::string dir = "/tmp/runtime-" + std::to_string(getuid());
    mkdir(dir.c_str(), 0700);  // an existing one is checked below
    struct stat info {};
    if (lstat(dir.c_str(), &info) == 0 && S_ISDIR(info.st_mode) && info.st_uid == getuid() &&
        (info.st_mode & 0777) == 0700)
      setenv("XDG_RUNTIME_DIR", dir.c_str(), 1);
  }

  static inline int argc_ = 1;
  static inline char name_[] = "quenda";
  static inline char* argv_[] = {name_, nullptr};
  std::optional<QGuiApplication> app_;
};

}  // namespace

int PrintSheetToPdf(const CDopegridDoc& doc, const std::string& sheetPath, const Arguments& parsed,
                    CommandIo& io) {
  std::optional<std::string> pdf = parsed.Value("--pdf");
  if (!pdf) return SheetUsageError(io, "give the PDF file: --pdf FILE.pdf");
  PrintPageRange pages = AllPrintPages(doc);
  if (std::optional<std::string> text = parsed.Value("--pages")) {
    auto range = ParseRange(*text, 1, pages.last);
    if (!range)
      return SheetUsageError(
          io, "--pages must be A-B within the sheet's " + std::to_string(pages.last) + " pages");
    pages = {range->first, range->second};
  }

  PrintingApplication application;
  QPrinter printer(QPrinter::HighResolution);
  printer.setPageSize(QPageSize(QPageSize::A4));
  PrepareSheetPrinter(printer);
  Status printed =
      PrintSheetToPdfFile(doc, printer, pages, {FileNameOf(sheetPath), TodayPrintDate()}, *pdf);
  if (!printed) return ReportFileError(io, "sheet", *pdf, printed.message());
  io.out << "wrote " << *pdf << ": " << pages.last - pages.first + 1 << " pages\n";
  return 0;
}

}  // namespace quenda::cli
