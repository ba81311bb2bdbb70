#pragma once
// The subcommands of the quenda tool, one file each.

#include "cli/command.h"

namespace quenda::cli {


}  // namespace quenda::cli
