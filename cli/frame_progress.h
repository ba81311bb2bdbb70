#pragma once
// How far a frame job is, on standard error: on a terminal one line redrawn in place (frames
// done of all, frames per second, time left); in a log one line per frame (its number, file,
// size and time), so a farm's output shows where the job is. STOP is Ctrl-C (InterruptStop).

#include <chrono>
#include <optional>
#include <string>
#include <string_view>

#include "cli/arguments.h"
#include "cli/command.h"
#include "cli/interrupt_stop.h"
#include "common/progress.h"

namespace quenda::cli {

class FrameProgress final : public Progress {
 public:
  // `stages`, when given, hears the job's stage texts (autopaint prints them).
  FrameProgress(CommandIo& io, InterruptStop& stop, Progress* stages = nullptr);
  ~FrameProgress() override { Finish(); }
  FrameProgress(const FrameProgress&) = delete;
  FrameProgress& operator=(const FrameProgress&) = delete;

  void SetStage(std::string_view text) override;
  void SetPercent(int) override {}
  bool StopRequested() override;
  void FramesPlanned(int count) override;
  void FrameCommitted(int frameNumber, std::string_view file) override;

  // Ends the redrawn line, so what follows starts a line of its own.
  void Finish();
  // The last frame in place; nothing before the first.
  std::optional<int> lastFrame() const { return last_; }

 private:
  using Clock = std::chrono::steady_clock;
  void DrawBar();

  CommandIo& io_;
  InterruptStop& stop_;
  Progress* stages_;
  int total_ = 0;
  int done_ = 0;
  bool barShown_ = false;
  std::optional<int> last_;
  Clock::time_point started_ = Clock::now();
  Clock::time_point previous_ = started_;
};

// --jobs N (1..256) into `jobs`, DefaultJobCount() without it; false when N is no such number.
bool ReadJobs(const std::optional<std::string>& text, int& jobs);
inline constexpr std::string_view kJobsError = "--jobs must be a whole number from 1 to 256";
// --threads N (1..256), the threads inside each frame, into InnerThreads; without it each of
// `jobs` frames made at once gets InnerThreadsForJobs(jobs), so the two never oversubscribe the
// cores. False (InnerThreads left as it was) when N is no such number.
bool ReadThreads(const std::optional<std::string>& text, int jobs);
inline constexpr std::string_view kThreadsError = "--threads must be a whole number from 1 to 256";
// Once the frames to make are known: without --threads (`text` empty), fewer frames than `jobs`
// leave jobs with nothing to do, so each frame gets the cores divided among min(jobs, frames)
// instead (a single frame gets them all). A --threads N that was given stands.
void FitThreadsToFrames(const std::optional<std::string>& text, int jobs, int frames);

// After Ctrl-C, what is left of frames first..last (every `step`th): "quenda COMMAND:
// interrupted after frame N; resume with OPTION A-B" for files, or for a movie (no option)
// "...; frames A-B are not in the movie"; "...; every frame is done" when nothing is left.
void ReportInterrupt(CommandIo& io, std::string_view command, const FrameProgress& progress,
                     int first, int last, std::string_view option, int step = 1);

// Clock time as the bar shows it: "0:07", "12:30", "1:02:03".
std::string FormatDuration(double seconds);

}  // namespace quenda::cli
