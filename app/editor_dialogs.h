// The two modal dialogs of the window, behind a seam so that tests answer
// them with canned file names and record the messages instead of blocking.
#pragma once

#include <QString>
#include <optional>

class QFileDialog;
class QWidget;

namespace varsk {

// The caption of every message box.
inline constexpr char16_t kApplicationTitle[] = u"Varsk unit editor";

class EditorDialogs {
 public:
  virtual ~EditorDialogs() = default;
  // Runs the window's file dialog; the chosen file name, or nothing when the
  // user cancels. The dialog keeps the chosen name for the next time.
  virtual std::optional<QString> ChooseFile(QFileDialog& dialog) = 0;
  // Shows `text` modally: caption kApplicationTitle, error icon, one OK button.
  virtual void ShowError(QWidget* parent, const QString& text) = 0;
};

// The real dialogs: QFileDialog::exec() and a QMessageBox.
class ModalEditorDialogs final : public EditorDialogs {
 public:
  std::optional<QString> ChooseFile(QFileDialog& dialog) override;
  void ShowError(QWidget* parent, const QString& text) override;
};

}  // namespace varsk
