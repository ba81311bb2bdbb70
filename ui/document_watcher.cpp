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

ChangedFileAnswer AskBeforeOverwriting(Prompt& prompt, const std::string& caption,
                                       const std::string& name) {
  const std::optional<int> answer = prompt.AskChoice(
      {caption,
       name + " was changed on disk by another program since it was read here. Saving "
              "replaces those changes with this window's.",
       {},
       {"Overwrite", "Save As…", "Cancel"}});
  if (answer == 0) return ChangedFileAnswer::Overwrite;
  if (answer == 1) return ChangedFileAnswer::SaveAs;
  return ChangedFileAnswer::Cancel;
}

bool AskToReload(Prompt& prompt, const std::string& caption, const std::string& name,
                 bool modified) {
  const std::string text =
      name + " was changed on disk by another program." +
      (modified ? " Reload it and lose the changes made here?" : " Reload it?");
  return prompt.AskChoice({caption, text, {}, {"Reload", "Keep This Version"}}) == 0;
}

}  // namespace quenda
