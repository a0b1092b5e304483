// The window's keys and drops beyond its controls' own: undo and redo of
// record changes, and a ROM file dropped on the window.
#include <QAction>
#include <QComboBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QShortcut>
#include <QTimer>
#include <QUrl>
#include <optional>

#include "app/form1.h"

namespace varsk {
namespace {

enum class HistoryKey { None, Undo, Redo };

constexpr QKeyCombination kUndoKey(Qt::ControlModifier, Qt::Key_Z);
constexpr QKeyCombination kRedoKeys[] = {
    QKeyCombination(Qt::ControlModifier | Qt::ShiftModifier, Qt::Key_Z),
    QKeyCombination(Qt::ControlModifier, Qt::Key_Y)};

HistoryKey HistoryKeyOf(const QKeyEvent& event) {
  // The keypad modifier does not make another key.
  const QKeyCombination key(event.modifiers() & ~Qt::KeypadModifier, Qt::Key(event.key()));
  if (key == kUndoKey) return HistoryKey::Undo;
  for (const QKeyCombination redo : kRedoKeys) {
    if (key == redo) return HistoryKey::Redo;
  }
  return HistoryKey::None;
}

// The one local file, not a folder, that `data` carries; nothing for several
// files, a folder, a link to a web page or text.
std::optional<QString> DroppedFile(const QMimeData* data) {
  if (data == nullptr || !data->hasUrls()) return std::nullopt;
  const QList<QUrl> urls = data->urls();
  if (urls.size() != 1 || !urls.front().isLocalFile()) return std::nullopt;
  const QString path = urls.front().toLocalFile();
  if (path.isEmpty() || QFileInfo(path).isDir()) return std::nullopt;
  return path;
}

}  // namespace

void TForm1::ConnectKeys() {
  const auto shortcut = [this](const QKeySequence& keys, auto step) {
    auto* made = new QShortcut(keys, this);
    made->setContext(Qt::WindowShortcut);
    connect(made, &QShortcut::activated, this, [this, step] { Guarded([this, step] { step(); }); });
  };
  shortcut(QKeySequence(kUndoKey), [this] { UndoRecordChange(); });
  for (const QKeyCombination redo : kRedoKeys) {
    shortcut(QKeySequence(redo), [this] { RedoRecordChange(); });
  }
  for (QLineEdit* edit : findChildren<QLineEdit*>()) edit->installEventFilter(this);
  ComboBox2->installEventFilter(this);
  // Load ROM is no tab stop: its key lets the keyboard alone load a ROM.
  shortcut(QKeySequence::Open, [this] { Button2Click(this); });
  shortcut(QKeySequence::Save, [this] { Button3Click(this); });
  shortcut(QKeySequence(Qt::ControlModifier | Qt::Key_T), [this] { OpenCatalogue(); });
  // The entry list's menu opens the catalogue too.
  ComboBox2->setContextMenuPolicy(Qt::ActionsContextMenu);
  auto* catalogue = new QAction(QStringLiteral("Catalogue table (Ctrl+T)"), ComboBox2);
  connect(catalogue, &QAction::triggered, this, [this] { Guarded([this] { OpenCatalogue(); }); });
  ComboBox2->addAction(catalogue);
  const auto withKey = [](QPushButton* button, const QString& hint, QKeySequence::StandardKey key) {
    button->setToolTip(
        QStringLiteral("%1 (%2)").arg(hint, QKeySequence(key).toString(QKeySequence::NativeText)));
  };
  withKey(Button2, QStringLiteral("Read the unit tables from a ROM file"), QKeySequence::Open);
  withKey(Button3, QStringLiteral("Write the unit tables into a ROM file"), QKeySequence::Save);
}

void TForm1::UndoRecordChange() {
  if (!history_.Undo(tables_.dataSet)) return;
  ScrollBar3Change(this);
  emit recordsChanged();
}

void TForm1::RedoRecordChange() {
  if (!history_.Redo(tables_.dataSet)) return;
  ScrollBar3Change(this);
  emit recordsChanged();
}

bool TForm1::eventFilter(QObject* watched, QEvent* event) {
  if (watched == ComboBox2 && event->type() == QEvent::FocusIn) {
    // The entry list has the keyboard when the window first opens: its focus
    // frame shows at once, not only after the first key. Once only: a click
    // later hides the frames as usual.
    ComboBox2->removeEventFilter(this);
    setAttribute(Qt::WA_KeyboardFocusChange);
    ComboBox2->update();
    return false;
  }
  auto* edit = qobject_cast<QLineEdit*>(watched);
  if (edit == nullptr) return QWidget::eventFilter(watched, event);
  switch (event->type()) {
    case QEvent::ShortcutOverride:
    case QEvent::KeyPress: {
      // The edit's own typing is taken back first; once it has none, the key
      // goes to the window's shortcut and so to the record history.
      const HistoryKey key = HistoryKeyOf(*static_cast<QKeyEvent*>(event));
      if (key == HistoryKey::None) return false;
      const bool editHasStep =
          key == HistoryKey::Undo ? edit->isUndoAvailable() : edit->isRedoAvailable();
      if (!editHasStep) return true;  // an override left unaccepted: the shortcut runs
      if (event->type() == QEvent::ShortcutOverride) {
        event->accept();
      } else if (key == HistoryKey::Undo) {
        edit->undo();
      } else {
        edit->redo();
      }
      return true;
    }
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop: {
      // Files dropped on an edit are the window's to take or refuse, not
      // text to insert; text dropped on an edit stays the edit's.
      auto* drop = static_cast<QDropEvent*>(event);
      if (drop->mimeData() == nullptr || !drop->mimeData()->hasUrls()) return false;
      if (event->type() == QEvent::Drop) {
        dropEvent(drop);
      } else {
        dragMoveEvent(static_cast<QDragMoveEvent*>(event));
      }
      return true;
    }
    default:
      return false;
  }
}

void TForm1::dragEnterEvent(QDragEnterEvent* event) { dragMoveEvent(event); }

void TForm1::dragMoveEvent(QDragMoveEvent* event) {
  if (DroppedFile(event->mimeData())) {
    event->acceptProposedAction();
  } else {
    event->ignore();
  }
}

void TForm1::dropEvent(QDropEvent* event) {
  const std::optional<QString> file = DroppedFile(event->mimeData());
  if (!file) {
    event->ignore();
    return;
  }
  event->acceptProposedAction();
  // Loaded once the drop is over: a message box shown inside the drop would
  // keep the program the file came from waiting.
  QTimer::singleShot(0, this, [this, path = *file] {
    // The dialog offers the dropped file next, as if it had been chosen there.
    OfferFile(path);
    Guarded([this, &path] { LoadRomFrom(path); });
  });
}

}  // namespace varsk
