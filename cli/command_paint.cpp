// `quenda paint`: region fills at image points of one drawing, saved as the painter saves a
// frame when it is left.

#include "cli/arguments.h"
#include "cli/commands.h"
#include "cli/console_prompt.h"
#include "cli/painter_command_support.h"

namespace quenda::cli {
namespace {

constexpr std::string_view kUsage =
    "usage: quenda paint FRAME.qds --fill X,Y=COLOR [--fill X,Y=COLOR ...] [--specks N]\n"
    "       quenda paint FRAME.qds --specks N\n"
    "       quenda paint FRAME.qds --list-regions\n"
    "Fills the region under each image point X,Y (x to the right, y upwards from the bottom\n"
    "row) with COLOR, a colour of the sequence's set by number or name, in the order given,\n"
    "then writes the frame's paint file and prints how many regions stay unpainted.\n"
    "The drawing's sequence must be processed (every drawing has its region file).\n"
    "--specks N, after the fills, paints every unfilled region of fewer than N pixels off its\n"
    "lines with the colour of the painted region it borders most (largest first, until\n"
    "nothing changes) and prints how many it painted.\n"
    "--list-regions prints one line per region instead, 'REGION X,Y PIXELS COLOR': a point\n"
    "inside it (off its lines), its pixel count off lines, and its colour's name.\n";

int UsageError(CommandIo& io, const std::string& reason) {
  return ReportUsageError(io, "paint", reason, kUsage);
}

struct Fill {
  ImagePoint at;
  std::string colour;
};

std::optional<Fill> ParseFill(const std::string& text) {
  const std::size_t comma = text.find(','), equals = text.find('=');
  if (comma == std::string::npos || equals == std::string::npos || equals < comma)
    return std::nullopt;
  auto x = ParseInt(text.substr(0, comma), -1000000, 1000000);
  auto y = ParseInt(text.substr(comma + 1, equals - comma - 1), -1000000, 1000000);
  if (!x || !y || equals + 1 >= text.size()) return std::nullopt;
  return Fill{{*x, *y}, text.substr(equals + 1)};
}

// One line per region that has pixels off its lines, in region order.
void ListRegions(const CPainterDoc& doc, std::ostream& out) {
  const PainterFrame& frame = doc.frame();
  const std::size_t total = std::size_t(frame.region.RegionTotal()) + 1;
  std::vector<long long> pixels(total, 0);
  std::vector<ImagePoint> inside(total);
  for (int y = 0; y < frame.height; ++y) {
    for (int x = 0; x < frame.width; ++x) {
      const std::size_t i = frame.Index(x, y);
      const std::size_t r = frame.region.regionMap[i];
      if (r >= total || (frame.region.flags[i] & kFlagRegionLine)) continue;
      if (pixels[r]++ == 0) inside[r] = {x, y};
    }
  }
  for (std::size_t r = kBackgroundRegion; r < total; ++r) {
    if (pixels[r] == 0) continue;
    const int colour = r < frame.regionColor.size() ? frame.regionColor[r] : kTransparentColor;
    const ColorEntry& entry =
        doc.colors().entries[colour >= 0 && colour < kColorSlots ? colour : 0];
    out << r << " " << inside[r].x << "," << inside[r].y << " " << pixels[r] << " " << entry.name
        << "\n";
  }
}

int RunPaint(std::span<const std::string> args, CommandIo& io) {
  Arguments parsed(args, {"--fill", "--specks"}, {"--list-regions"});
  if (!parsed.error().empty()) return UsageError(io, parsed.error());
  if (parsed.positional().size() != 1) return UsageError(io, "give exactly one drawing");
  if (parsed.Has("--list-regions")) {
    if (!parsed.Values("--fill").empty() || parsed.Value("--specks"))
      return UsageError(io, "--list-regions takes no --fill or --specks");
    ConsolePrompt prompt(io, false);
    prompt.Name("paint", parsed.positional()[0]);
    CPainterDoc doc(prompt);
    if (!OpenAtDrawing(doc, parsed.positional()[0])) return 1;
    ListRegions(doc, io.out);
    return 0;
  }
  std::vector<Fill> fills;
  for (const std::string& text : parsed.Values("--fill")) {
    auto fill = ParseFill(text);
    if (!fill) return UsageError(io, "--fill must be X,Y=COLOR, not '" + text + "'");
    fills.push_back(*fill);
  }
  std::optional<int> specks;
  if (auto text = parsed.Value("--specks")) {
    specks = ParseInt(*text, 1, 1000000);
    if (!specks) return UsageError(io, "--specks must be a number of pixels from 1");
  }
  if (fills.empty() && !specks) return UsageError(io, "give at least one --fill or --specks");

  const std::string& drawing = parsed.positional()[0];
  ConsolePrompt prompt(io, false);
  prompt.Name("paint", drawing);
  CPainterDoc doc(prompt);
  if (!OpenAtDrawing(doc, drawing)) return 1;
  const PainterFrame& frame = doc.frame();
  // Everything is checked before the first fill, so a mistake leaves the frame as it was.
  std::vector<int> colours;
  for (const Fill& fill : fills) {
    auto colour = FindPaintColour(doc.colors(), fill.colour);
    if (!colour)
      return ReportFileError(io, "paint", doc.colors().path,
                             "no colour '" + fill.colour + "' to paint with");
    if (!frame.Contains(fill.at.x, fill.at.y))
      return ReportFileError(io, "paint", drawing,
                             std::to_string(fill.at.x) + "," + std::to_string(fill.at.y) +
                                 " is outside the " + std::to_string(frame.width) + "x" +
                                 std::to_string(frame.height) + " picture");
    colours.push_back(*colour);
  }
  for (std::size_t k = 0; k < fills.size(); ++k) {
    doc.SetCurrentColor(colours[k]);
    doc.RegionFillRelease({0, 0}, {0, 0}, fills[k].at, fills[k].at);
  }
  const int index = doc.currentFrame();
  if (specks) {
    doc.SetSpeckSize(*specks);
    io.out << FrameName(doc, index) << ": " << doc.PaintSpecks() << " specks painted\n";
  }
  doc.Close();
  if (doc.failedFrameSaves() > 0) return 1;
  io.out << FrameName(doc, index) << ": " << doc.FramePaintedStateText(index) << "\n";
  return 0;
}

}  // namespace

const Command& PaintCommand() {
  static const Command kCommand{"paint", "fill regions of a drawing with colours of its set",
                                kUsage, RunPaint};
  return kCommand;
}

}  // namespace quenda::cli
