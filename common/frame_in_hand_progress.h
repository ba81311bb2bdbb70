#pragma once
// Stage texts of frames made on workers (RunFramesInOrder): only the frame the run waits for
// next, the work in hand, says what it is doing through the run's progress; frames made ahead
// stay quiet, so the texts come in frame order. The run's own reports pass through here too,
// and every call reaches the run's progress under one lock, from whichever thread.

#include <mutex>
#include <string_view>

#include "common/progress.h"

namespace quenda {

class FrameInHandProgress final : public Progress {
 public:
  // `first` is the frame the run waits for first.
  FrameInHandProgress(Progress& run, int first) : run_(run), inHand_(first) {}

  // The run's own reports, from the thread that commits the frames.
  void SetStage(std::string_view text) override;
  void SetPercent(int percent) override;
  void SetCaption(std::string_view text) override;
  bool StopRequested() override;
  void FramesPlanned(int count) override;
  void FrameCommitted(int frameNumber, std::string_view file) override;
  // Frame `frame` is done with: the run waits for the next one now.
  void Committed(int frame);

  // What a worker hands the making of one frame: its stage texts while it is the frame in
  // hand; its percents are the frame's own, and the run's bar counts frames, so they are not
  // passed on. It never asks to stop: the run stops between frames.
  class Frame final : public Progress {
   public:
    Frame(FrameInHandProgress& owner, int frame) : owner_(owner), frame_(frame) {}
    void SetStage(std::string_view text) override { owner_.FrameStage(frame_, text); }
    void SetPercent(int) override {}
    bool StopRequested() override { return false; }

   private:
    FrameInHandProgress& owner_;
    int frame_;
  };
  Frame ForFrame(int frame) { return Frame(*this, frame); }

 private:
  void FrameStage(int frame, std::string_view text);

  Progress& run_;
  std::mutex mutex_;
  int inHand_;
};

}  // namespace quenda
