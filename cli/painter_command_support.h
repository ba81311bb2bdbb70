#pragma once
// What the painter's subcommands share: opening the sequence of a drawing at that drawing, and
// naming frames in their output.

#include <optional>
#include <string>

#include "painter/core/painter_doc.h"

namespace quenda::cli {

// Opens the sequence of `drawingPath` and moves to that drawing. The document's messages have
// gone through its prompt; false when the sequence or the drawing did not load.
bool OpenAtDrawing(CPainterDoc& doc, const std::string& drawingPath);

// "walk12a": the sequence name and frame text of frame `index`.
std::string FrameName(const CPainterDoc& doc, int index);

// A colour of the set by its index or (ignoring case) its name; entries 1 and 2 are refused,
// as no tool paints with them.
std::optional<int> FindPaintColour(const ColorSet& colors, const std::string& text);

}  // namespace quenda::cli
