// `quenda sample`: writes a sequence of sample pencil drawings and its colour set.

#include <climits>

#include "cli/arguments.h"
#include "cli/commands.h"
#include "cli/console_prompt.h"
#include "cli/replace_sequence.h"
#include "common/case_insensitive_path.h"
#include "common/color_set.h"
#include "common/frame_sequence.h"
#include "common/path.h"
#include "common/region_file.h"
#include "common/sequence_files.h"
#include "samples/figure_parts.h"
#include "samples/sample_drawing.h"

namespace quenda::cli {
namespace {

constexpr std::string_view kUsage =
    "usage: quenda sample DIR --name NAME --frames N [--size WxH] [--dpi D] [--peg P]\n"
    "                     [--origin X,Y] [--seed S] [--figure KIND] [--scan-pencil]\n"
    "                     [--force | --parts-of K]\n"
    "Writes NAME1.qds .. NAMEN.qds, pencil drawings of a figure walking to the right (or of\n"
    "another --figure), and NAME.col, their colour set, into DIR (made if missing). One line\n"
    "per file written.\n\n"
    "  --name NAME    the sequence name, letters only\n"
    "  --frames N     number of drawings, 1..3000\n"
    "  --size WxH     pixels, each 1..10000 (default 1240x1754, A4 at 150 dpi; A4 at 300 dpi\n"
    "                 is 2480x3508)\n"
    "  --dpi D        resolution stored in the scans, 1..1200 (default 150)\n"
    "  --peg P        peg position 0 left, 1 right, 2 bottom, 3 top (default 2)\n"
    "  --origin X,Y   the scan's place on the scanner bed, each 0..10000 (default 0,0)\n"
    "  --seed S       the same seed always gives the same drawings (default 1)\n"
    "  --figure KIND  what the drawings show, moving at its natural pace (default walk):\n"
    "                 walk    a figure walking to the right\n"
    "                 limbs   a figure waving an arm high and kicking a leg\n"
    "                 head    a head turning, its eyes, brows and mouth moving\n"
    "                 animal  a dog of spots, stripes and teeth, trotting and barking\n"
    "                 cross   a walker overtaking another in front of it\n"
    "                 soft    a jelly squashing, stretching and bending\n"
    "                 travel  a walker coming across and towards the camera\n"
    "                 The colour set holds the colours of the figure's parts.\n"
    "  --scan-pencil  pencil as a real scan has it: stroke ends that taper out, pressure that\n"
    "                 varies along a stroke, strokes gone over twice, and outlines whose\n"
    "                 strokes stop 1 to 4 pixels (at 300 dpi) short of meeting\n"
    "  --force        replace a sequence NAME already in DIR: its drawings, region and paint\n"
    "                 files and colour set are removed first (without it DIR is left as it is)\n"
    "  --parts-of K   writes nothing: for drawing K of the sequence these options\n"
    "                 make, once analyzed (DIR/NAMEK.rgn), prints a line per region,\n"
    "                 'REGION X,Y COLOR': a point inside it off its lines and the colour\n"
    "                 of the figure's part under most of it (TRANS for the paper), for\n"
    "                 quenda paint --fill X,Y=COLOR\n";

constexpr int kMaxSide = 10000;
constexpr int kMaxDpi = 1200;
constexpr int kMaxBedPosition = 10000;

int UsageError(CommandIo& io, const std::string& reason) {
  return ReportUsageError(io, "sample", reason, kUsage);
}

// The fills that paint drawing `key` (from 1) of the sequence by its figure's parts.
int PrintPartFills(CommandIo& io, std::string directory, const std::string& name, int key,
                   int frames, const samples::SampleOptions& options) {
  if (!directory.empty() && directory.back() != '/') directory += '/';
  const std::string path = directory + name + std::to_string(key) + ".rgn";
  const samples::SampleDrawing drawing = samples::RenderSampleDrawing(options, key - 1, frames);
  const int width = drawing.scan.picture.width(), height = drawing.scan.picture.height();
  Result<RegionData> regions = ReadRegionFile(path, width, height, RegionReader::Painter);
  if (!regions) return ReportFileError(io, "sample", path, regions.message());
  const std::vector<samples::FigurePart> parts =
      samples::RenderPartMap(drawing.parts, width, height);
  for (const samples::PartFill& fill : samples::PartFills(parts, *regions, width))
    io.out << fill.region << " " << fill.x << "," << fill.y << " " << fill.colour << "\n";
  return 0;
}

int RunSample(std::span<const std::string> args, CommandIo& io) {
  Arguments parsed(args,
                   {"--name", "--frames", "--size", "--dpi", "--peg", "--origin", "--seed",
                    "--figure", "--parts-of"},
                   {"--force", "--scan-pencil"});
  if (!parsed.error().empty()) return UsageError(io, parsed.error());
  if (parsed.positional().size() != 1) return UsageError(io, "give exactly one folder");
  auto name = parsed.Value("--name");
  if (!name) return UsageError(io, "--name is required");
  if (!samples::IsSequenceName(*name))
    return UsageError(io, std::string(samples::kOnlyLettersMessage));
  auto framesText = parsed.Value("--frames");
  if (!framesText) return UsageError(io, "--frames is required");
  auto frames = ParseInt(*framesText, 1, samples::kMaxSampleFrames);
  if (!frames) return UsageError(io, "--frames must be a whole number from 1 to 3000");

  samples::SampleOptions options;
  if (auto text = parsed.Value("--size")) {
    auto size = ParseSize(*text, 1, kMaxSide);
    if (!size) return UsageError(io, "--size must be WxH, each from 1 to 10000");
    options.width = size->first;
    options.height = size->second;
  }
  if (auto text = parsed.Value("--dpi")) {
    auto dpi = ParseInt(*text, 1, kMaxDpi);
    if (!dpi) return UsageError(io, "--dpi must be a whole number from 1 to 1200");
    options.dpi = *dpi;
  }
  if (auto text = parsed.Value("--peg")) {
    auto peg = ParseInt(*text, kPegLeft, kPegTop);
    if (!peg) return UsageError(io, "--peg must be 0, 1, 2 or 3");
    options.pegPosition = *peg;
  }
  if (auto text = parsed.Value("--origin")) {
    auto comma = text->find(',');
    auto x = ParseInt(text->substr(0, comma), 0, kMaxBedPosition);
    auto y = comma == std::string::npos ? std::nullopt
                                        : ParseInt(text->substr(comma + 1), 0, kMaxBedPosition);
    if (!x || !y) return UsageError(io, "--origin must be X,Y, each from 0 to 10000");
    options.xPosition = *x;
    options.yPosition = *y;
  }
  if (auto text = parsed.Value("--seed")) {
    auto seed = ParseInt(*text, 0, INT_MAX);
    if (!seed) return UsageError(io, "--seed must be a whole number from 0 to 2147483647");
    options.seed = uint32_t(*seed);
  }
  if (parsed.Has("--scan-pencil")) options.pencil = samples::ScanPencilAt(options.dpi);

  if (auto text = parsed.Value("--figure")) {
    auto kind = samples::FigureKindNamed(*text);
    if (!kind) return UsageError(io, "--figure must be one of " + samples::FigureKindNames());
    options.figure = *kind;
  }

  const std::string& directory = parsed.positional()[0];
  if (auto text = parsed.Value("--parts-of")) {
    auto key = ParseInt(*text, 1, *frames);
    if (!key) return UsageError(io, "--parts-of must be a drawing from 1 to --frames");
    if (parsed.Has("--force")) return UsageError(io, "--parts-of writes nothing: no --force");
    return PrintPartFills(io, directory, *name, *key, *frames, options);
  }
  std::vector<std::string> existing =
      ExistingSequenceFiles(directory, *name, ColorSetFile::Included);
  if (auto code =
          MakeRoomForSequence(io, "sample", directory, *name, existing, parsed.Has("--force")))
    return *code;

  ConsolePrompt prompt(io, false);
  prompt.Name("sample", directory);
  Status status = samples::WriteSampleSequence(
      directory, *name, *frames, options, prompt,
      [&](const std::string& path) { io.out << "wrote " << path << "\n"; });
  if (status) return 0;
  // The colour set's write error has been printed by the prompt already.
  if (status.message() != kColorSetWriteErrorMessage)
    return ReportFileError(io, "sample", directory, status.message());
  return 1;
}

}  // namespace

const Command& SampleCommand() {
  static const Command kCommand{"sample", "write a sequence of sample pencil drawings", kUsage,
                                RunSample};
  return kCommand;
}

}  // namespace quenda::cli
