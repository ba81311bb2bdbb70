#include "scanner/app/scanner_frame.h"

#include <algorithm>

#include <QAction>
#include <QApplication>
#include <QDockWidget>
#include <QInputDialog>
#include <QLabel>
#include <QStatusBar>
#include <QVBoxLayout>

#include "common/path.h"
#include "common/sequence_files.h"
#include "scanner/app/import_dialog.h"
#include "scanner/app/scanner_dialogs.h"
#include "scanner/app/scanner_view.h"
#include "twain/sane_device.h"
#include "ui/document_watcher.h"
#include "ui/peg_buttons.h"
#include "ui/progress_window.h"
#include "ui/qt_prompt.h"
#include "ui/recent_files.h"
#include "ui/save_path_picker.h"
#include "ui/settings.h"

namespace quenda::scanner {
namespace {

QString Q(std::string_view text) {
  return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

const QString kTitle = QStringLiteral("Quenda Scanner");

}  // namespace

CScannerFrame::CScannerFrame(Prompt* prompt, Settings* settings, twain::ScanDeviceManager* devices)
    : ownPrompt_(prompt == nullptr ? std::make_unique<QtPrompt>(this) : nullptr),
      prompt_(prompt == nullptr ? ownPrompt_.get() : prompt),
      ownSettings_(settings == nullptr ? std::make_unique<Settings>(QStringLiteral("scanner"))
                                       : nullptr),
      settings_(settings == nullptr ? ownSettings_.get() : settings),
      profile_(std::make_unique<SettingsProfile>(*settings_)),
      dialogs_(std::make_unique<QtScannerDialogs>(this)),
      ownDevices_(devices == nullptr ? std::make_unique<twain::SaneDeviceManager>() : nullptr),
      doc_(std::make_unique<CScannerDoc>(*prompt_, *dialogs_, *profile_)) {
  session_ = std::make_unique<ScannerSession>(devices == nullptr ? *ownDevices_ : *devices,
                                              *prompt_, *doc_);
  doc_->AttachSession(session_.get());
  progress_ = new ProgressWindow(QStringLiteral("Scanning"), this);
  recent_ = new RecentFiles(*settings_, this);
  view_ = new CScannerView(*doc_);
  setCentralWidget(view_);

  tools_ = new QDockWidget(QStringLiteral("Scan Tools"), this);
  tools_->setObjectName(QStringLiteral("scanTools"));
  auto* panel = new QWidget;
  panel->setMinimumWidth(170);
  auto* column = new QVBoxLayout(panel);
  pegPicture_ = new QLabel;
  facts_ = new QLabel;
  column->addWidget(pegPicture_);
  column->addWidget(facts_);
  column->addStretch();
  tools_->setWidget(panel);
  addDockWidget(Qt::LeftDockWidgetArea, tools_);

  zoom_ = new QLabel;
  statusBar()->addPermanentWidget(zoom_);
  statusBar()->showMessage(QStringLiteral("Ready"));
  connect(view_, &PictureView::ZoomChanged, this,
          [this](int percent) { zoom_->setText(QStringLiteral("zoom: %1%").arg(percent)); });
  zoom_->setText(QStringLiteral("zoom: %1%").arg(view_->zoomPercent()));

  BuildActions();
  BuildMenus();
  connect(recent_, &RecentFiles::Chosen, this, [this](const QString& path) { OpenFile(path); });
  watcher_ = new DocumentWatcher(this);
  // The scanner's own scans are no other program's change.
  watcher_->KnowOwnWrites([this](const std::string& path) { return doc_->ChangedOnDisk(path); });
  connect(watcher_, &DocumentWatcher::Changed, this, [this](const QStringList& changed) {
    // Every scan is written as it arrives: nothing here is lost by reading the frame again.
    if (watcher_->MayReload(*prompt_, "Quenda Scanner", changed, doc_->heldFiles(), false))
      doc_->ReloadFromDisk();
  });
  doc_->SetSavePathPicker(CorePickerOf(this, SystemSavePathPicker()));
  doc_->AddListener(this);
  session_->StartUp();
  UpdateActions();
  UpdateToolPanel();
  UpdateTitle();
  resize(900, 680);
}

CScannerFrame::~CScannerFrame() {
  doc_->RemoveListener(this);
  delete takeCentralWidget();
  // The session closes the device before the manager goes.
  session_.reset();
}

QAction* CScannerFrame::Action(const char* name) const {
  return findChild<QAction*>(QString::fromLatin1(name));
}

QString CScannerFrame::ZoomText() const {
  return zoom_->text();
}

QString CScannerFrame::ToolPanelText() const {
  return facts_->text();
}

void CScannerFrame::UpdateToolPanel() {
  if (!doc_->frameLoaded()) {
    // Before the first frame: what the scans of the sequence will be.
    const bool sequence = !doc_->sequence().name.empty();
    if (sequence)
      pegPicture_->setPixmap(PegPicture(PegButtonOfPosition(doc_->pegPosition())));
    else
      pegPicture_->clear();
    facts_->setText(sequence ? QStringLiteral("No frame yet\nScan DPI: %1").arg(doc_->scanDpi())
                             : QStringLiteral("No sequence"));
    return;
  }
  const DrawingScan& frame = doc_->frame();
  pegPicture_->setPixmap(PegPicture(PegButtonOfPosition(frame.pegPosition)));
  facts_->setText(QStringLiteral("Size X: %1  Y: %2\nPosition X: %3  Y: %4\nDPI: %5")
                      .arg(frame.picture.width())
                      .arg(frame.picture.height())
                      .arg(frame.xPosition)
                      .arg(frame.yPosition)
                      .arg(frame.dpi));
}

void CScannerFrame::UpdateTitle() {
  const DrawingSequence& sequence = doc_->sequence();
  if (sequence.name.empty()) {
    setWindowTitle(kTitle);
    return;
  }
  QString shown = Q(sequence.name);
  if (doc_->frameLoaded() && doc_->currentFrame() >= 0)
    shown += Q(FormatFrameTag(sequence.frames[doc_->currentFrame()]));
  setWindowTitle(shown + QStringLiteral(" - ") + kTitle);
}

void CScannerFrame::OnUpdate(const ScannerUpdate& update) {
  if (update.hint == ScannerHint::Selection) return;
  // Another frame on show, or one scanned: the watch follows it.
  if (std::vector<std::string> held = doc_->heldFiles(); held != watched_) {
    watcher_->WatchOnly(held);
    watched_ = std::move(held);
  }
  UpdateActions();
  UpdateToolPanel();
  UpdateTitle();
}

void CScannerFrame::Scanning(const QString& stage, const std::function<void()>& command) {
  progress_->RunJobHere(
      [&](Progress& progress, Prompt&) {
        progress.SetStage(stage.toStdString());
        doc_->SetProgress(&progress);
        command();
        doc_->SetProgress(nullptr);
      },
      *prompt_);
  UpdateActions();
}

void CScannerFrame::NewSequence() {
  NewSequenceDialog dialog(*prompt_, *profile_, this);
  if (dialog.exec() != QDialog::Accepted) return;
  const NewSequenceForm form = dialog.form();
  Scanning(QStringLiteral("Preview"), [&] {
    doc_->NewSequence(form.directory, form.name, PegPositionOfButton(form.pegButton), form.dpi);
  });
}

bool CScannerFrame::OpenFile(const QString& path) {
  const bool opened = doc_->OpenSequenceAt(path.toStdString());
  if (opened) recent_->Add(path);
  return opened;
}

void CScannerFrame::PreviewDpi() {
  QInputDialog dialog(this);
  dialog.setWindowTitle(QStringLiteral("Dpi for Previews?"));
  dialog.setLabelText(QStringLiteral("Enter Preview Dpi:"));
  dialog.setInputMode(QInputDialog::IntInput);
  dialog.setIntRange(kMinPreviewDpi, kMaxPreviewDpi);
  dialog.setIntValue(doc_->previewDpi());
  if (dialog.exec() == QDialog::Accepted) doc_->SetPreviewDpi(dialog.intValue());
}

void CScannerFrame::Calibrate() {
  CalibrationDialog dialog(
      *doc_,
      [this] {
        Scanning(QStringLiteral("Calibration preview"), [this] { doc_->CalibrationPreview(); });
      },
      this);
  if (dialog.exec() == QDialog::Accepted) doc_->SetCalibration(dialog.calibration());
  doc_->FreeCalibrationImage();
}

void CScannerFrame::ImportSequence() {
  auto picked = prompt_->PickFile(
      "Select the first frame of the input sequence",
      "Windows Bitmap files (.bmp) (*.bmp);;Targa files (.tga) (*.tga);;PNG files (.png) "
      "(*.png);;TIFF files (.tif, .tiff) (*.tif *.tiff);;JPEG files (.jpg, .jpeg) (*.jpg "
      "*.jpeg);;OpenEXR files (.exr) (*.exr);;All supported formats (*.tga *.bmp *.png *.tif "
      "*.tiff *.jpg *.jpeg *.exr *.dpx)",
      {});
  if (!picked) return;
  auto source = FindImportSource(*picked);
  if (!source) {
    prompt_->Message(source.message(), MessageIcon::Information);
    return;
  }
  ImportDialog dialog(*source, *prompt_, this);
  if (dialog.exec() != QDialog::Accepted) return;
  const ImportForm form = dialog.form();
  // Drawings of an earlier import under this name go first, with their region and paint
  // files, or some would be overwritten and the rest join the new sequence.
  const std::vector<std::string> existing = ExistingImportTarget(form.directory, form.name);
  if (!existing.empty()) {
    if (!prompt_->AskYesNo(ReplaceSequenceQuestion(form.name, form.directory, existing))) return;
    if (Status removed = RemoveSequenceFiles(existing); !removed) {
      prompt_->Message(removed.message(), MessageIcon::Error);
      return;
    }
  }
  ProgressWindow window(QStringLiteral("In Progress"), this);
  const ImportOutcome outcome = window.Run(
      [&](Progress& progress, Prompt& asker) {
        return scanner::ImportSequence(*source, form.directory, form.name,
                                       PegPositionOfButton(form.pegButton), std::max(form.dpi, 0),
                                       asker, progress);
      },
      *prompt_);
  if (outcome.finished) prompt_->Message("Finished...", MessageIcon::Information);
}

}  // namespace quenda::scanner
