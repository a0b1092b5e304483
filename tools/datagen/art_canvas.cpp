// The pixel canvas and its shapes.
#include <algorithm>
#include <cstdlib>

#include "art.h"

namespace varsk::datagen {

Canvas::Canvas(int width, int height)
    : width_(width), height_(height), pixels_(static_cast<size_t>(width * height), kClear) {}

uint8_t Canvas::At(int x, int y) const {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return kClear;
  return pixels_[static_cast<size_t>(y * width_ + x)];
}

void Canvas::Set(int x, int y, uint8_t ink) {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
  pixels_[static_cast<size_t>(y * width_ + x)] = ink;
}

void Canvas::FillMask(const std::vector<uint8_t>& mask, const Material& m, bool outline) {
  auto in = [&](int x, int y) {
    return x >= 0 && y >= 0 && x < width_ && y < height_ &&
           mask[static_cast<size_t>(y * width_ + x)];
  };
  // Bounding box, for the shading bands.
  int minX = width_, minY = height_, maxX = -1, maxY = -1;
  for (int y = 0; y < height_; ++y) {
    for (int x = 0; x < width_; ++x) {
      if (!in(x, y)) continue;
      minX = std::min(minX, x);
      maxX = std::max(maxX, x);
      minY = std::min(minY, y);
      maxY = std::max(maxY, y);
    }
  }
  if (maxX < 0) return;
  for (int y = minY; y <= maxY; ++y) {
    for (int x = minX; x <= maxX; ++x) {
      if (!in(x, y)) continue;
      const bool edge = !in(x - 1, y) || !in(x + 1, y) || !in(x, y - 1) || !in(x, y + 1);
      if (outline && edge) {
        Set(x, y, kOutline);
        continue;
      }
      // Light from the upper left: the pixels just inside the upper and left
      // edges are lit, those along the lower and right edges are in shadow.
      const int o = outline ? 1 : 0;
      const bool nearTop = !in(x, y - 1 - o);
      const bool nearLeft = !in(x - 1 - o, y);
      const bool nearBottom = !in(x, y + 1 + o) || !in(x, y + 2 + o);
      const bool nearRight = !in(x + 1 + o, y);
      int level = 1;
      const int w = maxX - minX + 1;
      if (w >= 6 && w <= 24 && x - minX < w / 3) level = 2;
      if (nearBottom || nearRight) level = 0;
      if (nearTop || nearLeft) level = 3;
      if ((nearTop && nearRight) || (nearLeft && nearBottom)) level = 1;
      Set(x, y, m.shade[level]);
    }
  }
}

void Canvas::Box(int x0, int y0, int x1, int y1, const Material& m, bool outline) {
  if (x0 > x1) std::swap(x0, x1);
  if (y0 > y1) std::swap(y0, y1);
  std::vector<uint8_t> mask(static_cast<size_t>(width_ * height_), 0);
  for (int y = std::max(y0, 0); y <= std::min(y1, height_ - 1); ++y) {
    for (int x = std::max(x0, 0); x <= std::min(x1, width_ - 1); ++x) {
      mask[static_cast<size_t>(y * width_ + x)] = 1;
    }
  }
  FillMask(mask, m, outline);
}

void Canvas::Ellipse(int cx2, int cy2, int rx2, int ry2, const Material& m, bool outline) {
  std::vector<uint8_t> mask(static_cast<size_t>(width_ * height_), 0);
  const int64_t rx = std::max(rx2, 1), ry = std::max(ry2, 1);
  for (int y = 0; y < height_; ++y) {
    for (int x = 0; x < width_; ++x) {
      const int64_t dx = 2 * x + 1 - cx2, dy = 2 * y + 1 - cy2;
      if (dx * dx * ry * ry + dy * dy * rx * rx <= rx * rx * ry * ry) {
        mask[static_cast<size_t>(y * width_ + x)] = 1;
      }
    }
  }
  FillMask(mask, m, outline);
}

void Canvas::Polygon(const std::vector<int>& xy, const Material& m, bool outline) {
  std::vector<uint8_t> mask(static_cast<size_t>(width_ * height_), 0);
  const size_t n = xy.size() / 2;
  for (int y = 0; y < height_; ++y) {
    for (int x = 0; x < width_; ++x) {
      // Pixel centre inside a convex polygon of either winding (doubled coordinates).
      const int64_t px = 2 * x + 1, py = 2 * y + 1;
      bool pos = false, neg = false;
      for (size_t i = 0; i < n; ++i) {
        const int64_t ax = 2 * xy[2 * i], ay = 2 * xy[2 * i + 1];
        const int64_t bx = 2 * xy[2 * ((i + 1) % n)], by = 2 * xy[2 * ((i + 1) % n) + 1];
        const int64_t cross = (bx - ax) * (py - ay) - (by - ay) * (px - ax);
        if (cross > 0) pos = true;
        if (cross < 0) neg = true;
      }
      if (!(pos && neg)) mask[static_cast<size_t>(y * width_ + x)] = 1;
    }
  }
  FillMask(mask, m, outline);
}

void Canvas::Line(int x0, int y0, int x1, int y1, uint8_t ink) {
  const int dx = std::abs(x1 - x0), dy = -std::abs(y1 - y0);
  const int sx = x0 < x1 ? 1 : -1, sy = y0 < y1 ? 1 : -1;
  int err = dx + dy;
  for (;;) {
    Set(x0, y0, ink);
    if (x0 == x1 && y0 == y1) break;
    const int e2 = 2 * err;
    if (e2 >= dy) {
      err += dy;
      x0 += sx;
    }
    if (e2 <= dx) {
      err += dx;
      y0 += sy;
    }
  }
}

void Canvas::OutlineAll() {
  std::vector<uint8_t> out = pixels_;
  for (int y = 0; y < height_; ++y) {
    for (int x = 0; x < width_; ++x) {
      if (At(x, y) != kClear) continue;
      if (At(x - 1, y) > kOutline || At(x + 1, y) > kOutline || At(x, y - 1) > kOutline ||
          At(x, y + 1) > kOutline) {
        out[static_cast<size_t>(y * width_ + x)] = kOutline;
      }
    }
  }
  pixels_ = out;
}

void Canvas::MirrorLeftToRight() {
  for (int y = 0; y < height_; ++y) {
    for (int x = 0; x < width_ / 2; ++x) Set(width_ - 1 - x, y, At(x, y));
  }
}

void Canvas::FlipHorizontal() {
  for (int y = 0; y < height_; ++y) {
    for (int x = 0; x < width_ / 2; ++x) {
      const uint8_t a = At(x, y);
      Set(x, y, At(width_ - 1 - x, y));
      Set(width_ - 1 - x, y, a);
    }
  }
}

void WriteFrameTiles(const Canvas& canvas, int clipNumber, int32_t tileBase, TileSheet& sheet) {
  const ClipRecord clip = MakeClipRecord(clipNumber);
  for (int r = 0; r < clip.rows; ++r) {
    for (int c = 0; c < clip.cols; ++c) {
      const int k = r * kClipGridSide + c;
      if (clip.tile[k] == 0) continue;
      const int tile = tileBase + clip.tile[k] - 1;
      if (tile < 0 || tile >= kTilesPerSheet) continue;
      const int px = 8 * c + clip.dx[k];
      const int py = 8 * r + clip.dy[k];
      uint8_t* bytes = sheet.bytes + tile * kTileBytes;
      for (int y = 0; y < 8; ++y) {
        for (int x = 0; x < 8; ++x) {
          // The renderer puts tile pixel (x, y) at (x', y') of the cell.
          const int f = clip.flip[k];
          const int xs = (f == 1 || f == 3) ? 7 - x : x;
          const int ys = (f == 2 || f == 3) ? 7 - y : y;
          const uint8_t ink = canvas.At(px + xs, py + ys);
          uint8_t& b = bytes[y * 4 + x / 2];
          b = (x % 2 == 0) ? static_cast<uint8_t>((b & 0x0F) | (ink << 4))
                           : static_cast<uint8_t>((b & 0xF0) | ink);
        }
      }
    }
  }
}

}  // namespace varsk::datagen
