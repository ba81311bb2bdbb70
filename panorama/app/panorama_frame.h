#pragma once
// The background maker's main window: the background view, the menus and shortcuts of every
// command with their enabling rules, the general and tools bars, and the status bar with the
// zoom, the picture size and the whole-mask operations' progress.

#include <QMainWindow>
#include <functional>
#include <memory>

#include "panorama/core/panorama_doc.h"
#include "twain/picture_scan.h"
#include "ui/save_path_picker.h"

class QLabel;
class QActionGroup;

namespace quenda {

class CPanoramaView;
class DocumentWatcher;
class RecentFiles;
class RecoveryKeeper;
class Settings;

class CPanoramaFrame final : public QMainWindow, public PanoramaListener {
  Q_OBJECT

 public:
  // `prompt` asks the user (the window's own message boxes when null); `settings` is the
  // program's profile (the user's panorama profile when null); `devices` the scanners (SANE's
  // when null). All must outlive the window.
  explicit CPanoramaFrame(Prompt* prompt = nullptr, Settings* settings = nullptr,
                          twain::ScanDeviceManager* devices = nullptr);
  ~CPanoramaFrame() override;

  CPanoramaDoc& document() { return *doc_; }
  CPanoramaView* view() const { return view_; }
  RecentFiles& recentFiles() { return *recent_; }
  // A menu command by its object name ("actionGrowMask", ...).
  QAction* Action(const char* name) const;
  // The status bar panes: zoom, width, height.
  QString PaneText(int pane) const;
  void SetSavePathPicker(SavePathPicker picker) { pickSavePath_ = std::move(picker); }

  bool OpenFile(const QString& path);

  void OnUpdate(const PanoramaUpdate& update) override;

  // The copy of the background's unsaved changes kept for a crash.
  RecoveryKeeper& recovery() { return *recovery_; }
  // Offers what a crashed run left and restores the chosen copy; true when one was restored.
  bool OfferRecovery();
  // The background's file, watched for changes another program makes while it is open here.
  DocumentWatcher& watcher() { return *watcher_; }

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  struct Command;
  static const Command kCommands[];

  void BuildActions();
  void BuildMenus();
  void BuildToolBars();
  void UpdateActions();
  void UpdateStatus();
  void UpdateTitle();
  bool SaveModified();

  void Open();
  bool Save();
  bool SaveAs();
  void Revert();
  void ViewSettings();
  void FitInWindow();
  void ScanBackground();
  void SelectSource();
  QString DocumentName() const;
  void NoteRecentFile(bool opened, const std::string& path);
  // Runs a whole-mask operation under the wait cursor, its progress in the status bar.
  void WholeMask(const std::function<void(CPanoramaDoc&)>& operation);
  void KeyerClicked(const QPoint& pixel);

  std::unique_ptr<Prompt> ownPrompt_;
  Prompt* prompt_;
  std::unique_ptr<Settings> ownSettings_;
  Settings* settings_;
  std::unique_ptr<CPanoramaDoc> doc_;
  std::unique_ptr<twain::ScanDeviceManager> ownDevices_;
  std::unique_ptr<twain::PictureScanSession> scanner_;
  RecentFiles* recent_ = nullptr;
  CPanoramaView* view_ = nullptr;
  QLabel* panes_[3] = {};
  QActionGroup* tools_ = nullptr;
  QActionGroup* modes_ = nullptr;
  QActionGroup* viewModes_ = nullptr;
  QActionGroup* sizes_ = nullptr;
  SavePathPicker pickSavePath_ = SystemSavePathPicker();
  // The background's file changed under the window (panorama_frame_watch.cpp).
  void WatchDocument();
  DocumentWatcher* watcher_ = nullptr;
  std::string watchedPath_;
  RecoveryKeeper* recovery_ = nullptr;
};

}  // namespace quenda
