// `quenda tone`: writes a short 8-bit mono wave file, a sound track for trying the sheet.

#include <cmath>
#include <numbers>

#include "cli/arguments.h"
#include "cli/commands.h"
#include "common/atomic_file.h"
#include "common/wave_file.h"

namespace quenda::cli {
namespace {

constexpr std::string_view kUsage =
    "usage: quenda tone OUT.wav [--seconds S] [--rate R] [--hz F]\n"
    "Writes an 8-bit mono PCM wave file: a tone that beats twice a second, so that its\n"
    "rhythm shows in the sheet's sound column and is heard in a flipbook.\n\n"
    "  --seconds S   length, 1..600 (default 4)\n"
    "  --rate R      samples per second, 4000..48000 (default 22050)\n"
    "  --hz F        pitch, 20..4000 (default 440)\n";

int UsageError(CommandIo& io, const std::string& reason) {
  return ReportUsageError(io, "tone", reason, kUsage);
}

int RunTone(std::span<const std::string> args, CommandIo& io) {
  Arguments parsed(args, {"--seconds", "--rate", "--hz"}, {});
  if (!parsed.error().empty()) return UsageError(io, parsed.error());
  if (parsed.positional().size() != 1) return UsageError(io, "give exactly one file");
  auto seconds = ParseInt(parsed.Value("--seconds").value_or("4"), 1, 600);
  if (!seconds) return UsageError(io, "--seconds must be a whole number from 1 to 600");
  auto rate = ParseInt(parsed.Value("--rate").value_or("22050"), 4000, 48000);
  if (!rate) return UsageError(io, "--rate must be a whole number from 4000 to 48000");
  auto hz = ParseInt(parsed.Value("--hz").value_or("440"), 20, 4000);
  if (!hz) return UsageError(io, "--hz must be a whole number from 20 to 4000");

  WaveFormat format;
  format.samplesPerSecond = format.averageBytesPerSecond = uint32_t(*rate);
  std::vector<uint8_t> samples(std::size_t(*seconds) * std::size_t(*rate));
  for (std::size_t i = 0; i < samples.size(); ++i) {
    double t = double(i) / *rate;
    double beat = 0.5 + 0.5 * std::cos(2 * std::numbers::pi * 2 * t);
    samples[i] = uint8_t(std::lround(128 + 100 * beat * std::sin(2 * std::numbers::pi * *hz * t)));
  }
  const std::string& path = parsed.positional()[0];
  if (Status written = WriteFileAtomically(path, EncodeWaveFile(format, samples),
                                           WriteMessages("Could not write " + path));
      !written) {
    return ReportFileError(io, "tone", path, written.message());
  }
  io.out << "wrote " << path << ": " << samples.size() << " samples at " << *rate << " Hz\n";
  return 0;
}

}  // namespace

const Command& ToneCommand() {
  static const Command kCommand{"tone", "write a short 8-bit mono wave file", kUsage, RunTone};
  return kCommand;
}

}  // namespace quenda::cli
