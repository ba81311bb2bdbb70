#include "testing/test_support.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include <gtest/gtest.h>

#include "common/path.h"
#include "testing/write_limit.h"

namespace quenda::testing {

namespace fs = std::filesystem;

TempDir::TempDir() {
  std::string pattern = (fs::temp_directory_path() / "quenda-test-XXXXXX").string();
  std::vector<char> name(pattern.begin(), pattern.end());
  name.push_back('\0');
  if (!mkdtemp(name.data())) ADD_FAILURE() << "cannot make a temporary directory";
  path_ = std::string(name.data()) + "/";
}

TempDir::~TempDir() {
  std::error_code ec;
  // Tests make folders read-only; give the write bits back so everything can go.
  for (auto it = fs::recursive_directory_iterator(path_, ec); !ec && it != fs::end(it);
       it.increment(ec))
    fs::permissions(it->path(), fs::perms::owner_write, fs::perm_options::add, ec);
  fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ec);
  fs::remove_all(path_, ec);
}

void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
  if (!out) ADD_FAILURE() << "cannot write " << path;
}

void WriteText(const std::string& path, const std::string& text) {
  WriteBytes(path, std::vector<uint8_t>(text.begin(), text.end()));
}

std::vector<uint8_t> ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

std::string ReadText(const std::string& path) {
  auto bytes = ReadBytes(path);
  return std::string(bytes.begin(), bytes.end());
}

void MakeReadOnly(const std::string& path) {
  fs::permissions(path, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                  fs::perm_options::remove);
}

void MakeWritable(const std::string& path) {
  fs::permissions(path, fs::perms::owner_write, fs::perm_options::add);
}

WorkingDirectory::WorkingDirectory(const std::string& directory)
    : previous_(fs::current_path().string()) {
  fs::current_path(directory);
}

WorkingDirectory::~WorkingDirectory() {
  std::error_code ignored;  // the test has reported whatever removed it
  fs::current_path(previous_, ignored);
}

std::vector<std::string> ListDirectory(const std::string& directory, std::string_view suffix) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(directory))
    if (std::string name = entry.path().filename().string(); name.ends_with(suffix))
      names.push_back(std::move(name));
  std::sort(names.begin(), names.end());
  return names;
}

std::pair<std::string, std::string> FailedWriteMessages(const std::string& path, long long limit,
                                                        const std::function<Status()>& write) {
  const std::vector<uint8_t> old = ReadBytes(path);
  const std::vector<std::string> names = ListDirectory(DirectoryOf(path));
  std::pair<std::string, std::string> messages;
  MakeReadOnly(path);
  messages.first = write().message();
  MakeWritable(path);
  {
    WriteLimit full(limit);
    messages.second = write().message();
  }
  EXPECT_EQ(ReadBytes(path), old) << path;
  EXPECT_EQ(ListDirectory(DirectoryOf(path)), names) << path;
  return messages;
}

}  // namespace quenda::testing
