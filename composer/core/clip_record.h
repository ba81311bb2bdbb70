#pragma once
// One layer of a composition: an image clip (a Targa sequence or one picture), an effect clip
// that alters the image clip behind it, or an invisible virtual clip that only parents others.

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "composer/core/key_track.h"

namespace quenda {

enum class ClipKind : int {
  Image = 0,
  Blur = 1,
  Transparency = 2,
  Virtual = 3,
  BrightnessContrast = 4,
  HueSaturation = 5,
  DirectionalBlur = 6,
  Underwater = 7,
};

// What a sequence clip shows outside its own frames.
enum class EdgeBehaviour : int { Stop = 0, Hold = 1, Loop = 2, PingPong = 3 };

enum Track : int { kPositionX = 0, kPositionY = 1, kScaleX = 2, kScaleY = 3, kRotation = 4 };
inline constexpr int kTrackCount = 5;

inline constexpr const char* kVirtualClipName = "*Virtual*";
inline constexpr const char* kEffectClipName = "--------";
inline constexpr int kVirtualClipSide = 30;

bool IsEffectKind(ClipKind kind);
bool IsBlurKind(ClipKind kind);
// True for the kinds a stored file may hold.
bool IsKnownKind(int kind);

struct ClipRecord {
  int labelNumber = 0;
  int parentIndex = -1;
  ClipKind kind = ClipKind::Image;
  int singleImage = 0;
  int imageWidth = 0;
  int imageHeight = 0;
  int selected = 0;
  int hidden = 0;
  int digitCount = 0;
  std::string directory;
  std::string name;
  std::string label;
  int firstFrame = 0;
  int lastFrame = 0;
  int movieStart = 0;
  int span = 0;
  std::array<KeyTrack, kTrackCount> tracks;
  EdgeBehaviour beforeStart = EdgeBehaviour::Stop;
  EdgeBehaviour afterEnd = EdgeBehaviour::Stop;

  bool operator==(const ClipRecord&) const = default;

  bool IsImage() const { return kind == ClipKind::Image; }
  bool IsEffect() const { return IsEffectKind(kind); }
  bool IsVirtual() const { return kind == ClipKind::Virtual; }

  // Adds (newStart - movieStart) to every key of every track and moves the clip to newStart.
  void ShiftKeys(int newStart);

  bool HasPositionKey(int frame) const;
  bool HasScaleKey(int frame) const;
  bool HasRotationKey(int frame) const;
  bool HasAnyKey(int frame) const;
  // Over all five tracks; -1 when there is none.
  int NextClipKeyFrame(int frame) const;
  int PreviousClipKeyFrame(int frame) const;
};

// Strings empty, counters 0, no parent, Stop at both ends, and one key at frame 0 per track:
// position (0, 0), scale (1, 1), rotation 0.
ClipRecord FreshClipRecord();

// The label an effect clip of this kind carries ("FX: Blur", ...); empty for other kinds.
std::string_view EffectLabel(ClipKind kind);
// The list name of the Insert Effect Clip dialog ("Blur", ...); empty for other kinds.
std::string_view EffectListName(ClipKind kind);
// The six effect kinds in the order of the Insert Effect Clip list.
inline constexpr std::array<ClipKind, 6> kEffectKinds = {
    ClipKind::Blur,          ClipKind::Transparency,    ClipKind::BrightnessContrast,
    ClipKind::HueSaturation, ClipKind::DirectionalBlur, ClipKind::Underwater};

// A fresh effect clip: its name, label and the default keys of A and B at frame 0; tracks 2
// to 4 empty.
ClipRecord MakeEffectClip(ClipKind kind);
// A virtual parent for a movie of the given size: keys at the centre, scale 1, rotation 0.
ClipRecord MakeVirtualClip(int movieWidth, int movieHeight);

// "%s (%d)" of name and number.
std::string ClipLabel(std::string_view name, int labelNumber);

// Where no Targa of a clip picture's name exists, these are looked for beside it, in order.
inline constexpr const char* kClipPictureExtensions[] = {".png", ".tif", ".tiff", ".exr", ".jpg"};

// The file of image `frame` of an image clip: directory + name (+ the number padded with zeros
// to digitCount) + ".tga", with '\' read as '/' and the name matched ignoring case; when that
// does not exist, the first of the same name with one of kClipPictureExtensions that does.
std::string ClipFramePath(const ClipRecord& clip, int frame);

// Which image of a sequence clip movie frame `frame` shows, or nothing when the clip is not
// shown there (Stop before the start or after the end). A single image is always shown.
std::optional<int> ImageFrameAt(const ClipRecord& clip, int frame);

}  // namespace quenda
