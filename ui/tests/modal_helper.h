#pragma once
// Drives modal dialogs in tests: waits (through the event loop) for the next modal window of a
// type and hands it to a callback that answers it.

#include <QAbstractItemView>
#include <QApplication>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QLineEdit>
#include <QTest>
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

// Chooses `path` in a file dialog and accepts it. The dialog fills its list on another thread,
// and a row it selects when the list arrives would win over a typed name; so the rows are
// unselected, the whole path typed, and accepting tried again until the dialog has gone. After
// three seconds it is turned down, so that the test fails rather than hangs.
inline void ChooseInFileDialog(QFileDialog* dialog, const QString& path) {
  QElapsedTimer waited;
  waited.start();
  while (dialog->isVisible() && waited.elapsed() < 3000) {
    for (QAbstractItemView* view : dialog->findChildren<QAbstractItemView*>())
      view->clearSelection();
    if (auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit")))
      name->setText(path);
    QMetaObject::invokeMethod(dialog, "accept");
    if (dialog->isVisible()) QTest::qWait(20);
  }
  if (dialog->isVisible()) dialog->reject();
}

}  // namespace quenda::testing
