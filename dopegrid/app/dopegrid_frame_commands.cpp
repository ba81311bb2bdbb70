// The menus of the exposure sheet's window, their enabling rules, and the commands that open
// a dialog before the document does the work.
#include <QAction>
#include <QActionGroup>
#include <QMenuBar>

#include <QSpinBox>
#include "dopegrid/app/exchange_commands.h"

#include "common/drawing_scan.h"
#include "dopegrid/app/dopegrid_dialogs.h"
#include "dopegrid/app/dopegrid_frame.h"
#include "dopegrid/app/dopegrid_view.h"
#include "dopegrid/app/exchange_commands.h"
#include "dopegrid/app/print_commands.h"
#include "dopegrid/app/sound_commands.h"
#include "dopegrid/core/sheet_dialogs.h"
#include "ui/recent_files.h"

namespace quenda {

void CDopegridFrame::BuildActions() {
  auto make = [this](const char* name, const QString& text, QList<QKeySequence> keys, auto slot) {
    auto* action = new QAction(text, this);
    action->setObjectName(QString::fromLatin1(name));
    action->setShortcuts(keys);
    connect(action, &QAction::triggered, this, slot);
    addAction(action);
    return action;
  };
  make("actionNew", tr("&New"), {QKeySequence::New}, [this] { NewDocument(); });
  make("actionOpen", tr("&Open..."), {QKeySequence::Open}, [this] { Open(); });
  make("actionSave", tr("&Save"), {QKeySequence::Save}, [this] { Save(); });
  make("actionSaveAs", tr("Save &As..."), {QKeySequence::SaveAs}, [this] { SaveAs(); });
  make("actionExit", tr("E&xit"), {QKeySequence::Quit}, [this] { close(); });

  make("actionUndo", tr("&Undo"), {QKeySequence::Undo}, [this] { doc_->Undo(); });
  make("actionCut", tr("Cu&t"), {QKeySequence::Cut}, [this] { doc_->Cut(); });
  make("actionCopy", tr("&Copy"), {QKeySequence::Copy}, [this] {
    doc_->Copy();
    UpdateActions();
  });
  make("actionPaste", tr("&Paste"), {QKeySequence::Paste}, [this] { doc_->Paste(); });
  make("actionCondense", tr("Co&ndense"), {QKeySequence(Qt::CTRL | Qt::Key_D)},
       [this] { doc_->Condense(); });
  make("actionExpand", tr("&Expand"), {QKeySequence(Qt::CTRL | Qt::Key_E)},
       [this] { doc_->Expand(); });
  make("actionReverse", tr("&Reverse"), {QKeySequence(Qt::CTRL | Qt::Key_R)},
       [this] { doc_->Reverse(); });

  make("actionCelSource", tr("Cel &Source"), {QKeySequence(Qt::Key_F3)},
       [this] { ShowCelSource(); });

  make("actionAddSequence", tr("&Add Sequence..."),
       {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_O)}, [this] { doc_->AddSequence(); });
  make("actionRemoveSequence", tr("&Remove Sequence"), {}, [this] { doc_->RemoveSequence(); });
  make("actionTransferOnAny", tr("Transfer on &any..."), {QKeySequence(Qt::CTRL | Qt::Key_0)},
       [this] { TransferOnAny(); });
  static const char* const kTransferNames[] = {"actionTransfer1", "actionTransfer2",
                                               "actionTransfer3", "actionTransfer4",
                                               "actionTransfer5"};
  static const char* const kDropNames[] = {"actionDrop1", "actionDrop2", "actionDrop3",
                                           "actionDrop4", "actionDrop5"};
  auto* drops = new QActionGroup(this);
  for (int n = 1; n <= 5; ++n) {
    make(kTransferNames[n - 1], tr("Transfer on &%1s").arg(n),
         {QKeySequence(Qt::CTRL | Qt::Key(Qt::Key_0 + n))}, [this, n] { doc_->Transfer(n); });
    QAction* drop = make(kDropNames[n - 1], tr("Drop on &%1s").arg(n), {},
                         [this, n] { sheet_->SetDropSpacing(n); });
    drop->setCheckable(true);
    drop->setChecked(n == sheet_->dropSpacing());
    drops->addAction(drop);
  }
  make("actionSelectAll", tr("Select A&ll"), {QKeySequence::SelectAll},
       [this] { doc_->SelectAll(); });
  make("actionInsertMode", tr("&Insert Mode"), {QKeySequence(Qt::Key_Insert)}, [this] {
    doc_->ToggleInsertMode();
    UpdateActions();
  })->setCheckable(true);

  make("actionAddFrames", tr("&Add Frames..."), {}, [this] { AddFrames(); });
  make("actionDeleteFrames", tr("&Delete Frames..."), {}, [this] { DeleteFrames(); });

  make("actionAddLevel", tr("&Add Level..."), {QKeySequence(Qt::CTRL | Qt::Key_L)},
       [this] { AddLevel(); });
  make("actionDeleteLevel", tr("&Delete Level..."), {}, [this] { DeleteLevel(); });
  make("actionSwapLevels", tr("&Swap Levels..."), {}, [this] { SwapLevels(); });
  make("actionRenameLevel", tr("&Rename Level..."), {}, [this] { RenameLevel(); });
  BuildJobActions();
}

void CDopegridFrame::BuildMenus() {
  auto add = [this](QMenu* menu, std::initializer_list<const char*> names) {
    for (const char* name : names) {
      if (name == nullptr)
        menu->addSeparator();
      else
        menu->addAction(Action(name));
    }
  };
  QMenu* file = menuBar()->addMenu(tr("&File"));
  add(file, {"actionNew", "actionOpen", "actionSave", "actionSaveAs", nullptr, "actionExportMovie",
             nullptr});
  file->addActions(print_->actions());
  file->addSeparator();
  file->addActions(exchange_->fileActions());
  file->addSeparator();
  recent_->AttachMenu(file->addMenu(tr("Recent &Files")));
  add(file, {nullptr, "actionExit"});
  add(menuBar()->addMenu(tr("&Edit")),
      {"actionUndo", nullptr, "actionCut", "actionCopy", "actionPaste", nullptr, "actionCondense",
       "actionExpand", "actionReverse"});
  add(menuBar()->addMenu(tr("&View")), {"actionCelSource"});
  QMenu* holder = menuBar()->addMenu(tr("&Picture Holder"));
  add(holder, {"actionAddSequence", "actionRemoveSequence", nullptr, "actionTransferOnAny",
               "actionTransfer1", "actionTransfer2", "actionTransfer3", "actionTransfer4",
               "actionTransfer5", nullptr, "actionSelectAll", "actionInsertMode", nullptr});
  add(holder->addMenu(tr("&Drag and Drop")),
      {"actionDrop1", "actionDrop2", "actionDrop3", "actionDrop4", "actionDrop5"});
  add(menuBar()->addMenu(tr("F&rames")), {"actionAddFrames", "actionDeleteFrames"});
  add(menuBar()->addMenu(tr("&Levels")),
      {"actionAddLevel", "actionDeleteLevel", "actionSwapLevels", "actionRenameLevel"});
  BuildJobMenus();
  QMenu* sound = sound_->AddMenu(*menuBar());
  sound->addSeparator();
  sound->addAction(exchange_->lipSyncAction());
}

void CDopegridFrame::UpdateActions() {
  const CDopegridDoc& d = *doc_;
  const bool sequences = d.HasSequences();
  Action("actionUndo")->setEnabled(d.undoAvailable());
  for (const char* name :
       {"actionCut", "actionCopy", "actionPaste", "actionCondense", "actionExpand", "actionReverse",
        "actionRemoveSequence", "actionSelectAll"})
    Action(name)->setEnabled(sequences);
  Action("actionAddSequence")->setEnabled(d.CanAddSequence());
  for (const char* name : {"actionTransferOnAny", "actionTransfer1", "actionTransfer2",
                           "actionTransfer3", "actionTransfer4", "actionTransfer5"})
    Action(name)->setEnabled(d.CanTransfer());
  Action("actionInsertMode")->setChecked(d.insertMode());
  Action("actionDeleteFrames")->setEnabled(d.CanDeleteFrames());
  Action("actionAddLevel")->setEnabled(d.CanAddLevel());
  Action("actionDeleteLevel")->setEnabled(d.HasSeveralLevels());
  Action("actionSwapLevels")->setEnabled(d.HasSeveralLevels());
  const SheetCell& cell = d.sheet().Cell(d.currentLevel(), d.currentFrame());
  Action("actionCelSource")->setEnabled(cell.used());
  UpdateJobActions();
  sound_->UpdateActions();
  exchange_->UpdateActions();
}

void CDopegridFrame::ShowCelSource() {
  Result<std::string> path = CelSourcePath(*doc_, *prompt_);
  if (!path) {
    prompt_->Message(path.message(), MessageIcon::Warning);
    return;
  }
  Result<LoadedDrawingScan> drawing = ReadDrawingScan(*path, ScanReader::CelViewer);
  if (!drawing) {
    prompt_->Message(drawing.message(), MessageIcon::Error);
    return;
  }
  delete celWindow_.data();  // one image window, showing the last cel asked for
  celWindow_ = new CelImageWindow(drawing->scan, this);
  celWindow_->setAttribute(Qt::WA_DeleteOnClose);
  celWindow_->show();
}

void CDopegridFrame::TransferOnAny() {
  TransferOnAnyDialog dialog(this);
  if (dialog.exec() == QDialog::Accepted) doc_->Transfer(dialog.spin()->value());
}

void CDopegridFrame::AddFrames() {
  FrameLengthDialog dialog(FrameLengthDialog::Change::Add, *prompt_, this);
  const bool accepted = dialog.exec() == QDialog::Accepted;
  doc_->AddFrames(accepted ? std::optional<int>(dialog.count()) : std::nullopt);
}

void CDopegridFrame::DeleteFrames() {
  FrameLengthDialog dialog(FrameLengthDialog::Change::Cut, *prompt_, this);
  const bool accepted = dialog.exec() == QDialog::Accepted;
  doc_->DeleteFrames(accepted ? std::optional<int>(dialog.count()) : std::nullopt);
}

void CDopegridFrame::AddLevel() {
  doc_->AddLevel(AskLevelName({}, this));
}

void CDopegridFrame::DeleteLevel() {
  if (!doc_->CanDeleteLevelOrSay()) return;
  doc_->DeleteLevel(AskLevel(doc_->sheet(), QStringLiteral("Delete which level?"), this));
}

void CDopegridFrame::SwapLevels() {
  if (!doc_->CanSwapLevelsOrSay()) return;
  LevelListDialog dialog(doc_->sheet(), QStringLiteral("Swap Levels"),
                         QStringLiteral("Select two levels to swap \ntheir places"),
                         LevelListDialog::Choice::Several, this);
  // The document swaps them once exactly two are chosen, and says so otherwise.
  dialog.SetCheck([this](const std::vector<int>& chosen) { return doc_->SwapLevels(chosen); });
  dialog.exec();
}

void CDopegridFrame::RenameLevel() {
  std::optional<int> level = AskLevel(doc_->sheet(), QStringLiteral("Rename which level?"), this);
  if (!level) return;
  const QString current = QString::fromStdString(doc_->sheet().LevelName(*level));
  doc_->RenameLevel(*level, AskLevelName(current, this));
}

}  // namespace quenda
