#include "cli/picture_output.h"

#include "common/studio_picture.h"
#include "common/targa.h"

namespace quenda::cli {

Result<PictureOutput> ReadPictureOutput(const Arguments& parsed) {
  PictureOutput output;
  if (auto text = parsed.Value("--format")) {
    auto format = ParsePictureFormat(*text);
    if (!format) return Error{"--format must be tga, png, tiff or exr"};
    output.format = *format;
  }
  if (auto text = parsed.Value("--depth")) {
    if (*text != "8" && *text != "16") return Error{"--depth must be 8 or 16"};
    output.depth = *text == "16" ? kFrameDepth16 : kFrameDepth8;
    if (output.depth == kFrameDepth16 && output.format != PictureFormat::Png &&
        output.format != PictureFormat::Tiff)
      return Error{"--depth 16 is for png and tiff files"};
  }
  return output;
}

Status CheckFramePicture(const std::string& path, PictureFormat format) {
  if (format == PictureFormat::Targa)
    return ReadTarga(path, TargaReader::ComposerClipFrame).status();
  return ReadStudioPicture(path).status();
}

}  // namespace quenda::cli
