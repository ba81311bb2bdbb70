#include "scripted_prompt.h"

namespace quenda {

void ScriptedPrompt::Message(std::string_view text, MessageIcon) {
  shown_.push_back({Kind::Message, std::string(text)});
}

bool ScriptedPrompt::AskYesNo(std::string_view text) {
  shown_.push_back({Kind::YesNo, std::string(text)});
  return NextAnswer();
}

bool ScriptedPrompt::AskOkCancel(std::string_view text) {
  shown_.push_back({Kind::OkCancel, std::string(text)});
  return NextAnswer();
}

std::optional<std::string> ScriptedPrompt::PickFile(std::string_view title, std::string_view,
                                                    std::string_view) {
  shown_.push_back({Kind::PickFile, std::string(title)});
  return NextPath();
}

std::optional<std::string> ScriptedPrompt::PickDirectory(std::string_view title, std::string_view) {
  shown_.push_back({Kind::PickDirectory, std::string(title)});
  return NextPath();
}

LostPart ScriptedPrompt::OnLostPart(std::string_view part) {
  lostParts_.emplace_back(part);
  // Without answers the questions would go round for ever, as a user who never chooses can.
  return AllAnswersUsed() ? LostPart::Keep : LostPart::Ask;
}

std::optional<int> ScriptedPrompt::AskChoice(const ChoiceQuestion& question) {
  std::string text = question.caption + "\n" + question.text;
  if (!question.field.empty()) text += "\n" + question.field;
  text += "\n";
  for (std::size_t i = 0; i < question.buttons.size(); ++i)
    text += (i > 0 ? " [" : "[") + question.buttons[i] + "]";
  shown_.push_back({Kind::Choice, std::move(text)});
  if (choices_.empty()) {
    ++unexpected_;
    return std::nullopt;
  }
  std::optional<int> answer = choices_.front();
  choices_.pop_front();
  return answer;
}

std::vector<std::string> ScriptedPrompt::Texts() const {
  std::vector<std::string> texts;
  for (const Shown& s : shown_)
    if (s.kind != Kind::PickFile && s.kind != Kind::PickDirectory) texts.push_back(s.text);
  return texts;
}

bool ScriptedPrompt::NextAnswer() {
  if (answers_.empty()) {
    ++unexpected_;
    return false;
  }
  bool answer = answers_.front();
  answers_.pop_front();
  return answer;
}

std::optional<std::string> ScriptedPrompt::NextPath() {
  if (paths_.empty()) {
    ++unexpected_;
    return std::nullopt;
  }
  auto path = std::move(paths_.front());
  paths_.pop_front();
  return path;
}

}  // namespace quenda
