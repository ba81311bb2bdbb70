// The composer window's output commands: Preview with its last movie shown or saved, Render
// Output, and the movie player they open.
#include <QApplication>
#include <QStatusBar>

#include "common/frame_runner.h"
#include "common/last_preview.h"
#include "composer/app/composer_dialogs.h"
#include "composer/app/composer_frame.h"
#include "composer/app/composer_save_dialog.h"
#include "composer/core/render_inputs.h"
#include "media/avi_writer.h"
#include "media/movie_player.h"
#include "ui/progress_window.h"

namespace quenda {
namespace {

QString Q(std::string_view text) {
  return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

}  // namespace

void CComposerFrame::PlayMovie(const std::string& path) {
  if (play_) {
    play_(path);
    return;
  }
  MoviePlayer player(*prompt_, nullptr, this);
  if (player.Open(path)) player.exec();
}

void CComposerFrame::Preview() {
  PreviewDialog dialog(doc_->composition(), this);
  if (dialog.exec() != QDialog::Accepted) return;
  const PreviewSettings settings = dialog.settings();
  const Composition& c = doc_->composition();
  ProgressWindow window(QStringLiteral("Rendering"), this);
  PreviewResult result;
  window.RunJob(
      [&](Progress& progress, Prompt& asker) {
        AviWriter writer(asker);
        ComposeSink sink;
        sink.prompt = &asker;
        sink.status = [this](const std::string& text) {
          QMetaObject::invokeMethod(
              this, [this, text] { statusBar()->showMessage(Q(text), 5000); },
              Qt::QueuedConnection);
        };
        result = GeneratePreview(c, settings, previewPath_, writer, asker, progress, sink);
      },
      *prompt_);
  if (result.outcome == PreviewOutcome::Finished || result.outcome == PreviewOutcome::Stopped)
    PlayMovie(previewPath_);
}

void CComposerFrame::ShowLastPreview() {
  if (Status there = CheckLastPreview(previewPath_); !there) {
    prompt_->Message(there.message(), MessageIcon::Warning);
    return;
  }
  PlayMovie(previewPath_);
}

void CComposerFrame::SaveLastPreview() {
  const QString target = AskSavePath(
      this, QStringLiteral("Select the movie filename to save"), QStringLiteral("movie.avi"),
      QStringLiteral("Microsoft Movies (*.avi)"), QStringLiteral("avi"));
  if (target.isEmpty()) return;
  QApplication::setOverrideCursor(Qt::WaitCursor);
  Status saved = quenda::SaveLastPreview(previewPath_, target.toStdString());
  QApplication::restoreOverrideCursor();
  if (!saved) prompt_->Message(saved.message(), MessageIcon::Error);
}

void CComposerFrame::Render() {
  const Composition& c = doc_->composition();
  RenderOutputDialog dialog(
      *prompt_, c,
      [this, &c](const RenderOutputSettings& settings) {
        // A render never leaves a clip out of a frame without saying so: missing pictures stop it
        // before anything is written.
        if (Status inputs = CheckClipInputs(c, settings.frameStart, settings.frameEnd); !inputs) {
          prompt_->Message(inputs.message(), MessageIcon::Error);
          return;
        }
        ProgressWindow window(QStringLiteral("Rendering"), this);
        window.RunJob(
            [&](Progress& progress, Prompt& asker) {
              ComposeSink sink;
              sink.prompt = &asker;
              RenderFrames(c, settings, asker, progress, 0, 0, sink, DefaultJobCount());
            },
            *prompt_);
      },
      this);
  dialog.exec();
}

}  // namespace quenda
