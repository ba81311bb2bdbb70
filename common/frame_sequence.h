#pragma once
// Drawing sequences: the numbered drawings of one piece of animation in one directory, known
// only through their file names (name + frame text + ".qds"). Every program finds, orders and
// names frames and their companion files through these functions.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/case_insensitive_path.h"
#include "common/prompt.h"

namespace quenda {

// Frames the exposure sheet holds per sequence, and the painter and scanner hold.
inline constexpr int kSheetSequenceCapacity = 2000;
inline constexpr int kPainterSequenceCapacity = 3000;

inline constexpr char kNoLetter = ' ';

struct FrameTag {
  int number = 0;
  char letter = kNoLetter;  // optional suffix letter; a blank when there is none

  bool operator==(const FrameTag&) const = default;
};

// Tag order: by number, then by the letter's character code (blank first, upper before lower).
bool FrameTagLess(const FrameTag& a, const FrameTag& b);

struct DrawingSequence {
  std::string directory;         // ends with '/' (empty for the current directory)
  std::string name;              // letters only
  std::vector<FrameTag> frames;  // ascending; never more than `capacity` entries
  int frameCount = 0;            // frames.size()
  int capacity = kSheetSequenceCapacity;
  // Matching files left out because the directory held more than `capacity` of them. The
  // listing keeps the lowest frames in tag order and drops the highest, so a sequence that
  // overflows still starts at its first drawing; callers may tell the user from this count.
  int truncated = 0;
};

// "%d", or "%d%c" when the letter is a letter.
std::string FormatFrameTag(const FrameTag& tag);

// The tag of a member file name: the digit run before the extension and the letter (if any)
// just before ".qds". Leading zeros are read as part of the number (walk012 is 12). A number
// too large for a frame saturates; MatchesSequence refuses such names before this is reached.
FrameTag ParseFrameTag(std::string_view fileName);

// True when `fileName` (no directory) is `sequenceName` + digits + optional letter + ".qds",
// ignoring case throughout. The whole name must match, so "walkwalk1.qds" is no frame of walk,
// and a frame number beyond the 32-bit range is not a member.
bool MatchesSequence(std::string_view sequenceName, std::string_view fileName);

// The test for a file the user picks to start a sequence: it ends in ".qds" in lower case and
// a letter stands before the frame digits (an optional suffix letter follows them).
bool IsSequenceFileName(std::string_view path);
inline constexpr std::string_view kInvalidSequenceFileName =
    "Invalid filename format or there is no number found on filename!";

// Builds the sequence of a picked file: `pathName` is its full path ('/' or '\' separators),
// `fileTitle` its name without directory. Lists the directory ignoring case, keeps the member
// files (regular files only) and orders them; frameCount is 0 when none is found.
DrawingSequence OpenSequence(std::string_view pathName, std::string_view fileTitle,
                             int capacity = kSheetSequenceCapacity);

// directory + name + frame text + extension, resolved to an existing file that differs only
// in case when the path does not exist as spelt.
std::string SequenceFilePath(const DrawingSequence& sequence, const FrameTag& tag,
                             std::string_view extension);
// The same, matching case in one listing of the sequence's folder made for many frames
// (SequenceFolder(sequence)).
std::string SequenceFilePath(const DrawingSequence& sequence, const FrameTag& tag,
                             std::string_view extension, const FolderListing& folder);
FolderListing SequenceFolder(const DrawingSequence& sequence);

// The drawing scan, region file and paint file of frame `index`. An index outside
// 0..frameCount-1 shows "Internal error: illegal frame number" and gives an empty path.
std::string FramePath(const DrawingSequence& sequence, int index, Prompt& prompt);
std::string RegionPath(const DrawingSequence& sequence, int index, Prompt& prompt);
std::string PaintPath(const DrawingSequence& sequence, int index, Prompt& prompt);
inline constexpr std::string_view kIllegalFrameNumber = "Internal error: illegal frame number";
// The same through one listing of the sequence's folder, for an operation over many frames.
std::string FramePath(const DrawingSequence& sequence, int index, Prompt& prompt,
                      const FolderListing& folder);
std::string RegionPath(const DrawingSequence& sequence, int index, Prompt& prompt,
                       const FolderListing& folder);
std::string PaintPath(const DrawingSequence& sequence, int index, Prompt& prompt,
                      const FolderListing& folder);

// directory + name + ".col", resolved like the frame paths.
std::string ColorSetPath(const DrawingSequence& sequence);

// The file (found ignoring case) opens for reading. A missing file is no error here.
bool FrameExists(const std::string& path);

// A frame tag typed by the user: the digits before the first letter are the number, that
// letter the suffix ("12a" is 12a, "12" is 12).
FrameTag ParseTypedFrameTag(std::string_view text);
// Index of the frame with exactly that number and letter.
std::optional<int> FindFrame(const std::vector<FrameTag>& frames, const FrameTag& tag);

}  // namespace quenda
