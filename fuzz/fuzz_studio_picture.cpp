// Feeds arbitrary bytes to the studio picture reader, as each format its first byte chooses,
// and checks the picture it hands back is as large as it says and within the limits.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "common/studio_picture.h"

// OpenImageIO 2.4 keeps the last error text of a reader in a table of its own after the reader
// is gone; that memory is the library's, not ours to free.
extern "C" const char* __lsan_default_suppressions() {
  return "leak:libOpenImageIO\n";
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  // The five formats read, and one that must be refused before any reader sees it.
  static const char* const kNames[] = {"fuzz.png", "fuzz.tif", "fuzz.jpg",
                                       "fuzz.exr", "fuzz.dpx", "fuzz.gif"};
  const std::string name = kNames[data[0] % 6];
  auto read = quenda::ParseStudioPicture(std::span<const uint8_t>(data + 1, size - 1), name);
  if (!read.ok()) {
    if (read.message().rfind("Cannot read picture " + name + ": ", 0) != 0) __builtin_trap();
    return 0;
  }
  if (name == "fuzz.gif") __builtin_trap();
  const quenda::Raster& picture = read->pixels;
  const int channels = picture.channels();
  if (picture.width() < 1 || picture.height() < 1 ||
      (channels != 1 && channels != 3 && channels != 4))
    __builtin_trap();
  if (picture.width() > quenda::kStudioPictureMaxSide ||
      picture.height() > quenda::kStudioPictureMaxSide)
    __builtin_trap();
  if (picture.bytes().size() !=
      std::size_t(picture.width()) * std::size_t(picture.height()) * std::size_t(channels))
    __builtin_trap();
  return 0;
}
