#include "common/document_lock.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "common/path.h"

namespace quenda {
namespace {

struct flock WholeFileLock() {
  struct flock whole {};
  whole.l_type = F_WRLCK;
  whole.l_whence = SEEK_SET;
  whole.l_start = 0;
  whole.l_len = 0;  // to the end, however long
  return whole;
}

// As the atomic writer judges it: a folder without any write bit is read-only even for root.
bool FolderTakesFiles(const std::string& folder) {
  struct stat st {};
  return stat(folder.c_str(), &st) == 0 && (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) != 0 &&
         access(folder.c_str(), W_OK) == 0;
}

Error CannotOpen(const std::string& lockPath, int error) {
  return {"cannot open the lock file " + lockPath + ": " + std::strerror(error)};
}

}  // namespace

std::string DocumentLockPath(const std::string& documentPath) {
  return DirectoryOf(documentPath) + "." + FileNameOf(documentPath) + ".lock";
}

DocumentLock& DocumentLock::operator=(DocumentLock&& other) noexcept {
  if (this != &other) {
    if (fd_ >= 0) close(fd_);
    fd_ = std::exchange(other.fd_, -1);
  }
  return *this;
}

DocumentLock::~DocumentLock() {
  if (fd_ >= 0) close(fd_);  // closing releases the process's record locks on the file
}

Result<DocumentLock> DocumentLock::Acquire(const std::string& documentPath, LockWait wait,
                                           const std::function<void()>& waiting) {
  if (!FolderTakesFiles(ParentDirectoryOf(documentPath))) return DocumentLock();
  const std::string lockPath = DocumentLockPath(documentPath);
  int fd = open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
  if (fd < 0) return CannotOpen(lockPath, errno);
  // Everyone who may edit the document may take its lock, whatever this user's umask.
  struct stat st {};
  if (fstat(fd, &st) == 0 && st.st_uid == geteuid() && (st.st_mode & 0666) != 0666)
    fchmod(fd, 0666);
  DocumentLock lock(fd);

  struct flock whole = WholeFileLock();
  if (fcntl(fd, F_SETLK, &whole) == 0) return lock;
  if (errno != EACCES && errno != EAGAIN) return CannotOpen(lockPath, errno);
  if (wait == LockWait::RefuseIfBusy) return Error{kDocumentBusyText};
  if (waiting) waiting();
  while (fcntl(fd, F_SETLKW, &whole) != 0) {
    if (errno == EINTR) continue;
    return CannotOpen(lockPath, errno);
  }
  return lock;
}

}  // namespace quenda
