#pragma once
// The frame strip's icons and painted-state marks of frames other than the loaded one, read
// from their files, and a cache of them on disk so that a sequence opened again shows its icons
// without reading every frame. Nothing here touches the document: the strip builds icons on
// worker threads from copies of what they need.

#include <cstdint>
#include <string>

#include "common/color_set.h"
#include "common/raster.h"
#include "painter/core/painter_frame.h"

namespace quenda {

// The painted state of a frame, for the strip's status marks.
enum class PaintState { NoPaintFile, AllPainted, SomeUnpainted };

struct StripIcon {
  Raster icon;  // side x side, 3 channels
  PaintState state = PaintState::NoPaintFile;
};

// Reads the frame's drawing header, region file and paint file once each and composes the
// icon (grey where they do not load) and the painted state: no paint file; all painted; or
// some unpainted, which a paint file whose frame does not read counts as too.
StripIcon ReadFrameIcon(const FramePaths& paths, const ColorSet& colors, int side);

// Icons kept in files under a folder (the user's cache folder), one per drawing and side. An
// entry is used only while the drawing, region file, paint file and colour set are the same
// files of the same size and time as when it was made, and the colours the same, so painting
// a frame or changing a colour rebuilds the icon; a damaged entry is rebuilt too.
class IconCache {
 public:
  IconCache() = default;  // no folder: every icon is read from the frame's files
  explicit IconCache(std::string folder);

  // `colors.path` is the colour set's file.
  StripIcon Get(const FramePaths& paths, const ColorSet& colors, int side) const;

  // Where the entry of a drawing at a side is kept (empty without a folder).
  std::string EntryPath(const std::string& scanPath, int side) const;

 private:
  std::string folder_;
};

}  // namespace quenda
