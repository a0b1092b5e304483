// varsk-unit-editor: the program entry. Reads its own command line, registers
// the embedded data set, creates the window (which runs FormCreate), loads the
// ROM named on the command line, and serves events until the window is closed.
#include <QApplication>
#include <QStyleFactory>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>
#include <string>

#include "app/editor_dialogs.h"
#include "app/form1.h"
#include "app/window_frame.h"
#include "base/file_io.h"
#include "base/messages.h"
#include "data/data_set.h"
#include "data/embedded_data_set.h"
#include "data/rom_tables.h"
#include "graphics/anim_set.h"
#include "qtbridge/qt_start.h"

namespace {

constexpr char kProgram[] = "varsk-unit-editor";
// The window with its file dialog open holds about 16 descriptors.
constexpr int64_t kDescriptorsNeeded = 64;

constexpr char kHelp[] =
    "Usage: varsk-unit-editor [--catalogue] [--chart] [ROM]\n"
    "\n"
    "The Varsk unit editor: one window for the unit statistics stored in a ROM\n"
    "image. With ROM, the window opens with that file loaded, as Load ROM loads\n"
    "it (the same checks and messages).\n"
    "\n"
    "Options:\n"
    "  --catalogue     open the catalogue table beside the window (as Ctrl+T)\n"
    "  --chart         open the catalogue table with its chart (as Ctrl+T, Ctrl+G)\n"
    "  -h, --help      show this help\n"
    "  --version       show the version\n"
    "\n"
    "The name lists namestringC.txt, namestringE.txt and namestringJ.txt are\n"
    "read from the working directory. Qt's own options are not read; the\n"
    "environment (DISPLAY, WAYLAND_DISPLAY, QT_QPA_PLATFORM) chooses the display.\n"
    "\n"
    "Exit status: 0 when the window is closed, 1 when it cannot start (no\n"
    "display that works, too few free file descriptors), 2 for a wrong command\n"
    "line.\n";

bool HasDisplay() {
  for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
    const char* value = std::getenv(name);
    if (value != nullptr && value[0] != '\0') return true;
  }
  return false;
}

// Text asked for on standard output must arrive whole.
int Print(const char* text) {
  const bool written = std::fputs(text, stdout) >= 0 && std::fflush(stdout) == 0;
  if (written) return 0;
  std::fprintf(stderr, "%s: cannot write to standard output\n", kProgram);
  return 1;
}

int UsageError(const std::string& problem) {
  std::fprintf(stderr, "%s: %s; see '%s --help'\n", kProgram, problem.c_str(), kProgram);
  return 2;
}

struct CommandLine {
  std::optional<int> exitStatus;  // set: the program ends here with it
  std::optional<std::string> rom;
  bool catalogue = false;
  bool chart = false;
};

CommandLine ReadCommandLine(int argc, char* argv[]) {
  CommandLine line;
  bool options = true;
  for (int i = 1; i < argc; ++i) {
    const std::string argument = argv[i];
    if (options && argument == "--") {
      options = false;
    } else if (options && (argument == "--help" || argument == "-h")) {
      line.exitStatus = Print(kHelp);
      return line;
    } else if (options && argument == "--catalogue") {
      line.catalogue = true;
    } else if (options && argument == "--chart") {
      line.catalogue = line.chart = true;
    } else if (options && argument == "--version") {
      line.exitStatus = Print("varsk-unit-editor " VARSK_VERSION "\n");
      return line;
    } else if (options && argument.size() > 1 && argument[0] == '-') {
      line.exitStatus = UsageError("unknown option '" + argument + "'");
      return line;
    } else if (line.rom) {
      line.exitStatus = UsageError("give one ROM file at most");
      return line;
    } else {
      line.rom = argument;
    }
  }
  return line;
}

}  // namespace

int main(int argc, char* argv[]) {
  varsk::PrepareProcessForFiles();
  const CommandLine line = ReadCommandLine(argc, argv);
  if (line.exitStatus) return *line.exitStatus;
  // Without a display Qt would abort with a platform-plugin message; say what to do instead.
  if (!HasDisplay()) {
    std::fprintf(stderr, "%s: %s\n", kProgram, varsk::NoDisplayMessage().c_str());
    return 1;
  }
  // Short of descriptors, a library would end the window half way (a file
  // dialog's thread), with the edits in it.
  if (const int64_t free = varsk::FreeDescriptorCount(); free < kDescriptorsNeeded) {
    std::fprintf(stderr, "%s: %s\n", kProgram,
                 varsk::TooFewDescriptorsMessage(free, kDescriptorsNeeded).c_str());
    return 1;
  }
  // Qt reads only the program's name: the arguments are the editor's own.
  int qtArgc = 1;
  char* qtArgv[] = {argv[0], nullptr};
  // A display that is named but does not answer (a stale DISPLAY) is no display either.
  varsk::QtStartGuard start(kProgram, varsk::NoDisplayMessage());
  QApplication application(qtArgc, qtArgv);
  start.End();
  QApplication::setApplicationName(QString::fromLatin1(kProgram));
  QApplication::setApplicationVersion(QStringLiteral(VARSK_VERSION));
  // The desktop entry and the metainfo go by this id (a Wayland app_id too).
  QApplication::setDesktopFileName(QStringLiteral(VARSK_APP_ID));
  // The same look on every desktop, matching the designed layout.
  if (QStyle* style = QStyleFactory::create(QStringLiteral("Fusion"))) {
    QApplication::setStyle(style);
  }
  varsk::RegisterEmbeddedDataSet();

  varsk::ModalEditorDialogs dialogs;
  varsk::TForm1 window(
      {varsk::GlobalDataSet(), varsk::GlobalAnimSetTable(), varsk::GlobalRomBuffers()}, dialogs);
  varsk::Form1 = &window;
  // Where the platform's title bar would offer a maximise button, the window
  // has a title bar of its own.
  std::unique_ptr<varsk::WindowFrame> frame;
  if (varsk::WindowFrame::NeededOnThisPlatform()) {
    frame = std::make_unique<varsk::WindowFrame>(window);
    frame->show();
  } else {
    window.show();
  }
  // Once the window is up, so that a message about the file stands over it.
  QTimer::singleShot(0, &window, [&window, line] {
    if (line.rom) window.Guarded([&] { window.LoadRomFromPath(*line.rom); });
    if (line.catalogue) window.Guarded([&] { window.OpenCatalogue(line.chart); });
  });
  const int status = QApplication::exec();
  varsk::Form1 = nullptr;
  // The window goes before the frame that holds it.
  if (frame) window.setParent(nullptr);
  return status;
}
