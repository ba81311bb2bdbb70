#pragma once
// The saved contents of a composition: movie settings, view settings that travel with the
// document, and the clips, index 0 the front-most layer.

#include <cstdint>
#include <vector>

#include "composer/core/clip_record.h"

namespace quenda {

inline constexpr int kMaxClips = 249;
// The number the clip-limit messages name.
inline constexpr int kClipLimitShown = 250;
inline constexpr int kMinMovieSide = 16;
inline constexpr int kMaxMovieSide = 2500;
inline constexpr int kMaxMovieFrames = 5000;
inline constexpr int kMaxFrameRate = 100;
inline constexpr int kMinTimelineZoom = 2;
inline constexpr int kMaxTimelineZoom = 32;

enum class Quality : int { Full = 0, Half = 1, Quarter = 2 };
enum class Units : int { Pixel = 0, Centimetre = 1, Inch = 2 };

struct Composition {
  int width = 768;
  int height = 576;
  int frames = 25;
  int frameRate = 25;
  float pixelAspect = 1.0f;
  uint32_t backgroundColor = 0;  // 0x00BBGGRR
  int quality = 0;
  int antialias = 0;
  int currentFrame = 0;
  int timelineZoom = kMaxTimelineZoom;
  int showLabels = 1;
  int showSafeFrame = 1;
  float titleSafe = 0.2f;
  float actionSafe = 0.1f;
  float viewZoom = 1.0f;
  int units = int(Units::Inch);
  int showRuler = 1;
  int dpi = 100;
  std::vector<ClipRecord> clips;

  bool operator==(const Composition&) const = default;

  int clipCount() const { return int(clips.size()); }
  // The clip whose selected flag is set (the highest such index), -1 for none.
  int SelectedIndex() const;
};

// Removes clip `index`: its children lose their parent and every parent index above it drops
// by one, as Delete Clip and the discard of a lost clip both need.
void RemoveClip(Composition& composition, int index);
// Inserts `clip` at `index`; every parent index at or above it grows by one.
void InsertClip(Composition& composition, int index, ClipRecord clip);
// Exchanges the clips at a and b and the two indices in every parent index.
void SwapClips(Composition& composition, int a, int b);
// One more than the largest labelNumber among the other clips named `name`, 1 when none.
int NextLabelNumber(const Composition& composition, const std::string& name, int except);

}  // namespace quenda
