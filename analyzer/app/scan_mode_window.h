#pragma once
// The analyzer's own scan mode on Qt: "Quenda: Scan Sequence: Selection" (output folder, name,
// peg position) and "Quenda: Scanned image list", which shows the frames scanned so far as
// small pictures. SANE sources have no window of their own, so the list carries the source's
// Scan button; it also deletes a frame or gives it another number.

#include <QDialog>
#include <string>

#include "analyzer/core/scanned_frames.h"
#include "twain/picture_scan.h"

class QLabel;
class QLineEdit;
class QListWidget;

namespace quenda {

class PegButtons;

class ScanSelectionDialog final : public QDialog {
  Q_OBJECT

 public:
  explicit ScanSelectionDialog(Prompt& prompt, QWidget* parent = nullptr);

  std::string directory() const { return directory_; }
  std::string name() const;
  // The stored peg position of the button chosen.
  int pegPosition() const;

  QLineEdit* nameEdit() const { return name_; }
  PegButtons* pegButtons() const { return pegs_; }

 public slots:
  void accept() override;

 private:
  Prompt& prompt_;
  std::string directory_;
  QLabel* shownDirectory_;
  QLineEdit* name_;
  PegButtons* pegs_;
};

class ScannedImageList final : public QDialog {
  Q_OBJECT

 public:
  // `mode` must be entered and outlive the window.
  ScannedImageList(twain::AnalyzerScanMode& mode, ScannedFrames frames, Prompt& prompt,
                   QWidget* parent = nullptr);

  const ScannedFrames& frames() const { return frames_; }
  QListWidget* list() const { return list_; }

  // One image from the source into the next free number of the sequence, with STOP.
  void Scan();
  void DeleteSelected();
  void ChangeSelected();

 signals:
  // The scan mode ended by itself (a failed transfer) or the window was closed.
  void Ended();

 protected:
  void reject() override;

 private:
  void Refresh();

  twain::AnalyzerScanMode& mode_;
  ScannedFrames frames_;
  Prompt& prompt_;
  QListWidget* list_;
};

}  // namespace quenda
