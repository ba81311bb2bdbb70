// `quenda scan`: scans drawings from a SANE scanner into a new sequence, asking nothing.

#include <cstdlib>
#include <filesystem>

#include "cli/arguments.h"
#include "cli/commands.h"
#include "cli/console_prompt.h"
#include "cli/interrupt_stop.h"
#include "common/path.h"
#include "scanner/core/scanner_doc.h"
#include "twain/sane_device.h"

namespace quenda::cli {
namespace {

constexpr std::string_view kUsage =
    "usage: quenda scan DIR --name NAME --frames N [--device NAME] [--dpi D] [--peg P]\n"
    "                   [--area X,Y,W,H] [--brightness B --contrast C]\n"
    "Scans N drawings one after the other into the new sequence NAME in DIR (NAME1.qds ..),\n"
    "each turned by the peg position and calibrated, one line per file written. Ctrl-C ends\n"
    "the run after the frames already written, which stay.\n\n"
    "  --name NAME        the sequence name, letters only; DIR must not hold it already\n"
    "  --frames N         number of drawings, 1..3000\n"
    "  --device NAME      the SANE device (as `scanimage -L` names it); default the first listed\n"
    "  --dpi D            resolution, 1..1200 (default 150)\n"
    "  --peg P            peg position 0 left, 1 right, 2 bottom, 3 top (default 2)\n"
    "  --area X,Y,W,H     the scan area on the bed in millimetres from its top-left corner\n"
    "                     (default the whole bed)\n"
    "  --brightness B     calibration, each -255..255 (default 0)\n"
    "  --contrast C\n";

constexpr double kMmPerInch = 25.4;

int UsageError(CommandIo& io, const std::string& reason) {
  return ReportUsageError(io, "scan", reason, kUsage);
}

std::optional<std::vector<double>> ParseArea(const std::string& text) {
  std::vector<double> values;
  std::size_t start = 0;
  for (;;) {
    std::size_t comma = text.find(',', start);
    std::string part = text.substr(start, comma == std::string::npos ? comma : comma - start);
    char* end = nullptr;
    double value = std::strtod(part.c_str(), &end);
    if (part.empty() || *end != '\0' || !(value >= 0) || value > 10000) return std::nullopt;
    values.push_back(value);
    if (comma == std::string::npos) break;
    start = comma + 1;
  }
  if (values.size() != 4 || values[2] <= 0 || values[3] <= 0) return std::nullopt;
  return values;
}

// The scanner window's dialogs are never shown here: the run numbers frames itself.
class NoDialogs final : public scanner::ScannerDialogs {
 public:
  std::optional<FrameTag> AskNewFrameNumber(const FrameTag&) override { return std::nullopt; }
  std::optional<FrameTag> AskChangeFrameNumber(const FrameTag&) override { return std::nullopt; }
};

int RunScan(std::span<const std::string> args, CommandIo& io) {
  Arguments parsed(
      args,
      {"--name", "--frames", "--device", "--dpi", "--peg", "--area", "--brightness", "--contrast"},
      {});
  if (!parsed.error().empty()) return UsageError(io, parsed.error());
  if (parsed.positional().size() != 1) return UsageError(io, "give exactly one folder");
  auto name = parsed.Value("--name");
  if (!name) return UsageError(io, "--name is required");
  auto framesText = parsed.Value("--frames");
  if (!framesText) return UsageError(io, "--frames is required");
  auto frames = ParseInt(*framesText, 1, kPainterSequenceCapacity);
  if (!frames) return UsageError(io, "--frames must be a whole number from 1 to 3000");
  int dpi = 150;
  if (auto text = parsed.Value("--dpi")) {
    auto value = ParseInt(*text, 1, 1200);
    if (!value) return UsageError(io, "--dpi must be a whole number from 1 to 1200");
    dpi = *value;
  }
  int peg = kPegBottom;
  if (auto text = parsed.Value("--peg")) {
    auto value = ParseInt(*text, kPegLeft, kPegTop);
    if (!value) return UsageError(io, "--peg must be 0, 1, 2 or 3");
    peg = *value;
  }
  twain::BedFrame area{0, 0, -1.0, -1.0};
  if (auto text = parsed.Value("--area")) {
    auto values = ParseArea(*text);
    if (!values)
      return UsageError(io, "--area must be X,Y,W,H in millimetres, W and H more than 0");
    const std::vector<double>& v = *values;
    area = {v[0] / kMmPerInch, v[1] / kMmPerInch, (v[0] + v[2]) / kMmPerInch,
            (v[1] + v[3]) / kMmPerInch};
  }
  scanner::Calibration calibration;
  for (auto [option, target] : {std::pair{"--brightness", &calibration.brightness},
                                std::pair{"--contrast", &calibration.contrast}}) {
    if (auto text = parsed.Value(option)) {
      auto value = ParseInt(*text, -scanner::kCalibrationLimit, scanner::kCalibrationLimit);
      if (!value) return UsageError(io, std::string(option) + " must be from -255 to 255");
      *target = *value;
    }
  }

  std::string directory = parsed.positional()[0];
  if (!directory.empty() && !IsPathSeparator(directory.back())) directory += '/';
  scanner::NewSequenceForm form{*name, directory, PegButtonOfPosition(peg), dpi};
  // The form's checks are of the options' values, but for a folder that is not there.
  if (Status checked = scanner::CheckNewSequenceForm(form); !checked) {
    std::error_code ec;
    if (std::filesystem::is_directory(directory, ec)) return UsageError(io, checked.message());
    return ReportFileError(io, "scan", directory, checked.message());
  }

  ConsolePrompt console(io, false);
  console.Name("scan", directory);
  InterruptStop stop(console);
  Prompt& prompt = stop.prompt();
  NoDialogs dialogs;
  MemoryProfile profile;  // the window's settings file is left alone
  scanner::CScannerDoc doc(prompt, dialogs, profile);
  twain::SaneDeviceManager sane;
  scanner::ScannerSession session(sane, prompt, doc);
  doc.AttachSession(&session);
  doc.SetProgress(&stop);

  // Say which scanners there are before anything is written.
  if (!session.OpenSourceManager() || session.sources().empty()) {
    io.err << "quenda scan: no scanner found (`scanimage -L` lists what SANE sees)\n";
    return 1;
  }
  if (auto device = parsed.Value("--device")) {
    bool known = false;
    for (const twain::DeviceInfo& source : session.sources()) known |= source.name == *device;
    if (!known) {
      io.err << "quenda scan: no scanner " << *device << "; SANE lists:";
      for (const twain::DeviceInfo& source : session.sources()) io.err << " " << source.name;
      io.err << "\n";
      return 1;
    }
    session.SetDefaultSource(*device);
  }
  if (!doc.SetCalibration(calibration)) return UsageError(io, "calibration out of range");
  if (!doc.NewSequence(directory, *name, peg, dpi, scanner::AfterNewSequence::NoPreview)) return 1;
  const int written = doc.ScanFrames(
      area, *frames, [&](const std::string& path) { io.out << "wrote " << path << "\n"; });
  if (written == *frames) return 0;
  ReportFileError(io, "scan", directory,
                  std::to_string(written) + " of " + std::to_string(*frames) + " frames written");
  return stop.ExitCode(1);
}

}  // namespace

const Command& ScanCommand() {
  static const Command kCommand{"scan", "scan drawings from a scanner into a new sequence", kUsage,
                                RunScan};
  return kCommand;
}

}  // namespace quenda::cli
