#include "composer/app/composer_frame.h"

#include <QAction>
#include <QActionGroup>
#include <QCloseEvent>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QScrollBar>
#include <QSplitter>
#include <QStandardPaths>
#include <QStatusBar>

#include "composer/app/composer_dialogs.h"
#include "composer/app/composer_save_dialog.h"
#include "composer/app/composer_view.h"
#include "composer/app/time_view.h"
#include "composer/core/composition_file.h"
#include "composer/core/composition_recovery.h"
#include "composer/core/lost_clips.h"
#include "ui/document_title.h"
#include "ui/document_watcher.h"
#include "ui/qt_prompt.h"
#include "ui/recent_files.h"
#include "ui/recovery_keeper.h"
#include "ui/settings.h"

namespace quenda {

namespace {

QString Q(std::string_view text) {
  return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

constexpr std::string_view kAppTitle = "Quenda Composer";

// The window's own questions, with clip pictures picked in a dialog that offers
// "Select_A_Sequence.tga" in the folder where the clip was, or the folder of the last pick.
class ComposerPrompt final : public Prompt {
 public:
  explicit ComposerPrompt(QWidget* parent) : inner_(parent), parent_(parent) {}

  void Message(std::string_view text, MessageIcon icon) override { inner_.Message(text, icon); }
  bool AskYesNo(std::string_view text) override { return inner_.AskYesNo(text); }
  bool AskOkCancel(std::string_view text) override { return inner_.AskOkCancel(text); }
  std::optional<int> AskChoice(const ChoiceQuestion& question) override {
    return inner_.AskChoice(question);
  }
  std::optional<std::string> PickDirectory(std::string_view title,
                                           std::string_view start) override {
    return inner_.PickDirectory(title, start);
  }
  std::optional<std::string> PickFile(std::string_view title, std::string_view filter,
                                      std::string_view start) override {
    QString folder = start.empty() ? lastFolder_ : Q(start);
    QFileDialog dialog(parent_, Q(title), folder, Q(filter));
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setDefaultSuffix(QStringLiteral("tga"));
    dialog.selectFile(QString::fromLatin1(kFindClipDefaultName));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    const QString picked = dialog.selectedFiles().first();
    lastFolder_ = QFileInfo(picked).absolutePath();
    return picked.toStdString();
  }

 private:
  QtPrompt inner_;
  QPointer<QWidget> parent_;
  QString lastFolder_;
};

std::string DefaultPreviewPath() {
  QString folder = QStandardPaths::writableLocation(QStandardPaths::CacheLocation);
  QDir().mkpath(folder);
  return (folder + QStringLiteral("/preview.avi")).toStdString();
}

}  // namespace

CComposerFrame::CComposerFrame(Prompt* prompt, Settings* settings)
    : ownPrompt_(prompt == nullptr ? std::make_unique<ComposerPrompt>(this) : nullptr),
      prompt_(prompt == nullptr ? ownPrompt_.get() : prompt),
      ownSettings_(settings == nullptr ? std::make_unique<Settings>(QStringLiteral("composer"))
                                       : nullptr),
      settings_(settings == nullptr ? ownSettings_.get() : settings),
      doc_(std::make_unique<CComposerDoc>(*prompt_)),
      previewPath_(DefaultPreviewPath()) {
  recent_ = new RecentFiles(*settings_, this);
  view_ = new CComposerView(*doc_);
  time_ = new CTimeView(*doc_);
  auto* whole = new QSplitter(Qt::Vertical);
  whole->addWidget(view_);
  whole->addWidget(time_);
  whole->setStretchFactor(0, 1);
  whole->setStretchFactor(1, 0);
  whole->setSizes({560, 190});
  setCentralWidget(whole);

  const int widths[] = {90, 80, 140, 140, 50};
  for (int i = 0; i < 5; ++i) {
    panes_[i] = new QLabel;
    panes_[i]->setMinimumWidth(widths[i]);
    statusBar()->addPermanentWidget(panes_[i]);
  }
  statusBar()->showMessage(QStringLiteral("Ready"));
  connect(view_, &CComposerView::StatusMessage, this,
          [this](const QString& text) { statusBar()->showMessage(text, 5000); });
  connect(time_, &CTimeView::EditKeyRequested, this, [this] { EditKey(); });
  connect(recent_, &RecentFiles::Chosen, this, [this](const QString& path) {
    if (SaveModified()) OpenFile(path);
  });

  BuildActions();
  BuildMenus();
  recovery_ = new RecoveryKeeper(
      kComposerRecoveryProgram,
      [this] { return CompositionRecoverySnapshot(*doc_, path_.toStdString()); }, this);
  watcher_ = new DocumentWatcher(this);
  connect(watcher_, &DocumentWatcher::Changed, this, [this](const QStringList& changed) {
    if (watcher_->MayReload(*prompt_, std::string(kAppTitle), changed, {path_.toStdString()},
                            doc_->modified()))
      OpenFile(path_);
  });
  doc_->AddListener(this);
  // The framework's first two new-document requests come before the window is shown and ask
  // nothing; File New shows the dialog from then on.
  doc_->OnNewDocument({});
  doc_->OnNewDocument({});
  UpdateActions();
  UpdateStatus();
  UpdateTitle();
  resize(1100, 820);
}

CComposerFrame::~CComposerFrame() {
  doc_->RemoveListener(this);
  // The views listen to the document: they go before it does.
  delete takeCentralWidget();
}

QAction* CComposerFrame::Action(const char* name) const {
  return findChild<QAction*>(QString::fromLatin1(name));
}

QString CComposerFrame::PaneText(int pane) const {
  return panes_[pane]->text();
}

void CComposerFrame::OnUpdate(const ComposerHint&) {
  if (doc_->composition().currentFrame != recoveryFrame_) {
    recoveryFrame_ = doc_->composition().currentFrame;
    if (doc_->modified()) recovery_->Refresh();
  }
  UpdateActions();
  UpdateStatus();
  UpdateTitle();
}

void CComposerFrame::UpdateTitle() {
  setWindowTitle(DocumentTitle(path_, doc_->modified(), Q(kAppTitle)));
  // Saved, opened or new: nothing unsaved is left to keep.
  if (recovery_ != nullptr && !doc_->modified()) recovery_->Remove();
}

void CComposerFrame::UpdateStatus() {
  const Composition& c = doc_->composition();
  if (!doc_->hasMovie()) {
    for (QLabel* pane : panes_) pane->clear();
    return;
  }
  auto [first, second] = ValuePaneTexts(c, InteractionMode(doc_->mode()));
  panes_[0]->setText(Q(ZoomPaneText(c.viewZoom)));
  panes_[1]->setText(Q(FramePaneText(c.currentFrame)));
  panes_[2]->setText(Q(first));
  panes_[3]->setText(Q(second));
  panes_[4]->setText(Q(UnitsPaneText(c.units)));
}

void CComposerFrame::UpdateActions() {
  const bool movie = doc_->hasMovie();
  static const char* const kAlways[] = {"actionNew", "actionOpen", "actionExit",
                                        "actionShowLastPreview", "actionSaveLastPreview"};
  for (QAction* action : actions()) {
    const QString name = action->objectName();
    bool always = false;
    for (const char* a : kAlways) always = always || name == QLatin1String(a);
    if (!always) action->setEnabled(movie);
  }
  if (!movie) return;
  const Composition& c = doc_->composition();
  const int selected = c.SelectedIndex();
  const ClipRecord* clip = selected >= 0 ? &c.clips[std::size_t(selected)] : nullptr;
  Action("actionUndo")->setEnabled(doc_->CanUndo());
  Action("actionCopyKey")->setEnabled(doc_->CanCopyKey());
  Action("actionPasteKey")->setEnabled(doc_->CanPasteKey());
  QAction* hide = Action("actionHideClip");
  hide->setEnabled(clip && clip->IsImage());
  hide->setText(clip && clip->hidden ? QStringLiteral("&Show Clip") : QStringLiteral("&Hide Clip"));
  Action("actionStartEnd")->setEnabled(doc_->LastStartFrame().has_value());
  Action("actionReplaceClip")->setEnabled(clip && clip->IsImage());
  for (const char* name : {"actionParent", "actionDuplicateClip", "actionDeleteClip"})
    Action(name)->setEnabled(clip != nullptr);
  Action("actionToFront")->setEnabled(selected > 0);
  Action("actionToBack")->setEnabled(selected >= 0 && selected + 1 < c.clipCount());
  Action("actionSelectUp")->setEnabled(selected > 0);
  Action("actionSelectDown")->setEnabled(selected >= 0 && selected + 1 < c.clipCount());
  Action("actionNextKeyFrame")->setEnabled(clip && clip->NextClipKeyFrame(c.currentFrame) >= 0);
  Action("actionPreviousKeyFrame")
      ->setEnabled(clip && clip->PreviousClipKeyFrame(c.currentFrame) >= 0);
  Action("actionTimelineZoomIn")->setEnabled(c.timelineZoom < kMaxTimelineZoom);
  Action("actionTimelineZoomOut")->setEnabled(c.timelineZoom > kMinTimelineZoom);
  for (QAction* action : modes_->actions())
    action->setChecked(action->data().toInt() == doc_->mode());
  for (QAction* action : qualities_->actions())
    action->setChecked(action->data().toInt() == c.quality);
  Action("actionAntialias")->setChecked(c.antialias != 0);
  Action("actionLabels")->setChecked(c.showLabels != 0);
  Action("actionSafeFrame")->setChecked(c.showSafeFrame != 0);
  Action("actionRuler")->setChecked(c.showRuler != 0);
  Action("actionMotionPath")->setChecked(doc_->showMotionPath());
}

bool CComposerFrame::SaveModified() {
  if (!doc_->hasMovie() || !doc_->modified()) return true;
  const QString name = path_.isEmpty() ? QStringLiteral("Untitled") : QFileInfo(path_).fileName();
  // Cancel, or closing the box, keeps the movie open as it is.
  const std::optional<int> answer =
      prompt_->AskChoice({std::string(kAppTitle),
                          "Save changes to " + name.toStdString() + "?",
                          {},
                          {"Yes", "No", "Cancel"}});
  if (answer == 0) return Save();
  return answer == 1;
}

void CComposerFrame::NewMovie() {
  if (!SaveModified()) return;
  const bool made = doc_->OnNewDocument([this]() -> std::optional<NewMovieValues> {
    NewMovieDialog dialog(*prompt_, this);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return dialog.values();
  });
  if (made) {
    path_.clear();
    watcher_->WatchOnly({path_.toStdString()});
    UpdateTitle();
  }
}

void CComposerFrame::Open() {
  if (!SaveModified()) return;
  QFileDialog dialog(this, QStringLiteral("Open"), QString(), Q(kCompositionFilter));
  dialog.setFileMode(QFileDialog::ExistingFile);
  if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty())
    OpenFile(dialog.selectedFiles().first());
}

bool CComposerFrame::OpenFile(const QString& path) {
  const QString absolute = QFileInfo(path).absoluteFilePath();
  if (Status opened = doc_->Open(absolute.toStdString()); !opened) {
    prompt_->Message(opened.message(), MessageIcon::Error);
    recent_->Remove(absolute);
    return false;
  }
  path_ = absolute;
  recent_->Add(absolute);
  watcher_->WatchOnly({path_.toStdString()});
  UpdateTitle();
  return true;
}

bool CComposerFrame::SaveFile(const QString& path) {
  if (Status saved = doc_->Save(path.toStdString()); !saved) {
    prompt_->Message(saved.message(), MessageIcon::Error);
    return false;
  }
  path_ = QFileInfo(path).absoluteFilePath();
  recent_->Add(path_);
  watcher_->WatchOnly({path_.toStdString()});
  UpdateTitle();
  return true;
}

bool CComposerFrame::Save() {
  if (path_.isEmpty()) return SaveAs();
  if (const ChangedFileAnswer answer =
          watcher_->MayOverwrite(*prompt_, std::string(kAppTitle), {path_.toStdString()});
      answer != ChangedFileAnswer::Overwrite)
    return answer == ChangedFileAnswer::SaveAs && SaveAs();
  return SaveFile(path_);
}

bool CComposerFrame::SaveAs() {
  const QString path = AskSavePath(this, QStringLiteral("Save As"),
                                   path_.isEmpty() ? QStringLiteral("movie.cmp") : path_,
                                   Q(kCompositionFilter), QStringLiteral("cmp"));
  return !path.isEmpty() && SaveFile(path);
}

void CComposerFrame::MovieSettings() {
  MovieSettingsDialog dialog(*prompt_, CurrentMovieValues(doc_->composition()), this);
  if (dialog.exec() == QDialog::Accepted) doc_->ApplySettings(dialog.values());
}

std::optional<KeyKind> CComposerFrame::ChooseKind(const std::vector<KeyKind>& kinds) {
  WhichKeyDialog dialog(kinds, this);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return dialog.chosen();
}

void CComposerFrame::InsertKey() {
  doc_->InsertKey([this](const std::vector<KeyKind>& kinds) { return ChooseKind(kinds); });
}

void CComposerFrame::DeleteKey() {
  doc_->DeleteKey([this](const std::vector<KeyKind>& kinds) { return ChooseKind(kinds); });
}

void CComposerFrame::EditKey() {
  const Composition& c = doc_->composition();
  doc_->EditKey([this](const std::vector<KeyKind>& kinds) { return ChooseKind(kinds); },
                [this, &c](const KeyEditValues& values) -> std::optional<KeyEditValues> {
                  const int selected = c.SelectedIndex();
                  KeyEditDialog dialog(*prompt_, values, c.clips[std::size_t(selected)].kind,
                                       c.frames, c.units, c.dpi, this);
                  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
                  return dialog.values();
                });
}

void CComposerFrame::StartEnd() {
  std::optional<int> last = doc_->LastStartFrame();
  if (!last) return;
  const Composition& c = doc_->composition();
  const ClipRecord& clip = c.clips[std::size_t(c.SelectedIndex())];
  StartEndDialog dialog(*prompt_, clip.beforeStart, clip.afterEnd, clip.movieStart + 1, *last,
                        QString::fromStdString(ClipFramePath(clip, clip.firstFrame)), this);
  if (dialog.exec() == QDialog::Accepted)
    doc_->SetStartEnd(dialog.before(), dialog.after(), dialog.start());
}

void CComposerFrame::Parent() {
  const Composition& c = doc_->composition();
  const int selected = c.SelectedIndex();
  if (selected < 0) return;
  const std::vector<int> candidates = doc_->ParentCandidates();
  auto labelOf = [&](int index) {
    return index < 0 ? QString::fromLatin1(kNoneParent)
                     : QString::fromStdString(c.clips[std::size_t(index)].label);
  };
  QStringList items;
  for (int index : candidates) items << labelOf(index);
  PickListDialog dialog(QStringLiteral("Select Parent Clip"),
                        labelOf(c.clips[std::size_t(selected)].parentIndex), items, this);
  if (dialog.exec() != QDialog::Accepted || dialog.chosenRow() < 0) return;
  doc_->ChooseParent(candidates[std::size_t(dialog.chosenRow())]);
}

void CComposerFrame::AddEffect() {
  QStringList names;
  for (ClipKind kind : kEffectKinds) names << Q(EffectListName(kind));
  PickListDialog dialog(QStringLiteral("Insert Effect Clip"), QString(), names, this);
  if (dialog.exec() != QDialog::Accepted || dialog.chosenRow() < 0) return;
  doc_->AddEffectClip(kEffectKinds[std::size_t(dialog.chosenRow())]);
}

void CComposerFrame::Zoom(int levelStep) {
  doc_->SetViewZoom(ZoomOfLevel(LevelOfZoom(doc_->composition().viewZoom) + levelStep));
}

void CComposerFrame::ZoomExtends() {
  const Composition& c = doc_->composition();
  // Measured without scroll bars, which go once the movie fits.
  const QSize window = view_->fullViewportSize();
  doc_->SetViewZoom(
      ZoomOfLevel(FittingZoomLevel(c.width, c.height, window.width(), window.height())));
}

void CComposerFrame::closeEvent(QCloseEvent* event) {
  if (SaveModified()) {
    recovery_->Remove();  // saved, or the changes were not wanted
    event->accept();
  } else {
    event->ignore();
  }
}

}  // namespace quenda
