// Feeds arbitrary bytes to the bitmap parser and checks the picture it hands back is as large
// as its size says.
#include <cstddef>
#include <cstdint>
#include <span>

#include "common/bmp.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  auto image = quenda::ParseBmp(std::span<const uint8_t>(data, size), "fuzz.bmp");
  if (!image.ok()) {
    if (image.message().empty()) __builtin_trap();
    return 0;
  }
  const auto& picture = *image;
  if (picture.width() < 1 || picture.height() < 1 || picture.channels() != 3) __builtin_trap();
  if (picture.bytes().size() != std::size_t(picture.width()) * std::size_t(picture.height()) * 3u)
    __builtin_trap();
  return 0;
}
