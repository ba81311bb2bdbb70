// Opening sequences and frames in the painter window: what the user is told, what is left on
// disk, and what the recent-file list keeps.
#include <gtest/gtest.h>

#include <QApplication>
#include <QMouseEvent>
#include <filesystem>
#include <string>
#include <vector>

#include "common/paint_file.h"
#include "painter/app/tests/painter_window_fixture.h"

namespace quenda {
namespace {

using testing::PainterWindow;

TEST(PainterOpen, ASequenceBeyondTheFrameListSaysHowManyFramesWereLeftOut) {
  PainterWindow w;
  // One 1 x 1 painted drawing, copied to 3003 frames. (Paint files are there so that finding
  // each frame's files does not list the folder.)
  const std::string folder = w.dir.File("crowd/");
  std::filesystem::create_directory(folder);
  const RegionData dot = testing::RegionsFromPicture({"."});
  testing::WriteFrameFiles(folder, "dot", "1", dot);
  ASSERT_TRUE(WritePaintFile(folder + "dot1.pnt", DefaultPaint(dot.regionCount)).ok());
  std::filesystem::copy_file(w.dir.File("walk.col"), folder + "dot.col");
  for (const char* extension : {".qds", ".rgn", ".pnt"}) {
    const std::vector<uint8_t> bytes = testing::ReadBytes(folder + "dot1" + extension);
    for (int i = 2; i <= 3003; ++i)
      testing::WriteBytes(folder + "dot" + std::to_string(i) + extension, bytes);
  }
  w.prompt.Clear();
  ASSERT_TRUE(w.frame->OpenFile(QString::fromStdString(folder + "dot1.qds")));
  EXPECT_EQ(
      w.prompt.Texts(),
      std::vector<std::string>{"Only the first 3000 frames were opened; 3 frames were left out."});
  EXPECT_EQ(w.doc().frameCount(), 3000);
  EXPECT_EQ(w.doc().PathsOf(2999).scan, folder + "dot3000.qds");
}

TEST(PainterOpen, TheRecentListReopensKeepsItsOrderAndDropsWhatIsGoneAndABadPaintFileFailsAFrame) {
  PainterWindow w;
  testing::TempDir other;
  const QString walk = QString::fromStdString(w.first);
  const std::string run = testing::WriteAnalyzedSequence(other.path(), "run", 2, 60, 40);
  ASSERT_TRUE(w.frame->OpenFile(QString::fromStdString(run)));
  EXPECT_EQ(w.doc().name(), "run");
  const std::string gone = w.dir.File("moved/run1.qds");
  // An entry from an earlier session whose folder has since moved.
  w.frame->recentFiles().Add(QString::fromStdString(gone));
  const QStringList before = {QString::fromStdString(gone), QString::fromStdString(run), walk};
  ASSERT_EQ(w.frame->recentFiles().files(), before);

  w.prompt.QueuePath(std::nullopt);
  w.action("actionOpen")->trigger();
  EXPECT_EQ(w.frame->recentFiles().files(), before);
  EXPECT_TRUE(w.prompt.AllAnswersUsed());

  QMenu* menu = w.RecentMenu();
  ASSERT_NE(menu, nullptr);
  ASSERT_EQ(menu->actions().size(), 3);
  menu->actions()[2]->trigger();
  EXPECT_EQ(std::tuple(w.doc().name(), w.prompt.Texts().size()), std::tuple("walk", 0u));

  ASSERT_EQ(w.frame->recentFiles().files()[1], QString::fromStdString(gone));
  w.RecentMenu()->actions()[1]->trigger();
  EXPECT_EQ(w.prompt.Texts(),
            std::vector<std::string>{"Fatal: Image file does not exist: " + gone});
  EXPECT_EQ(w.frame->recentFiles().files(), (QStringList{walk, QString::fromStdString(run)}));
  EXPECT_EQ(w.doc().frameCount(), 3);  // the open sequence stays
  // Back on walk: a paint file that does not read fails its frame, the reader's message first.
  namespace fs = std::filesystem;
  // Frame 2's paint file is a folder, frame 3's a link to a file that is gone.
  fs::create_directory(w.dir.File("walk2.pnt"));
  fs::create_symlink(w.dir.File("moved/walk3.pnt"), w.dir.File("walk3.pnt"));
  for (const char* paint : {"walk2.pnt", "walk3.pnt"}) {
    w.prompt.Clear();
    w.Key(Qt::Key_Right);
    const std::string path = w.dir.File(paint);
    EXPECT_EQ(w.prompt.Texts(),
              (std::vector<std::string>{"Fatal: Error opening paint file for reading: " + path,
                                        "Fatal: Paints file invalid: " + path}));
    EXPECT_FALSE(w.doc().frameLoaded()) << paint;
  }
  w.Key(Qt::Key_Left);
  w.frame.reset();
  EXPECT_TRUE(fs::is_directory(w.dir.File("walk2.pnt")));
  EXPECT_TRUE(fs::is_symlink(w.dir.File("walk3.pnt")));
  EXPECT_FALSE(fs::exists(w.dir.File("walk3.pnt")));
}

TEST(PainterOpen, TheCommandLineStartsOnItsDrawingTheTitleNamesTheFrameAndFitInWindowFits) {
  PainterWindow w;
  EXPECT_EQ(w.frame->windowTitle(), QStringLiteral("walk1.qds - Quenda Painter"));
  const struct {
    const char* drawing;
    SequenceStart start;
    int frame;
  } opens[] = {
      {"walk3.qds", SequenceStart::NamedDrawing, 2},
      {"walk3.qds", SequenceStart::FirstFrame, 0},
      {"walk2.qds", SequenceStart::NamedDrawing, 1},
  };
  for (const auto& open : opens) {
    ASSERT_TRUE(w.frame->OpenFile(QString::fromStdString(w.dir.File(open.drawing)), open.start));
    EXPECT_EQ(w.doc().currentFrame(), open.frame) << open.drawing;
  }
  EXPECT_FALSE(std::filesystem::exists(w.dir.File("walk1.pnt")));  // never left, never written
  EXPECT_EQ(w.frame->windowTitle(), QStringLiteral("walk2.qds - Quenda Painter"));
  w.FillAll();
  EXPECT_EQ(w.frame->windowTitle(), QStringLiteral("walk2.qds* - Quenda Painter"));
  w.action("actionNextFrame")->trigger();
  EXPECT_EQ(w.frame->windowTitle(), QStringLiteral("walk3.qds - Quenda Painter"));
  // Fit in Window, and the point under the cursor.
  for (QSize size : {QSize(360, 300), QSize(1200, 860)}) {
    w.frame->resize(size);
    QApplication::processEvents();
    w.action("actionFitInWindow")->trigger();
    const QSize room = w.view().fullViewportSize();
    const int level = w.view().zoomLevel();
    EXPECT_LE(ZoomedLength(testing::kWidth, level), room.width()) << level;
    EXPECT_LE(ZoomedLength(testing::kHeight, level), room.height()) << level;
    EXPECT_TRUE(ZoomedLength(testing::kWidth, level + 1) > room.width() ||
                ZoomedLength(testing::kHeight, level + 1) > room.height())
        << level;
  }
  auto hover = [&](QPoint at) {
    QMouseEvent move(QEvent::MouseMove, at, w.view().viewport()->mapToGlobal(at), Qt::NoButton,
                     Qt::NoButton, {});
    QApplication::sendEvent(w.view().viewport(), &move);
  };
  // As `quenda paint --fill` takes points: y counts up from the bottom row.
  hover(w.WindowOf(7, 11));
  EXPECT_EQ(w.frame->pointPaneText(), QStringLiteral("7,11"));
  hover(w.WindowOf(testing::kWidth - 1, 0));
  EXPECT_EQ(w.frame->pointPaneText(), QStringLiteral("119,0"));
  hover(w.WindowOf(testing::kWidth - 1, 0) + QPoint(40, 40));
  EXPECT_EQ(w.frame->pointPaneText(), QString());
}

}  // namespace
}  // namespace quenda
