// The catalogue the data set describes: 13 factions, 191 mobile units in
// models and variants, 38 ships, 175 weapons, their names in three languages
// and their statistics.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "data/records.h"

namespace varsk::datagen {

constexpr int kFactionCount = 13;
constexpr int kMsEntries = 191;
constexpr int kShipEntries = 38;
constexpr int kEntries = kMsEntries + kShipEntries;
constexpr int kWeapons = 175;
constexpr int kSprites = 237;

// A name in English (ASCII), Traditional Chinese and Japanese (both UTF-8 here).
struct Names {
  std::string e;
  std::string c;
  std::string j;
};

// RGB888 colours of a faction's livery.
struct Rgb {
  int r, g, b;
};
struct Livery {
  Rgb primary;
  Rgb secondary;
  Rgb accent;
  Rgb glow;
};

struct Faction {
  Names name;
  const char* prefix;  // designation letters of its units
  Livery livery;
  int headStyle;  // see art_robots.cpp
  int shoulderStyle;
};

enum class Variant : uint8_t {
  Base,
  Command,
  Desert,
  Marine,
  Space,
  Heavy,
  Recon,
  Sniper,
  Assault,
  Custom,
  Prototype
};

enum class SpriteKind : uint8_t { None, Robot, Ship };

// What a sprite sheet shows.
struct SpriteDesign {
  SpriteKind kind = SpriteKind::None;
  int set = 0;  // animation set number
  int faction = 0;
  int tier = 1;       // 1 light .. 4 heavy
  int shipClass = 0;  // ships: 0 corvette .. 5 dreadnought
  uint64_t seed = 0;
};

struct EntryDesign {
  Names names;
  int sprite = 0;
  int faction = 0;
  int tier = 1;
  Variant variant = Variant::Base;
  bool ship = false;
};

struct Catalogue {
  std::vector<Faction> factions;      // 13
  std::vector<EntryDesign> entries;   // entryIndex e at [e - 1]
  std::vector<Names> weapons;         // weapon id n at [n - 1]
  std::vector<SpriteDesign> sprites;  // spriteIndex s at [s]
  std::vector<MsRecord> ms;           // entry e at [e - 1]
  std::vector<ShipRecord> ships;      // ship n at [n - 1]
};

const Catalogue& TheCatalogue();

}  // namespace varsk::datagen
