#pragma once
// Giving a drawing another frame number moves its three files together. Region and paint files
// already under the new name belong to no drawing there (its scan is missing) and would describe
// the moved one, so they go; a rename that fails puts back everything moved before it.

#include <string>

#include "common/result.h"

namespace quenda {

struct FrameFilePaths {
  std::string scan;    // .qds
  std::string region;  // .rgn
  std::string paint;   // .pnt
};

inline constexpr std::string_view kRenameFailed =
    "Can not rename frame, The file may be read-only: ";

// Moves the files of `from` that exist to the names of `to`; the caller has checked that
// `from.scan` exists and `to.scan` does not. Region and paint files at `to` are moved out of the
// way first and removed once everything has moved. On a failure every rename made is undone and
// the error is kRenameFailed with the path that did not move.
Status RenumberFrameFiles(const FrameFilePaths& from, const FrameFilePaths& to);

}  // namespace quenda
