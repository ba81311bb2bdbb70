#pragma once
// Threads inside one frame's work: the composer's bands, Dopegrid's levels, the analyzer's
// stripes. One pool serves the whole process, so frames made at once (--jobs) and the work
// inside each share the same workers instead of each starting threads of its own.
//
// The work is split by the caller into `count` independent tasks; which thread runs which task
// is free, so every task writes only its own part of the result and the result is the same
// with any number of threads.

#include <functional>

namespace quenda {

// Threads one frame's work may use: what SetInnerThreads set, otherwise this thread's
// FrameThreadShare, otherwise every core this process may use (DefaultJobCount()).
int InnerThreads();

// Sets InnerThreads: --threads N, or the cores divided among --jobs frames at once (at least 1).
void SetInnerThreads(int threads);
// Forgets what SetInnerThreads set: the state of the windowed programs, which never set it.
void ClearInnerThreads();
// Whether SetInnerThreads was called (and not forgotten since): a count that was set stands
// over a thread's FrameThreadShare, so whoever changes it for a while must know which to restore.
bool InnerThreadsSet();

// The inner threads each of `jobs` frames made at once gets when --threads is not given: the
// cores divided among them, at least 1, so the two never oversubscribe the machine.
int InnerThreadsForJobs(int jobs);

// While it lives, on the thread that made it: when SetInnerThreads was not called (the windowed
// programs), InnerThreads() there answers InnerThreadsForJobs(jobs), so `jobs` frames made at
// once share the cores instead of each taking all of them. A count that was set stands.
// RunFramesInOrder's workers each hold one.
class FrameThreadShare {
 public:
  explicit FrameThreadShare(int jobs);
  ~FrameThreadShare();
  FrameThreadShare(const FrameThreadShare&) = delete;
  FrameThreadShare& operator=(const FrameThreadShare&) = delete;

 private:
  int before_;
};

// Runs task(i) for every i in [0, count) on up to `threads` threads, the calling thread one of
// them, and returns when every task has run. The first exception a task throws is thrown again
// here once the others have stopped (tasks not yet started then do not start). A task may call
// ParallelFor itself: a caller never waits on a worker that has not begun.
void ParallelFor(int count, const std::function<void(int)>& task, int threads = InnerThreads());

// Splits rows [first, last) into bands of at least `minRows` rows and runs band(begin, end) on
// each through ParallelFor: a few bands per thread, so a thread that finishes early takes
// another. One thread (or too few rows) runs band(first, last) on the calling thread.
void ParallelBands(int first, int last, const std::function<void(int, int)>& band, int minRows = 16,
                   int threads = InnerThreads());

}  // namespace quenda
