#pragma once
// The picture library sits in a module of its own, loaded the first time a studio picture is
// read or written. It brings some two hundred libraries with it (codecs, colour management,
// the OpenEXR and TIFF stacks), and linking it into every program made each one map and
// relocate them at start: about a hundred megabytes resident and a few tenths of a second per
// start, for the commands, tests and farm tasks that never touch a PNG.
//
// The module hands back one table of functions; its version must be this build's, so a
// module left over from another build is refused rather than called with the wrong layout.

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "common/result.h"
#include "common/studio_picture.h"

namespace quenda {

inline constexpr int kStudioPictureCodecVersion = 1;
inline constexpr std::string_view kStudioPictureCodecFile = "libquenda_picture_codec.so";
// Where the module lies below a prefix: /usr/bin/quenda loads
// /usr/lib/quenda/modules/libquenda_picture_codec.so, and a program of the build tree the one
// in the build's own lib/quenda/modules.
inline constexpr std::string_view kStudioPictureCodecFolder = "lib/quenda/modules";
// How many folders above the program's own are searched for that folder: the programs of the
// build tree lie one or two folders below its top.
inline constexpr int kStudioPictureCodecLevels = 3;
// Names the module to load instead of searching, for tests and for a relocated install.
inline constexpr const char* kStudioPictureCodecPathVariable = "QUENDA_PICTURE_CODEC_PATH";

struct StudioPictureCodec {
  int version = 0;
  std::size_t size = 0;  // sizeof(StudioPictureCodec) of the build that made the module
  // The picture in `bytes`, or the header of the file at `path`, through the library's reader
  // named `reader` ("png", "tiff", ...) and no other; `path` names the file in the library's
  // own messages. Failures give the reason alone, for the caller to put after the file's name.
  Result<StudioPicture> (*decode)(std::span<const uint8_t> bytes, const std::string& path,
                                  std::string_view reader) = nullptr;
  Result<StudioPictureHeader> (*readHeader)(const std::string& path,
                                            std::string_view reader) = nullptr;
  Result<std::vector<uint8_t>> (*encode)(ConstRasterView picture,
                                         const StudioWriteOptions& options) = nullptr;
};

// The codec this program uses: loaded once, on first use, from QUENDA_PICTURE_CODEC_PATH or
// else from the places below; the same answer on every call. The error says why it is missing.
Result<const StudioPictureCodec*> StudioPictureCodecInUse();
// The codec of one module file, or why it cannot be used.
Result<const StudioPictureCodec*> LoadStudioPictureCodecFrom(const std::string& path);
// The module's places for a program at `programPath`, nearest first.
std::vector<std::string> StudioPictureCodecPlaces(const std::string& programPath);

}  // namespace quenda

// The module's one exported symbol.
extern "C" const quenda::StudioPictureCodec* quenda_studio_picture_codec();
