#pragma once
// bench_analyze's figures of how the analysis grows: lines + regions per megapixel at three
// resolutions, two threads against one, and the peak memory per pixel of `quenda analyze` and
// of the analyzer's document.

#include <cstdint>
#include <string>
#include <vector>

#include "analyzer/core/working_image.h"
#include "common/redline_settings.h"

namespace quenda::bench {

// Median milliseconds of GenerateLines + ExtractRegions over the whole drawing on buffers kept
// from the run before (as a batch run reuses them), with `threads` inner threads, without the
// display picture, as every program analyses now.
double LinesAndRegionsMs(const std::vector<uint8_t>& grey, int width, int height,
                         const RedlineSettings& settings, int threads, int runs);

// Prints the "lines + regions" rows: ms per megapixel at 150, 300 and 600 dpi A4 on one thread,
// the two-thread/one-thread ratio at 300 dpi, and both against `openCvMs` (OpenCV's labelling
// of the 300 dpi map) and `boundMs` (the memory-traffic bound of the two steps).
void PrintLinesAndRegionsRows(double openCvMs, double boundMs, int runs);

// Forks the helper that starts the tool for PrintMemoryRows; call first thing, while this
// process is small (after SetToolPath, whose tool the helper then starts).
void StartToolSpawner();

// Prints peak resident bytes per pixel of `quenda analyze` (one drawing, one job, run as a
// child process) at the three A4 sizes and at 10000 x 10000, and of the analyzer's document
// from loading to Mark Regions done, with the bytes it holds after, at the three A4 sizes.
void PrintMemoryRows();
// Only the last of those: the analyzer's document, from loading to Mark Regions done.
void PrintWorkingSetRows();

// The tool PrintMemoryRows measures instead of this build's; before StartToolSpawner.
void SetToolPath(const std::string& path);

}  // namespace quenda::bench
