// The whole catalogue as a table: one row per entry (MS entries, then ships),
// one column per column of the dump (the number, the kind, the three names
// and every field of the core's table of entry fields, in the dump's order
// and with its names). The model reads the records it is given and changes
// them only through an edit function, so that the window's record history
// takes every change.
#pragma once

#include <QAbstractTableModel>
#include <QSize>
#include <QSortFilterProxyModel>
#include <QStringList>
#include <array>
#include <functional>
#include <string>
#include <vector>

#include "data/data_set.h"
#include "data/entry_fields.h"
#include "edits/edit_file.h"
#include "edits/entry_filter.h"

namespace varsk {

// The stored value of a cell, as sorting compares it (numbers as numbers).
inline constexpr int kCatalogueSortRole = Qt::UserRole + 1;

// A column of the catalogue: a column of the dump.
struct CatalogueColumn {
  enum class Role { EntryIndex, Kind, Name, Field };
  Role role;
  QString name;      // the dump's column name: "entryIndex", "nameE", "hp", "w2.ammo"
  int nameKey = -1;  // Name: a position in kNameKeys
  std::array<const EntryField*, 2> rows;  // Field: the MS row, the ship row (or nullptr)

  const EntryField* Row(EntryKind kind) const {
    return kind == EntryKind::Ms ? rows[0] : kind == EntryKind::Ship ? rows[1] : nullptr;
  }
};

class CatalogueModel final : public QAbstractTableModel {
  Q_OBJECT
 public:
  // Applies cells to the records, as one change; throws VarskError with
  // nothing stored when a cell is refused.
  using CellEditor = std::function<void(std::vector<CellEdit> cells)>;

  // `names[e - 1][key]`: the names of entry e, as the window shows them;
  // `weaponNames`: item n names weapon id n.
  CatalogueModel(const DataSet& dataSet, std::vector<std::array<QString, 3>> names,
                 QStringList weaponNames, CellEditor editCells, QObject* parent = nullptr);

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;
  // Edits one cell (the text as the dump writes the value) through the edit
  // function; a refused value throws VarskError and changes nothing.
  bool setData(const QModelIndex& index, const QVariant& value, int role) override;

  const CatalogueColumn& Column(int column) const {
    return columns_.at(static_cast<size_t>(column));
  }
  int EntryOfRow(int row) const { return row + 1; }
  // The names as UTF-8, for the core's filters and checks.
  EntryNameOf NameOf() const;
  // The text of a cell as the dump writes it: what Ctrl+C copies.
  QString DumpText(const QModelIndex& index) const;
  const DataSet& Records() const { return dataSet_; }

  // The records changed (in either window): every cell is read anew.
  void RecordsChanged();
  // The sizes the headers take: each column's width, and the rows' header,
  // as wide as its longest label (given so, they are not measured label by
  // label, which would take most of the time the table needs to open).
  void SetHeaderSizes(std::vector<int> columnWidths, QSize rowHeader);

 private:
  // The value of a field cell, if the entry's kind has the field.
  std::optional<int64_t> FieldValueAt(const QModelIndex& index) const;

  const DataSet& dataSet_;
  std::vector<std::array<QString, 3>> names_;
  QStringList weaponNames_;
  CellEditor editCells_;
  std::vector<CatalogueColumn> columns_;
  std::vector<int> columnWidths_;
  QSize rowHeader_;
};

// Sorting and filtering of the catalogue: numbers sort as numbers, entries
// equal in the sorted column keep the catalogue's order, and an entry that
// lacks the field sorts after the others; the filter is the core's.
class CatalogueProxy final : public QSortFilterProxyModel {
 public:
  explicit CatalogueProxy(CatalogueModel& model, QObject* parent = nullptr);
  // Throws VarskError (and filters nothing) for a filter that cannot be read.
  void SetFilterText(const QString& text);
  const EntryFilter& Filter() const { return filter_; }

 protected:
  bool filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const override;
  bool lessThan(const QModelIndex& left, const QModelIndex& right) const override;

 private:
  CatalogueModel& model_;
  EntryNameOf names_;
  EntryFilter filter_;
};

}  // namespace varsk
