#pragma once
// Writing a sequence under a name that already has one: the old drawings, with their region
// and paint files, would otherwise be overwritten in part, and the rest would join the new
// sequence describing other pictures.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "cli/command.h"

namespace quenda::cli {

// `existing` lists the files of the sequence `name` in `directory`. Without `force` a sequence
// there is left as it is and said so (exit code 1); with it every listed file is removed, each
// named on standard output. nullopt when the run may go on.
std::optional<int> MakeRoomForSequence(CommandIo& io, std::string_view command,
                                       const std::string& directory, const std::string& name,
                                       const std::vector<std::string>& existing, bool force);

}  // namespace quenda::cli
