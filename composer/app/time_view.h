#pragma once
// The timeline: a time axis strip, one row per clip in layer order with its label, the frames it
// shows and its key marks, and the frame cursor. Pressing in the strip moves the current frame;
// pressing on a row selects its clip, and on the selected sequence clip's row drags it in time.

#include <QAbstractScrollArea>

#include "composer/core/composer_doc.h"

namespace quenda {

class CTimeView final : public QAbstractScrollArea, public ComposerListener {
  Q_OBJECT

 public:
  explicit CTimeView(CComposerDoc& doc, QWidget* parent = nullptr);
  ~CTimeView() override;

  void OnUpdate(const ComposerHint& hint) override;
  int firstVisibleFrame() const;
  int firstVisibleRow() const;
  // Viewport positions: the left edge of a frame's column, the row of a clip, the strip.
  int FrameX(int frame) const;
  QRect RowRect(int clip) const;
  QPoint KeyMark(int clip, int frame) const {
    return {FrameX(frame) + zoom() / 2, RowRect(clip).center().y()};
  }

 signals:
  // A double click on a key mark of the selected clip.
  void EditKeyRequested();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;

 private:
  int zoom() const;
  int RowAt(int y) const;
  int VisibleFrames() const;
  void UpdateScrollBars();

  CComposerDoc& doc_;
  enum class Press { None, Strip, Clip } press_ = Press::None;
  int dragClip_ = -1;
  int grabOffset_ = 0;
  bool moved_ = false;
};

}  // namespace quenda
