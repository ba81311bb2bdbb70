#pragma once
// A document's files changed by another program while a window holds it open: the window is
// told once per change (after the writer is done), offers to reload, and asks before it saves
// over a file that changed since it was read.

#include <QFileSystemWatcher>
#include <QObject>
#include <QStringList>
#include <QTimer>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "common/changed_file_questions.h"
#include "common/file_identity.h"

namespace quenda {

class DocumentWatcher final : public QObject {
  Q_OBJECT

 public:
  explicit DocumentWatcher(QObject* parent = nullptr);

  // The document's files as they are now, just read or written; replaces what was watched.
  // Empty paths are passed over.
  void WatchOnly(const std::vector<std::string>& paths);
  // One file as it is now, just written by the window, or one more to watch.
  void Remember(const std::string& path);
  void Clear() { WatchOnly({}); }

  // The watched files that changed on disk since they were read or written here.
  std::vector<std::string> ChangedOnDisk() const { return files_.ChangedOnDisk(); }
  bool ChangedOnDisk(const std::string& path) const { return files_.ChangedOnDisk(path); }

  // The document's own record of its files: `changedForDocument(path)` false says that the
  // document read or wrote the file as it is now, a write of its own the watch has not been
  // told of. Such a file is remembered as it is and Changed leaves it out. Without one, every
  // change is told.
  void KnowOwnWrites(std::function<bool(const std::string& path)> changedForDocument) {
    changedForDocument_ = std::move(changedForDocument);
  }

  // Looks at the files now rather than when the system's notice has settled.
  void CheckNow();

  // Before saving over `paths` (empty ones passed over): Overwrite when none of them changed on
  // disk since read or written here; otherwise the user's answer, asked naming those that did.
  ChangedFileAnswer MayOverwrite(Prompt& prompt, const std::string& caption,
                                 const std::vector<std::string>& paths) const;
  // After Changed: whether the window reads its document again. Asks when one of `paths` is
  // among `changed` and still on disk; a file gone is no version to read, and the save
  // question still guards it. `modified` says that the window holds changes of its own.
  bool MayReload(Prompt& prompt, const std::string& caption, const QStringList& changed,
                 const std::vector<std::string>& paths, bool modified) const;

 signals:
  // Files that changed on disk since they were read or written here, each told once for each
  // change.
  void Changed(const QStringList& paths);

 private:
  DocumentFiles files_;
  std::function<bool(const std::string&)> changedForDocument_;
  std::map<std::string, FileIdentity> told_;
  QFileSystemWatcher watcher_;
  QTimer settle_;
};

}  // namespace quenda
