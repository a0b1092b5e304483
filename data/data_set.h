// The editor's tables: records, clips, palettes and tiles of the embedded data
// set "MS_DATA", loaded once at start-up.
#pragma once

#include <array>
#include <cstdint>
#include <span>

#include "data/records.h"

namespace varsk {

constexpr int kMsSlots = 256;
constexpr int kShipSlots = 64;
constexpr int kClipSlots = 256;
constexpr int kEntryPaletteSlots = 256;
constexpr int kIconPaletteSlots = 5;
constexpr int kIconSheetSlots = 1;
constexpr int kSpareSheetSlots = 9;
constexpr int kSpriteInfoSlots = 256;
constexpr int kSpriteSheetSlots = 256;

// The entry list always has 229 items: 191 MS entries then 38 ships.
constexpr int kEntryListCount = 229;
constexpr int kMsEntryCount = 191;
constexpr int kShipEntryCount = 38;

// Zero-filled tables. Record and clip tables are numbered from 1 (slot k lives
// at index k - 1); palette and sprite tables from 0.
struct DataSet {
  int32_t msCount = 0;
  int32_t shipCount = 0;
  std::array<MsRecord, kMsSlots> msRecords{};
  std::array<ShipRecord, kShipSlots> shipRecords{};
  std::array<ClipRecord, kClipSlots> clips{};
  std::array<Palette16, kEntryPaletteSlots> entryPalettes{};
  std::array<Palette16, kIconPaletteSlots> iconPalettes{};
  TileSheet iconSheet{};
  std::array<TileSheet, kSpareSheetSlots> spareSheets{};
  std::array<SpriteInfo, kSpriteInfoSlots> spriteInfos{};
  std::array<TileSheet, kSpriteSheetSlots> spriteSheets{};

  // Slot k (1-based) of a numbered table; nullptr when k is outside 1..capacity.
  MsRecord* MsSlot(int k);
  const MsRecord* MsSlot(int k) const;
  ShipRecord* ShipSlot(int n);
  const ShipRecord* ShipSlot(int n) const;
  const ClipRecord* Clip(int k) const;
};

enum class EntryKind { None, Ms, Ship };

// What list entry `entryIndex` (1-based) is under msCount/shipCount, and its
// record. Returns nullptr records (and EntryKind::None) for anything else.
EntryKind KindOfEntry(const DataSet& dataSet, int entryIndex);
MsRecord* MsOfEntry(DataSet& dataSet, int entryIndex);
const MsRecord* MsOfEntry(const DataSet& dataSet, int entryIndex);
ShipRecord* ShipOfEntry(DataSet& dataSet, int entryIndex);
const ShipRecord* ShipOfEntry(const DataSet& dataSet, int entryIndex);

// Copies msCount, shipCount and the two record tables of `from` into `to`;
// the graphics tables of `to` stay as they are.
void CopyRecords(const DataSet& from, DataSet& to);

// The resource that LoadDataSet reads.
inline constexpr char kDataSetResourceType[] = "DAT";
inline constexpr char kDataSetResourceName[] = "MS_DATA";

// Fills `dataSet` from the registered resource "MS_DATA" of type "DAT".
// Throws VarskError("Resource MS_DATA not found") when it is not registered
// (tables untouched). A short resource loads what is there; counts and element
// sizes beyond the capacities and strides are clamped, so no byte outside a
// table is written whatever the input.
void LoadDataSet(DataSet& dataSet);
// The same over an explicit byte stream.
void LoadDataSetFromBytes(DataSet& dataSet, std::span<const uint8_t> bytes);

// LoadDataSet for work on the MS and ship records alone: the header value and
// the two record tables are read as LoadDataSet reads them, the graphics
// tables stay as they are (a short command saves most of its start-up so).
void LoadDataSetRecords(DataSet& dataSet);
void LoadDataSetRecordsFromBytes(DataSet& dataSet, std::span<const uint8_t> bytes);

// The process-wide tables that the window uses.
DataSet& GlobalDataSet();

}  // namespace varsk
