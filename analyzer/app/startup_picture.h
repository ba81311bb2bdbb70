#pragma once
// The picture shown over the analyzer's window as it starts; it goes at the first click, key or
// menu command.

#include <QSplashScreen>

class QMainWindow;

namespace quenda {

class StartupPicture final : public QSplashScreen {
  Q_OBJECT

 public:
  explicit StartupPicture(QMainWindow& window);
  ~StartupPicture() override;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
};

}  // namespace quenda
