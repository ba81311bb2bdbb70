#pragma once
// The exposure sheet's dialogs. Each collects values and shows the core's checks; the
// commands themselves are the document's.

#include <QDialog>
#include <QImage>
#include <QStringList>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "common/drawing_scan.h"
#include "dopegrid/core/dopegrid_doc.h"

class QLineEdit;
class QListWidget;
class QSpinBox;

namespace quenda {

// "Level Name?": a name of at most 18 characters; OK does nothing while the field is empty.
class LevelNameDialog final : public QDialog {
  Q_OBJECT
 public:
  explicit LevelNameDialog(const QString& name, QWidget* parent = nullptr);
  QLineEdit* field() const { return field_; }
  std::string name() const;

 private:
  QLineEdit* field_;
};
std::optional<std::string> AskLevelName(const QString& current, QWidget* parent);

// "Select Level" with one level to choose, or "Swap Levels" with several.
class LevelListDialog final : public QDialog {
  Q_OBJECT
 public:
  enum class Choice { One, Several };
  LevelListDialog(const CSheetGrid& sheet, const QString& title, const QString& question,
                  Choice choice, QWidget* parent = nullptr);
  QListWidget* list() const { return list_; }
  std::vector<int> chosen() const;
  // Decides whether OK may close the dialog; without one, any choice does.
  void SetCheck(std::function<bool(const std::vector<int>&)> check) { check_ = std::move(check); }

 private:
  void Accept();

  QListWidget* list_;
  std::function<bool(const std::vector<int>&)> check_;
};
std::optional<int> AskLevel(const CSheetGrid& sheet, const QString& question, QWidget* parent);

// "Change Dopegrid frame length": a number from 0 to 1000, 1 to start with.
class FrameLengthDialog final : public QDialog {
  Q_OBJECT
 public:
  enum class Change { Add, Cut };
  FrameLengthDialog(Change change, Prompt& prompt, QWidget* parent = nullptr);
  QLineEdit* field() const { return field_; }
  int count() const { return count_; }

 private:
  void Accept();

  Prompt& prompt_;
  QLineEdit* field_;
  int count_ = 1;
};

// "Transfer on any": frames per picture, 1 to 1000, 10 to start with.
class TransferOnAnyDialog final : public QDialog {
  Q_OBJECT
 public:
  explicit TransferOnAnyDialog(QWidget* parent = nullptr);
  QSpinBox* spin() const { return spin_; }

 private:
  QSpinBox* spin_;
};

// "Image Display": a cel's drawing with its size, origin, peg position and resolution.
class CelImageWindow final : public QDialog {
  Q_OBJECT
 public:
  CelImageWindow(const DrawingScan& drawing, QWidget* parent = nullptr);
  // The facts beside the picture, top to bottom.
  QStringList facts() const;
  const QImage& image() const { return image_; }

 private:
  QImage image_;
};

}  // namespace quenda
