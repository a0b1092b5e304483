// Whole-process start-up to the window on the screen: sets up and shows the
// editor's window as varsk-unit-editor does (or, built with
// VARSK_BARE_WINDOW, a bare window of the same size with one label, the
// baseline), and exits as soon as the window's first paint is done. Time the
// two processes side by side, in the folder that holds the name lists:
//   hyperfine -N -w 2 -r 10 ../bin/varsk_startup_bare ../bin/varsk_startup_editor
#include <QApplication>
#include <QEvent>
#include <QLabel>
#include <QStyleFactory>
#include <QWidget>

#include "app/form1.h"
#ifndef VARSK_BARE_WINDOW
#include "app/editor_dialogs.h"
#include "data/data_set.h"
#include "data/embedded_data_set.h"
#include "data/rom_tables.h"
#include "graphics/anim_set.h"
#endif

namespace {

// Ends the event loop once the window has painted for the first time.
class QuitAfterFirstPaint final : public QObject {
 public:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Paint && !quitting_) {
      quitting_ = true;
      QMetaObject::invokeMethod(qApp, &QCoreApplication::quit, Qt::QueuedConnection);
    }
    return QObject::eventFilter(watched, event);
  }

 private:
  bool quitting_ = false;
};

}  // namespace

int main(int argc, char* argv[]) {
  QApplication application(argc, argv);
  if (QStyle* style = QStyleFactory::create(QStringLiteral("Fusion"))) {
    QApplication::setStyle(style);
  }
  QuitAfterFirstPaint quit;
#ifdef VARSK_BARE_WINDOW
  QWidget window;
  window.setFixedSize(varsk::kClientWidth, varsk::kClientHeight);
  auto* label = new QLabel(QStringLiteral("Varsk Unit Editor"), &window);
  label->move(8, 8);
#else
  varsk::RegisterEmbeddedDataSet();
  varsk::ModalEditorDialogs dialogs;
  varsk::TForm1 window(
      {varsk::GlobalDataSet(), varsk::GlobalAnimSetTable(), varsk::GlobalRomBuffers()}, dialogs);
#endif
  window.installEventFilter(&quit);
  window.show();
  return QApplication::exec();
}
