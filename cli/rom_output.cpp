#include "cli/rom_output.h"

#include <QFile>
#include <algorithm>
#include <array>

#include "cli/cli_common.h"
#include "data/messages.h"
#include "data/rom_file.h"

namespace varsk::cli {

namespace {

// Copies the bytes where `oldImage` and `newImage` differ into `target`.
int CopyDifferences(std::span<const uint8_t> oldImage, std::span<const uint8_t> newImage,
                    std::span<uint8_t> target) {
  int changed = 0;
  for (size_t i = 0; i < newImage.size(); ++i) {
    if (oldImage[i] != newImage[i] && target[i] != newImage[i]) {
      target[i] = newImage[i];
      ++changed;
    }
  }
  return changed;
}

}  // namespace

int MergeChangedBytes(const DataSet& before, const DataSet& after, RomBuffers& buffers) {
  int changed = 0;
  for (int k = 1; k <= kRomMsEntryCount; ++k) {
    std::array<uint8_t, kRomMsEntrySize> oldImage{};
    std::array<uint8_t, kRomMsEntrySize> newImage{};
    PackMsEntry(*before.MsSlot(k), oldImage);
    PackMsEntry(*after.MsSlot(k), newImage);
    changed += CopyDifferences(
        oldImage, newImage,
        std::span(buffers.ms)
            .subspan(static_cast<size_t>(k - 1) * kRomMsEntrySize, kRomMsEntrySize));
  }
  for (int n = 1; n <= kRomShipEntryCount; ++n) {
    std::array<uint8_t, kRomShipEntrySize> oldImage{};
    std::array<uint8_t, kRomShipEntrySize> newImage{};
    PackShipEntry(*before.ShipSlot(n), oldImage);
    PackShipEntry(*after.ShipSlot(n), newImage);
    changed += CopyDifferences(
        oldImage, newImage,
        std::span(buffers.ship)
            .subspan(static_cast<size_t>(n - 1) * kRomShipEntrySize, kRomShipEntrySize));
  }
  return changed;
}

void StoreRomTables(const QString& romPath, const QString& outPath, const RomBuffers& buffers) {
  if (outPath.isEmpty()) {
    WriteRomTables(QFile::encodeName(romPath).toStdString(), buffers);
    return;
  }
  // The copy is written from the mapped ROM around the two new runs.
  const FileView rom(romPath);
  const QByteArray& image = rom.bytes();
  if (image.size() < kRomTablesEnd) {
    Fail(QString::fromStdString(
        RomTooShortMessage(FullPathOf(romPath).toStdString(), image.size(), kRomTablesEnd)));
  }
  const QByteArrayView pieces[] = {
      QByteArrayView(image.constData(), kMsTableOffset),
      QByteArrayView(reinterpret_cast<const char*>(buffers.ms.data()),
                     static_cast<qsizetype>(buffers.ms.size())),
      QByteArrayView(reinterpret_cast<const char*>(buffers.ship.data()),
                     static_cast<qsizetype>(buffers.ship.size())),
      QByteArrayView(image.constData() + kRomTablesEnd, image.size() - kRomTablesEnd),
  };
  WriteFileAtomically(outPath, pieces);
}

}  // namespace varsk::cli
