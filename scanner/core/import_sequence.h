#pragma once
// Import Sequence: a numbered series of pictures (Targa, Windows bitmap, or the studio formats
// PNG, TIFF, JPEG, OpenEXR), or a single one, made into drawing scans of a new sequence. No file
// carries a peg position, so the user's assumed one goes into every drawing; the resolution is
// the file's where it holds one, unless the user gives one. The pictures are not turned.

#include <functional>
#include <string>
#include <vector>

#include "common/progress.h"
#include "common/prompt.h"
#include "common/raster.h"
#include "common/result.h"

namespace quenda::scanner {

enum class ImportKind { Targa, Bitmap, Studio };

// What the picked file says about its series.
struct ImportSource {
  ImportKind kind = ImportKind::Targa;
  std::string directory;  // of the picked file, with its separator; empty for the current one
  std::string header;     // the title before its last run of digits
  std::string trailer;    // the title after it
  std::string extension;  // as spelt
  int start = 1;
  int end = 1;
  int width = 0;  // digits of the start number, to which later numbers are padded
  bool single = false;
  std::string picked;
  double fileDpi = 0;  // the picked file's own resolution; 0 when it holds none

  // The input file of frame `number` (the picked file for a single frame).
  std::string InputPath(int number) const;
};

inline constexpr std::string_view kUnsupportedExtension = "Unsupported file extension";

inline constexpr int kImportMinDpi = 10;
inline constexpr int kImportMaxDpi = 1200;

// Reads the series from the picked file's name and finds its end: the number is the last run
// of digits in the title (sc010_bg_0001.tif counts 0001, 0002, ..), and the numbers count up
// from the start while the files exist. Fails for an extension that is not read.
Result<ImportSource> FindImportSource(const std::string& pickedPath);
// "Targa images", "Windows bitmap images", "PNG images", "TIFF images", "JPEG images",
// "OpenEXR images", "DPX images" or "single frame".
std::string ImportTypeText(const ImportSource& source);
// What the dialog says of the file's resolution: "300 dpi (from the file)" or "none in the file".
std::string ImportResolutionText(const ImportSource& source);

// The dialog's values; `pegButton` and `dpi` are -1 when none is chosen.
struct ImportForm {
  std::string name;
  std::string directory;
  int pegButton = -1;
  int dpi = -1;
};
// "OK"'s checks in their order, with their messages. A dpi is needed only when the picked file
// holds no resolution.
Status CheckImportForm(const ImportForm& form, const ImportSource& source);
Status CheckImportForm(const ImportForm& form);

struct ImportPicture {
  Raster grey;
  double dpi = 0;  // the file's resolution; 0 when it holds none
};
// One input picture in grey (1 channel, bottom row first): a bitmap's pixels as the mean of
// red, green and blue rounded down; a Targa's 8-bit values as they are and the largest of red,
// green and blue otherwise; a studio picture's grey as it is, and its colour with alpha laid
// over white paper, then the largest of red, green and blue. The error is the reader's own
// message.
Result<ImportPicture> ReadImportPicture(const std::string& path, ImportKind kind);

// The drawings already under `name` in `directory`, which an import would overwrite in part:
// every drawing of the sequence with its region and paint files (never its colour set).
std::vector<std::string> ExistingImportTarget(const std::string& directory,
                                              const std::string& name);
// The program's question before replacing them.
std::string ReplaceSequenceQuestion(const std::string& name, const std::string& directory,
                                    const std::vector<std::string>& existing);

struct ImportOutcome {
  int written = 0;
  bool finished = false;  // every frame written (not stopped, nothing failed)
};

// Writes directory + name + number + ".qds" for every number of the series (name + "1.qds" for
// a single frame). `dpi` above 0 goes into every drawing; otherwise each takes its file's
// resolution, and a file without one (or with one outside 10..1200) ends the import with a
// message naming it. A picture that cannot be read, or a drawing that cannot be written, is
// reported through `prompt` and ends the import; STOP ends it after the frame in hand. Files
// already written stay. `written` hears each file written.
ImportOutcome ImportSequence(const ImportSource& source, const std::string& outDirectory,
                             const std::string& name, int pegPosition, int dpi, Prompt& prompt,
                             Progress& progress,
                             const std::function<void(const std::string&)>& written = {});

}  // namespace quenda::scanner
