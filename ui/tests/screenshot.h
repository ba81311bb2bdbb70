#pragma once
// Pictures of windows and dialogs that the GUI tests leave for a person to look at.

#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QWidget>

namespace quenda::testing {

// Saves `picture` as `name` in the test program's screenshots folder in the build tree, and
// checks that a real picture was written rather than an empty grab.
inline void SaveScreenshot(const QImage& picture, const QString& name, qint64 leastBytes = 2000) {
  const QString path = QStringLiteral(QUENDA_SCREENSHOT_DIR "/") + name;
  QDir().mkpath(QStringLiteral(QUENDA_SCREENSHOT_DIR));
  EXPECT_TRUE(picture.save(path)) << path.toStdString();
  EXPECT_GT(QFileInfo(path).size(), leastBytes) << path.toStdString();
}

// Saves what `widget` shows.
inline void SaveScreenshot(QWidget& widget, const QString& name, qint64 leastBytes = 2000) {
  SaveScreenshot(widget.grab().toImage(), name, leastBytes);
}

}  // namespace quenda::testing
