#pragma once
// The analyzer's dialogs: "Line Generation Settings" (modeless, beside the picture, while the
// test rectangle is on it) and "Quenda: Batch Process". Their checks and commands are the
// document's; the dialogs only collect values and show them.

#include <QColor>
#include <QDialog>
#include <QString>
#include <array>
#include <functional>
#include <optional>

#include "analyzer/core/analyzer_doc.h"
#include "ui/save_path_picker.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QScrollBar;

namespace quenda {

class LineSettingsDialog final : public QDialog, public AnalyzerListener {
  Q_OBJECT

 public:
  LineSettingsDialog(CAnalyzerDoc& doc, Prompt& prompt, SavePathPicker pickSavePath,
                     QWidget* parent = nullptr);
  ~LineSettingsDialog() override;

  QLineEdit* entry(LineSetting which) const { return entries_[std::size_t(which)]; }
  QScrollBar* bar(LineSetting which) const { return bars_[std::size_t(which)]; }
  QCheckBox* showLines() const { return showLines_; }
  // The widest gap that marking closes: the analyzer's own setting, not a line settings file's.
  QLineEdit* closeGapsEntry() const { return closeGapsEntry_; }
  QScrollBar* closeGapsBar() const { return closeGapsBar_; }
  QPushButton* button(const QString& text) const;

  // As the dialog opens: the current settings in every box, "Show lines" on.
  void Reset();
  void OnUpdate(const AnalyzerUpdate& update) override;

 protected:
  void reject() override;

 private:
  void Accept();
  void ShowSettings();
  void LoadFile();
  void SaveFile();

  CAnalyzerDoc& doc_;
  Prompt& prompt_;
  SavePathPicker pickSavePath_;
  std::array<QLineEdit*, 4> entries_{};
  std::array<QScrollBar*, 4> bars_{};
  QLineEdit* closeGapsEntry_ = nullptr;
  QScrollBar* closeGapsBar_ = nullptr;
  QCheckBox* showLines_ = nullptr;
};

class BatchProcessDialog final : public QDialog {
  Q_OBJECT

 public:
  BatchProcessDialog(CAnalyzerDoc& doc, Prompt& prompt, QWidget* parent = nullptr);

  const BatchChoice& choice() const { return choice_; }
  QPushButton* button(const QString& text) const;
  QString pathText() const;
  QString nameText() const;
  QString closeGapsText() const;

 private:
  void SelectSequence();
  void LoadSettings();
  void Process();

  CAnalyzerDoc& doc_;
  Prompt& prompt_;
  BatchChoice choice_;
  QLabel* path_ = nullptr;
  QLabel* name_ = nullptr;
  QLabel* closeGaps_ = nullptr;
};

// "Quenda: Color Set" (modeless): the analyzer's colours in a list, a name and a colour to add
// or store over the selected entry, and the colour set files.
class ColorSetDialog final : public QDialog, public AnalyzerListener {
  Q_OBJECT

 public:
  ColorSetDialog(CAnalyzerDoc& doc, SavePathPicker pickSavePath, QWidget* parent = nullptr);
  ~ColorSetDialog() override;

  QListWidget* list() const { return list_; }
  QLineEdit* nameEntry() const { return name_; }
  QPushButton* button(const QString& text) const;
  // The colour "Add" and "Edit" store; "Edit>>" picks it with the system's chooser.
  void SetColour(const QColor& colour);
  QColor colour() const { return colour_; }

  void OnUpdate(const AnalyzerUpdate& update) override;

 private:
  void ShowColors();
  void ShowCurrent();

  CAnalyzerDoc& doc_;
  SavePathPicker pickSavePath_;
  QListWidget* list_ = nullptr;
  QLineEdit* name_ = nullptr;
  QLabel* swatch_ = nullptr;
  QColor colour_{128, 128, 128};
};

}  // namespace quenda
