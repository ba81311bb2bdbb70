#pragma once
// The scanner's resolution buttons, in its sequence dialogs and in the scan settings every
// program that scans shows: "72" to "400" and "Custom >>" with an edit box (10..1200) that can
// be typed in only while "Custom >>" is chosen.

#include <QWidget>

class QButtonGroup;
class QSpinBox;

namespace quenda {

class DpiButtons final : public QWidget {
  Q_OBJECT

 public:
  static constexpr int kCustomButton = 6;

  explicit DpiButtons(QWidget* parent = nullptr);

  QButtonGroup* group() const { return group_; }
  QSpinBox* custom() const { return custom_; }
  // The resolution chosen; -1 while no button is.
  int dpi() const;
  // Checks the button of `dpi` ("Custom >>" with the value for any other positive value);
  // nothing for 0 or less.
  void SetDpi(int dpi);

 signals:
  // The user clicked a button; `dpi` is the resolution it stands for.
  void Clicked(int dpi);

 private:
  QButtonGroup* group_;
  QSpinBox* custom_;
};

}  // namespace quenda
