#include "common/recovery_store.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <sstream>

#include "common/atomic_file.h"
#include "common/file_io.h"
#include "common/path.h"

namespace quenda {
namespace {

constexpr std::string_view kManifestHeader = "quenda recovery copy 1";
constexpr const char* kManifestName = "manifest";
constexpr const char* kOwnerName = "owner.lock";

// One value per line: '%' and line ends are written as %25, %0A and %0D.
std::string Escaped(std::string_view text) {
  std::string out;
  for (char c : text) {
    if (c == '%')
      out += "%25";
    else if (c == '\n')
      out += "%0A";
    else if (c == '\r')
      out += "%0D";
    else
      out += c;
  }
  return out;
}

std::string Unescaped(std::string_view text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '%' && i + 2 < text.size()) {
      std::string_view code = text.substr(i + 1, 2);
      if (code == "25" || code == "0A" || code == "0D") {
        out += code == "25" ? '%' : code == "0A" ? '\n' : '\r';
        i += 2;
        continue;
      }
    }
    out += text[i];
  }
  return out;
}

bool IsPartName(std::string_view name) {
  return !name.empty() && std::all_of(name.begin(), name.end(), [](char c) {
    return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-';
  });
}

std::string PartFile(int generation, std::string_view name) {
  return "part-" + std::to_string(generation) + "-" + std::string(name);
}

Error Damaged() {
  return {"not a recovery copy"};
}

std::string RunPrefix(const std::string& program) {
  return program + "-" + std::to_string(getpid()) + "-";
}

// Locked by a running program: it is that run's copy, not a crashed one's. This run's own
// copies are known by their names and never probed: where flock is a record lock (NFS),
// the probe's close would let go of this run's lock.
bool HeldByARun(const std::string& folder, const std::string& program) {
  if (FileNameOf(folder).starts_with(RunPrefix(program))) return true;
  const std::string owner = JoinPath(folder, kOwnerName);
  int fd = open(owner.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  const bool held = flock(fd, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK;
  close(fd);  // lets go of the probe's own lock, if it took one
  return held;
}

}  // namespace

std::string FormatRecoveryManifest(const RecoveryManifest& m, int generation) {
  std::ostringstream out;
  out << kManifestHeader << "\n"
      << "program " << Escaped(m.program) << "\n"
      << "document " << Escaped(m.documentPath) << "\n"
      << "name " << Escaped(m.documentName) << "\n"
      << "saved " << m.savedAt << "\n"
      << "generation " << generation << "\n";
  for (const std::string& part : m.parts) out << "part " << part << "\n";
  return out.str();
}

Result<ParsedRecoveryManifest> ParseRecoveryManifest(std::string_view text) {
  ParsedRecoveryManifest parsed;
  std::istringstream in{std::string(text)};
  std::string line;
  if (!std::getline(in, line) || line != kManifestHeader) return Damaged();
  bool sawSaved = false, sawGeneration = false;
  while (std::getline(in, line)) {
    const std::size_t space = line.find(' ');
    const std::string key = line.substr(0, space);
    const std::string value = space == std::string::npos ? "" : line.substr(space + 1);
    RecoveryManifest& m = parsed.manifest;
    if (key == "program") {
      m.program = Unescaped(value);
    } else if (key == "document") {
      m.documentPath = Unescaped(value);
    } else if (key == "name") {
      m.documentName = Unescaped(value);
    } else if (key == "saved" || key == "generation") {
      char* end = nullptr;
      errno = 0;
      const long long number = std::strtoll(value.c_str(), &end, 10);
      if (value.empty() || *end != '\0' || errno != 0 || number < 0) return Damaged();
      if (key == "saved") {
        m.savedAt = number;
        sawSaved = true;
      } else {
        if (number < 1 || number > 1'000'000'000) return Damaged();
        parsed.generation = int(number);
        sawGeneration = true;
      }
    } else if (key == "part") {
      if (!IsPartName(value)) return Damaged();
      m.parts.push_back(value);
    }
    // Other keys belong to a later version and are passed over.
  }
  if (!sawSaved || !sawGeneration || parsed.manifest.program.empty()) return Damaged();
  return parsed;
}

RecoveryCopy::RecoveryCopy(RecoveryCopy&& other) noexcept
    : folder_(std::move(other.folder_)),
      program_(std::move(other.program_)),
      files_(std::move(other.files_)),
      generation_(other.generation_),
      lockFd_(std::exchange(other.lockFd_, -1)),
      removed_(other.removed_) {
  other.folder_.clear();
}

RecoveryCopy& RecoveryCopy::operator=(RecoveryCopy&& other) noexcept {
  if (this != &other) {
    RecoveryCopy previous(std::move(*this));  // lets go of this object's own copy
    folder_ = std::move(other.folder_);
    program_ = std::move(other.program_);
    files_ = std::move(other.files_);
    generation_ = other.generation_;
    lockFd_ = std::exchange(other.lockFd_, -1);
    removed_ = other.removed_;
    other.folder_.clear();
  }
  return *this;
}

RecoveryCopy::~RecoveryCopy() {
  if (folder_.empty()) return;
  if (removed_) {
    unlink(JoinPath(folder_, kOwnerName).c_str());
    rmdir(folder_.c_str());
  }
  if (lockFd_ >= 0) close(lockFd_);
}

Result<RecoveryCopy> RecoveryCopy::Create(const std::string& storeFolder,
                                          const std::string& program) {
  std::error_code ec;
  std::filesystem::create_directories(storeFolder, ec);
  const auto now = std::chrono::system_clock::now().time_since_epoch();
  const std::string stem = JoinPath(storeFolder, RunPrefix(program) + std::to_string(now.count()));
  RecoveryCopy copy;
  copy.program_ = program;
  for (int attempt = 0; copy.folder_.empty(); ++attempt) {
    const std::string folder = stem + (attempt == 0 ? "" : "-" + std::to_string(attempt));
    if (mkdir(folder.c_str(), 0700) == 0)
      copy.folder_ = folder;
    else if (errno != EEXIST || attempt > 100)
      return Error{"cannot make the recovery folder " + folder + ": " + std::strerror(errno)};
  }
  const std::string owner = JoinPath(copy.folder_, kOwnerName);
  copy.lockFd_ = open(owner.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  if (copy.lockFd_ < 0 || flock(copy.lockFd_, LOCK_EX | LOCK_NB) != 0) {
    std::filesystem::remove_all(copy.folder_, ec);
    return Error{"cannot lock the recovery copy " + owner};
  }
  return copy;
}

Status RecoveryCopy::Write(RecoveryManifest about, std::span<const RecoveryPart> parts) {
  if (folder_.empty()) return Error{"no recovery copy"};
  about.program = program_;
  about.parts.clear();
  const int generation = generation_ + 1;
  std::vector<std::string> written;
  auto dropWritten = [&] {
    for (const std::string& file : written) unlink(JoinPath(folder_, file).c_str());
  };
  for (const RecoveryPart& part : parts) {
    if (!IsPartName(part.name)) {
      dropWritten();
      return Error{"a recovery part is named \"" + part.name + "\""};
    }
    const std::string file = PartFile(generation, part.name);
    const std::string path = JoinPath(folder_, file);
    if (Status saved = WriteFileAtomically(path, part.bytes,
                                           WriteMessages("cannot write the recovery copy " + path));
        !saved) {
      dropWritten();
      return saved;
    }
    written.push_back(file);
    about.parts.push_back(part.name);
  }
  const std::string manifest = JoinPath(folder_, kManifestName);
  if (Status saved =
          WriteFileAtomically(manifest, std::string_view(FormatRecoveryManifest(about, generation)),
                              WriteMessages("cannot write the recovery copy " + manifest));
      !saved) {
    dropWritten();
    return saved;
  }
  // The new manifest names the new parts: the previous generation is no longer needed.
  for (const std::string& file : files_) unlink(JoinPath(folder_, file).c_str());
  files_ = std::move(written);
  generation_ = generation;
  removed_ = false;
  return Status::Ok();
}

void RecoveryCopy::Remove() {
  if (folder_.empty() || removed_) return;
  // The manifest first: without it, what is left is no copy anyone is offered.
  unlink(JoinPath(folder_, kManifestName).c_str());
  for (const std::string& file : files_) unlink(JoinPath(folder_, file).c_str());
  files_.clear();
  removed_ = true;
}

std::vector<RecoverableCopy> ListRecoverable(const std::string& storeFolder,
                                             const std::string& program) {
  std::vector<RecoverableCopy> found;
  std::error_code ec;
  for (const auto& entry : std::filesystem::directory_iterator(storeFolder, ec)) {
    if (!entry.is_directory(ec)) continue;
    const std::string folder = entry.path().string();
    std::optional<std::string> text = ReadFileText(JoinPath(folder, kManifestName));
    if (!text) continue;
    Result<ParsedRecoveryManifest> parsed = ParseRecoveryManifest(*text);
    if (!parsed || parsed->manifest.program != program || HeldByARun(folder, program)) continue;
    found.push_back({folder, std::move(parsed->manifest), parsed->generation});
  }
  std::sort(found.begin(), found.end(), [](const RecoverableCopy& a, const RecoverableCopy& b) {
    return a.manifest.savedAt != b.manifest.savedAt ? a.manifest.savedAt < b.manifest.savedAt
                                                    : a.folder < b.folder;
  });
  return found;
}

Result<std::vector<uint8_t>> ReadRecoveredPart(const RecoverableCopy& copy,
                                               const std::string& part) {
  const std::string path = RecoveredPartPath(copy, part);
  if (path.empty()) return Error{"the recovery copy holds no " + part};
  std::optional<std::vector<uint8_t>> bytes = ReadFileBytes(path);
  if (!bytes) return Error{"cannot read the recovery copy " + path};
  return std::move(*bytes);
}

std::string RecoveredPartPath(const RecoverableCopy& copy, const std::string& part) {
  if (std::find(copy.manifest.parts.begin(), copy.manifest.parts.end(), part) ==
      copy.manifest.parts.end())
    return {};
  return JoinPath(copy.folder, PartFile(copy.generation, part));
}

Result<RecoveredFrame> ReadRecoveredFrame(const RecoverableCopy& copy) {
  RecoveredFrame frame;
  Result<std::vector<uint8_t>> paint = ReadRecoveredPart(copy, kRecoveredPaintPart);
  if (!paint) return Error{paint.message()};
  frame.paint = std::move(*paint);
  if (!RecoveredPartPath(copy, kRecoveredRegionPart).empty()) {
    Result<std::vector<uint8_t>> region = ReadRecoveredPart(copy, kRecoveredRegionPart);
    if (!region) return Error{region.message()};
    frame.region = std::move(*region);
  }
  return frame;
}

bool DiscardRecoverable(const RecoverableCopy& copy) {
  std::error_code ec;
  std::filesystem::remove_all(copy.folder, ec);
  return !std::filesystem::exists(copy.folder, ec);
}

}  // namespace quenda
