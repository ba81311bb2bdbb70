#include "common/late_close.h"

#include <unistd.h>

#include <atomic>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

namespace quenda {
namespace {

// Set once the closer below is gone, as the process ends: a late writer then closes itself.
std::atomic<bool> closerGone{false};

class Closer {
 public:
  ~Closer() {
    {
      std::lock_guard lock(mutex_);
      ending_ = true;
    }
    wake_.notify_all();
    if (thread_.joinable()) thread_.join();  // closes what is left first
    closerGone = true;
  }

  void Add(int fd) {
    {
      std::lock_guard lock(mutex_);
      waiting_.push_back(fd);
      if (!thread_.joinable()) thread_ = std::thread([this] { Serve(); });
    }
    wake_.notify_one();
  }

  void Wait() {
    std::unique_lock lock(mutex_);
    idle_.wait(lock, [&] { return waiting_.empty() && !closing_; });
  }

 private:
  void Serve() {
    std::unique_lock lock(mutex_);
    for (;;) {
      wake_.wait(lock, [&] { return ending_ || !waiting_.empty(); });
      if (waiting_.empty()) return;  // ending, and nothing left
      const int fd = waiting_.front();
      waiting_.pop_front();
      closing_ = true;
      lock.unlock();
      ::close(fd);
      lock.lock();
      closing_ = false;
      idle_.notify_all();
    }
  }

  std::mutex mutex_;
  std::condition_variable wake_, idle_;
  std::deque<int> waiting_;
  bool closing_ = false;
  bool ending_ = false;
  std::thread thread_;
};

Closer& TheCloser() {
  static Closer closer;
  return closer;
}

}  // namespace

void CloseLater(int fd) {
  if (fd < 0) return;
  if (closerGone) {
    ::close(fd);
    return;
  }
  TheCloser().Add(fd);
}

void WaitForLateCloses() {
  if (!closerGone) TheCloser().Wait();
}

}  // namespace quenda
