#pragma once
// Drawing scans (.qds): one 8-bit grey drawing with the facts of its scan, stored as an
// uncompressed grey Targa whose unused header fields carry dpi, peg position and bed position.
//
// Several programs read these files and each words its failures its own way, so every reader
// takes the ScanReader whose message table it speaks. Readers parse from a byte buffer (for
// fuzzing) with thin path-taking wrappers.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "common/raster.h"
#include "common/result.h"

namespace quenda {

inline constexpr int kDrawingScanHeaderSize = 18;
inline constexpr int kDrawingScanImageType = 3;  // what marks a file as a drawing scan
// Largest width or height any reader or the writer accepts; also bounds every allocation.
inline constexpr int kMaxDrawingScanSide = 10000;

// Peg positions: which edge of the sheet carried the pegs, and so how the scan was turned.
inline constexpr int kPegLeft = 0;
inline constexpr int kPegRight = 1;
inline constexpr int kPegBottom = 2;
inline constexpr int kPegTop = 3;

// A drawing as read or to be written: the facts of its scan and its grey picture.
struct DrawingScan {
  int dpi = 0;
  int pegPosition = 0;
  int xPosition = 0;
  int yPosition = 0;
  Raster picture;  // 1 channel, packed, bottom row first
};

enum class ScanReader {
  Analyzer,   // texts ending in "!"; skips a non-empty ID field for the pixels too
  Scanner,    // texts with the path appended; pixels always start at offset 18
  Painter,    // the scanner's wording; never looks at the ID length
  Sheet,      // the exposure sheet's compositor: the painter's checks; it words failures itself
  CelViewer,  // the exposure sheet's image window: its own texts; never looks at the ID length;
              // refuses any colour map type but 0 and only a size of 0 (any 16-bit size
              // the file holds is shown)
};

enum class ScanWriter { Scanner, Analyzer };

// The header facts, plus the ID text of a foreign file (exactly ID-length bytes; empty for the
// readers that do not read it) for the caller to show.
struct DrawingScanHeader {
  int width = 0;
  int height = 0;
  int dpi = 0;
  int pegPosition = 0;
  int xPosition = 0;
  int yPosition = 0;
  std::string idText;
  int pixelOffset = kDrawingScanHeaderSize;  // where this reader's pixel read starts
};

// Pixels read, and the analyzer's warning when the file held fewer than width * height bytes
// (the analyzer goes on with what it read; the missing pixels are white paper, 255).
struct DrawingScanPixels {
  Raster picture;  // 1 channel, packed
  std::optional<std::string> warning;
};

// A whole drawing as loaded: scan, ID text, and the analyzer's short-read warning if any.
struct LoadedDrawingScan {
  DrawingScan scan;
  std::string idText;
  std::optional<std::string> warning;
};

// Header checks in their fixed order. `path` only words the messages. A width or height of 0
// or above kMaxDrawingScanSide is refused after the format checks ("Image size out of range";
// the cel viewer refuses only 0).
Result<DrawingScanHeader> ParseDrawingScanHeader(std::span<const uint8_t> bytes, ScanReader who,
                                                 const std::string& path);
Result<DrawingScanHeader> ReadDrawingScanHeader(const std::string& path, ScanReader who);

// The width * height bytes at the header's pixelOffset. For the analyzer the image type is
// checked again and a short read is a warning; for the others a short read fails.
Result<DrawingScanPixels> ParseDrawingScanPixels(std::span<const uint8_t> bytes,
                                                 const DrawingScanHeader& header, ScanReader who,
                                                 const std::string& path);
Result<DrawingScanPixels> ReadDrawingScanPixels(const std::string& path,
                                                const DrawingScanHeader& header, ScanReader who);

// Header then pixels, as the programs load a frame.
Result<LoadedDrawingScan> ParseDrawingScan(std::span<const uint8_t> bytes, ScanReader who,
                                           const std::string& path);
Result<LoadedDrawingScan> ReadDrawingScan(const std::string& path, ScanReader who);

// The file's bytes: 18-byte header then the pixels; no ID field, colour map or footer.
// The scan must pass CheckDrawingScanForWriting.
std::vector<uint8_t> EncodeDrawingScan(const DrawingScan& scan);
// Refuses sizes outside 1..kMaxDrawingScanSide and a picture that is not 1 channel, packed.
Status CheckDrawingScanForWriting(const DrawingScan& scan);

// Writes through AtomicFile, so a failure leaves any previous file as it was. The messages
// are the writer's own; ending the program after the analyzer's create failure is the caller's.
Status WriteDrawingScan(const std::string& path, const DrawingScan& scan, ScanWriter who);

}  // namespace quenda
