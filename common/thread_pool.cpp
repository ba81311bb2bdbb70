#include "common/thread_pool.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <deque>
#include <exception>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "common/frame_runner.h"

namespace quenda {
namespace {

std::atomic<int> innerThreads{0};  // 0: not set, every core
thread_local int threadShare = 0;  // 0: none; else this thread's share when nothing is set

// One ParallelFor call, shared by its caller and the helpers it asked for.
struct Run {
  const std::function<void(int)>* task;
  int count;
  std::atomic<int> next{0};
  std::atomic<bool> failed{false};
  std::mutex mutex;
  std::condition_variable idle;
  int running = 0;      // helpers inside Work()
  bool closed = false;  // the caller is done: helpers that start later do nothing
  std::exception_ptr error;

  void Work() {
    for (;;) {
      int i = next.fetch_add(1, std::memory_order_relaxed);
      if (i >= count || failed.load(std::memory_order_relaxed)) return;
      try {
        (*task)(i);
      } catch (...) {
        std::lock_guard lock(mutex);
        if (!error) error = std::current_exception();
        failed = true;
      }
    }
  }
};

// Workers started on demand and kept for the process's life; they only ever run helper turns
// of Run objects, each of which ends by itself.
class Pool {
 public:
  static Pool& Instance() {
    static Pool pool;
    return pool;
  }

  void Help(const std::shared_ptr<Run>& run, int helpers) {
    std::lock_guard lock(mutex_);
    for (int i = 0; i < helpers; ++i) queue_.push_back(run);
    // Enough workers that every helper asked for at once can run at once.
    waiting_ += helpers;
    while (int(workers_.size()) < std::min(waiting_ + busy_, kMaxWorkers))
      workers_.emplace_back([this](std::stop_token stop) { Serve(stop); });
    wake_.notify_all();
  }

  ~Pool() {
    {
      std::lock_guard lock(mutex_);
      for (auto& worker : workers_) worker.request_stop();
    }
    wake_.notify_all();
    workers_.clear();
  }

 private:
  static constexpr int kMaxWorkers = 1024;

  void Serve(std::stop_token stop) {
    std::unique_lock lock(mutex_);
    for (;;) {
      wake_.wait(lock, [&] { return stop.stop_requested() || !queue_.empty(); });
      if (stop.stop_requested()) return;
      std::shared_ptr<Run> run = std::move(queue_.front());
      queue_.pop_front();
      --waiting_;
      ++busy_;
      lock.unlock();
      bool begun;
      {
        std::lock_guard runLock(run->mutex);
        begun = !run->closed;
        if (begun) ++run->running;
      }
      if (begun) {
        run->Work();
        std::lock_guard runLock(run->mutex);
        if (--run->running == 0) run->idle.notify_all();
      }
      run.reset();
      lock.lock();
      --busy_;
    }
  }

  std::mutex mutex_;
  std::condition_variable wake_;
  std::deque<std::shared_ptr<Run>> queue_;
  int waiting_ = 0, busy_ = 0;
  std::vector<std::jthread> workers_;
};

}  // namespace

int InnerThreads() {
  int set = innerThreads.load(std::memory_order_relaxed);
  if (set > 0) return set;
  return threadShare > 0 ? threadShare : DefaultJobCount();
}

void SetInnerThreads(int threads) {
  innerThreads = std::max(threads, 1);
}

void ClearInnerThreads() {
  innerThreads = 0;
}

bool InnerThreadsSet() {
  return innerThreads.load(std::memory_order_relaxed) > 0;
}

FrameThreadShare::FrameThreadShare(int jobs) : before_(threadShare) {
  threadShare = InnerThreadsForJobs(jobs);
}

FrameThreadShare::~FrameThreadShare() {
  threadShare = before_;
}

int InnerThreadsForJobs(int jobs) {
  return std::max(DefaultJobCount() / std::max(jobs, 1), 1);
}

void ParallelFor(int count, const std::function<void(int)>& task, int threads) {
  threads = std::min(threads, count);
  if (threads <= 1) {
    for (int i = 0; i < count; ++i) task(i);
    return;
  }
  auto run = std::make_shared<Run>();
  run->task = &task;
  run->count = count;
  Pool::Instance().Help(run, threads - 1);
  run->Work();
  std::unique_lock lock(run->mutex);
  // Helpers still queued never touch `task` once closed, so returning before they are served
  // is safe; only the ones already working are waited for.
  run->closed = true;
  run->idle.wait(lock, [&] { return run->running == 0; });
  if (run->error) std::rethrow_exception(run->error);
}

void ParallelBands(int first, int last, const std::function<void(int, int)>& band, int minRows,
                   int threads) {
  const int rows = last - first;
  if (rows <= 0) return;
  const int most = std::max(rows / std::max(minRows, 1), 1);
  const int bands = std::min(std::max(threads, 1) * 4, most);
  if (bands <= 1 || threads <= 1) {
    band(first, last);
    return;
  }
  // Band b covers rows first + rows * b / bands up to the next band's start.
  auto start = [&](int b) { return first + int((long long)rows * b / bands); };
  ParallelFor(
      bands, [&](int b) { band(start(b), start(b + 1)); }, threads);
}

}  // namespace quenda
