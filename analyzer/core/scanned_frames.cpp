#include "analyzer/core/scanned_frames.h"

#include <algorithm>
#include <filesystem>
#include <utility>

#include "common/frame_renumber.h"
#include "common/frame_sequence.h"

namespace quenda {
namespace fs = std::filesystem;

ScannedFrames::ScannedFrames(Prompt& prompt, std::string directory, std::string name)
    : prompt_(prompt), directory_(std::move(directory)), name_(std::move(name)) {}

std::string ScannedFrames::PathOf(int number, const char* extension) const {
  return directory_ + name_ + std::to_string(number) + extension;
}

int ScannedFrames::NextNumber() const {
  const std::string first = name_ + "1.qds";
  const DrawingSequence on = OpenSequence(directory_ + first, first, kPainterSequenceCapacity);
  int highest = 0;
  for (int i = 0; i < on.frameCount; ++i) highest = std::max(highest, on.frames[i].number);
  for (const ScannedFrame& frame : frames_) highest = std::max(highest, frame.number);
  return highest + 1;
}

void ScannedFrames::Add(int number) {
  frames_.push_back({number, PathOf(number)});
}

bool ScannedFrames::Delete(int index) {
  if (index < 0 || index >= int(frames_.size())) return false;
  const std::string& path = frames_[index].path;
  if (!prompt_.AskYesNo("Are you sure you want to delete " + name_ +
                        std::to_string(frames_[index].number) + ".qds"))
    return false;
  std::error_code ec;
  const fs::file_status status = fs::status(path, ec);
  if (!fs::exists(status)) {
    prompt_.Message("The file does not exist");
    return false;
  }
  // A file without write permission counts as read-only even for a user who could unlink it.
  if ((status.permissions() & fs::perms::owner_write) == fs::perms::none) {
    prompt_.Message("The file is read-only");
    return false;
  }
  if (!fs::remove(path, ec)) {
    prompt_.Message("Unknown problem in delete");
    return false;
  }
  frames_.erase(frames_.begin() + index);
  return true;
}

bool ScannedFrames::Renumber(int index, int number) {
  if (index < 0 || index >= int(frames_.size()) || number < 1) return false;
  ScannedFrame& frame = frames_[index];
  if (number == frame.number) return false;
  if (FrameExists(PathOf(number))) {
    prompt_.Message("The destination file exists");
    return false;
  }
  std::error_code ec;
  if (!fs::exists(frame.path, ec)) {
    prompt_.Message("The file does not exist");
    return false;
  }
  const auto paths = [this](int n) {
    return FrameFilePaths{PathOf(n), PathOf(n, ".rgn"), PathOf(n, ".pnt")};
  };
  if (Status moved = RenumberFrameFiles(paths(frame.number), paths(number)); !moved) {
    prompt_.Message(moved.message());
    return false;
  }
  frame = {number, PathOf(number)};
  return true;
}

}  // namespace quenda
