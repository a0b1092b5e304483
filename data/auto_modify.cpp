// "Auto modify": the three bulk changes over all records.
#include "data/auto_modify.h"

#include <algorithm>

namespace varsk {
namespace {

// Lowers a turn value above 1 to 1; returns whether it changed.
bool TurnToOne(int32_t& turn) {
  if (turn <= 1) return false;
  turn = 1;
  return true;
}

}  // namespace

int AutoModify(DataSet& dataSet, const AutoModifyOptions& options) {
  const size_t msCount = static_cast<size_t>(std::clamp<int32_t>(dataSet.msCount, 0, kMsSlots));
  const size_t shipCount =
      static_cast<size_t>(std::clamp<int32_t>(dataSet.shipCount, 0, kShipSlots));
  int changed = 0;

  if (options.ammoFromHp) {
    for (size_t i = 0; i < msCount; ++i) {
      MsRecord& record = dataSet.msRecords[i];
      for (int k = 0; k < kShownWeaponSlots; ++k) {
        WeaponSlot& slot = record.weapons[k];
        if (slot.weaponId <= 0 || slot.ammo >= 0) continue;
        // Truncating division as in 32 bits, done in 64 so that hp -2147483648
        // with ammo -1 gives 2^31, whose negation is again -2147483648.
        const int64_t shots = -(int64_t{record.hp} / int64_t{slot.ammo});
        const auto ammo = static_cast<int32_t>(static_cast<uint32_t>(shots));
        if (ammo != slot.ammo) ++changed;
        slot.ammo = ammo;
      }
    }
  }
  if (options.productTurnToOne) {
    for (size_t i = 0; i < msCount; ++i) changed += TurnToOne(dataSet.msRecords[i].productTurn);
    for (size_t n = 0; n < shipCount; ++n) changed += TurnToOne(dataSet.shipRecords[n].productTurn);
  }
  if (options.supportTurnToOne) {
    for (size_t i = 0; i < msCount; ++i) changed += TurnToOne(dataSet.msRecords[i].supportTurn);
    for (size_t n = 0; n < shipCount; ++n) changed += TurnToOne(dataSet.shipRecords[n].supportTurn);
  }
  return changed;
}

}  // namespace varsk
