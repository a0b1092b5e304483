// varsk-preview-sheet <namestringE.txt> <out.png> [<frames.png>]: draws every
// entry's sprite preview of the embedded data set, and the icon strip, into
// one picture; optionally also every frame of every animation set, drawn with
// the first sprite that uses the set, for checking the art.
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <cstdio>
#include <exception>
#include <memory>
#include <span>
#include <stdexcept>

#include "base/file_io.h"
#include "base/messages.h"
#include "cliplib/cliplib.h"
#include "data/data_set.h"
#include "data/embedded_data_set.h"
#include "data/name_list.h"
#include "graphics/anim_set.h"
#include "qtbridge/bitmap_image.h"
#include "qtbridge/preview_sheet.h"
#include "qtbridge/qt_start.h"

namespace {

constexpr uint32_t kBackground = 0x00F0F0F0;  // a light grey like the window's button face

QImage RenderFrameSheet(const varsk::DataSet& ds, const varsk::AnimSetTable& table) {
  using namespace varsk;
  constexpr int kCellW = 132, kCellH = 84;
  QImage sheet(8 + 14 * kCellW, 8 + 51 * kCellH, QImage::Format_RGB32);
  sheet.fill(QColor(0xF0, 0xF0, 0xF0));
  QPainter painter(&sheet);
  Bitmap32 frame(128, 80);
  for (int set = 1; set <= 51; ++set) {
    int sprite = 0;
    for (int s = 1; s < kSpriteInfoSlots && sprite == 0; ++s) {
      if (ds.spriteInfos[static_cast<size_t>(s)].animSet == set) sprite = s;
    }
    const AnimSetEntry* entry = table.Find(set);
    if (sprite == 0 || entry == nullptr) continue;
    const int palette = sprite <= ds.msCount + ds.shipCount ? sprite - 1 : 0;
    for (int f = 1; f <= entry->frameCount; ++f) {
      const ClipRecord& clip = *ds.Clip(entry->clipNumber[static_cast<size_t>(f - 1)]);
      frame.Fill(kBackground);
      DrawClip(64 - 4 * clip.cols, 40 - 4 * clip.rows,
               ds.spriteSheets[static_cast<size_t>(sprite)].bytes,
               ds.entryPalettes[static_cast<size_t>(palette)], clip,
               entry->tileBase[static_cast<size_t>(f - 1)], frame);
      painter.drawImage(8 + (f - 1) * kCellW, 8 + (set - 1) * kCellH, ToQImage(frame));
    }
  }
  return sheet;
}

// Writes `image` as a PNG file through the file layer.
void SavePng(const QImage& image, const char* path) {
  const QByteArray png = varsk::PngBytes(image);
  if (png.isEmpty()) throw std::runtime_error("the PNG image could not be made");
  varsk::ReplaceFile(path, std::span(reinterpret_cast<const uint8_t*>(png.constData()),
                                     static_cast<size_t>(png.size())));
}

}  // namespace

int main(int argc, char** argv) {
  varsk::PrepareProcessForFiles();
  // The sheets are drawn into images, never shown: no display is needed, and
  // one that cannot be reached is never tried.
  qputenv("QT_QPA_PLATFORM", "offscreen");
  int qtArgc = 1;
  varsk::QtStartGuard start("varsk-preview-sheet", varsk::DrawingCannotStartMessage());
  QGuiApplication app(qtArgc, argv);
  start.End();
  if (argc != 3 && argc != 4) {
    std::fprintf(stderr, "usage: varsk-preview-sheet <namestringE.txt> <out.png> [<frames.png>]\n");
    return 2;
  }
  try {
    using namespace varsk;
    RegisterEmbeddedDataSet();
    auto dataSet = std::make_unique<DataSet>();
    LoadDataSet(*dataSet);
    auto table = std::make_unique<AnimSetTable>();
    BuildAnimSetTable(*table);
    const NameList names = LoadNameList(argv[1]);
    SavePng(RenderPreviewSheet(*dataSet, *table, &names, kBackground), argv[2]);
    if (argc == 4) SavePng(RenderFrameSheet(*dataSet, *table), argv[3]);
  } catch (const std::exception& error) {
    std::fprintf(stderr, "varsk-preview-sheet: %s\n", error.what());
    return 1;
  }
  return 0;
}
