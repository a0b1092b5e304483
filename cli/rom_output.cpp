#include "cli/rom_output.h"

#include <algorithm>
#include <array>

#include "cli/cli_common.h"
#include "data/file_io.h"
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

void StoreRomTables(const std::string& romPath, const std::string& outPath, const DataSet& before,
                    const DataSet& after) {
  if (outPath.empty()) {
    // Merged into the tables as they are when the lock is held, so that a
    // change another program saved meanwhile is kept.
    UpdateRomTables(romPath, [&](RomBuffers& tables) { MergeChangedBytes(before, after, tables); });
    return;
  }
  // The copy is the ROM as it is now with the changes merged into its tables.
  const std::vector<uint8_t> image = ReadWholeFile(romPath, FileKind::RomImage);
  if (image.size() < static_cast<size_t>(kRomTablesEnd)) {
    Fail(QString::fromStdString(
        RomTooShortMessage(FullPath(romPath), static_cast<int64_t>(image.size()), kRomTablesEnd)));
  }
  RomBuffers tables;
  std::copy_n(image.begin() + kMsTableOffset, kMsTableBytes, tables.ms.begin());
  std::copy_n(image.begin() + kShipTableOffset, kShipTableBytes, tables.ship.begin());
  MergeChangedBytes(before, after, tables);
  const std::span<const uint8_t> whole(image);
  const std::span<const uint8_t> pieces[] = {
      whole.first(kMsTableOffset),
      tables.ms,
      tables.ship,
      whole.subspan(kRomTablesEnd),
  };
  ReplaceFile(outPath, pieces);
}

}  // namespace varsk::cli
