#include "edits/json_document.h"

#include <rapidjson/error/en.h>
#include <rapidjson/reader.h>

#include <algorithm>
#include <unordered_set>
#include <utility>

#include "base/messages.h"

namespace varsk {

namespace {

using Type = JsonValue::Type;

// UTF-8 byte order is code point order; UTF-16 code units differ from it only
// in U+E000..U+FFFF (lead bytes EE and EF), which come after the surrogates
// that write U+10000 and above (lead bytes F0..F4).
unsigned Utf16Rank(char c) {
  const auto byte = static_cast<unsigned char>(c);
  return byte == 0xEE || byte == 0xEF ? byte + 0x10u : byte;
}

bool KeyBefore(const JsonMember& a, const JsonMember& b) {
  const auto [left, right] = std::mismatch(a.key.begin(), a.key.end(), b.key.begin(), b.key.end());
  if (right == b.key.end()) return false;
  return left == a.key.end() || Utf16Rank(*left) < Utf16Rank(*right);
}

// Turns the SAX events of RapidJSON's reader into a JsonDocument.
class DocumentBuilder : public rapidjson::BaseReaderHandler<rapidjson::UTF8<>, DocumentBuilder> {
 public:
  explicit DocumentBuilder(JsonDocument& document) : document_(document) {}

  bool Null() { return Add(JsonValue{Type::Null, {}, {}, {}}) != nullptr; }
  bool Bool(bool value) {
    return Add(JsonValue{value ? Type::True : Type::False, {}, {}, {}}) != nullptr;
  }
  bool RawNumber(const char* text, rapidjson::SizeType length, bool /*copy*/) {
    return Add(JsonValue{Type::Number, std::string(text, length), {}, {}}) != nullptr;
  }
  bool String(const char* text, rapidjson::SizeType length, bool /*copy*/) {
    return Add(JsonValue{Type::String, std::string(text, length), {}, {}}) != nullptr;
  }
  bool StartObject() { return Open(Type::Object); }
  bool Key(const char* text, rapidjson::SizeType length, bool /*copy*/) {
    Frame& frame = frames_.back();
    std::string key(text, length);
    if (!frame.keys.insert(key).second) {
      frame.repeated = true;
      if (!document_.repeated) {
        RepeatedJsonKey repeated{{}, key};
        for (size_t i = 0; i + 1 < frames_.size(); ++i) repeated.path.push_back(frames_[i].step);
        document_.repeated = std::move(repeated);
      }
    }
    frame.step = JsonStep{key, -1};
    frame.value->members.push_back(JsonMember{std::move(key), {}});
    return true;
  }
  bool EndObject(rapidjson::SizeType /*memberCount*/) {
    Frame& frame = frames_.back();
    std::vector<JsonMember>& members = frame.value->members;
    std::stable_sort(members.begin(), members.end(), KeyBefore);
    if (frame.repeated) {
      // Of equal keys, now side by side in the order given, the last stays.
      std::vector<JsonMember> kept;
      for (size_t i = 0; i < members.size(); ++i) {
        if (i + 1 < members.size() && members[i + 1].key == members[i].key) continue;
        kept.push_back(std::move(members[i]));
      }
      members = std::move(kept);
    }
    frames_.pop_back();
    return true;
  }
  bool StartArray() { return Open(Type::Array); }
  bool EndArray(rapidjson::SizeType /*elementCount*/) {
    frames_.pop_back();
    return true;
  }

  // Whether reading stopped at kJsonNestingLimit.
  bool TooDeep() const { return tooDeep_; }

 private:
  struct Frame {
    JsonValue* value;
    std::unordered_set<std::string> keys;  // of an object, so far
    bool repeated = false;                 // whether some key came twice
    JsonStep step;                         // where the value being read lies
  };

  // Places `value` where the text has it; returns where it now lies. A
  // container stays where it is while it is open: its parent grows only after
  // it has been closed.
  JsonValue* Add(JsonValue value) {
    if (frames_.empty()) {
      document_.top = std::move(value);
      return &document_.top;
    }
    Frame& frame = frames_.back();
    if (frame.value->type == Type::Object) {
      frame.value->members.back().value = std::move(value);
      return &frame.value->members.back().value;
    }
    frame.step.index = static_cast<int64_t>(frame.value->items.size());
    frame.value->items.push_back(std::move(value));
    return &frame.value->items.back();
  }

  bool Open(Type type) {
    if (frames_.size() == kJsonNestingLimit) {
      tooDeep_ = true;
      return false;
    }
    frames_.push_back(Frame{Add(JsonValue{type, {}, {}, {}}), {}, false, {}});
    return true;
  }

  JsonDocument& document_;
  std::vector<Frame> frames_;
  bool tooDeep_ = false;
};

}  // namespace

const JsonValue* JsonValue::Member(std::string_view key) const {
  for (const JsonMember& member : members) {
    if (member.key == key) return &member.value;
  }
  return nullptr;
}

JsonDocument ReadJsonDocument(std::string_view text, std::string_view source) {
  JsonDocument document;
  DocumentBuilder builder(document);
  // Read in place, from a copy: strings are decoded where they stand, so the
  // reader needs no stack of its own (its lazily made stack does arithmetic on
  // a null pointer, which the sanitizers refuse).
  std::string buffer(text);
  rapidjson::InsituStringStream stream(buffer.data());
  rapidjson::Reader reader;
  constexpr unsigned kFlags = rapidjson::kParseInsituFlag | rapidjson::kParseValidateEncodingFlag |
                              rapidjson::kParseNumbersAsStringsFlag;
  const rapidjson::ParseResult result = reader.Parse<kFlags>(stream, builder);
  if (result.IsError()) {
    throw VarskError(JsonErrorMessage(
        source, static_cast<int64_t>(result.Offset()),
        builder.TooDeep() ? JsonTooDeepText() : rapidjson::GetParseError_En(result.Code())));
  }
  // The reader takes a zero byte for the end of the text.
  if (stream.Tell() != text.size()) {
    throw VarskError(JsonErrorMessage(
        source, static_cast<int64_t>(stream.Tell()),
        rapidjson::GetParseError_En(rapidjson::kParseErrorDocumentRootNotSingular)));
  }
  return document;
}

std::string JsonPathText(const std::vector<JsonStep>& steps, const std::string& key) {
  std::string text;
  for (const JsonStep& step : steps) {
    if (step.index >= 0) {
      text += "[" + std::to_string(step.index) + "]";
    } else {
      if (!text.empty()) text += '.';
      text += step.key;
    }
  }
  if (!key.empty()) {
    if (!text.empty()) text += '.';
    text += key;
  }
  return text;
}

}  // namespace varsk
