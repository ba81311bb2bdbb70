#include "composer/core/render_inputs.h"

#include <algorithm>
#include <set>

#include "common/file_io.h"
#include "common/path.h"
#include "common/studio_picture.h"
#include "common/targa.h"

namespace quenda {

Status CheckClipInputs(const Composition& composition, int first, int last, int step) {
  std::set<std::string> seen;
  std::string lines;
  for (int frame = first; frame <= last; frame += std::max(step, 1)) {
    for (const ClipRecord& clip : composition.clips) {
      if (!clip.IsImage() || clip.hidden) continue;
      std::optional<int> image = ImageFrameAt(clip, frame - 1);
      if (!image) continue;
      std::string path = ClipFramePath(clip, *image);
      if (!seen.insert(path).second) continue;
      TargaCheck failedAt = TargaCheck::None;
      if (IsStudioPictureExtension(ExtensionOf(path))) {
        if (ReadStudioPictureHeader(path)) continue;
        failedAt = FileOpensForReading(path) ? TargaCheck::Header : TargaCheck::Exists;
      } else if (CheckTarga(path, TargaReader::ComposerClipFrame, &failedAt)) {
        continue;
      }
      if (!lines.empty()) lines += '\n';
      lines += (failedAt == TargaCheck::Exists ? "missing: " : "unreadable: ") + path;
    }
  }
  if (lines.empty()) return {};
  return Error{lines};
}

}  // namespace quenda
