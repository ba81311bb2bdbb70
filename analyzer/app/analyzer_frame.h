#pragma once
// The analyzer's main window: the drawing, the File, View, Regions, Paint and Help menus, the
// line settings dialog beside the picture and the batch run under its progress window.

#include <QMainWindow>
#include <QPointer>
#include <memory>

#include "analyzer/app/analyzer_dialogs.h"
#include "analyzer/app/paint_tools_window.h"
#include "analyzer/app/scan_mode_window.h"
#include "analyzer/core/analyzer_doc.h"

namespace quenda {

class CAnalyzerView;
class DocumentWatcher;
class RecoveryKeeper;
class Settings;

class CAnalyzerFrame final : public QMainWindow, public AnalyzerListener {
  Q_OBJECT

 public:
  // `prompt` asks the user (the window's own message boxes when null) and must outlive the
  // window; `pickSavePath` names files to write (the system's dialog when empty); `devices`
  // are the scanners (SANE's when null) and must outlive the window; `settings` is the
  // program's profile (the user's "analyzer" one when null), which keeps the gap setting.
  explicit CAnalyzerFrame(Prompt* prompt = nullptr, SavePathPicker pickSavePath = {},
                          twain::ScanDeviceManager* devices = nullptr,
                          Settings* settings = nullptr);
  ~CAnalyzerFrame() override;

  CAnalyzerDoc& document() { return *doc_; }
  CAnalyzerView* pictureView() const { return view_; }
  LineSettingsDialog* lineSettingsDialog() const { return settingsDialog_; }
  ColorSetDialog* colorSetDialog() const { return colorDialog_; }
  // Shown while paint mode is on.
  PaintToolsWindow* paintToolsWindow() const { return toolsWindow_; }
  // Shown while the scan mode is on.
  ScannedImageList* scannedImageList() const { return scanList_; }
  // A menu command by its object name ("actionMarkRegions", ...).
  QAction* Action(const char* name) const;

  bool OpenFile(const QString& path);
  void OnUpdate(const AnalyzerUpdate& update) override;

  // Crash recovery (analyzer_frame_recovery.cpp): the copy of the frame in hand's unsaved
  // paint, and at the start what a crashed run left, offered to restore. True when restored.
  RecoveryKeeper& recovery() { return *recovery_; }
  bool OfferRecovery();
  // Watches the files the document holds and offers to reload them when another program
  // changes them.
  DocumentWatcher& watcher() { return *watcher_; }

 protected:
  // A clean exit removes the recovery copy.
  void closeEvent(QCloseEvent* event) override;

 private:
  // The watched files follow what the document holds.
  void WatchHeldFiles();
  void BuildMenus();
  void UpdateActions();
  void OpenLineSettings();
  void MarkRegions();
  void SaveRegions();
  void SaveComposite();
  void BatchProcess();
  void OpenColorSet();
  void About();
  void ShowPaintTools();
  // "Scan Se&quence", and "E&xit Scan" while the scan mode is on.
  void ScanSequence();
  void ExitScan();
  // The gap setting into the profile once the settings dialog has closed with a new one.
  void KeepCloseGaps();

  std::unique_ptr<Prompt> ownPrompt_;
  Prompt* prompt_;
  std::unique_ptr<Settings> ownSettings_;
  Settings* settings_;
  SavePathPicker pickSavePath_;
  std::unique_ptr<CAnalyzerDoc> doc_;
  CAnalyzerView* view_ = nullptr;
  QPointer<LineSettingsDialog> settingsDialog_;
  QPointer<ColorSetDialog> colorDialog_;
  QPointer<PaintToolsWindow> toolsWindow_;
  std::unique_ptr<twain::ScanDeviceManager> ownDevices_;
  twain::ScanDeviceManager* devices_;
  std::unique_ptr<twain::AnalyzerScanMode> scanMode_;
  QPointer<ScannedImageList> scanList_;
  RecoveryKeeper* recovery_ = nullptr;
  DocumentWatcher* watcher_ = nullptr;
  std::vector<std::string> watched_;
};

}  // namespace quenda
