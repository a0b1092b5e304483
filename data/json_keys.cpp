#include "data/json_keys.h"

#include <set>

#include "base/messages.h"
#include "base/utf8.h"

namespace varsk {

namespace {

// Four hexadecimal digits at `pos`, or -1.
int32_t Hex4(std::string_view text, size_t pos) {
  if (pos + 4 > text.size()) return -1;
  int32_t value = 0;
  for (size_t i = pos; i < pos + 4; ++i) {
    const char c = text[i];
    const int digit = c >= '0' && c <= '9'   ? c - '0'
                      : c >= 'a' && c <= 'f' ? c - 'a' + 10
                      : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                             : -1;
    if (digit < 0) return -1;
    value = value * 16 + digit;
  }
  return value;
}

// Reads the string that starts at the quote at `pos`, with its escapes
// resolved; leaves `pos` after the closing quote.
std::string ReadString(std::string_view text, size_t& pos) {
  std::string out;
  ++pos;
  while (pos < text.size() && text[pos] != '"') {
    if (text[pos] != '\\' || pos + 1 >= text.size()) {
      out += text[pos++];
      continue;
    }
    const char escaped = text[pos + 1];
    pos += 2;
    switch (escaped) {
      case 'b':
        out += '\b';
        break;
      case 'f':
        out += '\f';
        break;
      case 'n':
        out += '\n';
        break;
      case 'r':
        out += '\r';
        break;
      case 't':
        out += '\t';
        break;
      case 'u': {
        int32_t unit = Hex4(text, pos);
        if (unit < 0) break;
        pos += 4;
        // A surrogate pair is one character.
        if (unit >= 0xD800 && unit <= 0xDBFF && pos + 1 < text.size() && text[pos] == '\\' &&
            text[pos + 1] == 'u') {
          const int32_t low = Hex4(text, pos + 2);
          if (low >= 0xDC00 && low <= 0xDFFF) {
            unit = 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00);
            pos += 6;
          }
        }
        AppendUtf8(out, static_cast<char32_t>(unit));
        break;
      }
      default:  // '"', '\\', '/'
        out += escaped;
    }
  }
  ++pos;
  return out;
}

struct Frame {
  bool object = false;
  bool expectKey = false;  // in an object: the next string is a key
  std::set<std::string> keys;
  JsonStep step;  // where the value being read lies within this container
};

}  // namespace

std::optional<RepeatedJsonKey> FindRepeatedKey(std::string_view json) {
  std::vector<Frame> frames;
  size_t pos = 0;
  while (pos < json.size()) {
    const char c = json[pos];
    switch (c) {
      case '{':
      case '[': {
        Frame frame;
        frame.object = c == '{';
        frame.expectKey = frame.object;
        if (!frame.object) frame.step.index = 0;
        frames.push_back(std::move(frame));
        ++pos;
        break;
      }
      case '}':
      case ']':
        if (!frames.empty()) frames.pop_back();
        ++pos;
        break;
      case ',':
        if (!frames.empty()) {
          Frame& frame = frames.back();
          if (frame.object) {
            frame.expectKey = true;
          } else {
            ++frame.step.index;
          }
        }
        ++pos;
        break;
      case '"': {
        std::string text = ReadString(json, pos);
        if (frames.empty() || !frames.back().object || !frames.back().expectKey) break;
        Frame& frame = frames.back();
        frame.expectKey = false;
        if (!frame.keys.insert(text).second) {
          RepeatedJsonKey repeated;
          for (size_t i = 0; i + 1 < frames.size(); ++i) repeated.path.push_back(frames[i].step);
          repeated.key = std::move(text);
          return repeated;
        }
        frame.step = JsonStep{std::move(text), -1};
        break;
      }
      default:
        ++pos;  // blanks, ':', numbers and literals
    }
  }
  return std::nullopt;
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
