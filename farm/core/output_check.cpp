#include "farm/core/output_check.h"

#include <algorithm>
#include <filesystem>

namespace quenda::farm {

std::vector<OutputFault> FindFaultyOutputs(const std::vector<ExpectedOutput>& expected,
                                           const OutputReader& read) {
  std::vector<OutputFault> faults;
  for (const ExpectedOutput& output : expected) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(output.path, ec)) {
      faults.push_back({output, "missing"});
      continue;
    }
    if (Status readable = read(output); !readable) faults.push_back({output, readable.message()});
  }
  return faults;
}

std::vector<int> FaultyFrames(const std::vector<OutputFault>& faults) {
  std::vector<int> frames;
  for (const OutputFault& fault : faults) frames.push_back(fault.output.frame);
  std::sort(frames.begin(), frames.end());
  frames.erase(std::unique(frames.begin(), frames.end()), frames.end());
  return frames;
}

std::string DescribeFault(const OutputFault& fault) {
  return "frame " + fault.output.label + ": " + fault.output.path + ": " + fault.reason;
}

}  // namespace quenda::farm
