#pragma once
// The values the key dialogs show and take: which kind of key, the unit conversions of
// positions, the turns-and-degrees form of rotations, and the checks of the key and clip-start
// dialogs, which the program's dialogs and the command-line tool share.

#include <string>
#include <vector>

#include "common/result.h"
#include "composer/core/clip_record.h"

namespace quenda {

enum class KeyKind { Position, Scale, Rotation, Effect };

// The tracks a kind of key lives in.
std::vector<int> TracksOfKind(KeyKind kind);
// "Position", "Scale", "Rotation" as the Which Key? dialog lists them.
const char* KeyKindName(KeyKind kind);

// A key pair as the edit dialogs handle it, in stored units (pixels, factors, radians).
// Position keys have their own eases per axis; scale and rotation use the A eases for both;
// effect keys show A's ease in and B's ease out and store those into both keys.
struct KeyEditValues {
  KeyKind kind = KeyKind::Position;
  int frame = 0;  // 0-based
  double a = 0;
  double b = 0;
  int easeInA = 0;
  int easeOutA = 0;
  int easeInB = 0;
  int easeOutB = 0;
};

// "Please enter a key time between 1 and <frames>" unless 1 <= time1Based <= frames.
Status CheckKeyTime(int time1Based, int frames);
// An edit dialog's OK on a clip of `clipKind`: the key time, then an effect's two values
// within their sliders' ranges.
Status CheckKeyEditValues(const KeyEditValues& values, ClipKind clipKind, int frames);
// "The start frm must be between 1 and <lastStart>" unless 1 <= start1Based <= lastStart.
Status CheckClipStart(int start1Based, int lastStart);

// Positions shown in the document's units (0 pixel, 1 cm, 2 inch) and read back. A dpi out of
// the Settings dialog's range (a foreign file can hold 0) is refused with the dialog's text.
Result<double> PixelsToUnits(double pixels, int units, int dpi);
Result<double> UnitsToPixels(double value, int units, int dpi);
// "PosX (pixel)", "PosX  (cm)", "PosX (inch)" and the same for Y.
std::string PositionLabel(char axis, int units);

// Radians as the dialog's whole turns and the degrees left over, and back.
struct TurnsAndDegrees {
  double turns = 0;
  double degrees = 0;
};
TurnsAndDegrees RadiansToTurns(double radians);
double TurnsToRadians(double turns, double degrees);

// "A position key exists in the changed frame, delete that key first" and its siblings.
std::string KeyExistsInChangedFrameMessage(KeyKind kind);

}  // namespace quenda
