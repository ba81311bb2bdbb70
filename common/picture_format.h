#pragma once
// The picture formats frames are written in: the suite's own Targa, and the studio formats
// other tools read (PNG, TIFF, OpenEXR). Only names and extensions here; the writing is in
// common/frame_picture.h.

#include <optional>
#include <string_view>

namespace quenda {

enum class PictureFormat { Targa, Png, Tiff, Exr };

// "tga", "png", "tiff" or "exr" as the command line spells them; nothing for anything else.
std::optional<PictureFormat> ParsePictureFormat(std::string_view name);
std::string_view PictureFormatName(PictureFormat format);
// ".tga", ".png", ".tif" or ".exr": what frame files of the format end in.
std::string_view PictureFormatExtension(PictureFormat format);
// The format a file name's extension chooses (either case; ".tiff" as well as ".tif").
std::optional<PictureFormat> PictureFormatOfPath(std::string_view path);

// What the alpha channel of a written frame means, which only OpenEXR has to say: a render's
// alpha is coverage (the colour is stored premultiplied, as EXR readers expect); a composed
// matte is the composer's matte laid beside colour that was composed over the background.
enum class FrameAlpha { Coverage, ComposerMatte };

// Bits per channel of PNG and TIFF frames: 8 holds the values as they are, 16 scales them.
inline constexpr int kFrameDepth8 = 8;
inline constexpr int kFrameDepth16 = 16;

}  // namespace quenda
