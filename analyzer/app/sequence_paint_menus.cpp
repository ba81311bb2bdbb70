#include "analyzer/app/sequence_paint_menus.h"

#include <QAction>
#include <QApplication>
#include <QEvent>
#include <QMainWindow>
#include <QMenuBar>

#include "analyzer/app/sequence_dialogs.h"
#include "ui/progress_window.h"

namespace quenda {
namespace {

QString Q(std::string_view text) {
  return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

}  // namespace

SequencePaintMenus::SequencePaintMenus(QMainWindow& window, CAnalyzerDoc& doc, Prompt& prompt,
                                       QMenu* paintMenu)
    : QObject(&window), window_(window), doc_(doc), prompt_(prompt) {
  Add(paintMenu, "actionSequencePaint", QStringLiteral("Paint &Sequence..."), {},
      &SequencePaintMenus::Begin);

  QMenu* frames = window_.menuBar()->addMenu(QStringLiteral("&Sequence"));
  // Ctrl+Z stays with the Edit menu's Undo, which the window keeps so that the key works while
  // the Edit menu is hidden.
  if (auto* undo = window_.findChild<QAction*>(QStringLiteral("actionUndo"))) {
    window_.addAction(undo);
    Add(frames, "actionSequenceUndo", QStringLiteral("&Undo (CTRL-Z)"), {},
        &SequencePaintMenus::Undo);
  }
  Add(frames, "actionNextFrame", QStringLiteral("&Next Frame (RIGHT)"), Qt::Key_Right,
      &SequencePaintMenus::Next);
  Add(frames, "actionPreviousFrame", QStringLiteral("&Previous Frame (LEFT)"), Qt::Key_Left,
      &SequencePaintMenus::Previous);
  Add(frames, "actionFirstFrame", QStringLiteral("&First Frame (UP)"), Qt::Key_Up,
      &SequencePaintMenus::First);
  Add(frames, "actionLastFrame", QStringLiteral("&Last Frame (DOWN)"), Qt::Key_Down,
      &SequencePaintMenus::Last);
  Add(frames, "actionGoToFrame", QStringLiteral("&Go to Frame (F1)"), Qt::Key_F1,
      &SequencePaintMenus::GoTo);
  if (auto* brush = window_.findChild<QMenu*>(QStringLiteral("menuBrush"))) frames->addMenu(brush);
  frames->addSeparator();
  Add(frames, "actionRenderSequence", QStringLiteral("Render &Sequence"), {},
      &SequencePaintMenus::Render);
  // The colour set and the composite of the frame in hand, as in single-frame paint.
  for (const char* shared : {"actionColorSet", "actionSaveComposite"})
    if (auto* action = window_.findChild<QAction*>(QString::fromLatin1(shared)))
      frames->addAction(action);
  frames->addSeparator();
  Add(frames, "actionExitSequencePaint", QStringLiteral("E&xit Sequence Paint"), {},
      &SequencePaintMenus::Exit);

  QMenu* fill = window_.menuBar()->addMenu(QStringLiteral("&AutoFill"));
  Add(fill, "actionUsePreviousFrame", QStringLiteral("Use &Previous Frame"), {},
      &SequencePaintMenus::UsePrevious);
  Add(fill, "actionUseAnyFrame", QStringLiteral("Use &AnyFrame"), {},
      &SequencePaintMenus::UseAnyFrame);
  menus_ = {frames, fill};
  for (QMenu* menu : menus_) menu->menuAction()->setVisible(false);
  doc_.AddListener(this);
  window_.installEventFilter(this);
  shown_ = true;  // so that the first call hides them
  ShowMenus();
}

SequencePaintMenus::~SequencePaintMenus() {
  doc_.RemoveListener(this);
}

QAction* SequencePaintMenus::Add(QMenu* menu, const char* name, const QString& text,
                                 const QKeySequence& key, void (SequencePaintMenus::*slot)()) {
  auto* action = new QAction(text, &window_);
  action->setObjectName(QString::fromLatin1(name));
  if (!key.isEmpty()) action->setShortcut(key);
  connect(action, &QAction::triggered, this, slot);
  menu->addAction(action);
  return action;
}

bool SequencePaintMenus::eventFilter(QObject* watched, QEvent* event) {
  if (watched == &window_ && event->type() == QEvent::Close && doc_.sequencePainting() &&
      !doc_.ExitSequencePaint()) {
    event->ignore();
    return true;
  }
  return false;
}

void SequencePaintMenus::OnUpdate(const AnalyzerUpdate& update) {
  if (update.hint == AnalyzerHint::StateChanged) ShowMenus();
}

// While a sequence is painted its menus replace the main ones; the zoom of the View menu stays.
void SequencePaintMenus::ShowMenus() {
  const bool sequence = doc_.sequencePainting();
  for (QMenu* menu : menus_)
    for (QAction* action : menu->actions())
      if (action->parent() == &window_ && action->objectName().size() > 0 &&
          action->objectName() != QStringLiteral("actionColorSet") &&
          action->objectName() != QStringLiteral("actionSaveComposite"))
        action->setEnabled(sequence);
  if (auto* begin = window_.findChild<QAction*>(QStringLiteral("actionSequencePaint")))
    begin->setEnabled(!doc_.painting() && !doc_.lineSettingsOpen());
  if (sequence == shown_) return;
  shown_ = sequence;
  const QAction* zoom = window_.findChild<QAction*>(QStringLiteral("actionZoomIn"));
  for (QAction* top : window_.menuBar()->actions()) {
    QMenu* menu = top->menu();
    if (menu == nullptr) continue;
    const bool mine = menus_.contains(menu);
    const bool keep = zoom != nullptr && menu->actions().contains(const_cast<QAction*>(zoom));
    top->setVisible(keep || (mine == sequence));
  }
}

void SequencePaintMenus::Undo() {
  (void)doc_.UndoPaint();
}

void SequencePaintMenus::Begin() {
  if (!doc_.ConfirmSequencePaint()) return;
  SequenceSelectionDialog dialog(doc_, prompt_, &window_);
  if (dialog.exec() != QDialog::Accepted) return;
  (void)doc_.BeginSequencePaint(*dialog.choice().sequence, dialog.choice().colorSetLoaded);
}

void SequencePaintMenus::Exit() {
  (void)doc_.ExitSequencePaint();
}

void SequencePaintMenus::Next() {
  (void)doc_.NextFrame();
}

void SequencePaintMenus::Previous() {
  (void)doc_.PreviousFrame();
}

void SequencePaintMenus::First() {
  (void)doc_.FirstFrame();
}

void SequencePaintMenus::Last() {
  (void)doc_.LastFrame();
}

void SequencePaintMenus::GoTo() {
  EntryDialog dialog(
      "Frame No?", [this](std::string_view text) { return doc_.GoToFrameEntry(text); }, &window_);
  dialog.exec();
}

void SequencePaintMenus::UsePrevious() {
  (void)doc_.AutoFillPrevious();
}

void SequencePaintMenus::UseAnyFrame() {
  if (!doc_.sequencePainting()) {
    (void)doc_.AutoFillPrevious();  // says why not
    return;
  }
  EntryDialog dialog(
      "Frame No?", [this](std::string_view text) { return doc_.AutoFillFromEntry(text); },
      &window_);
  dialog.exec();
}

void SequencePaintMenus::Render() {
  RenderSequenceDialog dialog(doc_, prompt_, &window_);
  if (dialog.exec() != QDialog::Accepted || !dialog.request()) return;
  const RenderRequest request = *dialog.request();
  RenderObserver observer;
  // The run is on a worker thread: the title reaches the window through its event queue.
  observer.frameStarted = [this](int, const FrameTag& tag) {
    const QString title = Q(RenderingFrameTitle(tag.number));
    QMetaObject::invokeMethod(
        &window_, [this, title] { window_.setWindowTitle(title); }, Qt::QueuedConnection);
  };
  QApplication::setOverrideCursor(Qt::WaitCursor);
  ProgressWindow progress(QStringLiteral("Quenda: Render Sequence"), &window_);
  progress.RunJob([&](Progress& stages,
                      Prompt& asker) { (void)doc_.RunRender(request, asker, stages, observer); },
                  prompt_);
  QApplication::restoreOverrideCursor();
  // Titles the run posted are shown before the frame's own comes back.
  QCoreApplication::sendPostedEvents(&window_, QEvent::MetaCall);
  doc_.EndRender();
}

}  // namespace quenda
