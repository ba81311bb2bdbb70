// What gap closing does to drawings whose pencil leaves gaps: the share of the figure's true
// areas (at least 50 pixels at 300 dpi) that keep a region of their own, and the paper joined
// to the figure, for each Close Gaps setting, on scan-like pencil walks and on the plain walk;
// with the time closing takes and how much faster it is than the literal rule.
//
//   bench_gap_closing [--frames N] [--dpi D] [--gaps 0,2,3,...] [--settings P,G] [--pictures DIR]
//
// Drawings are A4 at D dpi (default 300), N of them (default 12) from one walk cycle. With
// --pictures, the first drawing's lines at each setting go to DIR as PPM pictures: lines black,
// joins red, every region that is not its own area's tinted.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "analyzer/core/gap_closing.h"
#include "analyzer/core/line_generation.h"
#include "analyzer/core/region_extraction.h"
#include "analyzer/oracle/literal_gap_closing.h"
#include "common/progress.h"
#include "common/redline_settings.h"
#include "samples/sample_drawing.h"
#include "samples/true_areas.h"

namespace quenda {
namespace {

using Clock = std::chrono::steady_clock;

double Ms(Clock::duration d) {
  return std::chrono::duration<double, std::milli>(d).count();
}

struct Options {
  int frames = 12;
  int dpi = 300;
  std::vector<int> gaps{0, 2, 3, 4, 5, 6, 8};
  std::string pictures;
  RedlineSettings settings;  // the standard ones unless --settings PICKUP,GROWTH
};

struct Drawing {
  WorkingImage image;
  samples::TrueAreas truth;
};

Drawing Make(const samples::SampleOptions& options, int frame, int frames) {
  samples::SampleDrawing drawing = samples::RenderSampleDrawing(options, frame, frames);
  const int w = drawing.scan.picture.width(), h = drawing.scan.picture.height();
  return {MakeWorkingImage(w, h, drawing.scan.picture.bytes()),
          samples::FindTrueAreas(samples::RenderShapeMap(drawing.parts, w, h), w, h)};
}

void WritePicture(const std::string& path, const WorkingImage& image) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return;
  const int w = image.width(), h = image.height();
  std::fprintf(f, "P6 %d %d 255\n", w, h);
  std::vector<uint8_t> row(std::size_t(w) * 3);
  std::vector<bool> joined(image.PixelCount(), false);
  for (std::ptrdiff_t p : image.joinPixels) joined[std::size_t(p)] = true;
  for (int y = h - 1; y >= 0; --y) {
    for (int x = 0; x < w; ++x) {
      const std::size_t i = std::size_t(y) * w + x;
      uint8_t* d = row.data() + 3 * x;
      const bool line = image.regions.flags[i] & kFlagRegionLine;
      d[0] = joined[i] ? 255 : line ? 0 : 255;
      d[1] = d[2] = line ? 0 : 255;
    }
    std::fwrite(row.data(), 1, row.size(), f);
  }
  std::fclose(f);
}

void Measure(const char* label, const Options& options, bool pencil) {
  samples::SampleOptions sample;
  sample.width = 2480 * options.dpi / 300;
  sample.height = 3508 * options.dpi / 300;
  sample.dpi = options.dpi;
  if (pencil) sample.pencil = samples::ScanPencilAt(options.dpi);
  const int64_t least = 50LL * options.dpi * options.dpi / (300 * 300);
  std::vector<Drawing> drawings;
  for (int f = 0; f < options.frames; ++f) drawings.push_back(Make(sample, f, options.frames));
  for (int gap : options.gaps) {
    samples::AreaScore total;
    double closing = 0;
    int joins = 0;
    double worst = 100;
    for (std::size_t k = 0; k < drawings.size(); ++k) {
      WorkingImage image = drawings[k].image;
      NullProgress progress;
      GenerateLines(image, options.settings, 0, image.width(), 0, image.height(), progress);
      const auto started = Clock::now();
      const GapJoins made = CloseGapsOfDrawing(image, gap, progress);
      closing += Ms(Clock::now() - started);
      joins += made.count;
      if (!ExtractRegions(image, options.settings, progress)) continue;
      const samples::AreaScore score = samples::ScoreAreas(drawings[k].truth, image.regions,
                                                           image.width(), image.height(), least);
      worst = std::min(worst, 100.0 * score.ownRegion / std::max(score.areas, 1));
      total += score;
      if (k == 0 && !options.pictures.empty())
        WritePicture(options.pictures + "/" + label + "_gaps" + std::to_string(gap) + ".ppm",
                     image);
    }
    std::printf(
        "%-7s close gaps %2d: own region %5.1f %% of %4d areas (worst drawing %5.1f %%), paper "
        "joined to the figure %5.2f %%, %5d joins, closing %6.1f ms a drawing\n",
        label, gap, 100.0 * total.ownRegion / std::max(total.areas, 1), total.areas, worst,
        100.0 * double(total.paperJoined) / double(std::max<int64_t>(total.paperPixels, 1)), joins,
        closing / double(drawings.size()));
    std::fflush(stdout);
  }
}

// The fast closing against the literal rule on a crop of a pencil drawing: same joins, and
// the time of each.
void CompareWithLiteral(const Options& options) {
  samples::SampleOptions sample;
  sample.width = 2480 * options.dpi / 300;
  sample.height = 3508 * options.dpi / 300;
  sample.dpi = options.dpi;
  sample.pencil = samples::ScanPencilAt(options.dpi);
  WorkingImage image = Make(sample, 0, 1).image;
  NullProgress progress;
  GenerateLines(image, {}, 0, image.width(), 0, image.height(), progress);
  const int side = std::min({400, image.width(), image.height()});
  const int x0 = (image.width() - side) / 2, y0 = image.height() * 6 / 10 - side / 2;
  const PixelRect crop{x0, x0 + side, y0, y0 + side};
  std::vector<uint8_t> fast = image.regions.flags, literal = image.regions.flags;
  auto started = Clock::now();
  const GapJoins a = CloseGaps(fast, image.width(), image.height(), crop, kRecommendedCloseGaps);
  const double fastMs = Ms(Clock::now() - started);
  started = Clock::now();
  const GapJoins b =
      CloseGapsLiteral(literal, image.width(), image.height(), crop, kRecommendedCloseGaps);
  const double literalMs = Ms(Clock::now() - started);
  std::printf("literal rule on a %dx%d crop: %s (%d joins), fast %.2f ms, literal %.0f ms\n", side,
              side, a.pixels == b.pixels && fast == literal ? "same joins" : "JOINS DIFFER",
              a.count, fastMs, literalMs);
}

}  // namespace
}  // namespace quenda

int main(int argc, char** argv) {
  quenda::Options options;
  for (int i = 1; i + 1 < argc; i += 2) {
    if (!std::strcmp(argv[i], "--frames")) options.frames = std::max(1, std::atoi(argv[i + 1]));
    if (!std::strcmp(argv[i], "--dpi")) options.dpi = std::clamp(std::atoi(argv[i + 1]), 50, 600);
    if (!std::strcmp(argv[i], "--pictures")) options.pictures = argv[i + 1];
    if (!std::strcmp(argv[i], "--settings")) {
      int pickUp = 0, growth = 0;
      if (std::sscanf(argv[i + 1], "%d,%d", &pickUp, &growth) == 2)
        options.settings.linePickUp = uint8_t(std::clamp(pickUp, 0, 254)),
        options.settings.lineGrowth = uint8_t(std::clamp(growth, pickUp, 254));
    }
    if (!std::strcmp(argv[i], "--gaps")) {
      options.gaps.clear();
      for (const char* p = argv[i + 1]; *p;) {
        options.gaps.push_back(std::atoi(p));
        while (*p && *p != ',') ++p;
        if (*p == ',') ++p;
      }
    }
  }
  std::printf(
      "%d drawings, A4 at %d dpi, line pick-up %d and growth %d; true areas of at least 50 "
      "pixels at 300 dpi\n",
      options.frames, options.dpi, options.settings.linePickUp, options.settings.lineGrowth);
  quenda::Measure("pencil", options, true);
  quenda::Measure("plain", options, false);
  quenda::CompareWithLiteral(options);
  return 0;
}
