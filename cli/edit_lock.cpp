#include "cli/edit_lock.h"

namespace quenda::cli {

std::optional<DocumentLock> LockDocumentForEdit(const std::string& path, bool noWait,
                                                std::string_view command, CommandIo& io) {
  auto waiting = [&] {
    io.err << FileMessage(command, path, "waiting for another edit of this document to finish")
           << std::endl;  // flushed: a script or a person watching sees why nothing happens
  };
  Result<DocumentLock> lock =
      DocumentLock::Acquire(path, noWait ? LockWait::RefuseIfBusy : LockWait::UntilFree, waiting);
  if (!lock) {
    ReportFileError(io, command, path, lock.message());
    return std::nullopt;
  }
  return std::move(*lock);
}

}  // namespace quenda::cli
