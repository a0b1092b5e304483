#include "app/handler_guard.h"

#include <QString>

namespace varsk {

void ReportError(EditorDialogs& dialogs, QWidget* parent, const std::string& message) {
  dialogs.ShowError(parent, QString::fromStdString(WithFullStop(message)));
}

}  // namespace varsk
