#include "dopegrid/app/dopegrid_frame.h"

#include <QAction>
#include <QCloseEvent>
#include <QFileInfo>
#include <QLabel>
#include <QSplitter>
#include <QStatusBar>

#include "dopegrid/app/dopegrid_dialogs.h"
#include "dopegrid/app/dopegrid_view.h"
#include "dopegrid/app/exchange_commands.h"
#include "dopegrid/app/print_commands.h"
#include "dopegrid/app/seq_view.h"
#include "dopegrid/app/sound_commands.h"
#include "dopegrid/core/sheet_dialogs.h"
#include "dopegrid/core/sheet_recovery.h"
#include "media/sound_decoder.h"
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

const QString kAppTitle = QStringLiteral("Quenda Dopegrid");
const QString kOpenFilter = QStringLiteral("Quenda Dopegrid Files (*.dgr)");
const QString kSaveFilter = QStringLiteral("Dopegrid Files (*.dgr)");

}  // namespace

CDopegridFrame::CDopegridFrame(Prompt* prompt, Settings* settings, SavePathPicker pickSavePath)
    : ownPrompt_(prompt == nullptr ? std::make_unique<QtPrompt>(this) : nullptr),
      prompt_(prompt == nullptr ? ownPrompt_.get() : prompt),
      ownSettings_(settings == nullptr ? std::make_unique<Settings>(QStringLiteral("dopegrid"))
                                       : nullptr),
      settings_(settings == nullptr ? ownSettings_.get() : settings),
      pickSavePath_(pickSavePath ? std::move(pickSavePath) : SystemSavePathPicker()),
      doc_(std::make_unique<CDopegridDoc>(*prompt_)) {
  static const FfmpegSoundDecoder kSoundDecoder;  // any sound FFmpeg reads, not WAV alone
  doc_->SetSoundDecoder(&kSoundDecoder);
  recent_ = new RecentFiles(*settings_, this);

  sequences_ = new CSeqView(*doc_);
  pictures_ = new CSeqContentView(*doc_);
  sheet_ = new CDopegridView(*doc_);
  auto* holder = new QSplitter(Qt::Vertical);
  holder->addWidget(sequences_);
  holder->addWidget(pictures_);
  holder->setSizes({160, 440});
  auto* whole = new QSplitter(Qt::Horizontal);
  whole->addWidget(holder);
  whole->addWidget(sheet_);
  whole->setStretchFactor(0, 0);
  whole->setStretchFactor(1, 1);
  whole->setSizes({230, 700});
  setCentralWidget(whole);

  rateLabel_ = new QLabel;
  totalLabel_ = new QLabel;
  currentLabel_ = new QLabel;
  for (QLabel* pane : {rateLabel_, totalLabel_, currentLabel_}) {
    pane->setMinimumWidth(130);
    statusBar()->addPermanentWidget(pane);
  }
  statusBar()->showMessage(QStringLiteral("Ready"));

  sound_ = std::make_unique<SoundCommands>(*doc_, *prompt_, *this);
  print_ = std::make_unique<PrintCommands>(*doc_, *prompt_, *this, [this] {
    return path_.isEmpty() ? QStringLiteral("Untitled") : QFileInfo(path_).fileName();
  });
  exchange_ = std::make_unique<ExchangeCommands>(
      *doc_, *prompt_, *settings_, *this, pickSavePath_,
      ExchangeCommands::Hooks{[this] { return SaveModified(); },
                              [this] {
                                path_.clear();
                                UpdateTitle();
                              },
                              [this] {
                                return path_.isEmpty() ? QStringLiteral("Untitled")
                                                       : QFileInfo(path_).completeBaseName();
                              }});
  BuildActions();
  BuildMenus();
  // Choosing pictures is no change to the sheet, but it enables the Transfer commands.
  connect(pictures_, &QListWidget::itemSelectionChanged, this, [this] { UpdateActions(); });
  connect(sheet_, &CDopegridView::CelSourceRequested, this, [this] { ShowCelSource(); });
  connect(recent_, &RecentFiles::Chosen, this, [this](const QString& path) {
    if (SaveModified()) OpenFile(path);
  });
  recovery_ = new RecoveryKeeper(
      kDopegridRecoveryProgram,
      [this] { return SheetRecoverySnapshot(*doc_, path_.toStdString()); }, this);
  watcher_ = new DocumentWatcher(this);
  connect(watcher_, &DocumentWatcher::Changed, this, [this](const QStringList& changed) {
    if (watcher_->MayReload(*prompt_, kAppTitle.toStdString(), changed, {path_.toStdString()},
                            doc_->modified()))
      OpenFile(path_);
  });
  doc_->AddListener(this);
  doc_->OnNewDocument();
  UpdateTitle();
  resize(1000, 720);
}

CDopegridFrame::~CDopegridFrame() {
  doc_->RemoveListener(this);
  delete celWindow_.data();
  // The views listen to the document: they go before it does.
  delete takeCentralWidget();
}

QAction* CDopegridFrame::Action(const char* name) const {
  return findChild<QAction*>(QString::fromLatin1(name));
}

CelImageWindow* CDopegridFrame::celWindow() const {
  return celWindow_.data();
}

QStringList CDopegridFrame::statusTexts() const {
  return {rateLabel_->text(), totalLabel_->text(), currentLabel_->text()};
}

void CDopegridFrame::OnUpdate(const SheetHint&) {
  if (doc_->currentFrame() != recoveryFrame_) {
    recoveryFrame_ = doc_->currentFrame();
    if (doc_->modified()) recovery_->Refresh();
  }
  UpdateActions();
  UpdateStatus();
  UpdateTitle();
}

void CDopegridFrame::UpdateStatus() {
  const auto texts = StatusTexts(*doc_);
  rateLabel_->setText(Q(texts[0]));
  totalLabel_->setText(Q(texts[1]));
  currentLabel_->setText(Q(texts[2]));
}

void CDopegridFrame::UpdateTitle() {
  const QString name = path_.isEmpty() ? QStringLiteral("Untitled") : QFileInfo(path_).fileName();
  setWindowTitle(name + QStringLiteral("[*] - ") + kAppTitle);
  setWindowModified(doc_->modified());
  // Saved, opened or new: nothing unsaved is left to keep.
  if (recovery_ != nullptr && !doc_->modified()) recovery_->Remove();
}

bool CDopegridFrame::SaveModified() {
  if (!doc_->modified()) return true;
  const QString name = path_.isEmpty() ? QStringLiteral("Untitled") : QFileInfo(path_).fileName();
  const std::optional<int> answer =
      prompt_->AskChoice({kAppTitle.toStdString(),
                          "Save changes to " + name.toStdString() + "?",
                          {},
                          {"Yes", "No", "Cancel"}});
  if (answer == 0) return Save();
  return answer == 1;
}

void CDopegridFrame::NewDocument() {
  if (!SaveModified()) return;
  doc_->OnNewDocument();
  path_.clear();
  watcher_->WatchOnly({path_.toStdString()});
  UpdateTitle();
}

void CDopegridFrame::Open() {
  if (!SaveModified()) return;
  const QString start = path_.isEmpty() ? QString() : QFileInfo(path_).absolutePath();
  auto picked = prompt_->PickFile("Open", kOpenFilter.toStdString(), start.toStdString());
  if (picked) OpenFile(QString::fromStdString(*picked));
}

bool CDopegridFrame::OpenFile(const QString& path) {
  if (!doc_->OnOpenDocument(path.toStdString())) {
    recent_->Remove(path);
    return false;
  }
  path_ = path;
  recent_->Add(path);
  watcher_->WatchOnly({path_.toStdString()});
  UpdateTitle();
  UpdateActions();
  return true;
}

bool CDopegridFrame::Save() {
  if (path_.isEmpty()) return SaveAs();
  if (const ChangedFileAnswer answer =
          watcher_->MayOverwrite(*prompt_, kAppTitle.toStdString(), {path_.toStdString()});
      answer != ChangedFileAnswer::Overwrite)
    return answer == ChangedFileAnswer::SaveAs && SaveAs();
  const bool saved = doc_->OnSaveDocument(path_.toStdString());
  if (saved) watcher_->WatchOnly({path_.toStdString()});
  UpdateTitle();
  return saved;
}

bool CDopegridFrame::SaveAs() {
  auto picked =
      pickSavePath_(this, {QStringLiteral("Save As"), kSaveFilter, QStringLiteral("dgr")});
  if (!picked) return false;
  if (!doc_->OnSaveDocument(picked->toStdString())) return false;
  path_ = *picked;
  recent_->Add(path_);
  watcher_->WatchOnly({path_.toStdString()});
  UpdateTitle();
  return true;
}

void CDopegridFrame::closeEvent(QCloseEvent* event) {
  if (SaveModified()) {
    recovery_->Remove();  // saved, or the changes were not wanted
    event->accept();
  } else {
    event->ignore();
  }
}

}  // namespace quenda
