// The preview sheet: the icon strip, then every entry's sprite preview drawn
// exactly as the window draws it (DrawEntryPreview into a 128 x 80 buffer),
// eight to a row, each labelled with its number and English name.
#include "qtbridge/preview_sheet.h"

#include <QFont>
#include <QFontMetrics>
#include <QPainter>
#include <QString>

#include "cliplib/bitmap32.h"
#include "graphics/preview.h"
#include "qtbridge/bitmap_image.h"
#include "qtbridge/name_text.h"

namespace varsk {
namespace {

constexpr int kColumns = 8;
constexpr int kGap = 8;
constexpr int kLabelHeight = 14;
constexpr int kIconZoom = 3;
constexpr int kHeaderHeight = 40 + kIconZoom * kIconStripHeight + 14;

QColor Pixel(uint32_t rgb) { return QColor::fromRgb(rgb | 0xFF000000u); }

}  // namespace

QImage RenderPreviewSheet(const DataSet& dataSet, const AnimSetTable& table, const NameList* namesE,
                          uint32_t background) {
  const int cellWidth = kSpritePreviewWidth + kGap;
  const int cellHeight = kSpritePreviewHeight + kLabelHeight + kGap;
  const int rows = (kEntryListCount + kColumns - 1) / kColumns;
  const int width = kGap + kColumns * cellWidth;
  const int height = kHeaderHeight + rows * cellHeight + kGap;
  QImage sheet(width, height, QImage::Format_RGB32);
  sheet.fill(Pixel(background));

  QPainter painter(&sheet);
  QFont font(QStringLiteral("DejaVu Sans"));
  font.setPixelSize(10);
  painter.setFont(font);
  const QFontMetrics metrics(font);
  const QColor ink = qGray(background) < 128 ? QColor(230, 230, 230) : QColor(24, 24, 32);
  painter.setPen(ink);

  Bitmap32 icons(kIconStripWidth, kIconStripHeight);
  DrawIconStrip(dataSet, background, icons);
  painter.drawText(kGap, kGap + 10, QStringLiteral("Faction icons (bits 0-12)"));
  painter.drawImage(kGap, kGap + 16, ToQImage(icons));
  // The same strip enlarged, each icon numbered with its faction bit.
  const int zoomX = kGap + kIconStripWidth + 24;
  painter.drawImage(
      QRect(zoomX, kGap + 16, kIconStripWidth * kIconZoom, kIconStripHeight * kIconZoom),
      ToQImage(icons));
  for (int i = 0; i < 13; ++i) {
    painter.drawText(QRect(zoomX + i * 16 * kIconZoom, kGap + 18 + kIconStripHeight * kIconZoom,
                           16 * kIconZoom, 12),
                     Qt::AlignHCenter, QString::number(i));
  }

  Bitmap32 preview(kSpritePreviewWidth, kSpritePreviewHeight);
  for (int position = 0; position < kEntryListCount; ++position) {
    const int x = kGap + (position % kColumns) * cellWidth;
    const int y = kHeaderHeight + (position / kColumns) * cellHeight;
    DrawEntryPreview(dataSet, table, position, background, preview);
    painter.drawImage(x, y, ToQImage(preview));
    QString label = QString::fromLatin1(ThreeDigitNumber(position + 1).c_str());
    if (namesE != nullptr && position < static_cast<int>(namesE->size())) {
      label += QLatin1Char(' ') +
               DecodeNameLine((*namesE)[static_cast<size_t>(position)], NameListLanguage::E);
    }
    painter.drawText(x, y + kSpritePreviewHeight + 11,
                     metrics.elidedText(label, Qt::ElideRight, kSpritePreviewWidth));
  }
  painter.end();
  return sheet;
}

}  // namespace varsk
