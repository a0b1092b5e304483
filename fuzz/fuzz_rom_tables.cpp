// ROM tables: the input is a ROM file from offset 4194762 on (zeros before
// it). Load ROM reads it (or refuses it when it is too short, leaving the
// buffers alone); unpack then pack gives the input's table bytes except for
// the documented rewrites; pack, unpack, pack is stable; unpack leaves every
// field that the ROM does not carry alone; Save ROM writes exactly the two runs.
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include "base/messages.h"
#include "data/data_set.h"
#include "data/rom_file.h"
#include "data/rom_tables.h"
#include "fuzz/fuzz_support.h"

using varsk::DataSet;
using varsk::RomBuffers;

namespace {

// The bytes that Pack(Unpack(bytes)) gives: an MS entry's byte 11 becomes 0
// or 128 plus its low 7 bits, an ammunition byte of 0 becomes 255, a ship
// entry's byte 11 loses bit 7.
RomBuffers Canonical(const RomBuffers& in) {
  RomBuffers out = in;
  for (int k = 0; k < varsk::kRomMsEntryCount; ++k) {
    uint8_t* entry = out.ms.data() + k * varsk::kRomMsEntrySize;
    entry[11] = (entry[11] & 127) != 0 ? static_cast<uint8_t>(128 | (entry[11] & 127)) : 0;
    for (int at : {27, 30, 37, 40}) {
      if (entry[at] == 0) entry[at] = 255;
    }
  }
  for (int n = 0; n < varsk::kRomShipEntryCount; ++n) {
    out.ship[static_cast<size_t>(n * varsk::kRomShipEntrySize + 11)] &= 127;
  }
  return out;
}

// Every field the codec must leave alone, compared between two data sets.
bool UntouchedFieldsEqual(const DataSet& a, const DataSet& b) {
  for (int k = 1; k <= varsk::kMsSlots; ++k) {
    const varsk::MsRecord& x = *a.MsSlot(k);
    const varsk::MsRecord& y = *b.MsSlot(k);
    if (k > varsk::kRomMsEntryCount) {
      if (std::memcmp(&x, &y, sizeof x) != 0) return false;
      continue;
    }
    if (x.spriteIndex != y.spriteIndex || x.ownIndex != y.ownIndex || x.auxIndex != y.auxIndex ||
        x.reserved1 != y.reserved1 || x.reserved2 != y.reserved2 || x.reserved3 != y.reserved3) {
      return false;
    }
    for (int s = 0; s < varsk::kWeaponSlotsPerRecord; ++s) {
      const varsk::WeaponSlot& p = x.weapons[s];
      const varsk::WeaponSlot& q = y.weapons[s];
      if (s >= varsk::kShownWeaponSlots) {
        if (std::memcmp(&p, &q, sizeof p) != 0) return false;
        continue;
      }
      const bool carriesAmmo = s == 2 || s == 3 || s == 6 || s == 7;
      if ((!carriesAmmo && p.ammo != q.ammo) || p.reserved1 != q.reserved1 ||
          p.reserved2 != q.reserved2 || p.reserved3 != q.reserved3 || p.occupied != q.occupied) {
        return false;
      }
    }
  }
  for (int n = 1; n <= varsk::kShipSlots; ++n) {
    const varsk::ShipRecord& x = *a.ShipSlot(n);
    const varsk::ShipRecord& y = *b.ShipSlot(n);
    if (n > varsk::kRomShipEntryCount) {
      if (std::memcmp(&x, &y, sizeof x) != 0) return false;
      continue;
    }
    if (x.spriteIndex != y.spriteIndex || x.ownIndex != y.ownIndex || x.auxIndex != y.auxIndex ||
        x.reserved1 != y.reserved1 || x.speed != y.speed || x.reserved2 != y.reserved2 ||
        x.padding != y.padding || std::memcmp(x.weapons, y.weapons, sizeof x.weapons) != 0) {
      return false;
    }
  }
  return a.msCount == b.msCount && a.shipCount == b.shipCount;
}

// Record bytes from the input, repeated, so packing meets any 32-bit values.
void FillRecords(DataSet& dataSet, const uint8_t* bytes, size_t size) {
  auto fill = [&](uint8_t* to, size_t count, size_t from) {
    for (size_t done = 0; done < count;) {
      const size_t start = (from + done) % size;
      const size_t n = std::min(count - done, size - start);
      std::memcpy(to + done, bytes + start, n);
      done += n;
    }
  };
  fill(reinterpret_cast<uint8_t*>(dataSet.msRecords.data()), sizeof dataSet.msRecords, 0);
  fill(reinterpret_cast<uint8_t*>(dataSet.shipRecords.data()), sizeof dataSet.shipRecords, 7);
}

std::vector<uint8_t> FileTail(const std::string& path, size_t count) {
  std::vector<uint8_t> bytes(count + 1);
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  FUZZ_CHECK(fd >= 0);
  const ssize_t got = ::pread(fd, bytes.data(), bytes.size(), varsk::kMsTableOffset - 1);
  ::close(fd);
  FUZZ_CHECK(got >= 1);
  bytes.resize(static_cast<size_t>(got));
  return bytes;  // the byte before the tables, then everything from them on
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string path = (varsk::fuzz::ScratchDir() / "rom.gba").string();
  {
    const int fd = ::open(path.c_str(), O_CREAT | O_TRUNC | O_WRONLY | O_CLOEXEC, 0644);
    FUZZ_CHECK(fd >= 0);
    FUZZ_CHECK(::ftruncate(fd, varsk::kMsTableOffset) == 0);  // sparse zeros
    FUZZ_CHECK(::pwrite(fd, data, size, varsk::kMsTableOffset) == static_cast<ssize_t>(size));
    ::close(fd);
  }
  std::vector<uint8_t> before(size + 1, 0);
  std::copy(data, data + size, before.begin() + 1);

  RomBuffers sentinel;
  sentinel.ms.fill(0xA5);
  sentinel.ship.fill(0x5A);
  RomBuffers buffers = sentinel;
  const auto packed = std::make_unique<RomBuffers>();

  if (size < static_cast<size_t>(varsk::kRomTableBytes)) {
    // Too short: both directions refuse, and nothing changes.
    bool refused = false;
    try {
      varsk::ReadRomTables(path, buffers);
    } catch (const varsk::VarskError&) {
      refused = true;
    }
    FUZZ_CHECK(refused);
    FUZZ_CHECK(buffers.ms == sentinel.ms && buffers.ship == sentinel.ship);
    refused = false;
    try {
      varsk::WriteRomTables(path, sentinel);
    } catch (const varsk::VarskError&) {
      refused = true;
    }
    FUZZ_CHECK(refused);
    FUZZ_CHECK(FileTail(path, size + 1) == before);
    return 0;
  }

  varsk::ReadRomTables(path, buffers);
  FUZZ_CHECK(std::equal(buffers.ms.begin(), buffers.ms.end(), data));
  FUZZ_CHECK(std::equal(buffers.ship.begin(), buffers.ship.end(), data + varsk::kMsTableBytes));

  // Unpack over records that hold other values, then pack.
  static DataSet* const original = new DataSet;
  static DataSet* const unpacked = new DataSet;
  FillRecords(*original, data, size);
  original->msCount = static_cast<int32_t>(size);
  original->shipCount = data[0];
  varsk::CopyRecords(*original, *unpacked);
  varsk::UnpackRomTables(buffers, *unpacked);
  FUZZ_CHECK(UntouchedFieldsEqual(*original, *unpacked));
  varsk::PackRomTables(*unpacked, *packed);
  const RomBuffers canonical = Canonical(buffers);
  FUZZ_CHECK(packed->ms == canonical.ms && packed->ship == canonical.ship);

  // Records of any values: pack, unpack, pack gives the first image up to the
  // documented rewrites (values that do not fit their field, such as an
  // artilleryRange of 128 or an ammo of 128, pack to bytes that read back as
  // 0), and from then on the bytes are stable.
  RomBuffers first;
  RomBuffers second;
  RomBuffers third;
  varsk::PackRomTables(*original, first);
  varsk::CopyRecords(*original, *unpacked);
  varsk::UnpackRomTables(first, *unpacked);
  FUZZ_CHECK(UntouchedFieldsEqual(*original, *unpacked));
  varsk::PackRomTables(*unpacked, second);
  const RomBuffers firstCanonical = Canonical(first);
  FUZZ_CHECK(second.ms == firstCanonical.ms && second.ship == firstCanonical.ship);
  varsk::UnpackRomTables(second, *unpacked);
  varsk::PackRomTables(*unpacked, third);
  FUZZ_CHECK(third.ms == second.ms && third.ship == second.ship);

  // Save ROM writes the two runs and nothing else; the file keeps its length.
  varsk::WriteRomTables(path, first);
  std::vector<uint8_t> after = before;
  std::copy(first.ms.begin(), first.ms.end(), after.begin() + 1);
  std::copy(first.ship.begin(), first.ship.end(), after.begin() + 1 + varsk::kMsTableBytes);
  FUZZ_CHECK(FileTail(path, size + 1) == after);
  return 0;
}
