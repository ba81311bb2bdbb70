#include "dopegrid/app/exchange_commands.h"

#include <QAction>
#include <QMainWindow>

#include "dopegrid/app/exchange_dialogs.h"
#include "dopegrid/core/sheet_csv.h"

namespace quenda {

ExchangeCommands::ExchangeCommands(CDopegridDoc& doc, Prompt& prompt, Settings& settings,
                                   QMainWindow& window, SavePathPicker pickSavePath, Hooks hooks)
    : doc_(doc),
      prompt_(prompt),
      settings_(settings),
      window_(window),
      pick_(std::move(pickSavePath)),
      hooks_(std::move(hooks)) {
  auto make = [this](const char* name, const QString& text, std::function<void()> run) {
    auto* action = new QAction(text, &window_);
    action->setObjectName(QString::fromLatin1(name));
    connect(action, &QAction::triggered, this, std::move(run));
    window_.addAction(action);
    return action;
  };
  fileActions_ = {
      make("actionImportTimesheet", tr("&Import Timesheet..."), [this] { ImportSheet(true); }),
      make("actionExportTimesheet", tr("E&xport Timesheet..."), [this] { ExportTimesheet(); }),
      make("actionImportCsv", tr("Import C&SV..."), [this] { ImportSheet(false); }),
      make("actionExportCsv", tr("Export CS&V..."), [this] { ExportCsv(); })};
  lipSync_ =
      make("actionApplyLipSync", tr("Apply &Lip-Sync Data..."), [this] { ApplyLipSyncData(); });
}

void ExchangeCommands::UpdateActions() {
  lipSync_->setEnabled(doc_.sheet().levelCount > 0);
}

void ExchangeCommands::ImportSheet(bool xdts) {
  if (!hooks_.saveModified()) return;
  ImportSheetDialog dialog(xdts ? SheetFileKind::Xdts : SheetFileKind::Csv, prompt_, &window_);
  if (dialog.exec() != QDialog::Accepted || !dialog.result()) return;
  ExchangeImport imported = *dialog.result();
  doc_.ReplaceContents(std::move(imported.sheet), std::move(imported.sequences));
  hooks_.becameUntitled();
}

void ExchangeCommands::ExportTimesheet() {
  ExportTimesheetDialog dialog(doc_, prompt_, pick_, hooks_.title(), &window_);
  dialog.exec();
}

void ExchangeCommands::ExportCsv() {
  std::optional<QString> picked = pick_(
      &window_, {tr("Export CSV"), tr("CSV Files (*.csv)"), QStringLiteral("csv"), hooks_.title()});
  if (!picked) return;
  if (Status saved = SaveSheetCsv(picked->toStdString(), doc_.sheet(), doc_.sequences()); !saved)
    prompt_.Message(saved.message(), MessageIcon::Error);
}

void ExchangeCommands::ApplyLipSyncData() {
  LipSyncDialog dialog(doc_, prompt_, settings_, &window_);
  dialog.exec();
}

}  // namespace quenda
