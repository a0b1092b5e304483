// The main window: its designed controls under their designed names, the
// run-time controls that FormCreate builds, and the handlers.
#pragma once

#include <QLabel>
#include <QStringList>
#include <QWidget>
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "app/editor_dialogs.h"
#include "app/field_controls.h"
#include "data/data_set.h"
#include "data/name_list.h"
#include "data/record_history.h"
#include "data/rom_tables.h"
#include "graphics/anim_set.h"

class QCheckBox;
class QCloseEvent;
class QComboBox;
class QFileDialog;
class QLineEdit;
class QPushButton;
class QTimer;

namespace varsk {

class PreviewImage;
class CatalogueWindow;

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
// The text of the extra item that shows a move type the list has no item for.
QString UnknownMoveTypeText(int32_t moveType);

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
  // record history, and the selected entry shown anew.
  void LoadRomFrom(const QString& fileName);
  // The same with the file's name as the system spells it (a command-line
  // argument), which need not be UTF-8.
  void LoadRomFromPath(const std::string& path);
  // Ctrl+Z, and Ctrl+Shift+Z or Ctrl+Y: takes back the last change that Apply,
  // Auto modify or Load ROM made to the records, or makes the last one taken
  // back again, then shows the selected entry anew, preview included. With
  // nothing to take back or make again, nothing happens. An edit that has
  // typing of its own (since the entry was shown or Apply pressed) to take
  // back or make again takes these keys first.
  void UndoRecordChange();
  void RedoRecordChange();
  const RecordHistory& History() const { return history_; }
  // OpenDialog1, made on first use; throws when too few descriptors are left.
  QFileDialog& OpenDialog();
  // The file the dialog offers next, as if chosen there (a dropped file, the
  // command line's ROM), without making the dialog.
  void OfferFile(const QString& fileName);
  void SaveClipSet();
  void DrawEntryPreview();
  // The controls that hold values other than the selected entry's, typed or
  // ticked and not applied, by the names a person calls them; Apply's order.
  std::vector<QString> TypedControls() const;
  // Whether closing would lose work: records changed since they were last
  // loaded or saved (undoing back to that state is no change), or typed values.
  bool HasUnsavedWork() const;

  // Runs `handler` inside the error wrapper; false when it raised an error.
  template <typename Handler>
  bool Guarded(Handler&& handler);
  // The same with the message over `window` (the catalogue's).
  template <typename Handler>
  bool GuardedFor(QWidget* window, Handler&& handler);

  // The catalogue table (Ctrl+T): made on first use, then shown and raised;
  // with `chart`, its chart shown too.
  void OpenCatalogue(bool chart = false);
  CatalogueWindow* Catalogue() const { return catalogue_; }
  // Changes the records through `change`, which works on a copy of them: when
  // it returns, the copy becomes the records as one step of the record
  // history, and the entry on display is shown anew if it changed. When it
  // throws, nothing is stored and the error goes on.
  void EditRecords(const std::function<void(DataSet&)>& change);
  // Shows entry `entryIndex` as a choice in the entry list does, and brings
  // the window to the front.
  void ShowEntry(int entryIndex);

 signals:
  // The records changed: Apply, Auto modify, Load ROM, undo, redo or a
  // change of the catalogue.
  void recordsChanged();

 public:
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
  // The window's modal dialogs, for the windows it owns.
  EditorDialogs& Dialogs() { return dialogs_; }
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
  // Closing with unsaved work asks whether to save it, discard it or stay.
  void closeEvent(QCloseEvent* event) override;

 private:
  // A control of the window with what it shows (field_controls.h).
  struct BoundControl {
    QWidget* widget;
    const ControlMeaning* meaning;
    int weaponRow;  // the row of a weapon row's control, else -1
  };
  // A value that Apply stores.
  struct FieldStore {
    const EntryField* field;
    int64_t value;
  };
  // The stored value behind ComboBox3's extra item (a move type the list has
  // no item for), kept on Apply unless another item is chosen.
  int32_t unknownMoveType_ = 0;

  void CreateControls();
  void ConnectControls();
  // The undo and redo keys, also in the designed edits, and the keys of Load
  // ROM (Ctrl+O) and Save ROM (Ctrl+S).
  void ConnectKeys();
  // Ends the edits' own undo and redo of typing.
  void ForgetEditTyping();
  void CreateWeaponRows();
  // Finds the controls of the meaning table that exist now, and names them.
  void BindControls();
  template <typename Record>
  void ShowRecord(EntryKind kind, const Record& record);
  // Fills every control that shows a field of `kind` from `record`.
  template <typename Record>
  void ShowFields(EntryKind kind, const Record& record);
  void ShowValue(const BoundControl& control, const EntryField& field, int64_t value);
  void ShowWeaponId(int row, int32_t weaponId);
  void ShowMoveType(int32_t moveType);
  // Whether the control shows `value` as ShowValue would, whatever was typed.
  bool ShowsValue(const BoundControl& control, int64_t value) const;
  // The value Apply takes from a control; throws the conversion error.
  int64_t ControlValue(const BoundControl& control) const;
  // A control of the selected entry that shows other than what its field
  // stores (typed or chosen, not applied), with what its field stored then
  // and, for an edit or a tick, what it shows; Apply's order.
  struct TypedValue {
    const BoundControl* control;
    int64_t stored;
    QString text;
    bool ticked;
  };
  std::vector<TypedValue> TypedValues() const;
  // Puts typed edits and ticks back after the entry was shown anew, where
  // their field still stores what it stored when they were taken.
  void RestoreTypedValues(const std::vector<TypedValue>& typed);
  // Every value Apply stores for the selected entry, in Apply's order, each
  // checked against its field. The first bad one throws its message, with
  // the keyboard focus moved to its control.
  std::vector<FieldStore> ReadEntryControls(EntryKind kind) const;
  void FocusControl(const BoundControl& control) const;
  // Load ROM and Save ROM on a file named as the system spells it.
  void LoadRomPath(const std::string& path);
  void SaveRomPath(const std::string& path);
  // Save ROM after its questions: Apply first when `applyTyped`, the file
  // chosen in the dialog when `path` is empty, and the question about the
  // built-in tables. False when the user cancelled a step.
  bool SaveRecords(std::string path, bool applyTyped);

  EditorTables tables_;
  EditorDialogs& dialogs_;
  // Whether the records hold the data set or a loaded ROM: false only after a
  // start-up that stopped before the data set and before any Load ROM.
  bool recordsFilled_ = false;
  // Where the records of a state of the history came from: a Load ROM, and
  // the file they were last saved to. A step keeps its start's origin, and an
  // undo past a Load ROM goes back to the origin before it, so Save ROM asks
  // before it writes records that did not come from a ROM.
  struct RecordsOrigin {
    bool loaded = false;
    std::string savedTo;
  };
  RecordsOrigin OriginNow() const;
  // history_.Record, the new state keeping the origin of the state before.
  template <typename Change>
  void RecordStep(Change&& change);
  std::unordered_map<uint64_t, RecordsOrigin> origins_;
  // Whether the last Load ROM failed (the records are as they were).
  bool loadFailed_ = false;
  // The file the records were last loaded from or saved to (as the system
  // spells its name); empty before either.
  std::string recordsFile_;
  RecordHistory history_;
  std::vector<BoundControl> controls_;
  QString offeredFile_;
  CatalogueWindow* catalogue_ = nullptr;
  // The copy of the records that EditRecords hands to a change.
  std::unique_ptr<DataSet> scratch_;
  // The controls Apply reads, in its order, for MS entries and for ships.
  std::vector<const BoundControl*> msApplyOrder_;
  std::vector<const BoundControl*> shipApplyOrder_;
  std::array<QCheckBox*, 13> factionBoxes_{};
};

// The window of the running program.
extern TForm1* Form1;

}  // namespace varsk

#include "app/handler_guard.h"

namespace varsk {

template <typename Change>
void TForm1::RecordStep(Change&& change) {
  const RecordsOrigin before = OriginNow();
  // Also when the change throws: what it stored up to then is a step.
  struct KeepOrigin {
    TForm1& form;
    const RecordsOrigin& origin;
    ~KeepOrigin() { form.origins_[form.history_.State()] = origin; }
  } keep{*this, before};
  history_.Record(tables_.dataSet, std::forward<Change>(change));
}

}  // namespace varsk

template <typename Handler>
bool varsk::TForm1::Guarded(Handler&& handler) {
  return RunGuarded(dialogs_, this, std::forward<Handler>(handler));
}

template <typename Handler>
bool varsk::TForm1::GuardedFor(QWidget* window, Handler&& handler) {
  return RunGuarded(dialogs_, window, std::forward<Handler>(handler));
}
