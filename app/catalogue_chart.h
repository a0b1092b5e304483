// The chart beside the catalogue table: a scatter of two fields, one point per
// entry that meets the table's filter (MS entries blue circles, ships orange
// triangles), laid out by the core (chart/chart_layout.h) and drawn with
// QPainter through the same canvas as the PNG export. Hovering a point names
// it and its values (every point under the pointer, when several overlap);
// clicking chooses it, and clicking the same stack again the next one of it.
#pragma once

#include <QString>
#include <QWidget>
#include <optional>
#include <string>

#include "chart/chart_layout.h"

class QComboBox;
class QFileDialog;
class QPushButton;

namespace varsk {

class EditorDialogs;
class ChartPlot;

class CatalogueChart final : public QWidget {
  Q_OBJECT
 public:
  // `names`: the entries' names, for the filter's words, tooltips and the SVG's titles.
  CatalogueChart(const DataSet& records, EntryNameOf names, EditorDialogs& dialogs,
                 QWidget* parent = nullptr);
  ~CatalogueChart() override;

  QComboBox* XField() const { return xField_; }
  QComboBox* YField() const { return yField_; }
  QPushButton* ExportButton() const { return export_; }
  // The drawing itself.
  QWidget* Plot() const;

  // The layout as the plot shows it now, laid out anew if anything changed.
  const ChartLayout& Layout();
  // The table's filter, and its text as typed (empty when it filters nothing).
  void SetFilter(const EntryFilter& filter, const QString& text);
  // The records changed: the points move at the next paint.
  void RecordsChanged();
  // The entry ringed as the table's current row; 0: none.
  void SetHighlight(int entryIndex);

  // The tooltip for the pointer at `position` of the plot: every point under
  // it, one a line; empty over no point.
  QString TextAt(QPointF position);
  // The entry a click at `position` chooses, if any: the nearest point, or
  // after a click on the same stack the next point of it.
  std::optional<int> EntryAt(QPointF position);

  // Asks for a file name and writes the chart there, as shown: FILE.svg or
  // FILE.png. Throws VarskError for another name or a write that fails.
  void Export();

 signals:
  // A click on a point.
  void entryChosen(int entryIndex);

 private:
  void Invalidate();

  const DataSet& records_;
  EditorDialogs& dialogs_;
  ChartRequest request_;
  std::optional<ChartLayout> layout_;
  int highlight_ = 0;
  // The last click's stack and which of it was chosen.
  std::vector<int> clickedStack_;
  size_t clickedAt_ = 0;
  QComboBox* xField_ = nullptr;
  QComboBox* yField_ = nullptr;
  QPushButton* export_ = nullptr;
  ChartPlot* plot_ = nullptr;
  QFileDialog* saveDialog_ = nullptr;

  friend class ChartPlot;
};

}  // namespace varsk
