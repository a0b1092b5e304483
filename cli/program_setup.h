// Process set-up shared by varsk-units and its drawing program.
#pragma once

#include <QStringList>
#include <string>

namespace varsk::cli {

// Qt's own chatter (font and runtime-folder notes) would break the promise of
// one error line on stderr; only its critical messages are passed on, and a
// fatal one ends the program with exit status 1 instead of an abort.
void InstallQtMessageFilter();

// Drawing needs a platform, but no display: it always runs on Qt's offscreen
// platform, so a DISPLAY that is set but does not answer cannot stop it, and
// the picture is the same on every desktop.
void UseOffscreenPlatform();

// The file name of the drawing program that `varsk-units render` runs.
inline constexpr char kRenderProgramName[] = "varsk-units-render";

// The folder of the installed default name lists (/usr/share/varsk for a
// program in /usr/bin or /usr/libexec/varsk), found from this program's own
// place as the launcher finds it.
std::string InstalledNameListFolder();

// Replaces this process with the drawing program, found beside this program
// or in ../libexec/varsk, passing `command` ("render", "plot") and `args`
// (the arguments after it). Returns only on failure, with the exit status
// after printing the error.
int RunRenderProgram(const QString& command, const QStringList& args);

}  // namespace varsk::cli
