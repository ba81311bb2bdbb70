#pragma once
// What `quenda farm` needs to know of the plain command it spreads over a cluster: the words
// each task runs, the job's frames, and the files the job should leave behind.

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "cli/command.h"
#include "common/picture_format.h"
#include "farm/core/output_check.h"

namespace quenda::cli {

struct FarmJob {
  std::string command;             // "analyze", "render" or "compose"
  std::vector<std::string> words;  // the tool, the command and its options, paths absolute
  std::string chunkOption;         // how a task is given its chunk
  std::vector<int> frames;         // the job's frames, ascending
  std::string logFolder;           // beside the outputs, so every node can write there
  std::vector<farm::ExpectedOutput> outputs;
  farm::OutputReader read;
  PictureFormat format = PictureFormat::Targa;  // of render's and compose's frame files
};

// The job of `quenda COMMAND ARGS...` (the farm's own options taken out), checked as the plain
// command would check it. Nothing when the words are wrong or the document does not read: the
// reason is printed (usage errors with `usage`) and `code` holds the exit code.
std::optional<FarmJob> PlanFarmJob(std::string_view command, std::span<const std::string> args,
                                   CommandIo& io, std::string_view usage, int& code);

}  // namespace quenda::cli
