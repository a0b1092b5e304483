// The move types: the name of each item of the editor's move type list, and
// which item shows a stored moveType. Items 0..15 stand for 0..15, item 16
// (the rocket) for 18; the list has no item for any other value.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace varsk {

constexpr int kMoveTypeItemCount = 17;
constexpr int kRocketMoveTypeItem = 16;
constexpr int32_t kRocketMoveType = 18;

// UTF-8 names of two or three Chinese characters, by item.
inline constexpr std::array<std::string_view, kMoveTypeItemCount> kMoveTypeNames = {
    "萬能", "水陸",   "宇宙",   "陸飛", "太空", "一般", "宇宙", "陸上", "陸飛",
    "飛行", "一般降", "飛行降", "水中", "運輸", "不明", "輔助", "火箭",
};

// The item that stands for a stored value: 0..15 their own, 18 the rocket's;
// none (-1) for any other value (16, 17, 19 and up, or negative), which the
// list cannot show and which therefore has no name.
constexpr int MoveTypeItemOf(int64_t moveType) {
  if (moveType >= 0 && moveType < kRocketMoveTypeItem) return static_cast<int>(moveType);
  return moveType == kRocketMoveType ? kRocketMoveTypeItem : -1;
}

// The value that Apply stores for a selected item.
constexpr int32_t MoveTypeOfItem(int item) {
  return item == kRocketMoveTypeItem ? kRocketMoveType : item;
}

// The name of the item that stands for a stored value; empty when none does.
constexpr std::string_view MoveTypeName(int64_t moveType) {
  const int item = MoveTypeItemOf(moveType);
  return item < 0 ? std::string_view() : kMoveTypeNames[static_cast<size_t>(item)];
}

}  // namespace varsk
