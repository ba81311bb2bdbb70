#pragma once
// The scanner's main window: the picture view with the scan area, the menus of every command
// with their enabling rules, the scan tools panel and the status bar's zoom.

#include <QMainWindow>
#include <memory>

#include "scanner/core/scanner_doc.h"

class QLabel;
class QDockWidget;

namespace quenda {
class DocumentWatcher;
class Settings;
class RecentFiles;
class ProgressWindow;
class SettingsProfile;
}  // namespace quenda

namespace quenda::scanner {

class CScannerView;
class QtScannerDialogs;

class CScannerFrame final : public QMainWindow, public DocumentListener<ScannerUpdate> {
  Q_OBJECT

 public:
  // `prompt` asks the user (the window's own message boxes when null); `settings` is the
  // program's profile (the user's scanner profile when null); `devices` the scanners (SANE's
  // when null). All must outlive the window.
  explicit CScannerFrame(Prompt* prompt = nullptr, Settings* settings = nullptr,
                         twain::ScanDeviceManager* devices = nullptr);
  ~CScannerFrame() override;

  CScannerDoc& document() { return *doc_; }
  CScannerView* view() const { return view_; }
  twain::TwainSession& session() { return *session_; }
  QAction* Action(const char* name) const;
  QString ZoomText() const;
  QString ToolPanelText() const;

  void NewSequence();
  bool OpenFile(const QString& path);
  void OnUpdate(const ScannerUpdate& update) override;
  // Watches the frame on show and offers to read it again when another program changes it.
  DocumentWatcher& watcher() { return *watcher_; }

 private:
  struct Command;
  void BuildActions();
  void BuildMenus();
  void UpdateActions();
  void UpdateToolPanel();
  void UpdateTitle();
  // Runs a document command that may scan, with STOP in a progress window meanwhile.
  void Scanning(const QString& stage, const std::function<void()>& command);
  void ImportSequence();
  void PreviewDpi();
  void Calibrate();

  std::unique_ptr<Prompt> ownPrompt_;
  Prompt* prompt_;
  std::unique_ptr<Settings> ownSettings_;
  Settings* settings_;
  std::unique_ptr<SettingsProfile> profile_;
  std::unique_ptr<QtScannerDialogs> dialogs_;
  std::unique_ptr<twain::ScanDeviceManager> ownDevices_;
  std::unique_ptr<CScannerDoc> doc_;
  DocumentWatcher* watcher_ = nullptr;
  std::vector<std::string> watched_;
  std::unique_ptr<ScannerSession> session_;
  ProgressWindow* progress_ = nullptr;
  RecentFiles* recent_ = nullptr;
  CScannerView* view_ = nullptr;
  QDockWidget* tools_ = nullptr;
  QLabel* pegPicture_ = nullptr;
  QLabel* facts_ = nullptr;
  QLabel* zoom_ = nullptr;
};

}  // namespace quenda::scanner
