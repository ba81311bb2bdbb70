#pragma once
// A disk that fills: WriteLimit counts the bytes of the suite's own writer after the given
// number; FileSizeLimit is a real limit on the size of every file this process writes
// (RLIMIT_FSIZE), which libraries' own file writes meet too. Both last as long as the object.

#include <sys/resource.h>

#include <csignal>
#include <functional>
#include <string>
#include <utility>

#include "common/atomic_file.h"
#include "common/result.h"

namespace quenda::testing {

class WriteLimit {
 public:
  explicit WriteLimit(long long bytes) { SetWriteLimitForTesting(bytes); }
  ~WriteLimit() { SetWriteLimitForTesting(-1); }
  WriteLimit(const WriteLimit&) = delete;
  WriteLimit& operator=(const WriteLimit&) = delete;
};

// Writes past `bytes` fail with EFBIG, as on a full disk, instead of raising SIGXFSZ.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) : oldHandler_(std::signal(SIGXFSZ, SIG_IGN)) {
    getrlimit(RLIMIT_FSIZE, &old_);
    rlimit limit = old_;
    limit.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &limit);
  }
  ~FileSizeLimit() {
    setrlimit(RLIMIT_FSIZE, &old_);
    std::signal(SIGXFSZ, oldHandler_);
  }
  FileSizeLimit(const FileSizeLimit&) = delete;
  FileSizeLimit& operator=(const FileSizeLimit&) = delete;

 private:
  void (*oldHandler_)(int);
  rlimit old_{};
};

// Runs `write` against `path` made read-only, then on a disk that fills after `limit` bytes, and
// returns the two messages; the folder and the old file must come out of both as they went in.
std::pair<std::string, std::string> FailedWriteMessages(const std::string& path, long long limit,
                                                        const std::function<Status()>& write);

}  // namespace quenda::testing
