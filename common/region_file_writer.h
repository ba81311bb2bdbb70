#pragma once
// Region files written a piece at a time. A region file is a few bytes per hundred pixels for a
// drawing, but as many bytes as pixels for a noisy scan; written as it is encoded, the file
// never stands whole in memory beside the maps it is made from.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <string>

#include "common/atomic_file.h"
#include "common/region_data.h"
#include "common/region_file.h"
#include "common/result.h"

namespace quenda {

// The size of the pieces WriteRegionFile hands to the disk.
inline constexpr std::size_t kRegionFilePiece = std::size_t(1) << 20;

// Takes the next bytes of the file; a failure ends the writing.
using RegionBytesSink = std::function<Status(std::span<const uint8_t>)>;

// What RegionFileBytes refuses: more regions than the file holds, a side beyond 16 bits,
// containers of the wrong size.
Status CheckRegionFileData(const RegionData& data);

// The bytes of EncodeRegionFile(data), in order, in pieces of `pieceSize` bytes (at least 1;
// the last may be shorter). Stops at the first piece `put` refuses, with its failure. Requires
// what CheckRegionFileData checks.
Status StreamRegionFile(const RegionData& data, std::size_t pieceSize, const RegionBytesSink& put);

// The file's bytes into `file`, opened by the caller, who commits it.
Status WriteRegionFileInto(AtomicFile& file, const RegionData& data);

}  // namespace quenda
