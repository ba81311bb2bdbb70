// Reads lip-sync data from arbitrary bytes, as switch data and as timed shapes, and places it
// with a catch-all map: frames rise, and a placement never reaches past the sheet's limit.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "dopegrid/core/lipsync_data.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  std::string_view text(reinterpret_cast<const char*>(data), size);
  const quenda::DrawingSequence mouths{"/m/", "mouth", {{1}}, 1};
  const quenda::MouthMap map{{}, "1"};
  for (const char* path : {"f.dat", "f.tsv"}) {
    quenda::Result<quenda::LipSyncData> read = quenda::ReadLipSync(text, path);
    if (!read.ok()) continue;
    std::vector<quenda::ShapeAt> shapes = quenda::ShapeFrames(*read, 25);
    for (std::size_t i = 1; i < shapes.size(); ++i)
      if (shapes[i].frame <= shapes[i - 1].frame) __builtin_trap();
    quenda::Result<quenda::LipSyncPlacement> placed =
        quenda::PlaceLipSync(*read, map, mouths, 0, std::nullopt, 25);
    if (placed.ok() && placed->firstFrame + int(placed->drawings.size()) > quenda::kMaxSheetFrames)
      __builtin_trap();
  }
  return 0;
}
