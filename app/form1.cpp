// The main window: start-up (FormCreate), the entry display and Apply, the ROM
// buttons, Auto modify and the two previews. The handlers hold no format
// knowledge: they move values between the controls and the core.
#include "app/form1.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QFileDialog>
#include <QIcon>
#include <QLineEdit>
#include <QPalette>
#include <QPushButton>
#include <QStringListModel>
#include <QTimer>

#include "app/editor_controls.h"
#include "app/editor_fonts.h"
#include "app/move_types.h"
#include "app/preview_image.h"
#include "base/messages.h"
#include "base/number_text.h"
#include "base/text_to_number.h"
#include "data/auto_modify.h"
#include "data/entry_fields.h"
#include "data/rom_file.h"
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

std::string FileNameBytes(const QString& name) { return QFile::encodeName(name).toStdString(); }

}  // namespace

QString UnknownWeaponText(int32_t weaponId) {
  return QStringLiteral("Unknown weapon id %1").arg(weaponId);
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
  // 1.
  startupDone = false;
  // 2. and 3.: the two preview images.
  IconStripImage = new PreviewImage(kIconStripWidth, kIconStripHeight, this);
  IconStripImage->setObjectName(QStringLiteral("IconStripImage"));
  IconStripImage->move(CheckBox10->x(), 0);
  SpritePreviewImage = new PreviewImage(kSpritePreviewWidth, kSpritePreviewHeight, this);
  SpritePreviewImage->setObjectName(QStringLiteral("SpritePreviewImage"));
  SpritePreviewImage->move(0, Label13->y());
  // 4. The move type list.
  ComboBox3->clear();
  for (const char* item : kMoveTypeItems) ComboBox3->addItem(QString::fromUtf8(item));
  // 5. The name lists, C, E, J in this order; a failure leaves the later ones unloaded.
  NameListC.clear();
  NameListE.clear();
  NameListJ.clear();
  NameListC = LoadNameList(kNameListFileC);
  NameListE = LoadNameList(kNameListFileE);
  NameListJ = LoadNameList(kNameListFileJ);
  // 6. WeaponNames: item 0 empty, item n from line 229 + n.
  WeaponNames.clear();
  WeaponNames.reserve(kWeaponNameCount);
  WeaponNames.append(QString());
  for (int n = 1; n <= kWeaponCount; ++n) {
    WeaponNames.append(ListItemText(n, NameListE, NameListC, NameListJ, kEntryNameLines + n - 1));
  }
  // 7.
  CreateWeaponRows();
  // 8. and 9.
  LoadDataSet(tables_.dataSet);
  recordsFilled_ = true;
  BuildAnimSetTable(tables_.animSets);
  // 10. The entry list: always 229 items, position n - 1 = entryIndex n.
  ComboBox2->clear();
  QStringList entries;
  entries.reserve(kEntryListCount);
  for (int n = 1; n <= kEntryListCount; ++n) {
    entries.append(ListItemText(n, NameListE, NameListC, NameListJ, n - 1));
  }
  ComboBox2->addItems(entries);
  // 11. A selection made here raises no change event: call the handler directly.
  ComboBox2->setCurrentIndex(0);
  ScrollBar3Change(this);
  // 12. and 13.
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

void TForm1::ScrollBar3Change(QObject* /*Sender*/) {
  DataSet& dataSet = tables_.dataSet;
  const int entryIndex = ComboBox2->currentIndex() + 1;
  switch (KindOfEntry(dataSet, entryIndex)) {
    case EntryKind::Ms:
      ShowMsEntry(*MsOfEntry(dataSet, entryIndex));
      break;
    case EntryKind::Ship:
      ShowShipEntry(*ShipOfEntry(dataSet, entryIndex));
      break;
    case EntryKind::None:
      break;
  }
  if (startupDone) DrawEntryPreview();
}

void TForm1::ShowMsEntry(const MsRecord& record) {
  Label23->setText(QString::fromUtf16(kMsCaption));
  Label20->show();
  Edit1->show();
  Edit1->setEnabled(true);
  Edit1->setText(Decimal(record.ace));
  Edit2->setText(Decimal(record.cost));
  Edit3->setText(Decimal(record.hp));
  Edit4->setText(Decimal(record.move));
  Edit5->setText(Decimal(record.en));
  Edit6->setText(Decimal(record.tech));
  Edit7->setText(Decimal(record.productTurn));
  Edit8->setText(Decimal(record.supportTurn));
  Edit9->setText(Decimal(record.sPoint));
  Edit10->setText(Decimal(record.armor));
  Edit11->setText(Decimal(record.speed));
  Edit12->setText(Decimal(record.artillery));
  Edit13->setText(Decimal(record.artilleryRange));
  Edit14->setText(Decimal(record.shipDamage));
  Edit15->setText(Decimal(record.baseDamage));
  Edit16->setText(Decimal(record.areaDamage));
  Edit17->setText(Decimal(record.areaRange));
  Edit18->setEnabled(false);
  Edit18->hide();
  Edit43->setText(RawBytesText(record, EntryKind::Ms));
  ComboBox3->setCurrentIndex(MoveTypeItemOf(record.moveType));
  ShowFlags(record.terrainFlags, record.factoryFlags, record.factionFlags);
  for (int r = 0; r < static_cast<int>(WeaponRows.size()); ++r) {
    ShowWeaponRow(r, record.weapons[r]);
    WeaponRows[r].WeaponBox->setEnabled(true);
    WeaponRows[r].DamageEdit->setEnabled(true);
    WeaponRows[r].AmmoEdit->setEnabled(true);
  }
  Label20->update();
}

void TForm1::ShowShipEntry(const ShipRecord& record) {
  Label23->setText(QString::fromUtf16(kShipCaption));
  Label20->hide();
  Edit1->hide();
  Edit1->clear();
  Edit2->setText(Decimal(record.cost));
  Edit3->setText(Decimal(record.hp));
  Edit4->setText(Decimal(record.move));
  Edit5->setText(Decimal(record.en));
  Edit6->setText(Decimal(record.tech));
  Edit7->setText(Decimal(record.productTurn));
  Edit8->setText(Decimal(record.supportTurn));
  Edit9->setText(Decimal(record.sPoint));
  Edit18->setText(Decimal(record.sPointShip));
  Edit18->setEnabled(true);
  Edit18->show();
  Edit10->setText(Decimal(record.armor));
  Edit11->setText(Decimal(record.speed));
  Edit12->setText(Decimal(record.artillery));
  Edit13->setText(Decimal(record.artilleryRange));
  Edit14->setText(Decimal(record.defense));
  Edit15->setText(Decimal(record.space));
  Edit16->setText(Decimal(record.areaDamage));
  Edit17->setText(Decimal(record.areaRange));
  Edit43->setText(RawBytesText(record, EntryKind::Ship));
  ComboBox3->setCurrentIndex(MoveTypeItemOf(record.moveType));
  ShowFlags(record.terrainFlags, record.factoryFlags, record.factionFlags);
  for (int r = 0; r < static_cast<int>(WeaponRows.size()); ++r) {
    ShowWeaponRow(r, record.weapons[r]);
    WeaponRows[r].WeaponBox->setEnabled(false);
    WeaponRows[r].DamageEdit->setEnabled(false);
    WeaponRows[r].AmmoEdit->setEnabled(false);
  }
  Label20->update();
}

void TForm1::ShowFlags(int32_t terrainFlags, int32_t factoryFlags, int32_t factionFlags) {
  CheckBox3->setChecked((terrainFlags & 4) != 0);
  CheckBox4->setChecked((terrainFlags & 2) != 0);
  CheckBox9->setChecked((terrainFlags & 1) != 0);
  CheckBox24->setChecked((factoryFlags & 1) != 0);
  CheckBox25->setChecked((factoryFlags & 2) != 0);
  CheckBox26->setChecked((factoryFlags & 4) != 0);
  for (int k = 0; k < static_cast<int>(factionBoxes_.size()); ++k) {
    factionBoxes_[k]->setChecked((factionFlags & (1 << k)) != 0);
  }
}

void TForm1::ShowWeaponRow(int row, const WeaponSlot& slot) {
  if (row < 0 || row >= static_cast<int>(WeaponRows.size())) return;
  WeaponRow& controls = WeaponRows[static_cast<size_t>(row)];
  QComboBox* box = controls.WeaponBox;
  QAbstractItemModel* items = box->model();
  // The extra item of an unknown id belongs to the entry shown before.
  if (items->rowCount() > kWeaponNameCount) {
    items->removeRows(kWeaponNameCount, items->rowCount() - kWeaponNameCount);
  }
  if (slot.weaponId >= 0 && slot.weaponId < items->rowCount()) {
    box->setCurrentIndex(slot.weaponId);
  } else {
    // An id outside the weapon list: show its number and keep it on Apply.
    const int extra = items->rowCount();
    items->insertRows(extra, 1);
    items->setData(items->index(extra, 0), UnknownWeaponText(slot.weaponId));
    controls.unknownWeaponId = slot.weaponId;
    box->setCurrentIndex(extra);
  }
  controls.DamageEdit->setText(Decimal(slot.damage));
  controls.AmmoEdit->setText(Decimal(slot.ammo));
}

// ---- Apply --------------------------------------------------------------

WeaponRowValues TForm1::ReadWeaponRow(int row) {
  const WeaponRow& controls = WeaponRows.at(static_cast<size_t>(row));
  WeaponRowValues values;
  const int index = controls.WeaponBox->currentIndex();
  values.weaponId = index >= kWeaponNameCount ? controls.unknownWeaponId : index;
  values.damage = Number(controls.DamageEdit);
  values.ammo = Number(controls.AmmoEdit);
  return values;
}

int32_t TForm1::TerrainFlagsFromBoxes() const {
  return (CheckBox9->isChecked() ? 1 : 0) + (CheckBox4->isChecked() ? 2 : 0) +
         (CheckBox3->isChecked() ? 4 : 0);
}

int32_t TForm1::FactionFlagsFromBoxes() const {
  int32_t flags = 0;
  for (int k = 0; k < static_cast<int>(factionBoxes_.size()); ++k) {
    if (factionBoxes_[k]->isChecked()) flags += 1 << k;
  }
  return flags;
}

int32_t TForm1::FactoryFlagsFromBoxes() const {
  return (CheckBox24->isChecked() ? 1 : 0) + (CheckBox25->isChecked() ? 2 : 0) +
         (CheckBox26->isChecked() ? 4 : 0);
}

int32_t TForm1::MoveTypeFromBox() const { return MoveTypeOfItem(ComboBox3->currentIndex()); }

// One step of the record history, also when a conversion error stops Apply.
// What was typed before is Apply's from then on: Ctrl+Z in an edit takes it
// back through the records, never only in the edit, where the text would then
// differ from what is stored.
void TForm1::Button1Click(QObject* /*Sender*/) {
  struct TypingApplied {
    TForm1* form;
    ~TypingApplied() { form->ForgetEditTyping(); }
  } typingApplied{this};
  history_.Record(tables_.dataSet, [this] { ApplyToSelectedEntry(); });
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

// Each field is stored as soon as it is converted: a conversion error stops
// Apply with the earlier fields stored and the rest unchanged.
void TForm1::ApplyToSelectedEntry() {
  DataSet& dataSet = tables_.dataSet;
  const int entryIndex = ComboBox2->currentIndex() + 1;
  if (MsRecord* ms = MsOfEntry(dataSet, entryIndex)) {
    ms->cost = Number(Edit2);
    ms->hp = Number(Edit3);
    ms->en = Number(Edit5);
    ms->terrainFlags = TerrainFlagsFromBoxes();
    ms->moveType = MoveTypeFromBox();
    ms->move = Number(Edit4);
    ms->factionFlags = FactionFlagsFromBoxes();
    ms->factoryFlags = FactoryFlagsFromBoxes();
    ms->ace = Number(Edit1);
    ms->baseDamage = Number(Edit15);
    ms->tech = Number(Edit6);
    ms->productTurn = Number(Edit7);
    ms->supportTurn = Number(Edit8);
    ms->sPoint = Number(Edit9);
    ms->armor = Number(Edit10);
    ms->speed = Number(Edit11);
    ms->artillery = Number(Edit12);
    ms->artilleryRange = Number(Edit13);
    ms->shipDamage = Number(Edit14);
    ms->areaDamage = Number(Edit16);
    ms->areaRange = Number(Edit17);
    for (int r = 0; r < static_cast<int>(WeaponRows.size()); ++r) {
      const WeaponRowValues values = ReadWeaponRow(r);
      ms->weapons[r].weaponId = values.weaponId;
      ms->weapons[r].damage = values.damage;
      ms->weapons[r].ammo = values.ammo;
    }
  } else if (ShipRecord* ship = ShipOfEntry(dataSet, entryIndex)) {
    ship->cost = Number(Edit2);
    ship->hp = Number(Edit3);
    ship->en = Number(Edit5);
    ship->terrainFlags = TerrainFlagsFromBoxes();
    ship->moveType = MoveTypeFromBox();
    ship->move = Number(Edit4);
    ship->factionFlags = FactionFlagsFromBoxes();
    ship->factoryFlags = FactoryFlagsFromBoxes();
    ship->tech = Number(Edit6);
    ship->productTurn = Number(Edit7);
    ship->supportTurn = Number(Edit8);
    ship->sPoint = Number(Edit9);
    ship->armor = Number(Edit10);
    ship->speed = Number(Edit11);
    ship->artillery = Number(Edit12);
    ship->artilleryRange = Number(Edit13);
    ship->defense = Number(Edit14);
    ship->areaDamage = Number(Edit16);
    ship->areaRange = Number(Edit17);
    ship->space = Number(Edit15);
    ship->sPointShip = Number(Edit18);
  }
}

// ---- ROM file, Auto modify, clip export -----------------------------------

void TForm1::Button2Click(QObject* /*Sender*/) { LoadRom(); }

void TForm1::LoadRom() {
  const std::optional<QString> fileName = dialogs_.ChooseFile(OpenDialog());
  if (!fileName) return;
  LoadRomFrom(*fileName);
}

void TForm1::LoadRomFrom(const QString& fileName) {
  const bool wereFilled = recordsFilled_;
  history_.Record(tables_.dataSet, [&] {
    LoadRomFile(FileNameBytes(fileName), tables_.romBuffers, tables_.dataSet);
  });
  recordsFilled_ = true;
  // Taking back the load that first filled the records would leave records
  // that Save ROM refuses to write: the history starts after it.
  if (!wereFilled) history_.Clear();
}

void TForm1::Button3Click(QObject* /*Sender*/) {
  // After a failed start-up the records are all zero: writing them would wipe
  // the unit tables of the chosen ROM.
  if (!recordsFilled_) throw VarskError(NothingToSaveMessage());
  const std::optional<QString> fileName = dialogs_.ChooseFile(OpenDialog());
  if (!fileName) return;
  SaveRomFile(FileNameBytes(*fileName), tables_.dataSet, tables_.romBuffers);
}

void TForm1::Button4Click(QObject* /*Sender*/) {
  AutoModifyOptions options;
  options.ammoFromHp = CheckBox1->isChecked();
  options.productTurnToOne = CheckBox2->isChecked();
  options.supportTurnToOne = CheckBox5->isChecked();
  history_.Record(tables_.dataSet, [&] { AutoModify(tables_.dataSet, options); });
}

void TForm1::Button9Click(QObject* /*Sender*/) { SaveClipSet(); }

void TForm1::Button11Click(QObject* /*Sender*/) {}

void TForm1::SaveClipSet() { varsk::SaveClipSet(tables_.dataSet); }

}  // namespace varsk
