#pragma once
// Render Output: movie frames composited at full size into numbered Targa files.
//
// - Files: directory + Name + number + ".tga"; the number is Start Frm + (frame - Frame Start)
//   for each movie frame from Frame Start to Frame End (1-based), written in that order. With
//   leading zeros the number has at least four digits (walk0001.tga), without them none. The
//   name of a frame depends only on the job's Frame Start, so a job split into parts across
//   machines (RenderJob::writeFirst/writeLast) writes exactly the files of one whole run.
// - Quality: "Best" samples bilinearly, "Fast" takes the nearest pixel.
// - Fields: the picture interleaves two half-frames. The field shown first in time is
//   composited at the frame itself, the other half a frame later (motion and effect values
//   at frame + 0.5, the same clip pictures). Lines are counted from the top of the picture,
//   the top line being line 1; with Odd first the odd lines come from the first half-frame and
//   the even lines from the second, with Even first the other way round.
// - Matte: without it the files are 24-bit; with it 32-bit, alpha being the matte (the alpha
//   every clip laid down, added up to 255; the background alone has alpha 0). With fields
//   the matte is interleaved like the colours.
// - Format: Targa, or PNG / TIFF (8 or 16 bits) / OpenEXR with the same channels and the
//   movie's dpi written in; EXR colour is linear light as composed, alpha marked as the matte.

#include <functional>
#include <string>

#include "common/picture_format.h"
#include "common/progress.h"
#include "common/prompt.h"
#include "common/raster.h"
#include "composer/core/compose_frame.h"

namespace quenda {

enum class FieldOrder { Odd, Even };

struct RenderOutputSettings {
  int frameStart = 1;  // 1-based, the whole job
  int frameEnd = 1;
  std::string name;
  int startNumber = 0;    // "Start Frm": the number of the file of frameStart
  std::string directory;  // ends with '/'
  bool leadingZeros = true;
  bool fields = false;
  FieldOrder fieldOrder = FieldOrder::Odd;
  bool best = true;
  bool matte = false;
  PictureFormat format = PictureFormat::Targa;
  int depth = kFrameDepth8;  // PNG and TIFF: 8 or 16 bits
};

inline constexpr int kRenderNumberDigits = 4;

// The dialog's defaults: frames 1..frames, start number 0, leading zeros, Best, no fields or
// matte.
RenderOutputSettings DefaultRenderOutputSettings(const Composition& composition);
// Frame Start and End kept within 1..frames with the start at most the end.
RenderOutputSettings NormalizeRenderOutputSettings(RenderOutputSettings settings,
                                                   const Composition& composition);
// The directory chosen in the folder dialog, cut back to its last separator.
std::string OutputDirectoryFromPick(const std::string& picked);

// The file that movie frame `frame` (1-based) of the job goes to.
std::string RenderFilePath(const RenderOutputSettings& settings, int frame);

// Movie frame `frame` (1-based) as it is written: the movie's size, B, G, R and with a matte
// A as well.
Raster RenderPicture(const Composition& composition, const RenderOutputSettings& settings,
                     int frame, const ComposeSink& sink = {});

enum class RenderOutputOutcome { Finished, Stopped, WriteFailed };

struct RenderOutputResult {
  RenderOutputOutcome outcome = RenderOutputOutcome::Finished;
  int filesWritten = 0;
};

// Writes frames writeFirst..writeLast (1-based, within the job; 0 for the whole job) with a
// progress display; STOP asks "Do you want to stop rendering?" after the frame in hand. Up to
// `jobs` frames are composited at once; files and messages are those of one job, in order.
RenderOutputResult RenderFrames(const Composition& composition,
                                const RenderOutputSettings& settings, Prompt& prompt,
                                Progress& progress, int writeFirst = 0, int writeLast = 0,
                                const ComposeSink& sink = {}, int jobs = 1);

// Takes each movie frame (1-based) in order instead of a file, as a movie does; false stops the
// run as a failed write (the taker has said why). `fileName` names where a frame went.
struct ComposedFrameTaker {
  std::function<bool(int frame, const Raster& picture)> take;
  std::function<std::string(int frame)> fileName;
};
// RenderFrames with each frame handed over; filesWritten counts the frames taken.
RenderOutputResult RenderFramesTo(const Composition& composition,
                                  const RenderOutputSettings& settings, Prompt& prompt,
                                  Progress& progress, int writeFirst, int writeLast,
                                  const ComposeSink& sink, int jobs,
                                  const ComposedFrameTaker& taker);

}  // namespace quenda
