#include "painter/core/icon_builder.h"

#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <utility>

namespace quenda {

struct IconBuilder::Work {
  IconJob job;
  FolderListing folder;

  FramePaths PathsOf(int frame) const {
    const FrameTag& tag = job.sequence.frames[std::size_t(frame)];
    return {SequenceFilePath(job.sequence, tag, ".qds", folder),
            SequenceFilePath(job.sequence, tag, ".rgn", folder),
            SequenceFilePath(job.sequence, tag, ".pnt", folder)};
  }
};

IconBuilder::IconBuilder(int threads, Delivery deliver) : deliver_(std::move(deliver)) {
  for (int i = 0; i < std::max(threads, 1); ++i) threads_.emplace_back([this] { Run(); });
}

IconBuilder::~IconBuilder() {
  {
    std::lock_guard guard(lock_);
    stopping_ = true;
  }
  wake_.notify_all();
  for (std::thread& thread : threads_) thread.join();
}

uint64_t IconBuilder::Start(IconJob job) {
  FolderListing folder = SequenceFolder(job.sequence);
  auto work = std::make_shared<const Work>(Work{std::move(job), std::move(folder)});
  uint64_t number = 0;
  {
    std::lock_guard guard(lock_);
    number = ++jobNumber_;
    const int frames = int(work->job.sequence.frames.size());
    work_ = std::move(work);
    taken_.assign(std::size_t(frames), 0);
    remaining_ = frames;
  }
  wake_.notify_all();
  return number;
}

void IconBuilder::Cancel() {
  std::lock_guard guard(lock_);
  ++jobNumber_;
  work_.reset();
  taken_.clear();
  remaining_ = 0;
}

void IconBuilder::Prefer(int first) {
  std::lock_guard guard(lock_);
  preferFirst_ = std::max(first, 0);
}

int IconBuilder::TakeNextFrame() {
  if (remaining_ == 0) return -1;
  const int frames = int(taken_.size());
  const int start = std::min(preferFirst_, frames);
  // The frames from the first on show to the end, then those before it.
  int frame = -1;
  for (int i = start; i < frames && frame < 0; ++i)
    if (!taken_[std::size_t(i)]) frame = i;
  for (int i = 0; i < start && frame < 0; ++i)
    if (!taken_[std::size_t(i)]) frame = i;
  if (frame < 0) return -1;
  taken_[std::size_t(frame)] = 1;
  --remaining_;
  return frame;
}

void IconBuilder::Run() {
  // Icons wait for the interface, never the other way round: on a busy machine the window's own
  // work (the first frame, a brush stroke) gets the cores first. Linux keeps a nice value per
  // thread, so only this worker is lowered.
  (void)setpriority(PRIO_PROCESS, id_t(gettid()), 10);
  for (;;) {
    std::shared_ptr<const Work> work;
    uint64_t number = 0;
    int frame = -1;
    {
      std::unique_lock guard(lock_);
      wake_.wait(guard, [this] { return stopping_ || remaining_ > 0; });
      if (stopping_) return;
      frame = TakeNextFrame();
      work = work_;
      number = jobNumber_;
    }
    if (frame < 0 || !work) continue;
    StripIcon icon = work->job.cache.Get(work->PathsOf(frame), work->job.colors, work->job.side);
    deliver_(number, frame, std::move(icon));
  }
}

}  // namespace quenda
