// The designed controls of the window in one table (name, position, tab
// order, font, caption, hint, enabled and visible state), then the code that
// creates them from it and connects their events to the handlers.
#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QTimer>
#include <algorithm>
#include <variant>
#include <vector>

#include "app/editor_controls.h"
#include "app/editor_fonts.h"
#include "app/form1.h"

namespace varsk {

namespace {

using ControlMember =
    std::variant<QComboBox * TForm1::*, QCheckBox * TForm1::*, QLineEdit * TForm1::*,
                 QPushButton * TForm1::*, QLabel * TForm1::*, ClickableLabel * TForm1::*>;

enum class Font { Window, FixedPitch };

struct DesignedControl {
  const char* name;
  ControlMember member;
  QRect geometry;
  int tab;                         // -1: a label, not in the tab order
  const char16_t* text = nullptr;  // caption of labels and buttons
  const char16_t* hint = nullptr;
  bool hintShown = true;
  bool enabled = true;
  bool visible = true;
  bool tabStop = true;
  Font font = Font::Window;
  int dropDownCount = 0;
};

constexpr char16_t kFactionHeading[] = u"Factory(Space/Earth/Moon)/Faction";
constexpr char16_t kNumberHeading[] = u"Ace      Cost     HP        Move    EN       Tech";
constexpr char16_t kTurnHeading[] = u"PTurn   Armor  Speed  STurn    Unknow";
constexpr char16_t kWeaponHeading[] =
    u"Weapon Name                                                  DamageAmmo";

// Positions are client pixels: left, top, width, height.
const std::vector<DesignedControl>& DesignedControls() {
  static const std::vector<DesignedControl> controls = {
      {"ComboBox2",
       &TForm1::ComboBox2,
       {0, 0, 225, 20},
       0,
       nullptr,
       nullptr,
       true,
       true,
       true,
       true,
       Font::FixedPitch,
       48},
      {"CheckBox24", &TForm1::CheckBox24, {2, 26, 15, 17}, 24},
      {"CheckBox25", &TForm1::CheckBox25, {17, 26, 15, 17}, 25},
      {"CheckBox26", &TForm1::CheckBox26, {32, 26, 15, 17}, 26},
      {"Label19", &TForm1::Label19, {48, 26, 173, 13}, -1, kFactionHeading},
      {"CheckBox10", &TForm1::CheckBox10, {228 + 16 * 0, 26, 16, 17}, 12},
      {"CheckBox11", &TForm1::CheckBox11, {228 + 16 * 1, 26, 16, 17}, 13},
      {"CheckBox12", &TForm1::CheckBox12, {228 + 16 * 2, 26, 16, 17}, 14},
      {"CheckBox13", &TForm1::CheckBox13, {228 + 16 * 3, 26, 16, 17}, 15},
      {"CheckBox14", &TForm1::CheckBox14, {228 + 16 * 4, 26, 16, 17}, 16},
      {"CheckBox15", &TForm1::CheckBox15, {228 + 16 * 5, 26, 16, 17}, 17},
      {"CheckBox16", &TForm1::CheckBox16, {228 + 16 * 6, 26, 16, 17}, 18},
      {"CheckBox17", &TForm1::CheckBox17, {228 + 16 * 7, 26, 16, 17}, 1},
      {"CheckBox18", &TForm1::CheckBox18, {228 + 16 * 8, 26, 16, 17}, 19},
      {"CheckBox19", &TForm1::CheckBox19, {228 + 16 * 9, 26, 16, 17}, 20},
      {"CheckBox20", &TForm1::CheckBox20, {228 + 16 * 10, 26, 16, 17}, 21},
      {"CheckBox21", &TForm1::CheckBox21, {228 + 16 * 11, 26, 16, 17}, 22},
      {"CheckBox22", &TForm1::CheckBox22, {228 + 16 * 12, 26, 16, 17}, 23},
      {"Label13", &TForm1::Label13, {144, 44, 205, 13}, -1, kNumberHeading},
      {"Button2",
       &TForm1::Button2,
       {364, 44, 73, 21},
       42,
       u"Load ROM",
       nullptr,
       true,
       true,
       true,
       false},
      {"Edit1", &TForm1::Edit1, {142, 60, 32, 21}, 2},
      {"Edit2", &TForm1::Edit2, {178, 60, 32, 21}, 3},
      {"Edit3", &TForm1::Edit3, {214, 60, 32, 21}, 4},
      {"Edit4", &TForm1::Edit4, {251, 60, 32, 21}, 5},
      {"Edit5", &TForm1::Edit5, {287, 60, 32, 21}, 6},
      {"Edit6", &TForm1::Edit6, {324, 60, 32, 21}, 27},
      {"Button3", &TForm1::Button3, {364, 65, 73, 21}, 43, u"Save ROM"},
      {"Button1", &TForm1::Button1, {364, 86, 73, 21}, 41, u"Apply"},
      {"Label3", &TForm1::Label3, {144, 88, 186, 13}, -1, kTurnHeading},
      {"Edit7", &TForm1::Edit7, {142, 104, 32, 21}, 28},
      {"Edit10", &TForm1::Edit10, {178, 104, 32, 21}, 31},
      {"Edit11", &TForm1::Edit11, {215, 104, 32, 21}, 32},
      {"Edit8", &TForm1::Edit8, {251, 104, 32, 21}, 29},
      {"Edit43", &TForm1::Edit43, {288, 104, 69, 21}, 40, nullptr, nullptr, true, false},
      {"Button4", &TForm1::Button4, {364, 108, 73, 21}, 44, u"Auto modify"},
      {"Label18",
       &TForm1::Label18,
       {4, 132, 80, 13},
       -1,
       u"UW/Capt/Fly/MT",
       u"Under Deep Water / Capture Base / Fly / Move Type"},
      {"CheckBox3", &TForm1::CheckBox3, {94, 132, 15, 17}, 9},
      {"CheckBox4", &TForm1::CheckBox4, {109, 132, 15, 17}, 10},
      {"CheckBox9", &TForm1::CheckBox9, {124, 132, 15, 17}, 11},
      {"ComboBox3",
       &TForm1::ComboBox3,
       {140, 129, 221, 20},
       8,
       nullptr,
       u"A:Desert B:Forest C:Water D:Moon E:Asteroid F:Sky G:Drop H:Base I:DebrisColony",
       true,
       true,
       true,
       true,
       Font::FixedPitch,
       17},
      {"CheckBox1", &TForm1::CheckBox1, {364, 132, 17, 17}, 45, nullptr, u"Ammo never consume hp"},
      {"CheckBox2",
       &TForm1::CheckBox2,
       {392, 132, 17, 17},
       46,
       nullptr,
       u"Set all \"Product Turn\" to 1"},
      {"CheckBox5",
       &TForm1::CheckBox5,
       {420, 132, 17, 17},
       47,
       nullptr,
       u"Set all \"Support Turn\" to 1"},
      {"Label23", &TForm1::Label23, {8, 152, 429, 13}, -1, kMsCaption},
      {"Edit12", &TForm1::Edit12, {8, 168, 37, 21}, 33},
      {"Edit13", &TForm1::Edit13, {44, 168, 37, 21}, 34},
      {"Edit9", &TForm1::Edit9, {124, 168, 37, 21}, 30},
      {"Edit18", &TForm1::Edit18, {160, 168, 37, 21}, 39, nullptr, nullptr, true, false},
      {"Edit14", &TForm1::Edit14, {236, 168, 37, 21}, 35},
      {"Edit15", &TForm1::Edit15, {272, 168, 37, 21}, 36},
      {"Edit16", &TForm1::Edit16, {352, 168, 37, 21}, 37},
      {"Edit17", &TForm1::Edit17, {388, 168, 37, 21}, 38},
      {"Label20",
       &TForm1::Label20,
       {4, 192, 426, 12},
       -1,
       kWeaponHeading,
       nullptr,
       true,
       true,
       true,
       true,
       Font::FixedPitch},
      {"Button11",
       &TForm1::Button11,
       {372, 356, 69, 21},
       7,
       u"Save to file",
       u"Save all clip to one file.",
       false,
       true,
       false},
  };
  return controls;
}

template <typename Widget>
Widget* MakeControl(const DesignedControl& design, TForm1* form) {
  Widget* widget = nullptr;
  if constexpr (std::is_same_v<Widget, QComboBox>) {
    widget = new DropDownList(design.dropDownCount, form);
  } else if constexpr (std::is_same_v<Widget, QLabel>) {
    widget = design.font == Font::FixedPitch ? new FixedPitchCaption(form) : new QLabel(form);
  } else {
    widget = new Widget(form);
  }
  if constexpr (std::is_base_of_v<QLabel, Widget> || std::is_same_v<Widget, QPushButton>) {
    if (design.text != nullptr) widget->setText(QString::fromUtf16(design.text));
  } else if constexpr (std::is_same_v<Widget, QLineEdit>) {
    UseTightTextMargins(*widget);
  }
  if constexpr (std::is_base_of_v<QLabel, Widget>) {
    // Captions keep their blanks and never wrap; what does not fit is cut, as designed.
    widget->setWordWrap(false);
    widget->setTextFormat(Qt::PlainText);
    widget->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    widget->setContentsMargins(0, 0, 0, 0);
    widget->setIndent(0);
  }
  return widget;
}

}  // namespace

void ClickableLabel::mouseReleaseEvent(QMouseEvent* event) {
  QLabel::mouseReleaseEvent(event);
  if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) {
    emit clicked();
  }
}

void TForm1::CreateControls() {
  std::vector<std::pair<int, QWidget*>> tabOrder;
  for (const DesignedControl& design : DesignedControls()) {
    QWidget* widget = std::visit(
        [&](auto member) -> QWidget* {
          using Widget = std::remove_pointer_t<std::remove_reference_t<decltype(this->*member)>>;
          Widget* made = MakeControl<Widget>(design, this);
          this->*member = made;
          return made;
        },
        design.member);
    widget->setObjectName(QString::fromLatin1(design.name));
    widget->setGeometry(design.geometry);
    if (design.font == Font::FixedPitch) widget->setFont(FixedPitchFont());
    if (design.hint != nullptr) {
      widget->setProperty("hint", QString::fromUtf16(design.hint));
      if (design.hintShown) widget->setToolTip(QString::fromUtf16(design.hint));
      // A screen reader says the hint after the name, shown or not.
      widget->setAccessibleDescription(QString::fromUtf16(design.hint));
    }
    widget->setEnabled(design.enabled);
    widget->setVisible(design.visible);
    if (design.tab >= 0) {
      if (!design.tabStop) widget->setFocusPolicy(Qt::ClickFocus);
      tabOrder.emplace_back(design.tab, widget);
    }
  }
  std::sort(tabOrder.begin(), tabOrder.end(),
            [](const auto& a, const auto& b) { return a.first < b.first; });
  for (size_t i = 1; i < tabOrder.size(); ++i) {
    setTabOrder(tabOrder[i - 1].second, tabOrder[i].second);
  }

  factionBoxes_ = {CheckBox10, CheckBox11, CheckBox12, CheckBox13, CheckBox14,
                   CheckBox15, CheckBox16, CheckBox17, CheckBox18, CheckBox19,
                   CheckBox20, CheckBox21, CheckBox22};

  Timer1 = new QTimer(this);
  Timer1->setObjectName(QStringLiteral("Timer1"));
  Timer1->setInterval(100);
}

QFileDialog& TForm1::OpenDialog() {
  // One dialog for both ROM buttons, kept for the whole run, so it offers the
  // name chosen last. Qt's own widget dialog behaves the same on every
  // desktop. It is made on first use: building it costs more than the rest
  // of the window. Short of descriptors it is neither made nor shown.
  RequireDescriptorsForFileDialog();
  if (OpenDialog1 == nullptr) {
    OpenDialog1 = new QFileDialog(this);
    OpenDialog1->setObjectName(QStringLiteral("OpenDialog1"));
    OpenDialog1->setOption(QFileDialog::DontUseNativeDialog, true);
    // Any typed name is accepted, as by a standard open dialog: Load ROM and
    // Save ROM then say "Cannot open file" for one that does not exist.
    OpenDialog1->setFileMode(QFileDialog::AnyFile);
    OpenDialog1->setAcceptMode(QFileDialog::AcceptOpen);
    if (!offeredFile_.isEmpty()) OpenDialog1->selectFile(offeredFile_);
  }
  return *OpenDialog1;
}

void TForm1::ConnectControls() {
  // Every handler runs inside the error wrapper.
  const auto handle = [this](auto* control, auto signal, void (TForm1::*handler)(QObject*)) {
    connect(control, signal, this,
            [this, handler] { Guarded([this, handler] { (this->*handler)(this); }); });
  };
  // `activated` is raised only by the user's choice; a selection made by the
  // program raises no change event.
  handle(ComboBox2, &QComboBox::activated, &TForm1::ScrollBar3Change);
  handle(Button1, &QPushButton::clicked, &TForm1::Button1Click);
  handle(Button2, &QPushButton::clicked, &TForm1::Button2Click);
  handle(Button3, &QPushButton::clicked, &TForm1::Button3Click);
  handle(Button4, &QPushButton::clicked, &TForm1::Button4Click);
  handle(Button11, &QPushButton::clicked, &TForm1::Button11Click);
  handle(Label13, &ClickableLabel::clicked, &TForm1::Label13Click);
  handle(Timer1, &QTimer::timeout, &TForm1::Timer1Timer);
  ConnectKeys();
}

}  // namespace varsk
