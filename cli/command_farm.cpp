// `quenda farm`: analyze, render and compose spread over a Slurm cluster as job arrays, a shot's
// chain of them, and the check of what a job left behind.

#include <algorithm>
#include <filesystem>
#include <set>
#include <tuple>

#include "cli/arguments.h"
#include "cli/commands.h"
#include "cli/farm_job.h"
#include "farm/core/batch_script.h"
#include "farm/core/slurm_jobs.h"

namespace quenda::cli {
namespace {

constexpr std::string_view kUsage =
    "usage: quenda farm analyze FRAME.qds [analyze options] [farm options]\n"
    "       quenda farm render SHEET.dgr --out DIR --name NAME [render options] [farm options]\n"
    "       quenda farm compose MOVIE.cmp --out DIR --name NAME [compose options]\n"
    "                           [farm options]\n"
    "       quenda farm shot [farm options] analyze ... render ... compose ...\n"
    "       quenda farm check analyze|render|compose ARGS... [--resubmit] [farm options]\n"
    "Submits a frame job to Slurm as a job array, one task per chunk of frames, and prints the\n"
    "job's id. Each task runs the plain command (see 'quenda COMMAND --help') on its chunk:\n"
    "render and compose tasks take the whole job's --frames and their own --write, so the\n"
    "files are those of one whole run; analyze tasks take their own --frames, and --yes\n"
    "unless --settings is given. Every node must see the files at the same absolute paths.\n\n"
    "  --chunk N      frames per task (default 10)\n"
    "  --cpus N       CPUs per task, given to the command as --jobs (default 1); the\n"
    "                 command's own --threads N, when given, goes to every task with it\n"
    "  --partition P  the partition (default: the cluster's)\n"
    "  --time T       each task's time limit, as sbatch takes it (30, 2:00:00)\n"
    "  --mem M        each task's memory, as sbatch takes it (2G)\n"
    "  --after JOBID  start once that job has succeeded\n"
    "  --dry-run      print the sbatch script instead of submitting it\n"
    "  --wait         wait until the job has ended, then check its files as 'farm check'\n"
    "  --resubmit     (check) submit again the chunks whose files are missing or unreadable\n"
    "Each task's output, quenda-COMMAND-JOB_TASK.out beside the files it writes, holds a line\n"
    "per frame; a frame that fails fails its task. 'farm check' takes the arguments of the\n"
    "job, names each frame whose file is missing or unreadable and then exits 1.\n"
    "'farm shot' submits each section (analyze FRAME.qds ..., render SHEET.dgr ...,\n"
    "compose MOVIE.cmp ...) to start once the one before it has succeeded; farm options\n"
    "before the first section are for every job, those within a section for that job.\n";

constexpr int kDefaultChunk = 10;
const std::set<std::string> kFarmValued{"--chunk", "--cpus", "--partition",
                                        "--time",  "--mem",  "--after"};
const std::set<std::string> kFarmFlags{"--dry-run", "--wait", "--resubmit"};

int UsageError(CommandIo& io, const std::string& reason) {
  return ReportUsageError(io, "farm", reason, kUsage);
}

// The farm's own options, taken out of a command's words.
struct FarmOptions {
  std::vector<std::string> given;  // as typed, to hand on
  std::vector<std::string> rest;   // the plain command's words
};

FarmOptions SplitFarmOptions(std::span<const std::string> args) {
  FarmOptions split;
  for (std::size_t i = 0; i < args.size(); ++i) {
    auto& to = kFarmValued.count(args[i]) || kFarmFlags.count(args[i]) ? split.given : split.rest;
    to.push_back(args[i]);
    if (kFarmValued.count(args[i]) && i + 1 < args.size()) to.push_back(args[++i]);
  }
  return split;
}

// A planned job with the cluster's side of it.
struct Submission {
  FarmJob job;
  farm::ArrayJob array;
  bool dryRun = false;
  bool wait = false;
  bool resubmit = false;
};

std::optional<Submission> Prepare(std::string_view command, std::span<const std::string> args,
                                  CommandIo& io, int& code) {
  const FarmOptions split = SplitFarmOptions(args);
  Arguments farm(split.given, kFarmValued, kFarmFlags);
  if (!farm.error().empty()) {
    code = UsageError(io, farm.error());
    return std::nullopt;
  }
  farm::TaskResources resources;
  resources.partition = farm.Value("--partition");
  resources.time = farm.Value("--time");
  resources.mem = farm.Value("--mem");
  int chunk = kDefaultChunk;
  for (auto [option, into, max] :
       {std::tuple{"--chunk", &chunk, 100000}, std::tuple{"--cpus", &resources.cpus, 256}}) {
    if (auto text = farm.Value(option)) {
      auto number = ParseInt(*text, 1, max);
      if (!number) {
        code = UsageError(
            io, std::string(option) + " must be a whole number from 1 to " + std::to_string(max));
        return std::nullopt;
      }
      *into = *number;
    }
  }
  auto after = farm.Value("--after");
  if (after && (after->empty() || after->find_first_not_of("0123456789") != std::string::npos)) {
    code = UsageError(io, "--after must be a job id");
    return std::nullopt;
  }
  std::optional<FarmJob> job = PlanFarmJob(command, split.rest, io, kUsage, code);
  if (!job) return std::nullopt;
  Submission s{*job, {}, farm.Has("--dry-run"), farm.Has("--wait"), farm.Has("--resubmit")};
  s.array.name = "quenda-" + job->command;
  s.array.command = job->words;
  s.array.chunkOption = job->chunkOption;
  s.array.chunks = farm::SplitIntoChunks(job->frames, chunk);
  s.array.resources = resources;
  s.array.after = after;
  s.array.logFolder = job->logFolder;
  return s;
}

// Submits, or with --dry-run prints, the script; the job id, or nothing after saying why.
std::optional<std::string> Submit(const Submission& s, farm::ProcessRunner& runner, CommandIo& io) {
  const std::string script = farm::WriteBatchScript(s.array);
  if (s.dryRun) {
    io.out << script;
    return std::string();
  }
  // Slurm fails a task whose output file it cannot open, and the plain command would make
  // the folder only once the task runs.
  std::error_code ignored;  // a folder that cannot be made shows in the task's failure
  std::filesystem::create_directories(s.array.logFolder, ignored);
  Result<std::string> id = farm::SubmitScript(runner, script);
  if (!id) {
    ReportFileError(io, "farm", {}, id.message());
    return std::nullopt;
  }
  io.out << *id << "\n";
  io.out.flush();
  const std::size_t tasks = s.array.tasks.empty() ? s.array.chunks.size() : s.array.tasks.size();
  io.err << "quenda farm: job " << *id << ": " << s.job.command << " in " << tasks
         << (tasks == 1 ? " task" : " tasks") << " (array " << farm::ArrayIndices(s.array)
         << "), output in " << s.array.logFolder << "\n";
  return *id;
}

// Names every missing or unreadable file of the job; true when there is none.
bool CheckOutputs(const Submission& s, CommandIo& io, std::vector<int>* faultyFrames = nullptr) {
  const auto faults = farm::FindFaultyOutputs(s.job.outputs, s.job.read);
  for (const farm::OutputFault& fault : faults) io.out << farm::DescribeFault(fault) << "\n";
  if (faultyFrames) *faultyFrames = farm::FaultyFrames(faults);
  if (faults.empty()) {
    io.err << "quenda farm: " << s.job.command << ": all " << s.job.outputs.size()
           << " files of the job are in place\n";
    return true;
  }
  io.err << "quenda farm: " << s.job.command << ": " << faults.size() << " of "
         << s.job.outputs.size() << " files are missing or unreadable\n";
  return false;
}

// After submitting `id`: waits for it and checks the job when --wait asks to.
int Finish(const Submission& s, const std::string& id, farm::ProcessRunner& runner, CommandIo& io) {
  if (!s.wait || s.dryRun) return 0;
  if (Status waited = farm::WaitForJob(runner, id); !waited)
    return ReportFileError(io, "farm", {}, waited.message());
  return CheckOutputs(s, io) ? 0 : 1;
}

int RunJob(std::string_view command, std::span<const std::string> args, CommandIo& io) {
  int code = 0;
  std::optional<Submission> s = Prepare(command, args, io, code);
  if (!s) return code;
  if (s->resubmit) return UsageError(io, "--resubmit belongs to 'farm check'");
  farm::SystemProcessRunner runner;
  std::optional<std::string> id = Submit(*s, runner, io);
  if (!id) return 1;
  return Finish(*s, *id, runner, io);
}

int RunCheck(std::span<const std::string> args, CommandIo& io) {
  if (args.empty()) return UsageError(io, "name the job to check: analyze, render or compose");
  int code = 0;
  std::optional<Submission> s = Prepare(args[0], args.subspan(1), io, code);
  if (!s) return code;
  std::vector<int> frames;
  if (CheckOutputs(*s, io, &frames)) return 0;
  if (!s->resubmit) return 1;
  s->array.tasks = farm::ChunksHolding(s->array.chunks, frames);
  farm::SystemProcessRunner runner;
  std::optional<std::string> id = Submit(*s, runner, io);
  if (!id) return 1;
  return s->wait && !s->dryRun ? Finish(*s, *id, runner, io) : 1;
}

bool IsJobCommand(const std::string& word) {
  return word == "analyze" || word == "render" || word == "compose";
}

int RunShot(std::span<const std::string> args, CommandIo& io) {
  std::size_t at = 0;
  while (at < args.size() && !IsJobCommand(args[at])) ++at;
  const std::vector<std::string> shared(args.begin(), args.begin() + std::ptrdiff_t(at));
  std::vector<Submission> jobs;
  while (at < args.size()) {
    const std::string command = args[at++];
    std::vector<std::string> words = shared;
    while (at < args.size() && !IsJobCommand(args[at])) words.push_back(args[at++]);
    int code = 0;
    std::optional<Submission> s = Prepare(command, words, io, code);
    if (!s) return code;
    jobs.push_back(std::move(*s));
  }
  if (jobs.empty()) return UsageError(io, "give the shot's jobs: analyze, render, compose");
  // Waiting and printing are for the whole chain, wherever they were typed.
  const bool wait = std::any_of(jobs.begin(), jobs.end(), [](auto& s) { return s.wait; });
  const bool dryRun = std::any_of(jobs.begin(), jobs.end(), [](auto& s) { return s.dryRun; });
  for (Submission& s : jobs) {
    s.wait = wait;
    s.dryRun = dryRun;
  }
  farm::SystemProcessRunner runner;
  std::vector<std::string> ids;
  for (std::size_t i = 0; i < jobs.size(); ++i) {
    Submission& s = jobs[i];
    if (i > 0) s.array.after = s.dryRun ? "PREVIOUS" : ids.back();
    if (s.dryRun && i > 0) io.out << "# then, with the id of the job above for PREVIOUS:\n";
    std::optional<std::string> id = Submit(s, runner, io);
    if (!id) return 1;
    ids.push_back(*id);
  }
  int worst = 0;
  for (std::size_t i = 0; i < jobs.size(); ++i)
    worst = std::max(worst, Finish(jobs[i], ids[i], runner, io));
  return worst;
}

int RunFarm(std::span<const std::string> args, CommandIo& io) {
  if (args.empty())
    return UsageError(io, "name what to do: analyze, render, compose, shot or check");
  const std::string& what = args[0];
  if (what == "check") return RunCheck(args.subspan(1), io);
  if (what == "shot") return RunShot(args.subspan(1), io);
  if (IsJobCommand(what)) return RunJob(what, args.subspan(1), io);
  return UsageError(io, "unknown farm command '" + what + "'");
}

}  // namespace

const Command& FarmCommand() {
  static const Command kCommand{"farm", "run analyze, render or compose on a Slurm cluster", kUsage,
                                RunFarm};
  return kCommand;
}

}  // namespace quenda::cli
