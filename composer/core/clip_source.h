#pragma once
// Where an image clip's pictures come from: one picked file names the directory, the name, the
// width of the frame numbers and, by looking for neighbours, the range of a sequence.

#include <string>

#include "common/result.h"
#include "composer/core/clip_record.h"

namespace quenda {

struct ClipPathParts {
  std::string directory;  // up to and including the last separator ('/' or '\')
  std::string name;       // the file name up to its first digit or '.'
  int digitCount = 0;     // 0: a single image
  int startNumber = 0;    // the value of the digits
};

// Splits a picked path. Digits followed by anything but "." are refused with the
// "Invalid filename format ..." message.
Result<ClipPathParts> SplitClipPath(const std::string& path);

// The sequence's range around `startNumber`: down while the previous frame file exists, up
// while the next does. The clip's directory, name and digitCount must be set.
void FindSequenceRange(ClipRecord& clip, int startNumber);

// Points `clip` at the picked file's images: directory, name, digitCount, singleImage,
// firstFrame, lastFrame and span (and the image size from the header). Nothing else changes.
// The file must pass the Targa header checks, whose message a failure carries.
Status PointClipAt(const std::string& path, ClipRecord& clip);

// PointClipAt, then a fresh start for an added clip: movie start 0, Stop at both ends, one key
// per track at frame 0 (the movie's centre, scale 1, rotation 0), kind image, not selected,
// not hidden, no parent, label = name.
Status ParseClipFile(const std::string& path, int movieWidth, int movieHeight, ClipRecord& clip);

}  // namespace quenda
