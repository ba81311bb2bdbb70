#pragma once
// The verbs of `quenda sheet` beyond building a sheet: the editing commands of the sheet's
// Edit and Levels menus, and printing. Each runs on an opened document.

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "cli/arguments.h"
#include "cli/command.h"
#include "cli/console_prompt.h"
#include "dopegrid/core/dopegrid_doc.h"

namespace quenda::cli {

// "quenda sheet: REASON" and the usage; answers 2.
int SheetUsageError(CommandIo& io, const std::string& reason);

// Verb, sheet and the words after them: how many words in all each editing verb takes, or 0
// for a verb that is not one of them.
std::size_t SheetEditWords(std::string_view verb);
// Runs one editing verb; answers the exit code, or -1 when the sheet is to be saved.
int RunSheetEdit(CDopegridDoc& doc, const std::vector<std::string>& words, const Arguments& parsed,
                 const ConsolePrompt& prompt, CommandIo& io);

// `sheet print`: the sheet's pages as a PDF file, as the program prints them.
int PrintSheetToPdf(const CDopegridDoc& doc, const std::string& sheetPath, const Arguments& parsed,
                    CommandIo& io);

// import-xdts, export-xdts, import-csv, export-csv and lipsync, which name their files in
// options of their own and are run before the other verbs' options are read.
bool IsSheetExchangeVerb(std::string_view verb);
int RunSheetExchange(std::span<const std::string> args, CommandIo& io);
// `sheet lipsync`, on the options RunSheetExchange read.
int ApplyLipSync(const Arguments& parsed, CommandIo& io);

}  // namespace quenda::cli
