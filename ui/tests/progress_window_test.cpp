#include "ui/progress_window.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCloseEvent>
#include <QElapsedTimer>
#include <QPushButton>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <functional>
#include <thread>

#include "common/scripted_prompt.h"
#include "ui/gui_thread_prompt.h"
#include "ui/tests/modal_helper.h"

namespace quenda {
namespace {

using namespace std::chrono_literals;
using testing::WhenModal;

// A Prompt that notes which thread asked it.
class ThreadNotingPrompt final : public Prompt {
 public:
  void Message(std::string_view text, MessageIcon) override { Note(text); }
  bool AskYesNo(std::string_view text) override {
    Note(text);
    return true;
  }
  bool AskOkCancel(std::string_view text) override {
    Note(text);
    return false;
  }
  std::optional<std::string> PickFile(std::string_view, std::string_view,
                                      std::string_view) override {
    Note("file");
    return std::string("/picked/walk1.qds");
  }
  std::optional<std::string> PickDirectory(std::string_view, std::string_view) override {
    Note("directory");
    return std::nullopt;
  }

  std::vector<std::string> texts;
  std::vector<QThread*> threads;

 private:
  void Note(std::string_view text) {
    texts.emplace_back(text);
    threads.push_back(QThread::currentThread());
  }
};

// Steps of a job that runs until STOP, reporting as it goes.
int RunUntilStop(Progress& progress, std::atomic<int>& stepsAfterStage) {
  progress.SetStage("Painting frame");
  int steps = 0;
  while (!progress.StopRequested()) {
    progress.SetPercent(steps % 101);
    ++steps;
    ++stepsAfterStage;
    std::this_thread::sleep_for(1ms);
  }
  return steps;
}

TEST(ProgressWindow, StopEscapeAndTheCloseBoxEndTheJobFirstAndThenTheWindow) {
  const std::pair<const char*, std::function<void(ProgressWindow*)>> ways[] = {
      {"stop", [](ProgressWindow* w) { QTest::mouseClick(w->stopButton(), Qt::LeftButton); }},
      {"escape", [](ProgressWindow* w) { QTest::keyClick(w, Qt::Key_Escape); }},
      {"close", [](ProgressWindow* w) { w->close(); }},
  };
  for (const auto& [way, ask] : ways) {
    ProgressWindow window(QStringLiteral("AutoPaint Progress"));
    ScriptedPrompt prompt;
    std::atomic<int> steps{0};
    QString stageSeen;
    int percentSeen = -1;
    bool runningBefore = false;
    bool shownAfter = false;
    WhenModal<ProgressWindow>([&](ProgressWindow* shown) {
      // Let the job report for a while, then ask as a user would.
      QElapsedTimer waited;
      waited.start();
      while (steps < 20 && waited.elapsed() < 5000) QTest::qWait(5);
      QTest::qWait(20);
      stageSeen = shown->stage();
      percentSeen = shown->percent();
      runningBefore = shown->isVisible() && shown->running();
      ask(shown);
      shownAfter = shown->isVisible();  // no event has run since
    });
    QElapsedTimer clock;
    clock.start();
    int done = window.Run(
        [&](Progress& progress, Prompt&) { return RunUntilStop(progress, steps); }, prompt);
    EXPECT_LT(clock.elapsed(), 5000) << way;
    EXPECT_TRUE(runningBefore) << way;
    EXPECT_TRUE(shownAfter) << way;
    EXPECT_EQ(stageSeen, QStringLiteral("Painting frame")) << way;
    EXPECT_GT(percentSeen, 0) << way;
    EXPECT_GE(done, 20) << way;
    EXPECT_EQ(done, steps.load()) << way;
    EXPECT_FALSE(window.isVisible()) << way;
    EXPECT_FALSE(window.running()) << way;
    EXPECT_TRUE(prompt.shown().empty()) << way;
  }
}

TEST(ProgressWindow, TheJobsQuestionsAreAskedOnTheInterfaceThread) {
  ProgressWindow window(QStringLiteral("AutoPaint Progress"));
  ThreadNotingPrompt asked;
  QThread* jobThread = nullptr;
  struct Answers {
    bool yes = false;
    bool ok = true;
    std::optional<std::string> file;
    std::optional<std::string> directory = std::string("unset");
  };
  Answers answers = window.Run(
      [&](Progress&, Prompt& prompt) {
        jobThread = QThread::currentThread();
        prompt.Message("Frame painted", MessageIcon::Information);
        Answers a;
        a.yes = prompt.AskYesNo("are you sure?");
        a.ok = prompt.AskOkCancel("go on?");
        a.file = prompt.PickFile("Pick", "*.qds", "/");
        a.directory = prompt.PickDirectory("Choose Folder", "/");
        return a;
      },
      asked);
  EXPECT_TRUE(answers.yes);
  EXPECT_FALSE(answers.ok);
  EXPECT_EQ(answers.file, std::optional<std::string>("/picked/walk1.qds"));
  EXPECT_EQ(answers.directory, std::nullopt);
  EXPECT_EQ(asked.texts, (std::vector<std::string>{"Frame painted", "are you sure?", "go on?",
                                                   "file", "directory"}));
  ASSERT_NE(jobThread, nullptr);
  EXPECT_NE(jobThread, QThread::currentThread());
  for (QThread* thread : asked.threads) EXPECT_EQ(thread, QThread::currentThread());
}

TEST(ProgressWindow, NoToTheStopQuestionLetsTheJobGoOnAndYesStopsIt) {
  ProgressWindow window(QStringLiteral("AutoPaint Progress"));
  ScriptedPrompt prompt;
  prompt.QueueAnswer(false);
  prompt.QueueAnswer(true);
  std::atomic<int> frames{0};
  std::atomic<int> stopsPressed{0};
  WhenModal<ProgressWindow>([&](ProgressWindow* shown) {
    for (int press = 0; press < 2; ++press) {
      int before = frames;
      while (frames < before + 3) QTest::qWait(5);
      ++stopsPressed;
      QTest::mouseClick(shown->stopButton(), Qt::LeftButton);
    }
  });
  int stoppedAt = window.Run(
      [&](Progress& progress, Prompt& asker) {
        for (int frame = 1; frame < 100000; ++frame) {
          frames = frame;
          std::this_thread::sleep_for(1ms);
          if (progress.StopRequested() && asker.AskYesNo("are you sure you will stop?")) {
            return frame;
          }
        }
        return -1;
      },
      prompt);
  EXPECT_EQ(stopsPressed.load(), 2);
  EXPECT_GT(stoppedAt, 0);
  EXPECT_EQ(prompt.Texts(), (std::vector<std::string>{"are you sure you will stop?",
                                                      "are you sure you will stop?"}));
  EXPECT_TRUE(prompt.AllAnswersUsed());
}

TEST(ProgressWindow, AQuickJobStillClosesTheWindowAndReportsNoStop) {
  ProgressWindow window(QStringLiteral("Updating Frame Icons, Please Wait...   "), nullptr,
                        ProgressWindow::StopButton::Hidden);
  ScriptedPrompt prompt;
  bool stopSeen = true;
  window.RunJob(
      [&](Progress& progress, Prompt&) {
        progress.SetPercent(100);
        stopSeen = progress.StopRequested();
      },
      prompt);
  EXPECT_FALSE(stopSeen);
  EXPECT_FALSE(window.isVisible());
  EXPECT_TRUE(window.stopButton()->isHidden());
  // The last report was queued before the window closed, so it shows.
  EXPECT_EQ(window.percent(), 100);
}

TEST(GuiThreadPrompt, AsksDirectlyOnTheInterfaceThread) {
  ScriptedPrompt inner;
  inner.QueueAnswer(true);
  QObject context;
  GuiThreadPrompt prompt(inner, &context);
  EXPECT_TRUE(prompt.AskYesNo("Delete?"));
  EXPECT_FALSE(prompt.AskOkCancel("Unanswered"));
  EXPECT_EQ(inner.Texts(), (std::vector<std::string>{"Delete?", "Unanswered"}));
  EXPECT_EQ(inner.unexpected(), 1);
}

TEST(GuiThreadPrompt, HandsAWorkersChoicesAndLostPartsToTheInterfaceThread) {
  ScriptedPrompt inner;
  inner.QueueChoice(1);
  QObject context;
  GuiThreadPrompt guiPrompt(inner, &context);
  Prompt& prompt = guiPrompt;
  std::optional<int> chosen;
  LostPart lost = LostPart::Ask;
  std::atomic<bool> done{false};
  std::thread worker([&] {
    chosen = prompt.AskChoice({"Missing Sequence!",
                               "What happened to the sequence : ",
                               "walk",
                               {"Let's go find it", "Forget it"}});
    lost = prompt.OnLostPart("sequence \"walk\"");  // nothing queued now: the inner one keeps it
    done = true;
  });
  while (!done) QTest::qWait(5);
  worker.join();
  EXPECT_EQ(chosen, 1);
  EXPECT_EQ(lost, LostPart::Keep);
  EXPECT_EQ(inner.Texts(), std::vector<std::string>{"Missing Sequence!\nWhat happened to the "
                                                    "sequence : \nwalk\n[Let's go find it] "
                                                    "[Forget it]"});
  EXPECT_EQ(inner.lostParts(), std::vector<std::string>{"sequence \"walk\""});
}

TEST(ProgressWindow, AJobKeptOnTheInterfaceThreadStillSeesStop) {
  ProgressWindow window(QStringLiteral("AutoPaint Progress"));
  ScriptedPrompt prompt;
  QThread* jobThread = nullptr;
  int frames = 0;
  bool stopped = false;
  bool shownWhileRunning = false;
  window.RunJobHere(
      [&](Progress& progress, Prompt&) {
        jobThread = QThread::currentThread();
        shownWhileRunning = window.isVisible() && window.isModal();
        for (frames = 1; frames <= 1000; ++frames) {
          progress.SetPercent(std::min(100, frames * 10));
          // A user's click arrives between frames, as events do.
          if (frames == 7) {
            QTimer::singleShot(0, window.stopButton(),
                               [&] { QTest::mouseClick(window.stopButton(), Qt::LeftButton); });
          }
          if (progress.StopRequested()) {
            stopped = true;
            break;
          }
        }
      },
      prompt);
  EXPECT_EQ(jobThread, QThread::currentThread());
  EXPECT_TRUE(shownWhileRunning);
  EXPECT_TRUE(stopped);
  // Posted during frame 7, seen at the next check that lets events run.
  EXPECT_LE(frames, 8);
  EXPECT_GE(frames, 7);
  EXPECT_EQ(window.percent(), frames * 10);
  EXPECT_FALSE(window.isVisible());
}

}  // namespace
}  // namespace quenda
