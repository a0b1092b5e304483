// Opening a drop-down list of the window, painted, with the sample name lists
// and with name lists at the name-list file limit (4 MiB each): names of some
// ten thousand characters, or one name that holds nearly all of a list.
#include <benchmark/benchmark.h>

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QStyleFactory>
#include <QTemporaryDir>
#include <memory>
#include <string>

#include "app/editor_controls.h"
#include "app/editor_dialogs.h"
#include "app/form1.h"
#include "base/file_io.h"
#include "data/embedded_data_set.h"
#include "data/name_list.h"

namespace {

int argc = 1;
char programName[] = "varsk_list_bench";
char* argv[] = {programName, nullptr};

enum class Lists { Sample, LongNames, OneHugeName };

// A name list of exactly `size` bytes: 404 names, each of `nameBytes` bytes
// of Latin and CJK text, or (nameBytes 0) the first name taking what the other
// 403 short ones leave.
std::string BoundList(size_t size, size_t nameBytes) {
  const std::string piece = "Warden 守望者 ";  // 7 + 9 + 1 bytes
  std::string text;
  for (int line = 0; line < 404; ++line) {
    std::string name = nameBytes > 0 || line > 0 ? "Unit " + std::to_string(line) : "";
    const size_t target = nameBytes > 0 ? nameBytes : line == 0 ? size - 404 * 12 : 0;
    while (name.size() + piece.size() <= target) name += piece;
    text += name + "\n";
  }
  text.resize(size, 'x');  // the last line takes what is left
  return text;
}

struct Editor {
  QTemporaryDir folder;
  std::unique_ptr<varsk::DataSet> dataSet = std::make_unique<varsk::DataSet>();
  std::unique_ptr<varsk::AnimSetTable> animSets = std::make_unique<varsk::AnimSetTable>();
  std::unique_ptr<varsk::RomBuffers> romBuffers = std::make_unique<varsk::RomBuffers>();
  varsk::ModalEditorDialogs dialogs;
  std::unique_ptr<varsk::TForm1> form;

  explicit Editor(Lists lists) {
    for (const char* name : {"namestringC.txt", "namestringE.txt", "namestringJ.txt"}) {
      const QString target = folder.filePath(QString::fromLatin1(name));
      if (lists == Lists::Sample) {
        QFile::copy(QStringLiteral(VARSK_BENCH_RUN_DIR "/") + QString::fromLatin1(name), target);
        continue;
      }
      const std::string text =
          BoundList(varsk::kNameListSizeLimit, lists == Lists::LongNames ? 10000 : 0);
      QFile file(target);
      file.open(QIODevice::WriteOnly);
      file.write(text.data(), static_cast<qint64>(text.size()));
    }
    const QString previous = QDir::currentPath();
    QDir::setCurrent(folder.path());
    varsk::TForm1::SetTimerStepManual(true);
    form = std::make_unique<varsk::TForm1>(varsk::EditorTables{*dataSet, *animSets, *romBuffers},
                                           dialogs);
    varsk::TForm1::SetTimerStepManual(false);
    QDir::setCurrent(previous);
    form->show();
    QApplication::processEvents();
  }
};

void EnsureApplication() {
  static QApplication* application = [] {
    auto* made = new QApplication(argc, argv);
    if (QStyle* style = QStyleFactory::create(QStringLiteral("Fusion"))) {
      QApplication::setStyle(style);
    }
    return made;
  }();
  (void)application;
}

// Opens the list, paints it, closes it; the counter is the time per row shown.
void MeasureOpening(benchmark::State& state, QComboBox* (*list)(varsk::TForm1&)) {
  EnsureApplication();
  Editor editor(static_cast<Lists>(state.range(0)));
  QComboBox* box = list(*editor.form);
  int rows = 0;
  for (auto _ : state) {
    box->showPopup();
    box->view()->viewport()->repaint();
    QApplication::processEvents();
    rows = box->view()->viewport()->height() / varsk::kListItemHeight;
    box->hidePopup();
    QApplication::processEvents();
  }
  state.counters["rows"] = rows;
  state.counters["per_row"] =
      benchmark::Counter(static_cast<double>(state.iterations()) * rows,
                         benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
  state.SetLabel(state.range(0) == 0   ? "sample lists"
                 : state.range(0) == 1 ? "4 MiB lists, long names"
                                       : "4 MiB lists, one huge name");
}

void BM_OpenEntryList(benchmark::State& state) {
  MeasureOpening(state, [](varsk::TForm1& form) -> QComboBox* { return form.ComboBox2; });
}

void BM_OpenWeaponList(benchmark::State& state) {
  MeasureOpening(state,
                 [](varsk::TForm1& form) -> QComboBox* { return form.WeaponRows[0].WeaponBox; });
}

}  // namespace

BENCHMARK(BM_OpenEntryList)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenWeaponList)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);

int main(int benchArgc, char** benchArgv) {
  if (std::getenv("QT_QPA_PLATFORM") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  varsk::RegisterEmbeddedDataSet();
  benchmark::Initialize(&benchArgc, benchArgv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
