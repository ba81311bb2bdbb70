#pragma once
// The names in a folder, listed once and kept for the whole process, so that looking up many
// names in one folder (every frame of a sequence, each with a drawing, a region file and a paint
// file that may not be there yet) reads the folder once rather than once per name.
//
// A kept listing is used again only while the folder is the same folder with the same
// modification time, and only when that time was well before the listing was made: a file
// added within the same tick of the file system's clock would leave the time as it was, so a
// folder changed just before its listing is listed again at the next look.

#include <memory>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace quenda {

struct FolderNames {
  bool listed = false;  // false when the folder could not be read
  std::unordered_set<std::string> names;
  std::unordered_map<std::string, std::string> byLowerName;  // the first in byte order
  // The regular files (a link counts as what it leads to), in the order the folder lists them.
  std::vector<std::string> regularFiles;

  // The entry whose name equals `name` ignoring ASCII case, the first in byte order; empty
  // when there is none.
  std::string FindIgnoringCase(const std::string& name) const;
};

// The names in `directory` as they are now ("" is the current folder); the same object while
// the folder has not changed. Safe to call from any thread.
std::shared_ptr<const FolderNames> NamesInFolder(const std::string& directory);

// Drops every kept listing (tests that change a folder's time by hand).
void ForgetFolderNames();

}  // namespace quenda
