#pragma once
// One movie frame of a composition: the background colour, then every visible image clip from
// the back layer to the front, each with the effect clips standing directly in front of it.

#include <functional>
#include <string>
#include <vector>

#include "common/prompt.h"
#include "composer/core/composition.h"
#include "composer/core/draw_clip.h"

namespace quenda {

struct BufferSize {
  int width = 0;
  int height = 0;
};

// height >> q by ((width >> q) with its two lowest bits cleared) + 4.
BufferSize BufferSizeAt(int width, int height, int quality);

struct ComposeOptions {
  int quality = 0;
  bool antialias = false;
  bool keepMatte = false;
  // Added to the frame number where motion and effect parameters are evaluated (not where the
  // clip's image is chosen): 0.5 composes the second field of an interlaced frame.
  double timeOffset = 0;
};

// Where compositing reports trouble: a missing clip frame goes to the status line, an
// unreadable one to a message box. Either may be left empty.
struct ComposeSink {
  Prompt* prompt = nullptr;
  std::function<void(const std::string&)> status;
};

// The effects acting on image clip `index` at `frame`: the unbroken run of effect clips in
// front of it, nearest first, then blur-type effects moved ahead of the others.
std::vector<EffectParams> EffectsFor(const Composition& composition, int index, double time);

// The clip's world transform at `time` with the pixel aspect applied.
ClipPlacement PlacementAt(const Composition& composition, int index, double time);

using DrawClipFunction = void (*)(const ClipImage&, const ClipPlacement&,
                                  const std::vector<EffectParams>&, const DrawSettings&,
                                  FrameBuffer&);

FrameBuffer ComposeFrame(const Composition& composition, int frame, const ComposeOptions& options,
                         const ComposeSink& sink = {});
// The same with another clip drawer, so a literal drawer can be held against the fast one.
FrameBuffer ComposeFrameWith(const Composition& composition, int frame,
                             const ComposeOptions& options, const ComposeSink& sink,
                             DrawClipFunction draw);

}  // namespace quenda
