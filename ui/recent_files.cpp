#include "ui/recent_files.h"

#include <QAction>
#include <QMenu>

#include "ui/settings.h"

namespace quenda {
namespace {

const QString kSection = QStringLiteral("Recent File List");

QString EntryKey(int index) {
  return QStringLiteral("File%1").arg(index + 1);
}

}  // namespace

RecentFiles::RecentFiles(Settings& settings, QObject* parent)
    : QObject(parent), settings_(settings) {
  for (int i = 0; i < kCapacity; ++i) {
    QString path = settings_.GetString(kSection, EntryKey(i));
    if (path.isEmpty()) continue;
    if (files_.contains(path, Qt::CaseInsensitive)) continue;
    files_.append(path);
  }
}

void RecentFiles::Add(const QString& path) {
  if (path.isEmpty()) return;
  files_.removeIf(
      [&](const QString& entry) { return entry.compare(path, Qt::CaseInsensitive) == 0; });
  files_.prepend(path);
  while (files_.size() > kCapacity) files_.removeLast();
  Store();
}

void RecentFiles::Remove(const QString& path) {
  qsizetype removed = files_.removeIf(
      [&](const QString& entry) { return entry.compare(path, Qt::CaseInsensitive) == 0; });
  if (removed > 0) Store();
}

void RecentFiles::AttachMenu(QMenu* menu) {
  menu_ = menu;
  FillMenu();
}

void RecentFiles::Store() {
  for (int i = 0; i < kCapacity; ++i) {
    if (i < files_.size()) {
      settings_.SetString(kSection, EntryKey(i), files_[i]);
    } else {
      settings_.Remove(kSection, EntryKey(i));
    }
  }
  // A profile that cannot be written only costs the list its next start.
  (void)settings_.Save();
  FillMenu();
}

void RecentFiles::FillMenu() {
  if (menu_ == nullptr) return;
  menu_->clear();
  if (files_.isEmpty()) {
    menu_->addAction(tr("Recent File"))->setEnabled(false);
    return;
  }
  for (int i = 0; i < files_.size(); ++i) {
    QString path = files_[i];
    QString text = QStringLiteral("&%1 %2").arg(i + 1).arg(QString(path).replace('&', "&&"));
    connect(menu_->addAction(text), &QAction::triggered, this, [this, path] { emit Chosen(path); });
  }
}

}  // namespace quenda
