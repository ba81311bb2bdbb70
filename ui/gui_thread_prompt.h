#pragma once
// A Prompt for jobs on a worker thread: every question is handed to the user-interface thread,
// asked there through the wrapped Prompt, and the worker waits for the answer. Called on the
// user-interface thread itself, it asks directly.

#include <QObject>
#include <QPointer>

#include "common/prompt.h"

namespace quenda {

class GuiThreadPrompt final : public Prompt {
 public:
  // `inner` asks the user (a QtPrompt, or a scripted one in tests); `guiContext` is any object
  // living on the user-interface thread, whose event loop must run while a worker asks.
  GuiThreadPrompt(Prompt& inner, QObject* guiContext);

  void Message(std::string_view text, MessageIcon icon = MessageIcon::Information) override;
  bool AskYesNo(std::string_view text) override;
  bool AskOkCancel(std::string_view text) override;
  std::optional<std::string> PickFile(std::string_view title, std::string_view filter,
                                      std::string_view startDirectory) override;
  std::optional<std::string> PickDirectory(std::string_view title,
                                           std::string_view startDirectory) override;
  LostPart OnLostPart(std::string_view part) override;
  std::optional<int> AskChoice(const ChoiceQuestion& question) override;

 private:
  template <class Call>
  void OnGuiThread(Call&& call);

  Prompt& inner_;
  QPointer<QObject> context_;
};

}  // namespace quenda
