#pragma once
// The dialogs of sequence paint: "Quenda: Paint Sequence: Selection", "Frame No?" and
// "Quenda: Render Sequence: Selection", and "Brush Size?" of both paint modes. Their checks are the
// document's; a refused entry is shown and the dialog stays open.

#include <QDialog>
#include <functional>
#include <optional>

#include "analyzer/core/analyzer_doc.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace quenda {

class SequenceSelectionDialog final : public QDialog {
  Q_OBJECT

 public:
  SequenceSelectionDialog(CAnalyzerDoc& doc, Prompt& prompt, QWidget* parent = nullptr);

  const SequencePaintChoice& choice() const { return choice_; }
  QPushButton* button(const QString& text) const;
  QString nameText() const;

 private:
  CAnalyzerDoc& doc_;
  Prompt& prompt_;
  SequencePaintChoice choice_;
  QLabel* path_ = nullptr;
  QLabel* name_ = nullptr;
};

// One field and ENTER under a question ("Frame No?", "Brush Size?"); `enter` runs the command on
// the text and the dialog closes when it succeeds.
class EntryDialog final : public QDialog {
  Q_OBJECT

 public:
  EntryDialog(std::string_view title, std::function<Status(std::string_view)> enter,
              QWidget* parent = nullptr);

  QLineEdit* field() const { return field_; }
  QPushButton* enterButton() const { return enter_; }

 private:
  QLineEdit* field_ = nullptr;
  QPushButton* enter_ = nullptr;
};

class RenderSequenceDialog final : public QDialog {
  Q_OBJECT

 public:
  RenderSequenceDialog(CAnalyzerDoc& doc, Prompt& prompt, QWidget* parent = nullptr);

  QPushButton* button(const QString& text) const;
  QLineEdit* header() const { return header_; }
  QLineEdit* start() const { return start_; }
  QLineEdit* end() const { return end_; }
  // What RENDER accepted.
  const std::optional<RenderRequest>& request() const { return request_; }

 private:
  CAnalyzerDoc& doc_;
  Prompt& prompt_;
  std::string directory_;
  QLabel* directoryShown_ = nullptr;
  QLineEdit* header_ = nullptr;
  QLineEdit* start_ = nullptr;
  QLineEdit* end_ = nullptr;
  std::optional<RenderRequest> request_;
};

}  // namespace quenda
