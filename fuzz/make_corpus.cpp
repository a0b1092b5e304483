// Writes seed inputs for the fuzz targets: small synthetic data sets, ROM
// table images made by the codec, name lists, number texts and renderer
// inputs. Given the generated data set (ms_data.bin), it also writes cut-down
// copies of it. Usage: varsk_fuzz_corpus OUT_DIR [ms_data.bin]
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "data/data_set.h"
#include "data/records.h"
#include "data/rom_tables.h"
#include "patch/bps_patch.h"
#include "patch/ips_patch.h"

namespace fs = std::filesystem;
using Bytes = std::vector<uint8_t>;

namespace {

fs::path outDir;

void Write(const std::string& target, const std::string& name, const Bytes& bytes) {
  const fs::path dir = outDir / target;
  fs::create_directories(dir);
  std::ofstream out(dir / name, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
}

void WriteText(const std::string& target, const std::string& name, const std::string& text) {
  Write(target, name, Bytes(text.begin(), text.end()));
}

Bytes RandomBytes(std::mt19937& random, size_t size) {
  Bytes bytes(size);
  for (uint8_t& b : bytes) b = static_cast<uint8_t>(random());
  return bytes;
}

void PutInt32(Bytes& out, int32_t value) {
  uint8_t raw[4];
  std::memcpy(raw, &value, 4);
  out.insert(out.end(), raw, raw + 4);
}

template <typename T>
void PutRaw(Bytes& out, const T& value, size_t size = sizeof(T)) {
  const auto* raw = reinterpret_cast<const uint8_t*>(&value);
  for (size_t i = 0; i < size; ++i) out.push_back(i < sizeof(T) ? raw[i] : 0);
}

// A table header and `count` elements of `elementSize` bytes cut from `make(i)`.
template <typename T, typename Make>
void PutTable(Bytes& out, int32_t count, int32_t elementSize, Make make) {
  PutInt32(out, count);
  PutInt32(out, elementSize);
  for (int32_t i = 0; i < count; ++i) PutRaw(out, make(i), static_cast<size_t>(elementSize));
}

struct DataSetShape {
  int32_t msCount = 4;
  int32_t shipCount = 2;
  int32_t clipCount = 21;  // clip 5 (set 1, frame 5), 10 (set 7), 21 (set 12)
  int32_t msSize = sizeof(varsk::MsRecord);
  int32_t clipSize = sizeof(varsk::ClipRecord);
  int32_t sheetCount = 3;
  uint8_t clipCols = 4;
  uint8_t clipRows = 4;
};

// A small resource in the loader's format whose entries all have pictures.
Bytes SmallDataSet(std::mt19937& random, const DataSetShape& shape) {
  Bytes out;
  PutInt32(out, 0);
  PutTable<varsk::MsRecord>(out, shape.msCount, shape.msSize, [&](int i) {
    varsk::MsRecord r{};
    r.spriteIndex = 1 + i % 3;
    r.ownIndex = i + 1;
    r.cost = 100 + i;
    r.hp = 300;
    r.weapons[0] = {12, 20, 0, 0, 0, 0, 1};
    return r;
  });
  PutTable<varsk::ShipRecord>(out, shape.shipCount, sizeof(varsk::ShipRecord), [&](int i) {
    varsk::ShipRecord r{};
    r.spriteIndex = 2 + i % 2;
    r.ownIndex = shape.msCount + i + 1;
    return r;
  });
  PutTable<varsk::ClipRecord>(out, shape.clipCount, shape.clipSize, [&](int i) {
    varsk::ClipRecord c{};
    c.cols = shape.clipCols;
    c.rows = shape.clipRows;
    for (int r = 0; r < 16; ++r) {
      for (int col = 0; col < 16; ++col) {
        const int k = r * 16 + col;
        if (r < c.rows && col < c.cols) c.tile[k] = static_cast<uint8_t>(1 + (k + i) % 40);
      }
    }
    c.flip[1] = 1;
    c.flip[2] = 3;
    c.dx[3] = -1;
    c.dy[4] = -10;
    return c;
  });
  PutTable<varsk::Palette16>(out, shape.msCount + shape.shipCount + 1, 32, [&](int i) {
    varsk::Palette16 p{};
    for (int n = 0; n < 16; ++n) p.colours[n] = static_cast<uint16_t>((n * 2114 + i * 31) & 0x7FFF);
    return p;
  });
  PutTable<varsk::Palette16>(out, 4, 32, [&](int i) {
    varsk::Palette16 p{};
    for (int n = 0; n < 16; ++n) p.colours[n] = static_cast<uint16_t>(0x7FFF - n * 1057 - i);
    return p;
  });
  const Bytes tiles = RandomBytes(random, sizeof(varsk::TileSheet));
  PutTable<varsk::TileSheet>(out, 1, 8192, [&](int) {
    varsk::TileSheet s{};
    std::memcpy(s.bytes, tiles.data(), sizeof s.bytes);
    return s;
  });
  PutTable<varsk::TileSheet>(out, 0, 8192, [&](int) { return varsk::TileSheet{}; });
  PutTable<varsk::SpriteInfo>(out, 4, 9, [&](int i) {
    const uint8_t sets[4] = {0, 1, 7, 12};
    varsk::SpriteInfo s{};
    s.animSet = sets[i];
    return s;
  });
  PutTable<varsk::TileSheet>(out, shape.sheetCount, 8192, [&](int) {
    varsk::TileSheet s{};
    const Bytes bytes = RandomBytes(random, 40 * 32);  // tiles 1..40 hold pixels
    std::memcpy(s.bytes, bytes.data(), bytes.size());
    return s;
  });
  return out;
}

void DataSetSeeds(std::mt19937& random, const fs::path& generated) {
  const std::string t = "fuzz_data_set";
  Write(t, "small", SmallDataSet(random, {}));
  DataSetShape shortElements;
  shortElements.msSize = 100;
  shortElements.clipSize = 600;
  Write(t, "short-elements", SmallDataSet(random, shortElements));
  DataSetShape longElements;
  longElements.msSize = 600;
  longElements.clipSize = 1100;
  Write(t, "long-elements", SmallDataSet(random, longElements));
  DataSetShape wideClips;
  wideClips.clipCols = 16;
  wideClips.clipRows = 10;
  Write(t, "wide-clips", SmallDataSet(random, wideClips));
  DataSetShape oversized;
  oversized.clipCols = 40;
  oversized.clipRows = 255;
  oversized.msCount = 300;
  oversized.msSize = 4;
  Write(t, "oversized", SmallDataSet(random, oversized));
  DataSetShape negative;
  negative.msCount = -5;
  negative.shipCount = 70;
  negative.sheetCount = 1;
  Write(t, "negative-counts", SmallDataSet(random, negative));
  Bytes cut = SmallDataSet(random, {});
  cut.resize(cut.size() / 3);
  Write(t, "truncated", cut);
  Write(t, "empty", {});
  Write(t, "header-only", Bytes{0, 0, 0, 0, 191, 0, 0, 0});

  // Cut-down copies of the real data set: every table up to the sprite
  // infos, then the first few sprite sheets with the count to match.
  if (generated.empty()) return;
  std::ifstream in(generated, std::ios::binary);
  const Bytes full((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (full.size() < 64) return;
  // Walk the table headers to find where table 9 starts.
  size_t pos = 4;
  for (int table = 0; table < 8 && pos + 8 <= full.size(); ++table) {
    int32_t count, size;
    std::memcpy(&count, &full[pos], 4);
    std::memcpy(&size, &full[pos + 4], 4);
    pos += 8 + static_cast<size_t>(std::max(count, 0)) * static_cast<size_t>(std::max(size, 0));
  }
  if (pos + 8 > full.size()) return;
  for (int32_t sheets : {0, 2, 8}) {
    Bytes part(full.begin(), full.begin() + static_cast<std::ptrdiff_t>(pos + 8));
    std::memcpy(&part[pos], &sheets, 4);
    const size_t end = std::min(full.size(), pos + 8 + static_cast<size_t>(sheets) * 8192);
    part.insert(part.end(), full.begin() + static_cast<std::ptrdiff_t>(pos + 8),
                full.begin() + static_cast<std::ptrdiff_t>(end));
    Write(t, "generated-" + std::to_string(sheets) + "-sheets", part);
  }
}

// ROM table images from offset 4194762 on, packed by the codec.
void RomSeeds(std::mt19937& random) {
  const std::string t = "fuzz_rom_tables";
  auto dataSet = std::make_unique<varsk::DataSet>();
  for (int k = 1; k <= varsk::kRomMsEntryCount; ++k) {
    varsk::MsRecord& r = *dataSet->MsSlot(k);
    r.cost = 100 * k;
    r.hp = 50 + k;
    r.en = k;
    r.terrainFlags = k % 8;
    r.move = k % 32;
    r.factionFlags = (k * 37) % 8192;
    r.factoryFlags = k % 8;
    r.productTurn = k % 32;
    r.supportTurn = k % 8;
    r.artilleryRange = k % 5;
    r.weapons[2] = {k % 176, 40, k % 2 == 0 ? -16 : 8, 0, 0, 0, 1};
    r.weapons[3].ammo = 0;
  }
  for (int n = 1; n <= varsk::kRomShipEntryCount; ++n) {
    varsk::ShipRecord& r = *dataSet->ShipSlot(n);
    r.cost = 450 + n;
    r.artilleryRange = n % 4;
    r.defense = n;
  }
  varsk::RomBuffers buffers;
  varsk::PackRomTables(*dataSet, buffers);
  Bytes image(buffers.ms.begin(), buffers.ms.end());
  image.insert(image.end(), buffers.ship.begin(), buffers.ship.end());
  Write(t, "packed", image);
  Bytes withTail = image;
  const Bytes tail = RandomBytes(random, 600);
  withTail.insert(withTail.end(), tail.begin(), tail.end());
  Write(t, "packed-with-tail", withTail);
  Write(t, "one-byte-short", Bytes(image.begin(), image.end() - 1));
  Write(t, "half", Bytes(image.begin(), image.begin() + varsk::kMsTableBytes / 2));
  Write(t, "empty", {});
  Write(t, "random", RandomBytes(random, varsk::kRomTableBytes + 64));
  Write(t, "all-ff", Bytes(varsk::kRomTableBytes, 0xFF));
}

void TextSeeds() {
  const std::string t = "fuzz_text_to_number";
  const char* texts[] = {"0",           "-2147483648", "2147483647", "2147483648",
                         "-2147483649", "$FF",         "x7fffffff",  "0X80000000",
                         "  -$10",      "+12",         "",           " ",
                         "1 ",          "\t5",         "0x",         "$123456789",
                         "$00000000",   "12a",         "-",          "--1",
                         "+-1",         "0x-1",        "00012",      "99999999999999999999",
                         "$",           "X1F",         "-0"};
  int i = 0;
  for (const char* text : texts) WriteText(t, "text-" + std::to_string(i++), text);
}

void NameListSeeds(std::mt19937& random) {
  std::string list;
  for (int line = 1; line <= 404; ++line) {
    list += line <= 229 ? "Unit " + std::to_string(line) : "Weapon " + std::to_string(line - 229);
    list += line % 3 == 0 ? "\n" : "\r\n";
  }
  for (const std::string& t : {std::string("fuzz_name_list"), std::string("fuzz_name_text")}) {
    WriteText(t, "list-404", list);
    WriteText(t, "list-403", list.substr(0, list.rfind("Weapon")));
    WriteText(t, "mixed-breaks", "a\r\nb\rc\nd\r\r\n\ne");
    WriteText(t, "zero-byte", std::string("first\r\nsec\0ond\r\nthird", 20));
    WriteText(t, "lone-cr", "one\rtwo\rthree\r");
    WriteText(t, "utf8", "Kestrel \xCE\xA9\r\n\xE9\x9B\xB7\xE9\xB3\xA5\r\n\xF0\x9F\x9A\x80\r\n");
    WriteText(t, "big5", "\xA4\xA4\xA4\xE5\r\n\xB3\xBE\xA4\x54\r\n\xA1\x40\r\n");
    WriteText(t, "shift-jis", "\x83\x4B\x83\x93\x83\x5F\x83\x80\r\n\x82\xA0\x82\xA2\r\n\x81\x40");
    WriteText(t, "cp1252", "Caf\xE9 \x80\x85\x9F\x81\x8D\r\n\xFF\xFE");
    Write(t, "random", RandomBytes(random, 300));
  }
}

// The renderer's input is read by FuzzedDataProvider; random bytes of a few
// sizes are as good a start as any.
void DrawSeeds(std::mt19937& random) {
  for (size_t size : {64u, 400u, 1200u, 2400u}) {
    Write("fuzz_draw_clip", "random-" + std::to_string(size), RandomBytes(random, size));
  }
}

// Patch inputs: a mode byte (0 apply, 1 apply with BPS checksums set right,
// 2 round trip), two bytes of ROM size, then the patch or the edit script.
void PatchSeeds() {
  const std::string t = "fuzz_patch_apply";
  const size_t romSize = 4096;
  Bytes rom(romSize);
  for (size_t i = 0; i < romSize; ++i) rom[i] = static_cast<uint8_t>(i * 7 + (i >> 8));
  Bytes modified = rom;
  modified[10] ^= 0xFF;
  std::memset(modified.data() + 1000, 0x42, 300);  // a run
  modified.resize(5000, 0x11);                     // longer
  auto withHead = [&](int mode, const Bytes& patch) {
    Bytes out{static_cast<uint8_t>(mode), static_cast<uint8_t>(romSize >> 8),
              static_cast<uint8_t>(romSize & 0xFF)};
    out.insert(out.end(), patch.begin(), patch.end());
    return out;
  };
  const Bytes ips = varsk::MakeIpsPatch(rom, modified);
  const Bytes bps = varsk::MakeBpsPatch(rom, modified);
  Write(t, "ips", withHead(0, ips));
  Write(t, "bps", withHead(0, bps));
  Write(t, "bps-fixed", withHead(1, bps));
  Bytes shorter(rom.begin(), rom.begin() + 3000);
  Write(t, "ips-cut", withHead(0, varsk::MakeIpsPatch(rom, shorter)));
  Write(t, "bps-cut", withHead(1, varsk::MakeBpsPatch(rom, shorter)));
  Write(t, "ips-truncated", withHead(0, Bytes(ips.begin(), ips.begin() + ips.size() / 2)));
  Write(t, "round-trip",
        withHead(2, Bytes{0x12, 0x00, 0x00, 0x10, 0x55, 0x02, 0x00, 0xFF, 0x20, 0x77, 0x0F, 0xF0,
                          0x01}));
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2 || argc > 3) {
    std::fprintf(stderr, "usage: %s OUT_DIR [ms_data.bin]\n", argv[0]);
    return 2;
  }
  outDir = argv[1];
  const fs::path generated = argc == 3 ? fs::path(argv[2]) : fs::path();
  std::mt19937 random(20261208);
  DataSetSeeds(random, generated);
  RomSeeds(random);
  TextSeeds();
  NameListSeeds(random);
  DrawSeeds(random);
  PatchSeeds();
  return 0;
}
