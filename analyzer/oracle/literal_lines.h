#pragma once
// Line generation transcribed loop for loop, slow and plain: the reference that the fast
// GenerateLines must match bit for bit. Used by tests and the benchmark only.

#include "analyzer/core/working_image.h"
#include "common/progress.h"
#include "common/redline_settings.h"

namespace quenda {

// The rectangle must lie inside the picture.
void GenerateLinesLiteral(WorkingImage& image, const RedlineSettings& settings, int x0, int x1,
                          int y0, int y1, Progress& progress, Bgr lineColour = kDefaultLineColour);

}  // namespace quenda
