// A JSON edit file read whole before any of it is applied: RapidJSON's SAX
// reader checks the syntax and the UTF-8 and hands over every key and value
// as it comes, so a key given twice in one object is seen where it stands.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace varsk {

struct JsonMember;

struct JsonValue {
  enum class Type : uint8_t { Null, False, True, Number, String, Array, Object };
  Type type = Type::Null;
  std::string text;                 // a number as written, a string as UTF-8
  std::vector<JsonValue> items;     // an array's items
  std::vector<JsonMember> members;  // an object's members, one per key, in key order

  // The member of an object with that key, or nullptr.
  const JsonValue* Member(std::string_view key) const;
};

struct JsonMember {
  std::string key;  // UTF-8, escapes resolved
  JsonValue value;
};

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

struct JsonDocument {
  JsonValue top;
  // The first key that appears twice in one object, in the order of the text;
  // keys are compared after their escapes are resolved ("hp" and "h\u0070"
  // are the same key).
  std::optional<RepeatedJsonKey> repeated;
};

// Deeper nesting is refused, as a malformed text is.
inline constexpr size_t kJsonNestingLimit = 1024;

// Reads the one JSON value that `text` holds. Numbers keep their text as
// written. An object keeps the last member given for a key, and its members
// are sorted by key (UTF-16 code units), the order in which an import checks
// them: of several faults of an entry the same one is reported whatever the
// order of the text. Throws VarskError "<source>: malformed JSON at byte N:
// <problem>" for anything else (a zero byte ends no text early).
JsonDocument ReadJsonDocument(std::string_view text, std::string_view source);

// "weapons[2].ammo": the steps, then `key` when it is not empty.
std::string JsonPathText(const std::vector<JsonStep>& steps, const std::string& key);

}  // namespace varsk
