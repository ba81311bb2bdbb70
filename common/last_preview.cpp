#include "common/last_preview.h"

#include <filesystem>
#include <fstream>
#include <vector>

#include "common/atomic_file.h"
#include "common/file_io.h"

namespace quenda {
namespace {

constexpr const char* kSaveFailed =
    "Could not save preview, disk full or a file already exists with the same name!";

}  // namespace

Status CheckLastPreview(const std::string& path) {
  if (!FileOpensForReading(path))
    return Error{"There is no last preview!\n(" + path + " does not exist)"};
  return {};
}

Status SaveLastPreview(const std::string& path, const std::string& target) {
  std::error_code error;
  if (std::filesystem::exists(target, error) || error) return Error{kSaveFailed};
  std::ifstream in(path, std::ios::binary);
  if (!in) return Error{kSaveFailed};
  AtomicFile out;
  if (Status opened = out.Open(target, WriteMessages(kSaveFailed)); !opened) return opened;
  // In pieces: a long preview need not sit in memory whole.
  std::vector<char> chunk(1 << 20);
  while (in) {
    in.read(chunk.data(), std::streamsize(chunk.size()));
    std::streamsize got = in.gcount();
    if (got <= 0) continue;
    if (Status written = out.Write(chunk.data(), std::size_t(got)); !written) return written;
  }
  if (in.bad()) return Error{kSaveFailed};
  return out.Commit();
}

}  // namespace quenda
