#include "qtbridge/qt_start.h"

#include <unistd.h>

#include <cstdlib>

#include "base/file_io.h"

namespace varsk {

namespace {

// The line a fatal message is replaced by, and where it goes; one start at a time.
std::string fatalText;
int fatalOutput = STDERR_FILENO;

void StartMessages(QtMsgType type, const QMessageLogContext& /*context*/,
                   const QString& /*message*/) {
  if (type != QtFatalMsg) return;
  // Qt aborts when the handler returns; nothing has been written yet.
  for (size_t done = 0; done < fatalText.size();) {
    const ssize_t put = ::write(fatalOutput, fatalText.data() + done, fatalText.size() - done);
    if (put <= 0) break;
    done += static_cast<size_t>(put);
  }
  std::_Exit(1);
}

}  // namespace

QtStartGuard::QtStartGuard(std::string program, std::string fatalLine) {
  fatalText = program + ": " + fatalLine + "\n";
  savedError_ = SilenceStandardError();
  fatalOutput = savedError_ >= 0 ? savedError_ : STDERR_FILENO;
  previous_ = qInstallMessageHandler(StartMessages);
}

void QtStartGuard::End() {
  if (ended_) return;
  ended_ = true;
  qInstallMessageHandler(previous_);
  RestoreStandardError(savedError_);
  fatalOutput = STDERR_FILENO;
}

}  // namespace varsk
