#pragma once
// The painter's main window: the picture, the colour list and the frame strip in splitters,
// the menus and shortcuts of every command with their enabling rules, three toolbars and the
// status bar with the zoom and the painted state.

#include <QMainWindow>
#include <memory>

#include "painter/core/painter_doc.h"

class QLabel;
class QActionGroup;

namespace quenda {

class CColorView;
class CPainterView;
class CTimeView;
class DocumentWatcher;
class RecentFiles;
class RecoveryKeeper;
class Settings;

class CMainFrame final : public QMainWindow, public PainterListener {
  Q_OBJECT

 public:
  // `prompt` asks the user (the window's own message boxes when null); `settings` is the
  // program's profile (the user's painter profile when null). Both must outlive the window.
  explicit CMainFrame(Prompt* prompt = nullptr, Settings* settings = nullptr);
  ~CMainFrame() override;

  CPainterDoc& document() { return *doc_; }
  CPainterView* pictureView() const { return picture_; }
  CColorView* colorView() const { return colorList_; }
  CTimeView* timeView() const { return strip_; }
  RecentFiles& recentFiles() { return *recent_; }
  // A menu command by its object name ("actionNextFrame", ...).
  QAction* Action(const char* name) const;
  QString zoomPaneText() const;
  QString pointPaneText() const;
  QString paintedPaneText() const;
  QString speckPaneText() const;

  // Opens the sequence of a drawing, as the command line (on that drawing) and the recent-file
  // list do.
  bool OpenFile(const QString& path, SequenceStart start = SequenceStart::FirstFrame);
  void OnUpdate(const PainterUpdate& update) override;

  // The copy of the current frame's unsaved changes kept for a crash.
  RecoveryKeeper& recovery() { return *recovery_; }
  // Offers what a crashed run left and restores the chosen copy; true when one was restored.
  bool OfferRecovery();
  // The watch over the files the painter holds, which another program may change.
  DocumentWatcher& watcher() { return *watcher_; }

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void BuildActions();
  void BuildMenus();
  void BuildToolBars();
  void UpdateActions();
  void UpdateStatus();
  void UpdateTitle();
  void ShowPoint(const QPoint& image);
  void NoteRecentFile();
  void OpenSequence();
  void AutoPaintAnyFrame();
  void AutoPaintRange();
  void AskSpeckSize();
  void AddColor();
  void EditColor();
  void EditLineAndUnfilled();

  std::unique_ptr<Prompt> ownPrompt_;
  Prompt* prompt_;
  std::unique_ptr<Settings> ownSettings_;
  Settings* settings_;
  std::unique_ptr<CPainterDoc> doc_;
  RecentFiles* recent_ = nullptr;
  CPainterView* picture_ = nullptr;
  CColorView* colorList_ = nullptr;
  CTimeView* strip_ = nullptr;
  QLabel* pointPane_ = nullptr;
  QLabel* zoomPane_ = nullptr;
  QLabel* paintedPane_ = nullptr;
  QLabel* speckPane_ = nullptr;
  QActionGroup* tools_ = nullptr;
  QActionGroup* modes_ = nullptr;
  QActionGroup* sizes_ = nullptr;
  RecoveryKeeper* recovery_ = nullptr;
  DocumentWatcher* watcher_ = nullptr;
};

}  // namespace quenda
