#pragma once
// The command-line tool's Prompt: messages go to standard error, questions are answered by
// the options the user gave (--yes), and nothing is ever picked from a dialog.

#include <ostream>

#include "common/prompt.h"

namespace quenda::cli {

class ConsolePrompt final : public Prompt {
 public:
  ConsolePrompt(std::ostream& err, bool answerYes) : err_(err), answerYes_(answerYes) {}

  void Message(std::string_view text, MessageIcon icon) override;
  bool AskYesNo(std::string_view text) override;
  bool AskOkCancel(std::string_view text) override;
  std::optional<std::string> PickFile(std::string_view title, std::string_view filter,
                                      std::string_view startDirectory) override;
  std::optional<std::string> PickDirectory(std::string_view title,
                                           std::string_view startDirectory) override;

 private:
  std::ostream& err_;
  bool answerYes_;
};

}  // namespace quenda::cli
