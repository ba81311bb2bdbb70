#include "cli/replace_sequence.h"

#include "common/sequence_files.h"

namespace quenda::cli {

std::optional<int> MakeRoomForSequence(CommandIo& io, std::string_view command,
                                       const std::string& directory, const std::string& name,
                                       const std::vector<std::string>& existing, bool force) {
  if (existing.empty()) return std::nullopt;
  if (!force)
    return ReportFileError(io, command, directory,
                           "holds the sequence " + name + " already (" +
                               std::to_string(existing.size()) +
                               " files); it is left as it is (--force replaces it)");
  if (Status removed = RemoveSequenceFiles(
          existing, [&](const std::string& path) { io.out << "removed " << path << "\n"; });
      !removed)
    return ReportFileError(io, command, directory, removed.message());
  return std::nullopt;
}

}  // namespace quenda::cli
