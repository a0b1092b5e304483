#include "app/editor_accessibility.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QAccessibleWidget>
#include <QComboBox>

#include "app/editor_controls.h"
#include "app/form1.h"
#include "app/preview_image.h"

namespace varsk {
namespace {

// A drop-down list: its name is its accessible name (what the list holds),
// its value the chosen item; its one child is the list of items, and it can
// be opened and closed.
class DropDownListAccessible final : public QAccessibleWidget {
 public:
  explicit DropDownListAccessible(QComboBox* list)
      : QAccessibleWidget(list, QAccessible::ComboBox) {}

  QString text(QAccessible::Text t) const override {
    switch (t) {
      case QAccessible::Name:
        return List()->accessibleName().isEmpty() ? List()->currentText()
                                                  : List()->accessibleName();
      case QAccessible::Value:
        return List()->currentText();
      default:
        return QAccessibleWidget::text(t);
    }
  }
  int childCount() const override { return 1; }
  QAccessibleInterface* child(int index) const override {
    return index == 0 ? QAccessible::queryAccessibleInterface(List()->view()) : nullptr;
  }
  int indexOfChild(const QAccessibleInterface* child) const override {
    return child != nullptr && child->object() == List()->view() ? 0 : -1;
  }
  QAccessible::State state() const override {
    QAccessible::State state = QAccessibleWidget::state();
    state.expandable = true;
    state.expanded = List()->view()->isVisible();
    state.collapsed = !state.expanded;
    return state;
  }
  QStringList actionNames() const override {
    return {QAccessibleActionInterface::showMenuAction(),
            QAccessibleActionInterface::pressAction()};
  }
  void doAction(const QString& action) override {
    if (action != QAccessibleActionInterface::showMenuAction() &&
        action != QAccessibleActionInterface::pressAction()) {
      return;
    }
    if (List()->view()->isVisible()) {
      List()->hidePopup();
    } else {
      List()->showPopup();
    }
  }

 private:
  QComboBox* List() const { return static_cast<QComboBox*>(widget()); }
};

QAccessibleInterface* EditorInterface(const QString& className, QObject* object) {
  if (className == QLatin1String("varsk::TForm1") ||
      className == QLatin1String("varsk::WindowFrame")) {
    auto* widget = static_cast<QWidget*>(object);
    // The main window held in a frame of its own is the frame's client area.
    return new QAccessibleWidget(widget,
                                 widget->isWindow() ? QAccessible::Window : QAccessible::Client);
  }
  if (className == QLatin1String("QComboBox")) {
    if (auto* list = dynamic_cast<DropDownList*>(object)) return new DropDownListAccessible(list);
  }
  if (className == QLatin1String("QWidget")) {
    if (auto* image = dynamic_cast<PreviewImage*>(object)) {
      return new QAccessibleWidget(image, QAccessible::Graphic);
    }
  }
  return nullptr;
}

}  // namespace

void InstallEditorAccessibility() {
  static const bool installed = [] {
    QAccessible::installFactory(&EditorInterface);
    return true;
  }();
  (void)installed;
}

}  // namespace varsk
