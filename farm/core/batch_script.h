#pragma once
// The sbatch script of a farm job: a job array whose task i runs the plain command on chunk i.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "farm/core/frame_chunks.h"

namespace quenda::farm {

// What every task asks of the cluster.
struct TaskResources {
  std::optional<std::string> partition;
  std::optional<std::string> time;  // as sbatch takes it: "30", "1:00:00", "1-0"
  std::optional<std::string> mem;   // per node: "2G"
  int cpus = 1;                     // also the plain command's --jobs
};

struct ArrayJob {
  std::string name;                  // the job's name in squeue
  std::vector<std::string> command;  // the tool and its words, without the chunk's range
  std::string chunkOption;           // given the chunk as "A-B": "--write" or "--frames"
  std::vector<FrameChunk> chunks;
  std::vector<int> tasks;  // the chunks this submission runs; empty for all
  TaskResources resources;
  std::optional<std::string> after;  // a job that must succeed first
  std::string logFolder;             // where each task's output goes; ends with '/'
};

// `word` as one shell word: bare when it holds only safe characters, else in single quotes.
std::string ShellQuote(std::string_view word);

// "0-3" for all of four chunks, "1,4" for some: sbatch's --array.
std::string ArrayIndices(const ArrayJob& job);

// The whole script, ready for `sbatch --parsable` on standard input. Each task ends as the
// plain command ends, so a failed frame fails the task; its output (the per-frame lines) goes
// to logFolder + name-JOB_TASK.out.
std::string WriteBatchScript(const ArrayJob& job);

}  // namespace quenda::farm
