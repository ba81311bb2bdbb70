#pragma once
// What the two halves of `quenda comp` share: the building actions (command_comp.cpp) and the
// key, clip and settings actions that change what is built (command_comp_edit.cpp).

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "cli/arguments.h"
#include "cli/command.h"
#include "cli/console_prompt.h"
#include "composer/core/composer_doc.h"

namespace quenda::cli::comp {

// Prints the reason and the usage; returns 2.
int UsageError(CommandIo& io, const std::string& reason);
// After a clip picture was refused: how to mend it, when it is run-length compressed.
void HintAtCompressedPicture(CommandIo& io, const std::string& picture);
// A finite or infinite decimal number, not NaN.
std::optional<double> ParseNumber(const std::string& text);
// "RRGGBB" in hexadecimal as the document's 0x00BBGGRR.
std::optional<uint32_t> ParseBackground(const std::string& text);

struct EditRun {
  const Arguments& parsed;
  const std::vector<std::string>& words;  // the action, the composition, then its own words
  CComposerDoc& doc;
  ConsolePrompt& prompt;
  CommandIo& io;
};

// An edit action's answer: the document changed and is to be saved, or the exit code of a run
// that saves nothing.
inline constexpr int kSaveDocument = -1;

// The movie's settings and a line per clip; with `keys` also each clip's keys (frames from 1,
// with their eases) and what it shows before its start and after its end.
void ListClips(const Composition& c, CommandIo& io, bool keys = false);

// Runs a key, clip or settings action; nothing when `words[0]` names none of them.
std::optional<int> RunEditAction(EditRun& run);

}  // namespace quenda::cli::comp
