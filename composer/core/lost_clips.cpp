#include "composer/core/lost_clips.h"

#include <algorithm>
#include <optional>

#include "common/case_insensitive_path.h"
#include "common/frame_sequence.h"
#include "composer/core/clip_source.h"
#include "composer/core/composition_file.h"

namespace quenda {

namespace {

// A damaged record may claim billions of frames; past this many the rest count as missing.
constexpr long long kMaxFramesChecked = 1000000;

std::string Quoted(const std::string& name) {
  return "\"" + name + "\"";
}

// Asks where the clip went until it is found (true) or to be discarded (false); a clip the
// prompt keeps stays as stored (true).
bool FindClip(ClipRecord& clip, Prompt& prompt) {
  std::optional<LostPart> answer;
  for (;;) {
    FrameCoverage coverage = CheckClipFrames(clip);
    if (coverage == FrameCoverage::Some)
      prompt.Message("Warning: Some frames of clip " + Quoted(clip.name) + " does not exist",
                     MessageIcon::Warning);
    if (coverage != FrameCoverage::None) return true;
    prompt.Message("All frames of clip " + Quoted(clip.name) + " does not exist",
                   MessageIcon::Warning);
    if (!answer)
      answer = prompt.OnLostPart("clip " + Quoted(clip.name) + " (" + clip.directory + ")");
    if (*answer != LostPart::Ask) return *answer == LostPart::Keep;
    std::optional<std::string> picked =
        prompt.PickFile("Where is clip " + Quoted(clip.name) + " ?", kTargaFilter,
                        NormalizeSeparators(clip.directory));
    if (picked) {
      ClipRecord repointed = clip;
      Status pointed = PointClipAt(*picked, repointed);
      if (pointed) {
        clip = std::move(repointed);
        continue;
      }
      prompt.Message(pointed.message(), MessageIcon::Error);
    }
    if (prompt.AskYesNo("Do you want to discard clip " + Quoted(clip.name) + " ?")) return false;
  }
}

}  // namespace

FrameCoverage CheckClipFrames(const ClipRecord& clip) {
  if (clip.singleImage)
    return FrameExists(ClipFramePath(clip, 0)) ? FrameCoverage::All : FrameCoverage::None;
  bool anyFound = false, anyMissing = false;
  long long last = std::min<long long>(clip.lastFrame, clip.firstFrame + kMaxFramesChecked);
  for (long long n = clip.firstFrame; n <= last && !(anyFound && anyMissing); ++n) {
    if (FrameExists(ClipFramePath(clip, int(n))))
      anyFound = true;
    else
      anyMissing = true;
  }
  if (!anyFound) return FrameCoverage::None;
  return anyMissing ? FrameCoverage::Some : FrameCoverage::All;
}

void FindLostClips(Composition& composition, Prompt& prompt) {
  for (int i = 0; i < composition.clipCount();) {
    ClipRecord& clip = composition.clips[std::size_t(i)];
    if (!clip.IsImage() || FindClip(clip, prompt)) {
      ++i;
      continue;
    }
    RemoveClip(composition, i);
  }
}

}  // namespace quenda
