// `quenda autopaint`: Auto Paint Range without a window, saving every frame as the painter
// does, then the painted state of each frame of the range.

#include "cli/arguments.h"
#include "cli/commands.h"
#include "cli/console_prompt.h"
#include "cli/frame_progress.h"
#include "cli/interrupt_stop.h"
#include "cli/painter_command_support.h"
#include "common/frame_sequence.h"
#include "painter/core/auto_paint.h"

namespace quenda::cli {
namespace {

constexpr std::string_view kUsage =
    "usage: quenda autopaint ANY_FRAME.qds --range START-END --from previous|next|both|FRAME\n"
    "                        [--match vote|shapes] [--confidence C] [--specks N]\n"
    "Paints the frames START to END (frame texts such as 2 or 12a) of the drawing's sequence\n"
    "from their neighbours: 'previous' goes upwards, each frame from the one before it; 'next'\n"
    "goes downwards, each from the one after it; 'both' paints the in-betweens START to END\n"
    "from the painted keys START-1 and END+1, by a chain from each, which remembers its key\n"
    "and is no surer of a colour than the frame it took it from: a region takes the colour\n"
    "both give, or that of the chain surer by a clear margin, a chain counting for less the\n"
    "further it has come from its key, else stays unfilled; a frame text paints every frame\n"
    "from that one frame. Every frame is written, then one line per frame tells how many\n"
    "regions stay unpainted.\n"
    "--match vote (the default) gives each region the colour of the source region covering\n"
    "most of it; --match shapes matches regions by position, motion, area, shape, outline\n"
    "and neighbours, follows small painted pieces such as a hand by their own outline,\n"
    "asks painted frames beyond the source, nearest first, for what is still unfilled (a\n"
    "region a crossing limb hid there) - a chain asks its key and the frames it painted\n"
    "before, for what it took unsurely too - and leaves unfilled what it cannot match with\n"
    "confidence.\n"
    "--confidence C (0 to 100, default 50) is how sure a match by shapes must be: every\n"
    "region matched less surely stays unfilled, for a person to look at.\n"
    "--specks N then paints every unfilled region of fewer than N pixels with the colour of\n"
    "the painted region it borders most.\n"
    "Each frame is painted from the one painted just before it, so the range is a chain and\n"
    "runs on one core (there is no --jobs); by shapes, the chain (for 'both', the two) runs\n"
    "in memory before anything is written, so that it knows how sure it was of each frame;\n"
    "a Ctrl-C while it runs changes nothing.\n"
    "Progress goes to standard error: a bar on a terminal, else one line per frame. Ctrl-C\n"
    "stops after the frame in hand, keeps what was painted, names the --range that resumes\n"
    "the run and exits 130.\n";

static_assert(kDefaultConfidence == 50, "the usage names the default confidence");

int UsageError(CommandIo& io, const std::string& reason) {
  return ReportUsageError(io, "autopaint", reason, kUsage);
}

// Prints each stage on its own line; nobody presses STOP here.
class PrintedProgress final : public Progress {
 public:
  explicit PrintedProgress(std::ostream& out) : out_(out) {}
  void SetStage(std::string_view text) override { out_ << text << "\n"; }
  void SetPercent(int) override {}
  bool StopRequested() override { return false; }

 private:
  std::ostream& out_;
};

int RunAutopaint(std::span<const std::string> args, CommandIo& io) {
  Arguments parsed(args, {"--range", "--from", "--match", "--confidence", "--specks"}, {});
  if (!parsed.error().empty()) return UsageError(io, parsed.error());
  if (parsed.positional().size() != 1) return UsageError(io, "give exactly one drawing");
  auto range = parsed.Value("--range");
  auto from = parsed.Value("--from");
  if (!range) return UsageError(io, "--range is required");
  if (!from) return UsageError(io, "--from is required");
  const std::size_t dash = range->find('-');
  if (dash == std::string::npos) return UsageError(io, "--range must be START-END");

  AutoPaintRangeFields fields;
  if (auto match = parsed.Value("--match")) {
    if (*match == "shapes")
      fields.match = AutoPaintMatch::Shapes;
    else if (*match != "vote")
      return UsageError(io, "--match must be vote or shapes, not '" + *match + "'");
  }
  if (auto text = parsed.Value("--confidence")) {
    const std::optional<int> confidence = ParseInt(*text, 0, kMaxConfidence);
    if (!confidence) return UsageError(io, "--confidence must be a number from 0 to 100");
    fields.confidence = *confidence;
  }
  std::optional<int> specks;
  if (auto text = parsed.Value("--specks")) {
    specks = ParseInt(*text, 1, 1000000);
    if (!specks) return UsageError(io, "--specks must be a number of pixels from 1");
    fields.paintSpecks = true;
  }
  fields.startText = range->substr(0, dash);
  fields.endText = range->substr(dash + 1);
  if (*from == "previous") {
    fields.source = RangeSource::AutoPrevious;
  } else if (*from == "next") {
    fields.source = RangeSource::AutoNext;
  } else if (*from == "both") {
    fields.source = RangeSource::BothKeys;
  } else {
    fields.source = RangeSource::FrameNo;
    fields.sourceText = *from;
  }

  ConsolePrompt prompt(io, false);
  prompt.Name("autopaint", parsed.positional()[0]);
  CPainterDoc doc(prompt);
  if (!doc.OpenSequenceFile(parsed.positional()[0])) return 1;
  if (specks) doc.SetSpeckSize(*specks);
  PrintedProgress stages(io.out);
  InterruptStop stop(prompt);
  FrameProgress progress(io, stop, &stages);
  const bool done = doc.AutoPaintRange(fields, progress);
  const auto& tags = doc.sequence().frames;
  if (!done && !stop.Interrupted() && !tags.empty())
    for (const std::string& text : {fields.startText, fields.endText})
      if (!FindFrame(tags, ParseTypedFrameTag(text))) {
        io.err << "quenda autopaint: " << parsed.positional()[0] << ": no frame " << text
               << " in the sequence; its frames are " << FormatFrameTag(tags.front()) << " to "
               << FormatFrameTag(tags.back()) << "\n";
        break;
      }
  const int lastPainted = doc.currentFrame();
  const std::string lastPaint = PaintPath(doc.sequence(), lastPainted, prompt);
  doc.Close();  // writes the frame painted last
  if (done && progress.lastFrame() != lastPainted + 1)
    progress.FrameCommitted(lastPainted + 1, lastPaint);
  progress.Finish();
  // A chain run in memory first writes nothing until it is done.
  const bool chained =
      fields.source == RangeSource::BothKeys ||
      (fields.match == AutoPaintMatch::Shapes && fields.source != RangeSource::FrameNo);
  if (!done && stop.Interrupted() && chained && !progress.lastFrame()) {
    io.err << "quenda autopaint: interrupted before any frame was painted; nothing changed\n";
    return stop.ExitCode(1);
  }
  if (!done || doc.failedFrameSaves() > 0) return stop.ExitCode(1);
  const auto& frames = doc.sequence().frames;
  if (stop.Interrupted()) {
    // The frames were painted in order from one end of the range: the rest is the other end.
    const int start = FindFrame(frames, ParseTypedFrameTag(fields.startText)).value_or(0);
    const int end = FindFrame(frames, ParseTypedFrameTag(fields.endText)).value_or(0);
    const int painted = progress.lastFrame().value_or(0) - 1;
    const bool descending = fields.source == RangeSource::AutoNext;
    io.err << "quenda autopaint: interrupted after " << doc.name()
           << FormatFrameTag(frames[std::size_t(painted)]);
    if (descending ? painted <= start : painted >= end)
      io.err << "; every frame is done\n";
    else if (descending)
      io.err << "; resume with --range " << fields.startText << "-"
             << FormatFrameTag(frames[std::size_t(painted - 1)]) << "\n";
    else
      io.err << "; resume with --range " << FormatFrameTag(frames[std::size_t(painted + 1)]) << "-"
             << fields.endText << "\n";
    return stop.ExitCode(1);
  }
  for (int i = 0; i < doc.frameCount(); ++i) {
    const FrameTag& tag = frames[i];
    const int start = FindFrame(frames, ParseTypedFrameTag(fields.startText)).value_or(-1);
    const int end = FindFrame(frames, ParseTypedFrameTag(fields.endText)).value_or(-1);
    if (i < start || i > end) continue;
    io.out << doc.name() << FormatFrameTag(tag) << ": " << doc.FramePaintedStateText(i) << "\n";
  }
  return 0;
}

}  // namespace

const Command& AutopaintCommand() {
  static const Command kCommand{"autopaint", "paint a range of frames from their neighbours",
                                kUsage, RunAutopaint};
  return kCommand;
}

}  // namespace quenda::cli
