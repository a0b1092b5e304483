// The 17 items of the move type list (ComboBox3) and their mapping to the
// stored moveType: items 0..15 stand for 0..15, item 16 for 18.
#pragma once

#include <array>
#include <cstdint>

namespace varsk {

constexpr int kMoveTypeItemCount = 17;
constexpr int kRocketMoveTypeItem = 16;
constexpr int32_t kRocketMoveType = 18;

// UTF-8 texts shown in the fixed-pitch font: a name of two or three Chinese
// characters padded with blanks, then the terrain letter-digit pairs in columns
// (each Chinese character takes two columns).
inline constexpr std::array<const char*, kMoveTypeItemCount> kMoveTypeItems = {
    "萬能   A1 B1 C1 D1 E1 F1 G1 H1 I1",  //
    "水陸   A3 B2 C1             H1",     //
    "宇宙            D1 E1    G3 H1 I1",  //
    "陸飛   A1 B1 C1       F1    H1",     //
    "太空               E1       H1 I1",  //
    "一般   A2 B2 C4 D2 E2       H1 I1",  //
    "宇宙            D2 E2       H1 I1",  //
    "陸上   A2 B2 C4             H1",     //
    "陸飛   A1 B1 C1       F1    H1",     //
    "飛行   A1 B1 C1 D1 E2 F1    H1 I1",  //
    "一般降 A2 B2 C4 D2 E2    G2 H1 I1",  //
    "飛行降 A1 B1 C1 D1 E2 F1 G2 H1 I1",  //
    "水中         C1",                    //
    "運輸               E1       H1 I1",  //
    "不明   A1 B1    D1 E1       H1 I1",  //
    "輔助   A1 B1 C1 D1 E1 F1    H1 I1",  //
    "火箭   I1",
};

// The item that shows a stored value: 16 or more -> item 16, a negative value -> none (-1).
constexpr int MoveTypeItemOf(int32_t moveType) {
  if (moveType < 0) return -1;
  return moveType >= kRocketMoveTypeItem ? kRocketMoveTypeItem : moveType;
}

// The value that Apply stores for a selected item (-1 = no selection stores -1).
constexpr int32_t MoveTypeOfItem(int item) {
  return item == kRocketMoveTypeItem ? kRocketMoveType : item;
}

}  // namespace varsk
