// "Auto modify": the three bulk changes over all records.
#pragma once

#include "data/data_set.h"

namespace varsk {

struct AutoModifyOptions {
  bool ammoFromHp = false;        // CheckBox1: "Ammo never consume hp"
  bool productTurnToOne = false;  // CheckBox2
  bool supportTurnToOne = false;  // CheckBox5
};

// Applies the chosen changes in their fixed order; returns how many values changed.
int AutoModify(DataSet& dataSet, const AutoModifyOptions& options);

}  // namespace varsk
