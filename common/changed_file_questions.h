#pragma once
// The questions of a program whose document's files another program changed while it held
// them: whether to read them again, and, before saving over them, whether to.

#include <string>
#include <vector>

#include "common/prompt.h"

namespace quenda {

// Before saving over the files `names`, which changed on disk: "Overwrite", "Save As…" or
// "Cancel". A prompt with no one to ask cancels.
enum class ChangedFileAnswer { Overwrite, SaveAs, Cancel };
ChangedFileAnswer AskBeforeOverwriting(Prompt& prompt, const std::string& caption,
                                       const std::vector<std::string>& names);

// Before deleting or moving the files `names`, which changed on disk: whether to go on.
// `consequence` ends the question ("Deleting the frame removes those changes."), `goOn` names
// the button that goes on; "Cancel", and a prompt with no one to ask, stop.
bool AskBeforeActingOnChanged(Prompt& prompt, const std::string& caption,
                              const std::vector<std::string>& names, const std::string& consequence,
                              const std::string& goOn);

// Whether to read the files `names` again after another program changed them; `modified` says
// that the program holds changes of its own, which reloading drops.
bool AskToReload(Prompt& prompt, const std::string& caption, const std::vector<std::string>& names,
                 bool modified);

// The file names of `paths`, as the questions name them.
std::vector<std::string> FileNamesOf(const std::vector<std::string>& paths);

}  // namespace quenda
