// Bitmap32 -> QImage: the pixel order 0x00RRGGBB is RGB32's own; only the top
// byte differs (RGB32 keeps it at 0xFF).
#include "qtbridge/bitmap_image.h"

#include <QBuffer>
#include <algorithm>

namespace varsk {

QImage ToQImage(const Bitmap32& bitmap) {
  if (bitmap.width <= 0 || bitmap.height <= 0 ||
      bitmap.pixels.size() <
          static_cast<size_t>(bitmap.width) * static_cast<size_t>(bitmap.height)) {
    return {};
  }
  QImage image(bitmap.width, bitmap.height, QImage::Format_RGB32);
  for (int y = 0; y < bitmap.height; ++y) {
    const uint32_t* from = bitmap.pixels.data() + static_cast<size_t>(y) * bitmap.width;
    auto* to = reinterpret_cast<uint32_t*>(image.scanLine(y));
    std::transform(from, from + bitmap.width, to, [](uint32_t p) { return p | 0xFF000000u; });
  }
  return image;
}

QByteArray PngBytes(const QImage& image) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  if (!image.save(&buffer, "PNG")) bytes.clear();
  return bytes;
}

}  // namespace varsk
