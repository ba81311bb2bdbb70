#pragma once
// The modal progress window of long jobs: a stage text, a percentage bar and STOP. The job runs
// on a worker thread while the window is modal, so the window repaints and STOP answers at
// once; stage and percent reach the window through its event queue, and the job's questions
// are asked on the user-interface thread.

#include <QDialog>
#include <QString>
#include <atomic>
#include <functional>
#include <optional>
#include <type_traits>
#include <utility>

#include "common/progress.h"
#include "common/prompt.h"

class QLabel;
class QProgressBar;
class QPushButton;

namespace quenda {

class ProgressWindow : public QDialog {
  Q_OBJECT

 public:
  enum class StopButton { Shown, Hidden };

  explicit ProgressWindow(const QString& title, QWidget* parent = nullptr,
                          StopButton stopButton = StopButton::Shown);
  ~ProgressWindow() override;

  // Runs `job(progress, prompt)` on a worker thread and shows the window modally until it
  // returns. `prompt` is asked on this thread whatever thread the job asks from. Nothing else
  // of the caller's data may be touched meanwhile: the window blocks the rest of the program.
  void RunJob(const std::function<void(Progress&, Prompt&)>& job, Prompt& prompt);

  // For jobs that must stay on the user-interface thread (they tell views what changed): the
  // job runs here with the window shown modally, and every report and STOP check lets pending
  // events run, so the window repaints and STOP is seen at the job's next check.
  void RunJobHere(const std::function<void(Progress&, Prompt&)>& job, Prompt& prompt);

  // The same for a job with a result.
  template <class Job>
  auto Run(Job&& job, Prompt& prompt) {
    using R = std::invoke_result_t<Job&, Progress&, Prompt&>;
    if constexpr (std::is_void_v<R>) {
      RunJob(std::forward<Job>(job), prompt);
    } else {
      std::optional<R> result;
      RunJob([&](Progress& progress, Prompt& asker) { result.emplace(job(progress, asker)); },
             prompt);
      return std::move(*result);
    }
  }

  QString stage() const;
  int percent() const;
  QPushButton* stopButton() const { return stop_; }
  bool running() const { return running_; }

 protected:
  // Escape and the close box ask the job to stop, as STOP does; the window goes with the job.
  void reject() override;
  void closeEvent(QCloseEvent* event) override;

 private:
  class WindowProgress;
  class PumpingProgress;

  void RequestStop();

  QLabel* stage_;
  QProgressBar* bar_;
  QPushButton* stop_;
  std::atomic<bool> stopRequested_{false};
  bool running_ = false;
};

}  // namespace quenda
