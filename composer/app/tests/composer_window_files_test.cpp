// The composer window's file and output commands on a generated composition: clip commands
// from the menus, the save question on leaving, the lost-clip search, a window of its own and
// New from a preset, Render Output against the command-line tool, and pictures found beside a
// missing Targa.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <tuple>

#include "cli/tests/tool_run.h"
#include "composer/app/composer_dialogs.h"
#include "composer/app/tests/composer_window_fixture.h"
#include "ui/tests/screenshot.h"

namespace quenda {
namespace {

using namespace testing;

// The entry `path` leads to from the menu bar; an empty step is a menu's first entry.
QAction* MenuEntry(ComposerWindow& w, const QStringList& path) {
  QList<QAction*> entries = w.frame->menuBar()->actions();
  for (qsizetype i = 0; i < path.size(); ++i) {
    auto found = std::find_if(entries.begin(), entries.end(), [&](QAction* a) {
      return a->text() == path[i] || (path[i].isEmpty() && !a->isSeparator());
    });
    if (found == entries.end()) return nullptr;
    if (i + 1 == path.size()) return *found;
    if ((*found)->menu() == nullptr) return nullptr;
    entries = (*found)->menu()->actions();
  }
  return nullptr;
}

std::vector<std::string> Labels(const Composition& c) {
  std::vector<std::string> labels;
  for (int i = 0; i < c.clipCount(); ++i) labels.push_back(c.clips[std::size_t(i)].label);
  return labels;
}

TEST(ComposerWindow, ReplaceDuplicateDeleteAndSaveAsFromTheMenus) {
  ComposerWindow w;
  const std::vector<uint8_t> opened = ReadBytes(w.cmp);
  const std::string copy = w.dir.File("copy.cmp");
  ClickRow(w, kWalk);
  const std::vector<std::string> front = {"*Virtual* (1)", "title (1)", "FX: Blur", "FX: Hue&Sat"};
  auto then = [&](std::vector<std::string> back) {
    back.insert(back.begin(), front.begin(), front.end());
    return back;
  };
  // The menu entry, the answers made ready, the texts shown, the labels front to back afterwards.
  using Step = std::tuple<QStringList, std::function<void()>, std::vector<std::string>,
                          std::vector<std::string>>;
  const Step kSteps[] = {
      {{"&Clip", "&Replace Clip..."},
       [&] {
         w.prompt.QueuePath(w.dir.File("sky.tga"));
         w.prompt.QueueAnswer(true);
       },
       {"You are changing a sequence image clip to a single frame image clip.\nYou will loose "
        "start/end properties and movie start frame of the replaced clip.\nIs this OK?"},
       then({"sky (2)", "sky (1)"})},
      {{"&Clip", "D&uplicate Clip"},
       [&] { w.prompt.QueueAnswer(true); },
       {"Are you sure you want to duplicate clip \"sky (2)\" ?"},
       then({"sky (3)", "sky (2)", "sky (1)"})},
      {{"&Clip", "Dele&te Clip"},
       [&] { w.prompt.QueueAnswer(true); },
       {"Delete Clip \"sky (2)\""},
       then({"sky (3)", "sky (1)"})},
      {{"&File", "Save &As..."},
       [&] {
         WhenModal<QFileDialog>(
             [&](QFileDialog* d) { ChooseInFileDialog(d, QString::fromStdString(copy)); });
       },
       {},
       then({"sky (3)", "sky (1)"})},
  };
  for (const auto& [path, answer, texts, labels] : kSteps) {
    const std::string name = path.back().toStdString();
    w.prompt.Clear();
    answer();
    QAction* entry = MenuEntry(w, path);
    ASSERT_NE(entry, nullptr) << name;
    ASSERT_TRUE(entry->isEnabled()) << name;
    entry->trigger();
    EXPECT_EQ(w.prompt.Texts(), texts) << name;
    EXPECT_EQ(Labels(w.comp()), labels) << name;
  }
  EXPECT_TRUE(w.prompt.AllAnswersUsed());
  EXPECT_EQ(ReadBytes(w.cmp), opened);
  EXPECT_EQ(w.frame->documentPath().toStdString(), copy);
  EXPECT_EQ(w.frame->windowTitle(), QStringLiteral("copy.cmp - Quenda Composer"));
  EXPECT_TRUE(std::filesystem::exists(copy));  // what it holds is the movie file's round trip
}

// Cancel, or a box closed without an answer, keeps a changed movie open and unsaved, whether
// the window is closed or a recent file chosen; No lets it go unsaved, Yes saves it first.
TEST(ComposerWindow, LeavingAChangedMovieAsksYesNoOrCancel) {
  ComposerWindow w;
  const std::vector<uint8_t> opened = ReadBytes(w.cmp);
  const std::vector<std::string> question = {
      "Quenda Composer\nSave changes to movie.cmp?\n[Yes] [No] [Cancel]"};
  QAction* recent = MenuEntry(w, {"&File", "Recent &Files", ""});
  ASSERT_NE(recent, nullptr);
  ClickRow(w, kWalk);
  w.Key(Qt::Key_H);
  const std::pair<const char*, std::function<void()>> kWaysOut[] = {
      {"close", [&] { EXPECT_FALSE(w.frame->close()); }}, {"recent", [&] { recent->trigger(); }}};
  for (const auto& [way, leave] : kWaysOut) {
    for (std::optional<int> keep : {std::optional<int>(2), std::optional<int>()}) {
      w.prompt.Clear();
      w.prompt.QueueChoice(keep);
      leave();
      EXPECT_EQ(w.prompt.Texts(), question) << way;
      EXPECT_TRUE(w.frame->isVisible() && w.doc().modified()) << way;
      EXPECT_EQ(w.comp().clips[kWalk].hidden, 1) << way;
      EXPECT_EQ(ReadBytes(w.cmp), opened) << way;
    }
  }
  w.prompt.QueueChoice(1);
  recent->trigger();
  EXPECT_EQ(w.comp().clips[kWalk].hidden, 0);
  EXPECT_EQ(ReadBytes(w.cmp), opened);
  ClickRow(w, kWalk);
  w.Key(Qt::Key_H);
  w.prompt.QueueChoice(0);
  EXPECT_TRUE(w.frame->close());
  EXPECT_NE(ReadBytes(w.cmp), opened);
}

TEST(ComposerWindow, ALostClipIsFoundAgainThroughTheDialog) {
  ComposerWindow w;
  w.frame->close();
  const std::string moved = w.dir.File("moved/");
  std::filesystem::create_directory(moved);
  for (int n = 1; n <= 5; ++n) {
    const std::string name = "walk00" + std::to_string(n) + ".tga";
    std::filesystem::rename(w.dir.File(name), moved + name);
  }
  w.prompt.QueuePath(moved + "walk003.tga");
  ASSERT_TRUE(w.frame->OpenFile(QString::fromStdString(w.cmp)));
  EXPECT_EQ(std::tuple(w.comp().clips[kWalk].directory, w.comp().clips[kWalk].lastFrame),
            std::tuple(moved, 5));
}

// A window of its own: Add Clip offers the sequence name in its file dialog, and its prompt
// carries the save question to a box (drawn and answered as the shared prompt's tests check),
// where No lets the movie go; then the first window makes a new movie from a preset.
TEST(ComposerWindow, AWindowOfItsOwnOffersTheSequenceNameAndAsksInItsOwnBoxAndNewTakesAPreset) {
  ComposerWindow w;
  const std::vector<uint8_t> opened = ReadBytes(w.cmp);
  CComposerFrame own(nullptr, &w.settings);
  own.show();
  ASSERT_TRUE(own.OpenFile(QString::fromStdString(w.cmp)));
  const QString title = QString::fromStdString(w.dir.File("title.tga"));
  WhenModal<QFileDialog>([&](QFileDialog* d) {
    EXPECT_EQ(d->windowTitle(), QStringLiteral("Select An Image from a Clip"));
    auto* name = d->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    ASSERT_NE(name, nullptr);
    EXPECT_EQ(name->text(), QStringLiteral("Select_A_Sequence.tga"));
    ChooseInFileDialog(d, title);
  });
  own.Action("actionAddClip")->trigger();
  EXPECT_EQ(own.document().composition().clips[0].label, "title (2)");
  ASSERT_TRUE(own.document().modified());
  WhenModal<QDialog>([&](QDialog* d) {
    for (QPushButton* button : d->findChildren<QPushButton*>())
      if (button->text() == QStringLiteral("No")) return button->click();
    d->reject();  // another box fails below rather than waits
  });
  EXPECT_TRUE(own.close());
  EXPECT_EQ(ReadBytes(w.cmp), opened);
  // The first window makes a new movie from a preset.
  WhenModal<NewMovieDialog>([](NewMovieDialog* d) {
    const int index = d->presets()->findText(QStringLiteral("HDTV 1"));
    d->presets()->setCurrentIndex(index);
    emit d->presets()->activated(index);
    d->field("frames")->setText(QStringLiteral("48"));
    d->accept();
  });
  w.Key(Qt::Key_N, Qt::ControlModifier);
  EXPECT_EQ(std::tie(w.comp().width, w.comp().height, w.comp().frames, w.comp().frameRate),
            std::make_tuple(1280, 720, 48, 30));
  EXPECT_EQ(w.comp().clipCount(), 0);
  EXPECT_FALSE(w.action("actionUndo")->isEnabled());
  EXPECT_TRUE(w.frame->documentPath().isEmpty());
}

TEST(ComposerWindow, RenderOutputWritesWhatTheToolWrites) {
  ComposerWindow w;
  // The tool's options and the same choices made in the dialog: the defaults; fields, matte and
  // the fast quality; a matte in 16-bit PNG.
  using Choose = std::function<void(RenderOutputDialog*)>;
  const std::pair<std::vector<std::string>, Choose> kJobs[] = {
      {{}, [](RenderOutputDialog*) {}},
      {{"--fields", "even", "--matte", "--quality", "fast"},
       [](RenderOutputDialog* d) {
         d->check("fields")->setChecked(true);
         d->radio("even")->setChecked(true);
         d->check("matte")->setChecked(true);
         d->radio("fast")->setChecked(true);
       }},
      {{"--matte", "--format", "png", "--depth", "16"},
       [](RenderOutputDialog* d) {
         d->check("matte")->setChecked(true);
         d->formatChoice()->formatBox()->setCurrentIndex(1);
         d->formatChoice()->depthBox()->setCurrentIndex(1);
         SaveScreenshot(*d, "composer-render-format.png");
       }},
  };
  int job = 0;
  for (const auto& [options, choose] : kJobs) {
    const std::string window = w.dir.File("window" + std::to_string(job) + "/");
    const std::string tool = w.dir.File("tool" + std::to_string(job) + "/");
    ++job;
    std::filesystem::create_directories(window);
    std::filesystem::create_directories(tool);
    WhenModal<RenderOutputDialog>([&](RenderOutputDialog* d) {
      d->field("name")->setText(QStringLiteral("shot"));
      d->field("frameEnd")->setText(QStringLiteral("6"));
      d->field("directory")->setText(QString::fromStdString(window));
      choose(d);
      d->renderButton()->click();
      d->reject();
    });
    w.Key(Qt::Key_R);
    std::vector<std::string> args = {"compose", w.cmp,  "--out",    tool,
                                     "--name",  "shot", "--frames", "1-6"};
    args.insert(args.end(), options.begin(), options.end());
    cli::ToolOutput run = cli::RunTool(args);
    ASSERT_EQ(run.code, 0) << run.err;
    ASSERT_EQ(w.prompt.Texts(), std::vector<std::string>{});
    ASSERT_EQ(ListDirectory(window), ListDirectory(tool));
    ASSERT_EQ(ListDirectory(window).size(), 6u);
    for (const std::string& name : ListDirectory(tool))
      EXPECT_EQ(ReadBytes(window + name), ReadBytes(tool + name)) << job << " " << name;
  }
  EXPECT_TRUE(w.prompt.Texts().empty());
}

TEST(ComposerWindow, ClipStartAndEndPropertiesNameThePngFoundBesideAMissingTarga) {
  ComposerWindow w;
  const std::string targa = w.dir.File("walk001.tga"), png = w.dir.File("walk001.png");
  ASSERT_EQ(std::system(("convert '" + targa + "' '" + png + "'").c_str()), 0);
  std::filesystem::remove(targa);
  w.doc().Select(kWalk);
  QString shown;
  WhenModal<StartEndDialog>([&](StartEndDialog* d) {
    shown = d->findChild<QLabel*>(QStringLiteral("pictures"))->text();
    d->reject();
  });
  w.action("actionStartEnd")->trigger();
  EXPECT_EQ(shown.toStdString(), png);
  EXPECT_TRUE(w.prompt.Texts().empty());
}

}  // namespace
}  // namespace quenda
