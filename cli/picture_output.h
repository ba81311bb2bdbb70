#pragma once
// `--format tga|png|tiff|exr` and `--depth 8|16`, which choose the files that render and
// compose write, and which the farm passes on to its tasks.

#include <optional>
#include <string>
#include <string_view>

#include "cli/arguments.h"
#include "common/picture_format.h"
#include "common/result.h"

namespace quenda::cli {

struct PictureOutput {
  PictureFormat format = PictureFormat::Targa;
  int depth = kFrameDepth8;
};

// The choice made by --format and --depth, or the usage error's reason.
Result<PictureOutput> ReadPictureOutput(const Arguments& parsed);

// Checks a frame file the farm's tasks wrote: read back by the reader of its format.
Status CheckFramePicture(const std::string& path, PictureFormat format);

}  // namespace quenda::cli
