#pragma once
// The commands that change a document (sheet, comp, colors) hold its lock from before they read
// it until it is saved, so that two runs at once cannot drop each other's edit.

#include <optional>
#include <string>
#include <string_view>

#include "cli/command.h"
#include "common/document_lock.h"

namespace quenda::cli {

// The lock of `path` for one edit by `quenda COMMAND`, saying on standard error when it waits
// for another edit; nothing, with the reason printed, when it is refused.
std::optional<DocumentLock> LockDocumentForEdit(const std::string& path, bool noWait,
                                                std::string_view command, CommandIo& io);

}  // namespace quenda::cli
