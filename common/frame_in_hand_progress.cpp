#include "common/frame_in_hand_progress.h"

namespace quenda {

void FrameInHandProgress::SetStage(std::string_view text) {
  std::lock_guard lock(mutex_);
  run_.SetStage(text);
}

void FrameInHandProgress::SetPercent(int percent) {
  std::lock_guard lock(mutex_);
  run_.SetPercent(percent);
}

void FrameInHandProgress::SetCaption(std::string_view text) {
  std::lock_guard lock(mutex_);
  run_.SetCaption(text);
}

bool FrameInHandProgress::StopRequested() {
  std::lock_guard lock(mutex_);
  return run_.StopRequested();
}

void FrameInHandProgress::FramesPlanned(int count) {
  std::lock_guard lock(mutex_);
  run_.FramesPlanned(count);
}

void FrameInHandProgress::FrameCommitted(int frameNumber, std::string_view file) {
  std::lock_guard lock(mutex_);
  run_.FrameCommitted(frameNumber, file);
}

void FrameInHandProgress::Committed(int frame) {
  std::lock_guard lock(mutex_);
  inHand_ = frame + 1;
}

void FrameInHandProgress::FrameStage(int frame, std::string_view text) {
  std::lock_guard lock(mutex_);
  if (frame == inHand_) run_.SetStage(text);
}

}  // namespace quenda
