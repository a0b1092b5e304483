// The move types: the name of each item of the editor's move type list, and
// which item shows a stored moveType. Items 0..15 stand for 0..15, item 16
// (the rocket) for 18.
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

// The item that shows a stored value: 16 or more -> item 16, a negative value -> none (-1).
constexpr int MoveTypeItemOf(int32_t moveType) {
  if (moveType < 0) return -1;
  return moveType >= kRocketMoveTypeItem ? kRocketMoveTypeItem : moveType;
}

// The value that Apply stores for a selected item (-1 = no selection stores -1).
constexpr int32_t MoveTypeOfItem(int item) {
  return item == kRocketMoveTypeItem ? kRocketMoveType : item;
}

// The name of the item that shows a stored value; empty when none does.
constexpr std::string_view MoveTypeName(int64_t moveType) {
  if (moveType < 0 || moveType > INT32_MAX) return {};
  return kMoveTypeNames[static_cast<size_t>(MoveTypeItemOf(static_cast<int32_t>(moveType)))];
}

}  // namespace varsk
