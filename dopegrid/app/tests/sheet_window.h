#pragma once
// The exposure sheet's window on a generated sheet, as the window tests drive it.

#include <gtest/gtest.h>

#include <QApplication>
#include <QDropEvent>
#include <QMimeData>
#include <QTest>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>

#include "common/scripted_prompt.h"
#include "dopegrid/app/dopegrid_frame.h"
#include "dopegrid/app/dopegrid_view.h"
#include "dopegrid/app/seq_view.h"
#include "dopegrid/tests/sheet_test_support.h"
#include "testing/qt_printers.h"
#include "ui/settings.h"

namespace quenda::testing {

// Writes a sheet at `path` in `dir`, and anything beside it a test needs.
using SheetMaker = std::function<void(const TempDir& dir, const std::string& path)>;

// A sheet of two sequences (Ann, Bob: six drawings each) on three levels. Level "front" holds
// Ann 1..3 on 2s from frame 0, level "back" Bob 1..2 on 1s from frame 2; level "default" is
// empty. The drawings are 96 x 72 unless a job needs them large enough to take a while.
inline SheetMaker AnnAndBob(bool removeBob = false, int drawingWidth = 96, int drawingHeight = 72) {
  return [=](const TempDir& dir, const std::string& path) {
    ScriptedPrompt quiet;
    CDopegridDoc doc(quiet);
    for (const char* name : {"Ann", "Bob"})
      EXPECT_TRUE(
          doc.AddSequenceFile(WriteTinySequence(dir.path(), name, 6, drawingWidth, drawingHeight)));
    doc.AddLevel("back");
    doc.AddLevel("front");
    TransferAt(doc, 0, {0, 1, 2}, 0, 0, 2);
    TransferAt(doc, 1, {0, 1}, 1, 2, 1);
    EXPECT_TRUE(doc.OnSaveDocument(path));
    if (removeBob)
      for (int i = 1; i <= 6; ++i)
        std::filesystem::remove(dir.File("Bob" + std::to_string(i) + ".qds"));
  };
}

// A sheet made by `make`, opened in a window as from the command line.
struct SheetWindow {
  explicit SheetWindow(const SheetMaker& make = AnnAndBob(), Prompt* messages = nullptr)
      : settings(QStringLiteral("dopegrid"), QString::fromStdString(dir.path())) {
    make(dir, path);
    saved = testing::ReadBytes(path);
    frame = std::make_unique<CDopegridFrame>(messages != nullptr ? messages : &prompt, &settings,
                                             [this](QWidget*, const SaveQuestion& question) {
                                               asked = question;
                                               return saveAsPath;
                                             });
    frame->show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(frame.get()));
    EXPECT_TRUE(frame->OpenFile(QString::fromStdString(path)));
    frame->activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(frame.get()));
  }

  CDopegridDoc& doc() { return frame->document(); }
  CDopegridView& view() { return *frame->sheetView(); }
  QAction* action(const char* name) { return frame->Action(name); }
  QPoint CellAt(int level, int f) { return view().CellRect(level, f).center(); }
  void Click(int level, int f, Qt::KeyboardModifiers modifiers = {}) {
    QTest::mouseClick(view().viewport(), Qt::LeftButton, modifiers, CellAt(level, f));
  }
  // Shortcuts reach only the active window, which a closed dialog may have left inactive.
  void Key(int key, Qt::KeyboardModifiers modifiers = {}) {
    frame->activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(frame.get()));
    QTest::keyClick(frame.get(), Qt::Key(key), modifiers);
  }
  QColor ShownAt(int level, int f) {
    return QColor(view().viewport()->grab().toImage().pixel(view().CellRect(level, f).topLeft() +
                                                            QPoint(3, 3)));
  }
  // Drops what the Picture Holder's frame list hands a drag of its chosen items onto a cell.
  void DropChosenPictures(int level, int f) {
    CSeqContentView& list = *frame->pictureView();
    std::unique_ptr<QMimeData> data(list.mimeData(list.selectedItems()));
    ASSERT_NE(data, nullptr);
    QWidget* target = view().viewport();
    const QPointF at = CellAt(level, f);
    QDragEnterEvent enter(at.toPoint(), Qt::CopyAction, data.get(), Qt::LeftButton, {});
    QApplication::sendEvent(target, &enter);
    ASSERT_TRUE(enter.isAccepted());
    QDropEvent drop(at, Qt::CopyAction, data.get(), Qt::LeftButton, {});
    QApplication::sendEvent(target, &drop);
    EXPECT_TRUE(drop.isAccepted());
  }

  testing::TempDir dir;
  std::string path = dir.File("s.dgr");
  std::vector<uint8_t> saved;
  std::optional<QString> saveAsPath;
  SaveQuestion asked;  // the last save dialog's fields
  ScriptedPrompt prompt;
  Settings settings;
  std::unique_ptr<CDopegridFrame> frame;
};

}  // namespace quenda::testing
