#pragma once
// Import Sequence: a numbered series of Targa or Windows bitmap pictures, or a single one, made
// into drawing scans of a new sequence. Such files carry no peg position or resolution, so the
// user's assumed values go into every drawing; the pictures are not turned.

#include <functional>
#include <string>

#include "common/progress.h"
#include "common/prompt.h"
#include "common/raster.h"
#include "common/result.h"

namespace quenda::scanner {

enum class ImportKind { Targa, Bitmap };

// What the picked file says about its series.
struct ImportSource {
  ImportKind kind = ImportKind::Targa;
  std::string directory;  // of the picked file, with its separator; empty for the current one
  std::string header;     // the title before its first digit
  std::string extension;  // as spelt
  int start = 1;
  int end = 1;
  int width = 0;  // digits of the start number, to which later numbers are padded
  bool single = false;
  std::string picked;

  // The input file of frame `number` (the picked file for a single frame).
  std::string InputPath(int number) const;
};

inline constexpr std::string_view kUnsupportedExtension = "Unsupported file extension";

// Reads the series from the picked file's name and finds its end: the numbers count up from
// the start while the files exist. Fails for an extension other than .bmp or .tga.
Result<ImportSource> FindImportSource(const std::string& pickedPath);
// "Targa images", "Windows bitmap images" or "single frame".
std::string ImportTypeText(const ImportSource& source);

// The dialog's values; `pegButton` and `dpi` are -1 when none is chosen.
struct ImportForm {
  std::string name;
  std::string directory;
  int pegButton = -1;
  int dpi = -1;
};
// "OK"'s checks in their order, with their messages.
Status CheckImportForm(const ImportForm& form);

// One input picture in grey (1 channel, bottom row first): a bitmap's pixels as the mean of
// red, green and blue rounded down; a Targa's 8-bit values as they are and the largest of red,
// green and blue otherwise. The error is the reader's own message.
Result<Raster> ReadImportPicture(const std::string& path, ImportKind kind);

struct ImportOutcome {
  int written = 0;
  bool finished = false;  // every frame written (not stopped, nothing failed)
};

// Writes directory + name + number + ".qds" for every number of the series (name + "1.qds" for
// a single frame). A picture that cannot be read, or a drawing that cannot be written, is
// reported through `prompt` and ends the import; STOP ends it after the frame in hand. Files
// already written stay. `written` hears each file written.
ImportOutcome ImportSequence(const ImportSource& source, const std::string& outDirectory,
                             const std::string& name, int pegPosition, int dpi, Prompt& prompt,
                             Progress& progress,
                             const std::function<void(const std::string&)>& written = {});

}  // namespace quenda::scanner
