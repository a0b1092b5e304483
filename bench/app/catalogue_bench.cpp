// The catalogue table against a bare QTableView of the same rows and columns
// that shows fixed strings: opening to the first paint, sorting, filtering;
// a paste of 229 x 30 values and its undo against one full repaint of the
// table; and the chart beside it, replotted after one changed value or
// another field, against that same repaint. Runs offscreen in the folder with
// the generated name lists.
#include <benchmark/benchmark.h>

#include <QAbstractTableModel>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QHeaderView>
#include <QSortFilterProxyModel>
#include <QStyleFactory>
#include <QTableView>
#include <memory>
#include <string>

#include "app/catalogue_chart.h"
#include "app/catalogue_model.h"
#include "app/catalogue_window.h"
#include "app/editor_dialogs.h"
#include "app/form1.h"
#include "bench/app/process_memory.h"
#include "data/embedded_data_set.h"

namespace {

int argc = 1;
char programName[] = "varsk_catalogue_bench";
char* argv[] = {programName, nullptr};

varsk::TForm1& Editor() {
  static QApplication* application = [] {
    auto* made = new QApplication(argc, argv);
    if (QStyle* style = QStyleFactory::create(QStringLiteral("Fusion"))) {
      QApplication::setStyle(style);
    }
    return made;
  }();
  static auto* dataSet = new varsk::DataSet();
  static auto* animSets = new varsk::AnimSetTable();
  static auto* romBuffers = new varsk::RomBuffers();
  static varsk::ModalEditorDialogs dialogs;
  static varsk::TForm1* form = [] {
    varsk::TForm1::SetTimerStepManual(true);
    auto* made = new varsk::TForm1({*dataSet, *animSets, *romBuffers}, dialogs);
    varsk::TForm1::SetTimerStepManual(false);
    made->show();
    QApplication::processEvents();
    return made;
  }();
  (void)application;
  return *form;
}

// The baseline: the catalogue's rows and columns, every cell a fixed string.
class FixedStrings final : public QAbstractTableModel {
 public:
  int rowCount(const QModelIndex& parent) const override {
    return parent.isValid() ? 0 : varsk::kEntryListCount;
  }
  int columnCount(const QModelIndex& parent) const override {
    return parent.isValid() ? 0 : columns_;
  }
  QVariant data(const QModelIndex& index, int role) const override {
    if (role != Qt::DisplayRole) return {};
    return (index.row() * 7 + index.column()) % 3 == 0 ? text_[0] : text_[1];
  }
  int columns_ = 0;
  QString text_[2] = {QStringLiteral("123"), QStringLiteral("AR-05 Warden")};
};

struct BareTable {
  FixedStrings model;
  QSortFilterProxyModel proxy;
  QTableView view;
  BareTable() {
    model.columns_ = Editor().Catalogue() != nullptr
                         ? Editor().Catalogue()->Model().columnCount()
                         : 5 + static_cast<int>(varsk::FieldColumns().size());
    proxy.setSourceModel(&model);
    view.setModel(&proxy);
    view.setSortingEnabled(true);
    view.resize(960, 620);
  }
};

void Paint(QTableView& view) {
  view.viewport()->repaint();
  QApplication::processEvents();
}

void BM_OpenBareTable(benchmark::State& state) {
  Editor();
  for (auto _ : state) {
    auto table = std::make_unique<BareTable>();
    table->view.show();
    Paint(table->view);
    state.PauseTiming();
    table.reset();
    QApplication::processEvents();
    state.ResumeTiming();
  }
}

void BM_OpenCatalogue(benchmark::State& state) {
  varsk::TForm1& form = Editor();
  for (auto _ : state) {
    auto window = std::make_unique<varsk::CatalogueWindow>(form);
    window->show();
    Paint(*window->Table());
    state.PauseTiming();
    window.reset();
    QApplication::processEvents();
    state.ResumeTiming();
  }
}

varsk::CatalogueWindow& OpenCatalogue() {
  varsk::TForm1& form = Editor();
  form.OpenCatalogue();
  QApplication::processEvents();
  return *form.Catalogue();
}

int HpColumn(const varsk::CatalogueWindow& window) {
  for (int c = 0; c < window.Model().columnCount(); ++c) {
    if (window.Model().Column(c).name == QLatin1String("hp")) return c;
  }
  return 0;
}

void BM_SortBareTable(benchmark::State& state) {
  BareTable table;
  table.view.show();
  bool ascending = true;
  for (auto _ : state) {
    table.view.sortByColumn(7, ascending ? Qt::AscendingOrder : Qt::DescendingOrder);
    ascending = !ascending;
  }
}

void BM_SortCatalogue(benchmark::State& state) {
  varsk::CatalogueWindow& window = OpenCatalogue();
  const int hp = HpColumn(window);
  bool ascending = true;
  for (auto _ : state) {
    window.Table()->sortByColumn(hp, ascending ? Qt::AscendingOrder : Qt::DescendingOrder);
    ascending = !ascending;
  }
  window.Table()->sortByColumn(0, Qt::AscendingOrder);
}

void BM_FilterBareTable(benchmark::State& state) {
  BareTable table;
  table.view.show();
  bool narrow = true;
  for (auto _ : state) {
    table.proxy.setFilterFixedString(narrow ? QStringLiteral("Warden") : QString());
    narrow = !narrow;
  }
}

void BM_FilterCatalogue(benchmark::State& state) {
  varsk::CatalogueWindow& window = OpenCatalogue();
  bool narrow = true;
  for (auto _ : state) {
    window.Proxy().SetFilterText(narrow ? QStringLiteral("hp>150 kind=ms") : QString());
    narrow = !narrow;
  }
  window.Proxy().SetFilterText(QString());
}

// The yardstick of the paste: one full repaint of the open table.
void BM_RepaintCatalogue(benchmark::State& state) {
  varsk::CatalogueWindow& window = OpenCatalogue();
  for (auto _ : state) Paint(*window.Table());
}

// 229 rows of 30 values from the cost column on, pasted by position, then
// taken back; each half timed apart.
void BM_PasteAllValues(benchmark::State& state) {
  varsk::TForm1& form = Editor();
  varsk::CatalogueWindow& window = OpenCatalogue();
  const int first = HpColumn(window) - 1;  // cost
  // Every value the ROM stores one off its current value, so that the paste
  // changes the records; the others as they are.
  QString block;
  const varsk::CatalogueModel& model = window.Model();
  for (int r = 0; r < varsk::kEntryListCount; ++r) {
    const varsk::EntryKind kind = varsk::KindOfEntry(model.Records(), r + 1);
    for (int c = 0; c < 30; ++c) {
      if (c > 0) block += QLatin1Char('\t');
      const QString text = model.DumpText(model.index(r, first + c));
      const varsk::EntryField* field = model.Column(first + c).Row(kind);
      if (field == nullptr || !field->StoredInRom() ||
          field->coding == varsk::FieldCoding::RawBytes) {
        block += text;
        continue;
      }
      const qlonglong value = text.toLongLong();
      block += QString::number(value < field->Maximum() ? value + 1 : value - 1);
    }
    block += QLatin1Char('\n');
  }
  QApplication::clipboard()->setText(block);
  window.Table()->setCurrentIndex(window.Proxy().index(0, first));
  const bool undo = state.range(0) == 1;
  for (auto _ : state) {
    if (undo) {
      state.PauseTiming();
      window.PasteCells();
      state.ResumeTiming();
      form.UndoRecordChange();
    } else {
      window.PasteCells();
      state.PauseTiming();
      form.UndoRecordChange();
      state.ResumeTiming();
    }
  }
  state.SetLabel(undo ? "undo" : "paste");
}

// The chart shown beside the table at the chart's own size, as the window
// shows it the first time; hidden again after a benchmark.
varsk::CatalogueChart& OpenChart() {
  varsk::CatalogueWindow& window = OpenCatalogue();
  window.ShowChart(true);
  QApplication::processEvents();
  return window.Chart();
}

void Paint(QWidget& widget) {
  widget.repaint();
  QApplication::processEvents();
}

// One value changes (entry 12's HP, as an edit of it would), and the chart
// lays out its points anew and paints them.
void BM_ReplotAfterOneChange(benchmark::State& state) {
  varsk::TForm1& form = Editor();
  varsk::CatalogueChart& chart = OpenChart();
  varsk::MsRecord& record = *varsk::MsOfEntry(form.Tables().dataSet, 12);
  const int32_t hp = record.hp;
  for (auto _ : state) {
    record.hp = record.hp == hp ? hp + 1 : hp;
    chart.RecordsChanged();
    Paint(*chart.Plot());
  }
  record.hp = hp;
  state.counters["points"] = static_cast<double>(chart.Layout().points.size());
  form.Catalogue()->ShowChart(false);
}

// Another field along x, one after the other, as the arrow keys in the x
// field's list give them.
void BM_ChangeChartX(benchmark::State& state) {
  varsk::CatalogueChart& chart = OpenChart();
  QComboBox& fields = *chart.XField();
  const int first = fields.currentIndex();
  int item = first;
  for (auto _ : state) {
    item = (item + 1) % fields.count();
    fields.setCurrentIndex(item);
    Paint(*chart.Plot());
  }
  fields.setCurrentIndex(first);
  Editor().Catalogue()->ShowChart(false);
}

void BM_ChartMemory(benchmark::State& state) {
  OpenCatalogue();
  const double before = varsk::bench::ProcessMemoryMiB("VmRSS");
  for (auto _ : state) Paint(*OpenChart().Plot());
  state.counters["added_MiB"] = varsk::bench::ProcessMemoryMiB("VmRSS") - before;
  Editor().Catalogue()->ShowChart(false);
}

void BM_CatalogueMemory(benchmark::State& state) {
  varsk::TForm1& form = Editor();
  const double before = varsk::bench::ProcessMemoryMiB("VmRSS");
  for (auto _ : state) {
    OpenCatalogue();
    Paint(*form.Catalogue()->Table());
  }
  state.counters["added_MiB"] = varsk::bench::ProcessMemoryMiB("VmRSS") - before;
}

}  // namespace

BENCHMARK(BM_CatalogueMemory)->Iterations(1);
BENCHMARK(BM_ChartMemory)->Iterations(1);
BENCHMARK(BM_OpenBareTable)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenCatalogue)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SortBareTable)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SortCatalogue)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_FilterBareTable)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_FilterCatalogue)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RepaintCatalogue)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PasteAllValues)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReplotAfterOneChange)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ChangeChartX)->Unit(benchmark::kMillisecond);

int main(int benchArgc, char** benchArgv) {
  if (std::getenv("QT_QPA_PLATFORM") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  if (!QDir::setCurrent(QStringLiteral(VARSK_BENCH_RUN_DIR))) return 1;
  varsk::RegisterEmbeddedDataSet();
  benchmark::Initialize(&benchArgc, benchArgv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
