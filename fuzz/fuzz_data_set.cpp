// The data set loader and every drawing path behind it: the input is a
// resource stream for LoadDataSetFromBytes. The loaded tables must equal a
// plain reference reading of the format (counts and element sizes clamped to
// the capacities and strides, the excess skipped, a short stream delivering
// what is there); then the sprite preview of every list position, the icon
// strip and the clip set export run on whatever was loaded.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <memory>
#include <vector>

#include "base/messages.h"
#include "cliplib/bitmap32.h"
#include "data/data_set.h"
#include "fuzz/fuzz_support.h"
#include "graphics/anim_set.h"
#include "graphics/clip_export.h"
#include "graphics/preview.h"

using varsk::DataSet;

namespace {

// Not a converted colour (those keep the low three bits of each channel and the
// top byte zero), so every pixel is either this or a palette colour.
constexpr uint32_t kBackground = 0x00010203;

// Pixel checks run 50,000 times per input: kept out of the coverage
// instrumentation, which would otherwise cost more than the drawing.
#define VARSK_UNINSTRUMENTED __attribute__((no_sanitize("coverage", "address")))

// Raw pointers: library templates would not be inlined into these functions.
VARSK_UNINSTRUMENTED bool OnlyDrawnPixels(const uint32_t* pixels, size_t count) {
  uint32_t stray = 0;
  for (size_t i = 0; i < count; ++i) {
    stray |= (pixels[i] & 0xFF070707u) & -static_cast<uint32_t>(pixels[i] != kBackground);
  }
  return stray == 0;
}

VARSK_UNINSTRUMENTED bool OnlyBackground(const uint32_t* pixels, size_t count) {
  uint32_t difference = 0;
  for (size_t i = 0; i < count; ++i) difference |= pixels[i] ^ kBackground;
  return difference == 0;
}

bool OnlyDrawnPixels(const varsk::Bitmap32& bitmap) {
  return OnlyDrawnPixels(bitmap.pixels.data(), bitmap.pixels.size());
}
bool OnlyBackground(const varsk::Bitmap32& bitmap) {
  return OnlyBackground(bitmap.pixels.data(), bitmap.pixels.size());
}

class ReferenceStream {
 public:
  ReferenceStream(const uint8_t* data, size_t size) : data_(data), size_(size) {}

  // Up to `count` bytes into `to`; what the stream does not hold is left alone.
  void Read(uint8_t* to, uint64_t count) {
    const uint64_t n = std::min<uint64_t>(count, size_ - pos_);
    std::memcpy(to, data_ + pos_, n);
    pos_ += n;
  }
  void Skip(uint64_t count) { pos_ += std::min<uint64_t>(count, size_ - pos_); }
  int32_t Int32(int32_t previous) {
    Read(reinterpret_cast<uint8_t*>(&previous), 4);
    return previous;
  }

 private:
  const uint8_t* data_;
  size_t size_;
  uint64_t pos_ = 0;
};

// One table: `count` elements of `elementSize` bytes to slots of `stride`.
// Tables 4 to 9 take elements no larger than the stride in one piece.
int32_t ReferenceTable(ReferenceStream& in, void* table, uint64_t stride, uint64_t capacity,
                       bool onePiece, int32_t previousCount) {
  const int32_t count = in.Int32(previousCount);
  const int32_t elementSize = in.Int32(0);
  const uint64_t n = count > 0 ? static_cast<uint64_t>(count) : 0;
  const uint64_t size = elementSize > 0 ? static_cast<uint64_t>(elementSize) : 0;
  const uint64_t kept = std::min(n, capacity);
  auto* bytes = static_cast<uint8_t*>(table);
  if (onePiece && size <= stride) {
    in.Read(bytes, kept * size);
  } else {
    for (uint64_t i = 0; i < kept; ++i) {
      in.Read(bytes + i * stride, std::min(size, stride));
      in.Skip(size - std::min(size, stride));
    }
  }
  in.Skip((n - kept) * size);
  return count;
}

void ReferenceLoad(DataSet& d, const uint8_t* data, size_t size) {
  ReferenceStream in(data, size);
  in.Int32(0);
  const int32_t ms = ReferenceTable(in, d.msRecords.data(), sizeof(varsk::MsRecord),
                                    varsk::kMsSlots, false, d.msCount);
  d.msCount = std::clamp(ms, 0, varsk::kMsSlots);
  const int32_t ships = ReferenceTable(in, d.shipRecords.data(), sizeof(varsk::ShipRecord),
                                       varsk::kShipSlots, false, d.shipCount);
  d.shipCount = std::clamp(ships, 0, varsk::kShipSlots);
  ReferenceTable(in, d.clips.data(), sizeof(varsk::ClipRecord), varsk::kClipSlots, false, 0);
  ReferenceTable(in, d.entryPalettes.data(), 32, varsk::kEntryPaletteSlots, true, 0);
  ReferenceTable(in, d.iconPalettes.data(), 32, varsk::kIconPaletteSlots, true, 0);
  ReferenceTable(in, &d.iconSheet, 8192, varsk::kIconSheetSlots, true, 0);
  ReferenceTable(in, d.spareSheets.data(), 8192, varsk::kSpareSheetSlots, true, 0);
  ReferenceTable(in, d.spriteInfos.data(), 9, varsk::kSpriteInfoSlots, true, 0);
  ReferenceTable(in, d.spriteSheets.data(), 8192, varsk::kSpriteSheetSlots, true, 0);
}

// The export, read back record by record: clip numbers rising, at most 16 x 16
// cells, and each plane equal to the used corner of that clip.
void CheckClipSet(const DataSet& d, const std::vector<uint8_t>& file) {
  size_t pos = 0;
  int lastClip = 0;
  int records = 0;
  for (; pos < file.size(); ++records) {
    FUZZ_CHECK(file.size() - pos >= 3);
    const int number = file[pos];
    const int cols = file[pos + 1];
    const int rows = file[pos + 2];
    pos += 3;
    // Numbers rise; slot 256 is written as 0.
    int clip = number == 0 ? 256 : number;
    FUZZ_CHECK(clip > lastClip);
    lastClip = clip;
    FUZZ_CHECK(cols >= 1 && cols <= 16 && rows <= 16);
    const varsk::ClipRecord& record = *d.Clip(clip);
    FUZZ_CHECK(record.cols != 0);
    const size_t cells = static_cast<size_t>(cols * rows);
    FUZZ_CHECK(file.size() - pos >= 4 * cells);
    const uint8_t* planes[4] = {record.tile, record.flip,
                                reinterpret_cast<const uint8_t*>(record.dx),
                                reinterpret_cast<const uint8_t*>(record.dy)};
    for (const uint8_t* plane : planes) {
      for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < cols; ++c) FUZZ_CHECK(file[pos++] == plane[r * 16 + c]);
      }
    }
  }
  // Every non-empty slot has its record.
  int nonEmpty = 0;
  for (const varsk::ClipRecord& record : d.clips) nonEmpty += record.cols != 0;
  FUZZ_CHECK(records == nonEmpty);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // On the heap at their exact sizes, so ASan sees a write past the last table.
  static DataSet* const loaded = new DataSet;
  static DataSet* const expected = new DataSet;
  static const auto folder = varsk::fuzz::ScratchDir() / "info";
  static const bool made = std::filesystem::create_directories(folder);
  (void)made;

  std::memset(static_cast<void*>(loaded), 0, sizeof(DataSet));
  std::memset(static_cast<void*>(expected), 0, sizeof(DataSet));
  varsk::LoadDataSetFromBytes(*loaded, {data, size});
  ReferenceLoad(*expected, data, size);
  FUZZ_CHECK(std::memcmp(loaded, expected, sizeof(DataSet)) == 0);

  const auto table = std::make_unique<varsk::AnimSetTable>();
  varsk::BuildAnimSetTable(*table);

  varsk::Bitmap32 preview(varsk::kSpritePreviewWidth, varsk::kSpritePreviewHeight);
  for (int position = -1; position <= varsk::kEntryListCount; ++position) {
    const auto frame = varsk::ChoosePreviewFrame(*loaded, *table, position);
    if (frame) {
      FUZZ_CHECK(frame->clipNumber >= 1 && frame->clipNumber <= varsk::kClipSlots);
      FUZZ_CHECK(frame->spriteIndex >= 0 && frame->spriteIndex < varsk::kSpriteSheetSlots);
      FUZZ_CHECK(frame->animSet >= 1 && frame->animSet <= varsk::kAnimSetCount);
    }
    varsk::DrawEntryPreview(*loaded, *table, position, kBackground, preview);
    FUZZ_CHECK(preview.width == varsk::kSpritePreviewWidth &&
               preview.height == varsk::kSpritePreviewHeight &&
               preview.pixels.size() ==
                   static_cast<size_t>(varsk::kSpritePreviewWidth * varsk::kSpritePreviewHeight));
    FUZZ_CHECK(frame ? OnlyDrawnPixels(preview) : OnlyBackground(preview));
  }

  varsk::Bitmap32 strip(varsk::kIconStripWidth, varsk::kIconStripHeight);
  varsk::DrawIconStrip(*loaded, kBackground, strip);
  FUZZ_CHECK(strip.pixels.size() ==
             static_cast<size_t>(varsk::kIconStripWidth * varsk::kIconStripHeight));
  FUZZ_CHECK(OnlyDrawnPixels(strip));

  // Drawing reads the tables and never changes them.
  FUZZ_CHECK(std::memcmp(loaded, expected, sizeof(DataSet)) == 0);

  const std::vector<uint8_t> encoded = varsk::EncodeClipSet(*loaded);
  CheckClipSet(*loaded, encoded);
  const auto path = folder / "ms_anmset.dat";
  varsk::SaveClipSet(*loaded, path.string());
  FUZZ_CHECK(varsk::fuzz::ReadWholeFile(path) == encoded);
  return 0;
}
