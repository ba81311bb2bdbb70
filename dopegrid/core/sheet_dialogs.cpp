#include "dopegrid/core/sheet_dialogs.h"

#include <algorithm>

namespace quenda {

bool IsTransferSpacing(int spacing) {
  return spacing >= 1 && spacing <= kMaxTransferSpacing;
}

int FrameRateChoice(int rate) {
  auto found = std::find(kFrameRateValues.begin(), kFrameRateValues.end(), rate);
  return int(found - kFrameRateValues.begin());  // one past the values is "Custom"
}

std::string QualityText(int position) {
  return std::to_string(position / 100) + "%";
}

int ClampStartFrame(int start, int end, int frameCount) {
  return std::max(std::min({start, frameCount, end}), 1);
}

int ClampEndFrame(int end, int start, int frameCount) {
  return std::max(std::min(end, frameCount), start);
}

JobDefaults DefaultJob(const SheetSelection& selection) {
  JobDefaults job;
  job.firstFrame = selection.firstFrame + 1;
  job.lastFrame = selection.lastFrame + 1;
  for (int l = selection.firstLevel; l <= selection.lastLevel; ++l) job.levels.push_back(l);
  return job;
}

std::vector<int> ChosenLevelsOrAll(std::vector<int> chosen, int levelCount) {
  std::erase_if(chosen, [&](int l) { return l < 0 || l >= levelCount; });
  if (chosen.empty())
    for (int l = 0; l < levelCount; ++l) chosen.push_back(l);
  std::sort(chosen.begin(), chosen.end());
  chosen.erase(std::unique(chosen.begin(), chosen.end()), chosen.end());
  return chosen;
}

std::array<std::string, 3> StatusTexts(const CDopegridDoc& doc) {
  return {"Sound Frame Rate : " + std::to_string(doc.sound().frameRate),
          "Total Frames : " + std::to_string(doc.sheet().frameCount),
          "Current Frame : " + std::to_string(doc.currentFrame() + 1)};
}

std::string CelSizeText(const DrawingScan& drawing) {
  return std::to_string(drawing.picture.width()) + "x" + std::to_string(drawing.picture.height());
}

std::string CelOriginText(const DrawingScan& drawing) {
  return std::to_string(drawing.xPosition) + "x" + std::to_string(drawing.yPosition);
}

Result<std::string> CelSourcePath(const CDopegridDoc& doc, Prompt& prompt) {
  const SheetCell& cell = doc.sheet().Cell(doc.currentLevel(), doc.currentFrame());
  if (!cell.used() || cell.sequence < 0 || cell.sequence >= doc.sequenceCount())
    return Error{"No picture to view in that cell."};
  return FramePath(doc.sequences()[std::size_t(cell.sequence)], cell.frame, prompt);
}

}  // namespace quenda
