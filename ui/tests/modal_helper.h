#pragma once
// Drives modal dialogs in tests: waits (through the event loop) for the next modal window of a
// type and hands it to a callback that answers it.

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <QWidget>
#include <functional>

namespace quenda::testing {

// Polls from the event loop of whatever modal exec() is running, every `intervalMs` (0: at
// every pass of the loop); gives up after five seconds (the test then sees the dialog's default
// answer and fails on it).
template <class Dialog>
void WhenModal(std::function<void(Dialog*)> answer, int intervalMs = 10) {
  auto* timer = new QTimer(qApp);  // the application owns it until it deletes itself
  QElapsedTimer since;
  since.start();
  timer->setInterval(intervalMs);
  QObject::connect(timer, &QTimer::timeout, timer, [timer, since, answer] {
    auto* dialog = qobject_cast<Dialog*>(QApplication::activeModalWidget());
    if (dialog == nullptr && since.elapsed() < 5000) return;
    timer->stop();
    timer->deleteLater();
    if (dialog != nullptr) answer(dialog);
  });
  timer->start();
}

}  // namespace quenda::testing
