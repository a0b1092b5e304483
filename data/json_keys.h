// Repeated keys in JSON edit files. A JSON reader keeps only the last of two
// equal keys of an object; an edit file that says {"entryIndex": 12, ...,
// "entryIndex": 200} is a mistake that must not edit entry 200 silently.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace varsk {

// One step from the top of a JSON text to a value: a key of an object, or
// (when `index` is not negative) a position in an array.
struct JsonStep {
  std::string key;
  int64_t index = -1;
};

struct RepeatedJsonKey {
  std::vector<JsonStep> path;  // the object that holds the key twice
  std::string key;             // UTF-8, escapes resolved
};

// The first key that appears twice in one object of `json`, keys compared
// after their escapes are resolved ("hp" and "h\u0070" are the same key).
// `json` must be well-formed (checked by the JSON reader first); for other
// text the result means nothing, but the scan stays within the text.
std::optional<RepeatedJsonKey> FindRepeatedKey(std::string_view json);

// "weapons[2].ammo": the steps, then `key` when it is not empty.
std::string JsonPathText(const std::vector<JsonStep>& steps, const std::string& key);

}  // namespace varsk
