#pragma once
// The command-line tool's Prompt: messages go to standard error, questions are answered by
// the options the user gave (--yes) or, where a command lets it, by the user on a terminal, and
// nothing is ever picked from a dialog. A document part whose files are all gone is kept unless
// the user's option gives it up: a headless run never chooses a loss.

#include <istream>
#include <ostream>
#include <string>
#include <vector>

#include "cli/command.h"
#include "common/prompt.h"

namespace quenda::cli {

// Where the user can answer a question: standard input when it is a terminal.
struct ConsoleInput {
  std::istream* in = nullptr;
  bool interactive = false;
};

class ConsolePrompt final : public Prompt {
 public:
  // `answerYes` answers every question Yes / OK. Otherwise a question is put to the user when
  // `input` is a terminal, and answered No / Cancel without one. `giveUpLostParts` drops the
  // parts OnLostPart is told of; without it they are kept, and the command saves nothing.
  ConsolePrompt(std::ostream& err, bool answerYes, bool giveUpLostParts = false,
                ConsoleInput input = {})
      : err_(err), answerYes_(answerYes), giveUpLostParts_(giveUpLostParts), input_(input) {}
  // A command's prompt: its questions go to the user whenever standard input is a terminal.
  ConsolePrompt(CommandIo& io, bool answerYes, bool giveUpLostParts = false)
      : ConsolePrompt(io.err, answerYes, giveUpLostParts, {io.in, io.interactive}) {}

  void Message(std::string_view text, MessageIcon icon) override;
  bool AskYesNo(std::string_view text) override;
  bool AskOkCancel(std::string_view text) override;
  std::optional<std::string> PickFile(std::string_view title, std::string_view filter,
                                      std::string_view startDirectory) override;
  std::optional<std::string> PickDirectory(std::string_view title,
                                           std::string_view startDirectory) override;
  // Prints "missing: PART" (kept) or "dropped: PART" (given up).
  LostPart OnLostPart(std::string_view part) override;
  // On a terminal the buttons are numbered and the user types one's number (or its first
  // word); the input ending is the box closed. Without one the question is printed with its
  // buttons and left unanswered (nothing, as a closed box): every question of this kind lets
  // the asker keep what it asks about.
  std::optional<int> AskChoice(const ChoiceQuestion& question) override;

  // Messages and questions then start "quenda COMMAND: FILE: " (the file left out while none is
  // in hand) and keep to one line, so that a log of many runs says which run and file each one
  // is about.
  void Name(std::string_view command, std::string_view file = {}) {
    command_ = command;
    file_ = file;
  }
  void SetFile(std::string_view file) { file_ = file; }

  // True when a question was answered No / Cancel because no terminal could answer it.
  bool unanswered() const { return unanswered_; }
  // True when parts whose files are all gone were kept: the document must not be saved.
  bool keptLostParts() const { return keptLostParts_; }

 private:
  // The user's answer on the terminal to `text`, asked with the two choices (No when the input
  // ends); nothing without a terminal.
  std::optional<bool> AskOnTerminal(std::string_view text, std::string_view yes,
                                    std::string_view no);
  // `text` after the command and file, once they are named.
  std::string Line(std::string_view text) const;

  std::ostream& err_;
  bool answerYes_;
  bool giveUpLostParts_;
  ConsoleInput input_;
  bool unanswered_ = false;
  bool keptLostParts_ = false;
  std::string command_;
  std::string file_;
};

}  // namespace quenda::cli
