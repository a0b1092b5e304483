// Which control of the window shows which value of the selected entry, and
// what a person calls each control: one table beside the geometry table. It
// drives showing an entry, Apply (in its fixed order, every value checked
// against its field before anything is stored), the check for typed values
// that Apply has not stored, and the names a screen reader speaks.
#pragma once

#include <QString>
#include <cstdint>
#include <vector>

#include "data/entry_fields.h"

namespace varsk {

// How a control shows its value.
enum class ControlRole : uint8_t {
  NameOnly,  // shows no value of the entry: the entry list, the options, the images
  Number,    // an edit with the value as signed decimal text
  RawBytes,  // Edit43: the raw ROM bytes in hexadecimal; Apply never reads it
  MoveType,  // ComboBox3: the item of the move type
  FlagBit,   // a check box: one bit of a flag word
  WeaponId,  // a weapon row's list: the item of the weapon id
};

// One control of the window. A kind of entry that the control does not show
// has no field; Apply reads the control for a kind when its place is above 0.
struct ControlMeaning {
  QString control;  // the object name: "Edit3", "WeaponBox2"
  ControlRole role;
  QString msName;    // what a person calls it while an MS entry is shown
  QString shipName;  // ... while a ship is shown
  const EntryField* msField;
  const EntryField* shipField;
  int msApply;    // Apply's order for MS entries: 1 is stored first
  int shipApply;  // ... for ships
  int bit;        // FlagBit: the bit of the flag word

  const QString& Name(EntryKind kind) const { return kind == EntryKind::Ship ? shipName : msName; }
  const EntryField* Field(EntryKind kind) const {
    return kind == EntryKind::Ms ? msField : kind == EntryKind::Ship ? shipField : nullptr;
  }
  int ApplyPlace(EntryKind kind) const {
    return kind == EntryKind::Ms ? msApply : kind == EntryKind::Ship ? shipApply : 0;
  }
};

// Every control that shows a value of the entry or needs a spoken name beyond
// its own text, the eight weapon rows included.
const std::vector<ControlMeaning>& ControlMeanings();

}  // namespace varsk
