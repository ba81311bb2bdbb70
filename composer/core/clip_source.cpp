#include "composer/core/clip_source.h"

#include <algorithm>

#include "common/byte_order.h"
#include "common/file_io.h"
#include "common/frame_sequence.h"
#include "common/path.h"
#include "common/studio_picture.h"
#include "common/targa.h"

namespace quenda {

namespace {

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

// A number no frame file name would hold keeps the stepping finite on odd names.
constexpr int kLargestFrameNumber = 99999999;

}  // namespace

namespace {

// Studio files are numbered by the last run of digits of their title, after a scene or shot
// code (sc010_bg_0001.png) or a dot (bg.0001.exr).
Result<ClipPathParts> SplitStudioClipPath(const std::string& path) {
  ClipPathParts parts;
  parts.directory = DirectoryOf(path);
  const std::string title = TitleOf(path);
  std::size_t digits = title.size();
  while (digits > 0 && IsDigit(title[digits - 1])) --digits;
  parts.name = title.substr(0, digits);
  parts.digitCount = int(title.size() - digits);
  long long value = 0;
  for (std::size_t i = digits; i < title.size(); ++i)
    value = std::min<long long>(value * 10 + (title[i] - '0'), kLargestFrameNumber);
  parts.startNumber = int(value);
  if (parts.digitCount == 0 && std::any_of(title.begin(), title.end(), IsDigit))
    return Error{"Invalid filename format in clip file " + path +
                 "\nNumbers should only appear at the end of clip name."};
  return parts;
}

}  // namespace

Result<ClipPathParts> SplitClipPath(const std::string& path) {
  if (IsStudioPictureExtension(ExtensionOf(path))) return SplitStudioClipPath(path);
  ClipPathParts parts;
  parts.directory = DirectoryOf(path);
  const std::size_t nameStart = parts.directory.size();
  std::size_t i = nameStart;
  while (i < path.size() && !IsDigit(path[i]) && path[i] != '.') ++i;
  parts.name = path.substr(nameStart, i - nameStart);
  std::size_t digitsStart = i;
  long long value = 0;
  while (i < path.size() && IsDigit(path[i])) {
    value = std::min<long long>(value * 10 + (path[i] - '0'), kLargestFrameNumber);
    ++i;
  }
  parts.digitCount = int(i - digitsStart);
  parts.startNumber = int(value);
  if (parts.digitCount > 0 && (i >= path.size() || path[i] != '.'))
    return Error{"Invalid filename format in clip file " + path +
                 "\nNumbers should only appear at the end of clip name."};
  return parts;
}

void FindSequenceRange(ClipRecord& clip, int startNumber) {
  int first = startNumber;
  while (first > 0 && FrameExists(ClipFramePath(clip, first - 1))) --first;
  int last = startNumber;
  while (last < kLargestFrameNumber && FrameExists(ClipFramePath(clip, last + 1))) ++last;
  clip.firstFrame = first;
  clip.lastFrame = last;
  clip.span = last - first;
}

Status PointClipAt(const std::string& path, ClipRecord& clip) {
  const bool studio = IsStudioPictureExtension(ExtensionOf(path));
  Result<StudioPictureHeader> header = StudioPictureHeader{};
  if (studio) {
    header = ReadStudioPictureHeader(path);
    if (!header) return header.status();
  } else if (Status checked = CheckTarga(path, TargaReader::ComposerPicking); !checked) {
    return checked;
  }
  Result<ClipPathParts> parts = SplitClipPath(path);
  if (!parts) return parts.status();
  clip.directory = parts->directory;
  clip.name = parts->name;
  clip.digitCount = parts->digitCount;
  if (parts->digitCount == 0) {
    clip.singleImage = 1;
    clip.firstFrame = clip.lastFrame = clip.span = 0;
  } else {
    clip.singleImage = 0;
    FindSequenceRange(clip, parts->startNumber);
  }
  if (studio) {
    clip.imageWidth = header->width;
    clip.imageHeight = header->height;
  } else if (auto bytes = ReadFileBytes(path, 0, kTargaHeaderSize);
             bytes && bytes->size() == kTargaHeaderSize) {
    clip.imageWidth = GetU16LE(bytes->data() + 12);
    clip.imageHeight = GetU16LE(bytes->data() + 14);
  }
  return {};
}

Status ParseClipFile(const std::string& path, int movieWidth, int movieHeight, ClipRecord& clip) {
  if (Status pointed = PointClipAt(path, clip); !pointed) return pointed;
  clip.movieStart = 0;
  clip.beforeStart = clip.afterEnd = EdgeBehaviour::Stop;
  clip.tracks[kPositionX] = KeyTrack({{0, movieWidth * 0.5, 0, 0}});
  clip.tracks[kPositionY] = KeyTrack({{0, movieHeight * 0.5, 0, 0}});
  clip.tracks[kScaleX] = KeyTrack({{0, 1.0, 0, 0}});
  clip.tracks[kScaleY] = KeyTrack({{0, 1.0, 0, 0}});
  clip.tracks[kRotation] = KeyTrack({{0, 0.0, 0, 0}});
  clip.kind = ClipKind::Image;
  clip.selected = 0;
  clip.hidden = 0;
  clip.label = clip.name;
  clip.parentIndex = -1;
  return {};
}

}  // namespace quenda
