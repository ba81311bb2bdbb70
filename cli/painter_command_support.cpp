#include "cli/painter_command_support.h"

#include <algorithm>
#include <cctype>

#include "cli/arguments.h"
#include "common/frame_sequence.h"
#include "common/path.h"

namespace quenda::cli {

bool OpenAtDrawing(CPainterDoc& doc, const std::string& drawingPath) {
  if (!doc.OpenSequenceFile(drawingPath)) return false;
  const FrameTag tag = ParseFrameTag(FileNameOf(drawingPath));
  for (int i = 0; i < doc.frameCount(); ++i) {
    const FrameTag& f = doc.sequence().frames[i];
    if (f.number == tag.number && std::tolower(static_cast<unsigned char>(f.letter)) ==
                                      std::tolower(static_cast<unsigned char>(tag.letter))) {
      if (i != doc.currentFrame()) doc.SelectFrame(i);
      return doc.frameLoaded();
    }
  }
  return doc.frameLoaded();
}

std::string FrameName(const CPainterDoc& doc, int index) {
  return doc.name() + FormatFrameTag(doc.sequence().frames[index]);
}

std::optional<int> FindPaintColour(const ColorSet& colors, const std::string& text) {
  auto usable = [&](int i) { return i == kTransparentColor || (i >= 3 && i < colors.count); };
  if (auto number = ParseInt(text, 0, kColorSlots - 1)) {
    if (usable(*number)) return number;
    return std::nullopt;
  }
  auto lower = [](std::string s) {
    std::transform(s.begin(), s.end(), s.begin(),
                   [](unsigned char c) { return char(std::tolower(c)); });
    return s;
  };
  for (int i = 0; i < colors.count; ++i)
    if (usable(i) && lower(colors.entries[i].name) == lower(text)) return i;
  return std::nullopt;
}

}  // namespace quenda::cli
