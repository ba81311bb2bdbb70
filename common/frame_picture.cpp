#include "common/frame_picture.h"

#include "common/studio_picture.h"
#include "common/targa.h"

namespace quenda {

Status WriteFramePicture(const std::string& path, ConstRasterView picture,
                         const FramePictureOptions& options, WriteMessages messages) {
  if (options.format == PictureFormat::Targa) return WriteTarga(path, picture, std::move(messages));
  StudioWriteOptions studio;
  studio.format = options.format;
  studio.depth = options.depth;
  studio.alpha = options.alpha;
  studio.dpi = options.dpi;
  return WriteStudioPicture(path, picture, studio, std::move(messages));
}

std::string WithPictureExtension(std::string_view path, PictureFormat format) {
  const std::size_t slash = path.find_last_of("/\\");
  std::size_t dot = path.rfind('.');
  if (dot == std::string_view::npos || (slash != std::string_view::npos && dot < slash))
    dot = path.size();
  return std::string(path.substr(0, dot)) + std::string(PictureFormatExtension(format));
}

}  // namespace quenda
