// The clip set export: every clip slot with cols != 0, in increasing clip
// number, as number, cols, rows and the tile, flip, dx and dy planes of its
// used cells. The file layer replaces the file whole or not at all.
#include "graphics/clip_export.h"

#include <algorithm>

#include "base/file_io.h"

namespace varsk {

namespace {

// Appends the used cells of one plane, row by row.
template <typename Cell>
void AppendPlane(std::vector<uint8_t>& out, const Cell (&plane)[kClipCells], int cols, int rows) {
  for (int r = 0; r < rows; ++r)
    for (int c = 0; c < cols; ++c)
      out.push_back(static_cast<uint8_t>(plane[r * kClipGridSide + c]));
}

}  // namespace

std::vector<uint8_t> EncodeClipSet(const DataSet& dataSet) {
  std::vector<uint8_t> out;
  for (int number = 1; number <= kClipSlots; ++number) {
    const ClipRecord& clip = dataSet.clips[static_cast<size_t>(number - 1)];
    if (clip.cols == 0) continue;
    // A grid is at most 16 x 16 cells; larger counts would read past the planes.
    const int cols = std::min<int>(clip.cols, kClipGridSide);
    const int rows = std::min<int>(clip.rows, kClipGridSide);
    out.push_back(static_cast<uint8_t>(number & 0xFF));
    out.push_back(static_cast<uint8_t>(cols));
    out.push_back(static_cast<uint8_t>(rows));
    AppendPlane(out, clip.tile, cols, rows);
    AppendPlane(out, clip.flip, cols, rows);
    AppendPlane(out, clip.dx, cols, rows);
    AppendPlane(out, clip.dy, cols, rows);
  }
  return out;
}

void SaveClipSet(const DataSet& dataSet, const std::string& path) {
  ReplaceFile(path, EncodeClipSet(dataSet));
}

}  // namespace varsk
