// The records and names the catalogue's core tests share: 191 MS entries and
// 38 ships whose HP, cost and ship defense differ from entry to entry.
#pragma once

#include <memory>
#include <string>

#include "data/data_set.h"
#include "data/name_list.h"

namespace varsk::testing {

inline std::unique_ptr<DataSet> Catalogue() {
  auto dataSet = std::make_unique<DataSet>();
  dataSet->msCount = kMsEntryCount;
  dataSet->shipCount = kShipEntryCount;
  for (int k = 1; k <= kMsEntryCount; ++k) {
    dataSet->MsSlot(k)->hp = k * 2;
    dataSet->MsSlot(k)->cost = 1000 - k;
  }
  for (int n = 1; n <= kShipEntryCount; ++n) {
    dataSet->ShipSlot(n)->hp = 500 + n;
    dataSet->ShipSlot(n)->defense = n;
  }
  dataSet->MsSlot(3)->weapons[2].ammo = -4;
  return dataSet;
}

inline std::string NameOf(int entryIndex, NameListLanguage language) {
  if (language == NameListLanguage::C) return "單位" + std::to_string(entryIndex);
  if (language == NameListLanguage::J) return "";
  return entryIndex == 8 ? "AR-18 Rampart" : "Unit " + std::to_string(entryIndex);
}

}  // namespace varsk::testing
