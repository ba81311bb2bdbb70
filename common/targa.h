#pragma once
// Targa pictures: uncompressed true-colour images with an 18-byte little-endian header, the
// format in which frames are rendered and in which clips, backgrounds and imports arrive.
//
// Every reader makes the same checks in the same order and differs only in the depths it
// accepts, in what it does with the rows and alpha, and in the wording of its messages:
//   1 exists, 2 opens, 3 header complete, 4 ID field complete, 5 no colour map,
//   6 image type and depth, 7 pixels complete.
// Where a reader has no message of its own for check 1 or 2 (painter import: 2; scanner
// import: 1 and 2), the file that is missing or will not open fails as an unreadable header,
// with that reader's check-3 message.
// Memory is never taken on the header's word: a picture larger than what the file holds is
// a short read (check 7), and width and height are 16-bit, so no size is absurd.
// A header with width or height 0 fails check 3: there is no picture to use.
//
// Pixels handed back, rows always bottom row first: every reader turns the rows of a file whose
// descriptor bit 5 (top-left origin, as other tools write) is set. The suite writes that bit
// clear.
//   ComposerPicking, ComposerClipFrame, PanoramaBackground
//       the stored bytes: depth/8 bytes per pixel (B, G, R or B, G, R, A).
//   PainterImport   24-bit B, G, R; alpha dropped.
//   ScannerImport   8-bit files as their grey bytes, 24- and 32-bit ones as B, G, R with alpha
//                   dropped. Accepts image type 3 (grey) with
//                   depth 8 as well as type 2 with depth 8, 24 or 32.

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "common/atomic_file.h"
#include "common/raster.h"
#include "common/result.h"

namespace quenda {

inline constexpr std::size_t kTargaHeaderSize = 18;
inline constexpr int kTargaMaxSide = 65535;

enum class TargaReader {
  ComposerPicking,
  ComposerClipFrame,
  PanoramaBackground,
  PainterImport,
  ScannerImport,
};

// Which check refused a file: the composer shows a missing clip frame on its status bar.
enum class TargaCheck {
  None,
  Exists,
  Opens,
  Header,
  IdField,
  ColorMap,
  ImageType,
  Depth,
  Pixels,
};

// Checks 1 to 6 on the file.
Status CheckTarga(const std::string& path, TargaReader reader, TargaCheck* failedAt = nullptr);
// Checks 1 to 7 and the pixels, converted for the reader: one channel per byte per pixel handed
// back (see above), so for the readers that keep pixels as stored the file's depth is
// 8 * channels().
Result<Raster> ReadTarga(const std::string& path, TargaReader reader,
                         TargaCheck* failedAt = nullptr);

// Checks 3 to 6 on the first bytes of a file (`path` only names it in messages).
Status CheckTargaBytes(std::span<const uint8_t> bytes, std::string_view path, TargaReader reader,
                       TargaCheck* failedAt = nullptr);
// Checks 3 to 7 on a whole file's bytes; extra bytes after the pixels are ignored.
Result<Raster> ParseTarga(std::span<const uint8_t> bytes, std::string_view path, TargaReader reader,
                          TargaCheck* failedAt = nullptr);

// The true-colour file for `width` x `height` pixels of `channels` bytes (3: B, G, R; 4: B, G,
// R, A), bottom row first: an 18-byte header (type 2, depth 8 * channels, descriptor 0, all else
// 0) and the pixels in one block. Width and height must be 1..kTargaMaxSide. Null `pixels`
// gives the header alone.
std::vector<uint8_t> EncodeTarga(int width, int height, int channels, const uint8_t* pixels);
inline std::vector<uint8_t> EncodeTarga32(int width, int height, const uint8_t* bgraBottomUp) {
  return EncodeTarga(width, height, 4, bgraBottomUp);
}

// Writes EncodeTarga's bytes through AtomicFile; a failure carries the caller's text as
// AtomicFile words it. A size the header cannot hold, or a picture of other than 3 or 4
// channels, writes nothing and fails as CannotCreate.
Status WriteTarga(const std::string& path, ConstRasterView picture, WriteMessages messages);
// A Targa saved while its picture is still being made: the header goes out on Open, the rows,
// bottom row first, as they are finished, and the file takes its target's place on Commit once
// every row has come. The bytes are WriteTarga's. Dropped without Commit, or failing anywhere,
// it leaves the old target as it was and no temporary behind; failures are worded and kinded
// as WriteTarga's (rows that do not fit what was opened, or too few of them at Commit, are a
// short write).
class TargaRowWriter {
 public:
  Status Open(const std::string& path, int width, int height, int channels, WriteMessages messages);
  // The picture's next rows.height rows.
  Status WriteRows(ConstRasterView rows);
  Status Commit();

 private:
  Status Refuse();

  AtomicFile file_;
  std::string shortWrite_;
  int width_ = 0, height_ = 0, channels_ = 0;
  int rowsWritten_ = 0;
};

Status WriteTarga32(const std::string& path, int width, int height, const uint8_t* bgraBottomUp,
                    WriteMessages messages);

}  // namespace quenda
