#pragma once
// The composer's main window: the composition view over the timeline, the menus and shortcuts
// of every command with their enabling rules, the Timeline Tools bar, and the status bar with
// zoom, frame, the selected clip's values and the units.

#include <QMainWindow>
#include <functional>
#include <memory>
#include <string>

#include "composer/core/composer_doc.h"

class QLabel;
class QActionGroup;

namespace quenda {

class CComposerView;
class CTimeView;
class DocumentWatcher;
class RecentFiles;
class RecoveryKeeper;
class Settings;

class CComposerFrame final : public QMainWindow, public ComposerListener {
  Q_OBJECT

 public:
  // `prompt` asks the user (the window's own dialogs when null); `settings` is the program's
  // profile (the user's composer profile when null). Both must outlive the window.
  explicit CComposerFrame(Prompt* prompt = nullptr, Settings* settings = nullptr);
  ~CComposerFrame() override;

  CComposerDoc& document() { return *doc_; }
  CComposerView* composerView() const { return view_; }
  CTimeView* timeView() const { return time_; }
  RecentFiles& recentFiles() { return *recent_; }
  // A menu command by its object name ("actionInsertKey", ...).
  QAction* Action(const char* name) const;
  // The status bar panes: zoom, frame, first value, second value, units.
  QString PaneText(int pane) const;
  const QString& documentPath() const { return path_; }

  bool OpenFile(const QString& path);
  bool SaveFile(const QString& path);
  // Where previews go, and what plays them (the movie player unless replaced, as tests do).
  void SetPreviewPath(const std::string& path) { previewPath_ = path; }
  const std::string& previewPath() const { return previewPath_; }
  void SetMoviePlayer(std::function<void(const std::string&)> play) { play_ = std::move(play); }

  void OnUpdate(const ComposerHint& hint) override;

  // The copy of the movie's unsaved changes kept for a crash.
  RecoveryKeeper& recovery() { return *recovery_; }
  // Offers what a crashed run left and restores the chosen copy; true when one was restored.
  bool OfferRecovery();
  // The movie's file, watched for changes another program makes while it is open here.
  DocumentWatcher& watcher() { return *watcher_; }

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void BuildActions();
  void BuildMenus();
  void UpdateActions();
  void UpdateStatus();
  void UpdateTitle();
  bool SaveModified();

  void NewMovie();
  void Open();
  bool Save();
  bool SaveAs();
  void MovieSettings();
  void InsertKey();
  void DeleteKey();
  void EditKey();
  void StartEnd();
  void Parent();
  void AddEffect();
  void Zoom(int levelStep);
  void ZoomExtends();
  void Preview();
  void ShowLastPreview();
  void SaveLastPreview();
  void Render();
  void ExportMovie();
  void PlayMovie(const std::string& path);
  std::optional<KeyKind> ChooseKind(const std::vector<KeyKind>& kinds);

  std::unique_ptr<Prompt> ownPrompt_;
  Prompt* prompt_;
  std::unique_ptr<Settings> ownSettings_;
  Settings* settings_;
  std::unique_ptr<CComposerDoc> doc_;
  RecentFiles* recent_ = nullptr;
  CComposerView* view_ = nullptr;
  CTimeView* time_ = nullptr;
  QLabel* panes_[5] = {};
  QActionGroup* modes_ = nullptr;
  QActionGroup* qualities_ = nullptr;
  QString path_;
  std::string previewPath_;
  std::function<void(const std::string&)> play_;
  // The movie's file changed under the window (composer_frame_watch.cpp).
  DocumentWatcher* watcher_ = nullptr;
  RecoveryKeeper* recovery_ = nullptr;
  int recoveryFrame_ = 0;  // the current frame when the copy last looked
};

}  // namespace quenda
