#include "app/editor_dialogs.h"

#include <QFileDialog>
#include <QMessageBox>

namespace varsk {

std::optional<QString> ModalEditorDialogs::ChooseFile(QFileDialog& dialog) {
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  const QStringList files = dialog.selectedFiles();
  if (files.isEmpty()) return std::nullopt;
  // Offer the same file the next time the dialog opens.
  dialog.selectFile(files.first());
  return files.first();
}

void ModalEditorDialogs::ShowError(QWidget* parent, const QString& text) {
  QMessageBox box(QMessageBox::Critical, QString::fromUtf16(kApplicationTitle), text,
                  QMessageBox::Ok, parent);
  box.exec();
}

}  // namespace varsk
