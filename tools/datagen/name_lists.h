// The three name lists: 229 entry names, 175 weapon names and a short
// trailer, CR LF line ends, in ASCII, Big5 and Shift_JIS.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace varsk::datagen {

enum class NameLanguage { E, C, J };

// The bytes of namestringE/C/J.txt. Throws std::runtime_error when a name
// cannot be written in the list's character set.
std::vector<uint8_t> MakeNameList(NameLanguage language);

}  // namespace varsk::datagen
