#include "composer/core/view_state.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "composer/core/clip_transform.h"
#include "composer/core/compose_frame.h"
#include "composer/core/key_edit.h"

namespace quenda {

namespace {

// The nearest integer, halves going down.
int Near(double v) {
  return int(std::ceil(v - 0.5));
}

std::string Format(const char* format, double value) {
  char text[64];
  std::snprintf(text, sizeof text, format, value);
  return text;
}

bool IsMoveMode(InteractionMode mode) {
  return mode == InteractionMode::Move || mode == InteractionMode::HorizontalMove ||
         mode == InteractionMode::VerticalMove || mode == InteractionMode::Select;
}

}  // namespace

float ZoomOfLevel(int level) {
  if (level >= 1) return float(level + 1);
  if (level == 0) return 1.0f;
  return 1.0f / float(1 - level);
}

int LevelOfZoom(float zoom) {
  if (zoom > 1.0f) return Near(zoom) - 1;
  if (zoom < 1.0f && zoom > 0.0f) return 1 - Near(1.0 / zoom);
  return 0;
}

int FittingZoomLevel(int movieWidth, int movieHeight, int windowWidth, int windowHeight) {
  int level = 0;
  auto fits = [&](int l) {
    float z = ZoomOfLevel(l);
    return movieWidth * z <= windowWidth && movieHeight * z <= windowHeight;
  };
  if (fits(0)) {
    while (level < 15 && fits(level + 1)) ++level;
  } else {
    while (level > -15 && !fits(level)) --level;
  }
  return level;
}

std::optional<DragStart> StartDrag(const Composition& composition, int index, int frame) {
  if (index < 0 || index >= composition.clipCount()) return std::nullopt;
  const ClipRecord& clip = composition.clips[std::size_t(index)];
  if (!clip.IsImage() && !clip.IsVirtual()) return std::nullopt;
  WorldTransform local = LocalTransform(clip, frame);
  DragStart start;
  start.clip = index;
  start.x = std::trunc(local.x);
  start.y = std::trunc(local.y);
  start.scaleX = local.scaleX;
  start.scaleY = local.scaleY;
  start.rotation = local.rotation;
  start.imageWidth = clip.imageWidth;
  start.imageHeight = clip.imageHeight;
  return start;
}

std::vector<DragKey> DragKeys(InteractionMode mode, const DragStart& s, int dx, int dy,
                              float zoom) {
  // The move modes work in single precision, as the screen arithmetic always has.
  const float x = float(s.x) + float(dx) / zoom;
  const float y = float(s.y) - float(dy) / zoom;
  const double w = s.imageWidth * s.scaleX, h = s.imageHeight * s.scaleY;
  switch (mode) {
    case InteractionMode::Move:
      return {{kPositionX, x}, {kPositionY, y}};
    case InteractionMode::HorizontalMove:
      return {{kPositionX, x}, {kPositionY, float(s.y)}};
    case InteractionMode::VerticalMove:
      return {{kPositionX, float(s.x)}, {kPositionY, y}};
    case InteractionMode::UniformScale: {
      if (w == 0 || h == 0) return {};
      double f = ((h - dy) / h + (w + dx) / w) * 0.5;
      return {{kScaleX, f * s.scaleX}, {kScaleY, f * s.scaleY}};
    }
    case InteractionMode::NonUniformScale:
      if (w == 0 || h == 0) return {};
      return {{kScaleX, (w + dx) * s.scaleX / w}, {kScaleY, (h - dy) * s.scaleY / h}};
    case InteractionMode::Rotate:
      return {{kRotation, s.rotation + dx * 0.02}};
    case InteractionMode::Select:
      return {};
  }
  return {};
}

int ClipAtPoint(const Composition& composition, int frame, double x, double y) {
  for (int i = composition.clipCount() - 1; i >= 0; --i) {
    const ClipRecord& clip = composition.clips[std::size_t(i)];
    if (!clip.IsImage()) continue;
    ClipPlacement p = PlacementAt(composition, i, frame);
    double dx = x - p.x, dy = y - p.y;
    double u = dx, v = dy;
    if (p.rotation != 0) {
      u = std::cos(p.rotation) * dx - std::sin(p.rotation) * dy;
      v = std::cos(p.rotation) * dy + std::sin(p.rotation) * dx;
    }
    double sx = u / p.scaleX + (clip.imageWidth >> 1);
    double sy = v / p.scaleY + (clip.imageHeight >> 1);
    if (sx >= 0 && sx < clip.imageWidth - 1 && sy >= 0 && sy < clip.imageHeight - 1) return i;
  }
  return -1;
}

std::string ZoomPaneText(float zoom) {
  return "zoom: " + std::to_string(int(std::trunc(zoom * 100))) + "%";
}

std::string FramePaneText(int currentFrame) {
  return "Frame: " + std::to_string(currentFrame + 1);
}

std::pair<std::string, std::string> ValuePaneTexts(const Composition& composition,
                                                   InteractionMode mode) {
  int index = composition.SelectedIndex();
  if (index < 0) return {};
  WorldTransform local =
      LocalTransform(composition.clips[std::size_t(index)], composition.currentFrame);
  if (IsMoveMode(mode)) {
    auto shown = [&](double pixels) {
      Result<double> value = PixelsToUnits(pixels, composition.units, composition.dpi);
      return value ? *value : pixels;
    };
    return {Format("PositionX: %5.2f", shown(local.x)), Format("PositionY: %5.2f", shown(local.y))};
  }
  if (mode == InteractionMode::Rotate) {
    TurnsAndDegrees turns = RadiansToTurns(local.rotation);
    return {Format("Turns: %5.0f", turns.turns), Format("Rotation: %5.2f", turns.degrees)};
  }
  return {Format("ScaleX: %5.2f", local.scaleX), Format("ScaleY: %5.2f", local.scaleY)};
}

std::string_view UnitsPaneText(int units) {
  if (units == int(Units::Centimetre)) return "cm";
  if (units == int(Units::Inch)) return "inch";
  return "pixel";
}

ViewRect SafeRect(int width, int height, float margin) {
  int insetX = int(width * margin * 0.5);
  int insetY = int(height * margin * 0.5);
  return {insetX, insetY, width - 2 * insetX, height - 2 * insetY};
}

double RulerStep(int units, float viewZoom) {
  if (units == int(Units::Pixel)) return std::max(1.0, 50.0 / viewZoom);
  return std::max(1.0, 1.0 / viewZoom);
}

double PixelsPerRulerUnit(int units, int dpi) {
  if (units == int(Units::Centimetre)) return dpi * 0.39370078;
  if (units == int(Units::Inch)) return dpi;
  return 1.0;
}

int TimelineFrameAt(int x, int firstVisibleFrame, int timelineZoom) {
  int offset = x - kTimelineLabelWidth;
  int zoom = std::max(timelineZoom, 1);
  return firstVisibleFrame + (offset >= 0 ? offset / zoom : -((zoom - 1 - offset) / zoom));
}

int ClipTimeExtent(const ClipRecord& clip, int frames) {
  int lastKey = -1;
  for (const KeyTrack& track : clip.tracks)
    for (const Key& key : track.keys())
      if (key.frame < frames) lastKey = std::max(lastKey, key.frame);
  return std::max(clip.lastFrame - clip.firstFrame + 1, lastKey - clip.movieStart + 1);
}

std::optional<int> DraggedStart(const ClipRecord& clip, int frames, int pointerFrame,
                                int grabOffset) {
  int start = pointerFrame - grabOffset;
  if (start < 0 || start + ClipTimeExtent(clip, frames) > frames) return std::nullopt;
  return start;
}

}  // namespace quenda
