#include "composer/core/composition_file.h"

#include <filesystem>

#include "common/archive.h"
#include "common/case_insensitive_path.h"
#include "common/path.h"
#include "composer/core/lost_clips.h"

namespace quenda {

namespace {

void EncodeClip(ArchiveWriter& out, const ClipRecord& clip) {
  out.I32(clip.lastFrame);
  out.String(clip.name);
  out.String(clip.label);
  out.I32(clip.span);
  out.I32(clip.movieStart);
  out.I32(clip.digitCount);
  out.String(clip.directory);
  out.I32(clip.parentIndex);
  for (const KeyTrack& track : clip.tracks) {
    out.I32(track.count());
    for (const Key& key : track.keys()) {
      out.I32(key.frame);
      out.F64(key.value);
      out.I32(key.easeIn);
      out.I32(key.easeOut);
    }
  }
  out.I32(clip.selected);
  out.I32(clip.singleImage);
  out.I32(clip.imageWidth);
  out.I32(clip.imageHeight);
  out.I32(clip.firstFrame);
  out.I32(int(clip.kind));
  out.I32(clip.labelNumber);
  out.I32(int(clip.beforeStart));
  out.I32(int(clip.afterEnd));
  out.I32(clip.hidden);
}

bool IsEdgeCode(int code) {
  return code >= 0 && code <= 3;
}

// False when the record is cut short or holds what no composition can.
bool ParseClip(ArchiveReader& in, ClipRecord& clip) {
  clip.lastFrame = in.I32();
  clip.name = in.String();
  clip.label = in.String();
  clip.span = in.I32();
  clip.movieStart = in.I32();
  clip.digitCount = in.I32();
  clip.directory = in.String();
  clip.parentIndex = in.I32();
  for (KeyTrack& track : clip.tracks) {
    int count = in.I32();
    if (!in.ok() || count < 0 || count > kKeySlots ||
        in.remaining() < std::size_t(count) * kKeyRecordSize)
      return false;
    std::vector<Key> keys(static_cast<std::size_t>(count));
    for (Key& key : keys) {
      key.frame = in.I32();
      key.value = in.F64();
      key.easeIn = in.I32();
      key.easeOut = in.I32();
    }
    track = KeyTrack(std::move(keys));
  }
  clip.selected = in.I32();
  clip.singleImage = in.I32();
  clip.imageWidth = in.I32();
  clip.imageHeight = in.I32();
  clip.firstFrame = in.I32();
  int kind = in.I32();
  clip.labelNumber = in.I32();
  int beforeStart = in.I32();
  int afterEnd = in.I32();
  clip.hidden = in.I32();
  if (!in.ok() || !IsKnownKind(kind) || !IsEdgeCode(beforeStart) || !IsEdgeCode(afterEnd))
    return false;
  clip.kind = ClipKind(kind);
  clip.beforeStart = EdgeBehaviour(beforeStart);
  clip.afterEnd = EdgeBehaviour(afterEnd);
  return true;
}

ArchiveWriter WriteComposition(const Composition& c) {
  ArchiveWriter out;
  out.I32(c.clipCount());
  out.I32(c.width);
  out.I32(c.height);
  out.I32(c.frames);
  out.I32(c.quality);
  out.I32(c.antialias);
  out.I32(c.frameRate);
  out.F32(c.pixelAspect);
  out.U32(c.backgroundColor);
  out.I32(c.currentFrame);
  out.I32(c.timelineZoom);
  out.I32(c.showLabels);
  out.I32(c.showSafeFrame);
  out.F32(c.titleSafe);
  out.F32(c.actionSafe);
  out.F32(c.viewZoom);
  out.I32(c.units);
  out.I32(c.showRuler);
  out.I32(c.dpi);
  for (const ClipRecord& clip : c.clips) EncodeClip(out, clip);
  return out;
}

}  // namespace

std::vector<uint8_t> EncodeComposition(const Composition& composition) {
  return WriteComposition(composition).bytes();
}

Result<Composition> ParseComposition(std::span<const uint8_t> bytes, std::string_view path) {
  ArchiveReader in(bytes);
  Composition c;
  int clipCount = in.I32();
  c.width = in.I32();
  c.height = in.I32();
  c.frames = in.I32();
  c.quality = in.I32();
  c.antialias = in.I32();
  c.frameRate = in.I32();
  c.pixelAspect = in.F32();
  c.backgroundColor = in.U32();
  c.currentFrame = in.I32();
  c.timelineZoom = in.I32();
  c.showLabels = in.I32();
  c.showSafeFrame = in.I32();
  c.titleSafe = in.F32();
  c.actionSafe = in.F32();
  c.viewZoom = in.F32();
  c.units = in.I32();
  c.showRuler = in.I32();
  c.dpi = in.I32();
  // A movie size or quality no dialog can make would only make the engine allocate wildly.
  bool sizeOk = c.width >= kMinMovieSide && c.width <= kMaxMovieSide && c.height >= kMinMovieSide &&
                c.height <= kMaxMovieSide;
  bool qualityOk = c.quality >= 0 && c.quality <= 2;
  if (!in.ok() || clipCount < 0 || clipCount > kMaxClips || !sizeOk || !qualityOk)
    return ArchiveEndsEarly(path);
  c.clips.resize(std::size_t(clipCount));
  for (ClipRecord& clip : c.clips) {
    if (!ParseClip(in, clip)) return ArchiveEndsEarly(path);
    if (clip.singleImage) clip.firstFrame = clip.lastFrame = 0;
  }
  for (int i = 0; i < clipCount; ++i) {
    ClipRecord& clip = c.clips[std::size_t(i)];
    if (clip.parentIndex < -1 || clip.parentIndex >= clipCount || clip.parentIndex == i)
      clip.parentIndex = -1;
  }
  return c;
}

Status SaveComposition(const std::string& path, const Composition& composition) {
  return SaveArchive(path, WriteComposition(composition));
}

void ResolveRelativeClipDirectories(Composition& composition, const std::string& path) {
  for (ClipRecord& clip : composition.clips) {
    if (!clip.IsImage()) continue;
    auto folder = FindRelativeFolder(clip.directory, path, [&](const std::string& dir) {
      std::error_code ignored;  // a folder that is not there holds no picture
      if (!std::filesystem::is_directory(ResolvePathIgnoringCase(dir), ignored)) return false;
      ClipRecord moved = clip;
      moved.directory = dir;
      return CheckClipFrames(moved) != FrameCoverage::None;
    });
    if (folder) clip.directory = std::move(*folder);
  }
}

Result<Composition> ReadComposition(const std::string& path) {
  Result<std::vector<uint8_t>> bytes = LoadArchive(path);
  if (!bytes) return Error{bytes.message()};
  Result<Composition> composition = ParseComposition(*bytes, path);
  if (composition) ResolveRelativeClipDirectories(*composition, path);
  return composition;
}

Result<Composition> LoadComposition(const std::string& path, Prompt& prompt, bool* changed) {
  Result<Composition> composition = ReadComposition(path);
  if (!composition) return composition;
  const std::vector<uint8_t> before =
      changed ? EncodeComposition(*composition) : std::vector<uint8_t>();
  FindLostClips(*composition, prompt);
  if (changed) *changed = EncodeComposition(*composition) != before;
  return composition;
}

}  // namespace quenda
