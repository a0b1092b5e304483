#include "edits/edit_applier.h"

#include <utility>

#include "base/messages.h"

namespace varsk {

EditApplier::EditApplier(std::string source, EntryNameOf names, DataSet& dataSet)
    : source_(std::move(source)), names_(std::move(names)), dataSet_(dataSet) {}

void EditApplier::SetPlace(std::string place) {
  place_ = std::move(place);
  entry_ = 0;
  kind_ = EntryKind::None;
}

void EditApplier::BeginEntry(const EditValue& input) {
  entry_ = 0;
  kind_ = EntryKind::None;
  if (!input.value) Problem(kEntryIndexKey, NotAnIntegerText(input.text, 1, kEntryListCount));
  const int64_t number = *input.value;
  if (number < 1 || number > kEntryListCount ||
      KindOfEntry(dataSet_, static_cast<int>(number)) == EntryKind::None) {
    Problem(kEntryIndexKey, NoSuchEntryText(input.text, 1, kEntryListCount));
  }
  entry_ = static_cast<int>(number);
  kind_ = KindOfEntry(dataSet_, entry_);
  fieldsSet_.clear();
  const auto [seen, inserted] = entriesSeen_.emplace(entry_, place_);
  if (!inserted) Problem(kEntryIndexKey, DuplicateEntryText(seen->second));
}

void EditApplier::CheckKind(std::string_view text) const {
  if (text != EntryKindName(kind_)) Problem(kKindKey, KindMismatchText(text, EntryKindName(kind_)));
}

void EditApplier::CheckName(int nameKey, std::string_view text) const {
  if (!names_) return;  // nothing to compare with; names never reach the ROM
  const std::string current = names_(entry_, kNameKeyLanguages[static_cast<size_t>(nameKey)]);
  if (text != current) {
    Problem(kNameKeys[static_cast<size_t>(nameKey)], NameMismatchText(text, current));
  }
}

void EditApplier::NoSuchField(std::string_view name) const {
  const EntryKind other = kind_ == EntryKind::Ms ? EntryKind::Ship : EntryKind::Ms;
  if (FindEntryField(other, name) != nullptr) {
    Problem(name, FieldOfOtherKindText(EntryKindName(kind_)));
  }
  Problem(name, UnknownFieldText());
}

void EditApplier::SetValue(const EntryField& field, const EditValue& input) {
  // Two values for one field (a weapon slot given twice) would leave the last silently.
  if (!fieldsSet_.insert(&field).second) Problem(field.name, FieldEditedTwiceText());
  const int64_t current = *EntryFieldValue(dataSet_, entry_, field);
  if (!field.StoredInRom()) {
    if (!input.value || *input.value != current) {
      Problem(field.name, NotStoredText(input.text, current));
    }
    return;
  }
  if (!input.value) {
    Problem(field.name, field.coding == FieldCoding::RawBytes
                            ? RawBytesText(input.text, field.RomByteCount())
                            : NotAnIntegerText(input.text, field.Minimum(), field.Maximum()));
  }
  if (!field.Holds(*input.value)) {
    Problem(field.name, OutOfRangeText(input.text, field.Minimum(), field.Maximum()));
  }
  SetEntryFieldValue(dataSet_, entry_, field, *input.value);
}

void EditApplier::Problem(std::string_view field, std::string_view problem) const {
  throw VarskError(EditErrorMessage(place_.empty() ? source_ : place_, entry_, field, problem));
}

}  // namespace varsk
