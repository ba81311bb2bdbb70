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
  // Whether STOP was pressed since the last call: reading clears it, so a job that asks "are
  // you sure?" and hears No simply goes on. Read where the job may stop: after the frame in hand.
  virtual bool StopRequested() = 0;
};

// For jobs nobody watches.
class NullProgress final : public Progress {
 public:
  void SetStage(std::string_view) override {}
  void SetPercent(int) override {}
  bool StopRequested() override { return false; }
};

}  // namespace quenda
