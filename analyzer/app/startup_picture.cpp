#include "analyzer/app/startup_picture.h"

#include <QApplication>
#include <QLinearGradient>
#include <QMainWindow>
#include <QMenuBar>
#include <QPainter>

namespace quenda {
namespace {

QPixmap Picture() {
  QPixmap picture(480, 280);
  QPainter painter(&picture);
  QLinearGradient sky(0, 0, 0, 280);
  sky.setColorAt(0, QColor(40, 60, 120));
  sky.setColorAt(1, QColor(230, 200, 150));
  painter.fillRect(picture.rect(), sky);
  painter.setPen(Qt::white);
  QFont title = painter.font();
  title.setPointSize(26);
  title.setBold(true);
  painter.setFont(title);
  painter.drawText(QRect(0, 70, 480, 60), Qt::AlignCenter, QStringLiteral("Quenda"));
  title.setPointSize(12);
  title.setBold(false);
  painter.setFont(title);
  painter.drawText(QRect(0, 130, 480, 30), Qt::AlignCenter,
                   QStringLiteral("Animation Paint System: Analyzer"));
  return picture;
}

}  // namespace

StartupPicture::StartupPicture(QMainWindow& window) : QSplashScreen(Picture()) {
  setAttribute(Qt::WA_DeleteOnClose);
  connect(&window, &QObject::destroyed, this, &QWidget::close);
  connect(window.menuBar(), &QMenuBar::triggered, this, &QWidget::close);
  qApp->installEventFilter(this);
}

StartupPicture::~StartupPicture() {
  qApp->removeEventFilter(this);
}

bool StartupPicture::eventFilter(QObject* /*watched*/, QEvent* event) {
  if (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::KeyPress) close();
  return false;  // the click or key still does what it does
}

}  // namespace quenda
