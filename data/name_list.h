// The name lists namestringC/E/J.txt: 8-bit text split into lines.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace varsk {

inline constexpr char kNameListFileC[] = "namestringC.txt";
inline constexpr char kNameListFileE[] = "namestringE.txt";
inline constexpr char kNameListFileJ[] = "namestringJ.txt";
constexpr int kEntryNameLines = 229;  // lines 1..229: entries
constexpr int kWeaponCount = 175;     // lines 230..404: weapon ids 1..175

// The 0-based line that names weapon id `weaponId` (1..kWeaponCount).
constexpr int WeaponNameLine(int weaponId) { return kEntryNameLines + weaponId - 1; }

using NameList = std::vector<std::string>;  // raw 8-bit lines, untrimmed

// The three lists: Chinese, English, Japanese.
enum class NameListLanguage { C, E, J };

// Splits at CR, LF or CR LF; the text ends at its end or its first zero byte.
NameList SplitNameList(std::span<const uint8_t> bytes);
// Reads a whole file (at most kNameListSizeLimit bytes); throws "Cannot open
// file "<full path>". <cause>" (also for a folder, FIFO or device) or a
// too-large message.
NameList LoadNameList(const std::string& path);
// Line `index` (0-based); throws "List index out of bounds (<index>)".
const std::string& NameLine(const NameList& list, int64_t index);

// "001" .. "229": n with leading zeros to three digits (n >= 1).
std::string ThreeDigitNumber(int n);

}  // namespace varsk
