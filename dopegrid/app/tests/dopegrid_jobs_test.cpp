// The Render and FlipBook menus: the dialogs' refusals, the jobs run from them writing what the
// command-line tool writes, STOP, and the last flipbook saved elsewhere (its refusals are the
// flipbook core's tests).
#include <gtest/gtest.h>

#include <QComboBox>

#include <QAbstractButton>
#include <QAction>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <filesystem>
#include <tuple>

#include "cli/tests/tool_run.h"
#include "dopegrid/app/render_dialogs.h"
#include "dopegrid/app/tests/sheet_window.h"
#include "ui/progress_window.h"
#include "ui/tests/modal_helper.h"
#include "ui/tests/screenshot.h"

namespace quenda {
namespace {

using cli::RunTool;
using namespace quenda::testing;

template <class Dialog>
void Click(Dialog* dialog, const char* text) {
  QAbstractButton* button = dialog->button(QString::fromLatin1(text));
  ASSERT_NE(button, nullptr) << text;
  QTest::mouseClick(button, Qt::LeftButton);
}

// Frames 1..6 of every level: the stretch of the fixture that holds drawings.
void ChooseWholeJob(JobRangeFields& range) {
  range.start()->setValue(1);
  range.end()->setValue(6);
  QTest::mouseClick(range.selectAll(), Qt::LeftButton);
}

// The same in the Render dialog, with the folder the user is asked for and the name "walk".
void ChooseWholeJob(RenderDialog* dialog) {
  Click(dialog, "Select Output Directory");
  dialog->nameField()->setText(QStringLiteral("walk"));
  ChooseWholeJob(dialog->range());
}

// An empty folder, the one the next folder question is answered with.
std::string OutputFolder(SheetWindow& w) {
  const std::string out = w.dir.File("out/");
  std::filesystem::create_directories(out);
  w.prompt.QueuePath(out);
  return out;
}

std::string Frame(const std::string& directory, int number) {
  return directory + "walk000" + std::to_string(number) + ".tga";
}

TEST(DopegridJobs, TheRenderDialogRefusesWithoutDirectoryNameOrTheFilesItNeeds) {
  SheetWindow w;
  const std::string out = OutputFolder(w);
  struct Case {
    bool chooseDirectory;
    const char* name;
  };
  const Case cases[] = {{false, "walk"}, {true, ""}, {true, "walk2"}, {true, "walk on"}};
  QString shownDirectory, typedName;
  WhenModal<RenderDialog>([&](RenderDialog* dialog) {
    for (const Case& c : cases) {
      if (c.chooseDirectory && dialog->directoryField()->text().isEmpty())
        Click(dialog, "Select Output Directory");
      dialog->nameField()->setText(QString::fromLatin1(c.name));
      Click(dialog, "Render");
    }
    shownDirectory = dialog->directoryField()->text();
    dialog->nameField()->clear();
    QTest::keyClicks(dialog->nameField(), QStringLiteral("abcdefghijklmnop"));
    typedName = dialog->nameField()->text();
    Click(dialog, "Close");
  });
  w.action("actionRender")->trigger();
  EXPECT_EQ(w.prompt.Texts(),
            (std::vector<std::string>{"Select an output directory.", "Give a sequence name.",
                                      "Only letters are allowed for the name",
                                      "Only letters are allowed for the name"}));
  ASSERT_FALSE(w.prompt.shown().empty());
  EXPECT_EQ(std::tuple(w.prompt.shown()[1].text, shownDirectory.toStdString(), typedName,
                       std::filesystem::is_empty(out)),
            std::tuple("Choose storage directory", out, QStringLiteral("abcdefghijklmno"), true));

  // The drawings are scanned only: no region, paint or colour set files for a painted render.
  w.prompt.Clear();
  OutputFolder(w);
  w.prompt.QueueAnswer(false);
  WhenModal<RenderDialog>([&](RenderDialog* dialog) {
    ChooseWholeJob(dialog);
    Click(dialog, "Render");
    Click(dialog, "Close");
  });
  w.action("actionRender")->trigger();
  const std::vector<std::string> texts = w.prompt.Texts();
  ASSERT_EQ(texts.size(), 1u);
  EXPECT_TRUE(texts[0].starts_with("These files are missing or unreadable:\nmissing: ") &&
              texts[0].ends_with("\n\nRender without them?"))
      << texts[0];
  EXPECT_NE(texts[0].find("missing: " + w.dir.File("Ann1.rgn") + "\n"), std::string::npos);
  EXPECT_TRUE(std::filesystem::is_empty(out));
}

TEST(DopegridJobs, ALineTestRenderAndAFlipbookFromTheDialogsAreWhatTheToolWrites) {
  SheetWindow w;
  const std::string out = OutputFolder(w);
  WhenModal<RenderDialog>([&](RenderDialog* dialog) {
    ChooseWholeJob(dialog);
    Click(dialog, "Do not paint frames (line test render)");
    Click(dialog, "Half Size");
    Click(dialog, "Render");
    Click(dialog, "Close");
  });
  w.action("actionRender")->trigger();
  EXPECT_EQ(w.prompt.Texts(), std::vector<std::string>{});
  const std::string tool = w.dir.File("tool/");
  ASSERT_EQ(RunTool({"render", w.path, "--out", tool, "--name", "walk", "--frames", "1-6",
                     "--line-test", "--size", "half"})
                .code,
            0);
  for (int f = 1; f <= 6; ++f) {
    ASSERT_TRUE(std::filesystem::exists(Frame(out, f))) << f;
    EXPECT_EQ(ReadBytes(Frame(out, f)), ReadBytes(Frame(tool, f))) << f;
  }
  EXPECT_FALSE(std::filesystem::exists(Frame(out, 7)));

  // The same job as 16-bit TIFF files, chosen in the dialog; the depth is offered only for PNG
  // and TIFF.
  const std::string tiff = w.dir.File("tiff/");
  std::filesystem::create_directories(tiff);
  w.prompt.QueuePath(tiff);
  bool depthForExr = true;
  WhenModal<RenderDialog>([&](RenderDialog* dialog) {
    ChooseWholeJob(dialog);
    Click(dialog, "Do not paint frames (line test render)");
    Click(dialog, "Half Size");
    dialog->formatChoice()->formatBox()->setCurrentIndex(3);
    depthForExr = dialog->formatChoice()->depthBox()->isEnabled();
    dialog->formatChoice()->formatBox()->setCurrentIndex(2);
    dialog->formatChoice()->depthBox()->setCurrentIndex(1);
    SaveScreenshot(*dialog, "dopegrid-render-format.png");
    Click(dialog, "Render");
    Click(dialog, "Close");
  });
  w.action("actionRender")->trigger();
  EXPECT_FALSE(depthForExr);
  const std::string toolTiff = w.dir.File("tool-tiff/");
  ASSERT_EQ(RunTool({"render", w.path, "--out", toolTiff, "--name", "walk", "--frames", "1-6",
                     "--line-test", "--size", "half", "--format", "tiff", "--depth", "16"})
                .code,
            0);
  EXPECT_EQ(ListDirectory(tiff).size(), 6u);
  EXPECT_EQ(ListDirectory(tiff), ListDirectory(toolTiff));
  for (const std::string& name : ListDirectory(toolTiff)) {
    const auto a = ReadBytes(tiff + name), b = ReadBytes(toolTiff + name);
    std::size_t at = 0;
    while (at < a.size() && at < b.size() && a[at] == b[at]) ++at;
    EXPECT_TRUE(a == b) << name << " sizes " << a.size() << " " << b.size() << " differ at " << at;
  }

  // The flipbook is played, and saved elsewhere.
  const std::string preview = w.dir.File("preview.avi");
  w.frame->SetPreviewPath(preview);
  std::vector<std::string> played;
  w.frame->SetMoviePlayer([&](const std::string& path) { played.push_back(path); });
  EXPECT_FALSE(w.action("actionPlayLastFlipbook")->isEnabled() ||
               w.action("actionSaveLastFlipbook")->isEnabled());
  WhenModal<FlipbookDialog>([&](FlipbookDialog* dialog) {
    ChooseWholeJob(dialog->range());
    Click(dialog, "Generate");
    Click(dialog, "Done");
  });
  w.action("actionMakeFlipbook")->trigger();
  EXPECT_EQ(played, std::vector<std::string>{preview});
  EXPECT_EQ(w.prompt.Texts(), std::vector<std::string>{});
  ASSERT_TRUE(w.action("actionSaveLastFlipbook")->isEnabled());

  const std::string toolMovie = w.dir.File("tool.avi");
  ASSERT_EQ(RunTool({"flipbook", w.path, "--out", toolMovie, "--frames", "1-6"}).code, 0);
  const std::string saved = w.dir.File("movie.avi");
  w.saveAsPath = QString::fromStdString(saved);
  w.action("actionSaveLastFlipbook")->trigger();
  EXPECT_EQ(std::tuple(w.asked.title, w.asked.name, ReadBytes(saved)),
            std::tuple(QStringLiteral("Select the movie filename to save"),
                       QStringLiteral("movie.avi"), ReadBytes(toolMovie)));
}

TEST(DopegridJobs, StopDuringTheRenderLeavesWholeFramesUpToTheStopAndNoMore) {
  // Drawings large enough that STOP, pressed once the first frame's file is there (it appears
  // whole, by renaming), comes while the second is in hand.
  SheetWindow w(AnnAndBob(false, 800, 600));
  const std::string out = OutputFolder(w);
  w.prompt.QueueAnswer(true);  // stop the render
  bool stopped = false;
  WhenModal<RenderDialog>([&](RenderDialog* dialog) {
    ChooseWholeJob(dialog);
    Click(dialog, "Do not paint frames (line test render)");
    WhenModal<ProgressWindow>(
        [&](ProgressWindow* progress) {
          EXPECT_EQ(progress->windowTitle(), QStringLiteral("Rendering"));
          QElapsedTimer waited;
          waited.start();
          while (!std::filesystem::exists(Frame(out, 1)) && waited.elapsed() < 5000)
            QTest::qWait(1);
          QTest::mouseClick(progress->stopButton(), Qt::LeftButton);
          stopped = true;
        },
        0);
    Click(dialog, "Render");
    Click(dialog, "Close");
  });
  w.action("actionRender")->trigger();
  EXPECT_TRUE(stopped);
  // The press lands while frame 1 or 2 is being committed, or on a busy machine a little later;
  // either way the frames before the stop are there and nothing after them is left.
  const std::vector<std::string> texts = w.prompt.Texts();
  ASSERT_EQ(texts.size(), 2u);
  EXPECT_EQ(texts[0], "Do you want to stop render?");
  const std::string said = "Stopped after Frame : ";
  ASSERT_TRUE(texts[1].starts_with(said)) << texts[1];
  const int last = std::stoi(texts[1].substr(said.size()));
  ASSERT_TRUE(last >= 1 && last < 6) << texts[1];
  for (int f = 1; f <= last; ++f) EXPECT_TRUE(std::filesystem::exists(Frame(out, f))) << f;
  EXPECT_FALSE(std::filesystem::exists(Frame(out, last + 1)));
}

}  // namespace
}  // namespace quenda
