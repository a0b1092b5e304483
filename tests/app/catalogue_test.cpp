// The catalogue table: sorting, filtering, editing in place, copying and
// pasting cells, one record history with the main window.
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <cstring>

#include "app/catalogue_model.h"
#include "app/catalogue_window.h"
#include "editor_fixture.h"

namespace varsk::testing {
namespace {

class CatalogueTest : public EditorTest {
 protected:
  void SetUp() override {
    EditorTest::SetUp();
    CreateWindow();
    ASSERT_TRUE(dialogs_.errors.empty());
    form_->show();
    form_->OpenCatalogue();
    window_ = form_->Catalogue();
    ASSERT_NE(window_, nullptr);
    table_ = window_->Table();
    QApplication::setActiveWindow(window_);
    ASSERT_TRUE(QTest::qWaitForWindowActive(window_));
  }
  int Column(const char* name) const {
    for (int c = 0; c < window_->Model().columnCount(); ++c) {
      if (window_->Model().Column(c).name == QLatin1String(name)) return c;
    }
    ADD_FAILURE() << "no column " << name;
    return 0;
  }
  // The entries of the rows shown, top to bottom.
  std::vector<int> Shown() const {
    std::vector<int> entries;
    for (int r = 0; r < window_->Proxy().rowCount(); ++r) {
      entries.push_back(window_->Proxy().mapToSource(window_->Proxy().index(r, 0)).row() + 1);
    }
    return entries;
  }
  QString Cell(int entryIndex, const char* column) const {
    return window_->Model().index(entryIndex - 1, Column(column)).data().toString();
  }
  void Paste(const QString& text) {
    QApplication::clipboard()->setText(text);
    form_->GuardedFor(window_, [this] { window_->PasteCells(); });
  }

  CatalogueWindow* window_ = nullptr;
  QTableView* table_ = nullptr;
};

TEST_F(CatalogueTest, NumbersSortAsNumbersAndTiesKeepTheCatalogueOrder) {
  // Values 0, 9 (the ships), 10, 20, 30, 40 and 900, many of them equal.
  for (int k = 1; k <= kMsEntryCount; ++k)
    dataSet_->MsSlot(k)->hp = k % 3 == 0 ? 900 : 10 * (k % 5);
  for (int n = 1; n <= kShipEntryCount; ++n) dataSet_->ShipSlot(n)->hp = 9;
  emit form_->recordsChanged();
  for (Qt::SortOrder order : {Qt::AscendingOrder, Qt::DescendingOrder}) {
    table_->sortByColumn(Column("hp"), order);
    const std::vector<int> shown = Shown();
    ASSERT_EQ(shown.size(), 229u);
    for (size_t i = 1; i < shown.size(); ++i) {
      const int64_t a = Cell(shown[i - 1], "hp").toLongLong();
      const int64_t b = Cell(shown[i], "hp").toLongLong();
      const bool inOrder = order == Qt::AscendingOrder ? a < b : a > b;
      EXPECT_TRUE(inOrder || (a == b && shown[i - 1] < shown[i]))
          << "entry " << shown[i - 1] << " (" << a << ") before " << shown[i] << " (" << b << ")";
    }
  }
  // A field ships lack (shipDamage): ships go last, either way.
  for (Qt::SortOrder order : {Qt::AscendingOrder, Qt::DescendingOrder}) {
    table_->sortByColumn(Column("shipDamage"), order);
    const std::vector<int> shown = Shown();
    EXPECT_EQ(shown[191], 192);
    EXPECT_EQ(shown[228], 229);
  }
  EXPECT_TRUE(Cell(192, "shipDamage").isEmpty());
}

TEST_F(CatalogueTest, TheFilterTakesWordsAndConditionsAndSaysWhatIsWrong) {
  window_->FilterField()->setText(QStringLiteral("unit 12"));
  EXPECT_EQ(Shown(),
            (std::vector<int>{12, 112, 120, 121, 122, 123, 124, 125, 126, 127, 128, 129, 212}));
  window_->FilterField()->setText(QStringLiteral("kind=ship entryIndex<=193"));
  EXPECT_EQ(Shown(), (std::vector<int>{192, 193}));
  EXPECT_TRUE(window_->FilterProblem()->isHidden());
  window_->FilterField()->setText(QStringLiteral("hp>abc"));
  EXPECT_FALSE(window_->FilterProblem()->isHidden());
  EXPECT_EQ(window_->FilterProblem()->text(), QStringLiteral("'hp>abc': 'abc' is not a number"));
  EXPECT_EQ(Shown().size(), 229u);  // a bad filter filters nothing
}

TEST_F(CatalogueTest, AnEditInPlaceIsOneStepAndShowsInTheMainWindow) {
  ChooseEntry(11);
  const QModelIndex hp = window_->Proxy().index(11, Column("hp"));
  EXPECT_TRUE(hp.flags() & Qt::ItemIsEditable);
  EXPECT_FALSE(window_->Proxy().index(11, Column("spriteIndex")).flags() & Qt::ItemIsEditable);
  EXPECT_FALSE(window_->Proxy().index(200, Column("shipDamage")).flags() & Qt::ItemIsEditable);
  // Through the delegate, as a person's edit ends.
  QLineEdit editor;
  editor.setText(QStringLiteral("250"));
  table_->itemDelegate()->setModelData(&editor, &window_->Proxy(), hp);
  EXPECT_EQ(dataSet_->MsSlot(12)->hp, 250);
  EXPECT_EQ(form_->Edit3->text(), QStringLiteral("250"));  // the main window shows it
  EXPECT_EQ(form_->History().UndoCount(), 1u);
  // A value typed in the main window and not applied stays while the table
  // changes another field of the entry; the changed field shows its new value.
  form_->Edit2->setText(QStringLiteral("77"));
  editor.setText(QStringLiteral("251"));
  table_->itemDelegate()->setModelData(&editor, &window_->Proxy(), hp);
  EXPECT_EQ(form_->Edit3->text(), QStringLiteral("251"));
  EXPECT_EQ(form_->Edit2->text(), QStringLiteral("77"));
  form_->UndoRecordChange();
  EXPECT_EQ(dataSet_->MsSlot(12)->hp, 250);
  // Refused: a message naming entry, field and value, nothing stored.
  editor.setText(QStringLiteral("70000"));
  table_->itemDelegate()->setModelData(&editor, &window_->Proxy(), hp);
  ASSERT_EQ(dialogs_.errors.size(), 1u);
  EXPECT_EQ(dialogs_.errors[0],
            QStringLiteral("edited cell: entry 12, field hp: value 70000 is out of range "
                           "(allowed 0..65535)"));
  EXPECT_EQ(dataSet_->MsSlot(12)->hp, 250);
  // Ctrl+Z in the table takes it back, in both windows.
  table_->setFocus();
  QTest::keyClick(table_, Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(dataSet_->MsSlot(12)->hp, reference_->MsSlot(12)->hp);
  EXPECT_EQ(Cell(12, "hp"), QString::number(reference_->MsSlot(12)->hp));
  EXPECT_EQ(form_->Edit3->text(), QString::number(reference_->MsSlot(12)->hp));
}

TEST_F(CatalogueTest, PastesGoByHeaderOrByPositionAllOrNothingAsOneStep) {
  // By header: to each entry and field, whatever the table's order.
  table_->sortByColumn(Column("hp"), Qt::DescendingOrder);
  Paste(QStringLiteral("hp\tentryIndex\tcost\n301\t5\t11\n302\t200\t12\n"));
  EXPECT_TRUE(dialogs_.errors.empty());
  EXPECT_EQ(dataSet_->MsSlot(5)->hp, 301);
  EXPECT_EQ(dataSet_->ShipSlot(9)->cost, 12);
  EXPECT_EQ(form_->History().UndoCount(), 1u);
  table_->sortByColumn(0, Qt::AscendingOrder);

  // By position: from the current cell, in the order shown.
  table_->setCurrentIndex(window_->Proxy().index(2, Column("cost")));
  Paste(QStringLiteral("7\t8\n9\t10\n"));
  EXPECT_EQ(dataSet_->MsSlot(3)->cost, 7);
  EXPECT_EQ(dataSet_->MsSlot(3)->hp, 8);
  EXPECT_EQ(dataSet_->MsSlot(4)->cost, 9);
  EXPECT_EQ(dataSet_->MsSlot(4)->hp, 10);
  EXPECT_EQ(form_->History().UndoCount(), 2u);

  // One bad cell: nothing stored, the first bad cell named.
  const auto before = std::make_unique<DataSet>(*dataSet_);
  Paste(QStringLiteral("1\t2\n3\tx\n"));
  ASSERT_EQ(dialogs_.errors.size(), 1u);
  EXPECT_TRUE(dialogs_.errors[0].startsWith(
      QStringLiteral("pasted cells row 2 column 2: entry 4, field hp: 'x' is not a valid integer")))
      << dialogs_.errors[0].toStdString();
  EXPECT_EQ(
      std::memcmp(dataSet_->msRecords.data(), before->msRecords.data(), sizeof before->msRecords),
      0);
  EXPECT_EQ(form_->History().UndoCount(), 2u);
  // Text that is no block of the table's cells.
  for (const QString& bad : {QStringLiteral("entryIndex,hp\n3,4\n"),
                             QString(80, QLatin1Char('\t')) + QStringLiteral("1\n")}) {
    Paste(bad);
  }
  EXPECT_EQ(dialogs_.errors.size(), 3u);
  EXPECT_EQ(form_->History().UndoCount(), 2u);

  // One step each: two undos take both pastes back.
  form_->UndoRecordChange();
  form_->UndoRecordChange();
  EXPECT_EQ(dataSet_->MsSlot(5)->hp, reference_->MsSlot(5)->hp);
  EXPECT_EQ(Cell(5, "hp"), QString::number(reference_->MsSlot(5)->hp));
}

TEST_F(CatalogueTest, CopyGivesTheDumpsTextAndReturnShowsTheRowInTheMainWindow) {
  table_->selectionModel()->select(
      QItemSelection(window_->Proxy().index(0, 0), window_->Proxy().index(1, Column("hp"))),
      QItemSelectionModel::Select);
  window_->CopyCells();
  const QStringList lines = QApplication::clipboard()->text().split(QLatin1Char('\n'));
  ASSERT_GE(lines.size(), 2);
  const QStringList first = lines[0].split(QLatin1Char('\t'));
  EXPECT_EQ(first[0], QStringLiteral("1"));
  EXPECT_EQ(first[1], QStringLiteral("ms"));
  EXPECT_EQ(first.last(), QString::number(reference_->MsSlot(1)->hp));

  // Changes made in the main window show in the table at once.
  ChooseEntry(6);
  form_->Edit3->setText(QStringLiteral("4321"));
  form_->Button1->click();
  EXPECT_EQ(Cell(7, "hp"), QStringLiteral("4321"));

  table_->setCurrentIndex(window_->Proxy().index(20, 3));
  table_->setFocus();
  QTest::keyClick(table_, Qt::Key_Return);
  EXPECT_EQ(form_->ComboBox2->currentIndex(), 20);
  EXPECT_EQ(form_->Edit3->text(), QString::number(reference_->MsSlot(21)->hp));
}

}  // namespace
}  // namespace varsk::testing
