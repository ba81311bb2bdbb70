// File > Export Movie in the composer's window: the composition's frames composed straight into
// an H.264 or ProRes 4444 movie under the progress window; ProRes carries the matte as alpha.
#include <QDir>
#include <QFileInfo>
#include <QFormLayout>

#include "common/frame_runner.h"
#include "composer/app/composer_frame.h"
#include "composer/core/render_inputs.h"
#include "composer/core/render_output.h"
#include "media/movie_export_dialog.h"
#include "ui/progress_window.h"
#include "ui/settings.h"

namespace quenda {

void CComposerFrame::ExportMovie() {
  const Composition& c = doc_->composition();
  MovieExportDefaults defaults;
  const QFileInfo info(path_);
  defaults.path = (path_.isEmpty() ? QDir::homePath() + QStringLiteral("/Untitled.mp4")
                                   : info.absolutePath() + QLatin1Char('/') +
                                         info.completeBaseName() + QStringLiteral(".mp4"))
                      .toStdString();
  defaults.rate = FrameRate{c.frameRate, 1};
  defaults.lastFrame = c.frames;
  defaults.preset =
      settings_->GetString(QLatin1String(kMovieProfileSection), QLatin1String(kMovieProfilePreset))
          .toStdString();
  MovieExportDialog dialog(defaults, *prompt_, this);
  dialog.AddFrameRange(c.frames);
  if (dialog.exec() != QDialog::Accepted) return;
  // The preset chosen is offered again next time.
  settings_->SetString(QLatin1String(kMovieProfileSection), QLatin1String(kMovieProfilePreset),
                       QString::fromStdString(dialog.settings().encoder.preset));
  if (Status saved = settings_->Save(); !saved)
    prompt_->Message(saved.message(), MessageIcon::Error);

  RenderOutputSettings settings = DefaultRenderOutputSettings(c);
  settings.frameStart = dialog.firstChosenFrame();
  settings.frameEnd = dialog.lastChosenFrame();
  const MovieExportSettings chosen = dialog.settings();
  settings.matte = chosen.encoder.codec == MovieCodec::ProRes4444;
  // A movie never leaves a clip out of a frame without saying so, as Render Output.
  if (Status inputs = CheckClipInputs(c, settings.frameStart, settings.frameEnd); !inputs) {
    prompt_->Message(inputs.message(), MessageIcon::Error);
    return;
  }
  MovieExport movie(chosen, settings.frameStart);
  if (!movie.LoadSound(*prompt_)) return;
  bool made = false, stopped = false;
  ProgressWindow window(QStringLiteral("Exporting Movie"), this);
  window.RunJob(
      [&](Progress& progress, Prompt& asker) {
        StopNoticingProgress noticing(progress);
        ComposeSink sink;
        sink.prompt = &asker;
        RenderOutputResult result =
            RenderFramesTo(c, settings, asker, noticing, 0, 0, sink, DefaultJobCount(),
                           {[&](int, const Raster& picture) { return movie.Take(picture, asker); },
                            [](int) { return std::string(); }});
        made = result.outcome == RenderOutputOutcome::Finished;
        stopped = noticing.stopped();
      },
      *prompt_);
  movie.End(made, stopped, *prompt_);
}

}  // namespace quenda
