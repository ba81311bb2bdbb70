// Feeds arbitrary bytes to the drawing scan parser as each of its three readers.
#include <cstddef>
#include <cstdint>
#include <span>

#include "common/drawing_scan.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  std::span<const uint8_t> bytes(data, size);
  for (quenda::ScanReader who :
       {quenda::ScanReader::Analyzer, quenda::ScanReader::Scanner, quenda::ScanReader::Painter}) {
    auto loaded = quenda::ParseDrawingScan(bytes, who, "fuzz.qds");
    if (loaded.ok()) {
      const auto& scan = loaded->scan;
      if (scan.pixels.size() != std::size_t(scan.width) * std::size_t(scan.height))
        __builtin_trap();
      // What was read must write back.
      if (!quenda::CheckDrawingScanForWriting(scan).ok()) __builtin_trap();
    }
  }
  return 0;
}
