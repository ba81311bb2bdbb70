#include "common/folder_names.h"

#include <dirent.h>
#include <sys/stat.h>

#include <ctime>
#include <mutex>
#include <optional>
#include <utility>

#include "common/case_insensitive_path.h"

namespace quenda {
namespace {

// Longer than the coarsest clock a file system keeps folder times by (two seconds).
constexpr long long kSettledNanoseconds = 3'000'000'000LL;
// A process that walks many folders keeps the listings of this many; past it they are dropped.
constexpr std::size_t kFoldersKept = 64;

struct FolderStamp {
  dev_t device = 0;
  ino_t inode = 0;
  long long modified = 0;  // nanoseconds

  bool operator==(const FolderStamp&) const = default;
};

std::optional<FolderStamp> StampOf(const std::string& directory) {
  struct stat st {};
  if (stat(directory.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return std::nullopt;
  return FolderStamp{st.st_dev, st.st_ino,
                     (long long)st.st_mtim.tv_sec * 1'000'000'000LL + st.st_mtim.tv_nsec};
}

long long NowNanoseconds() {
  timespec now{};
  clock_gettime(CLOCK_REALTIME, &now);
  return (long long)now.tv_sec * 1'000'000'000LL + now.tv_nsec;
}

struct Kept {
  FolderStamp stamp;
  std::shared_ptr<const FolderNames> names;
};

struct KeptFolders {
  std::mutex lock;
  std::unordered_map<std::string, Kept> byFolder;
};

KeptFolders& Folders() {
  static KeptFolders folders;
  return folders;
}

bool IsRegularFile(const std::string& directory, const dirent& entry) {
  if (entry.d_type == DT_REG) return true;
  if (entry.d_type != DT_LNK && entry.d_type != DT_UNKNOWN) return false;
  struct stat st {};
  return stat((directory + "/" + entry.d_name).c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

std::shared_ptr<const FolderNames> ReadFolder(const std::string& directory) {
  auto names = std::make_shared<FolderNames>();
  CountFolderListing();
  DIR* listing = opendir(directory.c_str());
  if (!listing) return names;
  names->listed = true;
  while (const dirent* entry = readdir(listing)) {
    std::string name = entry->d_name;
    if (name == "." || name == "..") continue;
    if (IsRegularFile(directory, *entry)) names->regularFiles.push_back(name);
    auto [found, added] = names->byLowerName.try_emplace(LowerAscii(name), name);
    if (!added && name < found->second) found->second = name;
    names->names.insert(std::move(name));
  }
  closedir(listing);
  return names;
}

}  // namespace

std::string FolderNames::FindIgnoringCase(const std::string& name) const {
  auto found = byLowerName.find(LowerAscii(name));
  return found == byLowerName.end() ? std::string() : found->second;
}

std::shared_ptr<const FolderNames> NamesInFolder(const std::string& directory) {
  const std::string path = directory.empty() ? "." : directory;
  const std::optional<FolderStamp> before = StampOf(path);
  if (!before) return ReadFolder(path);
  KeptFolders& folders = Folders();
  {
    std::lock_guard guard(folders.lock);
    auto kept = folders.byFolder.find(path);
    if (kept != folders.byFolder.end() && kept->second.stamp == *before) return kept->second.names;
  }
  const long long listedAt = NowNanoseconds();
  std::shared_ptr<const FolderNames> names = ReadFolder(path);
  // Kept only when nothing changed while it was read and the last change is long past.
  const bool settled = before->modified + kSettledNanoseconds < listedAt;
  std::lock_guard guard(folders.lock);
  if (settled && StampOf(path) == before) {
    if (folders.byFolder.size() >= kFoldersKept) folders.byFolder.clear();
    folders.byFolder[path] = Kept{*before, names};
  } else {
    folders.byFolder.erase(path);
  }
  return names;
}

void ForgetFolderNames() {
  KeptFolders& folders = Folders();
  std::lock_guard guard(folders.lock);
  folders.byFolder.clear();
}

}  // namespace quenda
