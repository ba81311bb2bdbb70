// Feeds arbitrary bytes to the drawing scan parser as each of its readers.
#include <cstddef>
#include <cstdint>
#include <span>

#include "common/drawing_scan.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  std::span<const uint8_t> bytes(data, size);
  for (quenda::ScanReader who :
       {quenda::ScanReader::Analyzer, quenda::ScanReader::Scanner, quenda::ScanReader::Painter,
        quenda::ScanReader::Sheet, quenda::ScanReader::CelViewer}) {
    auto loaded = quenda::ParseDrawingScan(bytes, who, "fuzz.qds");
    if (loaded.ok()) {
      const auto& picture = loaded->scan.picture;
      if (picture.channels() != 1 ||
          picture.bytes().size() != std::size_t(picture.width()) * std::size_t(picture.height()))
        __builtin_trap();
      // What was read must write back; the cel viewer alone shows larger pictures.
      const bool writable = quenda::CheckDrawingScanForWriting(loaded->scan).ok();
      if (!writable && (who != quenda::ScanReader::CelViewer ||
                        (picture.width() <= quenda::kMaxDrawingScanSide &&
                         picture.height() <= quenda::kMaxDrawingScanSide)))
        __builtin_trap();
    }
  }
  return 0;
}
