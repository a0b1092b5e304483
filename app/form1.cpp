// The main window: start-up (FormCreate), the entry display and Apply, the ROM
// buttons, Auto modify and the two previews. The handlers hold no format
// knowledge: they move values between the controls and the core.
#include "app/form1.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QIcon>
#include <QLineEdit>
#include <QPalette>
#include <QPushButton>
#include <QStringListModel>
#include <QTimer>
#include <algorithm>

#include "app/editor_accessibility.h"
#include "app/editor_controls.h"
#include "app/editor_fonts.h"
#include "app/move_types.h"
#include "app/preview_image.h"
#include "base/messages.h"
#include "base/number_text.h"
#include "base/text_to_number.h"
#include "data/auto_modify.h"
#include "data/entry_fields.h"
#include "graphics/clip_export.h"
#include "graphics/preview.h"
#include "qtbridge/name_text.h"

namespace varsk {

TForm1* Form1 = nullptr;

namespace {

bool timerStepManual = false;

QString Decimal(int32_t value) { return QString::fromStdString(FormatDecimal(value)); }

int32_t Number(const QLineEdit* edit) { return ParseInteger(edit->text().toStdString()); }

// "03 14 01 01": the record's raw ROM bytes as the core writes them.
template <typename Record>
QString RawBytesText(const Record& record, EntryKind kind) {
  const EntryField& field = *FindEntryField(kind, "rawBytes");
  return QString::fromStdString(FieldValueText(field, FieldValue(record, field)));
}

// "001 <E> <C> <J>": the list text of line `index` of the three name lists,
// fetched in the order E, C, J.
QString ListItemText(int number, const NameList& listE, const NameList& listC,
                     const NameList& listJ, int64_t index) {
  const std::string& lineE = NameLine(listE, index);
  const std::string& lineC = NameLine(listC, index);
  const std::string& lineJ = NameLine(listJ, index);
  QString text = QString::fromStdString(ThreeDigitNumber(number));
  text += QLatin1Char(' ');
  text += DecodeNameLine(lineE, NameListLanguage::E);
  text += QLatin1Char(' ');
  text += DecodeNameLine(lineC, NameListLanguage::C);
  text += QLatin1Char(' ');
  text += DecodeNameLine(lineJ, NameListLanguage::J);
  return text;
}

}  // namespace

QString UnknownWeaponText(int32_t weaponId) {
  return QStringLiteral("Unknown weapon id %1").arg(weaponId);
}

QString UnknownMoveTypeText(int32_t moveType) {
  return QStringLiteral("Unknown move type %1").arg(moveType);
}

TForm1::TForm1(EditorTables tables, EditorDialogs& dialogs, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                          Qt::WindowCloseButtonHint),
      tables_(tables),
      dialogs_(dialogs) {
  setObjectName(QStringLiteral("Form1"));
  setWindowTitle(QStringLiteral("Varsk Unit Editor"));
  setWindowIcon(QIcon(QStringLiteral(":/varsk/varsk-unit-editor.png")));
  setFont(WindowFont());
  QPalette colours = palette();
  colours.setColor(QPalette::Window, colours.color(QPalette::Button));
  setPalette(colours);
  setAutoFillBackground(true);
  setFixedSize(kClientWidth, kClientHeight);
  move(kWindowLeft, kWindowTop);

  setAcceptDrops(true);

  InstallEditorAccessibility();
  CreateControls();
  ConnectControls();
  Guarded([this] { FormCreate(this); });
}

TForm1::~TForm1() { FormDestroy(this); }

void TForm1::SetTimerStepManual(bool manual) { timerStepManual = manual; }

uint32_t TForm1::BackgroundPixel() const {
  const QColor face = palette().color(QPalette::Button);
  const uint32_t systemColour = (static_cast<uint32_t>(face.blue()) << 16) |
                                (static_cast<uint32_t>(face.green()) << 8) |
                                static_cast<uint32_t>(face.red());
  return SystemColourToPixel(systemColour);
}

void TForm1::FormCreate(QObject* /*Sender*/) {
  // No preview is drawn until start-up is done; the timer draws the first.
  startupDone = false;
  IconStripImage = new PreviewImage(kIconStripWidth, kIconStripHeight, this);
  IconStripImage->setObjectName(QStringLiteral("IconStripImage"));
  IconStripImage->move(CheckBox10->x(), 0);
  SpritePreviewImage = new PreviewImage(kSpritePreviewWidth, kSpritePreviewHeight, this);
  SpritePreviewImage->setObjectName(QStringLiteral("SpritePreviewImage"));
  SpritePreviewImage->move(0, Label13->y());
  BindControls();
  ComboBox3->clear();
  for (int item = 0; item < kMoveTypeItemCount; ++item) ComboBox3->addItem(MoveTypeItemText(item));
  // The name lists, C, E, J in this order; a failure leaves the later ones unloaded.
  NameListC.clear();
  NameListE.clear();
  NameListJ.clear();
  NameListC = LoadNameList(kNameListFileC);
  NameListE = LoadNameList(kNameListFileE);
  NameListJ = LoadNameList(kNameListFileJ);
  // WeaponNames: item 0 empty, item n from line 229 + n.
  WeaponNames.clear();
  WeaponNames.reserve(kWeaponNameCount);
  WeaponNames.append(QString());
  for (int n = 1; n <= kWeaponCount; ++n) {
    WeaponNames.append(ListItemText(n, NameListE, NameListC, NameListJ, WeaponNameLine(n)));
  }
  CreateWeaponRows();
  BindControls();
  LoadDataSet(tables_.dataSet);
  recordsFilled_ = true;
  BuildAnimSetTable(tables_.animSets);
  // The entry list: always 229 items, position n - 1 = entryIndex n.
  ComboBox2->clear();
  QStringList entries;
  entries.reserve(kEntryListCount);
  for (int n = 1; n <= kEntryListCount; ++n) {
    entries.append(ListItemText(n, NameListE, NameListC, NameListJ, n - 1));
  }
  ComboBox2->addItems(entries);
  // A selection made here raises no change event: the handler is called
  // directly, and draws no preview yet.
  ComboBox2->setCurrentIndex(0);
  ScrollBar3Change(this);
  startupDone = true;
  if (!timerStepManual) Timer1->start();
}

void TForm1::CreateWeaponRows() {
  const int firstTop = Label20->y() + 18;
  // Rows stand 20 pixels apart; the controls take the full pitch.
  constexpr int kRowHeight = 20;
  for (int r = 0; r < kWeaponRowCount; ++r) {
    const int top = firstTop + 20 * r;
    WeaponRow row;
    row.WeaponBox = new DropDownList(kWeaponBoxDropDownCount, this);
    row.WeaponBox->setObjectName(QStringLiteral("WeaponBox%1").arg(r));
    row.WeaponBox->setFont(FixedPitchFont());
    // Each box lists WeaponNames through its own string model: the list is
    // shared, not copied item by item, and a row can add its extra item.
    row.WeaponBox->setModel(new QStringListModel(WeaponNames, row.WeaponBox));
    row.WeaponBox->setGeometry(0, top, 370, kRowHeight);
    row.DamageEdit = new QLineEdit(this);
    row.DamageEdit->setObjectName(QStringLiteral("DamageEdit%1").arg(r));
    row.DamageEdit->setGeometry(372, top, 30, kRowHeight);
    UseTightTextMargins(*row.DamageEdit);
    row.AmmoEdit = new QLineEdit(this);
    row.AmmoEdit->setObjectName(QStringLiteral("AmmoEdit%1").arg(r));
    row.AmmoEdit->setGeometry(404, top, 30, kRowHeight);
    UseTightTextMargins(*row.AmmoEdit);
    // Only slots with an ammunition byte in the ROM show an ammunition edit.
    if (!SlotHasAmmoByte(r)) row.AmmoEdit->hide();
    row.DamageEdit->installEventFilter(this);
    row.AmmoEdit->installEventFilter(this);
    if (isVisible()) {
      row.WeaponBox->show();
      row.DamageEdit->show();
      if (!row.AmmoEdit->isHidden()) row.AmmoEdit->show();
    }
    WeaponRows.push_back(row);
  }
}

void TForm1::FormDestroy(QObject* /*Sender*/) {
  if (Timer1 != nullptr) Timer1->stop();
  delete IconStripImage;
  IconStripImage = nullptr;
  delete SpritePreviewImage;
  SpritePreviewImage = nullptr;
}

void TForm1::Timer1Timer(QObject* /*Sender*/) {
  // Stop the timer even when a drawing step fails, so that it still runs once.
  struct StopTimer {
    QTimer* timer;
    ~StopTimer() { timer->stop(); }
  } stopTimer{Timer1};
  Label13Click(this);
  DrawEntryPreview();
}

void TForm1::Label13Click(QObject* /*Sender*/) {
  if (IconStripImage == nullptr) return;
  DrawIconStrip(tables_.dataSet, BackgroundPixel(), IconStripImage->BackBuffer());
  IconStripImage->ShowBuffer();
}

void TForm1::DrawEntryPreview() {
  if (SpritePreviewImage == nullptr) return;
  varsk::DrawEntryPreview(tables_.dataSet, tables_.animSets, ComboBox2->currentIndex(),
                          BackgroundPixel(), SpritePreviewImage->BackBuffer());
  SpritePreviewImage->ShowBuffer();
}

// ---- Entry display ------------------------------------------------------

void TForm1::BindControls() {
  controls_.clear();
  for (const ControlMeaning& meaning : ControlMeanings()) {
    auto* widget = findChild<QWidget*>(meaning.control, Qt::FindDirectChildrenOnly);
    if (widget == nullptr) continue;  // a weapon row start-up did not reach
    int weaponRow = -1;
    for (size_t r = 0; r < WeaponRows.size(); ++r) {
      const WeaponRow& row = WeaponRows[r];
      if (widget == row.WeaponBox || widget == row.DamageEdit || widget == row.AmmoEdit) {
        weaponRow = static_cast<int>(r);
      }
    }
    controls_.push_back({widget, &meaning, weaponRow});
    widget->setAccessibleName(meaning.msName);
  }
  // Apply's order; the controls of one place (a flag word's boxes, the
  // weapon rows) keep the table's order.
  const auto order = [this](EntryKind kind) {
    std::vector<const BoundControl*> ordered;
    for (const BoundControl& control : controls_) {
      if (control.meaning->ApplyPlace(kind) > 0) ordered.push_back(&control);
    }
    std::stable_sort(ordered.begin(), ordered.end(), [kind](const auto* a, const auto* b) {
      return a->meaning->ApplyPlace(kind) < b->meaning->ApplyPlace(kind);
    });
    return ordered;
  };
  msApplyOrder_ = order(EntryKind::Ms);
  shipApplyOrder_ = order(EntryKind::Ship);
}

void TForm1::ScrollBar3Change(QObject* /*Sender*/) {
  DataSet& dataSet = tables_.dataSet;
  const int entryIndex = ComboBox2->currentIndex() + 1;
  switch (KindOfEntry(dataSet, entryIndex)) {
    case EntryKind::Ms:
      ShowRecord(EntryKind::Ms, *MsOfEntry(dataSet, entryIndex));
      break;
    case EntryKind::Ship:
      ShowRecord(EntryKind::Ship, *ShipOfEntry(dataSet, entryIndex));
      break;
    case EntryKind::None:
      break;
  }
  if (startupDone) DrawEntryPreview();
}

template <typename Record>
void TForm1::ShowFields(EntryKind kind, const Record& record) {
  for (const BoundControl& control : controls_) {
    const EntryField* field = control.meaning->Field(kind);
    if (field != nullptr) ShowValue(control, *field, FieldValue(record, *field));
    // Ships relabel some controls: the spoken names follow the captions.
    if (control.meaning->msName != control.meaning->shipName) {
      control.widget->setAccessibleName(control.meaning->Name(kind));
    }
  }
}

// The controls of an MS entry or a ship: the caption over the third row of
// edits, the weapon heading, Ace (MS only) and S point ship (ships only); a
// ship's weapon rows are shown, never edited.
template <typename Record>
void TForm1::ShowRecord(EntryKind kind, const Record& record) {
  const bool ms = kind == EntryKind::Ms;
  Label23->setText(QString::fromUtf16(ms ? kMsCaption : kShipCaption));
  Label20->setVisible(ms);
  Edit1->setVisible(ms);
  if (ms) {
    Edit1->setEnabled(true);
  } else {
    Edit1->clear();
  }
  Edit18->setEnabled(!ms);
  Edit18->setVisible(!ms);
  ShowFields(kind, record);
  for (const WeaponRow& row : WeaponRows) {
    row.WeaponBox->setEnabled(ms);
    row.DamageEdit->setEnabled(ms);
    row.AmmoEdit->setEnabled(ms);
  }
  Label20->update();
}

void TForm1::ShowValue(const BoundControl& control, const EntryField& field, int64_t value) {
  switch (control.meaning->role) {
    case ControlRole::Number:
      static_cast<QLineEdit*>(control.widget)->setText(Decimal(static_cast<int32_t>(value)));
      break;
    case ControlRole::RawBytes:
      static_cast<QLineEdit*>(control.widget)
          ->setText(QString::fromStdString(FieldValueText(field, value)));
      break;
    case ControlRole::MoveType:
      ShowMoveType(static_cast<int32_t>(value));
      break;
    case ControlRole::FlagBit:
      static_cast<QCheckBox*>(control.widget)
          ->setChecked(((value >> control.meaning->bit) & 1) != 0);
      break;
    case ControlRole::WeaponId:
      ShowWeaponId(control.weaponRow, static_cast<int32_t>(value));
      break;
    case ControlRole::NameOnly:
      break;
  }
}

void TForm1::ShowWeaponId(int row, int32_t weaponId) {
  WeaponRow& controls = WeaponRows.at(static_cast<size_t>(row));
  QComboBox* box = controls.WeaponBox;
  QAbstractItemModel* items = box->model();
  // The extra item of an unknown id belongs to the entry shown before.
  if (items->rowCount() > kWeaponNameCount) {
    items->removeRows(kWeaponNameCount, items->rowCount() - kWeaponNameCount);
  }
  if (weaponId >= 0 && weaponId < items->rowCount()) {
    box->setCurrentIndex(weaponId);
  } else {
    // An id outside the weapon list: show its number and keep it on Apply.
    const int extra = items->rowCount();
    items->insertRows(extra, 1);
    items->setData(items->index(extra, 0), UnknownWeaponText(weaponId));
    controls.unknownWeaponId = weaponId;
    box->setCurrentIndex(extra);
  }
}

void TForm1::ShowMoveType(int32_t moveType) {
  QAbstractItemModel* items = ComboBox3->model();
  // The extra item of a value with no item belongs to the entry shown before.
  if (items->rowCount() > kMoveTypeItemCount) {
    items->removeRows(kMoveTypeItemCount, items->rowCount() - kMoveTypeItemCount);
  }
  if (const int item = MoveTypeItemOf(moveType); item >= 0) {
    ComboBox3->setCurrentIndex(item);
    return;
  }
  // A value the list cannot show (16, 17, 19 and up): its number, kept on
  // Apply, as an unknown weapon id is; no other item's value is written for it.
  items->insertRows(kMoveTypeItemCount, 1);
  items->setData(items->index(kMoveTypeItemCount, 0), UnknownMoveTypeText(moveType));
  unknownMoveType_ = moveType;
  ComboBox3->setCurrentIndex(kMoveTypeItemCount);
}

// ---- Apply --------------------------------------------------------------

int64_t TForm1::ControlValue(const BoundControl& control) const {
  switch (control.meaning->role) {
    case ControlRole::Number:
      return Number(static_cast<const QLineEdit*>(control.widget));
    case ControlRole::MoveType: {
      const int item = static_cast<const QComboBox*>(control.widget)->currentIndex();
      return item >= kMoveTypeItemCount ? unknownMoveType_ : MoveTypeOfItem(item);
    }
    case ControlRole::FlagBit:
      return static_cast<const QCheckBox*>(control.widget)->isChecked()
                 ? int64_t{1} << control.meaning->bit
                 : 0;
    case ControlRole::WeaponId: {
      const WeaponRow& row = WeaponRows.at(static_cast<size_t>(control.weaponRow));
      const int index = row.WeaponBox->currentIndex();
      return index >= kWeaponNameCount ? row.unknownWeaponId : index;
    }
    case ControlRole::RawBytes:
    case ControlRole::NameOnly:
      break;
  }
  return 0;
}

bool TForm1::ShowsValue(const BoundControl& control, int64_t value) const {
  switch (control.meaning->role) {
    case ControlRole::Number: {
      const std::optional<int32_t> shown =
          TryParseInteger(static_cast<const QLineEdit*>(control.widget)->text().toStdString());
      return shown && *shown == value;
    }
    case ControlRole::MoveType: {
      const int item = static_cast<const QComboBox*>(control.widget)->currentIndex();
      if (MoveTypeItemOf(value) >= 0) return item == MoveTypeItemOf(value);
      return item >= kMoveTypeItemCount && unknownMoveType_ == value;
    }
    case ControlRole::FlagBit:
      return static_cast<const QCheckBox*>(control.widget)->isChecked() ==
             (((value >> control.meaning->bit) & 1) != 0);
    case ControlRole::WeaponId: {
      const WeaponRow& row = WeaponRows.at(static_cast<size_t>(control.weaponRow));
      const int index = row.WeaponBox->currentIndex();
      if (value >= 0 && value < kWeaponNameCount) return index == value;
      return index >= kWeaponNameCount && row.unknownWeaponId == value;
    }
    case ControlRole::RawBytes:
    case ControlRole::NameOnly:
      break;
  }
  return true;
}

std::vector<QString> TForm1::TypedControls() const {
  std::vector<QString> typed;
  const EntryKind kind = KindOfEntry(tables_.dataSet, ComboBox2->currentIndex() + 1);
  for (const TypedValue& value : TypedValues()) typed.push_back(value.control->meaning->Name(kind));
  return typed;
}

std::vector<TForm1::TypedValue> TForm1::TypedValues() const {
  std::vector<TypedValue> typed;
  const int entryIndex = ComboBox2->currentIndex() + 1;
  const EntryKind kind = KindOfEntry(tables_.dataSet, entryIndex);
  if (kind == EntryKind::None) return typed;
  for (const BoundControl* control : kind == EntryKind::Ship ? shipApplyOrder_ : msApplyOrder_) {
    const std::optional<int64_t> stored =
        EntryFieldValue(tables_.dataSet, entryIndex, *control->meaning->Field(kind));
    if (!stored || ShowsValue(*control, *stored)) continue;
    auto* edit = qobject_cast<QLineEdit*>(control->widget);
    auto* box = qobject_cast<QCheckBox*>(control->widget);
    typed.push_back({control, *stored, edit != nullptr ? edit->text() : QString(),
                     box != nullptr && box->isChecked()});
  }
  return typed;
}

void TForm1::RestoreTypedValues(const std::vector<TypedValue>& typed) {
  const int entryIndex = ComboBox2->currentIndex() + 1;
  const EntryKind kind = KindOfEntry(tables_.dataSet, entryIndex);
  if (kind == EntryKind::None) return;
  for (const TypedValue& value : typed) {
    const std::optional<int64_t> stored =
        EntryFieldValue(tables_.dataSet, entryIndex, *value.control->meaning->Field(kind));
    if (stored != value.stored) continue;  // the field itself changed: its new value shows
    if (auto* edit = qobject_cast<QLineEdit*>(value.control->widget)) edit->setText(value.text);
    if (auto* box = qobject_cast<QCheckBox*>(value.control->widget)) box->setChecked(value.ticked);
  }
}

void TForm1::FocusControl(const BoundControl& control) const {
  control.widget->setFocus(Qt::OtherFocusReason);
  if (auto* edit = qobject_cast<QLineEdit*>(control.widget)) edit->selectAll();
}

std::vector<TForm1::FieldStore> TForm1::ReadEntryControls(EntryKind kind) const {
  std::vector<FieldStore> stores;
  for (const BoundControl* control : kind == EntryKind::Ship ? shipApplyOrder_ : msApplyOrder_) {
    const EntryField& field = *control->meaning->Field(kind);
    int64_t value = 0;
    try {
      value = ControlValue(*control);
    } catch (const VarskError&) {
      FocusControl(*control);
      throw;
    }
    // The boxes of one flag word make one value.
    if (control->meaning->role == ControlRole::FlagBit && !stores.empty() &&
        stores.back().field == &field) {
      stores.back().value |= value;
      continue;
    }
    if (!field.Holds(value)) {
      FocusControl(*control);
      throw VarskError(ControlOutOfRangeMessage(control->meaning->Name(kind).toStdString(), value,
                                                field.Minimum(), field.Maximum()));
    }
    stores.push_back({&field, value});
  }
  return stores;
}

// Every value is read and checked before anything is stored: a bad one stores
// nothing of the entry and makes no step of the record history. What was typed
// is Apply's once stored: Ctrl+Z in an edit then takes it back through the
// records, never only in the edit, where the text would differ from what is
// stored.
void TForm1::Button1Click(QObject* /*Sender*/) {
  const int entryIndex = ComboBox2->currentIndex() + 1;
  const EntryKind kind = KindOfEntry(tables_.dataSet, entryIndex);
  if (kind == EntryKind::None) return;
  const std::vector<FieldStore> stores = ReadEntryControls(kind);
  RecordStep([&] {
    for (const FieldStore& store : stores) {
      SetEntryFieldValue(tables_.dataSet, entryIndex, *store.field, store.value);
    }
  });
  ForgetEditTyping();
  emit recordsChanged();
}

void TForm1::ForgetEditTyping() {
  for (QLineEdit* edit : findChildren<QLineEdit*>(Qt::FindDirectChildrenOnly)) {
    if (!edit->isUndoAvailable() && !edit->isRedoAvailable()) continue;
    // Setting the text starts the edit's own undo anew.
    const int cursor = edit->cursorPosition();
    edit->setText(edit->text());
    edit->setCursorPosition(cursor);
  }
}

// ---- Auto modify, clip export -------------------------------------------

// The selected entry is shown anew: the window never offers values that the
// records no longer hold (Apply would write them back).
void TForm1::Button4Click(QObject* /*Sender*/) {
  AutoModifyOptions options;
  options.ammoFromHp = CheckBox1->isChecked();
  options.productTurnToOne = CheckBox2->isChecked();
  options.supportTurnToOne = CheckBox5->isChecked();
  RecordStep([&] { AutoModify(tables_.dataSet, options); });
  ScrollBar3Change(this);
  emit recordsChanged();
}

void TForm1::Button9Click(QObject* /*Sender*/) { SaveClipSet(); }

void TForm1::Button11Click(QObject* /*Sender*/) {}

void TForm1::SaveClipSet() { varsk::SaveClipSet(tables_.dataSet); }

}  // namespace varsk
