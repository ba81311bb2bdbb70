#pragma once
// Pictures of windows and dialogs that the GUI tests leave for a person to look at.

#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <QWidget>

namespace quenda::testing {

// Saves what `widget` shows as `path`, making its folder, and checks that a real picture was
// written rather than an empty grab.
inline void SaveScreenshot(QWidget& widget, const QString& path, qint64 leastBytes = 2000) {
  QDir().mkpath(QFileInfo(path).path());
  EXPECT_TRUE(widget.grab().save(path)) << path.toStdString();
  EXPECT_GT(QFileInfo(path).size(), leastBytes) << path.toStdString();
}

}  // namespace quenda::testing
