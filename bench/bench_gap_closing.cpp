// What gap closing does to drawings whose pencil leaves gaps: the share of the figure's true
// areas (at least 50 pixels at 300 dpi) that keep a region of their own, and the paper joined
// to the figure, for each Close Gaps setting, on scan-like pencil drawings of every figure kind
// (and all of them together) and on the plain walk; with the time closing takes and how much
// faster it is than the literal rule.
//
//   bench_gap_closing [--frames N] [--dpi D] [--gaps 0,4,8,...] [--settings P,G]
//                     [--figures K,K..] [--pictures DIR]
//
// Drawings are A4 at D dpi (default 300), N of them (default 12) of each figure kind at its
// natural pace (the walk: one cycle). With --pictures, each kind's first drawing's lines at
// each setting go to DIR as PPM pictures: lines black, joins red.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "analyzer/core/gap_closing.h"
#include "analyzer/core/line_generation.h"
#include "analyzer/core/region_extraction.h"
#include "analyzer/oracle/literal_gap_closing.h"
#include "common/progress.h"
#include "common/redline_settings.h"
#include "samples/figure_kinds/figure_kind.h"
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
  std::vector<int> gaps{0, 4, 8, 12, 16, 20};
  std::vector<samples::FigureKind> figures{std::begin(samples::kFigureKinds),
                                           std::end(samples::kFigureKinds)};
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

// What one setting did over some drawings.
struct Tally {
  samples::AreaScore areas;
  double closingMs = 0;
  int drawings = 0, joins = 0;
  double worst = 100;  // the lowest own-region share of a drawing

  void Add(const Tally& o) {
    areas += o.areas, closingMs += o.closingMs, drawings += o.drawings, joins += o.joins;
    worst = std::min(worst, o.worst);
  }
};

void Print(const std::string& label, int gap, const Tally& t) {
  std::printf(
      "%-7s close gaps %2d: own region %5.1f %% of %5d areas (worst drawing %5.1f %%), paper "
      "joined to the figure %5.2f %%, %6d joins, closing %6.1f ms a drawing\n",
      label.c_str(), gap, 100.0 * t.areas.ownRegion / std::max(t.areas.areas, 1), t.areas.areas,
      t.worst,
      100.0 * double(t.areas.paperJoined) / double(std::max<int64_t>(t.areas.paperPixels, 1)),
      t.joins, t.closingMs / double(std::max(t.drawings, 1)));
  std::fflush(stdout);
}

// Every setting on the drawings of `kind`, drawn with the scan-like pencil or plain; the
// tallies by setting are added to `all`.
void Measure(const std::string& label, const Options& options, samples::FigureKind kind,
             bool pencil, std::map<int, Tally>* all) {
  samples::SampleOptions sample;
  sample.width = 2480 * options.dpi / 300;
  sample.height = 3508 * options.dpi / 300;
  sample.dpi = options.dpi;
  sample.figure = kind;
  if (pencil) sample.pencil = samples::ScanPencilAt(options.dpi);
  const int64_t least = 50LL * options.dpi * options.dpi / (300 * 300);
  std::vector<Drawing> drawings;
  for (int f = 0; f < options.frames; ++f) {
    drawings.push_back(Make(sample, f, options.frames));
    NullProgress progress;
    WorkingImage& image = drawings.back().image;
    GenerateLines(image, options.settings, 0, image.width(), 0, image.height(), progress);
  }
  for (int gap : options.gaps) {
    Tally tally;
    for (std::size_t k = 0; k < drawings.size(); ++k) {
      WorkingImage image = drawings[k].image;
      NullProgress progress;
      const auto started = Clock::now();
      const GapJoins made = CloseGapsOfDrawing(image, gap, progress);
      tally.closingMs += Ms(Clock::now() - started);
      tally.joins += made.count;
      ++tally.drawings;
      if (!ExtractRegions(image, options.settings, progress)) continue;
      const samples::AreaScore score = samples::ScoreAreas(drawings[k].truth, image.regions,
                                                           image.width(), image.height(), least);
      tally.worst = std::min(tally.worst, 100.0 * score.ownRegion / std::max(score.areas, 1));
      tally.areas += score;
      if (k == 0 && !options.pictures.empty())
        WritePicture(options.pictures + "/" + label + "_gaps" + std::to_string(gap) + ".ppm",
                     image);
    }
    Print(label, gap, tally);
    if (all) (*all)[gap].Add(tally);
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
    if (!std::strcmp(argv[i], "--figures")) {
      options.figures.clear();
      std::string list = argv[i + 1];
      for (std::size_t start = 0; start <= list.size();) {
        const std::size_t comma = std::min(list.find(',', start), list.size());
        const auto kind = quenda::samples::FigureKindNamed(list.substr(start, comma - start));
        if (!kind) {
          std::fprintf(stderr, "bench_gap_closing: --figures takes %s\n",
                       quenda::samples::FigureKindNames().c_str());
          return 2;
        }
        options.figures.push_back(*kind);
        start = comma + 1;
      }
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
  std::map<int, quenda::Tally> all;
  for (quenda::samples::FigureKind kind : options.figures)
    quenda::Measure(std::string(quenda::samples::FigureKindName(kind)), options, kind, true, &all);
  std::printf("scan-like pencil, every kind above together:\n");
  for (const auto& [gap, tally] : all) quenda::Print("all", gap, tally);
  std::printf("plain pencil:\n");
  quenda::Measure("plain", options, quenda::samples::FigureKind::Walk, false, nullptr);
  quenda::CompareWithLiteral(options);
  return 0;
}
