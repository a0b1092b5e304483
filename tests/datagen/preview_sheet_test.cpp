// The preview sheet shows each entry's preview and the icon strip pixel for
// pixel as the window draws them; ToQImage keeps every colour.
#include "qtbridge/preview_sheet.h"

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QImage>
#include <memory>

#include "data/data_set.h"
#include "data/embedded_data_set.h"
#include "graphics/anim_set.h"
#include "graphics/preview.h"
#include "qtbridge/bitmap_image.h"

namespace varsk {
namespace {

constexpr uint32_t kBackground = 0x00D4D0C8;

class PreviewSheet : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    static int argc = 1;
    static char name[] = "preview_sheet_test";
    static char* argv[] = {name, nullptr};
    if (QGuiApplication::instance() == nullptr) app_ = new QGuiApplication(argc, argv);
    RegisterEmbeddedDataSet();
    data_ = std::make_unique<DataSet>().release();
    LoadDataSet(*data_);
    table_ = new AnimSetTable;
    BuildAnimSetTable(*table_);
    sheet_ = new QImage(RenderPreviewSheet(*data_, *table_, nullptr, kBackground));
  }
  static void TearDownTestSuite() {
    delete sheet_;
    delete table_;
    delete data_;
  }
  // True when the sheet shows `bitmap` with its top-left pixel at (x, y).
  static ::testing::AssertionResult ShowsAt(const Bitmap32& bitmap, int x, int y) {
    for (int by = 0; by < bitmap.height; ++by) {
      for (int bx = 0; bx < bitmap.width; ++bx) {
        const uint32_t want = bitmap.At(bx, by) | 0xFF000000u;
        const uint32_t got = sheet_->pixel(x + bx, y + by);
        if (got != want) {
          return ::testing::AssertionFailure()
                 << "pixel " << bx << "," << by << " is " << std::hex << got << " not " << want;
        }
      }
    }
    return ::testing::AssertionSuccess();
  }
  static QGuiApplication* app_;
  static DataSet* data_;
  static AnimSetTable* table_;
  static QImage* sheet_;
};
QGuiApplication* PreviewSheet::app_ = nullptr;
DataSet* PreviewSheet::data_ = nullptr;
AnimSetTable* PreviewSheet::table_ = nullptr;
QImage* PreviewSheet::sheet_ = nullptr;

TEST_F(PreviewSheet, ShowsEveryPreviewAsTheWindowDrawsIt) {
  ASSERT_FALSE(sheet_->isNull());
  // Eight previews of 128 x 80 to a row, 136 apart; 29 rows of 102 below the header.
  EXPECT_EQ(sheet_->width(), 8 + 8 * 136);
  Bitmap32 preview(128, 80);
  for (int position : {0, 1, 182, 191, 207, 228}) {
    DrawEntryPreview(*data_, *table_, position, kBackground, preview);
    const int header = sheet_->height() - 8 - 29 * 102;
    EXPECT_TRUE(ShowsAt(preview, 8 + (position % 8) * 136, header + (position / 8) * 102))
        << "entry " << position + 1;
  }
  Bitmap32 icons(208, 24);
  DrawIconStrip(*data_, kBackground, icons);
  EXPECT_TRUE(ShowsAt(icons, 8, 24));
}

TEST(ToQImage, KeepsEveryColourAndRejectsAShortBuffer) {
  Bitmap32 bitmap(3, 2);
  bitmap.pixels = {0x00000000, 0x00F80000, 0x0000F800, 0x000000F8, 0x00123456, 0x00FFFFFF};
  const QImage image = ToQImage(bitmap);
  ASSERT_EQ(image.width(), 3);
  ASSERT_EQ(image.height(), 2);
  for (int y = 0; y < 2; ++y) {
    for (int x = 0; x < 3; ++x) EXPECT_EQ(image.pixel(x, y), bitmap.At(x, y) | 0xFF000000u);
  }
  Bitmap32 broken(4, 4);
  broken.pixels.resize(3);
  EXPECT_TRUE(ToQImage(broken).isNull());
  EXPECT_TRUE(ToQImage(Bitmap32{}).isNull());
}

}  // namespace
}  // namespace varsk
