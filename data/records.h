// Record layouts of the embedded data set. The resource stores these records
// byte for byte in host order, so each layout is pinned here.
#pragma once

#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>

namespace varsk {

static_assert(std::endian::native == std::endian::little,
              "the data set is stored little-endian and loaded by plain copies");

struct WeaponSlot {
  int32_t weaponId;  // 0 = empty; index into WeaponNames
  int32_t damage;
  int32_t ammo;  // negative = fed from HP
  int32_t reserved1;
  int32_t reserved2;
  int32_t reserved3;
  int32_t occupied;
};
static_assert(sizeof(WeaponSlot) == 28);
static_assert(offsetof(WeaponSlot, ammo) == 8);
static_assert(offsetof(WeaponSlot, occupied) == 24);

constexpr int kWeaponSlotsPerRecord = 16;
constexpr int kShownWeaponSlots = 8;

struct MsRecord {
  int32_t spriteIndex;
  int32_t ownIndex;
  int32_t auxIndex;
  int32_t cost;
  int32_t hp;
  int32_t en;
  int32_t terrainFlags;
  int32_t moveType;
  int32_t move;
  int32_t factionFlags;
  int32_t factoryFlags;
  int32_t ace;
  int32_t baseDamage;
  int32_t reserved1;
  int32_t reserved2;
  int32_t tech;
  int32_t productTurn;
  int32_t supportTurn;
  int32_t sPoint;
  int32_t armor;
  int32_t shipDamage;
  int32_t artillery;
  int32_t artilleryRange;
  int32_t areaDamage;
  int32_t areaRange;
  int32_t speed;
  int32_t reserved3;
  WeaponSlot weapons[kWeaponSlotsPerRecord];
  uint8_t rawBytes[4];
};
static_assert(sizeof(MsRecord) == 560);
static_assert(offsetof(MsRecord, cost) == 12);
static_assert(offsetof(MsRecord, factoryFlags) == 40);
static_assert(offsetof(MsRecord, ace) == 44);
static_assert(offsetof(MsRecord, tech) == 60);
static_assert(offsetof(MsRecord, speed) == 100);
static_assert(offsetof(MsRecord, reserved3) == 104);
static_assert(offsetof(MsRecord, weapons) == 108);
static_assert(offsetof(MsRecord, rawBytes) == 556);

struct ShipRecord {
  int32_t spriteIndex;
  int32_t ownIndex;
  int32_t auxIndex;
  int32_t cost;
  int32_t hp;
  int32_t en;
  int32_t terrainFlags;
  int32_t moveType;
  int32_t move;
  int32_t factionFlags;
  int32_t factoryFlags;
  int32_t reserved1;
  int32_t space;
  int32_t tech;
  int32_t productTurn;
  int32_t supportTurn;
  int32_t sPoint;
  int32_t sPointShip;
  int32_t armor;
  int32_t defense;
  int32_t artillery;
  int32_t artilleryRange;
  int32_t areaDamage;
  int32_t areaRange;
  int32_t speed;
  int32_t reserved2;
  WeaponSlot weapons[kWeaponSlotsPerRecord];
  uint8_t rawBytes[3];
  uint8_t padding;
};
static_assert(sizeof(ShipRecord) == 556);
static_assert(offsetof(ShipRecord, reserved1) == 44);
static_assert(offsetof(ShipRecord, space) == 48);
static_assert(offsetof(ShipRecord, sPointShip) == 68);
static_assert(offsetof(ShipRecord, defense) == 76);
static_assert(offsetof(ShipRecord, speed) == 96);
static_assert(offsetof(ShipRecord, weapons) == 104);
static_assert(offsetof(ShipRecord, rawBytes) == 552);

// One sprite frame: up to 16 x 16 cells of 8 x 8 pixels. Cell (r, c) is byte
// r * 16 + c of each plane, whatever cols is.
constexpr int kClipGridSide = 16;
constexpr int kClipCells = kClipGridSide * kClipGridSide;

struct ClipRecord {
  uint8_t cols;
  uint8_t rows;
  int8_t dx[kClipCells];
  int8_t dy[kClipCells];
  uint8_t tile[kClipCells];  // from 1, relative to the caller's tile base; 0 = empty
  uint8_t flip[kClipCells];  // 0 none, 1 horizontal, 2 vertical, 3 both
};
static_assert(sizeof(ClipRecord) == 1026);
static_assert(offsetof(ClipRecord, dx) == 2);
static_assert(offsetof(ClipRecord, dy) == 258);
static_assert(offsetof(ClipRecord, tile) == 514);
static_assert(offsetof(ClipRecord, flip) == 770);

// 16 BGR555 colours: bits 0-4 red, 5-9 green, 10-14 blue, bit 15 unused.
struct Palette16 {
  uint16_t colours[16];
};
static_assert(sizeof(Palette16) == 32);

// 256 tiles of 8 x 8 pixels at 4 bits; tile t at byte 32t, high nibble = left pixel.
constexpr int kTileBytes = 32;
constexpr int kTilesPerSheet = 256;

struct TileSheet {
  uint8_t bytes[kTileBytes * kTilesPerSheet];
};
static_assert(sizeof(TileSheet) == 8192);

struct SpriteInfo {
  uint8_t animSet;  // 0 = no animation set; else the set number in AnimSetTable
  uint8_t carried[8];
};
static_assert(sizeof(SpriteInfo) == 9);

}  // namespace varsk
