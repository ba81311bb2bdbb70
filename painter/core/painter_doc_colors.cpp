// Colour set commands of the document. Every change is written to the sequence's colour set
// file at once; frames hold only indices, so every frame shows the change.
#include <cstring>

#include "common/file_io.h"
#include "common/targa.h"
#include "painter/core/painter_doc.h"

namespace quenda {
namespace {

constexpr std::string_view kDiscardColorsQuestion =
    "Are you sure you want to discard current colors?  (NO UNDO)";
constexpr std::string_view kMergeColorsQuestion =
    "Are you sure you want to merge colors? (NO UNDO)";
constexpr std::string_view kColorFileTitle = "Select A Color File";
constexpr std::string_view kColorFileFilter = "Quenda Color Files (*.col)";
constexpr std::string_view kNoColorsInFile = "There are no colors in the given colorset file";
constexpr std::string_view kMaximumColors = "Maximum color number reached!";
constexpr std::string_view kReferenceTitle = "Select the reference picture";
constexpr std::string_view kReferenceFilter = "24 bit or 32 bit Targa (.tga) files (*.tga)";

bool SameColour(const ColorEntry& a, const ColorEntry& b) {
  return a.red == b.red && a.green == b.green && a.blue == b.blue;
}

}  // namespace

void CPainterDoc::AddColor(std::string_view name, int red, int green, int blue) {
  if (!sequenceOpen_) return;
  // A full set takes nothing and says nothing; the last entry becomes current all the same.
  quenda::AddColor(colors_, name, red, green, blue);
  currentColor_ = colors_.count - 1;
  WriteColors();
  UpdateAllViews(PainterHint::ColorsChanged);
}

void CPainterDoc::EditColor(std::string_view name, int red, int green, int blue) {
  if (!sequenceOpen_ || currentColor_ < 0 || currentColor_ >= colors_.count) return;
  ColorEntry& entry = colors_.entries[currentColor_];
  const ColorEntry before = entry;
  // The transparent colour keeps its name; its colour may change.
  if (currentColor_ != kTransparentColor) entry.name = ColorNameForFile(name);
  SetEntryColour(entry, red, green, blue);
  if (!SameColour(before, entry)) iconsStale_ = true;
  WriteColors();
  UpdateAllViews(PainterHint::ColorsChanged);
}

void CPainterDoc::EditLineAndUnfilledColors(const ColorEntry& line, const ColorEntry& unfilled) {
  if (!sequenceOpen_) return;
  ColorEntry& lineEntry = colors_.entries[kLineColor];
  ColorEntry& unfilledEntry = colors_.entries[kUnfilledColor];
  if (!SameColour(unfilledEntry, unfilled)) iconsStale_ = true;
  lineEntry.red = line.red;
  lineEntry.green = line.green;
  lineEntry.blue = line.blue;
  unfilledEntry.red = unfilled.red;
  unfilledEntry.green = unfilled.green;
  unfilledEntry.blue = unfilled.blue;
  WriteColors();
  UpdateAllViews(PainterHint::ColorsChanged);
}

bool CPainterDoc::LoadReferencePicture() {
  if (!sequenceOpen_) return false;
  auto picked = prompt_.PickFile(kReferenceTitle, kReferenceFilter, directory());
  if (!picked) return false;
  auto image = ReadTarga(*picked, TargaReader::PainterImport);
  if (!image) {
    prompt_.Message(image.message(), MessageIcon::Error);
    return false;
  }
  referencePicture_ = std::move(*image);  // 3 channels: the import reader drops alpha
  referenceLoaded_ = true;
  return true;
}

bool CPainterDoc::ImportColors() {
  if (!sequenceOpen_) return false;
  if (!prompt_.AskYesNo(kDiscardColorsQuestion)) return false;
  auto picked = prompt_.PickFile(kColorFileTitle, kColorFileFilter, directory());
  // Only an existing file is taken: loading a missing one would make a default set there.
  if (!picked || !FileOpensForReading(*picked)) return false;
  LoadColorSet(colors_, *picked, prompt_);
  colors_.path = ColorSetPath(sequence_);
  WriteColors();
  if (currentColor_ >= colors_.count) currentColor_ = kTransparentColor;
  // Unsaved changes of the frame are dropped: its paints are read again against the new set.
  penActive_ = false;
  GoToFrame(currentFrame_, PainterHint::SequenceOpened);
  UpdateAllViews(PainterHint::ColorsChanged);
  return true;
}

bool CPainterDoc::MergeColors() {
  if (!sequenceOpen_) return false;
  if (!prompt_.AskYesNo(kMergeColorsQuestion)) return false;
  auto picked = prompt_.PickFile(kColorFileTitle, kColorFileFilter, directory());
  if (!picked) return false;
  ColorSet other;
  if (auto text = ReadFileText(*picked)) ApplyColorSet(other, ParseColorSet(*text));
  if (other.count <= kFirstUserColor) {
    prompt_.Message(kNoColorsInFile, MessageIcon::Information);
    return false;
  }
  for (int i = kFirstUserColor; i < other.count; ++i) {
    const ColorEntry& e = other.entries[i];
    if (!quenda::AddColor(colors_, e.name, e.red, e.green, e.blue)) {
      prompt_.Message(kMaximumColors, MessageIcon::Warning);
      break;
    }
  }
  WriteColors();
  UpdateAllViews(PainterHint::ColorsChanged);
  return true;
}

}  // namespace quenda
