// Parses a key clipboard file from the input. What parses must write back to exactly the bytes
// it was read from.
#include <cstddef>
#include <cstdint>
#include <span>

#include "composer/core/key_clipboard.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  std::span<const uint8_t> bytes(data, size);
  quenda::Result<quenda::KeyClipboard> parsed = quenda::ParseKeyClipboard(bytes, "fuzz.qkc");
  if (!parsed) return 0;
  std::vector<uint8_t> again = quenda::EncodeKeyClipboard(*parsed);
  if (!std::equal(again.begin(), again.end(), bytes.begin(), bytes.end())) __builtin_trap();
  return 0;
}
