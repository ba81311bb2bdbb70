#pragma once
// The frames the analyzer's scan mode wrote, as its scanned-image list shows them: deleting
// one (after a question) and giving one another number.

#include <string>
#include <vector>

#include "common/prompt.h"

namespace quenda {

struct ScannedFrame {
  int number = 0;
  std::string path;  // directory + name + number + ".qds"
};

class ScannedFrames {
 public:
  // `directory` ends with its separator.
  ScannedFrames(Prompt& prompt, std::string directory, std::string name);

  // The number the next scan is written under: one past the highest frame of the sequence on
  // disk, so that a scan never replaces a drawing already there.
  int NextNumber() const;
  void Add(int number);

  // Asks "Are you sure you want to delete NAME7.qds" and deletes the file; a file that is gone
  // or read-only, or that cannot be deleted, is reported and stays in the list.
  bool Delete(int index);
  // Renames the drawing (with its region and paint files) to `number`; refused when that
  // drawing exists already. Region and paint files left under `number` go; a failed rename puts
  // back what had moved and is reported.
  bool Renumber(int index, int number);

  const std::vector<ScannedFrame>& frames() const { return frames_; }
  const std::string& name() const { return name_; }

 private:
  std::string PathOf(int number, const char* extension = ".qds") const;

  Prompt& prompt_;
  std::string directory_;
  std::string name_;
  std::vector<ScannedFrame> frames_;
};

}  // namespace quenda
