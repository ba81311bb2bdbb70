#include "analyzer/app/analyzer_frame.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QMenuBar>
#include <QMessageBox>
#include <QScreen>
#include <memory>

#include "analyzer/app/analyzer_view.h"
#include "analyzer/app/sequence_dialogs.h"
#include "analyzer/app/sequence_paint_menus.h"
#include "analyzer/core/analyzer_recovery.h"
#include "common/path.h"
#include "twain/sane_device.h"
#include "ui/document_watcher.h"
#include "ui/progress_window.h"
#include "ui/qt_prompt.h"
#include "ui/recovery_keeper.h"
#include "ui/scan_settings_dialog.h"
#include "ui/settings.h"

namespace quenda {
namespace {

QString Q(std::string_view text) {
  return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

const QString kLinesSection = QStringLiteral("Lines");
const QString kCloseGapsKey = QStringLiteral("CloseGaps");
constexpr std::string_view kWatchCaption = "Quenda Analyzer";

}  // namespace

CAnalyzerFrame::CAnalyzerFrame(Prompt* prompt, SavePathPicker pickSavePath,
                               twain::ScanDeviceManager* devices, Settings* settings)
    : ownPrompt_(prompt == nullptr ? std::make_unique<QtPrompt>(this) : nullptr),
      prompt_(prompt == nullptr ? ownPrompt_.get() : prompt),
      ownSettings_(settings == nullptr ? std::make_unique<Settings>(QStringLiteral("analyzer"))
                                       : nullptr),
      settings_(settings == nullptr ? ownSettings_.get() : settings),
      pickSavePath_(pickSavePath ? std::move(pickSavePath) : SystemSavePathPicker()),
      doc_(std::make_unique<CAnalyzerDoc>(*prompt_)),
      ownDevices_(devices == nullptr ? std::make_unique<twain::SaneDeviceManager>() : nullptr),
      devices_(devices == nullptr ? ownDevices_.get() : devices) {
  doc_->SetCloseGaps(settings_->GetInt(kLinesSection, kCloseGapsKey, 0));
  setWindowTitle(Q(doc_->title()));
  view_ = new CAnalyzerView(*doc_);
  setCentralWidget(view_);
  BuildMenus();
  connect(view_, &PictureView::ZoomChanged, this, [this] { UpdateActions(); });
  recovery_ = new RecoveryKeeper(
      kAnalyzerRecoveryProgram, [this] { return AnalyzerRecoverySnapshot(*doc_); }, this);
  watcher_ = new DocumentWatcher(this);
  // The document's own writes are no other program's change.
  watcher_->KnowOwnWrites([this](const std::string& path) { return doc_->ChangedOnDisk(path); });
  connect(watcher_, &DocumentWatcher::Changed, this, [this](const QStringList& changed) {
    if (watcher_->MayReload(*prompt_, std::string(kWatchCaption), changed, doc_->heldFiles(),
                            doc_->modified()))
      doc_->ReloadFromDisk();
  });
  doc_->SetSavePathPicker(CorePickerOf(this, pickSavePath_));
  doc_->AddListener(this);
  UpdateActions();
  // Half the screen, as the window first opens; main() shows it maximised.
  if (const QScreen* screen = QGuiApplication::primaryScreen()) resize(screen->availableSize() / 2);
}

CAnalyzerFrame::~CAnalyzerFrame() {
  // The source is closed before the scanners go.
  delete scanList_.data();
  if (scanMode_) scanMode_->Leave();
  delete settingsDialog_.data();
  delete colorDialog_.data();
  delete toolsWindow_.data();
  delete findChild<SequencePaintMenus*>();  // it listens to the document
  doc_->RemoveListener(this);
  // The view listens to the document: it goes first.
  delete takeCentralWidget();
}

QAction* CAnalyzerFrame::Action(const char* name) const {
  return findChild<QAction*>(QString::fromLatin1(name));
}

void CAnalyzerFrame::BuildMenus() {
  auto add = [this](QMenu* menu, const char* name, const QString& text, auto slot) {
    auto* action = new QAction(text, this);
    action->setObjectName(QString::fromLatin1(name));
    connect(action, &QAction::triggered, this, slot);
    menu->addAction(action);
    return action;
  };
  QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
  add(file, "actionLoadImage", QStringLiteral("&Load Image"), [this] {
    (void)doc_->LoadImage(DirectoryOf(doc_->drawingPath()));
  })->setShortcut(QKeySequence::Open);
  add(file, "actionImageInfo", QStringLiteral("Image In&fo"), [this] {
    doc_->ShowImageInfo();
  })->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_I));
  file->addSeparator();
  add(file, "actionExit", QStringLiteral("E&xit"), [this] {
    if (doc_->ConfirmExit()) close();
  })->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));

  QMenu* edit = menuBar()->addMenu(QStringLiteral("&Edit"));
  add(edit, "actionUndo", QStringLiteral("&Undo"), [this] {
    (void)doc_->UndoPaint();
  })->setShortcut(QKeySequence::Undo);

  QMenu* view = menuBar()->addMenu(QStringLiteral("&View"));
  QAction* in = add(view, "actionZoomIn", QStringLiteral("Zoom &In"), [this] { view_->ZoomIn(); });
  in->setShortcuts({QKeySequence(Qt::Key_Plus), QKeySequence(Qt::KeypadModifier | Qt::Key_Plus),
                    QKeySequence(Qt::CTRL | Qt::Key_Plus), QKeySequence(Qt::CTRL | Qt::Key_Equal)});
  QAction* out =
      add(view, "actionZoomOut", QStringLiteral("Zoom &Out"), [this] { view_->ZoomOut(); });
  out->setShortcuts({QKeySequence(Qt::Key_Minus), QKeySequence(Qt::KeypadModifier | Qt::Key_Minus),
                     QKeySequence(Qt::CTRL | Qt::Key_Minus)});

  QMenu* regions = menuBar()->addMenu(QStringLiteral("&Regions"));
  add(regions, "actionLineSettings", QStringLiteral("Line Generation &Settings..."),
      [this] { OpenLineSettings(); });
  add(regions, "actionMarkRegions", QStringLiteral("&Mark Regions"), [this] {
    MarkRegions();
  })->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_M));
  add(regions, "actionSaveRegions", QStringLiteral("&Save Regions..."), [this] {
    SaveRegions();
  })->setShortcut(QKeySequence::Save);
  add(regions, "actionLoadRegions", QStringLiteral("&Load Regions..."), [this] {
    (void)doc_->LoadRegions(DirectoryOf(doc_->drawingPath()));
  })->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_R));
  regions->addSeparator();
  add(regions, "actionBatchProcess", QStringLiteral("&Batch Process..."), [this] {
    BatchProcess();
  })->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_B));

  QMenu* paint = menuBar()->addMenu(QStringLiteral("&Paint"));
  add(paint, "actionColorSet", QStringLiteral("&Color Set..."), [this] { OpenColorSet(); });
  paint->addSeparator();
  add(paint, "actionPaint", QStringLiteral("&Paint Single Frame"),
      [this] { (void)doc_->EnterPaint(); });
  add(paint, "actionExitPaint", QStringLiteral("E&xit Paint"), [this] { doc_->ExitPaint(); });
  add(paint, "actionSaveComposite", QStringLiteral("Save C&omposite..."), [this] {
    SaveComposite();
  })->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S));
  QMenu* brush = paint->addMenu(QStringLiteral("&Brush"));
  brush->setObjectName(QStringLiteral("menuBrush"));
  for (int size = kMinBrushSize; size <= kMaxBrushSize; ++size) {
    const QByteArray name = "actionSize" + QByteArray::number(size);
    add(brush, name.constData(), QStringLiteral("Size &%1").arg(size), [this, size] {
      doc_->SetBrushSize(size);
    })->setShortcut(QKeySequence(Qt::CTRL | Qt::Key(Qt::Key_0 + size)));
  }
  add(brush, "actionSetBrushSize", QStringLiteral("&Set Brush Size"), [this] {
    EntryDialog dialog(
        "Brush Size?", [this](std::string_view text) { return doc_->BrushSizeEntry(text); }, this);
    dialog.exec();
  });
  paint->addSeparator();
  new SequencePaintMenus(*this, *doc_, *prompt_, paint);

  QMenu* scan = menuBar()->addMenu(QStringLiteral("&Scan"));
  add(scan, "actionScanSequence", QStringLiteral("Scan Se&quence"), [this] {
    ScanSequence();
  })->setStatusTip(QStringLiteral("Scans drawings into a sequence"));

  QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));
  add(help, "actionAbout", QStringLiteral("&About"), [this] { About(); });
}

void CAnalyzerFrame::UpdateActions() {
  // While the settings are tuned only the view and the dialog itself work on the drawing.
  // While painting, the regions being painted stay as they are.
  const bool free = !doc_->lineSettingsOpen();
  const bool painting = doc_->painting();
  for (const char* name : {"actionLoadImage", "actionLineSettings", "actionMarkRegions",
                           "actionLoadRegions", "actionBatchProcess", "actionPaint"})
    Action(name)->setEnabled(free && !painting && !scanMode_);
  Action("actionScanSequence")->setEnabled(free && !painting);
  Action("actionSaveRegions")->setEnabled(free);
  Action("actionExitPaint")->setEnabled(painting);
  Action("actionUndo")->setEnabled(doc_->CanUndoPaint());
  for (int size = kMinBrushSize; size <= kMaxBrushSize; ++size)
    Action(("actionSize" + std::to_string(size)).c_str())->setEnabled(painting);
  Action("actionSetBrushSize")->setEnabled(painting);
  Action("actionZoomIn")->setEnabled(view_->hasPicture() && view_->CanZoomIn());
  Action("actionZoomOut")->setEnabled(view_->hasPicture() && view_->CanZoomOut());
}

void CAnalyzerFrame::OnUpdate(const AnalyzerUpdate& update) {
  if (update.hint == AnalyzerHint::TitleChanged) setWindowTitle(Q(doc_->title()));
  if (update.hint == AnalyzerHint::StateChanged || update.hint == AnalyzerHint::PictureChanged) {
    UpdateActions();
    ShowPaintTools();
    // Another frame in hand, or one written: the copy follows what is now unsaved.
    if (update.hint == AnalyzerHint::PictureChanged) recovery_->Refresh();
  }
  WatchHeldFiles();
  if (update.hint == AnalyzerHint::StateChanged && !doc_->lineSettingsOpen()) KeepCloseGaps();
}

void CAnalyzerFrame::KeepCloseGaps() {
  const int value = doc_->closeGaps();
  if (settings_->GetInt(kLinesSection, kCloseGapsKey, 0) == value) return;
  settings_->SetInt(kLinesSection, kCloseGapsKey, value);
  if (Status saved = settings_->Save(); !saved) prompt_->Message(saved.message());
}

void CAnalyzerFrame::WatchHeldFiles() {
  std::vector<std::string> held = doc_->heldFiles();
  if (held == watched_) return;
  watcher_->WatchOnly(held);
  watched_ = std::move(held);
}

void CAnalyzerFrame::closeEvent(QCloseEvent* event) {
  // Sequence paint has ended by now (SequencePaintMenus), its frame written: a clean exit
  // leaves no copy.
  recovery_->Remove();
  QMainWindow::closeEvent(event);
}

bool CAnalyzerFrame::OpenFile(const QString& path) {
  return doc_->LoadImageFile(path.toStdString()).ok();
}

void CAnalyzerFrame::OpenLineSettings() {
  if (!doc_->OpenLineSettings()) return;
  if (settingsDialog_ == nullptr)
    settingsDialog_ = new LineSettingsDialog(*doc_, *prompt_, pickSavePath_, this);
  settingsDialog_->Reset();
  settingsDialog_->show();
  // Beside the picture rather than over the rectangle in its middle.
  settingsDialog_->move(geometry().topRight() - QPoint(settingsDialog_->width() + 20, -60));
  settingsDialog_->raise();
}

void CAnalyzerFrame::MarkRegions() {
  QApplication::setOverrideCursor(Qt::WaitCursor);
  NullProgress passes;
  (void)doc_->MarkRegions(passes);
  QApplication::restoreOverrideCursor();
}

void CAnalyzerFrame::SaveRegions() {
  if (!doc_->regionsMarked()) {
    (void)doc_->SaveRegions({});  // says what is missing
    return;
  }
  auto path = pickSavePath_(this, {Q(kSaveRegionsTitle), Q(kRegionFilter), QStringLiteral("rgn")});
  if (path) (void)doc_->SaveRegions(path->toStdString());
}

void CAnalyzerFrame::SaveComposite() {
  if (!doc_->CheckComposite()) return;
  auto path =
      pickSavePath_(this, {Q(kSaveColorModelTitle), Q(kCompositeFilter), QStringLiteral("tga")});
  if (!path) return;
  // On this thread: a failed write is told through the document's own prompt.
  ProgressWindow window(Q(kSaveColorModelTitle), this, ProgressWindow::StopButton::Hidden);
  window.RunJobHere(
      [&](Progress& stages, Prompt&) { (void)doc_->SaveComposite(path->toStdString(), stages); },
      *prompt_);
}

void CAnalyzerFrame::BatchProcess() {
  if (!doc_->ConfirmLoseDrawing()) return;
  BatchProcessDialog dialog(*doc_, *prompt_, this);
  if (dialog.exec() != QDialog::Accepted) return;
  const DrawingSequence sequence = *dialog.choice().sequence;
  const UncheckedPaint unchecked = doc_->AskAboutUncheckedPaint(sequence);
  doc_->BeginBatch();
  QApplication::setOverrideCursor(Qt::WaitCursor);
  BatchObserver observer;
  // The run is on a worker thread: what it shows reaches the window through its event queue.
  observer.frameStarted = [this](int, const std::string& scanPath) {
    const QString title = Q(ProcessingFrameTitle(scanPath));
    QMetaObject::invokeMethod(
        this, [this, title] { setWindowTitle(title); }, Qt::QueuedConnection);
  };
  observer.drawingLoaded = [this](const WorkingImage& image) {
    // Its grey picture alone is copied, here on the worker (a whole page at 600 dpi takes long
    // enough to stall the window); the view composes from it only what is in sight.
    auto shown = std::make_shared<WorkingImage>();
    shown->regions.width = image.width();
    shown->regions.height = image.height();
    shown->grey = image.grey;
    QMetaObject::invokeMethod(
        this, [this, shown] { view_->ShowBatchDrawing(std::move(*shown)); }, Qt::QueuedConnection);
  };
  ProgressWindow window(QStringLiteral("Quenda: Batch Process"), this);
  const BatchResult result = window.Run(
      [&](Progress& progress, Prompt& asker) {
        return doc_->RunBatch(sequence, asker, progress, observer, unchecked);
      },
      *prompt_);
  QApplication::restoreOverrideCursor();
  doc_->EndBatch();
  // Paint that moved with the new regions is told, as the command line tells it per frame.
  if (const std::string changes = PaintChangesSummary(result); !changes.empty())
    prompt_->Message(changes);
}

void CAnalyzerFrame::OpenColorSet() {
  if (colorDialog_ == nullptr) colorDialog_ = new ColorSetDialog(*doc_, pickSavePath_, this);
  colorDialog_->show();
  colorDialog_->raise();
}

void CAnalyzerFrame::ShowPaintTools() {
  if (!doc_->painting()) {
    if (toolsWindow_ != nullptr) toolsWindow_->hide();
    return;
  }
  if (toolsWindow_ == nullptr) {
    toolsWindow_ = new PaintToolsWindow(*doc_, this);
    // At the window's right edge, clear of the middle of the picture.
    toolsWindow_->adjustSize();
    toolsWindow_->move(geometry().topRight() - QPoint(toolsWindow_->width() + 20, -60));
  }
  if (!toolsWindow_->isVisible()) toolsWindow_->show();
}

void CAnalyzerFrame::ScanSequence() {
  if (scanMode_) {
    ExitScan();
    return;
  }
  if (!doc_->ConfirmLoseDrawing()) return;
  ScanSelectionDialog selection(*prompt_, this);
  if (selection.exec() != QDialog::Accepted) return;
  // Before the scanner has kept any: grey drawings at a resolution enough for their lines.
  const twain::ScanSettings fallback{150, std::nullopt, twain::PixelType::Gray};
  const auto scan = AskScanSettings(*prompt_, *settings_, fallback, this);
  if (!scan) return;
  doc_->DropDrawing();
  ScannedFrames frames(*prompt_, selection.directory(), selection.name());
  auto mode = std::make_unique<twain::AnalyzerScanMode>(*devices_, *prompt_);
  if (!mode->Enter(selection.directory(), selection.name(), selection.pegPosition(), *scan,
                   frames.NextNumber()))
    return;
  scanMode_ = std::move(mode);
  QAction* action = Action("actionScanSequence");
  action->setText(QStringLiteral("E&xit Scan"));
  action->setStatusTip(QStringLiteral("Exits from the scanning mode"));
  scanList_ = new ScannedImageList(*scanMode_, std::move(frames), *prompt_, this);
  // The list tells last thing in its slots; it goes at the next pass of the event loop.
  connect(scanList_, &ScannedImageList::Ended, this, &CAnalyzerFrame::ExitScan);
  scanList_->move(geometry().topRight() - QPoint(scanList_->sizeHint().width() + 20, -60));
  scanList_->show();
  UpdateActions();
}

void CAnalyzerFrame::ExitScan() {
  if (!scanMode_) return;
  if (scanList_ != nullptr) scanList_->deleteLater();
  scanList_ = nullptr;
  if (scanMode_->active()) scanMode_->Leave();
  scanMode_.reset();
  QAction* action = Action("actionScanSequence");
  action->setText(QStringLiteral("Scan Se&quence"));
  action->setStatusTip(QStringLiteral("Scans drawings into a sequence"));
  UpdateActions();
}

void CAnalyzerFrame::About() {
  QMessageBox::about(this, QStringLiteral("Quenda"),
                     QStringLiteral("Quenda Analyzer\nTurns pencil drawings into clean lines and "
                                    "numbered regions for painting."));
}

}  // namespace quenda
