// Reads an archive with a sequence of field reads chosen by the input itself: the first bytes
// pick the kinds, the rest is the archive. No read may go past the end, and a failed reader
// must stay failed with nothing left.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>

#include "common/archive.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  std::size_t steps = std::min<std::size_t>(data[0] % 32, size - 1);
  std::span<const uint8_t> kinds(data + 1, steps);
  std::span<const uint8_t> body(data + 1 + steps, size - 1 - steps);
  quenda::ArchiveReader reader(body);
  quenda::ArchiveWriter echo;
  for (uint8_t kind : kinds) {
    std::size_t before = reader.position();
    switch (kind % 8) {
      case 0:
        echo.U8(reader.U8());
        break;
      case 1:
        echo.U16(reader.U16());
        break;
      case 2:
        echo.I16(reader.I16());
        break;
      case 3:
        echo.U32(reader.U32());
        break;
      case 4:
        echo.I32(reader.I32());
        break;
      case 5:
        echo.F32(reader.F32());
        break;
      case 6:
        echo.F64(reader.F64());
        break;
      default:
        echo.String(reader.String());
        break;
    }
    if (reader.position() > body.size() || reader.position() < before) __builtin_trap();
    if (!reader.ok() && reader.remaining() != 0) __builtin_trap();
  }
  // Whatever read cleanly was written back the same, in the writer's own forms.
  if (reader.ok()) {
    quenda::ArchiveReader again(echo.bytes());
    for (uint8_t kind : kinds) {
      switch (kind % 8) {
        case 0:
          again.U8();
          break;
        case 1:
          again.U16();
          break;
        case 2:
          again.I16();
          break;
        case 3:
          again.U32();
          break;
        case 4:
          again.I32();
          break;
        case 5:
          again.F32();
          break;
        case 6:
          again.F64();
          break;
        default:
          again.String();
          break;
      }
    }
    if (!again.ok() || !again.AtEnd()) __builtin_trap();
  }
  return 0;
}
