#pragma once
// The fields the scanner's sequence dialogs share: the sequence name, its folder (chosen with a
// button), the peg buttons and the resolution buttons.

#include <QWidget>
#include <string>

#include "common/prompt.h"

class QLineEdit;

namespace quenda {
class DpiButtons;
class PegButtons;
}  // namespace quenda

namespace quenda::scanner {

struct SequenceFieldTexts {
  QString name;             // the name's label
  QString choose;           // the folder button
  std::string chooseTitle;  // the folder chooser's title
  QString pegs;             // the frame around the peg buttons
  QString dpis;             // the frame around the resolution buttons
};

class SequenceFields final : public QWidget {
  Q_OBJECT

 public:
  SequenceFields(Prompt& prompt, const SequenceFieldTexts& texts, QWidget* parent = nullptr);

  std::string name() const;
  // Ends with '/'; empty while none is chosen.
  std::string directory() const;

  QLineEdit* nameEdit() const { return name_; }
  QLineEdit* pathEdit() const { return path_; }
  PegButtons* pegButtons() const { return pegs_; }
  DpiButtons* dpiButtons() const { return dpis_; }

 private:
  QLineEdit* name_;
  QLineEdit* path_;
  PegButtons* pegs_;
  DpiButtons* dpis_;
};

}  // namespace quenda::scanner
