#include "composer/core/clip_image.h"

#include "common/targa.h"

namespace quenda {

Result<ClipImage> ReadClipImage(const std::string& path, ClipImageFailure* failure) {
  TargaCheck failedAt = TargaCheck::None;
  Result<Raster> read = ReadTarga(path, TargaReader::ComposerClipFrame, &failedAt);
  if (failure) {
    *failure = read.ok()                        ? ClipImageFailure::None
               : failedAt == TargaCheck::Exists ? ClipImageFailure::Missing
                                                : ClipImageFailure::Unreadable;
  }
  return read;
}

}  // namespace quenda
