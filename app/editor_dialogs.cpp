#include "app/editor_dialogs.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCompleter>
#include <QEvent>
#include <QFileDialog>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTimer>

#include "base/file_io.h"
#include "base/messages.h"

namespace varsk {

namespace {

// The file dialog's name completion list is a window of its own. Accepted by
// a typed name and Return, the dialog closes while the list is open, or the
// list opens just after (when the folder listing arrives late); left on the
// screen it floats over the main window and takes the next click. This keeps
// every completion list of the dialog closed while the dialog is.
class CompletionListsFollowDialog final : public QObject {
 public:
  explicit CompletionListsFollowDialog(QWidget& dialog) : QObject(&dialog), dialog_(dialog) {
    setObjectName(QString::fromLatin1(kName));
  }
  // The one of `dialog`, made on first use.
  static CompletionListsFollowDialog& Of(QWidget& dialog) {
    QObject* made =
        dialog.findChild<QObject*>(QString::fromLatin1(kName), Qt::FindDirectChildrenOnly);
    return made != nullptr ? *static_cast<CompletionListsFollowDialog*>(made)
                           : *new CompletionListsFollowDialog(dialog);
  }

  // The dialog makes its lists anew at times: watch the ones it has now.
  void Watch() {
    for (QAbstractItemView* list : Lists()) list->installEventFilter(this);
  }
  void CloseLists() {
    for (QAbstractItemView* list : Lists()) list->hide();
  }

  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Show && !dialog_.isVisible()) {
      QTimer::singleShot(0, static_cast<QWidget*>(watched), &QWidget::hide);
    }
    return false;
  }

 private:
  std::vector<QAbstractItemView*> Lists() const {
    std::vector<QAbstractItemView*> lists;
    for (QCompleter* completer : dialog_.findChildren<QCompleter*>()) {
      if (QAbstractItemView* list = completer->popup()) lists.push_back(list);
    }
    return lists;
  }

  static constexpr char kName[] = "completionListsFollowDialog";
  QWidget& dialog_;
};

// A window manager gives the keyboard back to the window once its dialog has
// closed; without one nothing does, and the keys typed next (the value that
// a message asked to mend, Ctrl+Z) would go nowhere until a click. The
// keyboard goes back to the window that had it (the catalogue, when Ctrl+S
// was pressed there), else to the dialog's own window.
class KeyboardReturns {
 public:
  explicit KeyboardReturns(QWidget* parent)
      : window_(QApplication::activeWindow() != nullptr ? QApplication::activeWindow()
                : parent != nullptr                     ? parent->window()
                                                        : nullptr) {}
  ~KeyboardReturns() {
    if (window_ != nullptr && window_->isVisible()) window_->activateWindow();
  }
  KeyboardReturns(const KeyboardReturns&) = delete;
  KeyboardReturns& operator=(const KeyboardReturns&) = delete;

 private:
  QPointer<QWidget> window_;
};

}  // namespace

void RequireDescriptorsForFileDialog() {
  if (const int64_t free = FreeDescriptorCount(); free < kFileDialogDescriptors) {
    throw VarskError(TooFewDescriptorsMessage(free, kFileDialogDescriptors));
  }
}

std::optional<QString> ModalEditorDialogs::ChooseFile(QFileDialog& dialog) {
  CompletionListsFollowDialog& lists = CompletionListsFollowDialog::Of(dialog);
  lists.Watch();
  int result = 0;
  {
    const KeyboardReturns keyboard(dialog.parentWidget());
    result = dialog.exec();
    lists.CloseLists();
  }
  if (result != QDialog::Accepted) return std::nullopt;
  const QStringList files = dialog.selectedFiles();
  if (files.isEmpty()) return std::nullopt;
  // Offer the same file the next time the dialog opens.
  dialog.selectFile(files.first());
  return files.first();
}

void ModalEditorDialogs::ShowError(QWidget* parent, const QString& text) {
  const KeyboardReturns keyboard(parent);
  QMessageBox box(QMessageBox::Critical, QString::fromUtf16(kApplicationTitle), text,
                  QMessageBox::Ok, parent);
  box.exec();
}

}  // namespace varsk

namespace varsk {

int ModalEditorDialogs::Ask(QWidget* parent, const Question& question) {
  const KeyboardReturns keyboard(parent);
  QMessageBox box(question.warning ? QMessageBox::Warning : QMessageBox::Question,
                  QString::fromUtf16(kApplicationTitle), question.text, QMessageBox::NoButton,
                  parent);
  std::vector<QAbstractButton*> buttons;
  for (const Question::Button& button : question.buttons) {
    const QMessageBox::ButtonRole role =
        button.role == Question::Role::Accept        ? QMessageBox::AcceptRole
        : button.role == Question::Role::Destructive ? QMessageBox::DestructiveRole
                                                     : QMessageBox::RejectRole;
    buttons.push_back(box.addButton(button.text, role));
  }
  const auto at = [&](int index) { return buttons.at(static_cast<size_t>(index)); };
  box.setDefaultButton(static_cast<QPushButton*>(at(question.defaultButton)));
  box.setEscapeButton(at(question.escapeButton));
  box.exec();
  for (size_t i = 0; i < buttons.size(); ++i) {
    if (box.clickedButton() == buttons[i]) return static_cast<int>(i);
  }
  return question.escapeButton;
}

}  // namespace varsk
