#include "painter/app/main_frame.h"

#include <QAction>
#include <QActionGroup>
#include <QCloseEvent>
#include <QFontMetrics>
#include <QInputDialog>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QSplitter>
#include <QStatusBar>

#include "painter/app/color_view.h"
#include "painter/app/painter_dialogs.h"
#include "painter/app/painter_view.h"
#include "painter/app/time_view.h"
#include "painter/core/painter_recovery.h"
#include "painter/core/painter_texts.h"
#include "ui/document_title.h"
#include "ui/document_watcher.h"
#include "ui/progress_window.h"
#include "ui/qt_prompt.h"
#include "ui/recent_files.h"
#include "ui/recovery_keeper.h"
#include "ui/save_path_picker.h"
#include "ui/settings.h"
#include "ui/tool_art.h"

namespace quenda {
namespace {

const QString kAppTitle = QStringLiteral("Quenda Painter");

QString Q(std::string_view text) {
  return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

}  // namespace

CMainFrame::CMainFrame(Prompt* prompt, Settings* settings)
    : ownPrompt_(prompt == nullptr ? std::make_unique<QtPrompt>(this) : nullptr),
      prompt_(prompt == nullptr ? ownPrompt_.get() : prompt),
      ownSettings_(settings == nullptr ? std::make_unique<Settings>(QStringLiteral("painter"))
                                       : nullptr),
      settings_(settings == nullptr ? ownSettings_.get() : settings),
      doc_(std::make_unique<CPainterDoc>(*prompt_)) {
  setWindowTitle(kAppTitle);
  setWindowIcon(ToolIcon(ToolArt::Bucket));
  recent_ = new RecentFiles(*settings_, this);

  picture_ = new CPainterView(*doc_);
  colorList_ = new CColorView(*doc_);
  strip_ = new CTimeView(*doc_);
  auto* top = new QSplitter(Qt::Horizontal);
  top->addWidget(picture_);
  top->addWidget(colorList_);
  top->setStretchFactor(0, 1);
  top->setStretchFactor(1, 0);
  top->setSizes({900, 110});
  auto* whole = new QSplitter(Qt::Vertical);
  whole->addWidget(top);
  whole->addWidget(strip_);
  whole->setStretchFactor(0, 1);
  whole->setStretchFactor(1, 0);
  whole->setSizes({600, 130});
  setCentralWidget(whole);

  pointPane_ = new QLabel;
  pointPane_->setMinimumWidth(QFontMetrics(pointPane_->font()).horizontalAdvance("99999,99999"));
  zoomPane_ = new QLabel;
  paintedPane_ = new QLabel(Q(kStatusPaneWidestText));
  zoomPane_->setMinimumWidth(90);
  paintedPane_->setMinimumWidth(paintedPane_->sizeHint().width() + 10);
  statusBar()->addPermanentWidget(pointPane_);
  statusBar()->addPermanentWidget(zoomPane_);
  statusBar()->addPermanentWidget(paintedPane_);
  speckPane_ = new QLabel(Q(kSpeckPaneWidestText));
  speckPane_->setMinimumWidth(speckPane_->sizeHint().width() + 10);
  speckPane_->clear();
  statusBar()->addPermanentWidget(speckPane_);
  doc_->SetSpeckSize(settings_->GetInt(QStringLiteral("AutoPaint"), QStringLiteral("SpeckSize"),
                                       kDefaultSpeckSize));
  doc_->SetAutoPaintConfidence(settings_->GetInt(QStringLiteral("AutoPaint"),
                                                 QStringLiteral("Confidence"), kDefaultConfidence));
  statusBar()->showMessage(QStringLiteral("Ready"));

  BuildActions();
  BuildMenus();
  BuildToolBars();
  connect(picture_, &PictureView::ZoomChanged, this, [this] {
    UpdateStatus();
    UpdateActions();
  });
  connect(picture_, &PictureView::MouseMoved, this,
          [this](const QPoint& image, Qt::MouseButtons) { ShowPoint(image); });
  connect(colorList_, &CColorView::EditColorRequested, this, [this] { EditColor(); });
  connect(recent_, &RecentFiles::Chosen, this, [this](const QString& path) { OpenFile(path); });
  recovery_ = new RecoveryKeeper(
      kPainterRecoveryProgram, [this] { return PainterRecoverySnapshot(*doc_); }, this);
  watcher_ = new DocumentWatcher(this);
  // The painter's own writes are no other program's change.
  watcher_->KnowOwnWrites([this](const std::string& path) { return doc_->ChangedOnDisk(path); });
  connect(watcher_, &DocumentWatcher::Changed, this, [this](const QStringList& changed) {
    if (watcher_->MayReload(*prompt_, kAppTitle.toStdString(), changed, doc_->heldFiles(),
                            doc_->frameModified()))
      doc_->ReloadFromDisk();
  });
  doc_->SetSavePathPicker(CorePickerOf(this, SystemSavePathPicker()));
  doc_->AddListener(this);
  UpdateActions();
  UpdateStatus();
  resize(1200, 860);
}

CMainFrame::~CMainFrame() {
  // The document writes the frame as it goes; the copy then has nothing left to keep.
  doc_->Close();
  recovery_->Refresh();
  doc_->RemoveListener(this);
  // The views listen to the document: they go before it does.
  delete takeCentralWidget();
}

QAction* CMainFrame::Action(const char* name) const {
  return findChild<QAction*>(QString::fromLatin1(name));
}

QString CMainFrame::pointPaneText() const {
  return pointPane_->text();
}

// The drawing point under the cursor as `quenda paint --fill` takes it: x from the left, y up
// from the bottom row; blank off the picture.
void CMainFrame::ShowPoint(const QPoint& image) {
  const QSize shown = picture_->pictureSize();
  const bool on = !shown.isEmpty() && image.x() >= 0 && image.y() >= 0 &&
                  image.x() < shown.width() && image.y() < shown.height();
  pointPane_->setText(on ? QStringLiteral("%1,%2").arg(image.x()).arg(image.y()) : QString());
}

QString CMainFrame::zoomPaneText() const {
  return zoomPane_->text();
}

QString CMainFrame::paintedPaneText() const {
  return paintedPane_->text();
}

QString CMainFrame::speckPaneText() const {
  return speckPane_->text();
}

void CMainFrame::UpdateActions() {
  const bool open = doc_->sequenceOpen();
  for (QAction* action : actions()) {
    const QString name = action->objectName();
    if (name == "actionOpen" || name == "actionExit") continue;
    action->setEnabled(open);
  }
  Action("actionNextFrame")->setEnabled(doc_->CanGoForward());
  Action("actionLastFrame")->setEnabled(doc_->CanGoForward());
  Action("actionPreviousFrame")->setEnabled(doc_->CanGoBack());
  Action("actionFirstFrame")->setEnabled(doc_->CanGoBack());
  Action("actionAutoPaintPrevious")->setEnabled(doc_->CanGoBack());
  Action("actionUndo")->setEnabled(doc_->CanUndo());
  Action("actionAutoPaintByShapes")
      ->setChecked(doc_->autoPaintOptions().match == AutoPaintMatch::Shapes);
  Action("actionPaintSpecksAfter")->setChecked(doc_->autoPaintOptions().paintSpecks);
  Action("actionZoomIn")->setEnabled(open && picture_->CanZoomIn());
  Action("actionZoomOut")->setEnabled(open && picture_->CanZoomOut());
  for (QAction* action : tools_->actions()) {
    action->setChecked(open && action->data().toInt() == int(doc_->tool()));
  }
  for (QAction* action : modes_->actions()) {
    const ViewMode mode = ViewMode(action->data().toInt());
    action->setEnabled(doc_->IsViewModeEnabled(mode));
    action->setChecked(open && mode == doc_->viewMode());
  }
  for (QAction* action : sizes_->actions()) {
    action->setChecked(open && action->data().toInt() == doc_->brushSize());
  }
}

void CMainFrame::UpdateStatus() {
  zoomPane_->setText(Q(ZoomStatusText(picture_->zoomPercent())));
  UpdateTitle();
  if (auto text = doc_->PaintedStateText()) paintedPane_->setText(QString::fromStdString(*text));
  if (auto text = doc_->SpeckStateText()) speckPane_->setText(QString::fromStdString(*text));
}

void CMainFrame::OnUpdate(const PainterUpdate& update) {
  if (update.hint == PainterHint::ShowRegion) return;
  // A change of frame, or a frame written: the copy follows what is now unsaved.
  if (update.hint == PainterHint::FrameChanged || update.hint == PainterHint::FrameSaved ||
      update.hint == PainterHint::SequenceOpened)
    recovery_->Refresh();
  // Another frame's files, or the painter's own writes: what is held is watched as it is now.
  if (update.hint == PainterHint::FrameChanged || update.hint == PainterHint::FrameSaved ||
      update.hint == PainterHint::SequenceOpened || update.hint == PainterHint::ColorsChanged)
    watcher_->WatchOnly(doc_->heldFiles());
  UpdateActions();
  UpdateStatus();
}

// Every frame is saved as it is left, so the file name is the only mark the title needs: the
// current drawing's.
void CMainFrame::UpdateTitle() {
  if (!doc_->sequenceOpen()) {
    setWindowTitle(kAppTitle);
    return;
  }
  setWindowTitle(DocumentTitle(QString::fromStdString(doc_->CurrentDrawingPath()),
                               doc_->frameModified(), kAppTitle));
}

void CMainFrame::NoteRecentFile() {
  const QString path = QString::fromStdString(doc_->recentFilePath());
  switch (doc_->recentFileNote()) {
    case RecentFileNote::Add:
      recent_->Add(path);
      break;
    case RecentFileNote::Drop:
      recent_->Remove(path);
      break;
    case RecentFileNote::None:
      break;
  }
}

void CMainFrame::OpenSequence() {
  doc_->OpenSequence();
  NoteRecentFile();
}

bool CMainFrame::OpenFile(const QString& path, SequenceStart start) {
  const bool opened = doc_->OpenSequenceFile(path.toStdString(), start);
  NoteRecentFile();
  return opened;
}

void CMainFrame::AutoPaintAnyFrame() {
  std::optional<int> source;
  const auto named = [&](std::string_view text) {
    source = doc_->AutoPaintSource(text);
    return source.has_value();
  };
  if (AskAutoPaintFrame(this, named) && source) doc_->AutoPaint(*source);
}

void CMainFrame::AutoPaintRange() {
  AutoPaintRangeDialog dialog(*prompt_, doc_->autoPaintOptions(), this);
  if (dialog.exec() != QDialog::Accepted) return;
  const AutoPaintRangeFields fields = dialog.fields();
  // The confidence asked for stays the one of every later auto paint, here and next time.
  if (fields.confidence != doc_->autoPaintOptions().confidence) {
    doc_->SetAutoPaintConfidence(fields.confidence);
    settings_->SetInt(QStringLiteral("AutoPaint"), QStringLiteral("Confidence"), fields.confidence);
    if (Status saved = settings_->Save(); !saved)
      prompt_->Message(saved.message(), MessageIcon::Warning);
  }
  ProgressWindow window(Q(kAutoPaintProgressTitle), this);
  window.stopButton()->setText(QStringLiteral("Stop"));
  // The range moves through frames and redraws the views, so it stays on this thread.
  window.RunJobHere([&](Progress& progress, Prompt&) { doc_->AutoPaintRange(fields, progress); },
                    *prompt_);
}

void CMainFrame::AskSpeckSize() {
  bool ok = false;
  const int size = QInputDialog::getInt(this, Q(kSpeckSizeTitle), Q(kSpeckSizePrompt),
                                        doc_->speckSize(), 1, 100000, 1, &ok);
  if (!ok) return;
  doc_->SetSpeckSize(size);
  settings_->SetInt(QStringLiteral("AutoPaint"), QStringLiteral("SpeckSize"), size);
  if (Status saved = settings_->Save(); !saved)
    prompt_->Message(saved.message(), MessageIcon::Warning);
}

void CMainFrame::AddColor() {
  ColorInformationDialog dialog(*doc_, "New", QColor(128, 128, 128), false, this);
  if (dialog.exec() != QDialog::Accepted) return;
  const QColor colour = dialog.colour();
  doc_->AddColor(dialog.name().toStdString(), colour.red(), colour.green(), colour.blue());
}

void CMainFrame::EditColor() {
  if (!doc_->sequenceOpen()) return;
  const ColorEntry& entry = doc_->colors().entries[std::size_t(doc_->currentColor())];
  ColorInformationDialog dialog(*doc_, QString::fromStdString(entry.name),
                                QColor(entry.red, entry.green, entry.blue),
                                doc_->currentColor() == kTransparentColor, this);
  if (dialog.exec() != QDialog::Accepted) return;
  const QColor colour = dialog.colour();
  doc_->EditColor(dialog.name().toStdString(), colour.red(), colour.green(), colour.blue());
}

void CMainFrame::EditLineAndUnfilled() {
  LineAndUnfilledDialog dialog(doc_->colors(), this);
  if (dialog.exec() != QDialog::Accepted) return;
  doc_->EditLineAndUnfilledColors(dialog.line(), dialog.unfilled());
}

void CMainFrame::closeEvent(QCloseEvent* event) {
  // Staying on a frame whose paint could not be saved keeps the window open, and its
  // recovery copy with it.
  const bool closed = doc_->Close();
  recovery_->Refresh();  // gone once the frame is written; kept when its files could not be
  if (closed)
    event->accept();
  else
    event->ignore();
}

}  // namespace quenda
