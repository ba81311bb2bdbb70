// Reads a wave file from arbitrary bytes. Whatever loads is 8-bit mono with samples, and
// writing it out again reads back the same.
#include <cstddef>
#include <cstdint>
#include <span>

#include "common/wave_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  quenda::Result<quenda::WaveSound> sound = quenda::ParseWaveFile({data, size});
  if (!sound.ok()) return 0;
  if (!sound->format.IsMono8BitPcm() || sound->samples.empty() || sound->samples.size() > size)
    __builtin_trap();
  quenda::WaveFormat format = sound->format;
  format.extraSize = 0;
  quenda::Result<quenda::WaveSound> again =
      quenda::ParseWaveFile(quenda::EncodeWaveFile(format, sound->samples));
  if (!again.ok() || again->samples != sound->samples || !(again->format == format))
    __builtin_trap();
  return 0;
}
