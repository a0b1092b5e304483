// The image control of the two previews: it owns a Bitmap32 back buffer that
// the window draws into, and every paint shows the buffer one to one as it was
// when last put on the screen. Until then it shows nothing but the window
// behind it.
#pragma once

#include <QImage>
#include <QWidget>

#include "cliplib/bitmap32.h"

namespace varsk {

class PreviewImage final : public QWidget {
 public:
  PreviewImage(int width, int height, QWidget* parent);

  Bitmap32& BackBuffer() { return backBuffer_; }
  const Bitmap32& BackBuffer() const { return backBuffer_; }
  // Puts the back buffer on the screen (it stays there on every repaint).
  void ShowBuffer();
  bool HasPicture() const { return showCount_ > 0; }
  // How many times the buffer was put on the screen.
  int ShowCount() const { return showCount_; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  Bitmap32 backBuffer_;
  QImage shown_;  // the buffer as last put on the screen, opaque
  int showCount_ = 0;
};

}  // namespace varsk
