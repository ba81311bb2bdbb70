#pragma once
// Two edits of one document at once would each read it, change it and replace it, and the
// second replace would drop the first edit. An edit holds a DocumentLock from before it reads
// the document until its replace is done: a POSIX record lock (fcntl), which NFS v4 carries
// between machines, on a lock file beside the document, ".NAME.lock". Only edits take it;
// readers and the farm's frame writers never do.
//
// Record locks belong to the process: a second lock of the same document taken in the same
// process does not wait. The lock file itself stays behind empty; removing it would let two
// edits lock two different files of one name.

#include <functional>
#include <string>
#include <utility>

#include "common/result.h"

namespace quenda {

enum class LockWait {
  UntilFree,     // wait for another edit to finish
  RefuseIfBusy,  // answer at once that another edit holds the document
};

class DocumentLock {
 public:
  DocumentLock() = default;
  DocumentLock(DocumentLock&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
  DocumentLock& operator=(DocumentLock&& other) noexcept;
  DocumentLock(const DocumentLock&) = delete;
  DocumentLock& operator=(const DocumentLock&) = delete;
  ~DocumentLock();  // releases the lock

  // Locks `documentPath` for an edit. `waiting` is called once, before waiting, when another
  // edit holds it and `wait` is UntilFree. A folder no file can be made in (one without any write
  // bit, even for root) takes no lock: the edit cannot replace the document there either, and its
  // writer says so. The failure is ErrorKind::Other with the user's text: busy (RefuseIfBusy), or a
  // lock file that cannot be opened.
  static Result<DocumentLock> Acquire(const std::string& documentPath, LockWait wait,
                                      const std::function<void()>& waiting = {});

  bool held() const { return fd_ >= 0; }

 private:
  explicit DocumentLock(int fd) : fd_(fd) {}

  int fd_ = -1;
};

// ".NAME.lock" in the document's folder.
std::string DocumentLockPath(const std::string& documentPath);

// The text of a refused edit, for callers and tests that name it.
inline constexpr const char* kDocumentBusyText =
    "another edit of this document is under way; it is left as it is";

}  // namespace quenda
