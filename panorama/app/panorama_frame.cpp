#include "panorama/app/panorama_frame.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QStatusBar>
#include <functional>

#include "common/path.h"
#include "panorama/app/panorama_dialogs.h"
#include "panorama/app/panorama_profile.h"
#include "panorama/app/panorama_view.h"
#include "panorama/core/background_recovery.h"
#include "twain/sane_device.h"
#include "ui/document_title.h"
#include "ui/document_watcher.h"
#include "ui/progress_window.h"
#include "ui/qt_prompt.h"
#include "ui/recent_files.h"
#include "ui/recovery_keeper.h"
#include "ui/scan_settings_dialog.h"
#include "ui/settings.h"

namespace quenda {
namespace {

QString Q(std::string_view text) {
  return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

// A part of the document template: 0 the program's name, 3 the file type's filter.
QString TemplatePart(int part) {
  std::string_view rest = kPanoramaDocumentTemplate;
  for (; part > 0; --part) rest.remove_prefix(std::min(rest.size(), rest.find('\n') + 1));
  return Q(rest.substr(0, rest.find('\n')));
}

QString AppTitle() {
  return TemplatePart(0);
}

class WaitCursor {
 public:
  WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
  ~WaitCursor() { QApplication::restoreOverrideCursor(); }
  WaitCursor(const WaitCursor&) = delete;
  WaitCursor& operator=(const WaitCursor&) = delete;
};

}  // namespace

CPanoramaFrame::CPanoramaFrame(Prompt* prompt, Settings* settings,
                               twain::ScanDeviceManager* devices)
    : ownPrompt_(prompt == nullptr ? std::make_unique<QtPrompt>(this) : nullptr),
      prompt_(prompt == nullptr ? ownPrompt_.get() : prompt),
      ownSettings_(settings == nullptr ? std::make_unique<Settings>(QStringLiteral("panorama"))
                                       : nullptr),
      settings_(settings == nullptr ? ownSettings_.get() : settings),
      doc_(std::make_unique<CPanoramaDoc>(*prompt_)),
      ownDevices_(devices == nullptr ? std::make_unique<twain::SaneDeviceManager>() : nullptr),
      scanner_(std::make_unique<twain::PictureScanSession>(
          devices == nullptr ? *ownDevices_ : *devices, *prompt_)) {
  doc_->SetViewSettings(ReadViewSettings(*settings_));
  // Whole-mask operations run on this thread and the event loop does not turn until they end:
  // the status bar is repainted at each report.
  doc_->SetStatusSink([this](std::string_view text) {
    statusBar()->showMessage(Q(text));
    statusBar()->repaint();
  });
  recent_ = new RecentFiles(*settings_, this);
  view_ = new CPanoramaView(*doc_);
  setCentralWidget(view_);

  const int widths[] = {90, 80, 80};
  for (int i = 0; i < 3; ++i) {
    panes_[i] = new QLabel;
    panes_[i]->setMinimumWidth(widths[i]);
    statusBar()->addPermanentWidget(panes_[i]);
  }
  statusBar()->showMessage(QStringLiteral("Ready"));

  BuildActions();
  BuildMenus();
  BuildToolBars();
  connect(view_, &CPanoramaView::KeyerClicked, this, &CPanoramaFrame::KeyerClicked);
  connect(recent_, &RecentFiles::Chosen, this, [this](const QString& path) {
    if (SaveModified()) OpenFile(path);
  });
  recovery_ = new RecoveryKeeper(
      kPanoramaRecoveryProgram, [this] { return BackgroundRecoverySnapshot(*doc_); }, this);
  watcher_ = new DocumentWatcher(this);
  connect(watcher_, &DocumentWatcher::Changed, this, [this](const QStringList& changed) {
    if (watcher_->MayReload(*prompt_, AppTitle().toStdString(), changed, {doc_->path()},
                            doc_->modified()))
      OpenFile(QString::fromStdString(doc_->path()));
  });
  doc_->AddListener(this);
  UpdateActions();
  UpdateStatus();
  UpdateTitle();
  resize(1000, 760);
}

CPanoramaFrame::~CPanoramaFrame() {
  // The session closes its device before the manager goes.
  scanner_.reset();
  doc_->RemoveListener(this);
  // The view listens to the document: it goes before it does.
  delete takeCentralWidget();
}

QAction* CPanoramaFrame::Action(const char* name) const {
  return findChild<QAction*>(QString::fromLatin1(name));
}

QString CPanoramaFrame::PaneText(int pane) const {
  return panes_[pane]->text();
}

void CPanoramaFrame::OnUpdate(const PanoramaUpdate&) {
  UpdateActions();
  UpdateStatus();
  UpdateTitle();
}

QString CPanoramaFrame::DocumentName() const {
  return doc_->path().empty() ? QStringLiteral("Untitled")
                              : QString::fromStdString(FileNameOf(doc_->path()));
}

void CPanoramaFrame::WatchDocument() {
  watchedPath_ = doc_->path();
  watcher_->WatchOnly({watchedPath_});
}

void CPanoramaFrame::UpdateTitle() {
  // Saved, opened, reverted or closed: nothing unsaved is left to keep.
  if (recovery_ != nullptr && (!doc_->loaded() || !doc_->modified())) recovery_->Remove();
  // Another background (a scan, or none): its file is the one to watch.
  if (watcher_ != nullptr && watchedPath_ != doc_->path()) WatchDocument();
  if (!doc_->loaded()) {
    setWindowTitle(AppTitle());
    return;
  }
  setWindowTitle(DocumentTitle(QString::fromStdString(doc_->path()), doc_->modified(), AppTitle()));
}

void CPanoramaFrame::FitInWindow() {
  const QSize window = view_->fullViewportSize();
  doc_->ZoomToFit(window.width(), window.height());
}

void CPanoramaFrame::UpdateStatus() {
  if (!doc_->loaded()) {
    for (QLabel* pane : panes_) pane->clear();
    return;
  }
  panes_[0]->setText(Q(doc_->ZoomStatusText()));
  panes_[1]->setText(Q(doc_->XResText()));
  panes_[2]->setText(Q(doc_->YResText()));
}

bool CPanoramaFrame::SaveModified() {
  if (!doc_->loaded() || !doc_->modified()) return true;
  // Cancel, or closing the box, keeps the background open as it is.
  const std::optional<int> answer =
      prompt_->AskChoice({AppTitle().toStdString(),
                          "Save changes to " + DocumentName().toStdString() + "?",
                          {},
                          {"Yes", "No", "Cancel"}});
  if (answer == 0) return Save();
  return answer == 1;
}

void CPanoramaFrame::NoteRecentFile(bool opened, const std::string& path) {
  const QString file = QString::fromStdString(path);
  if (opened)
    recent_->Add(file);
  else
    recent_->Remove(file);
}

void CPanoramaFrame::Open() {
  if (!SaveModified()) return;
  // The document asks for the file; a failed read leaves nothing loaded, and the title says so.
  if (doc_->Open()) NoteRecentFile(true, doc_->path());
  UpdateTitle();
}

bool CPanoramaFrame::OpenFile(const QString& path) {
  const std::string absolute = QFileInfo(path).absoluteFilePath().toStdString();
  const bool opened = doc_->OpenFile(absolute);
  NoteRecentFile(opened, absolute);
  if (opened) WatchDocument();
  UpdateTitle();
  return opened;
}

bool CPanoramaFrame::Save() {
  // A background opened from another format is saved as a Targa under a name the user gives.
  if (doc_->path().empty() || !doc_->SavesInPlace()) return SaveAs();
  if (const ChangedFileAnswer answer =
          watcher_->MayOverwrite(*prompt_, AppTitle().toStdString(), {doc_->path()});
      answer != ChangedFileAnswer::Overwrite)
    return answer == ChangedFileAnswer::SaveAs && SaveAs();
  const bool saved = doc_->Save();
  if (saved) WatchDocument();
  UpdateTitle();
  return saved;
}

bool CPanoramaFrame::SaveAs() {
  const std::optional<QString> path =
      pickSavePath_(this, {QStringLiteral("Save As"), TemplatePart(3), QStringLiteral("tga"),
                           QString::fromStdString(doc_->SaveAsName())});
  if (!path) return false;
  const std::string absolute = QFileInfo(*path).absoluteFilePath().toStdString();
  const bool saved = doc_->SaveAs(absolute);
  if (saved) NoteRecentFile(true, absolute);
  if (saved) WatchDocument();
  UpdateTitle();
  return saved;
}

void CPanoramaFrame::Revert() {
  if (doc_->RevertToSaved()) WatchDocument();
  UpdateTitle();
}

void CPanoramaFrame::ViewSettings() {
  ViewSettingsDialog dialog(doc_->viewSettings(), this);
  if (dialog.exec() != QDialog::Accepted) return;
  const PanoramaViewSettings chosen = dialog.values();
  doc_->SetViewSettings(chosen);
  WriteViewSettings(*settings_, chosen);
  if (Status saved = settings_->Save(); !saved)
    prompt_->Message(saved.message(), MessageIcon::Error);
}

void CPanoramaFrame::WholeMask(const std::function<void(CPanoramaDoc&)>& operation) {
  WaitCursor wait;
  operation(*doc_);
}

void CPanoramaFrame::KeyerClicked(const QPoint& pixel) {
  const std::optional<KeyerSettings> start = doc_->KeyerClick(pixel.x(), pixel.y());
  if (!start) return;
  ColorKeyerDialog dialog(*start, this);
  if (dialog.exec() != QDialog::Accepted) return;
  WaitCursor wait;
  doc_->ApplyKeyer(dialog.settings());
}

void CPanoramaFrame::closeEvent(QCloseEvent* event) {
  if (SaveModified()) {
    recovery_->Remove();  // saved, or the changes were not wanted
    event->accept();
  } else {
    event->ignore();
  }
}

}  // namespace quenda

namespace quenda {
namespace {

// Before the scanner has kept any: the whole bed in colour, at a resolution enough for a movie
// frame from a drawn sheet.
const twain::ScanSettings kBackgroundScan{150, std::nullopt, twain::PixelType::Color};

// The session's bitmap as the document takes it over: the same rows, the palette as entries.
ScanBitmap ToScanBitmap(twain::DeviceBitmap bitmap) {
  ScanBitmap converted;
  converted.width = bitmap.width;
  converted.height = bitmap.height;
  converted.bitsPerPixel = bitmap.bitsPerPixel;
  for (const twain::PaletteEntry& entry : bitmap.palette)
    converted.colors.push_back({entry.blue, entry.green, entry.red, 0});
  converted.bits = std::move(bitmap.bits);
  return converted;
}

}  // namespace

void CPanoramaFrame::ScanBackground() {
  if (!SaveModified()) return;
  const auto chosen = AskScanSettings(*prompt_, *settings_, kBackgroundScan, this);
  if (!chosen) return;
  std::optional<twain::DeviceBitmap> scanned;
  ProgressWindow progress(tr("Scanning"), this);
  progress.RunJobHere(
      [&](Progress& stop, Prompt&) {
        stop.SetStage("Scanning background");
        scanner_->SetProgress(&stop);
        scanned = scanner_->ScanPicture(chosen->dpi, chosen->type, twain::FrameToScan(*chosen));
        scanner_->SetProgress(nullptr);
      },
      *prompt_);
  // A failed scan has been reported by the session; a stopped one says nothing.
  if (!scanned) return;
  const ScanBitmap bitmap = ToScanBitmap(std::move(*scanned));
  doc_->TakeOverScan(&bitmap);
}

void CPanoramaFrame::SelectSource() {
  scanner_->SelectSource();
}

}  // namespace quenda
