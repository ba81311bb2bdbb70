// Decodes a region file at the size its own header names, in every reader's flavour. What is
// accepted must stay inside its tables and survive a write and a second read unchanged.
#include <cstddef>
#include <cstdint>
#include <span>

#include "common/byte_order.h"
#include "common/color_set.h"
#include "common/region_file.h"

namespace {

bool InsideTables(const quenda::RegionData& data) {
  if (!data.IsConsistent()) return false;
  for (uint16_t region : data.regionMap)
    if (region > data.regionCount + 1) return false;
  for (uint16_t color : data.animColor)
    if (color >= quenda::kColorSlots) return false;
  for (const quenda::RegionBox& box : data.regionBounds) {
    if (box.IsEmpty()) continue;
    if (box.minX < 0 || box.maxX >= data.width || box.minY < 0 || box.maxY >= data.height)
      return false;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  std::span<const uint8_t> bytes(data, size);
  int width = size >= 5 ? quenda::GetU16LE(data + 1) : 1;
  int height = size >= 5 ? quenda::GetU16LE(data + 3) : 1;
  for (auto who : {quenda::RegionReader::Analyzer, quenda::RegionReader::Painter,
                   quenda::RegionReader::Sheet}) {
    auto regions = quenda::DecodeRegionFile(bytes, width, height, who, "f.rgn");
    auto map = quenda::DecodeRegionMap(bytes, width, height, who, "f.rgn");
    if (regions.ok() && !map.ok()) __builtin_trap();
    if (!regions.ok()) {
      if (regions.message().empty()) __builtin_trap();
      continue;
    }
    if (!InsideTables(*regions) || map->regionMap != regions->regionMap) __builtin_trap();
    std::vector<uint8_t> again = quenda::EncodeRegionFile(*regions);
    auto reread = quenda::DecodeRegionFile(again, width, height, who);
    if (!reread.ok() || !(*reread == *regions)) __builtin_trap();
  }
  return 0;
}
