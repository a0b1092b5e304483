// The data set tables and their byte format.
#include "data_set_builder.h"

#include <cstring>
#include <stdexcept>

#include "art.h"
#include "catalogue.h"
#include "clip_plan.h"
#include "palettes.h"
#include "prng.h"

namespace varsk::datagen {
namespace {

bool IsCanvas(int clipNumber) {
  const ClipKind kind = ClipDesigns()[static_cast<size_t>(clipNumber - 1)].kind;
  return kind == ClipKind::Canvas || kind == ClipKind::Symmetric;
}

void DrawSpriteSheet(const SpriteDesign& design, TileSheet& sheet) {
  if (design.kind == SpriteKind::None) return;
  const SetDesign& set = SetDesigns()[static_cast<size_t>(design.set - 1)];
  for (const SetFrame& frame : set.frames) {
    if (!IsCanvas(frame.clip)) continue;
    const ClipDesign& clip = ClipDesigns()[static_cast<size_t>(frame.clip - 1)];
    Canvas canvas(clip.cols * 8, clip.rows * 8);
    if (frame.pose == Pose::Burst1 || frame.pose == Pose::Burst2 || frame.pose == Pose::Burst3) {
      DrawBurst(canvas, frame.pose, design.seed);
    } else if (design.kind == SpriteKind::Ship) {
      DrawShip(canvas, design);
    } else {
      DrawRobot(canvas, design, frame.pose, clip.kind == ClipKind::Symmetric);
    }
    WriteFrameTiles(canvas, frame.clip, frame.tileBase, sheet);
  }
}

// The icon sheet: emblem i at tile base b, a 2 x 3 block of a 16-tile-wide sheet.
void DrawIconSheet(TileSheet& sheet) {
  static const int kBases[13] = {0, 2, 4, 6, 8, 10, 12, 14, 48, 50, 52, 54, 58};
  for (int i = 0; i < 13; ++i) {
    Canvas canvas(16, 24);
    DrawEmblem(canvas, i);
    for (int ty = 0; ty < 3; ++ty) {
      for (int tx = 0; tx < 2; ++tx) {
        const int tile = kBases[i] + ty * 16 + tx;
        uint8_t* bytes = sheet.bytes + tile * kTileBytes;
        for (int y = 0; y < 8; ++y) {
          for (int x = 0; x < 8; x += 2) {
            bytes[y * 4 + x / 2] = static_cast<uint8_t>((canvas.At(tx * 8 + x, ty * 8 + y) << 4) |
                                                        canvas.At(tx * 8 + x + 1, ty * 8 + y));
          }
        }
      }
    }
  }
}

template <typename T>
void PutTable(std::vector<uint8_t>& out, int32_t count, const T* elements) {
  const int32_t size = static_cast<int32_t>(sizeof(T));
  const size_t at = out.size();
  out.resize(at + 8);
  std::memcpy(out.data() + at, &count, 4);
  std::memcpy(out.data() + at + 4, &size, 4);
  const auto* bytes = reinterpret_cast<const uint8_t*>(elements);
  out.insert(out.end(), bytes, bytes + static_cast<size_t>(count) * sizeof(T));
}

}  // namespace

std::unique_ptr<DataSet> BuildDataSet() {
  CheckClipPlan();
  const Catalogue& cat = TheCatalogue();
  auto ds = std::make_unique<DataSet>();
  ds->msCount = kMsEntries;
  ds->shipCount = kShipEntries;
  for (int e = 1; e <= kMsEntries; ++e) *ds->MsSlot(e) = cat.ms[static_cast<size_t>(e - 1)];
  for (int n = 1; n <= kShipEntries; ++n) *ds->ShipSlot(n) = cat.ships[static_cast<size_t>(n - 1)];
  for (int k = 1; k <= kShippedClipCount; ++k)
    ds->clips[static_cast<size_t>(k - 1)] = MakeClipRecord(k);
  for (int p = 0; p < kShippedEntryPalettes; ++p)
    ds->entryPalettes[static_cast<size_t>(p)] = EntryPalette(p);
  for (int i = 0; i < kShippedIconPalettes; ++i)
    ds->iconPalettes[static_cast<size_t>(i)] = IconPalette(i);
  DrawIconSheet(ds->iconSheet);
  for (int s = 1; s < kShippedSpriteCount; ++s) {
    const SpriteDesign& design = cat.sprites[static_cast<size_t>(s)];
    SpriteInfo& info = ds->spriteInfos[static_cast<size_t>(s)];
    info.animSet = static_cast<uint8_t>(design.set);
    if (design.kind != SpriteKind::None) {
      // Carried bytes: the size of the first frame in cells, the frame count,
      // the kind and the faction.
      const SetDesign& set = SetDesigns()[static_cast<size_t>(design.set - 1)];
      const ClipDesign& clip = ClipDesigns()[static_cast<size_t>(set.frames[0].clip - 1)];
      info.carried[0] = static_cast<uint8_t>(clip.cols);
      info.carried[1] = static_cast<uint8_t>(clip.rows);
      info.carried[2] = static_cast<uint8_t>(set.frames.size());
      info.carried[3] = static_cast<uint8_t>(design.kind);
      info.carried[4] = static_cast<uint8_t>(design.faction);
    }
    DrawSpriteSheet(design, ds->spriteSheets[static_cast<size_t>(s)]);
  }
  return ds;
}

std::vector<uint8_t> SerializeDataSet(const DataSet& ds) {
  std::vector<uint8_t> out(4, 0);  // header value 0
  PutTable(out, ds.msCount, ds.msRecords.data());
  PutTable(out, ds.shipCount, ds.shipRecords.data());
  PutTable(out, kShippedClipCount, ds.clips.data());
  PutTable(out, kShippedEntryPalettes, ds.entryPalettes.data());
  PutTable(out, kShippedIconPalettes, ds.iconPalettes.data());
  PutTable(out, 1, &ds.iconSheet);
  PutTable(out, kShippedSpareSheets, ds.spareSheets.data());
  PutTable(out, kShippedSpriteCount, ds.spriteInfos.data());
  PutTable(out, kShippedSpriteCount, ds.spriteSheets.data());
  out.resize(out.size() + kTrailerBytes, 0);
  if (out.size() != 2279263) throw std::logic_error("data set size");
  return out;
}

}  // namespace varsk::datagen
