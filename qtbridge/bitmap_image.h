// Bitmap32 <-> QImage.
#pragma once

#include <QByteArray>
#include <QImage>

#include "cliplib/bitmap32.h"

namespace varsk {

// A Format_RGB32 copy of the bitmap (0x00RRGGBB is RGB32's own pixel order).
QImage ToQImage(const Bitmap32& bitmap);

// The image as the bytes of a PNG file (written by the file layer), or empty
// when it cannot be encoded.
QByteArray PngBytes(const QImage& image);

}  // namespace varsk
