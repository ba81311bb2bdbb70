#include "common/picture_format.h"

#include <cctype>
#include <string>

namespace quenda {
namespace {

std::string LoweredExtension(std::string_view path) {
  const std::size_t slash = path.find_last_of("/\\");
  const std::size_t dot = path.rfind('.');
  if (dot == std::string_view::npos || (slash != std::string_view::npos && dot < slash)) return {};
  std::string extension(path.substr(dot));
  for (char& c : extension) c = char(std::tolower(static_cast<unsigned char>(c)));
  return extension;
}

}  // namespace

std::optional<PictureFormat> ParsePictureFormat(std::string_view name) {
  if (name == "tga") return PictureFormat::Targa;
  if (name == "png") return PictureFormat::Png;
  if (name == "tiff") return PictureFormat::Tiff;
  if (name == "exr") return PictureFormat::Exr;
  return std::nullopt;
}

std::string_view PictureFormatName(PictureFormat format) {
  switch (format) {
    case PictureFormat::Png:
      return "png";
    case PictureFormat::Tiff:
      return "tiff";
    case PictureFormat::Exr:
      return "exr";
    case PictureFormat::Targa:
      break;
  }
  return "tga";
}

std::string_view PictureFormatExtension(PictureFormat format) {
  switch (format) {
    case PictureFormat::Png:
      return ".png";
    case PictureFormat::Tiff:
      return ".tif";
    case PictureFormat::Exr:
      return ".exr";
    case PictureFormat::Targa:
      break;
  }
  return ".tga";
}

std::optional<PictureFormat> PictureFormatOfPath(std::string_view path) {
  const std::string extension = LoweredExtension(path);
  if (extension == ".tiff") return PictureFormat::Tiff;
  for (PictureFormat format :
       {PictureFormat::Targa, PictureFormat::Png, PictureFormat::Tiff, PictureFormat::Exr})
    if (extension == PictureFormatExtension(format)) return format;
  return std::nullopt;
}

}  // namespace quenda
