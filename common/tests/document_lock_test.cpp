#include "common/document_lock.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>

#include "testing/test_support.h"

namespace quenda {
namespace {

using namespace testing;

// Another process holding the lock of a document, as a second edit's: it locks the lock file
// the way DocumentLock does, says so through a pipe and keeps the lock until told to let go
// (or is killed). Only system calls after the fork, as the test program may have threads.
class LockingProcess {
 public:
  explicit LockingProcess(const std::string& documentPath) {
    const std::string lockPath = DocumentLockPath(documentPath);
    int held[2], release[2];
    if (pipe(held) != 0 || pipe(release) != 0) return;
    pid_ = fork();
    if (pid_ == 0) {
      close(held[0]);
      close(release[1]);
      int fd = open(lockPath.c_str(), O_RDWR | O_CREAT, 0666);
      struct flock whole {};
      whole.l_type = F_WRLCK;
      whole.l_whence = SEEK_SET;
      if (fd < 0 || fcntl(fd, F_SETLK, &whole) != 0) _exit(3);
      char byte = 'h';
      if (write(held[1], &byte, 1) != 1) _exit(4);
      (void)!read(release[0], &byte, 1);  // until told, or the pipe closes
      _exit(0);
    }
    close(held[1]);
    close(release[0]);
    release_ = release[1];
    char byte = 0;
    holding_ = read(held[0], &byte, 1) == 1;
    close(held[0]);
  }
  ~LockingProcess() {
    LetGo();
    if (pid_ > 0) waitpid(pid_, nullptr, 0);
  }

  bool holding() const { return holding_; }
  void LetGo() {
    if (release_ >= 0) close(release_);
    release_ = -1;
  }
  void Kill() { kill(pid_, SIGKILL); }

 private:
  pid_t pid_ = -1;
  int release_ = -1;
  bool holding_ = false;
};

TEST(DocumentLock, TheLockFileIsHiddenBesideTheDocument) {
  EXPECT_EQ(DocumentLockPath("/studio/walk.dgr"), "/studio/.walk.dgr.lock");
  EXPECT_EQ(DocumentLockPath("walk.cmp"), ".walk.cmp.lock");
}

TEST(DocumentLock, ASecondEditRefusesOrWaitsUntilTheFirstLetsGo) {
  TempDir dir;
  const std::string sheet = dir.File("walk.dgr");
  LockingProcess other(sheet);
  ASSERT_TRUE(other.holding());

  Result<DocumentLock> refused = DocumentLock::Acquire(sheet, LockWait::RefuseIfBusy);
  ASSERT_FALSE(refused.ok());
  EXPECT_EQ(refused.message(), kDocumentBusyText);

  // The wait ends only once the other process lets go, which it does when told from the
  // waiting callback: a lock taken without waiting would never have called it.
  int waited = 0;
  Result<DocumentLock> lock = DocumentLock::Acquire(sheet, LockWait::UntilFree, [&] {
    ++waited;
    other.LetGo();
  });
  ASSERT_TRUE(lock.ok()) << lock.message();
  EXPECT_TRUE(lock->held());
  EXPECT_EQ(waited, 1);
  EXPECT_EQ(ListDirectory(dir.path()), std::vector<std::string>{".walk.dgr.lock"});
}

TEST(DocumentLock, AKilledEditLeavesTheDocumentFree) {
  TempDir dir;
  const std::string composition = dir.File("walk.cmp");
  LockingProcess other(composition);
  ASSERT_TRUE(other.holding());
  other.Kill();
  Result<DocumentLock> lock = DocumentLock::Acquire(composition, LockWait::UntilFree);
  ASSERT_TRUE(lock.ok()) << lock.message();
  EXPECT_TRUE(lock->held());
}

TEST(DocumentLock, ReleasedWhenTheLockGoesAndMovesWithIt) {
  TempDir dir;
  const std::string colors = dir.File("walk.col");
  std::optional<DocumentLock> kept;
  {
    Result<DocumentLock> lock = DocumentLock::Acquire(colors, LockWait::RefuseIfBusy);
    ASSERT_TRUE(lock.ok());
    kept = std::move(*lock);
  }
  // Still held by the moved-to object: another process is refused.
  pid_t child = fork();
  if (child == 0) {
    const std::string lockPath = DocumentLockPath(colors);
    int fd = open(lockPath.c_str(), O_RDWR);
    struct flock whole {};
    whole.l_type = F_WRLCK;
    whole.l_whence = SEEK_SET;
    _exit(fd >= 0 && fcntl(fd, F_SETLK, &whole) != 0 ? 0 : 1);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  EXPECT_EQ(WEXITSTATUS(status), 0) << "the moved lock was not held";
  kept.reset();
  LockingProcess after(colors);
  EXPECT_TRUE(after.holding()) << "the lock outlived its object";
}

TEST(DocumentLock, AFolderThatTakesNoFileTakesNoLock) {
  TempDir dir;
  ASSERT_EQ(chmod(dir.path().c_str(), 0555), 0);
  Result<DocumentLock> lock = DocumentLock::Acquire(dir.File("walk.dgr"), LockWait::RefuseIfBusy);
  chmod(dir.path().c_str(), 0755);
  ASSERT_TRUE(lock.ok()) << lock.message();
  EXPECT_FALSE(lock->held());
}

TEST(DocumentLock, ALockFileThatCannotBeOpenedIsNamed) {
  TempDir dir;
  // A folder where the lock file should be: it exists but is no file to lock.
  ASSERT_EQ(mkdir(dir.File(".walk.dgr.lock").c_str(), 0755), 0);
  Result<DocumentLock> lock = DocumentLock::Acquire(dir.File("walk.dgr"), LockWait::UntilFree);
  ASSERT_FALSE(lock.ok());
  EXPECT_EQ(lock.message(),
            "cannot open the lock file " + dir.File(".walk.dgr.lock") + ": Is a directory");
}

}  // namespace
}  // namespace quenda
