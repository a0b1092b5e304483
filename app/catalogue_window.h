// "Varsk catalogue": every entry in one table beside the main window, sorted
// by any column and narrowed by a filter, edited in place or by pasting cells
// from a spreadsheet, with a chart of any two fields beside it. It shows the
// records the main window edits and changes them through the main window, so
// every change is one step of the same record history and shows in both
// windows (and the chart) at once.
#pragma once

#include <QWidget>

class QLabel;
class QLineEdit;
class QPushButton;
class QSplitter;
class QTableView;

namespace varsk {

class TForm1;
class CatalogueChart;
class CatalogueModel;
class CatalogueProxy;

class CatalogueWindow final : public QWidget {
  Q_OBJECT
 public:
  explicit CatalogueWindow(TForm1& form);
  ~CatalogueWindow() override;

  QTableView* Table() const { return table_; }
  QLineEdit* FilterField() const { return filter_; }
  // The problem with the filter, shown under it; empty when it reads well.
  QLabel* FilterProblem() const { return problem_; }
  CatalogueModel& Model() const { return *model_; }
  CatalogueProxy& Proxy() const { return *proxy_; }
  // The chart beside the table, hidden until asked for (Ctrl+G, ChartButton).
  CatalogueChart& Chart() const { return *chart_; }
  QPushButton* ChartButton() const { return chartButton_; }
  void ShowChart(bool shown);

  // Ctrl+C: the selected cells as tab-separated text, as the dump writes
  // their values, row by row in the order shown.
  void CopyCells();
  // Ctrl+V: tab-separated cells, as one change of the records or none.
  void PasteCells();
  // Return on a row, or a double click on its number or its row header:
  // the entry of `viewRow` is shown in the main window.
  void ShowRowInMainWindow(int viewRow);
  // A click on the chart's point of `entryIndex`: its row is made the
  // current one and selected, and the entry shown in the main window.
  void ShowChosenEntry(int entryIndex);

 private:
  void ApplyFilter();
  // Sizes the splitter so that the chart is `chartWidth` wide, or half of it.
  void GiveChartWidth(int chartWidth);
  void resizeEvent(QResizeEvent* event) override;

  TForm1& form_;
  CatalogueModel* model_ = nullptr;
  CatalogueProxy* proxy_ = nullptr;
  QLineEdit* filter_ = nullptr;
  QLabel* problem_ = nullptr;
  QTableView* table_ = nullptr;
  QSplitter* splitter_ = nullptr;
  CatalogueChart* chart_ = nullptr;
  QPushButton* chartButton_ = nullptr;
  bool chartShownBefore_ = false;
  // The chart's width to give it when the window has grown; 0: none.
  int chartWidthOnResize_ = 0;
};

}  // namespace varsk
