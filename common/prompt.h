#pragma once
// Every message box, question and "find this file" request goes through a Prompt, so that the
// programs show dialogs, the command-line tool prints, and tests script the answers.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quenda {

enum class MessageIcon { Information, Warning, Error, Question };

// What becomes of a part of a document whose files are all gone (a sheet's sequence, a
// composition's clip), where the programs ask the user to find it or give it up.
enum class LostPart {
  Ask,     // the program's questions follow
  Keep,    // the part stays as stored: nothing is lost without a word
  GiveUp,  // the part is dropped without a question
};

// A question whose buttons the asker names, in a box of its own caption; `field` (when not
// empty) is shown under the text in a read-only field, for a name the user may want to copy.
struct ChoiceQuestion {
  std::string caption;
  std::string text;
  std::string field;
  std::vector<std::string> buttons;  // left to right
};

class Prompt {
 public:
  virtual ~Prompt() = default;

  // A message box with an OK button.
  virtual void Message(std::string_view text, MessageIcon icon = MessageIcon::Information) = 0;
  // True for Yes.
  virtual bool AskYesNo(std::string_view text) = 0;
  // True for OK.
  virtual bool AskOkCancel(std::string_view text) = 0;
  // A file to open; nothing when the user cancels. `filter` is "Description (*.ext)".
  virtual std::optional<std::string> PickFile(std::string_view title, std::string_view filter,
                                              std::string_view startDirectory) = 0;
  // A directory, ending with '/'; nothing when the user cancels.
  virtual std::optional<std::string> PickDirectory(std::string_view title,
                                                   std::string_view startDirectory) = 0;
  // Asked once for each part of a document whose files are all gone, before any question
  // about it; `part` names it for the user ("sequence "walk" (/shots/walk/)"). The programs
  // ask the user; a prompt with no one to find a file answers Keep or GiveUp.
  virtual LostPart OnLostPart(std::string_view /*part*/) { return LostPart::Ask; }
  // The index of the button chosen; nothing when the box was closed without one. A prompt
  // with no one to ask answers nothing, so the asker must let nothing be lost on it.
  virtual std::optional<int> AskChoice(const ChoiceQuestion& /*question*/) { return std::nullopt; }
};

}  // namespace quenda
