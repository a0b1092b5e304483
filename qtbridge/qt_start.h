// The start of Qt's application object in a program that promises one line
// on stderr and the exit statuses 0, 1 and 2. Qt ends a program whose
// platform cannot start (a DISPLAY whose server is gone, a Wayland socket
// that is not there, too few descriptors) with several lines of its own and
// an abort; these programs end with their own line and status 1 instead.
#pragma once

#include <QtGlobal>
#include <string>

namespace varsk {

class QtStartGuard {
 public:
  // From now until End: what Qt and the libraries it loads print is kept off
  // the terminal, and a fatal Qt message prints "<program>: <fatalLine>" and
  // ends the process with status 1.
  QtStartGuard(std::string program, std::string fatalLine);
  ~QtStartGuard() { End(); }
  QtStartGuard(const QtStartGuard&) = delete;
  QtStartGuard& operator=(const QtStartGuard&) = delete;

  // Once the application object is made: standard error and Qt's message
  // handler are as they were before.
  void End();

 private:
  QtMessageHandler previous_ = nullptr;
  int savedError_ = -1;
  bool ended_ = false;
};

}  // namespace varsk
