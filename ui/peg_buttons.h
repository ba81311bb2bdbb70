#pragma once
// The peg buttons of the dialogs that ask how a sheet lies on the scanner bed: four pictures of
// a sheet with its peg holes along one edge (bottom, left, right, top), each over a radio
// button. Buttons are numbered left to right; PegPositionOfButton (common/peg_turn.h) turns a
// button into the stored peg position.

#include <QPixmap>
#include <QWidget>

class QButtonGroup;

namespace quenda {

// A sheet on grey with three holes along the edge of peg button `button` (0..3).
QPixmap PegPicture(int button, int size = 48);

class PegButtons final : public QWidget {
  Q_OBJECT

 public:
  explicit PegButtons(QWidget* parent = nullptr);

  QButtonGroup* group() const { return group_; }
  // The button chosen; -1 for none.
  int checked() const;
  // Checks `button`; a value outside 0..3 leaves none checked.
  void SetChecked(int button);

 signals:
  // The user clicked a button.
  void Clicked(int button);

 private:
  QButtonGroup* group_;
};

}  // namespace quenda
