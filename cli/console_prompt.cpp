#include "cli/console_prompt.h"

#include "cli/command.h"

#include <algorithm>
#include <cctype>

namespace quenda::cli {

namespace {

std::string Lowered(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return char(std::tolower(c)); });
  return text;
}

}  // namespace

std::string ConsolePrompt::Line(std::string_view text) const {
  return command_.empty() ? std::string(text) : FileMessage(command_, file_, text);
}

void ConsolePrompt::Message(std::string_view text, MessageIcon) {
  err_ << Line(text) << "\n";
}

std::optional<bool> ConsolePrompt::AskOnTerminal(std::string_view text, std::string_view yes,
                                                 std::string_view no) {
  if (!input_.interactive || !input_.in) return std::nullopt;
  // "[o]k / [c]ancel": the first letter or the whole word, in either case.
  std::string yesWord = Lowered(std::string(yes)), noWord = Lowered(std::string(no));
  err_ << Line(text) << " [" << yesWord[0] << "]" << yesWord.substr(1) << " / [" << noWord[0] << "]"
       << noWord.substr(1) << ": " << std::flush;
  std::string line;
  while (std::getline(*input_.in, line)) {
    line.erase(
        std::remove_if(line.begin(), line.end(), [](unsigned char c) { return std::isspace(c); }),
        line.end());
    line = Lowered(line);
    if (line == yesWord || line == yesWord.substr(0, 1)) return true;
    if (line == noWord || line == noWord.substr(0, 1)) return false;
    err_ << "Answer " << yesWord[0] << " (" << yes << ") or " << noWord[0] << " (" << no
         << "): " << std::flush;
  }
  err_ << "\n";  // the input ended: as closing the box
  return false;
}

bool ConsolePrompt::AskYesNo(std::string_view text) {
  if (!answerYes_)
    if (std::optional<bool> answer = AskOnTerminal(text, "Yes", "No")) return *answer;
  unanswered_ = !answerYes_;
  err_ << Line(text) << " [" << (answerYes_ ? "yes" : "no") << "]\n";
  return answerYes_;
}

bool ConsolePrompt::AskOkCancel(std::string_view text) {
  if (!answerYes_)
    if (std::optional<bool> answer = AskOnTerminal(text, "OK", "Cancel")) return *answer;
  unanswered_ = !answerYes_;
  err_ << Line(text) << " [" << (answerYes_ ? "OK" : "Cancel") << "]\n";
  return answerYes_;
}

std::optional<std::string> ConsolePrompt::PickFile(std::string_view title, std::string_view,
                                                   std::string_view) {
  err_ << Line(std::string(title) + ": no file can be picked from the command line") << "\n";
  return std::nullopt;
}

std::optional<std::string> ConsolePrompt::PickDirectory(std::string_view title, std::string_view) {
  err_ << Line(std::string(title) + ": no folder can be picked from the command line") << "\n";
  return std::nullopt;
}

LostPart ConsolePrompt::OnLostPart(std::string_view part) {
  err_ << (giveUpLostParts_ ? "dropped: " : "missing: ") << part << "\n";
  if (giveUpLostParts_) return LostPart::GiveUp;
  keptLostParts_ = true;
  return LostPart::Keep;
}

std::optional<int> ConsolePrompt::AskChoice(const ChoiceQuestion& question) {
  const std::string asked = Line(question.caption + ": " + question.text + question.field);
  if (input_.interactive && input_.in) {
    err_ << asked;
    for (std::size_t i = 0; i < question.buttons.size(); ++i)
      err_ << " [" << i + 1 << "] " << question.buttons[i];
    err_ << ": " << std::flush;
    for (std::string line; std::getline(*input_.in, line);) {
      line.erase(
          std::remove_if(line.begin(), line.end(), [](unsigned char c) { return std::isspace(c); }),
          line.end());
      line = Lowered(line);
      for (std::size_t i = 0; i < question.buttons.size(); ++i) {
        const std::string& button = question.buttons[i];
        const std::string firstWord = Lowered(button.substr(0, button.find_first_of(" .")));
        if (line == std::to_string(i + 1) || (!line.empty() && line == firstWord)) return int(i);
      }
      err_ << "Answer 1 to " << question.buttons.size() << ": " << std::flush;
    }
    err_ << "\n";  // the input ended: as closing the box
    return std::nullopt;
  }
  err_ << asked;
  for (const std::string& button : question.buttons) err_ << " [" << button << "]";
  err_ << " [no answer]\n";
  unanswered_ = true;
  return std::nullopt;
}

}  // namespace quenda::cli
