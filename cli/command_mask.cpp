// `quenda mask`: the background maker's mask and geometry commands on Targa backgrounds,
// applied in the order given, each result saved as a 32-bit Targa whose alpha is the mask.

#include <filesystem>
#include <map>
#include <optional>
#include <set>
#include <vector>

#include "cli/arguments.h"
#include "cli/commands.h"
#include "cli/file_info.h"
#include "common/path.h"
#include "common/scripted_prompt.h"
#include "panorama/core/panorama_doc.h"

namespace quenda::cli {
namespace {

constexpr std::string_view kUsage =
    "usage: quenda mask BACKGROUND.tga... --out OUT [OPERATION...]\n"
    "Reads 24- or 32-bit uncompressed Targa backgrounds (a 24-bit one is opaque everywhere),\n"
    "applies the operations in the order given and writes each as a 32-bit Targa whose alpha\n"
    "is the mask. With one background OUT is the file to write; with several it is an\n"
    "existing folder, and each result takes its background's file name there (two backgrounds\n"
    "of the same name are refused). A background that cannot be read or a result that cannot\n"
    "be written is reported and the others go on (exit 1).\n\n"
    "Operations:\n"
    "  --key R,G,B       the colour keyer with key colour R,G,B (0..255 each); these two\n"
    "                    belong to the --key before them:\n"
    "    --tolerance T   0..100 percent (default 40; 0 keys no pixel)\n"
    "    --mode M        add (default), subtract or replace\n"
    "  --grow N          N steps of Grow Mask (largest value of each 3 x 3 neighbourhood)\n"
    "  --shrink N        N steps of Shrink Mask (smallest value)\n"
    "  --smooth N        N steps of Smooth Mask\n"
    "  --invert          Invert Mask\n"
    "  --fill            Fill Mask to opaque (the program's question answered Yes)\n"
    "  --clear           Clear Mask to transparent (the program's question answered Yes)\n"
    "  --flip-h, --flip-v, --rotate-cw, --rotate-ccw\n"
    "                    flip or turn the picture and its mask\n";

int UsageError(CommandIo& io, const std::string& reason) {
  return ReportUsageError(io, "mask", reason, kUsage);
}

enum class Step { Key, Grow, Shrink, Smooth, Invert, Fill, Clear, FlipH, FlipV, TurnCw, TurnCcw };

struct Operation {
  Step step;
  int count = 1;
  KeyerSettings key;
  bool toleranceGiven = false;
  bool modeGiven = false;
};

std::optional<KeyerSettings> ParseKey(const std::string& text) {
  std::vector<int> parts;
  std::size_t start = 0;
  while (true) {
    const std::size_t comma = text.find(',', start);
    std::optional<int> value = ParseInt(text.substr(start, comma - start), 0, 255);
    if (!value) return std::nullopt;
    parts.push_back(*value);
    if (comma == std::string::npos) break;
    start = comma + 1;
  }
  if (parts.size() != 3) return std::nullopt;
  KeyerSettings key;
  key.red = uint8_t(parts[0]);
  key.green = uint8_t(parts[1]);
  key.blue = uint8_t(parts[2]);
  key.tolerance = kDefaultKeyerTolerance;
  return key;
}

struct Job {
  std::vector<std::string> backgrounds;
  std::string out;
  std::vector<Operation> operations;
};

// The reason the words do not make a job, or nothing.
std::optional<std::string> Parse(std::span<const std::string> args, Job& job) {
  static const std::map<std::string, Step> kFlags = {
      {"--invert", Step::Invert},     {"--fill", Step::Fill},    {"--clear", Step::Clear},
      {"--flip-h", Step::FlipH},      {"--flip-v", Step::FlipV}, {"--rotate-cw", Step::TurnCw},
      {"--rotate-ccw", Step::TurnCcw}};
  static const std::map<std::string, Step> kCounted = {
      {"--grow", Step::Grow}, {"--shrink", Step::Shrink}, {"--smooth", Step::Smooth}};
  static const std::map<std::string, KeyerOperation> kModes = {
      {"add", KeyerOperation::Add},
      {"subtract", KeyerOperation::Subtract},
      {"replace", KeyerOperation::Replace}};
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& word = args[i];
    if (!word.starts_with("--")) {
      job.backgrounds.push_back(word);
      continue;
    }
    if (auto flag = kFlags.find(word); flag != kFlags.end()) {
      job.operations.push_back(Operation{flag->second, 1, {}, false, false});
      continue;
    }
    if (i + 1 >= args.size()) return word + " needs a value";
    const std::string& value = args[++i];
    if (word == "--out") {
      if (!job.out.empty()) return "--out is given twice";
      job.out = value;
    } else if (auto counted = kCounted.find(word); counted != kCounted.end()) {
      std::optional<int> steps = ParseInt(value, 1, 10000);
      if (!steps) return word + " takes a step count of 1..10000";
      job.operations.push_back(Operation{counted->second, *steps, {}, false, false});
    } else if (word == "--key") {
      std::optional<KeyerSettings> key = ParseKey(value);
      if (!key) return "--key takes R,G,B with each of 0..255";
      job.operations.push_back(Operation{Step::Key, 1, *key, false, false});
    } else if (word == "--tolerance" || word == "--mode") {
      if (job.operations.empty() || job.operations.back().step != Step::Key)
        return word + " must follow a --key";
      Operation& key = job.operations.back();
      if (word == "--tolerance") {
        std::optional<int> tolerance = ParseInt(value, 0, 100);
        if (!tolerance || key.toleranceGiven) return "--tolerance takes one percentage of 0..100";
        key.key.tolerance = *tolerance;
        key.toleranceGiven = true;
      } else {
        auto mode = kModes.find(value);
        if (mode == kModes.end() || key.modeGiven)
          return "--mode takes one of add, subtract or replace";
        key.key.operation = mode->second;
        key.modeGiven = true;
      }
    } else {
      return "unknown option " + word;
    }
  }
  if (job.backgrounds.empty()) return "give at least one background";
  if (job.out.empty()) return "--out is needed";
  if (job.backgrounds.size() > 1) {
    if (!std::filesystem::is_directory(job.out))
      return "with several backgrounds --out must be an existing folder";
    std::set<std::string> names;
    for (const std::string& background : job.backgrounds)
      if (!names.insert(FileNameOf(background)).second)
        return "two backgrounds are named " + FileNameOf(background);
  }
  return std::nullopt;
}

void Apply(CPanoramaDoc& doc, ScriptedPrompt& prompt, const Operation& operation) {
  for (int i = 0; i < operation.count; ++i) switch (operation.step) {
      case Step::Key:
        doc.ApplyKeyer(operation.key);
        break;
      case Step::Grow:
        doc.GrowMask();
        break;
      case Step::Shrink:
        doc.ShrinkMask();
        break;
      case Step::Smooth:
        doc.SmoothMask();
        break;
      case Step::Invert:
        doc.InvertMask();
        break;
      case Step::Fill:
        prompt.QueueAnswer(true);
        (void)doc.FillMask();
        break;
      case Step::Clear:
        prompt.QueueAnswer(true);
        (void)doc.ClearMask();
        break;
      case Step::FlipH:
        doc.FlipHorizontal();
        break;
      case Step::FlipV:
        doc.FlipVertical();
        break;
      case Step::TurnCw:
        doc.RotateClockwise();
        break;
      case Step::TurnCcw:
        doc.RotateCounterClockwise();
        break;
    }
}

void PrintMessages(CommandIo& io, ScriptedPrompt& prompt, const std::string& file) {
  for (const ScriptedPrompt::Shown& shown : prompt.shown())
    if (shown.kind == ScriptedPrompt::Kind::Message)
      io.err << FileMessage("mask", file, shown.text) << "\n";
  prompt.Clear();
}

int RunMask(std::span<const std::string> args, CommandIo& io) {
  Job job;
  if (std::optional<std::string> reason = Parse(args, job)) return UsageError(io, *reason);
  int code = 0;
  for (const std::string& background : job.backgrounds) {
    ScriptedPrompt prompt;
    CPanoramaDoc doc(prompt);
    if (!doc.OpenFile(background)) {
      PrintMessages(io, prompt, background);
      if (std::string hint = CompressedTargaHint(background); !hint.empty())
        io.err << FileMessage("mask", background, hint) << "\n";
      code = 1;
      continue;
    }
    for (const Operation& operation : job.operations) Apply(doc, prompt, operation);
    const std::string out =
        job.backgrounds.size() > 1 ? JoinPath(job.out, FileNameOf(background)) : job.out;
    if (!doc.SaveAs(out)) {
      PrintMessages(io, prompt, out);
      code = 1;
      continue;
    }
    io.out << "wrote " << out << "  " << doc.width() << " x " << doc.height() << "\n";
  }
  return code;
}

}  // namespace

const Command& MaskCommand() {
  static const Command kCommand{"mask", "cut and refine the transparency mask of backgrounds",
                                kUsage, RunMask};
  return kCommand;
}

}  // namespace quenda::cli
