// The editor window's costs: start-up against a bare window of the same size,
// the selection handler with its preview, undo of the largest record changes
// as Ctrl+Z runs it, the history's memory after 1,000 Applies, and the running
// editor's peak memory. Runs offscreen in the folder that holds the generated
// name lists and the sample ROM.
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QStyleFactory>
#include <QWidget>
#include <cstdlib>
#include <memory>
#include <string>

#include "app/editor_dialogs.h"
#include "app/form1.h"
#include "bench/app/process_memory.h"
#include "data/embedded_data_set.h"

namespace {

int argc = 1;
char programName[] = "varsk_editor_bench";
char* argv[] = {programName, nullptr};

void UseFusion() {
  if (QStyle* style = QStyleFactory::create(QStringLiteral("Fusion")))
    QApplication::setStyle(style);
}

struct Tables {
  std::unique_ptr<varsk::DataSet> dataSet = std::make_unique<varsk::DataSet>();
  std::unique_ptr<varsk::AnimSetTable> animSets = std::make_unique<varsk::AnimSetTable>();
  std::unique_ptr<varsk::RomBuffers> romBuffers = std::make_unique<varsk::RomBuffers>();
  varsk::EditorTables Refs() { return {*dataSet, *animSets, *romBuffers}; }
};

// From QApplication construction to the first pictures on the screen. The
// 100 ms wait of Timer1 is left out: its step runs as soon as the window shows.
void BM_StartUpEditor(benchmark::State& state) {
  varsk::TForm1::SetTimerStepManual(true);
  varsk::ModalEditorDialogs dialogs;
  for (auto _ : state) {
    state.PauseTiming();
    auto tables = std::make_unique<Tables>();
    state.ResumeTiming();
    auto application = std::make_unique<QApplication>(argc, argv);
    UseFusion();
    auto form = std::make_unique<varsk::TForm1>(tables->Refs(), dialogs);
    form->show();
    QApplication::processEvents();
    form->Timer1Timer();
    QApplication::processEvents();
    benchmark::DoNotOptimize(form->ComboBox2->count());
    state.PauseTiming();
    form.reset();
    application.reset();
    tables.reset();
    state.ResumeTiming();
  }
  varsk::TForm1::SetTimerStepManual(false);
}

void BM_StartUpBareWindow(benchmark::State& state) {
  for (auto _ : state) {
    auto application = std::make_unique<QApplication>(argc, argv);
    UseFusion();
    auto window = std::make_unique<QWidget>();
    window->setFixedSize(varsk::kClientWidth, varsk::kClientHeight);
    window->show();
    QApplication::processEvents();
    QApplication::processEvents();
    state.PauseTiming();
    window.reset();
    application.reset();
    state.ResumeTiming();
  }
}

// The same with one line of text in the window font: any window that shows
// text pays for the font set-up that the bare window never starts.
void BM_StartUpBareWindowWithText(benchmark::State& state) {
  for (auto _ : state) {
    auto application = std::make_unique<QApplication>(argc, argv);
    UseFusion();
    auto window = std::make_unique<QWidget>();
    window->setFixedSize(varsk::kClientWidth, varsk::kClientHeight);
    auto* label = new QLabel(QStringLiteral("Varsk Unit Editor"), window.get());
    label->move(8, 8);
    window->show();
    QApplication::processEvents();
    QApplication::processEvents();
    state.PauseTiming();
    window.reset();
    application.reset();
    state.ResumeTiming();
  }
}

// One running editor for the handler benchmarks.
varsk::TForm1& RunningEditor() {
  static QApplication* application = [] {
    auto* app = new QApplication(argc, argv);
    UseFusion();
    return app;
  }();
  static Tables tables;
  static varsk::ModalEditorDialogs dialogs;
  static varsk::TForm1* form = [] {
    varsk::TForm1::SetTimerStepManual(true);
    auto* made = new varsk::TForm1(tables.Refs(), dialogs);
    varsk::TForm1::SetTimerStepManual(false);
    made->show();
    QApplication::processEvents();
    made->Timer1Timer();
    QApplication::processEvents();
    return made;
  }();
  (void)application;
  return *form;
}

// The selection handler for list position `state.range(0)`, preview included.
void BM_ScrollBar3Change(benchmark::State& state) {
  varsk::TForm1& form = RunningEditor();
  const int position = static_cast<int>(state.range(0));
  form.ComboBox2->setCurrentIndex(position);
  for (auto _ : state) form.ScrollBar3Change(&form);
  state.SetLabel(position < varsk::kMsEntryCount ? "MS entry" : "ship");
}

// Back to the records as start-up left them, nothing left to redo.
void UndoEverything(varsk::TForm1& form) {
  while (form.History().UndoCount() > 0) form.UndoRecordChange();
}

// Ctrl+Z after `change`, as the window runs it: the records put back, the
// selected entry shown anew and its preview drawn. Each iteration makes the
// change again (untimed) with Ctrl+Y.
template <typename Change>
void MeasureUndo(benchmark::State& state, Change change) {
  varsk::TForm1& form = RunningEditor();
  UndoEverything(form);
  form.ComboBox2->setCurrentIndex(11);
  change(form);
  if (form.History().UndoCount() != 1) {
    state.SkipWithError("the change made no step");
    return;
  }
  // The one step, without the copy of the tables that the history keeps for the next one.
  const auto& records = form.Tables().dataSet;
  state.counters["step_bytes"] = static_cast<double>(
      form.History().MemoryBytes() - sizeof records.msRecords - sizeof records.shipRecords);
  for (auto _ : state) {
    form.UndoRecordChange();
    state.PauseTiming();
    form.RedoRecordChange();
    state.ResumeTiming();
  }
  UndoEverything(form);
}

void BM_UndoAutoModify(benchmark::State& state) {
  MeasureUndo(state, [](varsk::TForm1& form) {
    for (QCheckBox* option : {form.CheckBox1, form.CheckBox2, form.CheckBox5}) {
      option->setChecked(true);
    }
    form.Button4Click();
  });
}

// Load ROM of the sample ROM over the data set's records.
void BM_UndoLoadRom(benchmark::State& state) {
  MeasureUndo(state,
              [](varsk::TForm1& form) { form.LoadRomFrom(QStringLiteral("sample-rom.gba")); });
}

// Heap bytes in use (glibc), to check the history's own count.
double HeapBytes() { return static_cast<double>(mallinfo2().uordblks); }

// 1,000 Applies, each of a new HP on the next entry: the history's bytes by
// its own count and by the heap's.
void BM_ThousandApplySteps(benchmark::State& state) {
  varsk::TForm1& form = RunningEditor();
  const auto apply = [&form](int i) {
    form.ComboBox2->setCurrentIndex(i % varsk::kEntryListCount);
    form.ScrollBar3Change(&form);
    form.Edit3->setText(QString::number(1000 + i));
    form.Button1Click();
  };
  for (auto _ : state) {
    state.PauseTiming();
    UndoEverything(form);
    apply(0);  // drops the steps to redo
    const double heapBefore = HeapBytes();
    const double countedBefore = static_cast<double>(form.History().MemoryBytes());
    state.ResumeTiming();
    for (int i = 1; i <= 1000; ++i) apply(i);
    state.PauseTiming();
    state.counters["steps"] = static_cast<double>(form.History().UndoCount() - 1);
    state.counters["counted_KiB"] =
        (static_cast<double>(form.History().MemoryBytes()) - countedBefore) / 1024;
    state.counters["heap_KiB"] = (HeapBytes() - heapBefore) / 1024;
    UndoEverything(form);
    state.ResumeTiming();
  }
}

// Shows every entry once, painting each, and reports the peak memory.
void BM_RunningEditorPeakMemory(benchmark::State& state) {
  varsk::TForm1& form = RunningEditor();
  for (auto _ : state) {
    for (int p = 0; p < varsk::kEntryListCount; ++p) {
      form.ComboBox2->setCurrentIndex(p);
      form.ScrollBar3Change(&form);
      QApplication::processEvents();
    }
  }
  state.counters["VmHWM_MiB"] = varsk::bench::ProcessMemoryMiB("VmHWM");
}

}  // namespace

BENCHMARK(BM_StartUpBareWindow)->Unit(benchmark::kMillisecond)->Iterations(20);
BENCHMARK(BM_StartUpBareWindowWithText)->Unit(benchmark::kMillisecond)->Iterations(20);
BENCHMARK(BM_StartUpEditor)->Unit(benchmark::kMillisecond)->Iterations(20);
BENCHMARK(BM_ScrollBar3Change)->Arg(0)->Arg(11)->Arg(191)->Arg(207)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_UndoAutoModify)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_UndoLoadRom)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ThousandApplySteps)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_RunningEditorPeakMemory)->Unit(benchmark::kMillisecond)->Iterations(1);

int main(int benchArgc, char** benchArgv) {
  if (std::getenv("QT_QPA_PLATFORM") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  // The editor reads its name lists from the working folder.
  if (!QDir::setCurrent(QStringLiteral(VARSK_BENCH_RUN_DIR))) return 1;
  varsk::RegisterEmbeddedDataSet();
  benchmark::Initialize(&benchArgc, benchArgv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
