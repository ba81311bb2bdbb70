#include "ui/gui_thread_prompt.h"

#include <QMetaObject>
#include <QThread>
#include <string>

namespace quenda {

GuiThreadPrompt::GuiThreadPrompt(Prompt& inner, QObject* guiContext)
    : inner_(inner), context_(guiContext) {}

template <class Call>
void GuiThreadPrompt::OnGuiThread(Call&& call) {
  QObject* context = context_.data();
  if (context == nullptr || QThread::currentThread() == context->thread()) {
    call();
    return;
  }
  // The call refers to the worker's texts and answer; the worker waits here until it has run,
  // so they stay valid. A context deleted meanwhile drops the call and releases the wait.
  QMetaObject::invokeMethod(context, std::forward<Call>(call), Qt::BlockingQueuedConnection);
}

void GuiThreadPrompt::Message(std::string_view text, MessageIcon icon) {
  OnGuiThread([&] { inner_.Message(text, icon); });
}

bool GuiThreadPrompt::AskYesNo(std::string_view text) {
  bool answer = false;
  OnGuiThread([&] { answer = inner_.AskYesNo(text); });
  return answer;
}

bool GuiThreadPrompt::AskOkCancel(std::string_view text) {
  bool answer = false;
  OnGuiThread([&] { answer = inner_.AskOkCancel(text); });
  return answer;
}

std::optional<std::string> GuiThreadPrompt::PickFile(std::string_view title,
                                                     std::string_view filter,
                                                     std::string_view startDirectory) {
  std::optional<std::string> answer;
  OnGuiThread([&] { answer = inner_.PickFile(title, filter, startDirectory); });
  return answer;
}

std::optional<std::string> GuiThreadPrompt::PickDirectory(std::string_view title,
                                                          std::string_view startDirectory) {
  std::optional<std::string> answer;
  OnGuiThread([&] { answer = inner_.PickDirectory(title, startDirectory); });
  return answer;
}

LostPart GuiThreadPrompt::OnLostPart(std::string_view part) {
  LostPart answer = LostPart::Keep;
  OnGuiThread([&] { answer = inner_.OnLostPart(part); });
  return answer;
}

std::optional<int> GuiThreadPrompt::AskChoice(const ChoiceQuestion& question) {
  std::optional<int> answer;
  OnGuiThread([&] { answer = inner_.AskChoice(question); });
  return answer;
}

}  // namespace quenda
