// varsk-preview-sheet <namestringE.txt> <out.png>: draws every entry's sprite
// preview of the embedded data set, and the icon strip, into one picture.
#include <QGuiApplication>
#include <QImage>
#include <cstdio>
#include <exception>
#include <memory>

#include "data/data_set.h"
#include "data/embedded_data_set.h"
#include "data/name_list.h"
#include "graphics/anim_set.h"
#include "qtbridge/preview_sheet.h"

int main(int argc, char** argv) {
  QGuiApplication app(argc, argv);
  if (argc != 3) {
    std::fprintf(stderr, "usage: varsk-preview-sheet <namestringE.txt> <out.png>\n");
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
    // A light grey like the window's button face.
    const QImage sheet = RenderPreviewSheet(*dataSet, *table, &names, 0x00F0F0F0);
    if (!sheet.save(QString::fromLocal8Bit(argv[2]), "PNG")) {
      std::fprintf(stderr, "varsk-preview-sheet: cannot write %s\n", argv[2]);
      return 1;
    }
  } catch (const std::exception& error) {
    std::fprintf(stderr, "varsk-preview-sheet: %s\n", error.what());
    return 1;
  }
  return 0;
}
