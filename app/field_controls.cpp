#include "app/field_controls.h"

#include <string>

namespace varsk {
namespace {

const EntryField* MsField(const char* name) {
  return name == nullptr ? nullptr : FindEntryField(EntryKind::Ms, name);
}
const EntryField* ShipField(const char* name) {
  return name == nullptr ? nullptr : FindEntryField(EntryKind::Ship, name);
}

// A row of the designed controls' part of the table.
struct Row {
  const char* control;
  ControlRole role;
  const char16_t* msName;
  const char16_t* shipName;  // nullptr: the MS name
  const char* msField;       // a name of the core's field table, nullptr: none
  const char* shipField;
  int msApply;  // the place in Apply's order: 1 first, 0 never read
  int shipApply;
  int bit = -1;
};

constexpr ControlRole kName = ControlRole::NameOnly;
constexpr ControlRole kNumber = ControlRole::Number;
constexpr ControlRole kBit = ControlRole::FlagBit;

// The designed controls, in screen order. Apply stores the fields in a fixed
// order per kind (the places below); the check boxes of one flag word share
// the word's place. Ships relabel the third row of edits.
const Row kDesignedRows[] = {
    // control, role, MS name, ship name, MS field, ship field, MS place, ship place[, bit]
    {"ComboBox2", kName, u"Entry", nullptr, nullptr, nullptr, 0, 0},
    {"CheckBox24", kBit, u"Factory space", nullptr, "factoryFlags", "factoryFlags", 8, 8, 0},
    {"CheckBox25", kBit, u"Factory earth", nullptr, "factoryFlags", "factoryFlags", 8, 8, 1},
    {"CheckBox26", kBit, u"Factory moon", nullptr, "factoryFlags", "factoryFlags", 8, 8, 2},
    {"CheckBox10", kBit, u"Faction 1", nullptr, "factionFlags", "factionFlags", 7, 7, 0},
    {"CheckBox11", kBit, u"Faction 2", nullptr, "factionFlags", "factionFlags", 7, 7, 1},
    {"CheckBox12", kBit, u"Faction 3", nullptr, "factionFlags", "factionFlags", 7, 7, 2},
    {"CheckBox13", kBit, u"Faction 4", nullptr, "factionFlags", "factionFlags", 7, 7, 3},
    {"CheckBox14", kBit, u"Faction 5", nullptr, "factionFlags", "factionFlags", 7, 7, 4},
    {"CheckBox15", kBit, u"Faction 6", nullptr, "factionFlags", "factionFlags", 7, 7, 5},
    {"CheckBox16", kBit, u"Faction 7", nullptr, "factionFlags", "factionFlags", 7, 7, 6},
    {"CheckBox17", kBit, u"Faction 8", nullptr, "factionFlags", "factionFlags", 7, 7, 7},
    {"CheckBox18", kBit, u"Faction 9", nullptr, "factionFlags", "factionFlags", 7, 7, 8},
    {"CheckBox19", kBit, u"Faction 10", nullptr, "factionFlags", "factionFlags", 7, 7, 9},
    {"CheckBox20", kBit, u"Faction 11", nullptr, "factionFlags", "factionFlags", 7, 7, 10},
    {"CheckBox21", kBit, u"Faction 12", nullptr, "factionFlags", "factionFlags", 7, 7, 11},
    {"CheckBox22", kBit, u"Faction 13", nullptr, "factionFlags", "factionFlags", 7, 7, 12},
    {"IconStripImage", kName, u"Faction icons", nullptr, nullptr, nullptr, 0, 0},
    {"SpritePreviewImage", kName, u"Sprite preview", nullptr, nullptr, nullptr, 0, 0},
    {"Edit1", kNumber, u"Ace", nullptr, "ace", nullptr, 9, 0},
    {"Edit2", kNumber, u"Cost", nullptr, "cost", "cost", 1, 1},
    {"Edit3", kNumber, u"HP", nullptr, "hp", "hp", 2, 2},
    {"Edit4", kNumber, u"Move", nullptr, "move", "move", 6, 6},
    {"Edit5", kNumber, u"EN", nullptr, "en", "en", 3, 3},
    {"Edit6", kNumber, u"Tech", nullptr, "tech", "tech", 11, 9},
    {"Edit7", kNumber, u"Product turn", nullptr, "productTurn", "productTurn", 12, 10},
    {"Edit10", kNumber, u"Armor", nullptr, "armor", "armor", 15, 13},
    {"Edit11", kNumber, u"Speed", nullptr, "speed", "speed", 16, 14},
    {"Edit8", kNumber, u"Support turn", nullptr, "supportTurn", "supportTurn", 13, 11},
    {"Edit43", ControlRole::RawBytes, u"Unknown bytes", nullptr, "rawBytes", "rawBytes", 0, 0},
    {"CheckBox3", kBit, u"Under deep water", nullptr, "terrainFlags", "terrainFlags", 4, 4, 2},
    {"CheckBox4", kBit, u"Capture base", nullptr, "terrainFlags", "terrainFlags", 4, 4, 1},
    {"CheckBox9", kBit, u"Fly", nullptr, "terrainFlags", "terrainFlags", 4, 4, 0},
    {"ComboBox3", ControlRole::MoveType, u"Move type", nullptr, "moveType", "moveType", 5, 5},
    {"CheckBox1", kName, u"Auto modify: ammo never consumes HP", nullptr, nullptr, nullptr, 0, 0},
    {"CheckBox2", kName, u"Auto modify: product turn to 1", nullptr, nullptr, nullptr, 0, 0},
    {"CheckBox5", kName, u"Auto modify: support turn to 1", nullptr, nullptr, nullptr, 0, 0},
    {"Edit12", kNumber, u"Artillery", nullptr, "artillery", "artillery", 17, 15},
    {"Edit13", kNumber, u"Artillery range", nullptr, "artilleryRange", "artilleryRange", 18, 16},
    {"Edit9", kNumber, u"S point", u"S point MS", "sPoint", "sPoint", 14, 12},
    {"Edit18", kNumber, u"S point ship", nullptr, nullptr, "sPointShip", 0, 21},
    {"Edit14", kNumber, u"Ship damage", u"Defense", "shipDamage", "defense", 19, 17},
    {"Edit15", kNumber, u"Base damage", u"Space", "baseDamage", "space", 10, 20},
    {"Edit16", kNumber, u"Area damage", nullptr, "areaDamage", "areaDamage", 20, 18},
    {"Edit17", kNumber, u"Area range", nullptr, "areaRange", "areaRange", 21, 19},
};

// MS entries store their weapon rows last, row 0 first; a ship's rows are
// shown only.
constexpr int kMsWeaponPlace = 22;

ControlMeaning Meaning(const Row& row) {
  const QString msName = QString::fromUtf16(row.msName);
  return {QString::fromLatin1(row.control),
          row.role,
          msName,
          row.shipName == nullptr ? msName : QString::fromUtf16(row.shipName),
          MsField(row.msField),
          ShipField(row.shipField),
          row.msApply,
          row.shipApply,
          row.bit};
}

std::vector<ControlMeaning> MakeMeanings() {
  std::vector<ControlMeaning> meanings;
  for (const Row& row : kDesignedRows) meanings.push_back(Meaning(row));
  // The weapon rows, counted from 1 as a person counts them on the screen.
  for (int r = 0; r < kShownWeaponSlots; ++r) {
    const QString weapon = QStringLiteral("Weapon %1").arg(r + 1);
    const auto value = [&](const char* control, ControlRole role, const QString& name, int v) {
      const char* field = entry_field_rows::kWeaponValueNames[r][v];
      meanings.push_back({QString::fromLatin1(control) + QString::number(r), role, name, name,
                          MsField(field), ShipField(field), kMsWeaponPlace, 0, -1});
    };
    value("WeaponBox", ControlRole::WeaponId, weapon, 0);
    value("DamageEdit", kNumber, weapon + QStringLiteral(" damage"), 1);
    value("AmmoEdit", kNumber, weapon + QStringLiteral(" ammo"), 2);
  }
  return meanings;
}

}  // namespace

const std::vector<ControlMeaning>& ControlMeanings() {
  static const std::vector<ControlMeaning> meanings = MakeMeanings();
  return meanings;
}

}  // namespace varsk
