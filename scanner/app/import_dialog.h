#pragma once
// "Import Sequence": what the picked file says about its series, and the new sequence's name,
// folder and assumed peg position and resolution. Nothing chosen here is saved in the profile.

#include <QDialog>

#include "common/prompt.h"
#include "scanner/core/import_sequence.h"

namespace quenda::scanner {

class SequenceFields;

class ImportDialog final : public QDialog {
  Q_OBJECT

 public:
  ImportDialog(const ImportSource& source, Prompt& prompt, QWidget* parent = nullptr);
  ImportForm form() const;

  // The facts of the series are QLabels named "type", "path", "header", "start", "end" and
  // "resolution" (what the picked file holds; a dpi chosen here overrides it).
  SequenceFields* fields() const { return fields_; }

 public slots:
  void accept() override;

 private:
  Prompt& prompt_;
  ImportSource source_;
  SequenceFields* fields_;
};

}  // namespace quenda::scanner
