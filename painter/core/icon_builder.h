#pragma once
// Makes the frame strip's icons on worker threads, the frames on show first, so that opening a
// long sequence or changing a colour never waits for them. Each Start works from its own copy of
// the sequence and colours; the document goes on meanwhile.

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "common/color_set.h"
#include "common/frame_sequence.h"
#include "painter/core/frame_icons.h"

namespace quenda {

struct IconJob {
  DrawingSequence sequence;
  ColorSet colors;  // its path is the colour set's file
  int side = 0;
  IconCache cache;
};

class IconBuilder {
 public:
  // Called on a worker thread with every icon made; `job` is the number Start gave.
  using Delivery = std::function<void(uint64_t job, int frame, StripIcon icon)>;

  IconBuilder(int threads, Delivery deliver);
  ~IconBuilder();  // finishes the icons in hand and drops the rest
  IconBuilder(const IconBuilder&) = delete;
  IconBuilder& operator=(const IconBuilder&) = delete;

  // Replaces the job in hand: its remaining frames are dropped (icons being made still arrive
  // under its number). Lists the sequence's folder once for the whole job.
  uint64_t Start(IconJob job);
  void Cancel();
  // The first frame on show: the frames from it to the end are made before those before it.
  void Prefer(int first);

 private:
  struct Work;
  void Run();
  int TakeNextFrame();  // under lock_; -1 when none is left

  Delivery deliver_;
  std::mutex lock_;
  std::condition_variable wake_;
  bool stopping_ = false;
  uint64_t jobNumber_ = 0;
  std::shared_ptr<const Work> work_;
  std::vector<char> taken_;
  int remaining_ = 0;
  int preferFirst_ = 0;
  std::vector<std::thread> threads_;
};

}  // namespace quenda
