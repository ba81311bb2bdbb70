#pragma once
// Print, Print Preview and Print Setup of the exposure sheet's File menu, on Qt Print Support
// and the sheet printer shared with the command-line tool. One printer keeps its settings
// between the commands, landscape to begin with.

#include <QObject>
#include <QPrinter>
#include <functional>

#include "dopegrid/core/dopegrid_doc.h"

class QAction;
class QMainWindow;

namespace quenda {

class PrintCommands final : public QObject {
  Q_OBJECT

 public:
  // `title` gives the document's title as the header prints it. The actions are added to
  // `window`, so that their shortcuts reach it.
  PrintCommands(CDopegridDoc& doc, Prompt& prompt, QMainWindow& window,
                std::function<QString()> title);

  QPrinter& printer() { return printer_; }
  QList<QAction*> actions() const { return actions_; }

  void Print();
  void Preview();
  void Setup();

 private:
  // The landscape rule of every print; false after its message.
  bool CheckLandscape();

  CDopegridDoc& doc_;
  Prompt& prompt_;
  QMainWindow& window_;
  std::function<QString()> title_;
  QPrinter printer_{QPrinter::HighResolution};
  QList<QAction*> actions_;
};

}  // namespace quenda
