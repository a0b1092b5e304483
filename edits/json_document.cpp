#include "edits/json_document.h"

#include <rapidjson/error/en.h>
#include <rapidjson/reader.h>

#include <algorithm>
#include <cstdint>
#include <unordered_set>
#include <utility>

#include "base/file_io.h"
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

bool KeyBefore(std::string_view a, std::string_view b) {
  const auto [left, right] = std::mismatch(a.begin(), a.end(), b.begin(), b.end());
  if (right == b.end()) return false;
  return left == a.end() || Utf16Rank(*left) < Utf16Rank(*right);
}

}  // namespace

// Turns the SAX events of RapidJSON's reader into the document. The values of
// an open array or object wait on a stack of their own; when it closes they
// move, side by side, to the document's items or members.
class JsonDocument::Builder
    : public rapidjson::BaseReaderHandler<rapidjson::UTF8<>, JsonDocument::Builder> {
 public:
  explicit Builder(JsonDocument& document) : document_(document) {}

  bool Null() { return Add({Type::Null, 0, 0}); }
  bool Bool(bool value) { return Add({value ? Type::True : Type::False, 0, 0}); }
  bool RawNumber(const char* text, rapidjson::SizeType length, bool /*copy*/) {
    return Add({Type::Number, Start(text), length});
  }
  bool String(const char* text, rapidjson::SizeType length, bool /*copy*/) {
    return Add({Type::String, Start(text), length});
  }
  bool StartObject() { return Open(Type::Object, members_.size()); }
  bool Key(const char* text, rapidjson::SizeType length, bool /*copy*/) {
    Frame& frame = frames_.back();
    const std::string_view key(text, length);
    if (!frame.keys.insert(key).second) {
      frame.repeated = true;
      if (!document_.repeated_) {
        RepeatedJsonKey repeated{{}, std::string(key)};
        for (size_t i = 0; i + 1 < frames_.size(); ++i) repeated.path.push_back(frames_[i].step);
        document_.repeated_ = std::move(repeated);
      }
    }
    frame.step = JsonStep{std::string(key), -1};
    members_.push_back(JsonMember{Start(text), length, {}});
    return true;
  }
  bool EndObject(rapidjson::SizeType /*memberCount*/) {
    const Frame frame = std::move(frames_.back());
    frames_.pop_back();
    const auto begin = members_.begin() + static_cast<ptrdiff_t>(frame.start);
    std::stable_sort(begin, members_.end(), [&](const JsonMember& a, const JsonMember& b) {
      return KeyBefore(document_.Key(a), document_.Key(b));
    });
    const auto first = static_cast<uint32_t>(document_.members_.size());
    for (auto member = begin; member != members_.end(); ++member) {
      // Of equal keys, now side by side in the order given, the last stays.
      const auto next = member + 1;
      if (frame.repeated && next != members_.end() &&
          document_.Key(*next) == document_.Key(*member)) {
        continue;
      }
      document_.members_.push_back(*member);
    }
    members_.erase(begin, members_.end());
    return Add({Type::Object, first, static_cast<uint32_t>(document_.members_.size() - first)});
  }
  bool StartArray() { return Open(Type::Array, items_.size()); }
  bool EndArray(rapidjson::SizeType /*elementCount*/) {
    const size_t start = frames_.back().start;
    frames_.pop_back();
    const auto first = static_cast<uint32_t>(document_.items_.size());
    if (start == 0 && first == 0) {
      // The whole stack is the array's, and the document has no items yet: it
      // takes them without a copy (a long array of entries, say).
      document_.items_.swap(items_);
    } else {
      const auto begin = items_.begin() + static_cast<ptrdiff_t>(start);
      document_.items_.insert(document_.items_.end(), begin, items_.end());
      items_.erase(begin, items_.end());
    }
    return Add({Type::Array, first, static_cast<uint32_t>(document_.items_.size() - first)});
  }

  // Whether reading stopped at kJsonNestingLimit.
  bool TooDeep() const { return tooDeep_; }

 private:
  struct Frame {
    Type type;
    size_t start;                               // its first value on the stack
    std::unordered_set<std::string_view> keys;  // of an object, so far
    bool repeated = false;                      // whether some key came twice
    JsonStep step;                              // where the value being read lies
  };

  // Where text that the reader hands over stands in the document's text: it
  // reads in place, so every string, key and number lies there.
  uint32_t Start(const char* text) const {
    return static_cast<uint32_t>(text - document_.text_.data());
  }

  // The step to the next value of the open array, whose items so far are on the stack.
  void StepToNextItem() {
    if (!frames_.empty() && frames_.back().type == Type::Array) {
      frames_.back().step.index = static_cast<int64_t>(items_.size() - frames_.back().start);
    }
  }

  // Places a finished value where the text has it.
  bool Add(const JsonValue& value) {
    if (frames_.empty()) {
      document_.top_ = value;
    } else if (frames_.back().type == Type::Object) {
      members_.back().value = value;
    } else {
      StepToNextItem();
      items_.push_back(value);
    }
    return true;
  }

  bool Open(Type type, size_t start) {
    if (frames_.size() == kJsonNestingLimit) {
      tooDeep_ = true;
      return false;
    }
    StepToNextItem();
    frames_.push_back(Frame{type, start, {}, false, {}});
    return true;
  }

  JsonDocument& document_;
  std::vector<Frame> frames_;
  std::vector<JsonValue> items_;     // of the open arrays
  std::vector<JsonMember> members_;  // of the open objects
  bool tooDeep_ = false;
};

JsonDocument::JsonDocument(std::string_view text, std::string_view source) {
  // Every start and size fits in 32 bits.
  static_assert(kEditsFileSizeLimit < UINT32_MAX - 8);
  if (text.size() > kEditsFileSizeLimit) {
    throw VarskError(FileTooLargeMessage(source, kEditsFileSizeLimit, "an edits file"));
  }
  // Read in place, from a copy: strings are decoded where they stand, so the
  // reader needs no stack of its own (its lazily made stack does arithmetic on
  // a null pointer, which the sanitizers refuse). A UTF-8 sequence cut short
  // by the end is read on for up to three bytes: zero bytes stand there.
  text_.reserve(text.size() + 4);
  text_.append(text).append(4, '\0');
  Builder builder(*this);
  rapidjson::InsituStringStream stream(text_.data());
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
}

std::string_view JsonDocument::Text(const JsonValue& value) const {
  if (value.type != Type::Number && value.type != Type::String) return {};
  return std::string_view(text_).substr(value.start, value.size);
}

std::string_view JsonDocument::Key(const JsonMember& member) const {
  return std::string_view(text_).substr(member.keyStart, member.keySize);
}

std::span<const JsonValue> JsonDocument::Items(const JsonValue& array) const {
  if (array.type != Type::Array) return {};
  return std::span(items_).subspan(array.start, array.size);
}

std::span<const JsonMember> JsonDocument::Members(const JsonValue& object) const {
  if (object.type != Type::Object) return {};
  return std::span(members_).subspan(object.start, object.size);
}

const JsonValue* JsonDocument::Member(const JsonValue& object, std::string_view key) const {
  for (const JsonMember& member : Members(object)) {
    if (Key(member) == key) return &member.value;
  }
  return nullptr;
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
