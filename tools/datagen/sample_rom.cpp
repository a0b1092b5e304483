// The sample ROM image.
#include "sample_rom.h"

#include <algorithm>
#include <cstring>
#include <memory>

#include "data/rom_tables.h"
#include "prng.h"

namespace varsk::datagen {

void TuneForSampleRom(DataSet& ds) {
  // A balance pass a user might have made: cheaper light units, sturdier
  // heavy ones, quicker production. Every value still fits its ROM field.
  for (int e = 1; e <= ds.msCount; ++e) {
    MsRecord& r = *ds.MsSlot(e);
    r.cost = std::max(1, r.cost * 85 / 100 + 5);
    r.hp = std::min(65535, r.hp * 115 / 100 + 10);
    r.en = std::min(255, r.en + 10);
    if (r.productTurn > 1) r.productTurn -= 1;
    r.armor = std::min(65535, r.armor + 4);
    if (r.weapons[0].weaponId != 0) r.weapons[0].damage = std::min(255, r.weapons[0].damage + 3);
  }
  for (int n = 1; n <= ds.shipCount; ++n) {
    ShipRecord& r = *ds.ShipSlot(n);
    r.cost = r.cost * 90 / 100;
    r.hp = std::min(65535, r.hp * 120 / 100);
    r.space = std::min(255, r.space + 2);
  }
}

uint8_t HeaderCheck(const uint8_t* header) {
  int sum = 0;
  for (int i = 0xA0; i <= 0xBC; ++i) sum += header[i];
  return static_cast<uint8_t>(-sum - 0x19);
}

std::vector<uint8_t> MakeSampleRom(const DataSet& dataSet) {
  std::vector<uint8_t> rom(kSampleRomSize);
  Prng prng(0x56415253'4B524F4Dull);  // "VARSKROM"
  for (size_t i = 0; i < rom.size(); i += 8) {
    const uint64_t v = prng.Next();
    std::memcpy(rom.data() + i, &v, 8);
  }
  // Header: a branch over the header, zeroed logo area, title, codes, check byte.
  std::fill(rom.begin(), rom.begin() + 0xC0, uint8_t{0});
  const uint8_t branch[4] = {0x2E, 0x00, 0x00, 0xEA};
  std::memcpy(rom.data(), branch, 4);
  const char title[12] = {'V', 'A', 'R', 'S', 'K', ' ', 'D', 'E', 'M', 'O', 0, 0};
  std::memcpy(rom.data() + 0xA0, title, 12);
  std::memcpy(rom.data() + 0xAC, "ZVKE", 4);
  std::memcpy(rom.data() + 0xB0, "VK", 2);
  rom[0xB2] = 0x96;
  rom[0xBD] = HeaderCheck(rom.data());

  auto tuned = std::make_unique<DataSet>(dataSet);
  TuneForSampleRom(*tuned);
  auto buffers = std::make_unique<RomBuffers>();
  PackRomTables(*tuned, *buffers);
  std::memcpy(rom.data() + kMsTableOffset, buffers->ms.data(), buffers->ms.size());
  std::memcpy(rom.data() + kShipTableOffset, buffers->ship.data(), buffers->ship.size());
  return rom;
}

}  // namespace varsk::datagen
