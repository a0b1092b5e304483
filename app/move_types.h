// The 17 items of the move type list (ComboBox3): each the core's move type
// name (data/move_types.h) and the terrain letter-digit pairs of that move type.
#pragma once

#include <QString>
#include <array>

#include "data/move_types.h"

namespace varsk {

// The terrain pairs of each item in columns, shown after the name.
inline constexpr std::array<const char*, kMoveTypeItemCount> kMoveTypeTerrains = {
    "A1 B1 C1 D1 E1 F1 G1 H1 I1",  //
    "A3 B2 C1             H1",     //
    "         D1 E1    G3 H1 I1",  //
    "A1 B1 C1       F1    H1",     //
    "            E1       H1 I1",  //
    "A2 B2 C4 D2 E2       H1 I1",  //
    "         D2 E2       H1 I1",  //
    "A2 B2 C4             H1",     //
    "A1 B1 C1       F1    H1",     //
    "A1 B1 C1 D1 E2 F1    H1 I1",  //
    "A2 B2 C4 D2 E2    G2 H1 I1",  //
    "A1 B1 C1 D1 E2 F1 G2 H1 I1",  //
    "      C1",                    //
    "            E1       H1 I1",  //
    "A1 B1    D1 E1       H1 I1",  //
    "A1 B1 C1 D1 E1 F1    H1 I1",  //
    "I1",
};

// The text of item `item` (0..16), shown in the fixed-pitch font: the name
// padded with blanks to 7 columns (each Chinese character takes two), then the
// terrain pairs, so that the pairs stand in columns.
inline QString MoveTypeItemText(int item) {
  const std::string_view name = kMoveTypeNames[static_cast<size_t>(item)];
  const QString shown = QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()));
  constexpr qsizetype kNameColumns = 7;
  return shown + QString(kNameColumns - 2 * shown.size(), QLatin1Char(' ')) +
         QString::fromLatin1(kMoveTypeTerrains[static_cast<size_t>(item)]);
}

}  // namespace varsk
