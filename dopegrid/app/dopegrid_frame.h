#pragma once
// The exposure sheet's main window: the Picture Holder (sequences and their frames) beside the
// sheet view, the File, Edit, View, Picture Holder, Frames and Levels menus with their
// shortcuts and enabling rules, the document's file life (new, open, save, save as, recent
// files, the question before changes are lost) and the status bar.

#include <QMainWindow>
#include <QPointer>
#include <functional>
#include <memory>
#include <string>

#include "dopegrid/core/dopegrid_doc.h"
#include "ui/save_path_picker.h"

class QLabel;

namespace quenda {

class CDopegridView;
class CSeqContentView;
class CSeqView;
class CelImageWindow;
class ExchangeCommands;
class DocumentWatcher;
class PrintCommands;
class RecentFiles;
class RecoveryKeeper;
class Settings;
class SoundCommands;
struct FlipbookSettings;
struct RenderSettings;

// Where the last flipbook is kept: the program's cache directory.
std::string DefaultFlipbookPath();

class CDopegridFrame final : public QMainWindow, public SheetListener {
  Q_OBJECT

 public:
  // `prompt` asks the user (the window's own dialogs when null), `settings` is the profile
  // (the user's dopegrid profile when null); both must outlive the window. `pickSavePath`
  // asks where Save As writes (the system's dialog when empty).
  explicit CDopegridFrame(Prompt* prompt = nullptr, Settings* settings = nullptr,
                          SavePathPicker pickSavePath = {});
  ~CDopegridFrame() override;

  CDopegridDoc& document() { return *doc_; }
  CDopegridView* sheetView() const { return sheet_; }
  CSeqView* sequenceView() const { return sequences_; }
  CSeqContentView* pictureView() const { return pictures_; }
  CelImageWindow* celWindow() const;
  RecentFiles& recentFiles() { return *recent_; }
  SoundCommands& soundCommands() { return *sound_; }
  PrintCommands& printCommands() { return *print_; }
  ExchangeCommands& exchangeCommands() { return *exchange_; }
  // The path the document was opened from or saved to; empty for a new one.
  const QString& documentPath() const { return path_; }
  // A menu command by its object name ("actionCut", ...).
  QAction* Action(const char* name) const;
  QStringList statusTexts() const;

  // Opens a sheet, as the command line and the recent-file list do; false when it could not
  // be read.
  bool OpenFile(const QString& path);
  // Where the last flipbook goes, and what plays movies (the movie player unless replaced, as
  // tests do).
  void SetPreviewPath(const std::string& path);
  const std::string& previewPath() const { return previewPath_; }
  void SetMoviePlayer(std::function<void(const std::string&)> play) { play_ = std::move(play); }
  void OnUpdate(const SheetHint& hint) override;

  // The copy of the sheet's unsaved changes kept for a crash.
  RecoveryKeeper& recovery() { return *recovery_; }
  // Offers what a crashed run left and restores the chosen copy; true when one was restored.
  bool OfferRecovery();
  // The sheet's file, watched for changes another program makes while it is open here.
  DocumentWatcher& watcher() { return *watcher_; }

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void BuildActions();
  void BuildMenus();
  void UpdateActions();
  void UpdateTitle();
  void UpdateStatus();
  // Asks whether to save a changed document; false when the user cancels (or saving fails).
  bool SaveModified();
  void NewDocument();
  void Open();
  bool Save();
  bool SaveAs();
  void ShowCelSource();
  void TransferOnAny();
  void AddFrames();
  void DeleteFrames();
  void AddLevel();
  void DeleteLevel();
  void SwapLevels();
  void RenameLevel();
  // The Render and FlipBook menus.
  void BuildJobActions();
  void BuildJobMenus();
  void UpdateJobActions();
  void Render();
  void RunRenderJob(const RenderSettings& settings);
  void MakeFlipbook();
  void RunFlipbookJob(const FlipbookSettings& settings);
  void PlayLastFlipbook();
  void SaveLastFlipbookAs();
  void ExportMovie();
  void PlayMovie(const std::string& path);

  std::unique_ptr<Prompt> ownPrompt_;
  Prompt* prompt_;
  std::unique_ptr<Settings> ownSettings_;
  Settings* settings_;
  SavePathPicker pickSavePath_;
  std::unique_ptr<CDopegridDoc> doc_;
  QString path_;
  RecentFiles* recent_ = nullptr;
  CDopegridView* sheet_ = nullptr;
  CSeqView* sequences_ = nullptr;
  CSeqContentView* pictures_ = nullptr;
  QPointer<CelImageWindow> celWindow_;
  QLabel* rateLabel_ = nullptr;
  QLabel* totalLabel_ = nullptr;
  QLabel* currentLabel_ = nullptr;
  std::string previewPath_ = DefaultFlipbookPath();
  std::function<void(const std::string&)> play_;
  // Before the document in destruction: both hold on to it.
  std::unique_ptr<SoundCommands> sound_;
  std::unique_ptr<PrintCommands> print_;
  std::unique_ptr<ExchangeCommands> exchange_;
  // The sheet's file changed under the window (dopegrid_frame_watch.cpp).
  DocumentWatcher* watcher_ = nullptr;
  RecoveryKeeper* recovery_ = nullptr;
  int recoveryFrame_ = 0;  // the current frame when the copy last looked
};

}  // namespace quenda
