#include "composer/core/clip_image.h"

#include "common/file_io.h"
#include "common/path.h"
#include "common/studio_picture.h"
#include "common/targa.h"

namespace quenda {
namespace {

// A studio picture as the engine samples a Targa: grey becomes B = G = R; alpha stays straight.
Result<ClipImage> ReadStudioClipImage(const std::string& path, ClipImageFailure* failure) {
  const bool exists = FileOpensForReading(path);
  if (failure) *failure = exists ? ClipImageFailure::Unreadable : ClipImageFailure::Missing;
  if (!exists) return Error{"Clip member: " + path + " does not exist"};
  Result<StudioPicture> read = ReadStudioPicture(path);
  if (!read) return Error{read.message()};
  if (failure) *failure = ClipImageFailure::None;
  Raster& pixels = read->pixels;
  if (pixels.channels() != 1) return std::move(pixels);
  Raster colour(pixels.width(), pixels.height(), 3);
  for (int y = 0; y < pixels.height(); ++y)
    for (int x = 0; x < pixels.width(); ++x) {
      uint8_t* to = colour.At(x, y);
      to[0] = to[1] = to[2] = pixels.At(x, y)[0];
    }
  return colour;
}

}  // namespace

Result<ClipImage> ReadClipImage(const std::string& path, ClipImageFailure* failure) {
  if (IsStudioPictureExtension(ExtensionOf(path))) return ReadStudioClipImage(path, failure);
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
