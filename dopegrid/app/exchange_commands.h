#pragma once
// The exchange commands of the exposure sheet's window: File > Import Timesheet, Export
// Timesheet, Import CSV and Export CSV, and Sound > Apply Lip-Sync Data.

#include <QObject>
#include <functional>

#include "dopegrid/core/dopegrid_doc.h"
#include "ui/save_path_picker.h"

class QAction;
class QMainWindow;

namespace quenda {

class Settings;

class ExchangeCommands final : public QObject {
  Q_OBJECT

 public:
  struct Hooks {
    std::function<bool()> saveModified;    // asks before the document is replaced
    std::function<void()> becameUntitled;  // an imported sheet has no file yet
    std::function<QString()> title;        // the document's name without extension
  };
  // The actions are added to `window`, so that their shortcuts reach it.
  ExchangeCommands(CDopegridDoc& doc, Prompt& prompt, Settings& settings, QMainWindow& window,
                   SavePathPicker pickSavePath, Hooks hooks);

  QList<QAction*> fileActions() const { return fileActions_; }
  QAction* lipSyncAction() const { return lipSync_; }
  void UpdateActions();

  void ImportSheet(bool xdts);
  void ExportTimesheet();
  void ExportCsv();
  void ApplyLipSyncData();

 private:
  CDopegridDoc& doc_;
  Prompt& prompt_;
  Settings& settings_;
  QMainWindow& window_;
  SavePathPicker pick_;
  Hooks hooks_;
  QList<QAction*> fileActions_;
  QAction* lipSync_ = nullptr;
};

}  // namespace quenda
