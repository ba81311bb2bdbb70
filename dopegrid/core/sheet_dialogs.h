#pragma once
// The checks and defaults of the exposure sheet's dialogs, the image window's reading of a
// cel and the status bar texts, so that the program's dialogs only show and collect values.

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/drawing_scan.h"
#include "common/result.h"
#include "dopegrid/core/dopegrid_doc.h"

namespace quenda {

inline constexpr int kTransferOnAnyDefault = 10;
bool IsTransferSpacing(int spacing);  // 1 .. 1000

// The frame-rate list of the flipbook and sound settings dialogs; the last entry is "Custom".
inline constexpr std::array<std::string_view, 6> kFrameRateChoices{
    "15", "24 (FILM)", "25 (PAL)", "30 (NTSC)", "60", "Custom"};
inline constexpr std::array<int, 5> kFrameRateValues{15, 24, 25, 30, 60};
// The list entry that shows `rate`: its own, or "Custom".
int FrameRateChoice(int rate);

// "%d%%" of a quality slider position (0 .. 10000).
std::string QualityText(int position);

// Leaving the start field: at most the sheet's frame count and the end, at least 1 (from 1).
int ClampStartFrame(int start, int end, int frameCount);
// Leaving the end field: at most the frame count, at least the start.
int ClampEndFrame(int end, int start, int frameCount);

// What the flipbook and render dialogs start with: the selection's frames (from 1) and levels.
struct JobDefaults {
  int firstFrame = 1;
  int lastFrame = 1;
  std::vector<int> levels;
};
JobDefaults DefaultJob(const SheetSelection& selection);
// Leaving the levels list with nothing chosen chooses them all.
std::vector<int> ChosenLevelsOrAll(std::vector<int> chosen, int levelCount);

// The status bar: "Sound Frame Rate : %d", "Total Frames : %d", "Current Frame : %d" (from 1).
std::array<std::string, 3> StatusTexts(const CDopegridDoc& doc);

// The image window ("Image Display") for a cel reads its drawing with ScanReader::CelViewer,
// whose texts are "Error opening file for reading!", "Incorrect image type!", "Unexpected End
// of Input file" and "Can't Display Zero length image!".
// The drawing of the current cell; "No picture to view in that cell." for an empty one.
Result<std::string> CelSourcePath(const CDopegridDoc& doc, Prompt& prompt);
// "%dx%d" of the drawing's size and of its bed position, as the window shows them.
std::string CelSizeText(const DrawingScan& drawing);
std::string CelOriginText(const DrawingScan& drawing);

}  // namespace quenda
