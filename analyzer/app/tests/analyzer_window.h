#pragma once
// An analyzer window over a fresh sample sequence on disk, for the window tests.

#include <gtest/gtest.h>

#include <QDir>
#include <QTest>
#include <deque>
#include <memory>

#include "analyzer/app/analyzer_frame.h"
#include "analyzer/app/analyzer_view.h"
#include "common/scripted_prompt.h"
#include "samples/sample_drawing.h"
#include "testing/test_support.h"
#include "ui/settings.h"

namespace quenda::testing {

inline constexpr int kWidth = 320;
inline constexpr int kHeight = 240;

// An analyzer window over a fresh sample sequence (three frames unless said), with scripted
// messages and save paths answered from a queue.
struct AnalyzerWindow {
  explicit AnalyzerWindow(int width = kWidth, int height = kHeight, int frames = 3) {
    samples::SampleOptions options{.width = width, .height = height, .dpi = 100};
    ScriptedPrompt quiet;
    EXPECT_TRUE(samples::WriteSampleSequence(dir.path(), "walk", frames, options, quiet).ok());
    OpenFrame();
  }

  // The window (again, as a program started anew), on the same profile.
  void OpenFrame() {
    frame.reset();
    frame = std::make_unique<CAnalyzerFrame>(
        &prompt,
        [this](QWidget*, const SaveQuestion&) {
          std::optional<QString> next;
          if (!savePaths.empty()) next = savePaths.front(), savePaths.pop_front();
          return next;
        },
        nullptr, &settings);
    frame->resize(700, 560);
    frame->show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(frame.get()));
  }

  CAnalyzerDoc& doc() { return frame->document(); }
  CAnalyzerView& view() { return *frame->pictureView(); }
  void Trigger(const char* action) { frame->Action(action)->trigger(); }
  void Load(int frameNumber) {
    ASSERT_TRUE(frame->OpenFile(QString::fromStdString(Frame(frameNumber, ".qds"))));
  }
  std::string Frame(int number, const char* extension) {
    return dir.File("walk" + std::to_string(number) + extension);
  }
  LineSettingsDialog& OpenSettings() {
    Trigger("actionLineSettings");
    EXPECT_NE(frame->lineSettingsDialog(), nullptr);
    return *frame->lineSettingsDialog();
  }
  std::string Title() const { return frame->windowTitle().toStdString(); }
  QImage Shown() { return view().viewport()->grab().toImage(); }
  // The window point at the centre of a picture pixel, and a left click there.
  QPoint WindowAt(QPoint pixel) { return view().ImageToWindow(QRect(pixel, QSize(1, 1))).center(); }
  void Click(QPoint pixel) {
    QTest::mouseClick(view().viewport(), Qt::LeftButton, {}, WindowAt(pixel));
  }
  QColor ShownAt(const QImage& shown, int x, int y) { return shown.pixel(WindowAt({x, y})); }
  QColor ShownAt(QPoint at) { return ShownAt(Shown(), at.x(), at.y()); }
  // The first pixel of the working image, row by row, whose index passes `wanted`.
  template <typename Wanted>
  QPoint FirstPixel(Wanted wanted) {
    for (std::size_t i = 0; i < doc().image().PixelCount(); ++i)
      if (wanted(i)) return QPoint(int(i % std::size_t(kWidth)), int(i / std::size_t(kWidth)));
    return QPoint(-1, -1);
  }
  // A pixel clear of lines of every region but the background.
  std::vector<QPoint> RegionPixels() {
    const RegionData& regions = doc().image().regions;
    std::vector<char> seen(std::size_t(regions.regionCount) + 2, false);
    seen[kBackgroundRegion] = true;
    std::vector<QPoint> pixels;
    for (std::size_t i = 0; i < regions.PixelCount(); ++i)
      if (!(regions.flags[i] & kFlagRegionLine) && !std::exchange(seen[regions.regionMap[i]], true))
        pixels.emplace_back(int(i % std::size_t(kWidth)), int(i / std::size_t(kWidth)));
    return pixels;
  }

  TempDir dir;
  TempDir profileDir;
  Settings settings{QStringLiteral("analyzer"), QString::fromStdString(profileDir.path())};
  ScriptedPrompt prompt;
  std::deque<QString> savePaths;
  std::unique_ptr<CAnalyzerFrame> frame;
};

}  // namespace quenda::testing
