#pragma once
// After a farm job: which of the files the job should have written are missing or unreadable.

#include <functional>
#include <string>
#include <vector>

#include "common/result.h"

namespace quenda::farm {

struct ExpectedOutput {
  int frame = 0;      // the number its chunk is cut by
  std::string label;  // how the frame is named to the user ("7", "3a")
  std::string path;
};

struct OutputFault {
  ExpectedOutput output;
  std::string reason;  // "missing", or the reader's message
};

// Reads a file that exists the way its next user would; Ok when it is whole.
using OutputReader = std::function<Status(const ExpectedOutput&)>;

// The outputs that do not exist or that `read` refuses, in the order given.
std::vector<OutputFault> FindFaultyOutputs(const std::vector<ExpectedOutput>& expected,
                                           const OutputReader& read);

// Their frames, ascending without repeats.
std::vector<int> FaultyFrames(const std::vector<OutputFault>& faults);

// "frame 7: /shot/walk0007.tga: missing".
std::string DescribeFault(const OutputFault& fault);

}  // namespace quenda::farm
