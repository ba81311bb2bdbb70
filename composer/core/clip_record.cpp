#include "composer/core/clip_record.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "common/case_insensitive_path.h"
#include "common/file_io.h"

namespace quenda {

bool IsEffectKind(ClipKind kind) {
  switch (kind) {
    case ClipKind::Blur:
    case ClipKind::Transparency:
    case ClipKind::BrightnessContrast:
    case ClipKind::HueSaturation:
    case ClipKind::DirectionalBlur:
    case ClipKind::Underwater:
      return true;
    default:
      return false;
  }
}

bool IsBlurKind(ClipKind kind) {
  return kind == ClipKind::Blur || kind == ClipKind::DirectionalBlur;
}

bool IsKnownKind(int kind) {
  return kind >= 0 && kind <= 7;
}

void ClipRecord::ShiftKeys(int newStart) {
  int delta = newStart - movieStart;
  for (KeyTrack& track : tracks) track.ShiftFrames(delta);
  movieStart = newStart;
}

bool ClipRecord::HasPositionKey(int frame) const {
  return tracks[kPositionX].HasKey(frame) || tracks[kPositionY].HasKey(frame);
}
bool ClipRecord::HasScaleKey(int frame) const {
  return tracks[kScaleX].HasKey(frame) || tracks[kScaleY].HasKey(frame);
}
bool ClipRecord::HasRotationKey(int frame) const {
  return tracks[kRotation].HasKey(frame);
}
bool ClipRecord::HasAnyKey(int frame) const {
  for (const KeyTrack& track : tracks)
    if (track.HasKey(frame)) return true;
  return false;
}

int ClipRecord::NextClipKeyFrame(int frame) const {
  int best = -1;
  for (const KeyTrack& track : tracks) {
    int next = track.NextKeyFrame(frame);
    if (next >= 0 && (best < 0 || next < best)) best = next;
  }
  return best;
}

int ClipRecord::PreviousClipKeyFrame(int frame) const {
  int best = -1;
  for (const KeyTrack& track : tracks) best = std::max(best, track.PreviousKeyFrame(frame));
  return best;
}

ClipRecord FreshClipRecord() {
  ClipRecord clip;
  clip.tracks[kPositionX] = KeyTrack({{0, 0.0, 0, 0}});
  clip.tracks[kPositionY] = KeyTrack({{0, 0.0, 0, 0}});
  clip.tracks[kScaleX] = KeyTrack({{0, 1.0, 0, 0}});
  clip.tracks[kScaleY] = KeyTrack({{0, 1.0, 0, 0}});
  clip.tracks[kRotation] = KeyTrack({{0, 0.0, 0, 0}});
  return clip;
}

std::string_view EffectLabel(ClipKind kind) {
  switch (kind) {
    case ClipKind::Blur:
      return "FX: Blur";
    case ClipKind::Transparency:
      return "FX: Trans";
    case ClipKind::BrightnessContrast:
      return "FX: Br&Contrst";
    case ClipKind::HueSaturation:
      return "FX: Hue&Sat";
    case ClipKind::DirectionalBlur:
      return "FX: Dir/Blur";
    case ClipKind::Underwater:
      return "FX: Underwater";
    default:
      return {};
  }
}

std::string_view EffectListName(ClipKind kind) {
  switch (kind) {
    case ClipKind::Blur:
      return "Blur";
    case ClipKind::Transparency:
      return "Transparency";
    case ClipKind::BrightnessContrast:
      return "Brightness & Contrast";
    case ClipKind::HueSaturation:
      return "Hue & Saturation";
    case ClipKind::DirectionalBlur:
      return "Directional Blur";
    case ClipKind::Underwater:
      return "Underwater";
    default:
      return {};
  }
}

ClipRecord MakeEffectClip(ClipKind kind) {
  ClipRecord clip;
  clip.kind = kind;
  clip.singleImage = 1;
  clip.name = kEffectClipName;
  clip.label = std::string(EffectLabel(kind));
  double initial = kind == ClipKind::Underwater ? 10.0 : 0.0;
  clip.tracks[kPositionX] = KeyTrack({{0, initial, 0, 0}});
  clip.tracks[kPositionY] = KeyTrack({{0, initial, 0, 0}});
  return clip;
}

ClipRecord MakeVirtualClip(int movieWidth, int movieHeight) {
  ClipRecord clip = FreshClipRecord();
  clip.kind = ClipKind::Virtual;
  clip.singleImage = 1;
  clip.imageWidth = kVirtualClipSide;
  clip.imageHeight = kVirtualClipSide;
  clip.name = kVirtualClipName;
  clip.tracks[kPositionX] = KeyTrack({{0, movieWidth / 2.0, 0, 0}});
  clip.tracks[kPositionY] = KeyTrack({{0, movieHeight / 2.0, 0, 0}});
  return clip;
}

std::string ClipLabel(std::string_view name, int labelNumber) {
  return std::string(name) + " (" + std::to_string(labelNumber) + ")";
}

std::string ClipFramePath(const ClipRecord& clip, int frame) {
  std::string path = NormalizeSeparators(clip.directory) + clip.name;
  if (!clip.singleImage) {
    // "%0*d": a number wider than digitCount is written in full.
    char digits[32];
    int width = std::clamp(clip.digitCount, 0, 20);
    std::snprintf(digits, sizeof digits, "%0*d", width, frame);
    path += digits;
  }
  // The composition names no format: a Targa first, as always; where there is none, the
  // studio picture of that name beside it.
  const std::string targa = ResolvePathIgnoringCase(path + ".tga");
  if (FileOpensForReading(targa)) return targa;
  for (const char* extension : kClipPictureExtensions) {
    std::string other = ResolvePathIgnoringCase(path + extension);
    if (FileOpensForReading(other)) return other;
  }
  return targa;
}

std::optional<int> ImageFrameAt(const ClipRecord& clip, int frame) {
  if (clip.singleImage) return clip.firstFrame;
  // 64-bit so that a damaged record's numbers cannot overflow.
  long long first = clip.firstFrame, last = clip.lastFrame;
  long long length = last - first + 1;
  if (length <= 0) return std::nullopt;
  long long n = first + (static_cast<long long>(frame) - clip.movieStart);
  if (n < first && clip.beforeStart == EdgeBehaviour::Stop) return std::nullopt;
  if (n > last && clip.afterEnd == EdgeBehaviour::Stop) return std::nullopt;
  if (n < first) {
    long long d = n - first;
    switch (clip.beforeStart) {
      case EdgeBehaviour::Hold:
        n = first;
        break;
      case EdgeBehaviour::Loop:
        n = first + (length - (std::llabs(d + 1) % length) - 1);
        break;
      case EdgeBehaviour::PingPong: {
        long long u = d + 1;
        long long k = u / length;
        long long m = length - (std::llabs(u) % length) - 1;
        if (k % 2 == 0) m = length - m - 1;
        n = first + m;
        break;
      }
      case EdgeBehaviour::Stop:
        break;
    }
  }
  if (n > last) {
    long long d = n - first;
    switch (clip.afterEnd) {
      case EdgeBehaviour::Hold:
        n = last;
        break;
      case EdgeBehaviour::Loop:
        n = first + d % length;
        break;
      case EdgeBehaviour::PingPong: {
        long long k = d / length;
        long long m = d % length;
        if (k % 2 != 0) m = length - m - 1;
        n = first + m;
        break;
      }
      case EdgeBehaviour::Stop:
        break;
    }
  }
  return int(n);
}

}  // namespace quenda
