#pragma once
// A disk that fills after the given number of bytes, for as long as the object lives.

#include "common/atomic_file.h"

namespace quenda::testing {

class WriteLimit {
 public:
  explicit WriteLimit(long long bytes) { SetWriteLimitForTesting(bytes); }
  ~WriteLimit() { SetWriteLimitForTesting(-1); }
  WriteLimit(const WriteLimit&) = delete;
  WriteLimit& operator=(const WriteLimit&) = delete;
};

}  // namespace quenda::testing
