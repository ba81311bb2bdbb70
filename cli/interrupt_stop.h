#pragma once
// Ctrl-C (SIGINT) or SIGTERM during a long job does what STOP does in the programs: the job
// ends after the frame in hand, keeps what it finished as whole files (a movie is closed with
// the frames written so far), and the tool exits with 128 + the signal, 130 for Ctrl-C.
// A second signal ends the process at once.

#include <optional>
#include <string>
#include <string_view>

#include "common/progress.h"
#include "common/prompt.h"

namespace quenda::cli {

class InterruptStop final : public Progress {
 public:
  // Catches the signals while it lives; `prompt` asks everything but the stop question.
  explicit InterruptStop(Prompt& prompt);
  ~InterruptStop() override;
  InterruptStop(const InterruptStop&) = delete;
  InterruptStop& operator=(const InterruptStop&) = delete;

  void SetStage(std::string_view) override {}
  void SetPercent(int) override {}
  bool StopRequested() override;

  // The prompt to hand the job with this progress: the job's "stop?" question right after an
  // interrupt is answered Yes, as the user who pressed Ctrl-C meant.
  Prompt& prompt() { return confirming_; }

  // 128 + the signal after an interrupt, `code` otherwise.
  int ExitCode(int code) const;
  bool Interrupted() const;

 private:
  class ConfirmingPrompt final : public Prompt {
   public:
    explicit ConfirmingPrompt(Prompt& inner) : inner_(inner) {}
    void Message(std::string_view text, MessageIcon icon) override { inner_.Message(text, icon); }
    bool AskYesNo(std::string_view text) override;
    bool AskOkCancel(std::string_view text) override;
    std::optional<std::string> PickFile(std::string_view title, std::string_view filter,
                                        std::string_view startDirectory) override {
      return inner_.PickFile(title, filter, startDirectory);
    }
    std::optional<std::string> PickDirectory(std::string_view title,
                                             std::string_view startDirectory) override {
      return inner_.PickDirectory(title, startDirectory);
    }

    bool stopAsked = false;  // set when StopRequested answered true, cleared by the next question

   private:
    Prompt& inner_;
  };

  ConfirmingPrompt confirming_;
};

}  // namespace quenda::cli
