// The scanner window's commands: each action with its text, tip and shortcut, the menus and
// toolbar that show them, and the rules that enable them.

#include <QAction>
#include <QDockWidget>
#include <QMenuBar>
#include <QStatusBar>
#include <QToolBar>

#include "common/sequence_files.h"
#include "scanner/app/scanner_frame.h"
#include "scanner/app/scanner_view.h"
#include "ui/recent_files.h"

namespace quenda::scanner {

struct CScannerFrame::Command {
  const char* name;
  const char* text;
  const char* tip;
  QKeySequence shortcut;
  void (CScannerFrame::*run)();
};

void CScannerFrame::BuildActions() {
  static const Command kCommands[] = {
      {"actionNewSequence", "&New Sequence", "Scan a new sequence",
       QKeySequence(Qt::CTRL | Qt::Key_N), &CScannerFrame::NewSequence},
      {"actionOpenSequence", "&Open Sequence", "Open a sequence by one of its frames",
       QKeySequence(Qt::CTRL | Qt::Key_O), nullptr},
      {"actionImportSequence",
       "Import Sequence",
       "Make numbered Targa or bitmap pictures into a drawing sequence",
       {},
       &CScannerFrame::ImportSequence},
      {"actionExit", "E&xit", "Quit the scanner", {}, nullptr},
      {"actionDelete", "&Delete", "Delete the frame shown", {}, nullptr},
      {"actionFrameNo", "&Frame No", "Give the frame shown another number", {}, nullptr},
      {"actionStartScan", "S&tart Scan", "Scan more frames into the sequence shown", {}, nullptr},
      {"actionPreview", "&Preview", "Preview the whole scanner bed", {}, nullptr},
      {"actionScanSelection", "Sc&an Selection", "Scan frames into the scan area", {}, nullptr},
      {"actionStopScan", "St&op Scan", "Leave scanning and show the current frame", {}, nullptr},
      {"actionSelectSource", "&Select Source", "Choose the scanner", {}, nullptr},
      {"actionPreviewDpi",
       "Preview &Dpi",
       "Set the resolution of previews",
       {},
       &CScannerFrame::PreviewDpi},
      {"actionCalibration",
       "Calibratio&n",
       "Set the brightness and contrast of scans",
       {},
       &CScannerFrame::Calibrate},
      {"actionNextFrame", "&Next Frame", "Show the next frame", QKeySequence(Qt::Key_Right),
       nullptr},
      {"actionPreviousFrame", "&Previous Frame", "Show the previous frame",
       QKeySequence(Qt::Key_Left), nullptr},
      {"actionFirstFrame", "&First Frame", "Show the first frame", QKeySequence(Qt::Key_Up),
       nullptr},
      {"actionLastFrame", "&Last Frame", "Show the last frame", QKeySequence(Qt::Key_Down),
       nullptr},
      {"actionPan", "&Pan", "Drag the picture", QKeySequence(Qt::Key_Space), nullptr},
      {"actionZoomIn", "Zoom &In", "Enlarge the picture", QKeySequence(Qt::Key_Plus), nullptr},
      {"actionZoomOut", "Zoom O&ut", "Reduce the picture", QKeySequence(Qt::Key_Minus), nullptr},
      {"actionZoomOne", "&Zoom 1:1", "Show the picture at its size", QKeySequence(Qt::Key_Asterisk),
       nullptr},
  };
  for (const Command& command : kCommands) {
    auto* action = new QAction(QString::fromLatin1(command.text), this);
    action->setObjectName(QString::fromLatin1(command.name));
    action->setStatusTip(QString::fromLatin1(command.tip));
    if (!command.shortcut.isEmpty()) action->setShortcut(command.shortcut);
    if (command.run) connect(action, &QAction::triggered, this, command.run);
    addAction(action);
  }
  auto on = [this](const char* name, auto slot) {
    connect(Action(name), &QAction::triggered, this, slot);
  };
  on("actionOpenSequence", [this] {
    if (!doc_->OpenSequence()) return;
    // The list keeps the frame opened, which opens its sequence again.
    const DrawingSequence& sequence = doc_->sequence();
    recent_->Add(QString::fromStdString(sequence.directory + sequence.name +
                                        FormatFrameTag(sequence.frames[doc_->currentFrame()]) +
                                        ".qds"));
  });
  on("actionExit", [this] { close(); });
  on("actionDelete", [this] { doc_->DeleteFrame(); });
  on("actionFrameNo", [this] { doc_->RenumberFrame(); });
  on("actionStartScan",
     [this] { Scanning(QStringLiteral("Preview"), [this] { doc_->StartScan(); }); });
  on("actionPreview", [this] { Scanning(QStringLiteral("Preview"), [this] { doc_->Preview(); }); });
  on("actionScanSelection",
     [this] { Scanning(QStringLiteral("Scanning frame"), [this] { doc_->ScanSelection(); }); });
  on("actionStopScan", [this] { doc_->StopScan(); });
  on("actionSelectSource", [this] {
    session_->SelectSource();
    UpdateActions();
  });
  on("actionNextFrame", [this] { doc_->NextFrame(); });
  on("actionPreviousFrame", [this] { doc_->PreviousFrame(); });
  on("actionFirstFrame", [this] { doc_->FirstFrame(); });
  on("actionLastFrame", [this] { doc_->LastFrame(); });
  Action("actionPan")->setCheckable(true);
  on("actionPan", [this](bool checked) { view_->SetPanMode(checked); });
  on("actionZoomIn", [this] { view_->ZoomIn(); });
  on("actionZoomOut", [this] { view_->ZoomOut(); });
  on("actionZoomOne", [this] { view_->ZoomOneToOne(); });
}

void CScannerFrame::BuildMenus() {
  auto fill = [this](const QString& title, std::initializer_list<const char*> names) {
    QMenu* menu = menuBar()->addMenu(title);
    for (const char* name : names) {
      if (name == nullptr)
        menu->addSeparator();
      else
        menu->addAction(Action(name));
    }
    return menu;
  };
  QMenu* file = fill(QStringLiteral("&File"),
                     {"actionNewSequence", "actionOpenSequence", "actionImportSequence", nullptr});
  recent_->AttachMenu(file->addMenu(QStringLiteral("Recent Files")));
  file->addSeparator();
  file->addAction(Action("actionExit"));
  fill(QStringLiteral("&Edit"), {"actionDelete", "actionFrameNo"});
  fill(QStringLiteral("&Scanner"),
       {"actionStartScan", "actionPreview", "actionScanSelection", "actionStopScan", nullptr,
        "actionSelectSource", "actionPreviewDpi", "actionCalibration"});
  fill(QStringLiteral("F&rames"),
       {"actionNextFrame", "actionPreviousFrame", "actionFirstFrame", "actionLastFrame"});
  QMenu* view = menuBar()->addMenu(QStringLiteral("&View"));
  QToolBar* bar = addToolBar(QStringLiteral("Toolbar"));
  bar->setObjectName(QStringLiteral("toolbar"));
  for (const char* name : {"actionNewSequence", "actionOpenSequence", "actionPreview",
                           "actionScanSelection", "actionZoomIn", "actionZoomOut"})
    bar->addAction(Action(name));
  view->addAction(bar->toggleViewAction());
  QAction* status = view->addAction(QStringLiteral("&Status Bar"));
  status->setCheckable(true);
  status->setChecked(true);
  connect(status, &QAction::toggled, statusBar(), &QWidget::setVisible);
  QAction* tools = tools_->toggleViewAction();
  tools->setText(QStringLiteral("S&can Tools"));
  view->addAction(tools);
  view->addSeparator();
  for (const char* name : {"actionPan", "actionZoomIn", "actionZoomOut", "actionZoomOne"})
    view->addAction(Action(name));
}

void CScannerFrame::UpdateActions() {
  const bool loaded = doc_->frameLoaded();
  const bool scanning = doc_->scanModeActive();
  const int state = session_->state();
  const DrawingSequence& sequence = doc_->sequence();
  const int current = doc_->currentFrame();
  Action("actionDelete")->setEnabled(loaded);
  Action("actionFrameNo")->setEnabled(loaded);
  Action("actionStartScan")->setEnabled(!scanning && loaded);
  Action("actionPreview")->setEnabled(scanning);
  Action("actionScanSelection")->setEnabled(scanning);
  Action("actionStopScan")->setEnabled(scanning);
  Action("actionSelectSource")->setEnabled(state == 3);
  Action("actionCalibration")->setEnabled(state == 3 || state == 4);
  Action("actionNextFrame")->setEnabled(loaded && current + 1 < sequence.frameCount);
  Action("actionLastFrame")->setEnabled(loaded && current + 1 < sequence.frameCount);
  Action("actionPreviousFrame")->setEnabled(loaded && current > 0);
  Action("actionFirstFrame")->setEnabled(loaded && current > 0);
}

}  // namespace quenda::scanner
