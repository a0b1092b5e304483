// The main window's side of the catalogue table: opening it, changes of the
// records made there, and showing the entry a row names.
#include <QComboBox>
#include <cstring>

#include "app/catalogue_window.h"
#include "app/form1.h"

namespace varsk {
namespace {

// The bytes of entry `entryIndex`'s record, to tell whether a change touched it.
std::vector<uint8_t> RecordBytes(const DataSet& dataSet, int entryIndex) {
  const auto* bytes = [&]() -> const uint8_t* {
    if (const MsRecord* ms = MsOfEntry(dataSet, entryIndex)) {
      return reinterpret_cast<const uint8_t*>(ms);
    }
    if (const ShipRecord* ship = ShipOfEntry(dataSet, entryIndex)) {
      return reinterpret_cast<const uint8_t*>(ship);
    }
    return nullptr;
  }();
  if (bytes == nullptr) return {};
  const size_t size =
      MsOfEntry(dataSet, entryIndex) != nullptr ? sizeof(MsRecord) : sizeof(ShipRecord);
  return {bytes, bytes + size};
}

}  // namespace

void TForm1::OpenCatalogue(bool chart) {
  if (catalogue_ == nullptr) catalogue_ = new CatalogueWindow(*this);
  catalogue_->show();
  if (chart) catalogue_->ShowChart(true);
  catalogue_->raise();
  catalogue_->activateWindow();
}

void TForm1::EditRecords(const std::function<void(DataSet&)>& change) {
  if (!scratch_) scratch_ = std::make_unique<DataSet>();
  DataSet& records = tables_.dataSet;
  CopyRecords(records, *scratch_);
  change(*scratch_);
  const int shown = ComboBox2->currentIndex() + 1;
  const std::vector<uint8_t> before = RecordBytes(records, shown);
  const std::vector<TypedValue> typed = TypedValues();
  RecordStep([&] { CopyRecords(*scratch_, records); });
  // The entry on display shows what is stored, as after an undo; values typed
  // in the window and not applied stay where the table left their field alone.
  if (RecordBytes(records, shown) != before) {
    ScrollBar3Change(this);
    RestoreTypedValues(typed);
  }
  emit recordsChanged();
}

void TForm1::ShowEntry(int entryIndex) {
  if (entryIndex < 1 || entryIndex > ComboBox2->count()) return;
  ComboBox2->setCurrentIndex(entryIndex - 1);
  ScrollBar3Change(this);
  raise();
  activateWindow();
}

}  // namespace varsk
