#pragma once
// A Prompt for tests and unattended runs: records every text it is shown and answers from
// queues. A question with no queued answer is answered No / Cancel (a closed box for a choice)
// and counted as unexpected;
// a lost part is asked about only while answers are queued, and kept otherwise.

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "progress.h"
#include "prompt.h"

namespace quenda {

class ScriptedPrompt final : public Prompt {
 public:
  enum class Kind { Message, YesNo, OkCancel, PickFile, PickDirectory, Choice };
  struct Shown {
    Kind kind;
    std::string text;
  };

  void QueueAnswer(bool yesOrOk) { answers_.push_back(yesOrOk); }
  void QueuePath(std::optional<std::string> path) { paths_.push_back(std::move(path)); }
  // The index of the button to press; nothing closes the box.
  void QueueChoice(std::optional<int> button) { choices_.push_back(button); }

  void Message(std::string_view text, MessageIcon icon) override;
  bool AskYesNo(std::string_view text) override;
  bool AskOkCancel(std::string_view text) override;
  std::optional<std::string> PickFile(std::string_view title, std::string_view filter,
                                      std::string_view startDirectory) override;
  std::optional<std::string> PickDirectory(std::string_view title,
                                           std::string_view startDirectory) override;
  LostPart OnLostPart(std::string_view part) override;
  // Recorded as the caption, the text, the field (when there is one) and "[button] ..." on
  // lines of their own.
  std::optional<int> AskChoice(const ChoiceQuestion& question) override;

  const std::vector<Shown>& shown() const { return shown_; }
  // The texts of every message and question, in order.
  std::vector<std::string> Texts() const;
  int unexpected() const { return unexpected_; }
  // The parts named to OnLostPart, in order.
  const std::vector<std::string>& lostParts() const { return lostParts_; }
  bool AllAnswersUsed() const { return answers_.empty() && paths_.empty() && choices_.empty(); }
  void Clear() { shown_.clear(); }

 private:
  bool NextAnswer();
  std::optional<std::string> NextPath();

  std::vector<Shown> shown_;
  std::vector<std::string> lostParts_;
  std::deque<bool> answers_;
  std::deque<std::optional<std::string>> paths_;
  std::deque<std::optional<int>> choices_;
  int unexpected_ = 0;
};

// A Progress that records what a job reported, and a user who presses STOP again before every
// check after the first `stopAfterChecks` (never, when negative).
class ScriptedProgress final : public Progress {
 public:
  explicit ScriptedProgress(int stopAfterChecks = -1) : stopAfter_(stopAfterChecks) {}
  void SetStage(std::string_view text) override { stages.emplace_back(text); }
  void SetPercent(int percent) override { percents.push_back(percent); }
  void SetCaption(std::string_view text) override { captions.emplace_back(text); }
  bool StopRequested() override { return stopAfter_ >= 0 && ++checks_ > stopAfter_; }

  std::vector<std::string> stages;
  std::vector<std::string> captions;
  std::vector<int> percents;

 private:
  int stopAfter_;
  int checks_ = 0;
};

}  // namespace quenda
