#include "ui/peg_buttons.h"

#include <QButtonGroup>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QRadioButton>
#include <QVBoxLayout>

#include "common/peg_turn.h"

namespace quenda {

QPixmap PegPicture(int button, int size) {
  QPixmap picture(size, size);
  picture.fill(QColor(128, 128, 128));
  QPainter painter(&picture);
  const QRect sheet(size / 6, size / 6, size * 2 / 3, size * 2 / 3);
  painter.fillRect(sheet, Qt::white);
  painter.setPen(Qt::black);
  painter.drawRect(sheet);
  painter.setBrush(Qt::black);
  for (int i = -1; i <= 1; ++i) {
    const int along = size / 2 + i * size / 5;
    const int inset = size / 6 + 4;
    QPoint hole;
    switch (button) {
      case 0:
        hole = {along, size - inset};
        break;
      case 1:
        hole = {inset, along};
        break;
      case 2:
        hole = {size - inset, along};
        break;
      default:
        hole = {along, inset};
        break;
    }
    painter.drawEllipse(hole, 2, 2);
  }
  return picture;
}

PegButtons::PegButtons(QWidget* parent) : QWidget(parent), group_(new QButtonGroup(this)) {
  auto* row = new QHBoxLayout(this);
  row->setContentsMargins(0, 0, 0, 0);
  for (int b = 0; b < kPegButtonCount; ++b) {
    auto* column = new QVBoxLayout;
    auto* picture = new QLabel;
    picture->setPixmap(PegPicture(b));
    auto* radio = new QRadioButton;
    group_->addButton(radio, b);
    column->addWidget(picture, 0, Qt::AlignHCenter);
    column->addWidget(radio, 0, Qt::AlignHCenter);
    row->addLayout(column);
  }
  connect(group_, &QButtonGroup::idClicked, this, &PegButtons::Clicked);
}

int PegButtons::checked() const {
  return group_->checkedId();
}

void PegButtons::SetChecked(int button) {
  if (button >= 0 && button < kPegButtonCount) group_->button(button)->setChecked(true);
}

}  // namespace quenda
