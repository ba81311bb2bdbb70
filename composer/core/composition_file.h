#pragma once
// Composition files (.cmp): the document archive of the settings followed by the clip records,
// with no header or version. EncodeComposition and ParseComposition are exact inverses on
// every composition they accept; LoadComposition adds the search for clips whose pictures
// have gone.

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "common/prompt.h"
#include "common/result.h"
#include "composer/core/composition.h"

namespace quenda {

inline constexpr std::size_t kCompositionHeaderSize = 76;
inline constexpr std::size_t kKeyRecordSize = 20;
inline constexpr const char* kCompositionFilter = "Quenda Composition Files (*.cmp)";
// Clip pictures: Targa, and the studio formats a clip finds beside a missing Targa.
inline constexpr const char* kTargaFilter =
    "Targa Images (*.tga);;PNG, TIFF, OpenEXR or JPEG Images (*.png *.tif *.tiff *.exr *.jpg);;"
    "All Supported Images (*.tga *.png *.tif *.tiff *.exr *.jpg)";

std::vector<uint8_t> EncodeComposition(const Composition& composition);

// The records as stored, after the load-time fix-ups that need no files: a single image's
// first and last frames become 0, and a parent index that names no other clip becomes -1.
// A file that ends early, or whose counts or codes no composition can hold (more than 249
// clips, more than 500 keys in a track, an unknown clip kind or start/end code, a movie side
// outside 16..2500, a quality other than 0..2), is refused
// with the archive's "incomplete or damaged" message naming `path`.
Result<Composition> ParseComposition(std::span<const uint8_t> bytes, std::string_view path);

// Writes through the archive's atomic save: a failure leaves the old file as it was.
Status SaveComposition(const std::string& path, const Composition& composition);

// A clip folder stored relative (by older tools) is looked for beside the composition at
// `path` first, then in the current directory, and made absolute where a picture of the clip
// is found; otherwise it stays as stored.
void ResolveRelativeClipDirectories(Composition& composition, const std::string& path);

// Reads and parses the file and resolves relative clip folders; missing pictures are left for
// the caller (a render checks them itself, see render_inputs.h).
Result<Composition> ReadComposition(const std::string& path);

// ReadComposition, then checks every image clip's frames: a clip missing some frames
// is kept with a warning; one missing all of them is looked for through `prompt` until it is
// found or discarded (see lost_clips.h). `changed`, when given, tells whether a clip was found
// elsewhere or discarded, so that the composition differs from its file.
Result<Composition> LoadComposition(const std::string& path, Prompt& prompt,
                                    bool* changed = nullptr);

}  // namespace quenda
