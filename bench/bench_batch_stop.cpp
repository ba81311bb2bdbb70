// How soon STOP ends the analyzer window's Batch Process, on drawings of A4 at 600 dpi: STOP is
// pressed at several points into the second frame, and the figure is the time from the press to
// the end of the job (the window's progress window gone). The run finishes the frame in hand
// before it asks, so the time is at most what is left of that frame. While the job runs, the
// longest pause of the window's event loop shows whether the interface stayed responsive.
//
//   bench_batch_stop [--width W --height H]
//
// The window runs offscreen; the questions are answered OK at once.

#include <QApplication>
#include <QElapsedTimer>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "analyzer/app/analyzer_frame.h"
#include "common/scripted_prompt.h"
#include "samples/sample_drawing.h"
#include "testing/test_support.h"
#include "ui/progress_window.h"
#include "ui/tests/modal_helper.h"

namespace quenda {
namespace {

using Clock = std::chrono::steady_clock;

double Ms(Clock::duration d) {
  return std::chrono::duration<double, std::milli>(d).count();
}

struct StopRun {
  double firstFrameMs = 0;  // frame 1 in the window's run, title to title
  double stopToEndMs = 0;
  double longestPauseMs = 0;
  int regionFiles = 0;
};

// One Batch Process from the window, STOP pressed `delayMs` after the second frame began.
StopRun RunWithStop(const testing::TempDir& dir, double delayMs) {
  ScriptedPrompt prompt;
  CAnalyzerFrame frame(&prompt);
  frame.resize(800, 600);
  frame.show();
  prompt.QueueAnswer(true);  // process with current settings
  prompt.QueueAnswer(true);  // stop finding regions
  prompt.QueuePath(dir.File("walk1.qds"));
  testing::WhenModal<BatchProcessDialog>([](BatchProcessDialog* dialog) {
    QTest::mouseClick(dialog->button(QStringLiteral("Select a Sequence")), Qt::LeftButton);
    QTest::mouseClick(dialog->button(QStringLiteral("PROCESS")), Qt::LeftButton);
  });
  Clock::time_point pressed{};
  double firstFrameMs = 0;
  testing::WhenModal<ProgressWindow>([&](ProgressWindow* progress) {
    QElapsedTimer waited;
    waited.start();
    auto waitFor = [&](const QString& end) {
      while (!frame.windowTitle().endsWith(end) && waited.elapsed() < 600000) QTest::qWait(1);
      return Clock::now();
    };
    const auto first = waitFor(QStringLiteral("walk1.qds"));
    firstFrameMs = Ms(waitFor(QStringLiteral("walk2.qds")) - first);
    QElapsedTimer into;
    into.start();
    while (double(into.nsecsElapsed()) / 1e6 < delayMs) QTest::qWait(1);
    pressed = Clock::now();
    QTest::mouseClick(progress->stopButton(), Qt::LeftButton);
  });
  // The event loop's beat while the job runs.
  Clock::time_point lastBeat = Clock::now();
  double longest = 0;
  QTimer beat;
  QObject::connect(&beat, &QTimer::timeout, [&] {
    const auto now = Clock::now();
    longest = std::max(longest, Ms(now - lastBeat));
    lastBeat = now;
  });
  beat.start(5);
  frame.Action("actionBatchProcess")->trigger();
  const auto ended = Clock::now();
  beat.stop();
  StopRun run;
  run.firstFrameMs = firstFrameMs;
  run.stopToEndMs = Ms(ended - pressed);
  run.longestPauseMs = longest;
  for (int n = 1; n <= 3; ++n)
    run.regionFiles += FrameExists(dir.File("walk" + std::to_string(n) + ".rgn"));
  return run;
}

}  // namespace
}  // namespace quenda

int main(int argc, char** argv) {
  using namespace quenda;
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  int width = 4960, height = 7016;  // A4 at 600 dpi
  for (int i = 1; i + 1 < argc; ++i) {
    if (std::strcmp(argv[i], "--width") == 0) width = std::atoi(argv[i + 1]);
    if (std::strcmp(argv[i], "--height") == 0) height = std::atoi(argv[i + 1]);
  }
  testing::TempDir dir;
  samples::SampleOptions options;
  options.width = width;
  options.height = height;
  options.dpi = 600;
  ScriptedPrompt quiet;
  if (!samples::WriteSampleSequence(dir.path(), "walk", 3, options, quiet)) return 1;

  // One frame alone, for the scale of the figures below.
  const DrawingSequence sequence = OpenSequence(dir.File("walk1.qds"), "walk1");
  NullProgress none;
  const auto started = Clock::now();
  (void)RunBatchProcess(sequence, {0, 0}, {}, quiet, none);
  const double frameMs = Ms(Clock::now() - started);
  std::printf("drawing %d x %d, one frame analysed in %.0f ms\n", width, height, frameMs);
  std::printf("%-22s %16s %16s %18s %14s\n", "STOP into frame 2", "frame 1 ms", "STOP to end ms",
              "longest pause ms", "region files");
  for (double fraction : {0.1, 0.5, 0.9}) {
    for (int n = 1; n <= 3; ++n) std::remove(dir.File("walk" + std::to_string(n) + ".rgn").c_str());
    const StopRun run = RunWithStop(dir, fraction * frameMs);
    std::printf("%3.0f %% (%6.0f ms)       %16.0f %16.0f %18.0f %14d\n", fraction * 100,
                fraction * frameMs, run.firstFrameMs, run.stopToEndMs, run.longestPauseMs,
                run.regionFiles);
  }
  return 0;
}
