// The catalogue's chart: shown on Ctrl+G, following the filter and every
// change of the records, naming and choosing points under the pointer, and
// exported through the file dialog.
#include "app/catalogue_chart.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QFile>
#include <QImage>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>

#include "app/catalogue_model.h"
#include "app/catalogue_window.h"
#include "editor_fixture.h"

namespace varsk::testing {
namespace {

class CatalogueChartTest : public EditorTest {
 protected:
  void SetUp() override {
    EditorTest::SetUp();
    CreateWindow();
    form_->show();
    form_->OpenCatalogue();
    window_ = form_->Catalogue();
    ASSERT_NE(window_, nullptr);
    QApplication::setActiveWindow(window_);
    ASSERT_TRUE(QTest::qWaitForWindowActive(window_));
    QTest::keyClick(window_->Table(), Qt::Key_G, Qt::ControlModifier);
    chart_ = &window_->Chart();
    ASSERT_TRUE(chart_->isVisible());
  }
  const ChartPoint& PointOf(int entryIndex) {
    for (const ChartPoint& point : chart_->Layout().points) {
      if (point.entryIndex == entryIndex) return point;
    }
    ADD_FAILURE() << "no point for entry " << entryIndex;
    static const ChartPoint none;
    return none;
  }
  QPoint Where(int entryIndex) {
    const ChartPoint& point = PointOf(entryIndex);
    return QPointF(point.px, point.py).toPoint();
  }

  CatalogueWindow* window_ = nullptr;
  CatalogueChart* chart_ = nullptr;
};

TEST_F(CatalogueChartTest, ShowsTheFilteredEntriesAndFollowsEveryChange) {
  EXPECT_TRUE(window_->ChartButton()->isChecked());
  EXPECT_EQ(chart_->Layout().points.size(), 229u);
  window_->FilterField()->setText(QStringLiteral("kind=ship"));
  EXPECT_EQ(chart_->Layout().points.size(), 38u);
  EXPECT_EQ(chart_->Layout().points[0].entryIndex, 192);
  window_->FilterField()->setText(QStringLiteral("hp>abc"));  // unreadable: nothing filtered
  EXPECT_EQ(chart_->Layout().points.size(), 229u);
  window_->FilterField()->clear();

  // An edit in the main window and its undo move the point at once.
  ChooseEntry(11);
  form_->Edit3->setText(QStringLiteral("9999"));
  form_->Button1->click();
  EXPECT_EQ(PointOf(12).y, 9999);
  form_->UndoRecordChange();
  EXPECT_EQ(PointOf(12).y, reference_->MsSlot(12)->hp);
  // Another field along x.
  chart_->XField()->setCurrentText(QStringLiteral("w2.ammo"));
  EXPECT_EQ(chart_->Layout().x.field, "w2.ammo");
  EXPECT_EQ(PointOf(12).x, reference_->MsSlot(12)->weapons[2].ammo);

  QTest::keyClick(window_->Table(), Qt::Key_G, Qt::ControlModifier);
  EXPECT_FALSE(chart_->isVisible());
  EXPECT_FALSE(window_->ChartButton()->isChecked());
}

TEST_F(CatalogueChartTest, HoverNamesEveryPointOfAStackAndClicksGoThroughIt) {
  for (int k : {20, 21}) {
    dataSet_->MsSlot(k)->cost = 5000;
    dataSet_->MsSlot(k)->hp = 40000;
  }
  emit form_->recordsChanged();
  const QPoint stack = Where(20);
  ASSERT_EQ(stack, Where(21));
  const QStringList lines = chart_->TextAt(stack).split(QLatin1Char('\n'));
  ASSERT_EQ(lines.size(), 2);
  EXPECT_TRUE(lines[0].startsWith(QStringLiteral("020 "))) << lines[0].toStdString();
  EXPECT_TRUE(lines[1].endsWith(QStringLiteral(": cost 5000, hp 40000"))) << lines[1].toStdString();
  EXPECT_TRUE(chart_->TextAt(stack + QPoint(30, 0)).isEmpty());

  // A click chooses the row and the main window's entry; the next the other.
  QTest::mouseClick(chart_->Plot(), Qt::LeftButton, {}, stack);
  const auto currentEntry = [this] {
    return window_->Proxy().mapToSource(window_->Table()->currentIndex()).row() + 1;
  };
  EXPECT_EQ(currentEntry(), 20);
  EXPECT_EQ(form_->ComboBox2->currentIndex(), 19);
  EXPECT_EQ(window_->Table()->selectionModel()->selectedRows().size(), 1);
  QTest::mouseClick(chart_->Plot(), Qt::LeftButton, {}, stack);
  EXPECT_EQ(currentEntry(), 21);
  EXPECT_EQ(form_->ComboBox2->currentIndex(), 20);
  QTest::mouseClick(chart_->Plot(), Qt::LeftButton, {}, Where(200));
  EXPECT_EQ(form_->ComboBox2->currentIndex(), 199);
}

TEST_F(CatalogueChartTest, ExportsSvgOrPngThroughTheDialog) {
  window_->FilterField()->setText(QStringLiteral("kind=ms"));
  dialogs_.fileAnswers = {Path(QStringLiteral("chart.svg")), Path(QStringLiteral("chart.PNG")),
                          Path(QStringLiteral("chart.jpg")), std::nullopt};
  for (int i = 0; i < 4; ++i) chart_->ExportButton()->click();
  EXPECT_EQ(dialogs_.dialogsShown.size(), 4u);
  QFile svg(Path(QStringLiteral("chart.svg")));
  ASSERT_TRUE(svg.open(QIODevice::ReadOnly));
  EXPECT_EQ(svg.readAll().count("class=\"point ms\""), 191);
  const QImage png(Path(QStringLiteral("chart.PNG")), "PNG");
  EXPECT_EQ(png.size(), chart_->Plot()->size());
  ASSERT_EQ(dialogs_.errors.size(), 1u);
  EXPECT_TRUE(dialogs_.errors[0].endsWith(
      QStringLiteral("chart.jpg\": give the file a name ending in .svg or .png.")))
      << dialogs_.errors[0].toStdString();
  EXPECT_FALSE(QFile::exists(Path(QStringLiteral("chart.jpg"))));
}

}  // namespace
}  // namespace varsk::testing
