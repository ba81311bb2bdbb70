// File > Export Movie in the exposure sheet's window: the sheet's frames rendered straight into
// an H.264 or ProRes 4444 movie under the progress window, with the loaded sound's own file
// offered for the sound track.
#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QFormLayout>
#include <QSpinBox>

#include "common/frame_runner.h"
#include "dopegrid/app/dopegrid_frame.h"
#include "dopegrid/core/job_inputs.h"
#include "dopegrid/core/render.h"
#include "media/movie_export_dialog.h"
#include "ui/progress_window.h"
#include "ui/settings.h"

namespace quenda {
namespace {

// Beside the sheet, named after it; in the home folder for a sheet never saved.
std::string DefaultMoviePath(const QString& sheetPath) {
  if (sheetPath.isEmpty())
    return (QDir::homePath() + QStringLiteral("/Untitled.mp4")).toStdString();
  const QFileInfo info(sheetPath);
  return (info.absolutePath() + QLatin1Char('/') + info.completeBaseName() + QStringLiteral(".mp4"))
      .toStdString();
}

}  // namespace

void CDopegridFrame::ExportMovie() {
  const CSheetGrid& sheet = doc_->sheet();
  const SoundTrack& sound = doc_->sound();
  MovieExportDefaults defaults;
  defaults.path = DefaultMoviePath(path_);
  defaults.rate = FrameRate{sound.frameRate, 1};
  // The loaded sound's own file, at its full quality, not the sheet's 8-bit copy.
  if (sound.loaded) defaults.soundPath = sound.path;
  defaults.lastFrame = sheet.frameCount;
  defaults.preset =
      settings_->GetString(QLatin1String(kMovieProfileSection), QLatin1String(kMovieProfilePreset))
          .toStdString();
  MovieExportDialog dialog(defaults, *prompt_, this);
  dialog.AddFrameRange(sheet.frameCount);
  auto* lineTest = new QCheckBox(tr("Line test (the pencil drawings alone)"));
  lineTest->setObjectName(QStringLiteral("lineTest"));
  dialog.form()->insertRow(2, QString(), lineTest);
  if (sound.loaded) dialog.soundStartField()->setValue(sound.startFrame);
  if (dialog.exec() != QDialog::Accepted) return;
  // The preset chosen is offered again next time.
  settings_->SetString(QLatin1String(kMovieProfileSection), QLatin1String(kMovieProfilePreset),
                       QString::fromStdString(dialog.settings().encoder.preset));
  if (Status saved = settings_->Save(); !saved)
    prompt_->Message(saved.message(), MessageIcon::Error);

  RenderSettings settings;
  settings.firstFrame = dialog.firstChosenFrame() - 1;
  settings.lastFrame = dialog.lastChosenFrame() - 1;
  for (int level = 0; level < sheet.levelCount; ++level) settings.levels.push_back(level);
  settings.kind = lineTest->isChecked() ? RenderKind::LineTest : RenderKind::Painted;
  settings.jobs = DefaultJobCount();
  CompositeJob job;
  job.firstFrame = settings.firstFrame;
  job.lastFrame = settings.lastFrame;
  job.levels = settings.levels;
  job.mode = settings.kind == RenderKind::Painted ? CompositeMode::Painted : CompositeMode::Scanned;
  const SheetSource whole{sheet, doc_->sequences()};
  Status inputs = CheckJobInputs(whole, job, job.firstFrame, job.lastFrame);
  CSheetGrid shown = sheet;
  if (!inputs) {
    if (!prompt_->AskYesNo(MissingInputsQuestion(inputs, "Export without them?"))) return;
    shown = WithoutMissingInputs(whole, job, job.firstFrame, job.lastFrame);
  }
  MovieExport movie(dialog.settings(), settings.firstFrame + 1);
  if (!movie.LoadSound(*prompt_)) return;
  const SheetSource source{shown, doc_->sequences()};
  bool made = false, stopped = false;
  ProgressWindow window(QStringLiteral("Exporting Movie"), this);
  window.RunJob(
      [&](Progress& progress, Prompt& asker) {
        StopNoticingProgress noticing(progress);
        made = RenderFramesTo(settings, source, asker, noticing,
                              {[&](int, const Raster& picture, double, Progress&) {
                                 return movie.Take(picture, asker);
                               },
                               [](int) { return std::string(); }});
        stopped = noticing.stopped();
      },
      *prompt_);
  movie.End(made, stopped, *prompt_);
}

}  // namespace quenda
