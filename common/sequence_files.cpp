#include "common/sequence_files.h"

#include <algorithm>
#include <filesystem>

#include "common/case_insensitive_path.h"
#include "common/frame_sequence.h"
#include "common/path.h"

namespace quenda {

std::vector<std::string> ExistingSequenceFiles(const std::string& directory,
                                               const std::string& name, ColorSetFile colorSet) {
  namespace fs = std::filesystem;
  std::vector<std::string> found;
  std::error_code ec;
  fs::directory_iterator it(directory.empty() ? std::string(".") : directory, ec);
  for (fs::directory_iterator end; !ec && it != end; it.increment(ec)) {
    const std::string file = it->path().filename().string();
    const std::string extension = LowerAscii(ExtensionOf(file));
    const bool frameFile = extension == ".qds" || extension == ".rgn" || extension == ".pnt";
    if ((frameFile && MatchesSequence(name, TitleOf(file) + ".qds")) ||
        (colorSet == ColorSetFile::Included && LowerAscii(file) == LowerAscii(name + ".col")))
      found.push_back(JoinPath(directory, file));
  }
  std::sort(found.begin(), found.end());
  return found;
}

int CountDrawings(const std::vector<std::string>& files) {
  return int(std::count_if(files.begin(), files.end(), [](const std::string& file) {
    return LowerAscii(ExtensionOf(file)) == ".qds";
  }));
}

Status RemoveSequenceFiles(const std::vector<std::string>& files,
                           const std::function<void(const std::string&)>& removed) {
  for (const std::string& path : files) {
    if (std::error_code ec; !std::filesystem::remove(path, ec) && ec)
      return Error{"Could not remove " + path + ": " + ec.message()};
    if (removed) removed(path);
  }
  return Status::Ok();
}

}  // namespace quenda
