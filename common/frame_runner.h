#pragma once
// Frames of a long job computed by several workers and committed strictly in frame order.
//
// A frame's result (its picture, its regions) is made on a worker; only the calling thread
// commits it (writes its file, shows its messages, reads STOP), and only after every earlier
// frame was committed. So a run that ends at a frame - STOP, Ctrl-C, a failure - has written
// exactly what a one-worker run ending there writes: the work done ahead is dropped unseen.
// At most `jobs` + 1 frames are held at once, so memory stays bounded on long ranges.

#include <algorithm>
#include <condition_variable>
#include <exception>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <type_traits>
#include <utility>
#include <vector>

#include "common/prompt.h"
#include "common/thread_pool.h"

namespace quenda {

// Workers a job gets unless told otherwise: a farm's SLURM_CPUS_PER_TASK when set, otherwise
// the machine's cores (at least 1).
int DefaultJobCount();

// What a frame made ahead says, held back until the frame is committed in its turn, so the
// messages come out in frame order and a dropped frame says nothing. Workers ask no questions;
// one that did would get the answer that loses nothing (No, Cancel, no file).
class DeferredPrompt final : public Prompt {
 public:
  void Message(std::string_view text, MessageIcon icon = MessageIcon::Information) override {
    said_.push_back({std::string(text), icon});
  }
  bool AskYesNo(std::string_view) override { return false; }
  bool AskOkCancel(std::string_view) override { return false; }
  std::optional<std::string> PickFile(std::string_view, std::string_view,
                                      std::string_view) override {
    return std::nullopt;
  }
  std::optional<std::string> PickDirectory(std::string_view, std::string_view) override {
    return std::nullopt;
  }
  LostPart OnLostPart(std::string_view) override { return LostPart::Keep; }
  // A status line (not a message box), kept in its place among the messages.
  void Note(std::string_view text) { said_.push_back({std::string(text), std::nullopt}); }

  // Shows what was said, in order - messages to `prompt`, notes to `note` when given - and
  // forgets it.
  void Replay(Prompt& prompt, const std::function<void(const std::string&)>& note = {}) {
    for (const Said& said : said_) {
      if (said.icon)
        prompt.Message(said.text, *said.icon);
      else if (note)
        note(said.text);
    }
    said_.clear();
  }

 private:
  struct Said {
    std::string text;
    std::optional<MessageIcon> icon;  // none for a note
  };
  std::vector<Said> said_;
};

// Runs compute(f) for f = first..last on up to `jobs` threads and commit(f, result) on the
// calling thread for each frame in order; commit answers false to end the run there. Answers
// the number of frames committed. With one job everything runs on the calling thread, frame by
// frame. An exception from compute is thrown again from here when its frame's turn comes.
template <class Compute, class Commit>
int RunFramesInOrder(int first, int last, int jobs, Compute&& compute, Commit&& commit) {
  using Frame = std::invoke_result_t<Compute&, int>;
  if (last < first) return 0;
  const int count = last - first + 1;
  jobs = std::clamp(jobs, 1, count);
  int committed = 0;
  if (jobs == 1) {
    for (int f = first; f <= last; ++f) {
      Frame frame = compute(f);
      ++committed;
      if (!commit(f, frame)) break;
    }
    return committed;
  }

  const int window = jobs + 1;  // frames computed or in hand, the one being committed included
  std::vector<std::optional<Frame>> ready(static_cast<std::size_t>(window));
  std::vector<std::exception_ptr> failed(static_cast<std::size_t>(window));
  std::mutex mutex;
  std::condition_variable changed;
  int nextToStart = first, nextToCommit = first;
  bool ending = false;
  auto slot = [&](int f) { return std::size_t((f - first) % window); };

  auto work = [&] {
    // Frames made at once share the cores, unless the inner thread count was set.
    const FrameThreadShare share(jobs);
    for (;;) {
      int f;
      {
        std::unique_lock lock(mutex);
        changed.wait(lock, [&] {
          return ending || nextToStart > last || nextToStart < nextToCommit + window;
        });
        if (ending || nextToStart > last) return;
        f = nextToStart++;
      }
      std::optional<Frame> made;
      std::exception_ptr error;
      try {
        made.emplace(compute(f));
      } catch (...) {
        error = std::current_exception();
      }
      std::lock_guard lock(mutex);
      ready[slot(f)] = std::move(made);
      failed[slot(f)] = error;
      changed.notify_all();
    }
  };

  struct Workers {
    std::vector<std::jthread> threads;
    std::mutex& mutex;
    std::condition_variable& changed;
    bool& ending;
    ~Workers() {
      {
        std::lock_guard lock(mutex);
        ending = true;
      }
      changed.notify_all();
      threads.clear();  // joins: a frame in hand is finished and dropped
    }
  } workers{{}, mutex, changed, ending};
  for (int i = 0; i < jobs; ++i) workers.threads.emplace_back(work);

  for (int f = first; f <= last; ++f) {
    std::optional<Frame> frame;
    {
      std::unique_lock lock(mutex);
      changed.wait(lock, [&] { return ready[slot(f)] || failed[slot(f)]; });
      if (failed[slot(f)]) std::rethrow_exception(std::exchange(failed[slot(f)], nullptr));
      frame = std::move(ready[slot(f)]);
      ready[slot(f)].reset();
    }
    ++committed;
    bool goOn = commit(f, *frame);
    frame.reset();
    {
      std::lock_guard lock(mutex);
      ++nextToCommit;
    }
    changed.notify_all();
    if (!goOn) break;
  }
  return committed;
}

}  // namespace quenda
