#pragma once
// Render to Targa: a stretch of the sheet written as numbered 32-bit Targa files with alpha,
// painted or as a line test, at the drawings' own size, half or quarter. The same frames go to
// PNG, TIFF (8 or 16 bits) or OpenEXR when asked, with the drawings' resolution at the render's
// scale written into them.

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/picture_format.h"
#include "common/raster.h"
#include "common/result.h"
#include "dopegrid/core/frame_compositor.h"
#include "dopegrid/core/render_layer.h"

namespace quenda {

inline constexpr int kRenderNameLimit = 15;
inline constexpr int kRenderFrameLimit = 1000;

enum class RenderSize { Full, Half, Quarter };
enum class RenderKind { Painted, LineTest };

struct RenderSettings {
  std::string directory;  // ends with '/'
  std::string name;
  int firstFrame = 0;  // from 0, inclusive: the whole job, which fixes the common frame
  int lastFrame = 0;
  // The part of the job this run writes (from 0, inclusive); nothing means all of it. Split
  // runs over the same whole job write exactly the files of one whole run.
  std::optional<int> writeFirst;
  std::optional<int> writeLast;
  std::vector<int> levels;  // ascending
  RenderKind kind = RenderKind::Painted;
  RenderSize size = RenderSize::Full;
  RenderQuality quality = RenderQuality::Best;
  int jobs = 1;  // frames composited at once; the files are those of one job
  PictureFormat format = PictureFormat::Targa;
  int depth = kFrameDepth8;  // PNG and TIFF: 8 or 16 bits
};

// The dialog's checks, in order: "Select an output directory.", "Give a sequence name.",
// "Only letters are allowed for the name". Ok when the settings may run.
Status CheckRenderSettings(const RenderSettings& settings);

// directory + name + the frame number (from 1) padded with zeros to four digits + ".tga" (or
// the extension of `format`).
std::string RenderFileName(std::string_view directory, std::string_view name, int frameNumber,
                           PictureFormat format = PictureFormat::Targa);

struct RenderGeometry {
  int width = 0;
  int height = 0;
  float scale = 1.0f;
};
RenderGeometry RenderGeometryFor(const CommonFrame& frame, RenderSize size);

// The whole command after the dialog: checks, range pass, then one file per frame. False when
// it stopped on a failure or at the user's request.
bool RunRender(const RenderSettings& settings, const SheetSource& source, Prompt& prompt,
               Progress& progress);

// Takes each frame (from 1) in order instead of a file, as a movie does; false stops the run
// (the taker has said why). `fileName` names where a frame went, for the progress; the taker
// reports through the progress it is handed, which frames made ahead also reach.
struct RenderedFrameTaker {
  // `dpi`: the drawings' resolution at the render's scale (0 when they hold none).
  std::function<bool(int frameNumber, const Raster& picture, double dpi, Progress& progress)> take;
  std::function<std::string(int frameNumber)> fileName;
};
// RunRender's range pass and frames without the file name checks, each frame handed over.
bool RenderFramesTo(const RenderSettings& settings, const SheetSource& source, Prompt& prompt,
                    Progress& progress, const RenderedFrameTaker& taker);

}  // namespace quenda
