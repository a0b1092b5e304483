// The main window: its designed controls under their designed names, the
// run-time controls that FormCreate builds, and the handlers.
#pragma once

#include <QLabel>
#include <QStringList>
#include <QWidget>
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "app/editor_dialogs.h"
#include "data/data_set.h"
#include "data/name_list.h"
#include "data/record_history.h"
#include "data/rom_tables.h"
#include "graphics/anim_set.h"

class QCheckBox;
class QComboBox;
class QFileDialog;
class QLineEdit;
class QPushButton;
class QTimer;

namespace varsk {

class PreviewImage;

// A label that reports clicks (Label13).
class ClickableLabel final : public QLabel {
  Q_OBJECT
 public:
  using QLabel::QLabel;
 signals:
  void clicked();

 protected:
  void mouseReleaseEvent(QMouseEvent* event) override;
};

// The tables that the window reads and changes: the process-wide ones in the
// program, a test's own in tests.
struct EditorTables {
  DataSet& dataSet;
  AnimSetTable& animSets;
  RomBuffers& romBuffers;
};

// One weapon row: drop-down, damage edit and ammunition edit of slot r.
struct WeaponRow {
  QComboBox* WeaponBox = nullptr;
  QLineEdit* DamageEdit = nullptr;
  QLineEdit* AmmoEdit = nullptr;
  // The raw id behind the extra item that shows a weapon id outside the list.
  int32_t unknownWeaponId = 0;
};

// The three values of a weapon row that Apply stores into a slot.
struct WeaponRowValues {
  int32_t weaponId = 0;
  int32_t damage = 0;
  int32_t ammo = 0;
};

// Client-area constants of the design.
constexpr int kClientWidth = 442;
constexpr int kClientHeight = 379;
constexpr int kWindowLeft = 242;
constexpr int kWindowTop = 102;
// One row for each weapon slot the window shows; WeaponNames holds the empty
// weapon, then weapon ids 1..175 of the name lists.
constexpr int kWeaponRowCount = kShownWeaponSlots;
constexpr int kWeaponBoxDropDownCount = 48;
constexpr int kWeaponNameCount = kWeaponCount + 1;

// Captions of Label23 over the third row of edits.
inline constexpr char16_t kMsCaption[] =
    u" Artillery/Range                SPoint                       Ship/Base Damage       "
    u"AreaDamage/Range";
inline constexpr char16_t kShipCaption[] =
    u" Artillery/Range                SPoint MS/Ship             Defense/Space          "
    u"AreaDamage/Range";
// The text of the extra item that shows a weapon id outside the weapon list.
QString UnknownWeaponText(int32_t weaponId);

class TForm1 final : public QWidget {
  Q_OBJECT

 public:
  // Builds the window and runs FormCreate (errors are reported, and the
  // window keeps the state reached).
  TForm1(EditorTables tables, EditorDialogs& dialogs, QWidget* parent = nullptr);
  ~TForm1() override;

  // When set before construction, FormCreate leaves Timer1 stopped and the
  // caller runs Timer1Timer itself (used to measure start-up without the wait).
  static void SetTimerStepManual(bool manual);

  // Handlers (Sender is not used, as in the design).
  void FormCreate(QObject* Sender = nullptr);
  void FormDestroy(QObject* Sender = nullptr);
  void Timer1Timer(QObject* Sender = nullptr);
  void ScrollBar3Change(QObject* Sender = nullptr);
  void Button1Click(QObject* Sender = nullptr);
  void Button2Click(QObject* Sender = nullptr);
  void Button3Click(QObject* Sender = nullptr);
  void Button4Click(QObject* Sender = nullptr);
  void Button9Click(QObject* Sender = nullptr);
  void Button11Click(QObject* Sender = nullptr);
  void Label13Click(QObject* Sender = nullptr);

  void LoadRom();
  // Load ROM with `fileName` chosen: the same checks, messages and step of the
  // record history.
  void LoadRomFrom(const QString& fileName);
  // Ctrl+Z, and Ctrl+Shift+Z or Ctrl+Y: takes back the last change that Apply,
  // Auto modify or Load ROM made to the records, or makes the last one taken
  // back again, then shows the selected entry anew, preview included. With
  // nothing to take back or make again, nothing happens. An edit that has
  // typing of its own (since the entry was shown or Apply pressed) to take
  // back or make again takes these keys first.
  void UndoRecordChange();
  void RedoRecordChange();
  const RecordHistory& History() const { return history_; }
  // OpenDialog1, made on first use.
  QFileDialog& OpenDialog();
  void SaveClipSet();
  void DrawEntryPreview();
  void ShowWeaponRow(int row, const WeaponSlot& slot);
  WeaponRowValues ReadWeaponRow(int row);

  // Runs `handler` inside the error wrapper.
  template <typename Handler>
  void Guarded(Handler&& handler);

  // Designed controls.
  QComboBox* ComboBox2 = nullptr;
  QComboBox* ComboBox3 = nullptr;
  QCheckBox* CheckBox1 = nullptr;
  QCheckBox* CheckBox2 = nullptr;
  QCheckBox* CheckBox3 = nullptr;
  QCheckBox* CheckBox4 = nullptr;
  QCheckBox* CheckBox5 = nullptr;
  QCheckBox* CheckBox9 = nullptr;
  QCheckBox* CheckBox10 = nullptr;
  QCheckBox* CheckBox11 = nullptr;
  QCheckBox* CheckBox12 = nullptr;
  QCheckBox* CheckBox13 = nullptr;
  QCheckBox* CheckBox14 = nullptr;
  QCheckBox* CheckBox15 = nullptr;
  QCheckBox* CheckBox16 = nullptr;
  QCheckBox* CheckBox17 = nullptr;
  QCheckBox* CheckBox18 = nullptr;
  QCheckBox* CheckBox19 = nullptr;
  QCheckBox* CheckBox20 = nullptr;
  QCheckBox* CheckBox21 = nullptr;
  QCheckBox* CheckBox22 = nullptr;
  QCheckBox* CheckBox24 = nullptr;
  QCheckBox* CheckBox25 = nullptr;
  QCheckBox* CheckBox26 = nullptr;
  QLineEdit* Edit1 = nullptr;
  QLineEdit* Edit2 = nullptr;
  QLineEdit* Edit3 = nullptr;
  QLineEdit* Edit4 = nullptr;
  QLineEdit* Edit5 = nullptr;
  QLineEdit* Edit6 = nullptr;
  QLineEdit* Edit7 = nullptr;
  QLineEdit* Edit8 = nullptr;
  QLineEdit* Edit9 = nullptr;
  QLineEdit* Edit10 = nullptr;
  QLineEdit* Edit11 = nullptr;
  QLineEdit* Edit12 = nullptr;
  QLineEdit* Edit13 = nullptr;
  QLineEdit* Edit14 = nullptr;
  QLineEdit* Edit15 = nullptr;
  QLineEdit* Edit16 = nullptr;
  QLineEdit* Edit17 = nullptr;
  QLineEdit* Edit18 = nullptr;
  QLineEdit* Edit43 = nullptr;
  QPushButton* Button1 = nullptr;
  QPushButton* Button2 = nullptr;
  QPushButton* Button3 = nullptr;
  QPushButton* Button4 = nullptr;
  QPushButton* Button11 = nullptr;
  QLabel* Label3 = nullptr;
  ClickableLabel* Label13 = nullptr;
  QLabel* Label18 = nullptr;
  QLabel* Label19 = nullptr;
  QLabel* Label20 = nullptr;
  QLabel* Label23 = nullptr;
  QTimer* Timer1 = nullptr;
  QFileDialog* OpenDialog1 = nullptr;  // made by OpenDialog()

  // Run-time controls and lists (FormCreate).
  PreviewImage* IconStripImage = nullptr;
  PreviewImage* SpritePreviewImage = nullptr;
  std::vector<WeaponRow> WeaponRows;
  QStringList WeaponNames;
  NameList NameListC;
  NameList NameListE;
  NameList NameListJ;
  bool startupDone = false;

  // The faction check box of bit k (CheckBox(10 + k)), k = 0..12.
  QCheckBox* FactionBox(int k) const { return factionBoxes_[static_cast<size_t>(k)]; }
  EditorTables& Tables() { return tables_; }
  // The window's button-face colour as a Bitmap32 pixel.
  uint32_t BackgroundPixel() const;

 protected:
  // One file dropped on the window is loaded as by Load ROM; anything else
  // (several files, a folder, text) is refused.
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dragMoveEvent(QDragMoveEvent* event) override;
  void dropEvent(QDropEvent* event) override;
  // The edits' keys of the record history and file drops on them.
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void CreateControls();
  void ConnectControls();
  // The undo and redo keys, also in the designed edits.
  void ConnectHistoryKeys();
  void ApplyToSelectedEntry();
  // Ends the edits' own undo and redo of typing.
  void ForgetEditTyping();
  void CreateWeaponRows();
  void ShowMsEntry(const MsRecord& record);
  void ShowShipEntry(const ShipRecord& record);
  void ShowFlags(int32_t terrainFlags, int32_t factoryFlags, int32_t factionFlags);
  int32_t TerrainFlagsFromBoxes() const;
  int32_t FactionFlagsFromBoxes() const;
  int32_t FactoryFlagsFromBoxes() const;
  int32_t MoveTypeFromBox() const;

  EditorTables tables_;
  EditorDialogs& dialogs_;
  // Whether the records hold the data set or a loaded ROM: false only after a
  // start-up that stopped before the data set and before any Load ROM.
  bool recordsFilled_ = false;
  RecordHistory history_;
  std::array<QCheckBox*, 13> factionBoxes_{};
};

// The window of the running program.
extern TForm1* Form1;

}  // namespace varsk

#include "app/handler_guard.h"

template <typename Handler>
void varsk::TForm1::Guarded(Handler&& handler) {
  RunGuarded(dialogs_, this, std::forward<Handler>(handler));
}
