#include "common/frame_sequence.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <memory>

#include "common/case_insensitive_path.h"
#include "common/file_io.h"
#include "common/folder_names.h"
#include "common/path.h"

namespace quenda {
namespace {

constexpr std::string_view kScanExtension = ".qds";

bool IsLetter(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

bool EndsWith(std::string_view text, std::string_view tail) {
  return text.size() >= tail.size() && text.substr(text.size() - tail.size()) == tail;
}

// Index of the first digit of the run that ends at `last`.
std::size_t DigitRunStart(std::string_view text, std::size_t last) {
  std::size_t first = last;
  while (first > 0 && IsDigit(text[first - 1])) --first;
  return first;
}

// The decimal value of text[first..last], or -1 beyond the 32-bit range.
long long DigitValue(std::string_view text, std::size_t first, std::size_t last) {
  long long value = 0;
  for (std::size_t i = first; i <= last; ++i) {
    value = value * 10 + (text[i] - '0');
    if (value > INT_MAX) return -1;
  }
  return value;
}

std::string IndexedPath(const DrawingSequence& sequence, int index, Prompt& prompt,
                        std::string_view extension, const FolderListing* folder = nullptr) {
  if (index < 0 || index >= sequence.frameCount || index >= int(sequence.frames.size())) {
    prompt.Message(kIllegalFrameNumber);
    return {};
  }
  const FrameTag& tag = sequence.frames[std::size_t(index)];
  return folder ? SequenceFilePath(sequence, tag, extension, *folder)
                : SequenceFilePath(sequence, tag, extension);
}

}  // namespace

bool FrameTagLess(const FrameTag& a, const FrameTag& b) {
  if (a.number != b.number) return a.number < b.number;
  return static_cast<unsigned char>(a.letter) < static_cast<unsigned char>(b.letter);
}

std::string FormatFrameTag(const FrameTag& tag) {
  std::string text = std::to_string(tag.number);
  if (IsLetter(tag.letter)) text += tag.letter;
  return text;
}

FrameTag ParseFrameTag(std::string_view fileName) {
  FrameTag tag;
  if (fileName.size() < kScanExtension.size() + 1) return tag;
  std::size_t last = fileName.size() - kScanExtension.size() - 1;
  if (!IsDigit(fileName[last])) tag.letter = fileName[last];
  // The number is the last run of digits in the name.
  std::size_t end = fileName.size();
  while (end > 0 && !IsDigit(fileName[end - 1])) --end;
  if (end == 0) return tag;
  std::size_t first = DigitRunStart(fileName, end - 1);
  long long value = DigitValue(fileName, first, end - 1);
  tag.number = value < 0 ? INT_MAX : int(value);
  return tag;
}

bool MatchesSequence(std::string_view sequenceName, std::string_view fileName) {
  const std::string file = LowerAscii(std::string(fileName));
  const std::string name = LowerAscii(std::string(sequenceName));
  if (!EndsWith(file, kScanExtension) || file.size() == kScanExtension.size()) return false;
  std::size_t last = file.size() - kScanExtension.size() - 1;
  if (IsLetter(file[last])) {
    if (last == 0) return false;
    --last;
  }
  if (!IsDigit(file[last])) return false;
  std::size_t first = DigitRunStart(file, last);
  if (DigitValue(file, first, last) < 0) return false;
  return std::string_view(file).substr(0, first) == name;
}

bool IsSequenceFileName(std::string_view path) {
  if (path.size() < 6 || !EndsWith(path, kScanExtension)) return false;
  std::size_t p = path.size() - kScanExtension.size() - 1;
  if (IsLetter(path[p])) --p;  // the suffix letter; p stays >= 1 as the path has 6 characters
  if (!IsDigit(path[p])) return false;
  std::size_t first = DigitRunStart(path, p);
  return first > 0 && IsLetter(path[first - 1]);
}

DrawingSequence OpenSequence(std::string_view pathName, std::string_view fileTitle, int capacity) {
  DrawingSequence sequence;
  sequence.capacity = std::max(capacity, 0);
  std::size_t letters = 0;
  while (letters < fileTitle.size() && IsLetter(fileTitle[letters])) ++letters;
  sequence.name = std::string(fileTitle.substr(0, letters));
  std::string path = NormalizeSeparators(std::string(pathName));
  sequence.directory = DirectoryOf(path);

  // The listing ignores case: a directory that differs only in case is still found. The same
  // listing then resolves the frames' files (SequenceFolder).
  std::vector<FrameTag> found;
  const std::string directory = ResolvePathIgnoringCase(sequence.directory);
  const std::shared_ptr<const FolderNames> listing = NamesInFolder(directory);
  for (const std::string& fileName : listing->regularFiles)
    if (MatchesSequence(sequence.name, fileName)) found.push_back(ParseFrameTag(fileName));
  // Stable, so equal tags keep their listing order, as neighbour swaps would.
  std::stable_sort(found.begin(), found.end(), FrameTagLess);
  if (found.size() > std::size_t(sequence.capacity)) {
    sequence.truncated = int(found.size() - std::size_t(sequence.capacity));
    found.resize(std::size_t(sequence.capacity));
  }
  sequence.frames = std::move(found);
  sequence.frameCount = int(sequence.frames.size());
  return sequence;
}

std::string SequenceFilePath(const DrawingSequence& sequence, const FrameTag& tag,
                             std::string_view extension) {
  std::string path = NormalizeSeparators(sequence.directory) + sequence.name + FormatFrameTag(tag) +
                     std::string(extension);
  return ResolvePathIgnoringCase(path);
}

std::string SequenceFilePath(const DrawingSequence& sequence, const FrameTag& tag,
                             std::string_view extension, const FolderListing& folder) {
  return folder.Resolve(NormalizeSeparators(sequence.directory) + sequence.name +
                        FormatFrameTag(tag) + std::string(extension));
}

FolderListing SequenceFolder(const DrawingSequence& sequence) {
  return FolderListing(NormalizeSeparators(sequence.directory));
}

std::string FramePath(const DrawingSequence& sequence, int index, Prompt& prompt) {
  return IndexedPath(sequence, index, prompt, kScanExtension);
}

std::string RegionPath(const DrawingSequence& sequence, int index, Prompt& prompt) {
  return IndexedPath(sequence, index, prompt, ".rgn");
}

std::string PaintPath(const DrawingSequence& sequence, int index, Prompt& prompt) {
  return IndexedPath(sequence, index, prompt, ".pnt");
}

std::string FramePath(const DrawingSequence& sequence, int index, Prompt& prompt,
                      const FolderListing& folder) {
  return IndexedPath(sequence, index, prompt, kScanExtension, &folder);
}

std::string RegionPath(const DrawingSequence& sequence, int index, Prompt& prompt,
                       const FolderListing& folder) {
  return IndexedPath(sequence, index, prompt, ".rgn", &folder);
}

std::string PaintPath(const DrawingSequence& sequence, int index, Prompt& prompt,
                      const FolderListing& folder) {
  return IndexedPath(sequence, index, prompt, ".pnt", &folder);
}

std::string ColorSetPath(const DrawingSequence& sequence) {
  return ResolvePathIgnoringCase(NormalizeSeparators(sequence.directory) + sequence.name + ".col");
}

bool FrameExists(const std::string& path) {
  return !path.empty() && FileOpensForReading(ResolvePathIgnoringCase(path));
}

FrameTag ParseTypedFrameTag(std::string_view text) {
  FrameTag tag;
  long long number = 0;
  for (char c : text) {
    if (std::isalpha(static_cast<unsigned char>(c))) {
      tag.letter = c;
      break;
    }
    if (c >= '0' && c <= '9') number = std::min<long long>(number * 10 + (c - '0'), INT_MAX);
  }
  tag.number = int(number);
  return tag;
}

std::optional<int> FindFrame(const std::vector<FrameTag>& frames, const FrameTag& tag) {
  for (std::size_t i = 0; i < frames.size(); ++i)
    if (frames[i] == tag) return int(i);
  return std::nullopt;
}

}  // namespace quenda
