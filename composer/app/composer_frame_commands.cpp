// The main window's commands: every menu entry with its shortcut and status text, the menus,
// and the toolbars.

#include <QAction>
#include <QActionGroup>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>

#include "composer/app/composer_frame.h"
#include "composer/app/composer_view.h"
#include "ui/recent_files.h"
#include "ui/tool_art.h"

namespace quenda {

namespace {

struct ModeCommand {
  InteractionMode mode;
  const char* name;
  const char* text;
  Qt::Key key;
};

const ModeCommand kModeCommands[] = {
    {InteractionMode::Move, "actionModeMove", "&Move", Qt::Key_F1},
    {InteractionMode::UniformScale, "actionModeUniformScale", "&Uniform Scale", Qt::Key_F2},
    {InteractionMode::NonUniformScale, "actionModeNonUniformScale", "&Non-Uniform Scale",
     Qt::Key_F3},
    {InteractionMode::Rotate, "actionModeRotate", "&Rotate", Qt::Key_F4},
    {InteractionMode::HorizontalMove, "actionModeHorizontalMove", "&Horizontal Move", Qt::Key_F5},
    {InteractionMode::VerticalMove, "actionModeVerticalMove", "&Vertical Move", Qt::Key_F6},
    {InteractionMode::Select, "actionModeSelect", "&Select", Qt::Key_S},
};

}  // namespace

void CComposerFrame::BuildActions() {
  auto make = [this](const char* name, const QString& text, QList<QKeySequence> keys,
                     const QString& tip, auto slot) {
    auto* action = new QAction(text, this);
    action->setObjectName(QString::fromLatin1(name));
    action->setShortcuts(keys);
    action->setStatusTip(tip);
    connect(action, &QAction::triggered, this, slot);
    addAction(action);
    return action;
  };
  auto key = [](QKeyCombination k) { return QKeySequence(k); };
  CComposerDoc& d = *doc_;

  make("actionNew", tr("&New Movie..."), {QKeySequence::New}, tr("Start a new movie"), [this] {
    NewMovie();
  })->setIcon(ToolIcon(ToolArt::New));
  make("actionOpen", tr("&Open..."), {QKeySequence::Open}, tr("Open a composition"), [this] {
    Open();
  })->setIcon(ToolIcon(ToolArt::Open));
  make("actionSave", tr("&Save"), {QKeySequence::Save}, tr("Save the composition"),
       [this] { Save(); });
  make("actionSaveAs", tr("Save &As..."), {QKeySequence::SaveAs},
       tr("Save the composition under another name"), [this] { SaveAs(); });
  make("actionMovieSettings", tr("Movie &Settings..."), {key(Qt::CTRL | Qt::Key_M)},
       tr("Length, background, safe frame and units of the movie"), [this] { MovieSettings(); });
  make("actionExit", tr("E&xit"), {QKeySequence::Quit}, tr("Quit the composer"),
       [this] { close(); });

  make("actionUndo", tr("&Undo"), {key(Qt::CTRL | Qt::Key_Z)}, tr("Undo the last change"), [&d] {
    d.Undo();
  })->setIcon(ToolIcon(ToolArt::Undo));
  modes_ = new QActionGroup(this);
  for (const ModeCommand& mode : kModeCommands) {
    QAction* action = make(mode.name, tr(mode.text), {key(QKeyCombination(mode.key))},
                           tr("Mouse mode"), [this, m = mode.mode] {
                             doc_->SetMode(int(m));
                             UpdateActions();
                             UpdateStatus();
                           });
    action->setCheckable(true);
    action->setData(int(mode.mode));
    modes_->addAction(action);
  }
  make("actionPan", tr("&Pan"), {key(QKeyCombination(Qt::Key_Space))},
       tr("Drag to scroll the view"), [this](bool on) { view_->SetPanMode(on); })
      ->setCheckable(true);

  make("actionInsertKey", tr("&Insert Key"), {key(QKeyCombination(Qt::Key_Insert))},
       tr("Key the selected clip at this frame"), [this] { InsertKey(); });
  make("actionDeleteKey", tr("&Delete Key"), {key(QKeyCombination(Qt::Key_Delete))},
       tr("Remove a key of the selected clip at this frame"), [this] { DeleteKey(); });
  make("actionEditKey", tr("&Edit Key..."), {key(QKeyCombination(Qt::Key_E))},
       tr("Change a key of the selected clip at this frame"), [this] { EditKey(); });
  make("actionCopyKey", tr("&Copy Key"), {key(Qt::CTRL | Qt::Key_C)},
       tr("Copy the keys of the selected clip at this frame"), [&d] { d.CopyKey(); });
  make("actionPasteKey", tr("&Paste Key"), {key(Qt::CTRL | Qt::Key_V)},
       tr("Paste the copied keys at this frame"), [&d] { d.PasteKey(); });
  make("actionNextKeyFrame", tr("Ne&xt Key Frame"), {key(Qt::CTRL | Qt::Key_Right)},
       tr("Go to the selected clip's next key"), [&d] { d.NextKeyFrame(); });
  make("actionPreviousKeyFrame", tr("Pre&vious Key Frame"), {key(Qt::CTRL | Qt::Key_Left)},
       tr("Go to the selected clip's previous key"), [&d] { d.PreviousKeyFrame(); });
  make("actionFirstFrame", tr("&First Frame"), {key(QKeyCombination(Qt::Key_Home))},
       tr("Go to the first frame"), [&d] { d.GoToFrame(0); });
  make("actionPreviousFrame", tr("P&revious Frame"), {key(QKeyCombination(Qt::Key_Left))},
       tr("Go to the previous frame"), [&d] { d.GoToFrame(d.composition().currentFrame - 1); });
  make("actionNextFrame", tr("&Next Frame"), {key(QKeyCombination(Qt::Key_Right))},
       tr("Go to the next frame"), [&d] { d.GoToFrame(d.composition().currentFrame + 1); });
  make("actionLastFrame", tr("&Last Frame"), {key(QKeyCombination(Qt::Key_End))},
       tr("Go to the last frame"), [&d] { d.GoToFrame(d.composition().frames - 1); });
  make("actionStartEnd", tr("Clip &Start and End Properties..."), {key(Qt::CTRL | Qt::Key_T)},
       tr("What a sequence clip shows before and after its frames"), [this] { StartEnd(); });

  make("actionAddClip", tr("&Add Clip..."), {key(QKeyCombination(Qt::Key_A))},
       tr("Add a Targa sequence or picture"), [&d] { d.AddClip(); });
  make("actionReplaceClip", tr("&Replace Clip..."), {key(Qt::CTRL | Qt::Key_R)},
       tr("Show other pictures in the selected clip"), [&d] { d.ReplaceClip(); });
  make("actionAddEffect", tr("Add &FX Clip..."), {key(QKeyCombination(Qt::Key_F))},
       tr("Add an effect in front of the selected clip"), [this] { AddEffect(); });
  make("actionAddVirtualParent", tr("Add &Virtual Parent"), {key(QKeyCombination(Qt::Key_V))},
       tr("Add an invisible clip to parent others"), [&d] { d.AddVirtualParent(); });
  make("actionParent", tr("&Parent..."), {key(QKeyCombination(Qt::Key_P))},
       tr("Choose the selected clip's parent"), [this] { Parent(); });
  make("actionToFront", tr("To &Front"), {key(QKeyCombination(Qt::Key_PageUp))},
       tr("Move the clip one layer up"), [&d] { d.ToFront(); });
  make("actionToBack", tr("To &Back"), {key(QKeyCombination(Qt::Key_PageDown))},
       tr("Move the clip one layer down"), [&d] { d.ToBack(); });
  make("actionSelectUp", tr("Select &Up"), {key(QKeyCombination(Qt::Key_Up))},
       tr("Select the clip in front"), [&d] { d.SelectUp(); });
  make("actionSelectDown", tr("Select &Down"), {key(QKeyCombination(Qt::Key_Down))},
       tr("Select the clip behind"), [&d] { d.SelectDown(); });
  make("actionHideClip", tr("&Hide Clip"), {key(QKeyCombination(Qt::Key_H))},
       tr("Hide or show the image clip"), [&d] { d.ToggleHidden(); });
  make("actionDuplicateClip", tr("D&uplicate Clip"), {key(QKeyCombination(Qt::Key_D))},
       tr("Copy the selected clip with its keys"), [&d] { d.DuplicateClip(); });
  make("actionDeleteClip", tr("Dele&te Clip"), {key(QKeyCombination(Qt::Key_Backspace))},
       tr("Remove the selected clip"), [&d] { d.DeleteClip(); });

  make("actionZoomIn", tr("Zoom &In"),
       {key(QKeyCombination(Qt::Key_Plus)), key(QKeyCombination(Qt::Key_Equal))},
       tr("Magnify the view"), [this] { Zoom(1); });
  make("actionZoomOut", tr("Zoom &Out"), {key(QKeyCombination(Qt::Key_Minus))},
       tr("Reduce the view"), [this] { Zoom(-1); });
  make("actionZoomOneToOne", tr("Zoom &1:1"),
       {key(QKeyCombination(Qt::Key_Asterisk)), key(QKeyCombination(Qt::Key_1))},
       tr("One screen pixel per movie pixel"), [&d] { d.SetViewZoom(1.0f); });
  make("actionZoomExtends", tr("Zoom &Extends"), {key(QKeyCombination(Qt::Key_0))},
       tr("Fit the movie into the window"), [this] { ZoomExtends(); });
  // The suite's other picture programs call it so; here it is Zoom Extends by another name.
  make("actionFitInWindow", tr("&Fit in Window"), {},
       tr("Show the whole movie as large as the window allows"), [this] { ZoomExtends(); });
  qualities_ = new QActionGroup(this);
  const char* qualityNames[] = {"actionQualityFull", "actionQualityHalf", "actionQualityQuarter"};
  const char* qualityTexts[] = {"&Full Quality", "&Half Quality", "&Quarter Quality"};
  for (int q = 0; q < 3; ++q) {
    QAction* action = make(qualityNames[q], tr(qualityTexts[q]), {}, tr("Display quality"),
                           [&d, q] { d.SetQuality(q); });
    action->setCheckable(true);
    action->setData(q);
    qualities_->addAction(action);
  }
  make("actionAntialias", tr("&Antialias"), {}, tr("Bilinear sampling of the clip pictures"),
       [&d](bool on) { d.SetAntialias(on); })
      ->setCheckable(true);
  make("actionLabels", tr("&Labels"), {key(QKeyCombination(Qt::Key_L))}, tr("Show the clip labels"),
       [&d](bool on) { d.SetShowLabels(on); })
      ->setCheckable(true);
  make("actionSafeFrame", tr("Safe F&rame"), {}, tr("Show the action- and title-safe frames"),
       [&d](bool on) { d.SetShowSafeFrame(on); })
      ->setCheckable(true);
  make("actionRuler", tr("R&uler"), {}, tr("Show the rulers"), [&d](bool on) {
    d.SetShowRuler(on);
  })->setCheckable(true);
  make("actionMotionPath", tr("&Motion Path"), {key(QKeyCombination(Qt::Key_M))},
       tr("Show the selected clip's path"), [&d] { d.ToggleMotionPath(); })
      ->setCheckable(true);
  make("actionTimelineZoomIn", tr("Timeline Zoom In"), {key(Qt::CTRL | Qt::Key_Plus)},
       tr("Wider frames on the timeline"),
       [&d] { d.SetTimelineZoom(d.composition().timelineZoom * 2); });
  make("actionTimelineZoomOut", tr("Timeline Zoom Out"), {key(Qt::CTRL | Qt::Key_Minus)},
       tr("Narrower frames on the timeline"),
       [&d] { d.SetTimelineZoom(d.composition().timelineZoom / 2); });

  make("actionPreview", tr("&Preview..."),
       {key(QKeyCombination(Qt::Key_Return)), key(QKeyCombination(Qt::Key_Enter))},
       tr("Generate a preview movie and play it"), [this] { Preview(); });
  make("actionShowLastPreview", tr("Show &Last Preview"), {}, tr("Play the last preview again"),
       [this] { ShowLastPreview(); });
  make("actionSaveLastPreview", tr("Sa&ve Last Preview..."), {},
       tr("Copy the last preview movie elsewhere"), [this] { SaveLastPreview(); });
  make("actionRender", tr("&Render Output..."), {key(QKeyCombination(Qt::Key_R))},
       tr("Render the movie to Targa files"), [this] { Render(); });
  make("actionExportMovie", tr("&Export Movie..."), {key(Qt::CTRL | Qt::SHIFT | Qt::Key_M)},
       tr("Compose the frames into an H.264 or ProRes 4444 movie"), [this] { ExportMovie(); });
}

void CComposerFrame::BuildMenus() {
  auto add = [this](QMenu* menu, std::initializer_list<const char*> names) {
    for (const char* name : names) {
      if (name == nullptr)
        menu->addSeparator();
      else
        menu->addAction(Action(name));
    }
  };
  QMenu* file = menuBar()->addMenu(tr("&File"));
  add(file, {"actionNew", "actionOpen", "actionSave", "actionSaveAs", nullptr,
             "actionMovieSettings", "actionExportMovie", nullptr});
  QMenu* recentMenu = file->addMenu(tr("Recent &Files"));
  recent_->AttachMenu(recentMenu);
  add(file, {nullptr, "actionExit"});
  QMenu* edit = menuBar()->addMenu(tr("&Edit"));
  add(edit, {"actionUndo", nullptr});
  for (QAction* action : modes_->actions()) edit->addAction(action);
  add(edit, {nullptr, "actionPan"});
  QMenu* keys = menuBar()->addMenu(tr("&Key"));
  add(keys, {"actionInsertKey", "actionDeleteKey", "actionEditKey", nullptr, "actionCopyKey",
             "actionPasteKey", nullptr, "actionNextKeyFrame", "actionPreviousKeyFrame",
             "actionFirstFrame", "actionPreviousFrame", "actionNextFrame", "actionLastFrame"});
  QMenu* clip = menuBar()->addMenu(tr("&Clip"));
  add(clip,
      {"actionAddClip", "actionReplaceClip", "actionAddEffect", "actionAddVirtualParent", nullptr,
       "actionParent", "actionStartEnd", nullptr, "actionToFront", "actionToBack", "actionSelectUp",
       "actionSelectDown", nullptr, "actionHideClip", "actionDuplicateClip", "actionDeleteClip"});
  QMenu* view = menuBar()->addMenu(tr("&View"));
  add(view, {"actionZoomIn", "actionZoomOut", "actionZoomOneToOne", "actionZoomExtends",
             "actionFitInWindow", nullptr});
  for (QAction* action : qualities_->actions()) view->addAction(action);
  add(view, {"actionAntialias", nullptr, "actionLabels", "actionSafeFrame", "actionRuler",
             "actionMotionPath", nullptr, "actionTimelineZoomIn", "actionTimelineZoomOut"});
  QMenu* render = menuBar()->addMenu(tr("&Render"));
  add(render,
      {"actionPreview", "actionShowLastPreview", "actionSaveLastPreview", nullptr, "actionRender"});

  // The view's own menu holds the zoom commands.
  view_->setContextMenuPolicy(Qt::ActionsContextMenu);
  for (const char* name : {"actionZoomIn", "actionZoomOut", "actionZoomOneToOne",
                           "actionZoomExtends", "actionFitInWindow"})
    view_->addAction(Action(name));

  QToolBar* main = addToolBar(tr("Main"));
  main->setObjectName(QStringLiteral("toolBarMain"));
  for (const char* name : {"actionNew", "actionOpen", "actionSave"}) main->addAction(Action(name));
  main->addSeparator();
  for (QAction* action : modes_->actions()) main->addAction(action);
  main->addAction(Action("actionPan"));
  QToolBar* timeline = new QToolBar(tr("Timeline Tools"), this);
  timeline->setObjectName(QStringLiteral("toolBarTimeline"));
  addToolBarBreak(Qt::TopToolBarArea);
  addToolBar(Qt::TopToolBarArea, timeline);
  for (const char* name : {"actionDeleteKey", "actionInsertKey", "actionTimelineZoomIn",
                           "actionTimelineZoomOut", "actionEditKey"})
    timeline->addAction(Action(name));
}

}  // namespace quenda
