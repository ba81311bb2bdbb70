#pragma once
// The dialogs that bring sheets in from other programs and lip-sync data onto a level:
// "Import Timesheet" and "Import CSV" (the file, its columns with the sequence each will use,
// changeable, and what the sheet has no place for), "Export Timesheet" (file, cut and scene) and
// "Apply Lip-Sync Data" (file, level, frames, and a table that maps each mouth shape to a
// drawing, remembered in the settings).

#include <QDialog>
#include <optional>
#include <vector>

#include "dopegrid/core/dopegrid_doc.h"
#include "dopegrid/core/lipsync_data.h"
#include "dopegrid/core/sheet_exchange.h"
#include "ui/save_path_picker.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QSpinBox;
class QTableWidget;

namespace quenda {

class Settings;

enum class SheetFileKind { Xdts, Csv };

class ImportSheetDialog final : public QDialog {
  Q_OBJECT
 public:
  ImportSheetDialog(SheetFileKind kind, Prompt& prompt, QWidget* parent = nullptr);

  // Reads `path` and lists its columns, as choosing it with Browse does.
  void SetFile(const QString& path);
  // The sequence of the drawing `first` for the table's row `row`, as Choose Sequence does.
  void ChooseSequence(int row, const QString& first);
  // The sheet to take in, once Import was pressed.
  const std::optional<ExchangeImport>& result() const { return result_; }

  QLineEdit* file() const { return file_; }
  QSpinBox* table() const { return tableNumber_; }
  QCheckBox* crop() const { return crop_; }
  QCheckBox* forgetMissing() const { return forget_; }
  QTableWidget* columns() const { return columns_; }
  QPlainTextEdit* report() const { return report_; }
  QPushButton* importButton() const { return import_; }

 private:
  void Read();
  void Rebuild();
  void Browse();
  void ChooseForSelected();

  SheetFileKind kind_;
  Prompt& prompt_;
  QLineEdit* file_;
  QSpinBox* tableNumber_ = nullptr;
  QCheckBox* crop_ = nullptr;
  QCheckBox* forget_;
  QTableWidget* columns_;
  QPlainTextEdit* report_;
  QPushButton* import_;
  std::vector<ExchangeColumn> read_;
  int frameCount_ = 0;
  std::vector<std::string> readNotes_;
  std::string readError_;
  std::vector<std::optional<SequenceChoice>> choices_;  // per row
  std::optional<ExchangeImport> built_;
  std::optional<ExchangeImport> result_;
};

class ExportTimesheetDialog final : public QDialog {
  Q_OBJECT
 public:
  ExportTimesheetDialog(const CDopegridDoc& doc, Prompt& prompt, SavePathPicker pick,
                        const QString& name, QWidget* parent = nullptr);
  QLineEdit* file() const { return file_; }
  QLineEdit* cut() const { return cut_; }
  QLineEdit* scene() const { return scene_; }

 private:
  void Export();

  const CDopegridDoc& doc_;
  Prompt& prompt_;
  SavePathPicker pick_;
  QString name_;
  QLineEdit* file_;
  QLineEdit* cut_;
  QLineEdit* scene_;
};

class LipSyncDialog final : public QDialog {
  Q_OBJECT
 public:
  LipSyncDialog(CDopegridDoc& doc, Prompt& prompt, Settings& settings, QWidget* parent = nullptr);

  void SetFile(const QString& path);
  void SetSequence(const QString& firstDrawing);
  QLineEdit* file() const { return file_; }
  QComboBox* level() const { return level_; }
  QSpinBox* from() const { return from_; }
  QSpinBox* until() const { return until_; }
  QSpinBox* rate() const { return rate_; }
  QCheckBox* extend() const { return extend_; }
  QTableWidget* shapes() const { return shapes_; }
  QLabel* sequence() const { return sequenceLabel_; }
  // The combo box of a shape's drawing in the table.
  QComboBox* DrawingBox(const QString& shape) const;

 private:
  void Browse();
  void BrowseSequence();
  void FillShapes();
  void Apply();
  std::optional<int> MouthSequence() const;
  MouthMap CurrentMap() const;

  CDopegridDoc& doc_;
  Prompt& prompt_;
  Settings& settings_;
  QLineEdit* file_;
  QComboBox* level_;
  QSpinBox* from_;
  QSpinBox* until_;
  QSpinBox* rate_;
  QCheckBox* extend_;
  QLabel* sequenceLabel_;
  QTableWidget* shapes_;
  std::optional<LipSyncData> data_;
  std::optional<int> chosenSequence_;
};

}  // namespace quenda
