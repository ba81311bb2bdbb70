// The progress window with STOP, the prompt that carries a worker's questions to the interface
// thread, the prompt's message boxes, the folder chooser and the save dialog.
#include "ui/progress_window.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <functional>
#include <thread>
#include <tuple>

#include "common/scripted_prompt.h"
#include "testing/qt_printers.h"
#include "testing/test_support.h"
#include "ui/choose_folder.h"
#include "ui/gui_thread_prompt.h"
#include "ui/qt_prompt.h"
#include "ui/save_path_picker.h"
#include "ui/tests/modal_helper.h"

namespace quenda {
namespace {

using namespace std::chrono_literals;
using testing::WhenModal;

// A Prompt that notes which thread asked it.
class ThreadNotingPrompt final : public Prompt {
 public:
  void Message(std::string_view text, MessageIcon) override { Note(text, 0); }
  bool AskYesNo(std::string_view text) override { return Note(text, true); }
  bool AskOkCancel(std::string_view text) override { return Note(text, false); }
  std::optional<std::string> PickFile(std::string_view, std::string_view,
                                      std::string_view) override {
    return Note("file", std::optional<std::string>("/picked/walk1.qds"));
  }
  std::optional<std::string> PickDirectory(std::string_view, std::string_view) override {
    return Note("directory", std::optional<std::string>());
  }
  LostPart OnLostPart(std::string_view part) override { return Note(part, LostPart::GiveUp); }
  std::optional<int> AskChoice(const ChoiceQuestion& question) override {
    return Note(question.caption, std::optional<int>(1));
  }

  std::vector<std::string> texts;
  std::vector<QThread*> threads;

 private:
  template <class Answer>
  Answer Note(std::string_view text, Answer answer) {
    texts.emplace_back(text);
    threads.push_back(QThread::currentThread());
    return answer;
  }
};

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
    // A job that runs until STOP, reporting as it goes.
    int done = window.Run(
        [&](Progress& progress, Prompt&) {
          progress.SetStage("Painting frame");
          int count = 0;
          for (; !progress.StopRequested(); ++count, ++steps) {
            progress.SetPercent(count % 101);
            std::this_thread::sleep_for(1ms);
          }
          return count;
        },
        prompt);
    SCOPED_TRACE(way);
    EXPECT_LT(clock.elapsed(), 5000);
    EXPECT_EQ(
        std::tuple(runningBefore, shownAfter, stageSeen, done, window.isVisible(), window.running(),
                   prompt.shown().size()),
        std::tuple(true, true, QStringLiteral("Painting frame"), steps.load(), false, false, 0u));
    EXPECT_GT(percentSeen, 0);
    EXPECT_GE(done, 20);
  }
}

TEST(ProgressWindow, TheJobsQuestionsAreAskedOnTheInterfaceThread) {
  ProgressWindow window(QStringLiteral("AutoPaint Progress"));
  ThreadNotingPrompt asked;
  QThread* jobThread = nullptr;
  using Answers = std::tuple<bool, bool, std::optional<std::string>, std::optional<std::string>,
                             LostPart, std::optional<int>>;
  Answers answers = window.Run(
      [&](Progress&, Prompt& prompt) {
        jobThread = QThread::currentThread();
        prompt.Message("Frame painted", MessageIcon::Information);
        // A braced list asks in order.
        return Answers{prompt.AskYesNo("are you sure?"),
                       prompt.AskOkCancel("go on?"),
                       prompt.PickFile("Pick", "*.qds", "/"),
                       prompt.PickDirectory("Choose Folder", "/"),
                       prompt.OnLostPart("sequence \"walk\""),
                       prompt.AskChoice({"Missing Sequence!", "", "walk", {"Find", "Forget"}})};
      },
      asked);
  EXPECT_EQ(answers, Answers(true, false, "/picked/walk1.qds", std::nullopt, LostPart::GiveUp, 1));
  // Called on the interface thread itself, the prompt asks directly.
  QObject context;
  EXPECT_TRUE(GuiThreadPrompt(asked, &context).AskYesNo("Delete?"));
  EXPECT_EQ(asked.texts, (std::vector<std::string>{"Frame painted", "are you sure?", "go on?",
                                                   "file", "directory", "sequence \"walk\"",
                                                   "Missing Sequence!", "Delete?"}));
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
          if (progress.StopRequested() && asker.AskYesNo("are you sure you will stop?"))
            return frame;
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

TEST(ProgressWindow, AQuickJobStillClosesTheWindowAndOneKeptOnTheInterfaceThreadSeesStop) {
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
  // The last report was queued before the window closed, so it shows.
  EXPECT_EQ(
      std::tuple(stopSeen, window.isVisible(), window.stopButton()->isHidden(), window.percent()),
      std::tuple(false, false, true, 100));
  // A job kept on the interface thread still sees STOP.
  ProgressWindow kept(QStringLiteral("AutoPaint Progress"));
  QThread* jobThread = nullptr;
  int frames = 0;
  bool stopped = false;
  bool shownWhileRunning = false;
  kept.RunJobHere(
      [&](Progress& progress, Prompt&) {
        jobThread = QThread::currentThread();
        shownWhileRunning = kept.isVisible() && kept.isModal();
        for (frames = 1; frames <= 1000; ++frames) {
          progress.SetPercent(std::min(100, frames * 10));
          // A user's click arrives between frames, as events do.
          if (frames == 7) {
            QTimer::singleShot(0, kept.stopButton(),
                               [&] { QTest::mouseClick(kept.stopButton(), Qt::LeftButton); });
          }
          if (progress.StopRequested()) {
            stopped = true;
            break;
          }
        }
      },
      prompt);
  EXPECT_EQ(std::tuple(jobThread, shownWhileRunning, stopped, kept.percent(), kept.isVisible()),
            std::tuple(QThread::currentThread(), true, true, frames * 10, false));
  // Posted during frame 7, seen at the next check that lets events run.
  EXPECT_LE(frames, 8);
  EXPECT_GE(frames, 7);
}

// The prompt's boxes, the folder chooser and the save dialog.
struct SeenBox {
  QString title;
  QString text;
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  QMessageBox::StandardButtons buttons;
};

// Notes the next message box and presses one of its buttons.
void AnswerBox(SeenBox& seen, QMessageBox::StandardButton press) {
  WhenModal<QMessageBox>([&seen, press](QMessageBox* box) {
    seen = {box->windowTitle(), box->text(), box->icon(), box->standardButtons()};
    QTest::mouseClick(box->button(press), Qt::LeftButton);
  });
}

TEST(QtPrompt, MessagesQuestionsChoicesFolderAndSaveDialogsAskAsTheyShould) {
  QtPrompt prompt;
  SeenBox seen;
  AnswerBox(seen, QMessageBox::Ok);
  prompt.Message("Fatal: Image file does not exist: /s/walk1.qds", MessageIcon::Error);
  EXPECT_EQ(std::tie(seen.title, seen.text, seen.icon),
            std::tuple(QStringLiteral("Quenda"),
                       QStringLiteral("Fatal: Image file does not exist: /s/walk1.qds"),
                       QMessageBox::Critical));

  AnswerBox(seen, QMessageBox::Ok);
  prompt.Message("Frame painted", MessageIcon::Warning);
  EXPECT_EQ(seen.icon, QMessageBox::Warning);

  // Each question, the button pressed, and the answer it gives.
  const std::tuple<bool, QMessageBox::StandardButton, bool> answers[] = {
      {true, QMessageBox::Yes, true},
      {true, QMessageBox::No, false},
      {false, QMessageBox::Ok, true},
      {false, QMessageBox::Cancel, false}};
  for (auto [yesNo, press, answer] : answers) {
    AnswerBox(seen, press);
    EXPECT_EQ(yesNo ? prompt.AskYesNo("Continue?") : prompt.AskOkCancel("Go on?"), answer);
    EXPECT_EQ(seen.icon, QMessageBox::Question);
    EXPECT_EQ(seen.buttons,
              yesNo ? QMessageBox::Yes | QMessageBox::No : QMessageBox::Ok | QMessageBox::Cancel);
  }

  // A window that names its own boxes.
  QtPrompt named(nullptr, QStringLiteral("AutoPaint Frame No?"));
  AnswerBox(seen, QMessageBox::Ok);
  named.Message("Done");
  EXPECT_EQ(std::tie(seen.title, seen.icon),
            std::tuple(QStringLiteral("AutoPaint Frame No?"), QMessageBox::Information));

  // A choice shows its text and name and answers the button pressed.
  const ChoiceQuestion question{"Missing Sequence!",
                                "What happened to the sequence : ",
                                "Bob",
                                {"Let's go find it", "Forget it", "Cancel"}};
  // The button pressed (none: the box is closed) and the answer.
  const std::pair<QString, std::optional<int>> presses[] = {{QStringLiteral("Let's go find it"), 0},
                                                            {QStringLiteral("Cancel"), 2},
                                                            {QString(), std::nullopt}};
  for (const auto& [press, answer] : presses) {
    QStringList shown;
    WhenModal<QDialog>([&shown, press](QDialog* box) {
      auto* name = box->findChild<QLineEdit*>();
      shown << box->windowTitle() << box->findChild<QLabel*>()->text()
            << (name != nullptr && name->isReadOnly() ? name->text() : QStringLiteral("editable"));
      if (press.isEmpty()) box->reject();
      for (QPushButton* b : box->findChildren<QPushButton*>())
        if (b->text() == press) QTest::mouseClick(b, Qt::LeftButton);
    });
    EXPECT_EQ(prompt.AskChoice(question), answer) << press.toStdString();
    EXPECT_EQ(shown.join('|').toStdString(),
              "Missing Sequence!|What happened to the sequence : |Bob");
  }
  // No field without a name to show.
  WhenModal<QDialog>([](QDialog* box) {
    EXPECT_EQ(box->findChild<QLineEdit*>(), nullptr);
    box->reject();
  });
  EXPECT_EQ(prompt.AskChoice({"Keep?", "Save changes to s.dgr?", {}, {"Yes", "No"}}), std::nullopt);
  // The folder chooser yields a folder ending with a slash; the save dialog offers the default
  // name.
  testing::TempDir dir;
  QDir(QString::fromStdString(dir.path())).mkdir(QStringLiteral("scans"));
  QString wanted = QString::fromStdString(dir.File("scans"));
  QString title;
  WhenModal<ChooseFolderDialog>([&](ChooseFolderDialog* dialog) {
    title = dialog->windowTitle();
    dialog->setDirectory(wanted);
    static_cast<QDialog*>(dialog)->accept();
  });
  std::optional<std::string> chosen =
      ChooseFolderDialog::Choose(nullptr, QString::fromStdString(dir.path()));
  EXPECT_EQ(title, QStringLiteral("Choose Folder"));
  EXPECT_EQ(chosen, std::optional<std::string>(dir.File("scans/")));

  WhenModal<ChooseFolderDialog>([](ChooseFolderDialog* dialog) { dialog->reject(); });
  EXPECT_EQ(ChooseFolderDialog::Choose(nullptr, QString::fromStdString(dir.path())), std::nullopt);
  // The save dialog offers the default name.
  QString offered;
  WhenModal<QFileDialog>([&](QFileDialog* dialog) {
    title = dialog->windowTitle();
    if (auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit")))
      offered = name->text();
    dialog->reject();
  });
  const SaveQuestion save{QStringLiteral("Keep It"), QStringLiteral("Movies (*.avi)"),
                          QStringLiteral("avi"), QStringLiteral("movie.avi")};
  EXPECT_EQ(SystemSavePathPicker()(nullptr, save), std::nullopt);
  EXPECT_EQ(title, QStringLiteral("Keep It"));
  EXPECT_EQ(offered, QStringLiteral("movie.avi"));
}

}  // namespace
}  // namespace quenda
