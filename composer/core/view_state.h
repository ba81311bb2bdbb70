#pragma once
// The arithmetic of the composer's two views, kept apart from any window so it is tested
// headless: zoom steps, what a drag in the composition view does to the selected clip's keys,
// which clip a click selects, the status bar texts, the safe frame and ruler, and the
// timeline's mapping between pixels and frames.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/view_geometry.h"
#include "composer/core/composition.h"

namespace quenda {

// Interaction modes as the document keeps them.
enum class InteractionMode : int {
  Move = 0,
  UniformScale = 1,
  Rotate = 2,
  Select = 3,
  NonUniformScale = 4,
  HorizontalMove = 5,
  VerticalMove = 6,
};

// Zoom level L: L + 1 for L >= 1, 1 for L = 0, 1 / (1 - L) below (..., 1/3, 1/2, 1, 2, 3, ...).
float ZoomOfLevel(int level);
// The level of a zoom: near(z) - 1 above 1, 1 - near(1 / z) below, halves rounding down.
int LevelOfZoom(float zoom);
// The largest level whose zoom shows the whole movie inside a window of the given size.
int FittingZoomLevel(int movieWidth, int movieHeight, int windowWidth, int windowHeight);

// The selected clip's values at button-down and its picture's size.
struct DragStart {
  int clip = -1;
  double x = 0, y = 0;  // position, truncated to whole pixels
  double scaleX = 1, scaleY = 1;
  double rotation = 0;
  int imageWidth = 0, imageHeight = 0;
};

// A value a drag puts into a track.
struct DragKey {
  int track;
  double value;
};

// The values a drag sets when the pointer has travelled (dx, dy) screen pixels (y downwards)
// since button-down, at view zoom `zoom`; none in Select mode.
std::vector<DragKey> DragKeys(InteractionMode mode, const DragStart& start, int dx, int dy,
                              float zoom);
// The values of clip `index` at `frame` a drag starts from; nothing for effect clips.
std::optional<DragStart> StartDrag(const Composition& composition, int index, int frame);

// The image clip whose picture lies under movie point (x, y) at `frame`, the back-most first;
// -1 when none.
int ClipAtPoint(const Composition& composition, int frame, double x, double y);

// Status bar panes.
std::string ZoomPaneText(float zoom);
std::string FramePaneText(int currentFrame);
// The two value panes of the selected clip for the mode; empty without a selected clip.
std::pair<std::string, std::string> ValuePaneTexts(const Composition& composition,
                                                   InteractionMode mode);
std::string_view UnitsPaneText(int units);

// The action-safe or title-safe rectangle inside a displayed picture of the given size, from
// its top left.
ViewRect SafeRect(int width, int height, float margin);
// The distance between ruler ticks in movie pixels (Pixel units) or in centimetres or inches.
double RulerStep(int units, float viewZoom);
// Movie pixels per ruler unit.
double PixelsPerRulerUnit(int units, int dpi);

// The timeline.
inline constexpr int kTimelineRowHeight = 17;
inline constexpr int kTimelineLabelWidth = 130;
// The frame under x (pixels from the view's left edge), given the first visible frame.
int TimelineFrameAt(int x, int firstVisibleFrame, int timelineZoom);
// How many frames a time drag of the clip moves as one: its own frames or up to its last key,
// whichever reaches further.
int ClipTimeExtent(const ClipRecord& clip, int frames);
// The start a time drag to `pointerFrame` gives the clip when it fits in the movie.
std::optional<int> DraggedStart(const ClipRecord& clip, int frames, int pointerFrame,
                                int grabOffset);

}  // namespace quenda
