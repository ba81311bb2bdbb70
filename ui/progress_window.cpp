#include "ui/progress_window.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QLabel>
#include <QMetaObject>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>
#include <exception>
#include <string>
#include <thread>

#include "ui/gui_thread_prompt.h"

namespace quenda {

// Reports from the worker become queued calls on the window; STOP is read from an atomic flag
// that reading clears.
class ProgressWindow::WindowProgress final : public Progress {
 public:
  explicit WindowProgress(ProgressWindow* window) : window_(window) {}

  void SetStage(std::string_view text) override {
    QString stage = QString::fromUtf8(text.data(), qsizetype(text.size()));
    QPointer<ProgressWindow> window = window_;
    QMetaObject::invokeMethod(
        window_,
        [window, stage] {
          if (window) window->stage_->setText(stage);
        },
        Qt::QueuedConnection);
  }

  void SetPercent(int percent) override {
    QPointer<ProgressWindow> window = window_;
    QMetaObject::invokeMethod(
        window_,
        [window, percent] {
          if (window) window->bar_->setValue(percent);
        },
        Qt::QueuedConnection);
  }

  void SetCaption(std::string_view text) override {
    QString caption = QString::fromUtf8(text.data(), qsizetype(text.size()));
    QPointer<ProgressWindow> window = window_;
    QMetaObject::invokeMethod(
        window_,
        [window, caption] {
          if (window) window->setWindowTitle(caption);
        },
        Qt::QueuedConnection);
  }

  bool StopRequested() override { return window_->stopRequested_.exchange(false); }

 private:
  ProgressWindow* window_;
};

// Reports on the interface thread itself, letting the window's events run at each one.
class ProgressWindow::PumpingProgress final : public Progress {
 public:
  explicit PumpingProgress(ProgressWindow* window) : window_(window) {}

  void SetStage(std::string_view text) override {
    window_->stage_->setText(QString::fromUtf8(text.data(), qsizetype(text.size())));
    Pump();
  }
  void SetPercent(int percent) override {
    window_->bar_->setValue(percent);
    Pump();
  }
  void SetCaption(std::string_view text) override {
    window_->setWindowTitle(QString::fromUtf8(text.data(), qsizetype(text.size())));
    Pump();
  }
  bool StopRequested() override {
    Pump();
    return window_->stopRequested_.exchange(false);
  }

 private:
  static void Pump() { QCoreApplication::processEvents(QEventLoop::AllEvents); }
  ProgressWindow* window_;
};

ProgressWindow::ProgressWindow(const QString& title, QWidget* parent, StopButton stopButton)
    : QDialog(parent),
      stage_(new QLabel(this)),
      bar_(new QProgressBar(this)),
      stop_(new QPushButton(QStringLiteral("STOP"), this)) {
  setWindowTitle(title);
  setModal(true);
  setWindowFlag(Qt::WindowContextHelpButtonHint, false);
  bar_->setRange(0, 100);
  bar_->setValue(0);
  bar_->setMinimumWidth(320);
  stage_->setMinimumWidth(320);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(stage_);
  layout->addWidget(bar_);
  layout->addWidget(stop_, 0, Qt::AlignHCenter);
  stop_->setVisible(stopButton == StopButton::Shown);
  stop_->setAutoDefault(false);
  connect(stop_, &QPushButton::clicked, this, [this] { RequestStop(); });
}

ProgressWindow::~ProgressWindow() = default;

void ProgressWindow::RunJob(const std::function<void(Progress&, Prompt&)>& job, Prompt& prompt) {
  GuiThreadPrompt asker(prompt, this);
  WindowProgress progress(this);
  stopRequested_ = false;
  running_ = true;
  std::exception_ptr failure;
  std::thread worker([&] {
    try {
      job(progress, asker);
    } catch (...) {
      failure = std::current_exception();
    }
    // Queued behind the job's last reports, so the window shows them before it closes.
    QMetaObject::invokeMethod(
        this,
        [this] {
          running_ = false;
          done(QDialog::Accepted);
        },
        Qt::QueuedConnection);
  });
  exec();
  worker.join();
  running_ = false;
  if (failure) std::rethrow_exception(failure);
}

void ProgressWindow::RunJobHere(const std::function<void(Progress&, Prompt&)>& job,
                                Prompt& prompt) {
  PumpingProgress progress(this);
  stopRequested_ = false;
  running_ = true;
  show();
  QCoreApplication::processEvents(QEventLoop::AllEvents);
  job(progress, prompt);
  running_ = false;
  hide();
}

QString ProgressWindow::stage() const {
  return stage_->text();
}

int ProgressWindow::percent() const {
  return bar_->value();
}

void ProgressWindow::RequestStop() {
  stopRequested_ = true;
}

void ProgressWindow::reject() {
  if (running_) {
    RequestStop();
    return;
  }
  QDialog::reject();
}

void ProgressWindow::closeEvent(QCloseEvent* event) {
  if (running_) {
    RequestStop();
    event->ignore();
    return;
  }
  QDialog::closeEvent(event);
}

}  // namespace quenda
