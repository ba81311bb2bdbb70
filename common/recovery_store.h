#pragma once
// Copies of unsaved work, kept so that a crash loses at most the last minutes: each run of a
// program that edits a document keeps one RecoveryCopy per document in its state folder, writes
// it while the document has unsaved changes and removes it on save and on a clean exit. A copy
// found at the next start is what a crashed run left.
//
// A copy is a folder of its own in the store folder, named after the run that made it, so that
// a copy kept for later is never overwritten by the next run's copy of the same document:
//   manifest            what the copy is of (see RecoveryManifest), written last
//   part-GEN-NAME       the bytes of each part of generation GEN
//   owner.lock          locked (flock) while the run that writes the copy lives
// Each write makes a new generation and then replaces the manifest that names it, so a crash
// in the middle of a write leaves the previous copy whole. Everything goes through the atomic
// writer.

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "common/result.h"

namespace quenda {

struct RecoveryPart {
  std::string name;  // lower-case letters, digits and '-': "paint", "region", "sheet"
  std::vector<uint8_t> bytes;
};

struct RecoveryManifest {
  std::string program;             // "painter", "dopegrid", ...
  std::string documentPath;        // where the document is saved; empty for an untitled one
  std::string documentName;        // as the user knows it: "walk.dgr", "walk 12", "Untitled"
  int64_t savedAt = 0;             // seconds since 1970, when the copy was written
  std::vector<std::string> parts;  // the part names, in the order written
};

// What a copy is to hold: its description and its parts.
struct RecoverySnapshot {
  RecoveryManifest about;
  std::vector<RecoveryPart> parts;
};

// The manifest file's text, and back; nothing from a text that is no manifest.
std::string FormatRecoveryManifest(const RecoveryManifest& manifest, int generation);
struct ParsedRecoveryManifest {
  RecoveryManifest manifest;
  int generation = 0;
};
Result<ParsedRecoveryManifest> ParseRecoveryManifest(std::string_view text);

class RecoveryCopy {
 public:
  RecoveryCopy() = default;
  RecoveryCopy(RecoveryCopy&& other) noexcept;
  RecoveryCopy& operator=(RecoveryCopy&& other) noexcept;
  RecoveryCopy(const RecoveryCopy&) = delete;
  RecoveryCopy& operator=(const RecoveryCopy&) = delete;
  // Lets go of the copy: a removed or never written one leaves nothing, a written one stays
  // (a run that ends without saving or discarding its changes keeps them for the next).
  ~RecoveryCopy();

  // A copy of this run in `storeFolder` (made when missing), empty until the first Write.
  static Result<RecoveryCopy> Create(const std::string& storeFolder, const std::string& program);

  // Replaces what the copy holds with `parts`, described by `about` (its `parts` and
  // `program` are filled in here).
  Status Write(RecoveryManifest about, std::span<const RecoveryPart> parts);
  // Removes the copy's files: the document was saved, or closed without its changes. The copy
  // may be written again.
  void Remove();

  bool written() const { return generation_ > 0 && !removed_; }
  const std::string& folder() const { return folder_; }

 private:
  std::string folder_;
  std::string program_;
  std::vector<std::string> files_;  // the part files of the generation the manifest names
  int generation_ = 0;
  int lockFd_ = -1;
  bool removed_ = true;
};

// A copy left by an earlier run.
struct RecoverableCopy {
  std::string folder;
  RecoveryManifest manifest;
  int generation = 0;
};

// The copies of `program` in `storeFolder` that no running program writes, oldest first.
// Folders that hold no readable manifest are passed over.
std::vector<RecoverableCopy> ListRecoverable(const std::string& storeFolder,
                                             const std::string& program);
// The bytes of one part of the copy.
Result<std::vector<uint8_t>> ReadRecoveredPart(const RecoverableCopy& copy,
                                               const std::string& part);
// The file holding one part, for a reader that takes a path; empty when there is no such part.
std::string RecoveredPartPath(const RecoverableCopy& copy, const std::string& part);

// A painted frame's copy, as the painter and the analyzer keep it: the paint always, and the
// region data too when the run had changed them, so that the paint fits the regions it was made
// on. `region` is empty when the copy holds none.
inline constexpr const char* kRecoveredPaintPart = "paint";
inline constexpr const char* kRecoveredRegionPart = "region";
struct RecoveredFrame {
  std::vector<uint8_t> paint;
  std::vector<uint8_t> region;
};
Result<RecoveredFrame> ReadRecoveredFrame(const RecoverableCopy& copy);
// Removes the copy; true when its folder is gone.
bool DiscardRecoverable(const RecoverableCopy& copy);

}  // namespace quenda
