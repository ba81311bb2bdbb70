#pragma once
// Region extraction transcribed step for step, with the repeated fill passes: the reference
// that the fast ExtractRegions must match exactly. Used by tests and the benchmark only.

#include "analyzer/core/working_image.h"
#include "common/progress.h"
#include "common/redline_settings.h"
#include "common/result.h"

namespace quenda {

// Same contract as ExtractRegions, including its refusal of more regions than a region file
// holds.
Status ExtractRegionsLiteral(WorkingImage& image, const RedlineSettings& settings,
                             Progress& progress);

}  // namespace quenda
