// How well auto paint follows drawings of every figure kind, measured against the generator's
// ground truth.
//
//   bench_autopaint [--figures K,K..] [--paces P,P..] [--dpi D,D..] [--lines PICKUP,GROWTH]
//                   [--close-gaps N] [--confidence C] [--margin M] [--pictures DIR]
//                   [--runs N] [--digest] [--timing-only]
//                   [--sweep [--sweep-confidences C,C..] [--sweep-margins M,M..]]
//
// Defaults: every figure kind (samples/figure_kinds), paces 0.5,1,2,3 of each figure's natural
// motion, 150 dpi (A4); --dpi 150,300 adds A4 at 300 dpi. For every figure, pace and dpi, 12
// drawings are analyzed (at the standard line settings unless --lines says otherwise, with the
// analyzer's Close Gaps at --close-gaps N, by default the recommended setting) and
// auto painted in two ways of working:
//   chain       drawing 1 painted from the truth, 2..12 each from the one before (by shapes as
//               Auto Paint Range runs it, in memory, remembering the key and how sure it was);
//   in-between  drawings 1 and 12 painted from the truth, 2..11 from both keys at once, as
//               Auto Paint Range's Both Keys does: a chain forward from 1 and one backward
//               from 12, each region taking the colour both give or the surer chain's.
// --confidence C: by shapes, matches less sure than C stay unfilled (default the painter's);
// --margin M: how much surer one key's chain must be to win where the two differ (default the
// painter's).
// Each way by the vote, by shapes as the painter runs it (Paint Specks on, and the painted
// drawings beyond the source to look further into), and by shapes without Paint Specks, so
// that what the matcher itself leaves unfilled shows; a third table gives shapes (Paint Specks on)
// on the same drawings analyzed at Close Gaps 0, unless N is 0 already. Over the figure's regions
// (true part not the paper, line pixels not counted): the share of area painted with the true
// colour, wrongly, and left unfilled; apart, the paper's pixels given a figure colour; and the
// worst single drawing's wrong share. The last lines time auto paint of one A4 300 dpi drawing
// (--runs 0: none). With --pictures, each row's worst drawing by shapes (Paint Specks on) and its
// last drawing are written to DIR as Targa pictures of their outcome at 75 dpi, the worst outcome
// of each block kept: red painted wrongly, magenta paper given a figure colour, yellow left
// unfilled, green painted right. --digest prints, per row and for the timed drawing, a checksum
// of every colour painted, so that a change meant to keep the results can be seen to keep them.
// --timing-only skips the tables and prints the timing lines alone. --sweep prints, in place of
// the tables, both ways by shapes (Paint Specks on) at every confidence of --sweep-confidences
// (default 30,50,60,70,80), the in-betweens at every margin of --sweep-margins too (default
// 0,10,20,30,40): the means over the rows, how many rows keep to 1 % wrong, and the worst row
// and drawing, from which the painter's defaults are chosen.

#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "analyzer/core/gap_closing.h"
#include "autopaint/both_keys.h"
#include "bench/autopaint_drawing.h"
#include "bench/autopaint_sweep.h"
#include "bench/autopaint_tables.h"
#include "bench/autopaint_timing.h"
#include "bench/autopaint_ways.h"
#include "common/color_set.h"
#include "painter/core/auto_paint.h"
#include "painter/core/key_chain.h"
#include "painter/core/small_region_fill.h"
#include "samples/figure_kinds/figure_drawing.h"
#include "samples/figure_parts.h"

namespace quenda {
namespace {

using samples::FigureKind;
using samples::FigurePart;

struct BenchOptions {
  std::vector<FigureKind> figures{std::begin(samples::kFigureKinds),
                                  std::end(samples::kFigureKinds)};
  std::vector<double> paces{0.5, 1, 2, 3};
  std::vector<int> dpis{150};
  // The analyzer's Close Gaps (join stroke ends up to N pixels apart; 0 is off), or
  // kRecommended for the setting the analyzer recommends at each dpi.
  static constexpr int kRecommended = -1;
  int closeGaps = kRecommended;
  RedlineSettings lines;  // the analyzer's line pick-up and growth
  std::string pictures;   // where outcome pictures go, empty for none
  int runs = 5;
  int confidence = kDefaultConfidence;
  int margin = kBothKeysMargin;
  bool digest = false, timingOnly = false, sweep = false;
  Sweep swept;  // with --sweep, its confidences and margins
};

const AutoPaintOptions kVote{};

// Close Gaps as asked, or the recommended setting: the same at every resolution, as the gap a
// tapering stroke leaves in the found lines is counted in pixels.
int CloseGapsFor(const BenchOptions& options) {
  if (options.closeGaps != BenchOptions::kRecommended) return options.closeGaps;
  return kRecommendedCloseGaps;
}

double OpenShare(const std::vector<Drawing>& drawings, const std::vector<Step>& steps) {
  int64_t figure = 0, open = 0;
  for (const Step& s : steps) {
    figure += drawings[std::size_t(s.target)].figurePixels;
    open += drawings[std::size_t(s.target)].openPixels;
  }
  return figure > 0 ? 100.0 * double(open) / double(figure) : 0;
}

void RunFigure(const std::string& directory, FigureKind kind, double pace, int dpi,
               BenchOptions& options, std::vector<Row>& rows) {
  samples::SampleOptions sheet;
  sheet.figure = kind;
  sheet.dpi = dpi;
  sheet.width = 1240 * dpi / 150, sheet.height = 1754 * dpi / 150;  // A4
  const ColorSet colors = ColorsOf(kind);
  const int closeGaps = CloseGapsFor(options);
  std::vector<Drawing> drawings, atZero;
  for (int k = 0; k < kDrawings; ++k) {
    const double time = pace * (k - 0.5 * (kDrawings - 1));
    const samples::SampleDrawing drawing = samples::RenderFigureDrawing(sheet, time);
    const std::string base = directory + "drawing" + std::to_string(k + 1);
    drawings.push_back(Analyze(base, drawing, colors, kind, options.lines, closeGaps));
    if (closeGaps != 0 && !options.sweep)
      atZero.push_back(Analyze(base + "_cg0", drawing, colors, kind, options.lines, 0));
  }
  char pacing[32];
  std::snprintf(pacing, sizeof pacing, "%gx %d", pace, dpi);
  if (options.sweep) {
    SweepFigure(drawings, std::string(samples::FigureKindName(kind)) + " " + pacing, options.swept);
    std::fprintf(stderr, "%s %s swept\n", std::string(samples::FigureKindName(kind)).c_str(),
                 pacing);
    return;
  }
  const AutoPaintOptions shapes = Shapes(true, options.confidence);
  const AutoPaintOptions bare = Shapes(false, options.confidence);
  for (const auto& [way, steps] :
       {std::pair{"chain", ChainSteps()}, std::pair{"in-betw", InBetweenSteps()}}) {
    const bool fromKeys = steps.front().source < 0;
    auto paint = [&](const AutoPaintOptions& mode) {
      return fromKeys                               ? PaintFromKeys(drawings, mode, options.margin)
             : mode.match == AutoPaintMatch::Shapes ? PaintChainFromKey(drawings, mode)
                                                    : Paint(drawings, steps, mode);
    };
    Row row;
    row.label = std::string(samples::FigureKindName(kind)) + " " + pacing + " " + way;
    row.closeGaps = closeGaps;
    row.open = OpenShare(drawings, steps);
    uint64_t digest = kDigestStart;
    const auto byVote = paint(kVote);
    row.vote = Judge(drawings, steps, byVote);
    const auto byShapes = paint(shapes);
    row.shapes = Judge(drawings, steps, byShapes);
    const auto byBare = paint(bare);
    row.bare = Judge(drawings, steps, byBare);
    Digest(digest, byVote), Digest(digest, byShapes), Digest(digest, byBare);
    if (!atZero.empty()) {
      row.atZero = true;
      row.openAtZero = OpenShare(atZero, steps);
      const auto byZero = fromKeys ? PaintFromKeys(atZero, shapes, options.margin)
                                   : PaintChainFromKey(atZero, shapes);
      row.shapesAtZero = Judge(atZero, steps, byZero);
      Digest(digest, byZero);
    }
    if (options.digest)
      std::printf("digest %-26s %016llx\n", row.label.c_str(), (unsigned long long)digest);
    if (!options.pictures.empty()) {
      std::string name = options.pictures + "/" + row.label;
      std::replace(name.begin() + long(options.pictures.size()) + 1, name.end(), ' ', '_');
      const int worst = row.shapes.worstDrawing - 1, last = steps.back().target;
      WriteOutcome(drawings[std::size_t(worst)], byShapes[std::size_t(worst)], dpi,
                   name + "_worst" + std::to_string(worst + 1) + ".tga");
      WriteOutcome(drawings[std::size_t(last)], byShapes[std::size_t(last)], dpi,
                   name + "_last" + std::to_string(last + 1) + ".tga");
    }
    std::fprintf(stderr, "%s done\n", row.label.c_str());
    rows.push_back(std::move(row));
  }
}

template <typename T, typename Parse>
std::vector<T> ListOf(const char* text, Parse parse) {
  std::vector<T> values;
  std::string all(text);
  for (std::size_t start = 0; start <= all.size();) {
    const std::size_t comma = std::min(all.find(',', start), all.size());
    values.push_back(parse(all.substr(start, comma - start)));
    start = comma + 1;
  }
  return values;
}

int Run(BenchOptions& options) {
  char pattern[] = "/tmp/bench_autopaint_XXXXXX";
  if (!mkdtemp(pattern)) return 1;
  const std::string directory = std::string(pattern) + "/";
  if (!options.pictures.empty()) std::filesystem::create_directories(options.pictures);
  std::vector<Row> rows;
  if (!options.timingOnly) {
    for (int dpi : options.dpis)
      for (FigureKind kind : options.figures)
        for (double pace : options.paces) RunFigure(directory, kind, pace, dpi, options, rows);
    if (options.sweep)
      PrintSweep(options.swept);
    else
      PrintTables(rows, options.lines, options.confidence);
  }
  if (options.runs > 0) {
    std::printf("\n");
    TimeLargeFrame(directory, {options.runs, Shapes(true, options.confidence), options.margin,
                               CloseGapsFor(options), options.digest});
  }
  std::filesystem::remove_all(directory);
  return 0;
}

int Refuse(const std::string& why) {
  std::fprintf(stderr, "bench_autopaint: %s\n", why.c_str());
  return 2;
}

}  // namespace
}  // namespace quenda

int main(int argc, char** argv) {
  using namespace quenda;
  BenchOptions options;
  for (int i = 1; i < argc; i += 2) {
    const std::string name = argv[i];
    if (name == "--digest" || name == "--timing-only" || name == "--sweep") {
      (name == "--digest"  ? options.digest
       : name == "--sweep" ? options.sweep
                           : options.timingOnly) = true;
      --i;  // takes no value
      continue;
    }
    if (i + 1 >= argc) return Refuse(name + " takes a value");
    const char* value = argv[i + 1];
    if (name == "--runs") {
      options.runs = std::max(0, std::atoi(value));
    } else if (name == "--confidence") {
      options.confidence = std::atoi(value);
      if (options.confidence < 0 || options.confidence > kMaxConfidence)
        return Refuse("--confidence takes a number from 0 to 100");
    } else if (name == "--margin") {
      options.margin = std::atoi(value);
      if (options.margin < 0 || options.margin > kMaxConfidence)
        return Refuse("--margin takes a number from 0 to 100");
    } else if (name == "--sweep-confidences" || name == "--sweep-margins") {
      const auto values =
          ListOf<int>(value, [](const std::string& v) { return std::atoi(v.c_str()); });
      for (int v : values)
        if (v < 0 || v > kMaxConfidence) return Refuse(name + " takes numbers from 0 to 100");
      (name == "--sweep-margins" ? options.swept.margins : options.swept.confidences) = values;
    } else if (name == "--pictures") {
      options.pictures = value;
    } else if (name == "--close-gaps") {
      char* end = nullptr;
      const long gaps = std::strtol(value, &end, 10);
      if (end == value || *end || gaps < 0 || gaps > kMaxCloseGaps)
        return Refuse("--close-gaps takes a whole number 0.." + std::to_string(kMaxCloseGaps));
      options.closeGaps = int(gaps);
    } else if (name == "--lines") {
      const auto values =
          ListOf<int>(value, [](const std::string& s) { return std::atoi(s.c_str()); });
      if (values.size() != 2 || values[0] < 1 || values[0] > values[1] || values[1] > 255)
        return Refuse("--lines takes PICKUP,GROWTH, 1 <= PICKUP <= GROWTH <= 255");
      options.lines.linePickUp = uint8_t(values[0]), options.lines.lineGrowth = uint8_t(values[1]);
    } else if (name == "--figures") {
      options.figures.clear();
      for (const std::string& kind : ListOf<std::string>(value, [](std::string s) { return s; })) {
        auto named = samples::FigureKindNamed(kind);
        if (!named) return Refuse("--figures takes " + samples::FigureKindNames());
        options.figures.push_back(*named);
      }
    } else if (name == "--paces") {
      options.paces =
          ListOf<double>(value, [](const std::string& s) { return std::atof(s.c_str()); });
      for (double pace : options.paces)
        if (!(pace > 0 && pace <= 6)) return Refuse("--paces are numbers above 0, at most 6");
    } else if (name == "--dpi") {
      options.dpis = ListOf<int>(value, [](const std::string& s) { return std::atoi(s.c_str()); });
      for (int dpi : options.dpis)
        if (dpi != 150 && dpi != 300) return Refuse("--dpi takes 150, 300 or 150,300");
    } else {
      return Refuse("unknown option " + name);
    }
  }
  return Run(options);
}
