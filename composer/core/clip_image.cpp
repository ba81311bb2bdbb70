#include "composer/core/clip_image.h"

#include "common/targa.h"

namespace quenda {

ClipImageResult ReadClipImage(const std::string& path) {
  ClipImageResult result;
  TargaCheck failedAt = TargaCheck::None;
  Result<TargaImage> read = ReadTarga(path, TargaReader::ComposerClipFrame, &failedAt);
  if (!read) {
    result.failure =
        failedAt == TargaCheck::Exists ? ClipImageFailure::Missing : ClipImageFailure::Unreadable;
    result.message = read.message();
    return result;
  }
  result.image.width = read->width;
  result.image.height = read->height;
  result.image.hasAlpha = read->bytesPerPixel == 4;
  result.image.pixels = std::move(read->pixels);
  return result;
}

}  // namespace quenda
