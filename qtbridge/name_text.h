// Display text of the 8-bit name-list lines.
#pragma once

#include <QString>
#include <string>

#include "data/name_list.h"

namespace varsk {

// UTF-8 when the line is valid UTF-8; otherwise Big5 (C), Shift_JIS (J) or
// Windows-1252 (E).
QString DecodeNameLine(const std::string& line, NameListLanguage language);

}  // namespace varsk
