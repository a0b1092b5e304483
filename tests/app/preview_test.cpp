// The two previews in the window: when they are drawn, and what.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QDir>
#include <QImage>
#include <QPalette>
#include <QTest>
#include <QTimer>
#include <cstdlib>

#include "app/preview_image.h"
#include "editor_fixture.h"

namespace varsk::testing {
namespace {

// Golden pictures live in tests/app/golden. VARSK_REBASELINE=1 rewrites them
// from the current drawing; look at the new files before committing them.
void ExpectMatchesGolden(const Bitmap32& bitmap, const QString& name) {
  QImage actual(bitmap.width, bitmap.height, QImage::Format_RGB32);
  for (int y = 0; y < bitmap.height; ++y) {
    for (int x = 0; x < bitmap.width; ++x) actual.setPixel(x, y, bitmap.At(x, y));
  }
  const QString folder = QStringLiteral(VARSK_APP_TEST_SOURCE_DIR "/golden");
  const QString path = folder + u'/' + name;
  const char* rebaseline = std::getenv("VARSK_REBASELINE");
  if (rebaseline != nullptr && rebaseline[0] == '1') {
    QDir().mkpath(folder);
    ASSERT_TRUE(actual.save(path));
    return;
  }
  QImage golden(path);
  ASSERT_FALSE(golden.isNull()) << "missing golden image " << path.toStdString()
                                << " (run with VARSK_REBASELINE=1)";
  golden = golden.convertToFormat(QImage::Format_RGB32);
  ASSERT_EQ(golden.size(), actual.size());
  int differing = 0;
  for (int y = 0; y < golden.height(); ++y) {
    for (int x = 0; x < golden.width(); ++x) {
      if ((golden.pixel(x, y) & 0xFFFFFF) != (actual.pixel(x, y) & 0xFFFFFF)) ++differing;
    }
  }
  EXPECT_EQ(differing, 0) << name.toStdString();
}

uint32_t ButtonFacePixel(const TForm1& form) {
  return form.palette().color(QPalette::Button).rgb() & 0xFFFFFF;
}

using PreviewTest = EditorTest;

TEST_F(PreviewTest, TimerDrawsBothPicturesOnceAfterStartUp) {
  CreateWindow();
  EXPECT_EQ(form_->SpritePreviewImage->ShowCount(), 0);
  EXPECT_EQ(form_->IconStripImage->ShowCount(), 0);
  QTRY_VERIFY_WITH_TIMEOUT(!form_->Timer1->isActive(), 2000);
  QTest::qWait(250);  // the timer does not fire again
  EXPECT_EQ(form_->SpritePreviewImage->ShowCount(), 1);
  EXPECT_EQ(form_->IconStripImage->ShowCount(), 1);
  ExpectMatchesGolden(form_->SpritePreviewImage->BackBuffer(), QStringLiteral("entry_001.png"));
  ExpectMatchesGolden(form_->IconStripImage->BackBuffer(), QStringLiteral("icon_strip.png"));
  // Colour index 0 and the area outside the sprite show the button face.
  EXPECT_EQ(form_->IconStripImage->BackBuffer().At(0, 0) & 0xFFFFFF, ButtonFacePixel(*form_))
      << std::hex << form_->IconStripImage->BackBuffer().At(0, 0);
  EXPECT_EQ(form_->SpritePreviewImage->BackBuffer().At(0, 0), ButtonFacePixel(*form_));
}

TEST_F(PreviewTest, EveryUserSelectionRedrawsTheSprite) {
  TForm1::SetTimerStepManual(true);
  CreateWindow();
  TForm1::SetTimerStepManual(false);
  EXPECT_FALSE(form_->Timer1->isActive());
  ChooseEntry(1);
  EXPECT_EQ(form_->SpritePreviewImage->ShowCount(), 1);
  EXPECT_EQ(form_->IconStripImage->ShowCount(), 0);
  ExpectMatchesGolden(form_->SpritePreviewImage->BackBuffer(), QStringLiteral("entry_002.png"));
  ChooseEntry(3);  // the same kind of entry again
  EXPECT_EQ(form_->SpritePreviewImage->ShowCount(), 2);
  ChooseEntry(kMsEntryCount);
  EXPECT_EQ(form_->SpritePreviewImage->ShowCount(), 3);
  ExpectMatchesGolden(form_->SpritePreviewImage->BackBuffer(), QStringLiteral("entry_192.png"));
  // Apply and a program selection draw nothing; Auto modify shows the entry anew.
  form_->Guarded([this] { form_->Button1Click(); });
  form_->ComboBox2->setCurrentIndex(0);
  EXPECT_EQ(form_->SpritePreviewImage->ShowCount(), 3);
  form_->Guarded([this] { form_->Button4Click(); });
  EXPECT_EQ(form_->SpritePreviewImage->ShowCount(), 4);
}

TEST_F(PreviewTest, Label13ClickRedrawsTheIconStrip) {
  CreateWindow();
  QTest::mouseClick(form_->Label13, Qt::LeftButton);
  EXPECT_EQ(form_->IconStripImage->ShowCount(), 1);
  EXPECT_EQ(form_->SpritePreviewImage->ShowCount(), 0);
  ExpectMatchesGolden(form_->IconStripImage->BackBuffer(), QStringLiteral("icon_strip.png"));
}

TEST_F(PreviewTest, EntriesSharingASpriteUseTheirOwnPalettes) {
  CreateWindow();
  ASSERT_EQ(dataSet_->MsSlot(2)->spriteIndex, dataSet_->MsSlot(4)->spriteIndex);
  ChooseEntry(3);
  const Bitmap32 fourth = form_->SpritePreviewImage->BackBuffer();
  ChooseEntry(1);
  EXPECT_NE(form_->SpritePreviewImage->BackBuffer().pixels, fourth.pixels);
}

}  // namespace
}  // namespace varsk::testing
