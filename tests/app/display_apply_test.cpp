// The selected entry in the controls, and Apply's way back into the record.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <cstring>

#include "app/move_types.h"
#include "editor_fixture.h"

namespace varsk::testing {
namespace {

constexpr int kFirstShip = kMsEntryCount;  // list position of ship 1

struct MsField {
  QLineEdit* TForm1::*edit;
  int32_t MsRecord::*field;
};
struct ShipField {
  QLineEdit* TForm1::*edit;
  int32_t ShipRecord::*field;
};

// Apply's store order of the edits (the flag words and the move type stand
// between `move` and `ace` for MS entries, see ApplyStopsAtTheFirstBadField).
const std::vector<MsField> kMsOrder = {
    {&TForm1::Edit2, &MsRecord::cost},        {&TForm1::Edit3, &MsRecord::hp},
    {&TForm1::Edit5, &MsRecord::en},          {&TForm1::Edit4, &MsRecord::move},
    {&TForm1::Edit1, &MsRecord::ace},         {&TForm1::Edit15, &MsRecord::baseDamage},
    {&TForm1::Edit6, &MsRecord::tech},        {&TForm1::Edit7, &MsRecord::productTurn},
    {&TForm1::Edit8, &MsRecord::supportTurn}, {&TForm1::Edit9, &MsRecord::sPoint},
    {&TForm1::Edit10, &MsRecord::armor},      {&TForm1::Edit11, &MsRecord::speed},
    {&TForm1::Edit12, &MsRecord::artillery},  {&TForm1::Edit13, &MsRecord::artilleryRange},
    {&TForm1::Edit14, &MsRecord::shipDamage}, {&TForm1::Edit16, &MsRecord::areaDamage},
    {&TForm1::Edit17, &MsRecord::areaRange},
};
const std::vector<ShipField> kShipOrder = {
    {&TForm1::Edit2, &ShipRecord::cost},        {&TForm1::Edit3, &ShipRecord::hp},
    {&TForm1::Edit5, &ShipRecord::en},          {&TForm1::Edit4, &ShipRecord::move},
    {&TForm1::Edit6, &ShipRecord::tech},        {&TForm1::Edit7, &ShipRecord::productTurn},
    {&TForm1::Edit8, &ShipRecord::supportTurn}, {&TForm1::Edit9, &ShipRecord::sPoint},
    {&TForm1::Edit10, &ShipRecord::armor},      {&TForm1::Edit11, &ShipRecord::speed},
    {&TForm1::Edit12, &ShipRecord::artillery},  {&TForm1::Edit13, &ShipRecord::artilleryRange},
    {&TForm1::Edit14, &ShipRecord::defense},    {&TForm1::Edit16, &ShipRecord::areaDamage},
    {&TForm1::Edit17, &ShipRecord::areaRange},  {&TForm1::Edit15, &ShipRecord::space},
    {&TForm1::Edit18, &ShipRecord::sPointShip},
};

class DisplayTest : public EditorTest {
 protected:
  void SetUp() override {
    EditorTest::SetUp();
    CreateWindow();
    ASSERT_TRUE(dialogs_.errors.empty());
  }
  QLineEdit* Edit(QLineEdit* TForm1::*member) { return form_.get()->*member; }
};

TEST_F(DisplayTest, MsEntryShowsEveryFieldInItsControl) {
  ChooseEntry(11);
  const MsRecord& r = *reference_->MsSlot(12);
  for (const MsField& f : kMsOrder) {
    EXPECT_EQ(Edit(f.edit)->text(), QString::number(r.*f.field))
        << Edit(f.edit)->objectName().toStdString();
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
}

TEST_F(DisplayTest, ShipShowsItsFieldsWithRowsFilledButDisabled) {
  ChooseEntry(kFirstShip + 4);
  const ShipRecord& r = *reference_->ShipSlot(5);
  for (const ShipField& f : kShipOrder) {
    EXPECT_EQ(Edit(f.edit)->text(), QString::number(r.*f.field))
        << Edit(f.edit)->objectName().toStdString();
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
  // Back to an MS entry: everything the ship hid or disabled comes back.
  ChooseEntry(3);
  EXPECT_FALSE(form.Edit1->isHidden());
  EXPECT_EQ(form.Edit1->text(), QString::number(reference_->MsSlot(4)->ace));
  EXPECT_TRUE(form.Edit18->isHidden());
  EXPECT_TRUE(form.WeaponRows[7].AmmoEdit->isEnabled());
  EXPECT_EQ(form.Label23->text(), QString::fromUtf16(kMsCaption));
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
                                           MoveTypeCase{16, 16, 18}, MoveTypeCase{17, 16, 18},
                                           MoveTypeCase{18, 16, 18}, MoveTypeCase{255, 16, 18},
                                           MoveTypeCase{-4, -1, -1}));

// Every edit of an MS entry made invalid in turn: the fields before it in the
// store order are stored, it and every later one keep their values.
class MsApplyStopTest : public DisplayTest, public ::testing::WithParamInterface<size_t> {};

TEST_P(MsApplyStopTest, ApplyStopsAtTheFirstBadField) {
  const size_t bad = GetParam();
  ChooseEntry(5);
  MsRecord& r = *dataSet_->MsSlot(6);
  const MsRecord before = r;
  for (const MsField& f : kMsOrder) Edit(f.edit)->setText(QString::number(before.*f.field + 7));
  form_->CheckBox3->setChecked(!form_->CheckBox3->isChecked());
  form_->FactionBox(12)->setChecked(!form_->FactionBox(12)->isChecked());
  form_->CheckBox26->setChecked(!form_->CheckBox26->isChecked());
  form_->ComboBox3->setCurrentIndex(16);
  form_->WeaponRows[0].DamageEdit->setText(QStringLiteral("77"));
  const QString badText = bad == 4 ? QString() : QStringLiteral(" 1 2");
  Edit(kMsOrder[bad].edit)->setText(badText);
  form_->Button1->click();
  ASSERT_EQ(dialogs_.errors.size(), 1u);
  EXPECT_EQ(dialogs_.errors[0], QStringLiteral("'%1' is not a valid integer value.").arg(badText));
  for (size_t i = 0; i < kMsOrder.size(); ++i) {
    const int32_t expected = i < bad ? before.*kMsOrder[i].field + 7 : before.*kMsOrder[i].field;
    EXPECT_EQ(r.*kMsOrder[i].field, expected) << "field " << i;
  }
  // Terrain, move type, faction and factory stand between `en` and `move` / `move` and `ace`.
  EXPECT_EQ(r.terrainFlags != before.terrainFlags, bad > 2);
  EXPECT_EQ(r.moveType == kRocketMoveType, bad > 2);
  EXPECT_EQ(r.factionFlags != before.factionFlags, bad > 3);
  EXPECT_EQ(r.factoryFlags != before.factoryFlags, bad > 3);
  EXPECT_EQ(r.weapons[0].damage, before.weapons[0].damage);  // rows come last
}

INSTANTIATE_TEST_SUITE_P(EveryField, MsApplyStopTest, ::testing::Range<size_t>(0, kMsOrder.size()));

class ShipApplyStopTest : public DisplayTest, public ::testing::WithParamInterface<size_t> {};

TEST_P(ShipApplyStopTest, ApplyStopsAtTheFirstBadField) {
  const size_t bad = GetParam();
  ChooseEntry(kFirstShip + 2);
  ShipRecord& r = *dataSet_->ShipSlot(3);
  const ShipRecord before = r;
  for (const ShipField& f : kShipOrder) Edit(f.edit)->setText(QString::number(before.*f.field - 3));
  Edit(kShipOrder[bad].edit)->setText(QStringLiteral("0x"));
  form_->Button1->click();
  ASSERT_EQ(dialogs_.errors.size(), 1u);
  for (size_t i = 0; i < kShipOrder.size(); ++i) {
    const int32_t expected =
        i < bad ? before.*kShipOrder[i].field - 3 : before.*kShipOrder[i].field;
    EXPECT_EQ(r.*kShipOrder[i].field, expected) << "field " << i;
  }
  EXPECT_EQ(std::memcmp(r.weapons, before.weapons, sizeof(r.weapons)), 0);
}

INSTANTIATE_TEST_SUITE_P(EveryField, ShipApplyStopTest,
                         ::testing::Range<size_t>(0, kShipOrder.size()));

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

TEST_F(DisplayTest, BadWeaponRowStoresTheRowsBeforeItOnly) {
  ChooseEntry(30);
  MsRecord& r = *dataSet_->MsSlot(31);
  const MsRecord before = r;
  for (int k = 0; k < 8; ++k) {
    form_->WeaponRows[static_cast<size_t>(k)].WeaponBox->setCurrentIndex(100 + k);
  }
  form_->WeaponRows[3].AmmoEdit->setText(QStringLiteral("many"));
  form_->Button1->click();
  ASSERT_EQ(dialogs_.errors.size(), 1u);
  for (int k = 0; k < 8; ++k) {
    EXPECT_EQ(r.weapons[k].weaponId, k < 3 ? 100 + k : before.weapons[k].weaponId) << k;
  }
}

TEST_F(DisplayTest, WeaponIdOutsideTheListIsShownAndKept) {
  dataSet_->MsSlot(3)->weapons[2].weaponId = 200;
  dataSet_->MsSlot(3)->weapons[5].weaponId = -1;
  ChooseEntry(2);
  const WeaponRow& row = form_->WeaponRows[2];
  ASSERT_EQ(row.WeaponBox->count(), kWeaponNameCount + 1);
  EXPECT_EQ(row.WeaponBox->currentText(), QStringLiteral("Unknown weapon id 200"));
  EXPECT_EQ(form_->WeaponRows[5].WeaponBox->currentText(), QStringLiteral("Unknown weapon id -1"));
  form_->Button1->click();
  EXPECT_EQ(dataSet_->MsSlot(3)->weapons[2].weaponId, 200);
  EXPECT_EQ(dataSet_->MsSlot(3)->weapons[5].weaponId, -1);

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
  EXPECT_TRUE(dialogs_.errors.empty());
}

TEST_F(DisplayTest, ControlsAreNotRefreshedUntilAnotherSelection) {
  ChooseEntry(0);
  dataSet_->MsSlot(1)->hp = 4242;
  EXPECT_EQ(form_->Edit3->text(), QString::number(reference_->MsSlot(1)->hp));
  ChooseEntry(1);
  ChooseEntry(0);
  EXPECT_EQ(form_->Edit3->text(), QStringLiteral("4242"));
  // A selection made by the program raises no change event.
  form_->ComboBox2->setCurrentIndex(5);
  EXPECT_EQ(form_->Edit3->text(), QStringLiteral("4242"));
}

}  // namespace
}  // namespace varsk::testing
