// The record diff written as an edit file is what the import reads: every
// field the ROM stores, named and written by the core, replays to the same
// records, and the dump's columns keep their names and order.
#include <gtest/gtest.h>

#include <string>

#include "cli/unit_records.h"
#include "data/entry_fields.h"
#include "edits/edit_file.h"
#include "patch/record_diff.h"

namespace varsk::cli {
namespace {

// The dump's columns, in their order, are what edit files made for one
// version of the program hold for the next: the MS and ship fields merged,
// each kind's order kept.
TEST(EditsReplay, DumpColumnsKeepTheirNamesAndOrder) {
  const DataSetPtr records = LoadRecords(std::string(), DataSetPart::Records);
  const std::string dump = DumpCsv(*records, {});
  EXPECT_EQ(dump.substr(0, dump.find("\r\n")),
            "entryIndex,kind,nameE,nameC,nameJ,spriteIndex,cost,hp,en,terrainFlags,moveType,move,"
            "factionFlags,factoryFlags,ace,baseDamage,space,tech,productTurn,supportTurn,sPoint,"
            "sPointShip,armor,shipDamage,defense,artillery,artilleryRange,areaDamage,areaRange,"
            "speed,rawBytes,w0.weaponId,w0.damage,w0.ammo,w1.weaponId,w1.damage,w1.ammo,"
            "w2.weaponId,w2.damage,w2.ammo,w3.weaponId,w3.damage,w3.ammo,w4.weaponId,w4.damage,"
            "w4.ammo,w5.weaponId,w5.damage,w5.ammo,w6.weaponId,w6.damage,w6.ammo,w7.weaponId,"
            "w7.damage,w7.ammo");
}

// Every field the import can change, spread over three entries of each kind,
// so that one entry carries several fields and weapon slots.
TEST(EditsReplay, DiffWrittenAsEditsReplaysOnTheOldRecords) {
  const DataSetPtr before = LoadRecords(std::string(), DataSetPart::Records);
  const DataSetPtr after = CopyOfRecords(*before);
  for (const EntryKind kind : {EntryKind::Ms, EntryKind::Ship}) {
    int row = 0;
    for (const EntryField& field : EntryFields(kind)) {
      if (!field.StoredInRom()) continue;
      const int entry = (kind == EntryKind::Ms ? 1 : before->msCount + 1) + row % 3;
      const int64_t wanted = row++ % 2 == 0 ? field.Maximum() : field.Minimum();
      const int64_t value = *EntryFieldValue(*after, entry, field);
      ASSERT_TRUE(SetEntryFieldValue(
          *after, entry, field,
          value == wanted ? field.Maximum() + field.Minimum() - wanted : wanted));
    }
  }
  const std::vector<FieldChange> changes = DiffRecords(*before, *after);
  ASSERT_GT(changes.size(), 40u);

  for (const std::string& edits : {EditsCsv(changes), EditsJson(changes)}) {
    const DataSetPtr replayed = CopyOfRecords(*before);
    ApplyEdits(edits, "edits", {}, *replayed);
    EXPECT_TRUE(DiffRecords(*after, *replayed).empty()) << edits;
  }
}

}  // namespace
}  // namespace varsk::cli
