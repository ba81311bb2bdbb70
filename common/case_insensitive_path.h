#pragma once
// File names are matched without regard to case, as on the platform where the suite's
// documents were made: a rebuilt path that does not exist as spelt resolves to the existing
// file whose name differs from it only in case.

#include <memory>
#include <string>

namespace quenda {

struct FolderNames;

// `path` itself when it exists as spelt; otherwise the path whose components (directories and
// file name) each match an existing entry ignoring ASCII case, walking from the first missing
// component. When several entries differ only in case, the first in byte order wins so the
// answer never changes between calls. When nothing matches, `path` unchanged.
std::string ResolvePathIgnoringCase(const std::string& path);

// One listing of a folder for a whole operation, for resolving many names in it (every frame of
// a sequence) without listing it once per name, even while the operation writes into it.
// Resolve gives ResolvePathIgnoringCase's answer for the folder as it stood when listed; a file
// that exists as spelt is always taken as it is, so files written since (a frame's new paint
// file) are found too. The listing is the process's shared one (common/folder_names.h).
class FolderListing {
 public:
  // `directory` is spelt as the paths to resolve will spell it: ends with '/' or is empty.
  explicit FolderListing(const std::string& directory);

  // Paths outside this folder are resolved by ResolvePathIgnoringCase.
  std::string Resolve(const std::string& path) const;

 private:
  std::string directory_;  // as given
  std::string resolved_;   // as found on disk
  std::shared_ptr<const FolderNames> names_;
};

// How many folder listings this process made so far, to match names ignoring case or to find
// a writer's leftovers (common/atomic_file.h); each listing calls CountFolderListing.
long long FolderListingCount();
void CountFolderListing();

// Stored documents may name directories with '\'; this turns every '\' into '/'.
std::string NormalizeSeparators(std::string path);

// ASCII lower case, leaving other bytes alone.
std::string LowerAscii(std::string text);

}  // namespace quenda
