#pragma once
// Line generation: from the grey scan to a one-pixel-wide line map in the flag map (bit 0 line
// pixel, bit 2 ink), with short gaps at stroke ends bridged, and the contrast-stretched drawing
// with its lines in the display image.

#include "analyzer/core/working_image.h"
#include "common/progress.h"
#include "common/redline_settings.h"

namespace quenda {

// Works on the rectangle x0 <= x < x1, y0 <= y < y1 (a test rectangle, or the whole drawing),
// rewriting flags and display (when the image has one) inside it. Pixels outside keep their flags,
// except that growth may mark (bit 1) pixels beyond a rectangle smaller than the picture. A
// rectangle reaching past the picture is cut to it. Reports "Preparing...", "Pass 1..." ..
// "Pass 4...", "Done"; never stops early.
void GenerateLines(WorkingImage& image, const RedlineSettings& settings, int x0, int x1, int y0,
                   int y1, Progress& progress, Bgr lineColour = kDefaultLineColour);

// Only the contrast-stretched drawing in the display image; flags untouched.
void ShowClampedImage(WorkingImage& image, const RedlineSettings& settings, int x0, int x1, int y0,
                      int y1);

}  // namespace quenda
