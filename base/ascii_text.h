// ASCII letters compared without regard to case, the same in every locale.
// std::tolower follows the C locale that Qt sets from the environment; in a
// Turkish locale it leaves 'I' alone, so ".IPS" would not end in ".ips".
#pragma once

#include <algorithm>
#include <string_view>

namespace varsk {

// `c` with A..Z made a..z; every other byte as it is.
constexpr char AsciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; }

constexpr bool EqualsAsciiNoCase(std::string_view a, std::string_view b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                    [](char x, char y) { return AsciiLower(x) == AsciiLower(y); });
}

constexpr bool EndsWithAsciiNoCase(std::string_view text, std::string_view suffix) {
  return text.size() >= suffix.size() &&
         EqualsAsciiNoCase(text.substr(text.size() - suffix.size()), suffix);
}

}  // namespace varsk
