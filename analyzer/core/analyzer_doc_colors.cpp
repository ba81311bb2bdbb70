// The analyzer's colour set commands. The file layout and its reading are the common colour
// set's; what the analyzer adds is its smaller capacity and its own messages.

#include "analyzer/core/analyzer_doc.h"
#include "common/atomic_file.h"
#include "common/file_io.h"

namespace quenda {
namespace {

constexpr std::string_view kTooManyColors = "Sorry, currently only 40 colors are allowed";
constexpr std::string_view kNameTooLong = "Maximum 8 chars!";
constexpr std::string_view kOpenError = "Error opening colors file";
constexpr std::string_view kWriteError = "Error writing colors file";

}  // namespace

void CAnalyzerDoc::SetCurrentColor(int index) {
  if (index < 0 || index >= colors_.count || index == currentColor_) return;
  currentColor_ = index;
  ColorsChanged();
}

Status CAnalyzerDoc::AddColor(std::string_view name, int red, int green, int blue) {
  std::string_view refusal;
  if (colors_.count >= kAnalyzerColorLimit)
    refusal = kTooManyColors;
  else if (name.size() > std::size_t(kColorNameLimit))
    refusal = kNameTooLong;
  if (!refusal.empty()) {
    prompt_.Message(refusal);
    return Error{std::string(refusal)};
  }
  quenda::AddColor(colors_, name, red, green, blue);
  currentColor_ = colors_.count - 1;
  ColorsChanged();
  return Status::Ok();
}

Status CAnalyzerDoc::EditColor(int index, std::string_view name, int red, int green, int blue) {
  if (index < 0 || index >= colors_.count) return Error{"no such colour"};
  ColorEntry& entry = colors_.entries[std::size_t(index)];
  if (index != kTransparentColor) {
    if (name.size() > std::size_t(kColorNameLimit)) {
      prompt_.Message(kNameTooLong);
      return Error{std::string(kNameTooLong)};
    }
    entry.name = ColorNameForFile(name);
  }
  SetEntryColour(entry, red, green, blue);
  ColorsChanged();
  return Status::Ok();
}

Status CAnalyzerDoc::LoadColorSet(std::string_view startDirectory) {
  auto path = prompt_.PickFile(kLoadColorSetTitle, kColorModelFilter, startDirectory);
  if (!path) return Status::Ok();
  return LoadColorSetFile(*path);
}

Status CAnalyzerDoc::LoadColorSetFile(const std::string& path) {
  std::optional<std::string> text = ReadFileText(path);
  if (!text) {
    prompt_.Message(kOpenError, MessageIcon::Error);
    return Error{std::string(kOpenError)};
  }
  const ParsedColorSet parsed = ParseColorSet(*text);
  if (parsed.entries.size() > std::size_t(kAnalyzerColorLimit)) {
    prompt_.Message(kTooManyColors);
    return Error{std::string(kTooManyColors)};
  }
  ApplyColorSet(colors_, parsed);
  colors_.path = path;
  if (sequence_)
    onDisk_.Remember(path);
  else
    HoldFiles();
  if (currentColor_ >= colors_.count) currentColor_ = kTransparentColor;
  ColorsChanged();
  return Status::Ok();
}

Status CAnalyzerDoc::SaveColorSetFile(const std::string& path) {
  std::string elsewhere;
  if (MayOverwrite(path, kSaveColorSetTitle, kColorModelFilter, elsewhere) ==
      ChangedFileAnswer::Cancel)
    return Error{"The colour set " + path + " was not written."};
  const std::string target = elsewhere.empty() ? path : elsewhere;
  Status written =
      WriteFileAtomically(target, FormatColorSet(colors_), WriteMessages(std::string(kWriteError)));
  if (!written) {
    prompt_.Message(written.message(), MessageIcon::Error);
    return written;
  }
  // Written elsewhere, the held file stays the other program's, and so does the sequence's.
  if (!elsewhere.empty()) return Status::Ok();
  onDisk_.Remember(path);
  if (!sequence_) {
    colors_.path = path;
    HoldFiles();
  }
  return Status::Ok();
}

}  // namespace quenda
