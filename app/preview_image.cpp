#include "app/preview_image.h"

#include <QImage>
#include <QPainter>

namespace varsk {

PreviewImage::PreviewImage(int width, int height, QWidget* parent)
    : QWidget(parent), backBuffer_(width, height) {
  setFixedSize(width, height);
  // The buffer covers the whole control once drawn; no need to erase first.
  setAttribute(Qt::WA_OpaquePaintEvent, false);
}

void PreviewImage::ShowBuffer() {
  ++showCount_;
  update();
}

void PreviewImage::paintEvent(QPaintEvent* /*event*/) {
  if (showCount_ == 0 || backBuffer_.width <= 0 || backBuffer_.height <= 0) return;
  // 0x00RRGGBB words are QImage::Format_RGB32 pixels: wrap the buffer, no copy.
  const QImage image(reinterpret_cast<const uchar*>(backBuffer_.pixels.data()), backBuffer_.width,
                     backBuffer_.height, static_cast<qsizetype>(backBuffer_.width) * 4,
                     QImage::Format_RGB32);
  QPainter painter(this);
  painter.drawImage(QPoint(0, 0), image, QRect(0, 0, width(), height()));
}

}  // namespace varsk
