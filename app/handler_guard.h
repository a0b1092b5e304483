// The one place where an error raised by a handler reaches the user: the
// handler stops at the point of failure, the message is shown in a modal box,
// and the program goes on serving events.
#pragma once

#include <exception>
#include <string>

#include "app/editor_dialogs.h"
#include "base/messages.h"

class QWidget;

namespace varsk {

// Shows WithFullStop(message) through `dialogs`.
void ReportError(EditorDialogs& dialogs, QWidget* parent, const std::string& message);

// Runs `handler`; an error it raises is shown, and the result is false.
template <typename Handler>
bool RunGuarded(EditorDialogs& dialogs, QWidget* parent, Handler&& handler) {
  try {
    handler();
    return true;
  } catch (const VarskError& error) {
    ReportError(dialogs, parent, error.what());
  } catch (const std::exception& error) {
    ReportError(dialogs, parent, error.what());
  }
  return false;
}

}  // namespace varsk
