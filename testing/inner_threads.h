#pragma once
// The inner thread count for one block of a test, put back after it.

#include "common/thread_pool.h"

namespace quenda::testing {

class InnerThreadsSetTo {
 public:
  explicit InnerThreadsSetTo(int threads) : before_(InnerThreads()) { SetInnerThreads(threads); }
  ~InnerThreadsSetTo() { SetInnerThreads(before_); }
  InnerThreadsSetTo(const InnerThreadsSetTo&) = delete;
  InnerThreadsSetTo& operator=(const InnerThreadsSetTo&) = delete;

 private:
  int before_;
};

}  // namespace quenda::testing
