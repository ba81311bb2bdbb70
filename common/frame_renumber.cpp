#include "common/frame_renumber.h"

#include <filesystem>
#include <system_error>
#include <utility>
#include <vector>

#include "common/file_io.h"

namespace quenda {
namespace fs = std::filesystem;
namespace {

// The renames made so far, undone in reverse order when a later one fails.
class RenameLog {
 public:
  bool Move(const std::string& from, const std::string& to) {
    std::error_code error;
    fs::rename(from, to, error);
    if (error) return false;
    done_.emplace_back(from, to);
    return true;
  }
  void Undo() {
    for (auto it = done_.rbegin(); it != done_.rend(); ++it) {
      std::error_code ignored;  // the directory let this name go a moment ago
      fs::rename(it->second, it->first, ignored);
    }
    done_.clear();
  }

 private:
  std::vector<std::pair<std::string, std::string>> done_;
};

// A free name beside `path` for a file that is about to go.
std::string AsideName(const std::string& path) {
  std::string aside = path + ".renumbered";
  for (int n = 2; EntryExists(aside); ++n) aside = path + ".renumbered" + std::to_string(n);
  return aside;
}

}  // namespace

Status RenumberFrameFiles(const FrameFilePaths& from, const FrameFilePaths& to) {
  RenameLog log;
  auto failed = [&log](const std::string& path) -> Status {
    log.Undo();
    return Error{std::string(kRenameFailed) + path};
  };
  std::vector<std::string> stale;
  for (const std::string* path : {&to.region, &to.paint}) {
    if (!EntryExists(*path)) continue;
    const std::string aside = AsideName(*path);
    if (!log.Move(*path, aside)) return failed(*path);
    stale.push_back(aside);
  }
  const std::pair<const std::string*, const std::string*> moves[] = {
      {&from.scan, &to.scan}, {&from.region, &to.region}, {&from.paint, &to.paint}};
  for (const auto& [source, target] : moves)
    if (EntryExists(*source) && !log.Move(*source, *target)) return failed(*source);
  for (const std::string& path : stale) {
    std::error_code ignored;  // a leftover under a name nobody reads does no harm
    fs::remove(path, ignored);
  }
  return Status::Ok();
}

}  // namespace quenda
