// The selected entry in the controls, and Apply's way back into the record:
// every value checked against what the ROM holds before anything is stored.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <cstring>
#include <memory>
#include <set>

#include "app/move_types.h"
#include "app/preview_image.h"
#include "data/entry_fields.h"
#include "editor_fixture.h"

namespace varsk::testing {
namespace {

constexpr int kFirstShip = kMsEntryCount;  // list position of ship 1

// The edits in Apply's order, with the field each shows (the flag words and
// the move type stand between `en` and `move`, and between `move` and the
// next edit; an MS entry's weapon rows come last).
struct Shown {
  const char* edit;
  const char* field;
};
const std::vector<Shown> kMsOrder = {
    {"Edit2", "cost"},        {"Edit3", "hp"},
    {"Edit5", "en"},          {"Edit4", "move"},
    {"Edit1", "ace"},         {"Edit15", "baseDamage"},
    {"Edit6", "tech"},        {"Edit7", "productTurn"},
    {"Edit8", "supportTurn"}, {"Edit9", "sPoint"},
    {"Edit10", "armor"},      {"Edit11", "speed"},
    {"Edit12", "artillery"},  {"Edit13", "artilleryRange"},
    {"Edit14", "shipDamage"}, {"Edit16", "areaDamage"},
    {"Edit17", "areaRange"},
};
const std::vector<Shown> kShipOrder = {
    {"Edit2", "cost"},        {"Edit3", "hp"},          {"Edit5", "en"},
    {"Edit4", "move"},        {"Edit6", "tech"},        {"Edit7", "productTurn"},
    {"Edit8", "supportTurn"}, {"Edit9", "sPoint"},      {"Edit10", "armor"},
    {"Edit11", "speed"},      {"Edit12", "artillery"},  {"Edit13", "artilleryRange"},
    {"Edit14", "defense"},    {"Edit16", "areaDamage"}, {"Edit17", "areaRange"},
    {"Edit15", "space"},      {"Edit18", "sPointShip"},
};

template <typename Record>
int64_t Value(const Record& record, EntryKind kind, const char* field) {
  return FieldValue(record, *FindEntryField(kind, field));
}

class DisplayTest : public EditorTest {
 protected:
  void SetUp() override {
    EditorTest::SetUp();
    CreateWindow();
    ASSERT_TRUE(dialogs_.errors.empty());
  }
  QLineEdit* Edit(const char* name) {
    return form_->findChild<QLineEdit*>(QString::fromLatin1(name));
  }
  // Another value the field holds.
  static int64_t Next(EntryKind kind, const char* field, int64_t value) {
    const EntryField& row = *FindEntryField(kind, field);
    return value >= row.Maximum() || value < row.Minimum() ? row.Minimum() : value + 1;
  }
};

TEST_F(DisplayTest, MsEntryShowsEveryFieldInItsControl) {
  ChooseEntry(11);
  const MsRecord& r = *reference_->MsSlot(12);
  for (const Shown& f : kMsOrder) {
    EXPECT_EQ(Edit(f.edit)->text(), QString::number(Value(r, EntryKind::Ms, f.field))) << f.edit;
  }
  TForm1& form = *form_;
  EXPECT_EQ(form.Label23->text(), QString::fromUtf16(kMsCaption));
  EXPECT_FALSE(form.Label20->isHidden());
  EXPECT_FALSE(form.Edit1->isHidden());
  EXPECT_TRUE(form.Edit1->isEnabled());
  EXPECT_TRUE(form.Edit18->isHidden());
  EXPECT_FALSE(form.Edit18->isEnabled());
  EXPECT_EQ(form.Edit43->text(), QStringLiteral("03 14 0C AB"));
  for (int r2 = 0; r2 < 8; ++r2) {
    const WeaponRow& row = form.WeaponRows[static_cast<size_t>(r2)];
    EXPECT_EQ(row.WeaponBox->currentIndex(), r.weapons[r2].weaponId);
    EXPECT_EQ(row.DamageEdit->text(), QString::number(r.weapons[r2].damage));
    EXPECT_EQ(row.AmmoEdit->text(), QString::number(r.weapons[r2].ammo));
    EXPECT_TRUE(row.WeaponBox->isEnabled() && row.DamageEdit->isEnabled() &&
                row.AmmoEdit->isEnabled());
  }
  EXPECT_EQ(form.Edit14->accessibleName(), QStringLiteral("Ship damage"));
}

TEST_F(DisplayTest, ShipShowsItsFieldsWithRowsFilledButDisabled) {
  ChooseEntry(kFirstShip + 4);
  const ShipRecord& r = *reference_->ShipSlot(5);
  for (const Shown& f : kShipOrder) {
    EXPECT_EQ(Edit(f.edit)->text(), QString::number(Value(r, EntryKind::Ship, f.field))) << f.edit;
  }
  TForm1& form = *form_;
  EXPECT_EQ(form.Label23->text(), QString::fromUtf16(kShipCaption));
  EXPECT_TRUE(form.Label20->isHidden());
  EXPECT_TRUE(form.Edit1->isHidden());
  EXPECT_TRUE(form.Edit1->text().isEmpty());
  EXPECT_FALSE(form.Edit18->isHidden());
  EXPECT_TRUE(form.Edit18->isEnabled());
  EXPECT_EQ(form.Edit43->text(), QStringLiteral("82 5A 05"));
  for (int k = 0; k < 8; ++k) {
    const WeaponRow& row = form.WeaponRows[static_cast<size_t>(k)];
    EXPECT_EQ(row.WeaponBox->currentIndex(), r.weapons[k].weaponId);
    EXPECT_EQ(row.DamageEdit->text(), QString::number(r.weapons[k].damage));
    EXPECT_FALSE(row.WeaponBox->isEnabled() || row.DamageEdit->isEnabled() ||
                 row.AmmoEdit->isEnabled());
  }
  // The spoken names follow the ship's captions.
  EXPECT_EQ(form.Edit14->accessibleName(), QStringLiteral("Defense"));
  EXPECT_EQ(form.Edit15->accessibleName(), QStringLiteral("Space"));
  // Back to an MS entry: everything the ship hid or disabled comes back.
  ChooseEntry(3);
  EXPECT_FALSE(form.Edit1->isHidden());
  EXPECT_EQ(form.Edit1->text(), QString::number(reference_->MsSlot(4)->ace));
  EXPECT_TRUE(form.Edit18->isHidden());
  EXPECT_TRUE(form.WeaponRows[7].AmmoEdit->isEnabled());
  EXPECT_EQ(form.Label23->text(), QString::fromUtf16(kMsCaption));
  EXPECT_EQ(form.Edit15->accessibleName(), QStringLiteral("Base damage"));
}

TEST_F(DisplayTest, FlagsTickTheirBoxesAndApplyRebuildsThemFromZero) {
  MsRecord& r = *dataSet_->MsSlot(1);
  r.terrainFlags = 9;
  r.factionFlags = (1 << 7) | (1 << 12) | (1 << 13);
  r.factoryFlags = 2 | 8;
  ChooseEntry(0);
  TForm1& form = *form_;
  EXPECT_TRUE(form.CheckBox9->isChecked());
  EXPECT_FALSE(form.CheckBox4->isChecked());
  EXPECT_FALSE(form.CheckBox3->isChecked());
  for (int k = 0; k < 13; ++k) {
    EXPECT_EQ(form.FactionBox(k)->isChecked(), k == 7 || k == 12) << k;
  }
  EXPECT_EQ(form.CheckBox17, form.FactionBox(7));
  EXPECT_TRUE(form.CheckBox25->isChecked());
  EXPECT_FALSE(form.CheckBox24->isChecked() || form.CheckBox26->isChecked());
  form.CheckBox3->setChecked(true);
  form.CheckBox10->setChecked(true);
  form.Button1->click();
  EXPECT_TRUE(dialogs_.errors.empty());
  EXPECT_EQ(r.terrainFlags, 5);
  EXPECT_EQ(r.factionFlags, 1 | (1 << 7) | (1 << 12));
  EXPECT_EQ(r.factoryFlags, 2);
}

struct MoveTypeCase {
  int32_t stored;
  int shownItem;
  int32_t afterApply;
};

class MoveTypeTest : public DisplayTest, public ::testing::WithParamInterface<MoveTypeCase> {};

TEST_P(MoveTypeTest, StoredValueShowsItsItemAndApplyStoresTheItemValue) {
  const MoveTypeCase& c = GetParam();
  dataSet_->MsSlot(2)->moveType = c.stored;
  dataSet_->ShipSlot(2)->moveType = c.stored;
  for (int position : {1, kFirstShip + 1}) {
    ChooseEntry(position);
    EXPECT_EQ(form_->ComboBox3->currentIndex(), c.shownItem);
    form_->Button1->click();
  }
  EXPECT_EQ(dataSet_->MsSlot(2)->moveType, c.afterApply);
  EXPECT_EQ(dataSet_->ShipSlot(2)->moveType, c.afterApply);
  EXPECT_TRUE(dialogs_.errors.empty());
}

INSTANTIATE_TEST_SUITE_P(Values, MoveTypeTest,
                         ::testing::Values(MoveTypeCase{0, 0, 0}, MoveTypeCase{3, 3, 3},
                                           MoveTypeCase{8, 8, 8}, MoveTypeCase{15, 15, 15},
                                           MoveTypeCase{18, 16, 18},
                                           // No item stands for these: an extra item
                                           // shows the value, and Apply keeps it.
                                           MoveTypeCase{16, 17, 16}, MoveTypeCase{17, 17, 17},
                                           MoveTypeCase{255, 17, 255}));

// Every edit of an entry made bad in turn (not a number, or out of range),
// with the last edit of Apply's order bad too: the message is the first bad
// field's, the keyboard goes to it, and nothing of the entry is stored.
struct BadFieldCase {
  EntryKind kind;
  size_t bad;
};

class ApplyRefusalTest : public DisplayTest, public ::testing::WithParamInterface<BadFieldCase> {};

TEST_P(ApplyRefusalTest, ABadFieldStoresNothingAndNamesTheFirstOne) {
  const auto [kind, bad] = GetParam();
  const bool ms = kind == EntryKind::Ms;
  const std::vector<Shown>& order = ms ? kMsOrder : kShipOrder;
  const int entryIndex = ms ? 6 : kMsEntryCount + 3;
  ChooseEntry(entryIndex - 1);
  const auto before = std::make_unique<DataSet>(*dataSet_);
  for (const Shown& f : order) {
    const int64_t now = *EntryFieldValue(*dataSet_, entryIndex, *FindEntryField(kind, f.field));
    Edit(f.edit)->setText(QString::number(Next(kind, f.field, now)));
  }
  form_->CheckBox3->setChecked(!form_->CheckBox3->isChecked());
  form_->FactionBox(12)->setChecked(!form_->FactionBox(12)->isChecked());
  form_->ComboBox3->setCurrentIndex(16);
  if (ms) form_->WeaponRows[0].DamageEdit->setText(QStringLiteral("77"));

  const Shown& field = order[bad];
  const EntryField& row = *FindEntryField(kind, field.field);
  const bool notANumber = bad % 2 == 0 || row.coding == FieldCoding::NotStored;
  const QString badText = notANumber ? QStringLiteral(" 1 2") : QString::number(row.Maximum() + 1);
  Edit(field.edit)->setText(badText);
  if (bad + 1 < order.size()) Edit(order.back().edit)->setText(QStringLiteral("x"));
  const size_t steps = form_->History().UndoCount();
  form_->Button1->click();

  ASSERT_EQ(dialogs_.errors.size(), 1u);
  const QString expected = notANumber ? QStringLiteral("' 1 2' is not a valid integer value.")
                                      : QStringLiteral("%1: %2 is out of range (0 to %3).")
                                            .arg(Edit(field.edit)->accessibleName())
                                            .arg(row.Maximum() + 1)
                                            .arg(row.Maximum());
  EXPECT_EQ(dialogs_.errors[0], expected);
  EXPECT_EQ(form_->focusWidget(), Edit(field.edit));
  EXPECT_EQ(
      std::memcmp(dataSet_->msRecords.data(), before->msRecords.data(), sizeof before->msRecords),
      0);
  EXPECT_EQ(std::memcmp(dataSet_->shipRecords.data(), before->shipRecords.data(),
                        sizeof before->shipRecords),
            0);
  EXPECT_EQ(form_->History().UndoCount(), steps);

  // Mended, the same Apply stores every value.
  Edit(field.edit)->setText(QString::number(row.Minimum() < 0 ? 0 : row.Minimum()));
  Edit(order.back().edit)->setText(QStringLiteral("0"));
  form_->Button1->click();
  EXPECT_EQ(dialogs_.errors.size(), 1u);
  for (const Shown& f : order) {
    EXPECT_EQ(
        QString::number(*EntryFieldValue(*dataSet_, entryIndex, *FindEntryField(kind, f.field))),
        Edit(f.edit)->text())
        << f.edit;
  }
  EXPECT_EQ(*EntryFieldValue(*dataSet_, entryIndex, *FindEntryField(kind, "moveType")),
            kRocketMoveType);
}

std::vector<BadFieldCase> EveryField() {
  std::vector<BadFieldCase> cases;
  for (size_t i = 0; i < kMsOrder.size(); ++i) cases.push_back({EntryKind::Ms, i});
  for (size_t i = 0; i < kShipOrder.size(); ++i) cases.push_back({EntryKind::Ship, i});
  return cases;
}

INSTANTIATE_TEST_SUITE_P(EveryField, ApplyRefusalTest, ::testing::ValuesIn(EveryField()));

// Values the ROM cannot hold, typed as a user would: each is refused with the
// field's name and range; the bounds themselves are taken.
TEST_F(DisplayTest, ValuesTheRomCannotHoldAreRefusedWithTheirRange) {
  struct Typed {
    const char* control;
    const char* text;
    const char* message;  // nullptr: stored
  };
  const Typed cases[] = {
      {"Edit3", "-5", "HP: -5 is out of range (0 to 65535)."},
      {"Edit3", "65536", "HP: 65536 is out of range (0 to 65535)."},
      {"Edit3", "65535", nullptr},
      {"Edit2", "70000", "Cost: 70000 is out of range (0 to 65535)."},
      {"Edit4", "40", "Move: 40 is out of range (0 to 31)."},
      {"Edit4", "31", nullptr},
      {"Edit1", "300", "Ace: 300 is out of range (0 to 255)."},
      {"Edit6", "-1", "Tech: -1 is out of range (0 to 255)."},
      {"Edit13", "-1", "Artillery range: -1 is out of range (0 to 127)."},
      {"AmmoEdit2", "-128", "Weapon 3 ammo: -128 is out of range (-127 to 127)."},
      {"AmmoEdit2", "-127", nullptr},
      {"AmmoEdit3", "128", "Weapon 4 ammo: 128 is out of range (-127 to 127)."},
      {"DamageEdit7", "256", "Weapon 8 damage: 256 is out of range (0 to 255)."},
  };
  ChooseEntry(0);
  for (const Typed& c : cases) {
    dialogs_.errors.clear();
    ChooseEntry(0);
    const MsRecord before = *dataSet_->MsSlot(1);
    auto* edit = form_->findChild<QLineEdit*>(QString::fromLatin1(c.control));
    edit->setText(QString::fromLatin1(c.text));
    form_->Button1->click();
    if (c.message == nullptr) {
      EXPECT_TRUE(dialogs_.errors.empty()) << c.control << " " << c.text;
      continue;
    }
    ASSERT_EQ(dialogs_.errors.size(), 1u) << c.control << " " << c.text;
    EXPECT_EQ(dialogs_.errors[0], QString::fromLatin1(c.message));
    EXPECT_EQ(std::memcmp(dataSet_->MsSlot(1), &before, sizeof before), 0) << c.control;
  }
  // A move type the list has no item for, shown by its own item and kept by
  // Apply: one the ROM cannot hold is refused as typed values are.
  dataSet_->MsSlot(2)->moveType = -4;
  ChooseEntry(1);
  EXPECT_EQ(form_->ComboBox3->currentText(), QStringLiteral("Unknown move type -4"));
  dialogs_.errors.clear();
  form_->Button1->click();
  ASSERT_EQ(dialogs_.errors.size(), 1u);
  EXPECT_EQ(dialogs_.errors[0], QStringLiteral("Move type: -4 is out of range (0 to 255)."));
  EXPECT_EQ(form_->focusWidget(), form_->ComboBox3);
  EXPECT_EQ(dataSet_->MsSlot(2)->moveType, -4);
}

TEST_F(DisplayTest, ShipApplyIgnoresEdit1AndMsApplyIgnoresEdit18) {
  ChooseEntry(kFirstShip);
  ASSERT_TRUE(form_->Edit1->text().isEmpty());
  form_->Edit2->setText(QStringLiteral("4321"));
  form_->Button1->click();
  EXPECT_TRUE(dialogs_.errors.empty());
  EXPECT_EQ(dataSet_->ShipSlot(1)->cost, 4321);
  const ShipRecord shipBefore = *dataSet_->ShipSlot(1);
  ChooseEntry(0);
  form_->Edit18->setText(QStringLiteral("junk"));
  form_->Button1->click();
  EXPECT_TRUE(dialogs_.errors.empty());
  EXPECT_EQ(std::memcmp(dataSet_->ShipSlot(1), &shipBefore, sizeof shipBefore), 0);
}

TEST_F(DisplayTest, ApplyWritesRowsBackAndLeavesEverythingElseOfTheSlots) {
  ChooseEntry(20);
  MsRecord& r = *dataSet_->MsSlot(21);
  const MsRecord before = r;
  form_->Button1->click();  // unchanged controls store the same values
  EXPECT_TRUE(dialogs_.errors.empty());
  EXPECT_EQ(std::memcmp(&r, &before, sizeof r), 0);

  form_->WeaponRows[1].WeaponBox->setCurrentIndex(0);
  form_->WeaponRows[6].DamageEdit->setText(QStringLiteral("99"));
  form_->WeaponRows[6].AmmoEdit->setText(QStringLiteral("-16"));
  form_->Button1->click();
  EXPECT_EQ(r.weapons[1].weaponId, 0);
  EXPECT_EQ(r.weapons[6].damage, 99);
  EXPECT_EQ(r.weapons[6].ammo, -16);
  for (int s : {0, 1, 4, 5}) EXPECT_EQ(r.weapons[s].ammo, before.weapons[s].ammo) << s;
  for (int s = 0; s < 16; ++s) {
    EXPECT_EQ(r.weapons[s].reserved1, before.weapons[s].reserved1);
    EXPECT_EQ(r.weapons[s].occupied, before.weapons[s].occupied);
  }
  EXPECT_EQ(std::memcmp(&r.weapons[8], &before.weapons[8], 8 * sizeof(WeaponSlot)), 0);
  EXPECT_EQ(r.reserved1, before.reserved1);
  EXPECT_EQ(r.spriteIndex, before.spriteIndex);
}

TEST_F(DisplayTest, BadWeaponRowStoresNoRowAndTakesTheFocus) {
  ChooseEntry(30);
  MsRecord& r = *dataSet_->MsSlot(31);
  const MsRecord before = r;
  for (int k = 0; k < 8; ++k) {
    form_->WeaponRows[static_cast<size_t>(k)].WeaponBox->setCurrentIndex(100 + k);
  }
  form_->WeaponRows[3].AmmoEdit->setText(QStringLiteral("many"));
  form_->Button1->click();
  ASSERT_EQ(dialogs_.errors.size(), 1u);
  EXPECT_EQ(std::memcmp(&r, &before, sizeof r), 0);
  EXPECT_EQ(form_->focusWidget(), form_->WeaponRows[3].AmmoEdit);
}

TEST_F(DisplayTest, WeaponIdOutsideTheListIsShownAndKeptWhereTheRomHoldsIt) {
  dataSet_->MsSlot(3)->weapons[2].weaponId = 200;
  ChooseEntry(2);
  const WeaponRow& row = form_->WeaponRows[2];
  ASSERT_EQ(row.WeaponBox->count(), kWeaponNameCount + 1);
  EXPECT_EQ(row.WeaponBox->currentText(), QStringLiteral("Unknown weapon id 200"));
  form_->Button1->click();
  EXPECT_TRUE(dialogs_.errors.empty());
  EXPECT_EQ(dataSet_->MsSlot(3)->weapons[2].weaponId, 200);

  // The user picks a real weapon instead.
  row.WeaponBox->setCurrentIndex(5);
  form_->Button1->click();
  EXPECT_EQ(dataSet_->MsSlot(3)->weapons[2].weaponId, 5);

  // Another entry drops the extra item; coming back shows the stored id.
  dataSet_->MsSlot(3)->weapons[2].weaponId = 176;
  ChooseEntry(0);
  EXPECT_EQ(row.WeaponBox->count(), kWeaponNameCount);
  ChooseEntry(2);
  EXPECT_EQ(row.WeaponBox->count(), kWeaponNameCount + 1);
  EXPECT_EQ(row.WeaponBox->currentText(), QStringLiteral("Unknown weapon id 176"));

  // An id no ROM holds is shown, and Apply asks for another.
  dataSet_->MsSlot(3)->weapons[5].weaponId = -1;
  ChooseEntry(2);
  EXPECT_EQ(form_->WeaponRows[5].WeaponBox->currentText(), QStringLiteral("Unknown weapon id -1"));
  form_->Button1->click();
  ASSERT_EQ(dialogs_.errors.size(), 1u);
  EXPECT_EQ(dialogs_.errors[0], QStringLiteral("Weapon 6: -1 is out of range (0 to 255)."));
  EXPECT_EQ(dataSet_->MsSlot(3)->weapons[5].weaponId, -1);
}

// What a screen reader says of each control: a name of its own, for either
// kind of entry (ships relabel some controls), the hint as its description.
TEST_F(DisplayTest, EveryControlHasANameOfItsOwnForBothKinds) {
  for (int position : {0, kFirstShip}) {
    ChooseEntry(position);
    std::set<QString> names;
    for (QWidget* widget : form_->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
      if (qobject_cast<QLabel*>(widget) != nullptr) continue;  // captions speak for themselves
      QAccessibleInterface* spoken = QAccessible::queryAccessibleInterface(widget);
      ASSERT_NE(spoken, nullptr);
      const QString name = spoken->text(QAccessible::Name);
      EXPECT_FALSE(name.isEmpty()) << widget->objectName().toStdString();
      EXPECT_TRUE(names.insert(name).second) << name.toStdString() << " twice";
    }
  }
  QAccessibleInterface* moveType = QAccessible::queryAccessibleInterface(form_->ComboBox3);
  EXPECT_EQ(moveType->text(QAccessible::Name), QStringLiteral("Move type"));
  EXPECT_EQ(moveType->text(QAccessible::Value), form_->ComboBox3->currentText());
  EXPECT_TRUE(moveType->text(QAccessible::Description).startsWith(QStringLiteral("A:Desert")));
  EXPECT_EQ(QAccessible::queryAccessibleInterface(form_.get())->role(), QAccessible::Window);
  EXPECT_EQ(QAccessible::queryAccessibleInterface(form_->SpritePreviewImage)->role(),
            QAccessible::Graphic);
}

// After Auto modify the window shows what the records hold, so an Apply of one
// value writes back nothing else (a ship kept showing PTurn 2 before).
TEST_F(DisplayTest, AutoModifyShowsTheStoredValuesSoApplyChangesOnlyWhatWasTyped) {
  ShipRecord& ship = *dataSet_->ShipSlot(4);
  ship.productTurn = 2;
  ChooseEntry(kFirstShip + 3);
  ASSERT_EQ(form_->Edit7->text(), QStringLiteral("2"));
  form_->CheckBox2->setChecked(true);
  form_->Button4->click();
  EXPECT_EQ(ship.productTurn, 1);
  EXPECT_EQ(form_->Edit7->text(), QStringLiteral("1"));
  ShipRecord expected = ship;
  expected.armor = 99;
  form_->Edit10->setText(QStringLiteral("99"));
  form_->Button1->click();
  EXPECT_TRUE(dialogs_.errors.empty());
  EXPECT_EQ(std::memcmp(&ship, &expected, sizeof ship), 0);
  // A selection made by the program raises no change event.
  dataSet_->MsSlot(6)->hp = 4242;
  form_->ComboBox2->setCurrentIndex(5);
  EXPECT_EQ(form_->Edit3->text(), QString::number(ship.hp));
}

}  // namespace
}  // namespace varsk::testing
