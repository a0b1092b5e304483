// How the window's controls behave beyond their designed geometry: the
// drop-down lists (entry list, move type list, weapon boxes), the edits and
// the fixed-pitch heading.
#pragma once

#include <QComboBox>
#include <QLabel>

class QLineEdit;

namespace varsk {

inline constexpr int kListItemHeight = 12;

// A drop-down list that accepts no typed text, with rows of the designed item
// height 12, as many rows shown at once as the designed drop-down count, and a
// mouse wheel that changes the choice only while the list has the keyboard focus.
// Typing finds an item, closed or open (see FindListRow): a choice found in the
// closed list is reported by `activated`, as a choice with the mouse is.
class DropDownList final : public QComboBox {
 public:
  DropDownList(int dropDownCount, QWidget* parent);

 protected:
  // Scrolling the window over a list must not change the entry or a value
  // that Apply will store: without the focus the wheel does nothing here.
  void wheelEvent(QWheelEvent* event) override;
  void showPopup() override;
  // The chosen item's text, drawn like the rows of the list.
  void paintEvent(QPaintEvent* event) override;

 private:
  bool rowsSetUp_ = false;
  QObject* typeToFind_ = nullptr;
};

// The row that a typed search finds among the item texts of column `column` of
// `items`, looking from row `first` on and wrapping round; -1 when none does.
// A search of digits only looks for the item numbers that start with it
// ("012" finds item 012), and failing that, like any other search, for the
// item whose text contains it anywhere, in any case ("ramp" finds "Rampart").
int FindListRow(const QAbstractItemModel& items, int column, const QString& search, int first);

// Lets all five digits of 65535 show in the designed 32-pixel edits: the text
// starts right inside the frame instead of two pixels further in.
void UseTightTextMargins(QLineEdit& edit);

// A one-line caption in the fixed-pitch font (Label20), drawn so that its
// letters, descenders included, fit the designed height: the font's line is
// 17 pixels high at 12, and QLabel's own placement would cut the descenders.
class FixedPitchCaption final : public QLabel {
 public:
  using QLabel::QLabel;

 protected:
  void paintEvent(QPaintEvent* event) override;
};

}  // namespace varsk
