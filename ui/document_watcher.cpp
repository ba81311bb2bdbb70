#include "ui/document_watcher.h"

#include <QDir>
#include <QFileInfo>

namespace quenda {
namespace {

// A writer's rename and the notices it raises arrive in a burst; one look after it is enough.
constexpr int kSettleMs = 150;

}  // namespace

DocumentWatcher::DocumentWatcher(QObject* parent) : QObject(parent) {
  settle_.setSingleShot(true);
  settle_.setInterval(kSettleMs);
  connect(&settle_, &QTimer::timeout, this, &DocumentWatcher::CheckNow);
  // A file replaced by an atomic write is a new file: the old one's watch ends with it, so the
  // folders are watched as well.
  connect(&watcher_, &QFileSystemWatcher::fileChanged, this, [this] { settle_.start(); });
  connect(&watcher_, &QFileSystemWatcher::directoryChanged, this, [this] { settle_.start(); });
}

void DocumentWatcher::WatchOnly(const std::vector<std::string>& paths) {
  if (!watcher_.files().isEmpty()) watcher_.removePaths(watcher_.files());
  if (!watcher_.directories().isEmpty()) watcher_.removePaths(watcher_.directories());
  files_.Clear();
  told_.clear();
  for (const std::string& path : paths)
    if (!path.empty()) Remember(path);
}

void DocumentWatcher::Remember(const std::string& path) {
  files_.Remember(path);
  told_.erase(path);
  const QString file = QString::fromStdString(path);
  const QString folder = QFileInfo(file).absolutePath();
  if (QFileInfo::exists(file) && !watcher_.files().contains(file)) watcher_.addPath(file);
  if (QFileInfo(folder).isDir() && !watcher_.directories().contains(folder))
    watcher_.addPath(folder);
}

void DocumentWatcher::CheckNow() {
  QStringList changed;
  for (const std::string& path : files_.ChangedOnDisk()) {
    if (changedForDocument_ && !changedForDocument_(path)) {
      Remember(path);
      continue;
    }
    FileIdentity now = IdentifyFile(path);
    auto told = told_.find(path);
    if (told != told_.end() && !now.DiffersFrom(told->second)) continue;
    told_[path] = now;
    changed << QString::fromStdString(path);
    // Watched again: a replaced file is another file to the system.
    const QString file = QString::fromStdString(path);
    if (now.exists && !watcher_.files().contains(file)) watcher_.addPath(file);
  }
  if (!changed.isEmpty()) emit Changed(changed);
}

ChangedFileAnswer DocumentWatcher::MayOverwrite(Prompt& prompt, const std::string& caption,
                                                const std::vector<std::string>& paths) const {
  std::vector<std::string> changed;
  for (const std::string& path : paths)
    if (!path.empty() && files_.ChangedOnDisk(path)) changed.push_back(path);
  if (changed.empty()) return ChangedFileAnswer::Overwrite;
  return AskBeforeOverwriting(prompt, caption, FileNamesOf(changed));
}

bool DocumentWatcher::MayReload(Prompt& prompt, const std::string& caption,
                                const QStringList& changed, const std::vector<std::string>& paths,
                                bool modified) const {
  std::vector<std::string> theirs;
  for (const std::string& path : paths) {
    const QString file = QString::fromStdString(path);
    if (!path.empty() && changed.contains(file) && QFileInfo::exists(file)) theirs.push_back(path);
  }
  return !theirs.empty() && AskToReload(prompt, caption, FileNamesOf(theirs), modified);
}

}  // namespace quenda
