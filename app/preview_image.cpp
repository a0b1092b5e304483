#include "app/preview_image.h"

#include <QPainter>

#include "qtbridge/bitmap_image.h"

namespace varsk {

PreviewImage::PreviewImage(int width, int height, QWidget* parent)
    : QWidget(parent), backBuffer_(width, height) {
  setFixedSize(width, height);
  // The buffer covers the whole control once drawn; no need to erase first.
  setAttribute(Qt::WA_OpaquePaintEvent, false);
}

void PreviewImage::ShowBuffer() {
  ++showCount_;
  // The buffer's 0x00RRGGBB words become opaque pixels: a compositor takes the
  // top byte of the window's pixels as their alpha.
  shown_ = ToQImage(backBuffer_);
  update();
}

void PreviewImage::paintEvent(QPaintEvent* /*event*/) {
  if (shown_.isNull()) return;
  QPainter painter(this);
  painter.drawImage(QPoint(0, 0), shown_, QRect(0, 0, width(), height()));
}

}  // namespace varsk
