#pragma once
// Long jobs report their stage and percent through Progress and read STOP from it between
// frames; what the window or terminal does with that is the caller's business.

#include <string_view>

namespace quenda {

class Progress {
 public:
  virtual ~Progress() = default;
  virtual void SetStage(std::string_view text) = 0;
  virtual void SetPercent(int percent) = 0;
  // What the job is at as a whole, for a display with a caption over its stage text (the
  // programs' progress windows show it as their title); others need not show it.
  virtual void SetCaption(std::string_view /*text*/) {}
  // Whether STOP was pressed since the last call: reading clears it, so a job that asks "are
  // you sure?" and hears No simply goes on. Read where the job may stop: after the frame in hand.
  virtual bool StopRequested() = 0;
  // Jobs that make whole frames say how many they will make, then each frame (numbered as the
  // user counts them) once it is in place in `file` - its own file, or the movie it joined.
  // Displays that count frames use them; the programs' progress windows need not.
  virtual void FramesPlanned(int /*count*/) {}
  virtual void FrameCommitted(int /*frameNumber*/, std::string_view /*file*/) {}
};

// For jobs nobody watches.
class NullProgress final : public Progress {
 public:
  void SetStage(std::string_view) override {}
  void SetPercent(int) override {}
  bool StopRequested() override { return false; }
};

}  // namespace quenda
