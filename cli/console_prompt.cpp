#include "cli/console_prompt.h"

namespace quenda::cli {

void ConsolePrompt::Message(std::string_view text, MessageIcon) {
  err_ << text << "\n";
}

bool ConsolePrompt::AskYesNo(std::string_view text) {
  err_ << text << " [" << (answerYes_ ? "yes" : "no") << "]\n";
  return answerYes_;
}

bool ConsolePrompt::AskOkCancel(std::string_view text) {
  err_ << text << " [" << (answerYes_ ? "OK" : "Cancel") << "]\n";
  return answerYes_;
}

std::optional<std::string> ConsolePrompt::PickFile(std::string_view title, std::string_view,
                                                   std::string_view) {
  err_ << title << ": no file can be picked from the command line\n";
  return std::nullopt;
}

std::optional<std::string> ConsolePrompt::PickDirectory(std::string_view title, std::string_view) {
  err_ << title << ": no folder can be picked from the command line\n";
  return std::nullopt;
}

}  // namespace quenda::cli
