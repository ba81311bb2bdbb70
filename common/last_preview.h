#pragma once
// The last preview movie that a flipbook or a composer preview leaves in the user's cache
// directory: the check before it is shown, and the copy that saves it under another name.

#include <string>

#include "common/result.h"

namespace quenda {

// "There is no last preview!\n(PATH does not exist)" when the movie cannot be read.
Status CheckLastPreview(const std::string& path);

// Copies the movie to `target`, never over an existing file; a failed copy leaves no partial
// file behind. Every failure says the same: the target exists, or the disk is full.
Status SaveLastPreview(const std::string& path, const std::string& target);

}  // namespace quenda
