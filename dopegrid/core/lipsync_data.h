#pragma once
// Lip-sync data: the mouth shape for each stretch of a dialogue, as lip-sync tools write it.
// Switch data ("MohoSwitch1", then "FRAME SHAPE" lines, frames from 1) or timed shapes
// ("SECONDS<TAB>SHAPE" lines). A map names the mouth drawing for each shape, and the shapes
// become cells of one level: each from its frame to the frame before the next.

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "common/frame_sequence.h"
#include "common/result.h"
#include "dopegrid/core/sheet_grid.h"

namespace quenda {

inline constexpr std::string_view kSwitchSignature = "MohoSwitch1";
inline constexpr int kDefaultLipSyncRate = 25;

enum class LipSyncForm { Switch, Timed };

struct LipSyncLine {
  int line = 0;   // in the file, from 1
  double at = 0;  // the frame (switch data, from 1) or the time in seconds
  std::string shape;
};

struct LipSyncData {
  LipSyncForm form = LipSyncForm::Switch;
  std::vector<LipSyncLine> lines;
};

// Switch data when the first line is the signature (or the file ends in .dat or .txt), timed
// shapes otherwise. Refused, naming the file and the line: switch data without its signature
// line, a line that is not two fields, a frame or time that is not a number, is negative or goes
// backwards, and a file without shapes.
Result<LipSyncData> ReadLipSync(std::string_view text, const std::string& path);
Result<LipSyncData> LoadLipSyncFile(const std::string& path);

struct ShapeAt {
  int frame = 0;  // from 1, counted from the data's start
  std::string shape;
};
// The frame each shape starts on: switch data as written, timed shapes at round(s x rate) + 1.
// Of shapes landing on one frame the last wins.
std::vector<ShapeAt> ShapeFrames(const LipSyncData& data, double rate);
// The shapes in the order they first appear, each once.
std::vector<std::string> ShapesOf(const LipSyncData& data);

// SHAPE=DRAWING pairs (a drawing is its frame text, as "3" or "3a"); "*" names the drawing of
// every shape not named. Shapes match ignoring case.
struct MouthMap {
  std::vector<std::pair<std::string, std::string>> shapes;
  std::string fallback;  // empty: none

  // The drawing's frame text for `shape`; nothing when the map has none.
  std::optional<std::string> DrawingFor(std::string_view shape) const;
};
// "AI=3,E=4,*=1" or lines of such pairs (blank lines and lines starting '#' skipped).
Result<MouthMap> ParseMouthMap(std::string_view text);
std::string MouthMapText(const MouthMap& map);  // "AI=3,E=4,*=1"

struct LipSyncPlacement {
  int firstFrame = 0;             // sheet frame (from 0) of the first shape's cell
  std::optional<int> untilFrame;  // sheet frame (from 0) the last shape holds to
  std::vector<int> drawings;      // per frame from firstFrame: index into the sequence
  std::vector<std::string> notes;
};
// The cells the shapes give on a level, from sheet frame `from` (from 0) on, with drawings of
// `sequence`. Refused: shapes the map does not name (each named), map drawings that are not the
// sequence's, an `until` before the last shape's frame.
Result<LipSyncPlacement> PlaceLipSync(const LipSyncData& data, const MouthMap& map,
                                      const DrawingSequence& sequence, int from,
                                      std::optional<int> until, double rate);

}  // namespace quenda
