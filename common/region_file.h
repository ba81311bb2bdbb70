#pragma once
// Region files (".rgn"): the region data of one drawing, beside its drawing scan.
//
// Layout, little-endian 16-bit numbers:
//   0  version 104          1  width            3  height
//   5  linePickUp, lineGrowth, whiteClamp, blackClamp (one byte each)
//   9  regionCount (regions besides region 1)
//   11 regionCount + 1 box records of 8 bytes: maxY, minY, minX, maxX
//   then three run-length streams over width * height pixels in linear order:
//     flags (value byte, count byte), region numbers and animator-line colours (value 16-bit,
//     count byte).
// Writers emit runs of 1..254; readers repeat each value `count` times (0 adds nothing) and cut
// a run that passes the end of its map, the next stream starting after that run's bytes.
//
// How the readers treat damaged files (every flavour alike):
//   - a file that ends before the three maps are full is refused with the flavour's
//     "unexpected end of file" message, checked before anything is allocated;
//   - a region number above regionCount + 1 reads as regionCount + 1;
//   - a colour index beyond the colour set's slots reads as the unpainted animator line (249);
//   - a box that is not inside the picture, or whose minimum lies above its maximum, reads as
//     the empty box (regions without pixels are stored that way too, and nobody relies on it).
// A failed read returns an error and leaves the caller's earlier data alone.

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "common/region_data.h"
#include "common/result.h"

namespace quenda {

inline constexpr uint8_t kRegionFileVersion = 104;
inline constexpr std::size_t kRegionFileHeaderSize = 11;
inline constexpr std::size_t kRegionBoxRecordSize = 8;
inline constexpr int kLongestRun = 254;

// Whose messages a reader or writer reports. The exposure sheet reads with its own wording.
enum class RegionReader { Analyzer, Painter, Sheet };
enum class RegionWriter { Analyzer, Painter };

// The whole file in memory. Requires data.IsConsistent() and at most kMaxRegions regions.
std::vector<uint8_t> EncodeRegionFile(const RegionData& data);

// Refuses data that the file cannot hold (too many regions, a picture side beyond 16 bits,
// containers of the wrong size) and reports a file that cannot be written with the writer's
// message; the previous file is then kept as it was.
Status WriteRegionFile(const std::string& path, const RegionData& data, RegionWriter who);
// The two halves of WriteRegionFile, for a caller that writes the file together with another:
// the checked bytes, and the writer's message for a file that cannot be written.
Result<std::vector<uint8_t>> RegionFileBytes(const RegionData& data);
std::string RegionWriteMessage(const std::string& path, RegionWriter who);

// Checks, in order: version, width and height against the drawing's, then the streams.
// `path` only goes into the messages. The analyzer takes the settings of the result as its
// current line settings and applies their contrast stretch to its grey image.
Result<RegionData> DecodeRegionFile(std::span<const uint8_t> bytes, int expectedWidth,
                                    int expectedHeight, RegionReader who,
                                    std::string_view path = {});
Result<RegionData> ReadRegionFile(const std::string& path, int expectedWidth, int expectedHeight,
                                  RegionReader who);

// Another frame's region numbers, for auto paint: the boxes and flags are skipped. The size is
// checked against the frame's drawing as well as the version, so the map always has
// width * height entries.
struct RegionMapFile {
  int width = 0;
  int height = 0;
  int regionCount = 0;
  std::vector<uint16_t> regionMap;
};
Result<RegionMapFile> DecodeRegionMap(std::span<const uint8_t> bytes, int expectedWidth,
                                      int expectedHeight, RegionReader who,
                                      std::string_view path = {});
Result<RegionMapFile> ReadRegionMap(const std::string& path, int expectedWidth, int expectedHeight,
                                    RegionReader who);

// A region file's flags and region numbers walked in pixel order without making their maps, for
// work that looks at each pixel of another frame in turn: the maps would be three bytes a pixel
// beside the frame in hand. Checked as DecodeRegionFile checks, so it fails where that fails,
// with the same message; region numbers are forced into the table as DecodeRegionFile forces
// them.
using RegionStretchSink =
    std::function<void(std::size_t start, std::size_t count, uint8_t flags, uint16_t region)>;
class RegionFileStretches {
 public:
  static Result<RegionFileStretches> Decode(std::vector<uint8_t> bytes, int expectedWidth,
                                            int expectedHeight, RegionReader who,
                                            std::string_view path = {});
  static Result<RegionFileStretches> Read(const std::string& path, int expectedWidth,
                                          int expectedHeight, RegionReader who);

  int regionCount() const { return regionCount_; }
  std::size_t PixelCount() const { return pixels_; }
  // Every pixel once, in order, in stretches over which both the flag byte and the region number
  // stay the same (a stretch may end where neither changes, at the end of a run).
  void Walk(const RegionStretchSink& put) const;

 private:
  RegionFileStretches() = default;
  std::vector<uint8_t> bytes_;
  std::size_t flagsAt_ = 0;
  std::size_t mapAt_ = 0;
  std::size_t pixels_ = 0;
  int regionCount_ = 0;
};

// A few pixels of a frame's regions (a reduced picture of it): the flags and region number of
// each pixel at `points` (indices y * width + x, ascending), walking the runs without making
// the whole maps. Checks as DecodeRegionFile does, so it fails where that fails, with the same
// message.
struct RegionSamples {
  int width = 0;
  int height = 0;
  int regionCount = 0;
  std::vector<uint8_t> flags;       // one per point
  std::vector<uint16_t> regionMap;  // one per point
};
Result<RegionSamples> DecodeRegionSamples(std::span<const uint8_t> bytes, int expectedWidth,
                                          int expectedHeight, std::span<const std::size_t> points,
                                          RegionReader who, std::string_view path = {});

}  // namespace quenda
