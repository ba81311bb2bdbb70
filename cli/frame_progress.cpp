#include "cli/frame_progress.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>

#include "common/frame_runner.h"
#include "common/thread_pool.h"

namespace quenda::cli {

std::string FormatDuration(double seconds) {
  long long whole = std::llround(std::max(seconds, 0.0));
  char text[32];
  if (whole >= 3600)
    std::snprintf(text, sizeof text, "%lld:%02lld:%02lld", whole / 3600, whole / 60 % 60,
                  whole % 60);
  else
    std::snprintf(text, sizeof text, "%lld:%02lld", whole / 60, whole % 60);
  return text;
}

bool ReadJobs(const std::optional<std::string>& text, int& jobs) {
  if (!text) {
    jobs = DefaultJobCount();
    return true;
  }
  std::optional<int> given = ParseInt(*text, 1, 256);
  if (given) jobs = *given;
  return given.has_value();
}

bool ReadThreads(const std::optional<std::string>& text, int jobs) {
  if (!text) {
    SetInnerThreads(InnerThreadsForJobs(jobs));
    return true;
  }
  std::optional<int> given = ParseInt(*text, 1, 256);
  if (given) SetInnerThreads(*given);
  return given.has_value();
}

void FitThreadsToFrames(const std::optional<std::string>& text, int jobs, int frames) {
  if (text) return;
  SetInnerThreads(InnerThreadsForJobs(std::clamp(frames, 1, std::max(jobs, 1))));
}

void ReportInterrupt(CommandIo& io, std::string_view command, const FrameProgress& progress,
                     int first, int last, std::string_view option, int step) {
  const int next = progress.lastFrame() ? *progress.lastFrame() + step : first;
  io.err << "quenda " << command << ": interrupted";
  if (progress.lastFrame()) io.err << " after frame " << *progress.lastFrame();
  if (next > last)
    io.err << "; every frame is done\n";
  else if (option.empty())
    io.err << "; frames " << next << "-" << last << " are not in the movie\n";
  else
    io.err << "; resume with " << option << " " << next << "-" << last << "\n";
}

FrameProgress::FrameProgress(CommandIo& io, InterruptStop& stop, Progress* stages)
    : io_(io), stop_(stop), stages_(stages) {}

void FrameProgress::SetStage(std::string_view text) {
  if (!stages_) return;
  Finish();  // a stage printed on the terminal would be overdrawn by the bar
  stages_->SetStage(text);
}

bool FrameProgress::StopRequested() {
  if (!stop_.StopRequested()) return false;
  Finish();  // the stop question and its answer get lines of their own
  return true;
}

void FrameProgress::FramesPlanned(int count) {
  total_ = count;
  done_ = 0;
  started_ = previous_ = Clock::now();
  if (io_.progress == ProgressForm::Bar) DrawBar();
}

void FrameProgress::FrameCommitted(int frameNumber, std::string_view file) {
  const Clock::time_point now = Clock::now();
  ++done_;
  last_ = frameNumber;
  if (io_.progress == ProgressForm::Lines) {
    std::error_code unknown;
    const auto bytes = std::filesystem::file_size(std::filesystem::path(file), unknown);
    char seconds[32];
    std::snprintf(seconds, sizeof seconds, "%.2f s",
                  std::chrono::duration<double>(now - previous_).count());
    // A frame that went into a movie has no file of its own.
    io_.err << "frame " << frameNumber << "  ";
    if (!file.empty())
      io_.err << file << "  " << (unknown ? 0 : (unsigned long long)bytes) << " bytes  ";
    io_.err << seconds << "\n";
    io_.err.flush();
  } else if (io_.progress == ProgressForm::Bar) {
    DrawBar();
  }
  previous_ = now;
}

void FrameProgress::DrawBar() {
  constexpr int kWidth = 24;
  const double elapsed = std::chrono::duration<double>(Clock::now() - started_).count();
  const int filled = total_ > 0 ? done_ * kWidth / total_ : 0;
  char line[160];
  int at = std::snprintf(line, sizeof line, "\r[%s%s] %d/%d frames",
                         std::string(std::size_t(filled), '#').c_str(),
                         std::string(std::size_t(kWidth - filled), '.').c_str(), done_, total_);
  if (done_ > 0 && elapsed > 0) {
    const double rate = done_ / elapsed;
    std::snprintf(line + at, sizeof line - std::size_t(at), "  %.1f frames/s  %s left", rate,
                  FormatDuration((total_ - done_) / rate).c_str());
  }
  // Clears what a longer line before left to the right.
  io_.err << line << "\x1b[K";
  io_.err.flush();
  barShown_ = true;
}

void FrameProgress::Finish() {
  if (!barShown_) return;
  io_.err << "\n";
  io_.err.flush();
  barShown_ = false;
}

}  // namespace quenda::cli
