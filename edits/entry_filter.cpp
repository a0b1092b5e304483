#include "edits/entry_filter.h"

#include <algorithm>
#include <array>
#include <optional>

#include "base/messages.h"
#include "base/text_to_number.h"
#include "data/name_list.h"

namespace varsk {
namespace {

using Op = EntryFilter::Op;

// Letters compared in any case, whatever the program's locale: A to Z only,
// so names in other scripts compare as they are.
char AsciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

std::string AsciiLowered(std::string_view text) {
  std::string lowered(text);
  std::transform(lowered.begin(), lowered.end(), lowered.begin(), AsciiLower);
  return lowered;
}

bool ContainsAnyCase(std::string_view text, std::string_view loweredWord) {
  return AsciiLowered(text).find(loweredWord) != std::string::npos;
}

bool IsDigits(std::string_view text) {
  return !text.empty() &&
         std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// The tokens of a filter: runs of non-blanks, a quoted run as one token
// (quotes removed); `quoted` tells which were quoted (always words).
struct Token {
  std::string text;
  bool quoted = false;
};

std::vector<Token> Tokens(std::string_view text) {
  std::vector<Token> tokens;
  size_t i = 0;
  const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
  while (i < text.size()) {
    if (blank(text[i])) {
      ++i;
      continue;
    }
    if (text[i] == '"') {
      const size_t close = text.find('"', i + 1);
      if (close == std::string_view::npos) throw VarskError(FilterUnclosedQuoteText());
      tokens.push_back({std::string(text.substr(i + 1, close - i - 1)), true});
      i = close + 1;
      continue;
    }
    size_t end = i;
    while (end < text.size() && !blank(text[end])) ++end;
    tokens.push_back({std::string(text.substr(i, end - i)), false});
    i = end;
  }
  return tokens;
}

struct OperatorAt {
  size_t position;
  size_t length;
  Op op;
};

// The first comparison in `token`, if any.
std::optional<OperatorAt> FindOperator(std::string_view token) {
  const size_t at = token.find_first_of("<>=!");
  if (at == std::string_view::npos) return std::nullopt;
  static constexpr std::array<std::pair<std::string_view, Op>, 7> kOperators{{
      {"==", Op::Equal},
      {"!=", Op::NotEqual},
      {"<=", Op::LessOrEqual},
      {">=", Op::GreaterOrEqual},
      {"=", Op::Equal},
      {"<", Op::Less},
      {">", Op::Greater},
  }};
  for (const auto& [spelling, op] : kOperators) {
    if (token.substr(at).starts_with(spelling)) return OperatorAt{at, spelling.size(), op};
  }
  return std::nullopt;  // a lone "!": part of a word
}

bool Compare(int64_t left, Op op, int64_t right) {
  switch (op) {
    case Op::Equal:
      return left == right;
    case Op::NotEqual:
      return left != right;
    case Op::Less:
      return left < right;
    case Op::LessOrEqual:
      return left <= right;
    case Op::Greater:
      return left > right;
    case Op::GreaterOrEqual:
      return left >= right;
  }
  return false;
}

EntryFilter::Condition ParseCondition(std::string_view token, const OperatorAt& at) {
  const std::string_view column = token.substr(0, at.position);
  const std::string_view value = token.substr(at.position + at.length);
  if (value.empty()) throw VarskError(FilterMissingValueText(token));
  EntryFilter::Condition condition{std::string(column), at.op, 0, EntryKind::None};
  if (column == kKindKey) {
    if (at.op != Op::Equal && at.op != Op::NotEqual) {
      throw VarskError(FilterKindOperatorText(token));
    }
    const std::string kind = AsciiLowered(value);
    if (kind == EntryKindName(EntryKind::Ms)) {
      condition.kind = EntryKind::Ms;
    } else if (kind == EntryKindName(EntryKind::Ship)) {
      condition.kind = EntryKind::Ship;
    } else {
      throw VarskError(FilterKindText(token, value));
    }
    return condition;
  }
  if (column != kEntryIndexKey) {
    const EntryField* ms = FindEntryField(EntryKind::Ms, column);
    const EntryField* ship = FindEntryField(EntryKind::Ship, column);
    if (ms == nullptr && ship == nullptr) {
      if (NameKeyIndex(column) >= 0) throw VarskError(FilterNotComparableText(token, column));
      throw VarskError(FilterUnknownFieldText(token, column));
    }
    if ((ms != nullptr ? ms : ship)->coding == FieldCoding::RawBytes) {
      throw VarskError(FilterNotComparableText(token, column));
    }
  }
  const std::optional<int32_t> number = TryParseInteger(value);
  if (!number) throw VarskError(FilterNotANumberText(token, value));
  condition.value = *number;
  return condition;
}

bool WordMatches(std::string_view word, int entryIndex, const EntryNameOf& names) {
  const std::string number = ThreeDigitNumber(entryIndex);
  if (IsDigits(word) && (number.starts_with(word) || std::to_string(entryIndex) == word)) {
    return true;
  }
  if (!names) return false;
  for (const NameListLanguage language : kNameKeyLanguages) {
    if (ContainsAnyCase(names(entryIndex, language), word)) return true;
  }
  return false;
}

bool ConditionHolds(const EntryFilter::Condition& condition, const DataSet& dataSet,
                    int entryIndex) {
  const EntryKind kind = KindOfEntry(dataSet, entryIndex);
  if (condition.column == kKindKey) {
    return (kind == condition.kind) == (condition.op == Op::Equal);
  }
  if (condition.column == kEntryIndexKey) return Compare(entryIndex, condition.op, condition.value);
  const EntryField* field = FindEntryField(kind, condition.column);
  if (field == nullptr) return false;
  const std::optional<int64_t> value = EntryFieldValue(dataSet, entryIndex, *field);
  return value && Compare(*value, condition.op, condition.value);
}

}  // namespace

EntryFilter ParseEntryFilter(std::string_view text) {
  EntryFilter filter;
  for (const Token& token : Tokens(text)) {
    const std::optional<OperatorAt> at = token.quoted ? std::nullopt : FindOperator(token.text);
    if (at && at->position > 0) {
      filter.conditions.push_back(ParseCondition(token.text, *at));
    } else if (at) {
      throw VarskError(FilterUnknownFieldText(token.text, ""));
    } else if (!token.text.empty()) {
      filter.words.push_back(AsciiLowered(token.text));
    }
  }
  return filter;
}

bool EntryMeets(const EntryFilter& filter, const DataSet& dataSet, int entryIndex,
                const EntryNameOf& names) {
  for (const std::string& word : filter.words) {
    if (!WordMatches(word, entryIndex, names)) return false;
  }
  for (const EntryFilter::Condition& condition : filter.conditions) {
    if (!ConditionHolds(condition, dataSet, entryIndex)) return false;
  }
  return true;
}

}  // namespace varsk
