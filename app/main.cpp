// varsk-unit-editor: the program entry. Registers the embedded data set,
// creates the window (which runs FormCreate) and serves events until the
// window is closed.
#include <QApplication>
#include <QStyleFactory>
#include <cstdio>
#include <cstdlib>

#include "app/editor_dialogs.h"
#include "app/form1.h"
#include "base/file_io.h"
#include "data/data_set.h"
#include "data/embedded_data_set.h"
#include "data/rom_tables.h"
#include "graphics/anim_set.h"

namespace {

bool HasDisplay() {
  for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
    const char* value = std::getenv(name);
    if (value != nullptr && value[0] != '\0') return true;
  }
  return false;
}

}  // namespace

int main(int argc, char* argv[]) {
  varsk::PrepareProcessForFiles();
  // Without a display Qt would abort with a platform-plugin message; say what to do instead.
  if (!HasDisplay()) {
    std::fputs("varsk-unit-editor: no display found; run it on a desktop or under xvfb-run.\n",
               stderr);
    return 1;
  }
  QApplication application(argc, argv);
  QApplication::setApplicationName(QStringLiteral("varsk-unit-editor"));
  QApplication::setDesktopFileName(QStringLiteral("varsk-unit-editor"));
  // The same look on every desktop, matching the designed layout.
  if (QStyle* style = QStyleFactory::create(QStringLiteral("Fusion"))) {
    QApplication::setStyle(style);
  }
  varsk::RegisterEmbeddedDataSet();

  varsk::ModalEditorDialogs dialogs;
  varsk::TForm1 window(
      {varsk::GlobalDataSet(), varsk::GlobalAnimSetTable(), varsk::GlobalRomBuffers()}, dialogs);
  varsk::Form1 = &window;
  window.show();
  const int status = QApplication::exec();
  varsk::Form1 = nullptr;
  return status;
}
