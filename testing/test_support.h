#pragma once
// Shared test helpers: a temporary folder per test and whole-file bytes.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace quenda::testing {

// A fresh directory, removed with everything in it when the object goes.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  // Ends with '/'.
  const std::string& path() const { return path_; }
  std::string File(const std::string& name) const { return path_ + name; }

 private:
  std::string path_;
};

// Works in `directory` until the object goes, then returns to the directory it left.
class WorkingDirectory {
 public:
  explicit WorkingDirectory(const std::string& directory);
  ~WorkingDirectory();
  WorkingDirectory(const WorkingDirectory&) = delete;
  WorkingDirectory& operator=(const WorkingDirectory&) = delete;

 private:
  std::string previous_;
};

void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes);
void WriteText(const std::string& path, const std::string& text);
// Empty when the file is missing.
std::vector<uint8_t> ReadBytes(const std::string& path);
std::string ReadText(const std::string& path);
// Clears every write bit (read-only even for root, as the suite's writers treat it).
void MakeReadOnly(const std::string& path);
void MakeWritable(const std::string& path);
// Names in a directory ending with `suffix`, sorted; hidden temporary files included.
std::vector<std::string> ListDirectory(const std::string& directory, std::string_view suffix = "");

}  // namespace quenda::testing
