// The main window's commands: every menu entry with its shortcut, status text and icon, the
// menus, and the three toolbars.

#include <QAction>
#include <QActionGroup>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QToolBar>
#include <string>
#include <type_traits>

#include "painter/app/main_frame.h"
#include "painter/app/painter_view.h"
#include "painter/core/next_unpainted.h"
#include "painter/core/painter_texts.h"
#include "ui/recent_files.h"
#include "ui/tool_art.h"

namespace quenda {
namespace {

QString Q(std::string_view text) {
  return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

struct ToolCommand {
  PainterTool tool;
  const char* name;
  const char* text;
  Qt::Key key;
  ToolArt art;
};

const ToolCommand kToolCommands[] = {
    {PainterTool::RegionFill, "actionRegionFill", "&RegionFill", Qt::Key_A, ToolArt::Bucket},
    {PainterTool::AnimFill, "actionAnimFill", "Anim&Fill", Qt::Key_D, ToolArt::LineBucket},
    {PainterTool::RegionPen, "actionRegionPen", "Region&Pen", Qt::Key_S, ToolArt::Pen},
    {PainterTool::Rubber, "actionRubber", "R&ubber", Qt::Key_H, ToolArt::Eraser},
    {PainterTool::UnRubber, "actionUnRubber", "U&nRubber", Qt::Key_K, ToolArt::Unerase},
    {PainterTool::AnimBrush, "actionAnimBrush", "Anim&Brush", Qt::Key_F, ToolArt::Brush},
    {PainterTool::AnimBrushRect, "actionAnimBrushRect", "AnimBrushR&ect", Qt::Key_G,
     ToolArt::BrushRectangle},
    {PainterTool::RubberRect, "actionRubberRect", "RubberRe&ct", Qt::Key_J,
     ToolArt::EraserRectangle},
    {PainterTool::UnRubberRect, "actionUnRubberRect", "UnRubberRect", Qt::Key_L,
     ToolArt::UneraseRectangle},
};

struct ModeCommand {
  ViewMode mode;
  const char* name;
  const char* text;
  Qt::Key key;
};

const ModeCommand kModeCommands[] = {
    {ViewMode::RegionLine, "actionRegionLine", "&Region Line", Qt::Key_F1},
    {ViewMode::RegionsPainted, "actionRegionsPainted", "Regions Painte&d", Qt::Key_F2},
    {ViewMode::Composited, "actionComposited", "&Composited", Qt::Key_F3},
    {ViewMode::XRay, "actionXRay", "&X-Ray", Qt::Key_F4},
};

// Swatch pictures of the view modes for their toolbar.
QIcon ModeIcon(ViewMode mode) {
  QPixmap pixmap(24, 24);
  pixmap.fill(Qt::white);
  QPainter painter(&pixmap);
  const QColor line(20, 20, 20);
  QColor fill = mode == ViewMode::RegionLine ? QColor(255, 255, 255)
                : mode == ViewMode::XRay     ? QColor(0, 0, 0)
                                             : QColor(90, 160, 230);
  painter.fillRect(QRect(2, 2, 20, 20), fill);
  if (mode == ViewMode::Composited) painter.fillRect(QRect(12, 2, 10, 20), QColor(240, 200, 120));
  painter.setPen(QPen(mode == ViewMode::XRay ? QColor(255, 255, 255) : line, 2));
  painter.drawEllipse(QRect(6, 6, 12, 12));
  painter.setPen(line);
  painter.drawRect(QRect(1, 1, 21, 21));
  return QIcon(pixmap);
}

QIcon SizeIcon(int size) {
  QPixmap pixmap(24, 24);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(Qt::NoPen);
  painter.setBrush(QColor(34, 34, 34));
  const double radius = 1.5 + size * 1.6;
  painter.drawEllipse(QPointF(12, 12), radius, radius);
  return QIcon(pixmap);
}

}  // namespace

void CMainFrame::BuildActions() {
  auto make = [this](const char* name, const QString& text, QList<QKeySequence> keys,
                     const QString& tip, auto slot) {
    auto* action = new QAction(text, this);
    action->setObjectName(QString::fromLatin1(name));
    action->setShortcuts(keys);
    action->setStatusTip(tip);
    // Whatever the command, a drag in hand ends first, as its release would: a stroke must not
    // go on in another tool, onto another frame, or past an undo.
    connect(action, &QAction::triggered, this, [this, slot](bool checked) {
      picture_->EndGesture();
      if constexpr (std::is_invocable_v<decltype(slot), bool>)
        slot(checked);
      else
        slot();
    });
    addAction(action);
    return action;
  };
  auto* open = make("actionOpen", tr("&Open Sequence..."), {QKeySequence::Open},
                    tr("Open a sequence by one of its drawings"), [this] { OpenSequence(); });
  open->setIcon(ToolIcon(ToolArt::Open));
  make("actionImportColors", tr("&Import Colors..."), {},
       tr("Replace the colours with another set"), [this] { doc_->ImportColors(); });
  make("actionMergeColors", tr("&Merge Colors..."), {}, tr("Add the colours of another set"),
       [this] { doc_->MergeColors(); });
  make("actionExit", tr("E&xit"), {QKeySequence::Quit}, tr("Quit the painter"),
       [this] { close(); });
  make("actionUndo", tr("&Undo"), {QKeySequence(Qt::CTRL | Qt::Key_Z)},
       tr("Undo the last painting step"), [this] { doc_->Undo(); })
      ->setIcon(ToolIcon(ToolArt::Undo));
  make("actionNextFrame", tr("&Next Frame"), {QKeySequence(Qt::Key_Right)},
       tr("Save this frame and go to the next"), [this] { doc_->NextFrame(); })
      ->setIcon(ToolIcon(ToolArt::NextFrame));
  make("actionPreviousFrame", tr("&Previous Frame"), {QKeySequence(Qt::Key_Left)},
       tr("Save this frame and go to the previous"), [this] { doc_->PreviousFrame(); })
      ->setIcon(ToolIcon(ToolArt::PreviousFrame));
  make("actionFirstFrame", tr("&First Frame"), {QKeySequence(Qt::Key_Up)},
       tr("Save this frame and go to the first"), [this] { doc_->FirstFrame(); })
      ->setIcon(ToolIcon(ToolArt::FirstFrame));
  make("actionLastFrame", tr("&Last Frame"), {QKeySequence(Qt::Key_Down)},
       tr("Save this frame and go to the last"), [this] { doc_->LastFrame(); })
      ->setIcon(ToolIcon(ToolArt::LastFrame));
  make("actionNextUnpainted", Q(kNextUnpaintedText), {QKeySequence(Qt::Key_N)},
       tr("Go to the next drawing with unfilled regions that are not specks and select the "
          "largest"),
       [this] { doc_->NextUnpainted(); });
  make("actionAutoPaintPrevious", tr("Auto Paint &Previous"), {},
       tr("Paint this frame from the one before"), [this] { doc_->AutoPaintPrevious(); })
      ->setIcon(ToolIcon(ToolArt::AutoPaint));
  make("actionAutoPaintAnyFrame", tr("Auto Paint &Any Frame..."), {},
       tr("Paint this frame from a frame you name"), [this] { AutoPaintAnyFrame(); });
  make("actionAutoPaintRange", tr("Auto Paint &Range..."), {},
       tr("Paint a range of frames one from another"), [this] { AutoPaintRange(); });
  QAction* byShapes =
      make("actionAutoPaintByShapes", Q(kAutoPaintByShapesText), {},
           tr("Auto paint by matching region shapes instead of the overlap vote"), [this](bool on) {
             doc_->SetAutoPaintMatch(on ? AutoPaintMatch::Shapes : AutoPaintMatch::Vote);
           });
  byShapes->setCheckable(true);
  make("actionPaintSpecks", Q(kPaintSpecksText), {},
       tr("Paint every unfilled speck with the colour it borders most"),
       [this] { doc_->PaintSpecks(); });
  make("actionPaintSpecksAfter", tr("Paint Specks After Auto Paint"), {},
       tr("Paint the specks each auto paint leaves unfilled"),
       [this](bool on) { doc_->SetPaintSpecksAfterAutoPaint(on); })
      ->setCheckable(true);
  make("actionSpeckSize", tr("Speck Size..."), {}, tr("How small a region is a speck"),
       [this] { AskSpeckSize(); });
  make("actionAddColor", tr("&Add Color..."), {}, tr("Add a colour to the set"), [this] {
    AddColor();
  })->setIcon(ToolIcon(ToolArt::Colours));
  make("actionEditColor", tr("&Edit Color..."), {}, tr("Change the current colour"),
       [this] { EditColor(); });
  make("actionEditLineUnfilled", tr("Edit &Line and Unfilled Colors..."), {},
       tr("Change the region line and unfilled colours"), [this] { EditLineAndUnfilled(); });
  make("actionLoadReference", tr("Load &Reference Picture..."), {},
       tr("Load a Targa picture to pick colours from"), [this] { doc_->LoadReferencePicture(); });
  make("actionZoomIn", tr("Zoom &In"),
       {QKeySequence(Qt::Key_Plus), QKeySequence(Qt::KeypadModifier | Qt::Key_Plus)},
       tr("Show the picture larger"), [this] { picture_->ZoomIn(); })
      ->setIcon(ToolIcon(ToolArt::ZoomIn));
  make("actionZoomOut", tr("Zoom O&ut"),
       {QKeySequence(Qt::Key_Minus), QKeySequence(Qt::KeypadModifier | Qt::Key_Minus)},
       tr("Show the picture smaller"), [this] { picture_->ZoomOut(); })
      ->setIcon(ToolIcon(ToolArt::ZoomOut));
  make("actionZoomOneToOne", tr("&Zoom 1:1"),
       {QKeySequence(Qt::Key_Asterisk), QKeySequence(Qt::KeypadModifier | Qt::Key_Asterisk)},
       tr("Show the picture at its own size"), [this] { picture_->ZoomOneToOne(); })
      ->setIcon(ToolIcon(ToolArt::ZoomOneToOne));
  make("actionFitInWindow", tr("&Fit in Window"), {},
       tr("Show the whole picture as large as the window allows"),
       [this] { picture_->ZoomToFit(); });
  auto* pan =
      make("actionPan", tr("&Pan"), {QKeySequence(Qt::Key_Space)},
           tr("Drag the picture with the mouse"), [this](bool on) { picture_->SetPanMode(on); });
  pan->setCheckable(true);
  pan->setIcon(ToolIcon(ToolArt::Hand));

  tools_ = new QActionGroup(this);
  for (const ToolCommand& command : kToolCommands) {
    const PainterTool tool = command.tool;
    QAction* action = make(command.name, tr(command.text), {QKeySequence(command.key)},
                           Q(ToolStatusText(tool)), [this, tool] { doc_->SetTool(tool); });
    action->setCheckable(true);
    action->setIcon(ToolIcon(command.art));
    action->setData(int(tool));
    tools_->addAction(action);
  }
  modes_ = new QActionGroup(this);
  for (const ModeCommand& command : kModeCommands) {
    const ViewMode mode = command.mode;
    QList<QKeySequence> keys{QKeySequence(command.key)};
    if (mode == ViewMode::Composited) {
      keys << QKeySequence(Qt::Key_Return) << QKeySequence(Qt::Key_Enter);
    }
    QAction* action = make(command.name, tr(command.text), keys, Q(ViewModeStatusText(mode)),
                           [this, mode] { doc_->SetViewMode(mode); });
    action->setCheckable(true);
    action->setIcon(ModeIcon(mode));
    action->setData(int(mode));
    modes_->addAction(action);
  }
  sizes_ = new QActionGroup(this);
  for (int size = kMinBrushSize; size <= kMaxBrushSize; ++size) {
    const std::string name = "actionSize" + std::to_string(size);
    QAction* action =
        make(name.c_str(), tr("Size &%1").arg(size), {QKeySequence(Qt::Key(Qt::Key_0 + size))},
             tr("Brush size %1").arg(size), [this, size] { doc_->SetBrushSize(size); });
    action->setCheckable(true);
    action->setIcon(SizeIcon(size));
    action->setData(size);
    sizes_->addAction(action);
  }
}

void CMainFrame::BuildMenus() {
  QMenu* file = menuBar()->addMenu(tr("&File"));
  file->addAction(Action("actionOpen"));
  file->addSeparator();
  file->addAction(Action("actionImportColors"));
  file->addAction(Action("actionMergeColors"));
  file->addSeparator();
  recent_->AttachMenu(file->addMenu(tr("Recent &Files")));
  file->addSeparator();
  file->addAction(Action("actionExit"));

  QMenu* edit = menuBar()->addMenu(tr("&Edit"));
  edit->addAction(Action("actionUndo"));

  QMenu* view = menuBar()->addMenu(tr("&View"));
  QMenu* bars = view->addMenu(tr("Tool&bars"));
  bars->setObjectName(QStringLiteral("menuToolbars"));
  view->addAction(Action("actionPan"));
  view->addAction(Action("actionZoomIn"));
  view->addAction(Action("actionZoomOut"));
  view->addAction(Action("actionZoomOneToOne"));
  view->addAction(Action("actionFitInWindow"));
  view->addSeparator();
  view->addActions(modes_->actions());

  QMenu* tools = menuBar()->addMenu(tr("&Tools"));
  tools->addActions(tools_->actions());
  tools->addSeparator();
  tools->addActions(sizes_->actions());

  QMenu* frames = menuBar()->addMenu(tr("F&rames"));
  for (const char* name : {"actionNextFrame", "actionPreviousFrame", "actionFirstFrame",
                           "actionLastFrame", "actionNextUnpainted"}) {
    frames->addAction(Action(name));
  }
  frames->addSeparator();
  for (const char* name :
       {"actionAutoPaintPrevious", "actionAutoPaintAnyFrame", "actionAutoPaintRange"}) {
    frames->addAction(Action(name));
  }
  frames->addSeparator();
  for (const char* name : {"actionAutoPaintByShapes", "actionPaintSpecksAfter", "actionPaintSpecks",
                           "actionSpeckSize"}) {
    frames->addAction(Action(name));
  }

  QMenu* colour = menuBar()->addMenu(tr("&Color"));
  for (const char* name :
       {"actionAddColor", "actionEditColor", "actionEditLineUnfilled", "actionLoadReference"}) {
    colour->addAction(Action(name));
  }
}

void CMainFrame::BuildToolBars() {
  QMenu* bars = findChild<QMenu*>(QStringLiteral("menuToolbars"));
  auto add = [&](const QString& title, const char* name, const QString& menuText) {
    QToolBar* bar = addToolBar(title);
    bar->setObjectName(QString::fromLatin1(name));
    bar->setIconSize(QSize(24, 24));
    QAction* toggle = bar->toggleViewAction();
    toggle->setText(menuText);
    bars->addAction(toggle);
    return bar;
  };
  QToolBar* tools = add(QStringLiteral("Tools"), "toolBarTools", tr("&Tools"));
  tools->addAction(Action("actionOpen"));
  tools->addAction(Action("actionUndo"));
  tools->addSeparator();
  tools->addActions(tools_->actions());
  tools->addSeparator();
  tools->addAction(Action("actionPan"));
  QToolBar* modes = add(QStringLiteral("ViewModes"), "toolBarViewModes", tr("&ViewModes"));
  modes->addActions(modes_->actions());
  modes->addSeparator();
  modes->addAction(Action("actionZoomIn"));
  modes->addAction(Action("actionZoomOut"));
  modes->addAction(Action("actionZoomOneToOne"));
  QToolBar* operations = add(QStringLiteral("Operations and Brushes"), "toolBarOperations",
                             tr("&Operations&&Brushes"));
  for (const char* name : {"actionFirstFrame", "actionPreviousFrame", "actionNextFrame",
                           "actionLastFrame", "actionAutoPaintPrevious", "actionAddColor"}) {
    operations->addAction(Action(name));
  }
  operations->addSeparator();
  operations->addActions(sizes_->actions());
}

}  // namespace quenda
