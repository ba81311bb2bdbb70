#include "dopegrid/core/sheet_dialogs.h"

#include <algorithm>

#include "common/byte_order.h"
#include "common/drawing_scan.h"
#include "common/file_io.h"

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

std::string CelImage::SizeText() const {
  return std::to_string(width) + "x" + std::to_string(height);
}

std::string CelImage::OriginText() const {
  return std::to_string(xPosition) + "x" + std::to_string(yPosition);
}

Result<std::string> CelSourcePath(const CDopegridDoc& doc, Prompt& prompt) {
  const SheetCell& cell = doc.sheet().Cell(doc.currentLevel(), doc.currentFrame());
  if (!cell.used() || cell.sequence < 0 || cell.sequence >= doc.sequenceCount())
    return Error{"No picture to view in that cell."};
  return FramePath(doc.sequences()[std::size_t(cell.sequence)], cell.frame, prompt);
}

Result<CelImage> ParseCelImage(std::span<const uint8_t> b) {
  const Error endOfInput{"Unexpected End of Input file"};
  if (b.size() < std::size_t(kDrawingScanHeaderSize)) return endOfInput;
  if (b[1] != 0 || b[2] != kDrawingScanImageType || b[16] != 8)
    return Error{"Incorrect image type!"};
  CelImage image;
  image.dpi = GetU16LE(&b[3]);
  image.pegPosition = GetU16LE(&b[5]);
  image.xPosition = GetU16LE(&b[8]);
  image.yPosition = GetU16LE(&b[10]);
  image.width = GetU16LE(&b[12]);
  image.height = GetU16LE(&b[14]);
  if (image.width == 0 || image.height == 0) return Error{"Can't Display Zero length image!"};
  std::size_t count = std::size_t(image.width) * std::size_t(image.height);
  if (b.size() - kDrawingScanHeaderSize < count) return endOfInput;
  image.pixels.assign(b.begin() + kDrawingScanHeaderSize,
                      b.begin() + std::ptrdiff_t(kDrawingScanHeaderSize + count));
  return image;
}

Result<CelImage> ReadCelImage(const std::string& path) {
  std::optional<std::vector<uint8_t>> bytes = ReadFileBytes(path);
  if (!bytes) return Error{"Error opening file for reading!"};
  return ParseCelImage(*bytes);
}

}  // namespace quenda
