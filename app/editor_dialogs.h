// The two modal dialogs of the window, behind a seam so that tests answer
// them with canned file names and record the messages instead of blocking.
#pragma once

#include <QString>
#include <cstdint>
#include <optional>
#include <vector>

class QFileDialog;
class QWidget;

namespace varsk {

// The caption of every message box.
inline constexpr char16_t kApplicationTitle[] = u"Varsk unit editor";

// A question in a modal box, answered by one of its buttons.
struct Question {
  enum class Role { Accept, Destructive, Reject };
  struct Button {
    QString text;
    Role role;
  };
  QString text;
  std::vector<Button> buttons;
  int defaultButton = 0;  // chosen by Return
  int escapeButton = 0;   // chosen by Escape or by closing the box
  bool warning = false;   // a warning icon instead of a question mark
};

// The file dialog reads folders in threads of its own and holds about six
// descriptors more than the window while it is open; short of descriptors, a
// library would end the program there, with the edits.
inline constexpr int64_t kFileDialogDescriptors = 16;
// Throws VarskError (too few descriptors) before the file dialog is made or shown.
void RequireDescriptorsForFileDialog();

class EditorDialogs {
 public:
  virtual ~EditorDialogs() = default;
  // Runs the window's file dialog; the chosen file name, or nothing when the
  // user cancels. The dialog keeps the chosen name for the next time.
  virtual std::optional<QString> ChooseFile(QFileDialog& dialog) = 0;
  // Shows `text` modally: caption kApplicationTitle, error icon, one OK button.
  virtual void ShowError(QWidget* parent, const QString& text) = 0;
  // Asks `question` modally, caption kApplicationTitle; returns the index of
  // the button chosen.
  virtual int Ask(QWidget* parent, const Question& question) = 0;
};

// The real dialogs: QFileDialog::exec() and a QMessageBox.
class ModalEditorDialogs final : public EditorDialogs {
 public:
  std::optional<QString> ChooseFile(QFileDialog& dialog) override;
  void ShowError(QWidget* parent, const QString& text) override;
  int Ask(QWidget* parent, const Question& question) override;
};

}  // namespace varsk
