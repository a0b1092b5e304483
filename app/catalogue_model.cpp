#include "app/catalogue_model.h"

#include <algorithm>

#include "app/move_types.h"
#include "base/messages.h"
#include "data/name_list.h"

namespace varsk {
namespace {

// A name of megabytes is shown by its start.
constexpr int kShownNameLength = 200;

std::vector<CatalogueColumn> DumpColumns() {
  using Role = CatalogueColumn::Role;
  std::vector<CatalogueColumn> columns;
  columns.push_back({Role::EntryIndex, QString::fromLatin1(kEntryIndexKey), -1, {}});
  columns.push_back({Role::Kind, QString::fromLatin1(kKindKey), -1, {}});
  for (size_t key = 0; key < kNameKeys.size(); ++key) {
    columns.push_back({Role::Name, QString::fromLatin1(kNameKeys[key]), static_cast<int>(key), {}});
  }
  for (const char* name : FieldColumns()) {
    columns.push_back(
        {Role::Field,
         QString::fromLatin1(name),
         -1,
         {FindEntryField(EntryKind::Ms, name), FindEntryField(EntryKind::Ship, name)}});
  }
  return columns;
}

// "5 一般": a move type's number and the name at the start of its list item.
QString MoveTypeText(int64_t value) {
  const std::string_view name = MoveTypeName(value);
  if (name.empty()) return QString::number(value);
  return QStringLiteral("%1 %2").arg(value).arg(
      QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size())));
}

}  // namespace

CatalogueModel::CatalogueModel(const DataSet& dataSet, std::vector<std::array<QString, 3>> names,
                               QStringList weaponNames, CellEditor editCells, QObject* parent)
    : QAbstractTableModel(parent),
      dataSet_(dataSet),
      names_(std::move(names)),
      weaponNames_(std::move(weaponNames)),
      editCells_(std::move(editCells)),
      columns_(DumpColumns()) {}

int CatalogueModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : kEntryListCount;
}

int CatalogueModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(columns_.size());
}

std::optional<int64_t> CatalogueModel::FieldValueAt(const QModelIndex& index) const {
  const int entry = EntryOfRow(index.row());
  const EntryField* field = Column(index.column()).Row(KindOfEntry(dataSet_, entry));
  if (field == nullptr) return std::nullopt;
  return EntryFieldValue(dataSet_, entry, *field);
}

QString CatalogueModel::DumpText(const QModelIndex& index) const {
  const CatalogueColumn& column = Column(index.column());
  const int entry = EntryOfRow(index.row());
  switch (column.role) {
    case CatalogueColumn::Role::EntryIndex:
      return QString::number(entry);
    case CatalogueColumn::Role::Kind:
      return QString::fromLatin1(EntryKindName(KindOfEntry(dataSet_, entry)));
    case CatalogueColumn::Role::Name:
      return names_.at(static_cast<size_t>(index.row()))[static_cast<size_t>(column.nameKey)];
    case CatalogueColumn::Role::Field:
      break;
  }
  const std::optional<int64_t> value = FieldValueAt(index);
  if (!value) return {};
  const EntryField& field = *column.Row(KindOfEntry(dataSet_, entry));
  return QString::fromStdString(FieldValueText(field, *value));
}

QVariant CatalogueModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid()) return {};
  const CatalogueColumn& column = Column(index.column());
  const int entry = EntryOfRow(index.row());
  if (role == Qt::EditRole) return DumpText(index);
  if (role == Qt::TextAlignmentRole && column.role == CatalogueColumn::Role::Field) {
    // Numbers to the right, names of weapons and move types to the left.
    const EntryField* field = column.Row(KindOfEntry(dataSet_, entry));
    const bool named = field != nullptr && (IsWeaponIdField(*field) || IsMoveTypeField(*field));
    return QVariant((named ? Qt::AlignLeft : Qt::AlignRight) | Qt::AlignVCenter);
  }
  if (role != Qt::DisplayRole && role != kCatalogueSortRole && role != Qt::ToolTipRole) return {};
  switch (column.role) {
    case CatalogueColumn::Role::EntryIndex:
      return role == kCatalogueSortRole ? QVariant(entry)
                                        : QVariant(QString::fromStdString(ThreeDigitNumber(entry)));
    case CatalogueColumn::Role::Kind:
      return role == kCatalogueSortRole ? QVariant(static_cast<int>(KindOfEntry(dataSet_, entry)))
                                        : QVariant(DumpText(index));
    case CatalogueColumn::Role::Name: {
      const QString& name =
          names_.at(static_cast<size_t>(index.row()))[static_cast<size_t>(column.nameKey)];
      return role == Qt::DisplayRole ? QVariant(name.left(kShownNameLength)) : QVariant(name);
    }
    case CatalogueColumn::Role::Field:
      break;
  }
  const std::optional<int64_t> value = FieldValueAt(index);
  if (!value) return {};  // the entry's kind lacks the field
  if (role == kCatalogueSortRole) return QVariant(static_cast<qlonglong>(*value));
  const EntryField& field = *column.Row(KindOfEntry(dataSet_, entry));
  if (IsWeaponIdField(field)) {
    if (*value == 0) return QStringLiteral("-");
    return *value > 0 && *value < weaponNames_.size()
               ? weaponNames_.at(static_cast<qsizetype>(*value)).left(kShownNameLength)
               : QStringLiteral("Unknown weapon id %1").arg(*value);
  }
  if (IsMoveTypeField(field)) return MoveTypeText(*value);
  if (role == Qt::ToolTipRole) {
    return field.StoredInRom() ? QVariant() : QVariant(QStringLiteral("Not stored in the ROM"));
  }
  return QString::fromStdString(FieldValueText(field, *value));
}

QVariant CatalogueModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (role == Qt::SizeHintRole) {
    if (orientation == Qt::Vertical)
      return rowHeader_.isValid() ? QVariant(rowHeader_) : QVariant();
    if (section < 0 || static_cast<size_t>(section) >= columnWidths_.size()) return {};
    return QSize(columnWidths_[static_cast<size_t>(section)], rowHeader_.height());
  }
  if (role != Qt::DisplayRole) return QAbstractTableModel::headerData(section, orientation, role);
  if (orientation == Qt::Horizontal) return Column(section).name;
  // The row's number and English name stay in sight while the table scrolls sideways.
  const QString& name = names_.at(static_cast<size_t>(section))[0];
  return QStringLiteral("%1 %2").arg(QString::fromStdString(ThreeDigitNumber(section + 1)),
                                     name.left(40));
}

Qt::ItemFlags CatalogueModel::flags(const QModelIndex& index) const {
  Qt::ItemFlags flags = QAbstractTableModel::flags(index);
  const CatalogueColumn& column = Column(index.column());
  const EntryField* field = column.Row(KindOfEntry(dataSet_, EntryOfRow(index.row())));
  // Only values the ROM stores can be edited; a field the kind lacks is empty.
  if (field != nullptr && field->StoredInRom()) flags |= Qt::ItemIsEditable;
  return flags;
}

bool CatalogueModel::setData(const QModelIndex& index, const QVariant& value, int role) {
  if (role != Qt::EditRole || !index.isValid()) return false;
  if (value.toString() == DumpText(index)) return false;  // nothing changes
  editCells_({CellEdit{EntryOfRow(index.row()), Column(index.column()).name.toStdString(),
                       value.toString().toStdString()}});
  return true;
}

EntryNameOf CatalogueModel::NameOf() const {
  return [this](int entryIndex, NameListLanguage language) {
    if (entryIndex < 1 || entryIndex > static_cast<int>(names_.size())) return std::string();
    const auto key = std::find(kNameKeyLanguages.begin(), kNameKeyLanguages.end(), language) -
                     kNameKeyLanguages.begin();
    return names_[static_cast<size_t>(entryIndex - 1)][static_cast<size_t>(key)].toStdString();
  };
}

void CatalogueModel::SetHeaderSizes(std::vector<int> columnWidths, QSize rowHeader) {
  columnWidths_ = std::move(columnWidths);
  rowHeader_ = rowHeader;
}

void CatalogueModel::RecordsChanged() {
  emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1));
}

CatalogueProxy::CatalogueProxy(CatalogueModel& model, QObject* parent)
    : QSortFilterProxyModel(parent), model_(model), names_(model.NameOf()) {
  setSourceModel(&model);
  setSortRole(kCatalogueSortRole);
  setDynamicSortFilter(true);
}

void CatalogueProxy::SetFilterText(const QString& text) {
  try {
    filter_ = ParseEntryFilter(text.toStdString());
    invalidateFilter();
  } catch (const VarskError&) {
    // A filter that cannot be read filters nothing.
    filter_ = EntryFilter{};
    invalidateFilter();
    throw;
  }
}

bool CatalogueProxy::filterAcceptsRow(int sourceRow, const QModelIndex& /*sourceParent*/) const {
  return filter_.Empty() ||
         EntryMeets(filter_, model_.Records(), model_.EntryOfRow(sourceRow), names_);
}

bool CatalogueProxy::lessThan(const QModelIndex& left, const QModelIndex& right) const {
  const QVariant a = left.data(kCatalogueSortRole);
  const QVariant b = right.data(kCatalogueSortRole);
  const bool ascending = sortOrder() == Qt::AscendingOrder;
  // Entries that lack the field go last, either way.
  if (!a.isValid() || !b.isValid()) {
    if (a.isValid() == b.isValid())
      return ascending ? left.row() < right.row() : left.row() > right.row();
    return ascending ? a.isValid() : !a.isValid();
  }
  if (a.typeId() == QMetaType::QString) {
    const int order = QString::localeAwareCompare(a.toString(), b.toString());
    if (order != 0) return order < 0;
  } else if (a.toLongLong() != b.toLongLong()) {
    return a.toLongLong() < b.toLongLong();
  }
  // Equal values keep the catalogue's order, either way.
  return ascending ? left.row() < right.row() : left.row() > right.row();
}

}  // namespace varsk
