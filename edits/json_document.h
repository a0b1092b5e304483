// A JSON edit file read whole before any of it is applied: RapidJSON's SAX
// reader checks the syntax and the UTF-8 and hands over every key and value
// as it comes, so a key given twice in one object is seen where it stands.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace varsk {

// One value of a JsonDocument, which holds its text, items and members.
struct JsonValue {
  enum class Type : uint8_t { Null, False, True, Number, String, Array, Object };
  Type type = Type::Null;
  uint32_t start = 0;  // where its text, first item or first member stands in the document
  uint32_t size = 0;   // the length of that text, or how many items or members
};

struct JsonMember {
  uint32_t keyStart = 0;
  uint32_t keySize = 0;
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

// Deeper nesting is refused, as a malformed text is.
inline constexpr size_t kJsonNestingLimit = 1024;

class JsonDocument {
 public:
  // Reads the one JSON value that `text` holds (at most kEditsFileSizeLimit
  // bytes). Numbers keep their text as written. An object keeps the last
  // member given for a key, and its members are sorted by key (UTF-16 code
  // units), the order in which an import checks them: of several faults of an
  // entry the same one is reported whatever the order of the text. Throws
  // VarskError "<source>: malformed JSON at byte N: <problem>" for anything
  // else (a zero byte ends no text early).
  JsonDocument(std::string_view text, std::string_view source);

  const JsonValue& Top() const { return top_; }
  // A number as written, a string as UTF-8 with its escapes resolved; empty
  // for other values.
  std::string_view Text(const JsonValue& value) const;
  std::string_view Key(const JsonMember& member) const;
  // An array's items; none for other values.
  std::span<const JsonValue> Items(const JsonValue& array) const;
  // An object's members, one per key, in key order; none for other values.
  std::span<const JsonMember> Members(const JsonValue& object) const;
  // The member of an object with that key, or nullptr.
  const JsonValue* Member(const JsonValue& object, std::string_view key) const;
  // The first key that appears twice in one object, in the order of the text;
  // keys are compared after their escapes are resolved ("hp" and "h\u0070"
  // are the same key).
  const std::optional<RepeatedJsonKey>& Repeated() const { return repeated_; }

 private:
  class Builder;

  std::string text_;  // the text as read, each string decoded where it stood
  std::vector<JsonValue> items_;
  std::vector<JsonMember> members_;
  JsonValue top_;
  std::optional<RepeatedJsonKey> repeated_;
};

// "weapons[2].ammo": the steps, then `key` when it is not empty.
std::string JsonPathText(const std::vector<JsonStep>& steps, const std::string& key);

}  // namespace varsk
