#pragma once
// The menus of sequence paint: while a sequence is painted they take the place of the main
// window's menus (the View menu stays, for the zoom); navigation between frames, auto fill,
// "Frame No?", Render Sequence under its progress window, and leaving sequence paint.

#include <QObject>

#include "analyzer/app/analyzer_dialogs.h"
#include "analyzer/core/analyzer_doc.h"

class QAction;
class QMainWindow;
class QMenu;

namespace quenda {

class SequencePaintMenus final : public QObject, public AnalyzerListener {
  Q_OBJECT

 public:
  // Adds "Paint &Sequence..." to `paintMenu` and the sequence menus, hidden, to the window's
  // menu bar.
  SequencePaintMenus(QMainWindow& window, CAnalyzerDoc& doc, Prompt& prompt, QMenu* paintMenu);
  ~SequencePaintMenus() override;

  void OnUpdate(const AnalyzerUpdate& update) override;

 protected:
  // Closing the window in sequence paint leaves it as Exit Sequence Paint does, so the frame in
  // hand is written; the window stays when the user says no or the frame cannot be written.
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QAction* Add(QMenu* menu, const char* name, const QString& text, const QKeySequence& key,
               void (SequencePaintMenus::*slot)());
  void Begin();
  void Exit();
  void Undo();
  void Next();
  void Previous();
  void First();
  void Last();
  void GoTo();
  void UsePrevious();
  void UseAnyFrame();
  void Render();
  void ShowMenus();

  QMainWindow& window_;
  CAnalyzerDoc& doc_;
  Prompt& prompt_;
  QList<QMenu*> menus_;
  bool shown_ = false;
};

}  // namespace quenda
