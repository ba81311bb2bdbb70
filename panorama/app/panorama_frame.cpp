#include "panorama/app/panorama_frame.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QStatusBar>

#include "panorama/app/panorama_dialogs.h"
#include "panorama/app/panorama_view.h"
#include "ui/qt_prompt.h"
#include "ui/recent_files.h"
#include "ui/settings.h"

namespace quenda {
namespace {

QString Q(std::string_view text) {
  return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

constexpr std::string_view kAppTitle = "Quenda Background Maker";

// Whole-mask operations report in the status bar, which is repainted at once: they run on
// this thread and the event loop does not turn until they end.
class StatusBarProgress final : public Progress {
 public:
  explicit StatusBarProgress(QStatusBar* bar) : bar_(bar) {}
  void SetStage(std::string_view text) override {
    bar_->showMessage(Q(text));
    bar_->repaint();
  }
  void SetPercent(int) override {}
  bool StopRequested() override { return false; }

 private:
  QStatusBar* bar_;
};

class WaitCursor {
 public:
  WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
  ~WaitCursor() { QApplication::restoreOverrideCursor(); }
  WaitCursor(const WaitCursor&) = delete;
  WaitCursor& operator=(const WaitCursor&) = delete;
};

}  // namespace

CPanoramaFrame::CPanoramaFrame(Prompt* prompt, Settings* settings)
    : ownPrompt_(prompt == nullptr ? std::make_unique<QtPrompt>(this) : nullptr),
      prompt_(prompt == nullptr ? ownPrompt_.get() : prompt),
      ownSettings_(settings == nullptr ? std::make_unique<Settings>(QStringLiteral("panorama"))
                                       : nullptr),
      settings_(settings == nullptr ? ownSettings_.get() : settings),
      doc_(std::make_unique<CPanoramaDoc>(*prompt_)) {
  doc_->SetViewSettings(ReadViewSettings(*settings_));
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
  connect(view_, &PictureView::ZoomChanged, this, [this] {
    UpdateStatus();
    UpdateActions();
  });
  connect(recent_, &RecentFiles::Chosen, this, [this](const QString& path) {
    if (SaveModified()) OpenFile(path);
  });
  doc_->AddListener(this);
  UpdateActions();
  UpdateStatus();
  UpdateTitle();
  resize(1000, 760);
}

CPanoramaFrame::~CPanoramaFrame() {
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

void CPanoramaFrame::UpdateTitle() {
  const QString name = path_.isEmpty() ? QStringLiteral("Untitled") : QFileInfo(path_).fileName();
  setWindowTitle(name + (doc_->modified() ? QStringLiteral("*") : QString()) +
                 QStringLiteral(" - ") + Q(kAppTitle));
}

void CPanoramaFrame::UpdateStatus() {
  if (!doc_->hasBackground()) {
    for (QLabel* pane : panes_) pane->clear();
    return;
  }
  panes_[0]->setText(QStringLiteral("zoom: %1%").arg(view_->zoomPercent()));
  panes_[1]->setText(QStringLiteral("XRes: %1").arg(doc_->width()));
  panes_[2]->setText(QStringLiteral("YRes: %1").arg(doc_->height()));
}

bool CPanoramaFrame::SaveModified() {
  if (!doc_->hasBackground() || !doc_->modified()) return true;
  const QString name = path_.isEmpty() ? QStringLiteral("Untitled") : QFileInfo(path_).fileName();
  // Cancel, or closing the box, keeps the background open as it is.
  const std::optional<int> answer = prompt_->AskChoice({std::string(kAppTitle),
                                                        "Save changes to " + name.toStdString() +
                                                            "?",
                                                        {},
                                                        {"Yes", "No", "Cancel"}});
  if (answer == 0) return Save();
  return answer == 1;
}

void CPanoramaFrame::Open() {
  if (!SaveModified()) return;
  QFileDialog dialog(this, QStringLiteral("Select A 24 bit or 32 bit uncompressed Targa Background"),
                     QString(), QStringLiteral("Uncompressed Targa Images (*.tga)"));
  dialog.setFileMode(QFileDialog::ExistingFile);
  if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty())
    OpenFile(dialog.selectedFiles().first());
}

bool CPanoramaFrame::OpenFile(const QString& path) {
  const QString absolute = QFileInfo(path).absoluteFilePath();
  if (Status opened = doc_->Open(absolute.toStdString()); !opened) {
    prompt_->Message(opened.message(), MessageIcon::Error);
    recent_->Remove(absolute);
    path_.clear();
    UpdateTitle();
    return false;
  }
  path_ = absolute;
  recent_->Add(absolute);
  UpdateTitle();
  return true;
}

bool CPanoramaFrame::SaveFile(const QString& path) {
  if (Status saved = doc_->Save(path.toStdString()); !saved) {
    prompt_->Message(saved.message(), MessageIcon::Error);
    return false;
  }
  path_ = QFileInfo(path).absoluteFilePath();
  recent_->Add(path_);
  UpdateTitle();
  return true;
}

bool CPanoramaFrame::Save() {
  return path_.isEmpty() ? SaveAs() : SaveFile(path_);
}

bool CPanoramaFrame::SaveAs() {
  const std::optional<QString> path =
      pickSavePath_(this, {QStringLiteral("Save As"),
                           QStringLiteral("(24/32bit uncompressed) Targa Files (*.tga)"),
                           QStringLiteral("tga"),
                           path_.isEmpty() ? QStringLiteral("background.tga") : path_});
  return path && SaveFile(*path);
}

void CPanoramaFrame::Revert() {
  if (path_.isEmpty()) return;
  if (!prompt_->AskYesNo("Are you sure you want to revert to last saved?")) return;
  OpenFile(path_);
}

void CPanoramaFrame::ViewSettings() {
  ViewSettingsDialog dialog(ToDialogValues(doc_->viewSettings()), this);
  if (dialog.exec() != QDialog::Accepted) return;
  const PanoramaViewSettings chosen = FromDialogValues(dialog.values());
  doc_->SetViewSettings(chosen);
  WriteViewSettings(*settings_, chosen);
  if (Status saved = settings_->Save(); !saved)
    prompt_->Message(saved.message(), MessageIcon::Error);
}

void CPanoramaFrame::WholeMask(void (CPanoramaDoc::*operation)(Progress&)) {
  WaitCursor wait;
  StatusBarProgress progress(statusBar());
  (doc_.get()->*operation)(progress);
}

void CPanoramaFrame::closeEvent(QCloseEvent* event) {
  if (SaveModified())
    event->accept();
  else
    event->ignore();
}

}  // namespace quenda
