#include "farm/core/batch_script.h"

#include <algorithm>

namespace quenda::farm {

std::string ShellQuote(std::string_view word) {
  const bool safe = !word.empty() && std::all_of(word.begin(), word.end(), [](char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
           std::string_view("-_./=:,+@%").find(c) != std::string_view::npos;
  });
  if (safe) return std::string(word);
  std::string quoted = "'";
  for (char c : word) {
    if (c == '\'')
      quoted += "'\\''";
    else
      quoted += c;
  }
  return quoted + "'";
}

std::string ArrayIndices(const ArrayJob& job) {
  if (job.tasks.empty())
    return job.chunks.size() == 1 ? "0" : "0-" + std::to_string(int(job.chunks.size()) - 1);
  std::string list;
  for (int task : job.tasks) list += (list.empty() ? "" : ",") + std::to_string(task);
  return list;
}

namespace {

std::string NumberList(const std::vector<FrameChunk>& chunks, int FrameChunk::*end) {
  std::string list;
  for (const FrameChunk& chunk : chunks)
    list += (list.empty() ? "" : " ") + std::to_string(chunk.*end);
  return list;
}

}  // namespace

std::string WriteBatchScript(const ArrayJob& job) {
  std::string s = "#!/bin/bash\n";
  const auto directive = [&s](std::string_view option, const std::string& value) {
    s += "#SBATCH " + std::string(option) + "=" + ShellQuote(value) + "\n";
  };
  directive("--job-name", job.name);
  directive("--array", ArrayIndices(job));
  directive("--ntasks", "1");
  directive("--cpus-per-task", std::to_string(job.resources.cpus));
  if (job.resources.partition) directive("--partition", *job.resources.partition);
  if (job.resources.time) directive("--time", *job.resources.time);
  if (job.resources.mem) directive("--mem", *job.resources.mem);
  if (job.after) directive("--dependency", "afterok:" + *job.after);
  // %A is the array's job id, %a the task.
  directive("--output", job.logFolder + job.name + "-%A_%a.out");
  s += "set -eu\n";
  s += "# The frames of each task, by task number.\n";
  s += "firsts=(" + NumberList(job.chunks, &FrameChunk::first) + ")\n";
  s += "lasts=(" + NumberList(job.chunks, &FrameChunk::last) + ")\n";
  s += "chunk=\"${firsts[$SLURM_ARRAY_TASK_ID]}-${lasts[$SLURM_ARRAY_TASK_ID]}\"\n";
  s += "exec";
  for (const std::string& word : job.command) s += " " + ShellQuote(word);
  s += " " + job.chunkOption + " \"$chunk\" --jobs " + std::to_string(job.resources.cpus) + "\n";
  return s;
}

}  // namespace quenda::farm
