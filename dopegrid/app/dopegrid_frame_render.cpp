// The Render and FlipBook menus of the exposure sheet's window: the dialogs, the jobs under the
// progress window, and the last flipbook played again or saved elsewhere.
#include <QAction>
#include <QDir>
#include <QMenuBar>
#include <QStandardPaths>
#include <filesystem>

#include "common/frame_runner.h"
#include "common/last_preview.h"
#include "dopegrid/app/dopegrid_frame.h"
#include "dopegrid/app/render_dialogs.h"
#include "dopegrid/core/job_inputs.h"
#include "media/avi_writer.h"
#include "media/movie_player.h"
#include "ui/progress_window.h"

namespace quenda {
namespace {

// The sheet a job composites: as it is when every file is there; otherwise, once the user has
// heard which are missing and agreed, without the cells that need them. Nothing when the user
// declines.
std::optional<CSheetGrid> SheetForJob(const CDopegridDoc& doc, const CompositeJob& job,
                                      std::string_view goOn, Prompt& prompt) {
  const SheetSource whole{doc.sheet(), doc.sequences()};
  Status inputs = CheckJobInputs(whole, job, job.firstFrame, job.lastFrame);
  if (inputs) return doc.sheet();
  if (!prompt.AskYesNo(MissingInputsQuestion(inputs, goOn))) return std::nullopt;
  return WithoutMissingInputs(whole, job, job.firstFrame, job.lastFrame);
}

}  // namespace

std::string DefaultFlipbookPath() {
  const QString folder = QStandardPaths::writableLocation(QStandardPaths::CacheLocation);
  QDir().mkpath(folder);
  return PreviewMoviePath((folder + QLatin1Char('/')).toStdString());
}

void CDopegridFrame::SetPreviewPath(const std::string& path) {
  previewPath_ = path;
  UpdateJobActions();
}

void CDopegridFrame::BuildJobActions() {
  auto make = [this](const char* name, const QString& text, QList<QKeySequence> keys, auto slot) {
    auto* action = new QAction(text, this);
    action->setObjectName(QString::fromLatin1(name));
    action->setShortcuts(keys);
    connect(action, &QAction::triggered, this, slot);
    addAction(action);
  };
  make("actionRender", tr("&Render..."), {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_R)},
       [this] { Render(); });
  make("actionMakeFlipbook", tr("&Make FlipBook..."), {QKeySequence(Qt::CTRL | Qt::Key_B)},
       [this] { MakeFlipbook(); });
  make("actionPlayLastFlipbook", tr("&Play Last Flipbook"), {QKeySequence(Qt::Key_F5)},
       [this] { PlayLastFlipbook(); });
  make("actionSaveLastFlipbook", tr("&Save Last Flipbook..."), {},
       [this] { SaveLastFlipbookAs(); });
  make("actionExportMovie", tr("Export &Movie..."),
       {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_M)}, [this] { ExportMovie(); });
}

void CDopegridFrame::BuildJobMenus() {
  menuBar()->addMenu(tr("Re&nder"))->addAction(Action("actionRender"));
  QMenu* flipbook = menuBar()->addMenu(tr("Flip&Book"));
  flipbook->addAction(Action("actionMakeFlipbook"));
  flipbook->addSeparator();
  flipbook->addAction(Action("actionPlayLastFlipbook"));
  flipbook->addAction(Action("actionSaveLastFlipbook"));
  // The movie may have gone since the last look.
  connect(flipbook, &QMenu::aboutToShow, this, [this] { UpdateJobActions(); });
}

void CDopegridFrame::UpdateJobActions() {
  const bool sequences = doc_->HasSequences();
  Action("actionRender")->setEnabled(sequences);
  Action("actionMakeFlipbook")->setEnabled(sequences);
  Action("actionExportMovie")->setEnabled(sequences);
  std::error_code ignored;
  const bool movie = std::filesystem::is_regular_file(previewPath_, ignored);
  Action("actionPlayLastFlipbook")->setEnabled(movie);
  Action("actionSaveLastFlipbook")->setEnabled(movie);
}

void CDopegridFrame::Render() {
  RenderDialog dialog(
      *doc_, *prompt_, [this](const RenderSettings& settings) { RunRenderJob(settings); }, this);
  dialog.exec();
}

void CDopegridFrame::RunRenderJob(const RenderSettings& settings) {
  CompositeJob job;
  job.firstFrame = settings.firstFrame;
  job.lastFrame = settings.lastFrame;
  job.levels = settings.levels;
  job.mode = settings.kind == RenderKind::Painted ? CompositeMode::Painted : CompositeMode::Scanned;
  std::optional<CSheetGrid> sheet = SheetForJob(*doc_, job, "Render without them?", *prompt_);
  if (!sheet) return;
  const SheetSource source{*sheet, doc_->sequences()};
  RenderSettings everyCore = settings;
  everyCore.jobs = DefaultJobCount();
  ProgressWindow window(QStringLiteral("Rendering"), this);
  window.RunJob(
      [&](Progress& progress, Prompt& asker) { RunRender(everyCore, source, asker, progress); },
      *prompt_);
}

void CDopegridFrame::MakeFlipbook() {
  FlipbookDialog dialog(
      *doc_, [this](const FlipbookSettings& settings) { RunFlipbookJob(settings); }, this);
  dialog.exec();
}

void CDopegridFrame::RunFlipbookJob(const FlipbookSettings& settings) {
  CompositeJob job;
  job.firstFrame = settings.firstFrame;
  job.lastFrame = settings.lastFrame;
  job.levels = settings.levels;
  job.mode = settings.mode;
  std::optional<CSheetGrid> sheet =
      SheetForJob(*doc_, job, "Generate the flipbook without them?", *prompt_);
  if (!sheet) return;
  const SheetSource source{*sheet, doc_->sequences()};
  const SoundTrack* sound = doc_->sound().loaded && doc_->soundShown() ? &doc_->sound() : nullptr;
  FlipbookOutcome outcome = FlipbookOutcome::NotWritten;
  FlipbookSettings everyCore = settings;
  everyCore.jobs = DefaultJobCount();
  ProgressWindow window(QStringLiteral("Rendering"), this);
  window.RunJob(
      [&](Progress& progress, Prompt& asker) {
        AviWriter writer(asker);
        outcome = GenerateFlipbook(everyCore, source, sound, writer, previewPath_, asker, progress);
      },
      *prompt_);
  UpdateJobActions();
  if (ShouldPlay(outcome)) PlayMovie(previewPath_);
}

void CDopegridFrame::PlayLastFlipbook() {
  if (Status there = CheckLastPreview(previewPath_); !there) {
    prompt_->Message(there.message(), MessageIcon::Warning);
    return;
  }
  PlayMovie(previewPath_);
}

void CDopegridFrame::SaveLastFlipbookAs() {
  auto target = pickSavePath_(this, {QStringLiteral("Select the movie filename to save"),
                                     QStringLiteral("Microsoft Movies (*.avi)"),
                                     QStringLiteral("avi"), QStringLiteral("movie.avi")});
  if (target) SaveLastFlipbook(previewPath_, target->toStdString(), *prompt_);
}

void CDopegridFrame::PlayMovie(const std::string& path) {
  if (play_) {
    play_(path);
    return;
  }
  MoviePlayer player(*prompt_, nullptr, this);
  if (player.Open(path)) player.exec();
}

}  // namespace quenda
