// Feeds arbitrary bytes to the Targa parser as every reader and checks the picture it hands
// back is as large as its size says.
#include <cstddef>
#include <cstdint>
#include <span>

#include "common/targa.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  std::span<const uint8_t> bytes(data, size);
  for (quenda::TargaReader reader :
       {quenda::TargaReader::ComposerPicking, quenda::TargaReader::ComposerClipFrame,
        quenda::TargaReader::PanoramaBackground, quenda::TargaReader::PainterImport,
        quenda::TargaReader::ScannerImport}) {
    quenda::TargaCheck check = quenda::TargaCheck::None;
    bool headerOk = quenda::CheckTargaBytes(bytes, "fuzz.tga", reader, &check).ok();
    auto image = quenda::ParseTarga(bytes, "fuzz.tga", reader, &check);
    if (image.ok() != (check == quenda::TargaCheck::None)) __builtin_trap();
    if (!image.ok()) continue;
    if (!headerOk) __builtin_trap();
    const auto& picture = *image;
    if (picture.width() < 1 || picture.height() < 1) __builtin_trap();
    if (picture.bytes().size() != std::size_t(picture.width()) * std::size_t(picture.height()) *
                                      std::size_t(picture.channels()))
      __builtin_trap();
  }
  return 0;
}
