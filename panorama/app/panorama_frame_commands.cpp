// The main window's commands: every menu entry with its shortcut and status text, the menus,
// and the two toolbars.

#include <QAction>
#include <QActionGroup>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QToolBar>
#include <string>

#include "panorama/app/panorama_frame.h"
#include "panorama/app/panorama_view.h"
#include "ui/recent_files.h"
#include "ui/tool_art.h"

namespace quenda {

namespace {

// Whether a command works without a background loaded.
enum class Needs { Nothing, Background };
constexpr QKeyCombination kNoKey = QKeyCombination::fromCombined(0);

}  // namespace

// One menu entry: its object name, text, shortcuts and status text.
struct CPanoramaFrame::Command {
  const char* name;
  const char* text;
  QKeyCombination keys[2];
  const char* tip;
  Needs needs;
  void (*run)(CPanoramaFrame&);
};

const CPanoramaFrame::Command CPanoramaFrame::kCommands[] = {
    {"actionOpen",
     "&Open...",
     {Qt::CTRL | Qt::Key_O, kNoKey},
     "Open a 24 or 32 bit uncompressed Targa background",
     Needs::Nothing,
     [](CPanoramaFrame& f) { f.Open(); }},
    {"actionScanBackground",
     "Scan &Background",
     {kNoKey, kNoKey},
     "Scan a picture as the background",
     Needs::Nothing,
     [](CPanoramaFrame& f) { f.ScanBackground(); }},
    {"actionSelectSource",
     "&Select Source",
     {kNoKey, kNoKey},
     "Choose the scanner",
     Needs::Nothing,
     [](CPanoramaFrame& f) { f.SelectSource(); }},
    {"actionSave",
     "&Save",
     {Qt::CTRL | Qt::Key_S, kNoKey},
     "Save the background with its mask",
     Needs::Background,
     [](CPanoramaFrame& f) { f.Save(); }},
    {"actionSaveAs",
     "Save &As...",
     {kNoKey, kNoKey},
     "Save the background with its mask under another name",
     Needs::Background,
     [](CPanoramaFrame& f) { f.SaveAs(); }},
    {"actionRevert",
     "&Revert to Saved",
     {kNoKey, kNoKey},
     "Read the background again as it was last saved",
     Needs::Background,
     [](CPanoramaFrame& f) { f.Revert(); }},
    {"actionUndo",
     "&Undo",
     {Qt::CTRL | Qt::Key_Z, kNoKey},
     "Undo the last change",
     Needs::Background,
     [](CPanoramaFrame& f) { f.doc_->Undo(); }},
    {"actionFlipHorizontal",
     "Flip &Horizontal",
     {kNoKey, kNoKey},
     "Mirror the background left to right",
     Needs::Background,
     [](CPanoramaFrame& f) { f.doc_->FlipHorizontal(); }},
    {"actionFlipVertical",
     "Flip &Vertical",
     {kNoKey, kNoKey},
     "Mirror the background top to bottom",
     Needs::Background,
     [](CPanoramaFrame& f) { f.doc_->FlipVertical(); }},
    {"actionRotateCW",
     "Rotate 90 &CW",
     {kNoKey, kNoKey},
     "Turn the background a quarter clockwise",
     Needs::Background,
     [](CPanoramaFrame& f) { f.doc_->RotateClockwise(); }},
    {"actionRotateCCW",
     "Rotate 90 CC&W",
     {kNoKey, kNoKey},
     "Turn the background a quarter counter-clockwise",
     Needs::Background,
     [](CPanoramaFrame& f) { f.doc_->RotateCounterClockwise(); }},
    {"actionClearMask",
     "C&lear Mask",
     {Qt::Key_Delete, kNoKey},
     "Make the whole background transparent",
     Needs::Background,
     [](CPanoramaFrame& f) { f.WholeMask(&CPanoramaDoc::ClearMask); }},
    {"actionFillMask",
     "&Fill Mask",
     {Qt::Key_Insert, kNoKey},
     "Make the whole background opaque",
     Needs::Background,
     [](CPanoramaFrame& f) { f.WholeMask(&CPanoramaDoc::FillMask); }},
    {"actionInvertMask",
     "&Invert Mask",
     {Qt::Key_I, kNoKey},
     "Swap the transparent and opaque parts",
     Needs::Background,
     [](CPanoramaFrame& f) { f.WholeMask(&CPanoramaDoc::InvertMask); }},
    {"actionGrowMask",
     "&Grow Mask",
     {Qt::Key_G, kNoKey},
     "Widen the opaque parts by one pixel",
     Needs::Background,
     [](CPanoramaFrame& f) { f.WholeMask(&CPanoramaDoc::GrowMask); }},
    {"actionShrinkMask",
     "Shrin&k Mask",
     {Qt::Key_K, kNoKey},
     "Narrow the opaque parts by one pixel",
     Needs::Background,
     [](CPanoramaFrame& f) { f.WholeMask(&CPanoramaDoc::ShrinkMask); }},
    {"actionSmoothMask",
     "Sm&ooth Mask",
     {Qt::Key_O, kNoKey},
     "Soften the mask's edges",
     Needs::Background,
     [](CPanoramaFrame& f) { f.WholeMask(&CPanoramaDoc::SmoothMask); }},
    {"actionSettings",
     "S&ettings...",
     {kNoKey, kNoKey},
     "Grid and mask colours of the view modes",
     Needs::Nothing,
     [](CPanoramaFrame& f) { f.ViewSettings(); }},
    {"actionZoomIn",
     "Zoom &In",
     {Qt::Key_Plus, Qt::KeypadModifier | Qt::Key_Plus},
     "Show the background larger",
     Needs::Background,
     [](CPanoramaFrame& f) { f.doc_->ZoomIn(); }},
    {"actionZoomOut",
     "Zoom O&ut",
     {Qt::Key_Minus, Qt::KeypadModifier | Qt::Key_Minus},
     "Show the background smaller",
     Needs::Background,
     [](CPanoramaFrame& f) { f.doc_->ZoomOut(); }},
    {"actionZoomOneToOne",
     "&Zoom 1:1",
     {Qt::Key_Asterisk, Qt::KeypadModifier | Qt::Key_Asterisk},
     "Show the background at its size",
     Needs::Background,
     [](CPanoramaFrame& f) { f.doc_->ZoomOneToOne(); }},
    {"actionFitInWindow",
     "&Fit in Window",
     {kNoKey, kNoKey},
     "Show the whole background as large as the window allows",
     Needs::Background,
     [](CPanoramaFrame& f) { f.FitInWindow(); }},
};

namespace {

// The checkable choices: tools, the two tool modes, the two view modes and the brush sizes.
struct Choice {
  const char* name;
  const char* text;
  Qt::Key key;
  const char* tip;
  int value;
};

const Choice kTools[] = {
    {"actionBrush", "&Brush", Qt::Key_A, "Paint the mask with a soft brush",
     int(PanoramaTool::Brush)},
    {"actionPolygon", "&Polygon", Qt::Key_S, "Fill polygons into the mask",
     int(PanoramaTool::Polygon)},
    {"actionColorKeyer", "&Color Keyer", Qt::Key_C, "Key the mask by the colour clicked",
     int(PanoramaTool::ColorKeyer)},
};

const Choice kToolModes[] = {
    {"actionEraseMode", "&Erase Mode", Qt::Key_F1, "The tools make the mask more transparent", 0},
    {"actionRevealMode", "&Reveal Mode", Qt::Key_F2, "The tools make the mask more opaque", 1},
};

const Choice kViewModes[] = {
    {"actionSeeThrough", "See &Through", Qt::Key_F3, "The background over a checkerboard",
     int(PanoramaViewMode::SeeThrough)},
    {"actionWithMask", "With &Mask", Qt::Key_F4, "The background tinted where it is opaque",
     int(PanoramaViewMode::WithMask)},
};

}  // namespace

void CPanoramaFrame::BuildActions() {
  auto make = [this](const char* name, const char* text, QList<QKeySequence> keys,
                     const char* tip) {
    auto* action = new QAction(tr(text), this);
    action->setObjectName(QString::fromLatin1(name));
    action->setShortcuts(keys);
    action->setStatusTip(tr(tip));
    addAction(action);
    return action;
  };
  for (const Command& command : kCommands) {
    QList<QKeySequence> keys;
    for (QKeyCombination key : command.keys)
      if (key != kNoKey) keys << QKeySequence(key);
    QAction* action = make(command.name, command.text, keys, command.tip);
    connect(action, &QAction::triggered, this, [this, run = command.run] { run(*this); });
  }
  Action("actionOpen")->setIcon(ToolIcon(ToolArt::Open));
  Action("actionUndo")->setIcon(ToolIcon(ToolArt::Undo));
  Action("actionZoomIn")->setIcon(ToolIcon(ToolArt::ZoomIn));
  Action("actionZoomOut")->setIcon(ToolIcon(ToolArt::ZoomOut));
  Action("actionZoomOneToOne")->setIcon(ToolIcon(ToolArt::ZoomOneToOne));

  auto* exit = make("actionExit", "E&xit", {QKeySequence::Quit}, "Quit the background maker");
  connect(exit, &QAction::triggered, this, [this] { close(); });
  QAction* pan = make("actionPan", "&Pan", {QKeySequence(Qt::Key_Space)},
                      "Drag the background with the mouse");
  pan->setCheckable(true);
  pan->setIcon(ToolIcon(ToolArt::Hand));
  connect(pan, &QAction::toggled, this, [this](bool on) { view_->SetPanMode(on); });

  auto group = [&](const auto& choices, auto choose) {
    auto* actions = new QActionGroup(this);
    for (const Choice& choice : choices) {
      QAction* action = make(choice.name, choice.text, {QKeySequence(choice.key)}, choice.tip);
      action->setCheckable(true);
      action->setData(choice.value);
      actions->addAction(action);
      connect(action, &QAction::triggered, this, [choose, value = choice.value] { choose(value); });
    }
    return actions;
  };
  tools_ = group(kTools, [this](int value) { doc_->SetTool(PanoramaTool(value)); });
  modes_ = group(kToolModes, [this](int value) { doc_->SetRevealMode(value != 0); });
  viewModes_ = group(kViewModes, [this](int value) { doc_->SetViewMode(PanoramaViewMode(value)); });
  tools_->actions()[0]->setIcon(ToolIcon(ToolArt::Brush));
  tools_->actions()[1]->setIcon(ToolIcon(ToolArt::Pen));
  tools_->actions()[2]->setIcon(ToolIcon(ToolArt::Picker));
  modes_->actions()[0]->setIcon(ToolIcon(ToolArt::Eraser));
  modes_->actions()[1]->setIcon(ToolIcon(ToolArt::Unerase));

  sizes_ = new QActionGroup(this);
  for (int size = 1; size <= 6; ++size) {
    const std::string name = "actionSize" + std::to_string(size);
    QAction* action = new QAction(tr("Size &%1").arg(size), this);
    action->setObjectName(QString::fromStdString(name));
    action->setShortcut(QKeySequence(Qt::Key(Qt::Key_0 + size)));
    action->setStatusTip(tr("Brush size %1").arg(size));
    action->setCheckable(true);
    action->setData(size);
    addAction(action);
    sizes_->addAction(action);
    connect(action, &QAction::triggered, this, [this, size] { doc_->SetBrushSize(size); });
  }
}

void CPanoramaFrame::UpdateActions() {
  const bool loaded = doc_->loaded();
  for (const Command& command : kCommands)
    Action(command.name)->setEnabled(loaded || command.needs == Needs::Nothing);
  for (QActionGroup* group : {tools_, modes_, viewModes_, sizes_})
    for (QAction* action : group->actions()) action->setEnabled(loaded);
  Action("actionPan")->setEnabled(loaded);
  Action("actionUndo")->setEnabled(doc_->CanUndo());
  Action("actionRevert")->setEnabled(doc_->CanRevert());
  Action("actionZoomIn")->setEnabled(doc_->CanZoomIn());
  Action("actionZoomOut")->setEnabled(doc_->CanZoomOut());
  auto check = [](QActionGroup* group, int value) {
    for (QAction* action : group->actions()) action->setChecked(action->data().toInt() == value);
  };
  check(tools_, int(doc_->tool()));
  check(modes_, doc_->revealMode() ? 1 : 0);
  check(viewModes_, int(doc_->viewMode()));
  check(sizes_, doc_->brushSize());
}

void CPanoramaFrame::BuildMenus() {
  QMenu* file = menuBar()->addMenu(tr("&File"));
  QMenu* edit = menuBar()->addMenu(tr("&Edit"));
  QMenu* scanner = menuBar()->addMenu(tr("&Scanner"));
  QMenu* tools = menuBar()->addMenu(tr("&Tools"));
  QMenu* view = menuBar()->addMenu(tr("&View"));
  QMenu* brushes = menuBar()->addMenu(tr("&Brushes"));
  view->setObjectName(QStringLiteral("menuView"));
  auto add = [&](QMenu* menu, const char* name) { menu->addAction(Action(name)); };

  for (const char* name : {"actionOpen", "actionSave", "actionSaveAs", "actionRevert"})
    add(file, name);
  file->addSeparator();
  recent_->AttachMenu(file->addMenu(tr("Recent &Files")));
  file->addSeparator();
  add(file, "actionExit");

  add(edit, "actionUndo");
  edit->addSeparator();
  for (const char* name :
       {"actionFlipHorizontal", "actionFlipVertical", "actionRotateCW", "actionRotateCCW"})
    add(edit, name);
  edit->addSeparator();
  for (const char* name : {"actionClearMask", "actionFillMask", "actionInvertMask",
                           "actionGrowMask", "actionShrinkMask", "actionSmoothMask"})
    add(edit, name);

  add(scanner, "actionScanBackground");
  add(scanner, "actionSelectSource");

  tools->addActions(tools_->actions());
  tools->addSeparator();
  tools->addActions(modes_->actions());

  // The bar toggles come first; BuildToolBars puts them there.
  view->addSeparator();
  view->addActions(viewModes_->actions());
  view->addSeparator();
  add(view, "actionSettings");
  view->addSeparator();
  for (const char* name :
       {"actionPan", "actionZoomIn", "actionZoomOut", "actionZoomOneToOne", "actionFitInWindow"})
    add(view, name);

  brushes->addActions(sizes_->actions());
}

void CPanoramaFrame::BuildToolBars() {
  QMenu* view = findChild<QMenu*>(QStringLiteral("menuView"));
  QAction* first = view->actions().value(0);
  auto toggle = [&](QAction* action, const char* name, const char* text) {
    action->setObjectName(QString::fromLatin1(name));
    action->setText(tr(text));
    view->insertAction(first, action);
  };
  auto bar = [&](const char* title, const char* name) {
    QToolBar* toolBar = addToolBar(tr(title));
    toolBar->setObjectName(QString::fromLatin1(name));
    toolBar->setIconSize(QSize(24, 24));
    return toolBar;
  };
  QToolBar* general = bar("General", "toolBarGeneral");
  for (const char* name : {"actionOpen", "actionSave", "actionUndo"})
    general->addAction(Action(name));
  general->addSeparator();
  for (const char* name : {"actionZoomIn", "actionZoomOut", "actionZoomOneToOne", "actionPan"})
    general->addAction(Action(name));
  QToolBar* toolsBar = bar("Tools", "toolBarTools");
  toolsBar->addActions(tools_->actions());
  toolsBar->addSeparator();
  toolsBar->addActions(modes_->actions());
  toolsBar->addSeparator();
  toolsBar->addActions(viewModes_->actions());

  toggle(general->toggleViewAction(), "actionGeneralToolbar", "&General Toolbar");
  toggle(toolsBar->toggleViewAction(), "actionToolsBar", "T&ools Bar");
  auto* status = new QAction(tr("&Status Bar"), this);
  status->setObjectName(QStringLiteral("actionStatusBar"));
  status->setCheckable(true);
  status->setChecked(true);
  connect(status, &QAction::toggled, statusBar(), &QStatusBar::setVisible);
  toggle(status, "actionStatusBar", "&Status Bar");
}

}  // namespace quenda
