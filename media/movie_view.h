#pragma once
// The movie area of the player: the frame rectangle (the picture plus a one-pixel border), at
// its own size or doubled, with the current picture centred in it.

#include <QImage>
#include <QWidget>

namespace quenda {

class MovieView final : public QWidget {
  Q_OBJECT
 public:
  MovieView(int pictureWidth, int pictureHeight, QWidget* parent = nullptr);

  void SetZoom(int zoom);  // 1 or 2
  int zoom() const { return zoom_; }
  // Takes a width x height x 3 picture, blue green red with rows bottom first.
  void ShowPicture(const uint8_t* bgrBottomUp);
  const QImage& picture() const { return picture_; }

  QSize sizeHint() const override;
  QSize minimumSizeHint() const override { return sizeHint(); }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  int width_;
  int height_;
  int zoom_ = 1;
  QImage picture_;
};

}  // namespace quenda
