// Parses a composition file from the input. What parses must write back to bytes that parse to
// the same bytes again, and every clip's motion, effects and frame mapping must evaluate
// without going astray, whatever the numbers in the file.
#include <cstddef>
#include <cstdint>
#include <span>

#include "composer/core/clip_transform.h"
#include "composer/core/compose_frame.h"
#include "composer/core/composition_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  quenda::Result<quenda::Composition> parsed =
      quenda::ParseComposition(std::span<const uint8_t>(data, size), "fuzz.cmp");
  if (!parsed) return 0;
  std::vector<uint8_t> bytes = quenda::EncodeComposition(*parsed);
  quenda::Result<quenda::Composition> again = quenda::ParseComposition(bytes, "again.cmp");
  if (!again || quenda::EncodeComposition(*again) != bytes) __builtin_trap();
  const quenda::Composition& c = *parsed;
  for (int i = 0; i < c.clipCount(); ++i) {
    for (int frame : {0, 1, c.frames - 1, c.frames}) {
      quenda::WorldTransformAt(c, i, frame);
      quenda::ImageFrameAt(c.clips[std::size_t(i)], frame);
      if (c.clips[std::size_t(i)].IsImage()) {
        quenda::PlacementAt(c, i, frame);
        quenda::EffectsFor(c, i, frame);
      }
    }
  }
  return 0;
}
