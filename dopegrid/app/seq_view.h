#pragma once
// The Picture Holder: the list of sequences (large icons, one chosen at a time) and the list
// of the chosen sequence's frames (several may be chosen), from which pictures are dragged
// onto the sheet.

#include <QListWidget>

#include "dopegrid/core/dopegrid_doc.h"

namespace quenda {

class CSeqView final : public QListWidget, public SheetListener {
  Q_OBJECT

 public:
  explicit CSeqView(CDopegridDoc& doc, QWidget* parent = nullptr);
  ~CSeqView() override;
  void OnUpdate(const SheetHint& hint) override;
  QSize sizeHint() const override { return {240, 150}; }

 private:
  void Refill();

  CDopegridDoc& doc_;
  bool filling_ = false;
};

class CSeqContentView final : public QListWidget, public SheetListener {
  Q_OBJECT

 public:
  explicit CSeqContentView(CDopegridDoc& doc, QWidget* parent = nullptr);
  ~CSeqContentView() override;
  void OnUpdate(const SheetHint& hint) override;
  QSize sizeHint() const override { return {240, 400}; }
  // What a drag of the chosen items carries (also for tests, which cannot run a real drag).
  QMimeData* mimeData(const QList<QListWidgetItem*>& items) const override;

 protected:
  QStringList mimeTypes() const override;

 private:
  void Refill();
  void NoteSelection();

  CDopegridDoc& doc_;
  bool filling_ = false;
};

}  // namespace quenda
