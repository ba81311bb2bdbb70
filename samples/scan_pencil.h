#pragma once
// Pencil as it comes off a scanner rather than as the clean strokes of the plain samples: a
// closed outline drawn in a few strokes whose ends taper out and stop short of one another,
// pressure that wanders along every stroke, and some strokes gone over a second time a little
// off the first. Any figure's strokes can be drawn this way; with the options off (the
// default) a stroke is drawn exactly as PencilCanvas::DrawStroke draws it. A drawing made with
// the options on is composed with the grain at pale ink (ToothGrain::AtPaleInk), as a scan shows
// graphite: dark and whole in a firm line's core, grainy at its edges and tapering ends.

#include <span>
#include <vector>

#include "samples/pencil_canvas.h"
#include "samples/pencil_shapes.h"

namespace quenda::samples {

// Lengths are pixels at 300 dpi, scaled to the drawing's resolution.
struct ScanPencil {
  bool enabled = false;
  int dpi = 300;  // of the drawing
  // Bare paper left where two strokes of an outline should meet: from minGap to maxGap.
  int minGap = 1;
  int maxGap = 4;
  int maxStrokesPerOutline = 3;  // a closed outline is drawn in 1 .. this many strokes
  double taperLength = 14;       // over which a stroke's end thins out
  double taperWidth = 0.45;      // the line's width at the very end, of its full width
  double pressureSwing = 0.3;    // how far pressure wanders below the hand's, 0..1
  double doubledShare = 0.25;    // share of strokes gone over a second time
};

// The options as `quenda sample --scan-pencil` gives them, for a drawing of `dpi`.
ScanPencil ScanPencilAt(int dpi);

// Where two strokes of an outline should have met: the end of one and the start of the next
// (centre line), with `bare` pixels of paper between their inked ends.
struct PencilGap {
  Point end;
  Point start;
  double bare = 0;
};

// Draws `points` in `style`: as DrawStroke does when the options are off, else the scanned way
// (`closed`: an outline whose last point repeats its first). The gaps left between the strokes
// of an outline go to `gaps` when given. `random` decides breaks, gaps and doubling.
void DrawScanStroke(PencilCanvas& canvas, std::span<const StrokePoint> points, bool closed,
                    const PencilStyle& style, const ScanPencil& pencil, SampleRandom& random,
                    std::vector<PencilGap>* gaps = nullptr);

// Draws an open line: as DrawStroke does when the options are off, else the scanned way, and an
// end that should meet another line (`meetsStart`, `meetsEnd`: that line's half width in
// pixels, its centre line at the end point; 0: a free end) stops short of it by bare paper of
// minGap .. maxGap, recorded in `gaps` when given.
void DrawScanLine(PencilCanvas& canvas, std::span<const StrokePoint> points, double meetsStart,
                  double meetsEnd, const PencilStyle& style, const ScanPencil& pencil,
                  SampleRandom& random, std::vector<PencilGap>* gaps = nullptr);

}  // namespace quenda::samples
