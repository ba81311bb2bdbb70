#pragma once
// The inner thread state for one block of a test, put back after it: the count that was set
// before, or none when none was, so a test that sets threads leaves the next one the state it
// found (the windowed programs' "not set", where each frame's share counts).

#include "common/thread_pool.h"

namespace quenda::testing {

// Puts back, when it goes, the inner thread state it found: for a test that sets threads
// through the code under test (a command's --threads) rather than itself.
class InnerThreadsRestored {
 public:
  InnerThreadsRestored() : wasSet_(InnerThreadsSet()), before_(wasSet_ ? InnerThreads() : 0) {}
  ~InnerThreadsRestored() {
    if (wasSet_)
      SetInnerThreads(before_);
    else
      ClearInnerThreads();
  }
  InnerThreadsRestored(const InnerThreadsRestored&) = delete;
  InnerThreadsRestored& operator=(const InnerThreadsRestored&) = delete;

 private:
  bool wasSet_;
  int before_;
};

// Sets the count for the block, and puts back what it found when the block ends.
class InnerThreadsSetTo : InnerThreadsRestored {
 public:
  explicit InnerThreadsSetTo(int threads) { SetInnerThreads(threads); }
};

}  // namespace quenda::testing
