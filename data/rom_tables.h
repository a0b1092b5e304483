// The two packed stat tables of the ROM image and their codec.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>

#include "data/data_set.h"

namespace varsk {

constexpr int64_t kMsTableOffset = 4194762;
constexpr int kRomMsEntrySize = 50;
constexpr int kRomMsEntryCount = 191;
constexpr int kMsTableBytes = kRomMsEntrySize * kRomMsEntryCount;     // 9550
constexpr int64_t kShipTableOffset = kMsTableOffset + kMsTableBytes;  // 4204312
constexpr int kRomShipEntrySize = 24;
constexpr int kRomShipEntryCount = 38;
constexpr int kShipTableBytes = kRomShipEntrySize * kRomShipEntryCount;  // 912
constexpr int64_t kRomTablesEnd = kShipTableOffset + kShipTableBytes;    // 4205224
constexpr int kRomTableBytes = kMsTableBytes + kShipTableBytes;          // 10462

struct RomBuffers {
  std::array<uint8_t, kMsTableBytes> ms{};
  std::array<uint8_t, kShipTableBytes> ship{};
};

// The process-wide buffers that Load ROM and Save ROM pass through.
RomBuffers& GlobalRomBuffers();

// An ammunition byte as a count: 0..127 as they are, 255 as 0, 128..254 as
// byte - 255 (-127..-1).
int32_t DecodeAmmo(uint8_t byte);
// The byte of an ammunition count: 1..127 as they are, 0 as 255, below 0 the
// low 8 bits of 255 + ammo (-127..-1 give 128..254), above 127 the low 7 bits.
uint8_t EncodeAmmo(int32_t ammo);

// The fields of one packed entry (the rows of kMsFields or kShipFields that the
// ROM stores) into `record`; the record's other fields stay as they are.
void UnpackMsEntry(std::span<const uint8_t, kRomMsEntrySize> bytes, MsRecord& record);
// Every byte of one packed entry from `record`, each field cut to its bits.
void PackMsEntry(const MsRecord& record, std::span<uint8_t, kRomMsEntrySize> bytes);
// The same for a ship entry (packing writes its byte 11 bit 7 as 0).
void UnpackShipEntry(std::span<const uint8_t, kRomShipEntrySize> bytes, ShipRecord& record);
void PackShipEntry(const ShipRecord& record, std::span<uint8_t, kRomShipEntrySize> bytes);
// The same chosen by the record type, for code that serves both formats.
inline void UnpackRomEntry(std::span<const uint8_t, kRomMsEntrySize> bytes, MsRecord& record) {
  UnpackMsEntry(bytes, record);
}
inline void UnpackRomEntry(std::span<const uint8_t, kRomShipEntrySize> bytes, ShipRecord& record) {
  UnpackShipEntry(bytes, record);
}
inline void PackRomEntry(const MsRecord& record, std::span<uint8_t, kRomMsEntrySize> bytes) {
  PackMsEntry(record, bytes);
}
inline void PackRomEntry(const ShipRecord& record, std::span<uint8_t, kRomShipEntrySize> bytes) {
  PackShipEntry(record, bytes);
}

// Buffers -> MS slots 1..191 and ship slots 1..38 (msCount/shipCount not consulted).
void UnpackRomTables(const RomBuffers& buffers, DataSet& dataSet);
// Records -> every byte of both buffers.
void PackRomTables(const DataSet& dataSet, RomBuffers& buffers);

// How many of the 229 entries of `tables` hold a value that no unit table
// holds and Save ROM never writes: a weapon id beyond the weapon list, a move
// type that no item of the move type list stands for (16, 17, above 18), an
// MS byte 11 whose presence bit disagrees with its range, a ship's byte 11
// with bit 7 set. Unit tables give 0; other bytes give many.
int CountImplausibleEntries(const RomBuffers& tables);

}  // namespace varsk
