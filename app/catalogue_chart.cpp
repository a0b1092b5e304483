#include "app/catalogue_chart.h"

#include <QComboBox>
#include <QFile>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QToolTip>
#include <QVBoxLayout>

#include "app/editor_dialogs.h"
#include "base/file_io.h"
#include "base/messages.h"
#include "base/shown_text.h"
#include "chart/svg_chart.h"
#include "qtbridge/chart_painter.h"

namespace varsk {
namespace {

// How near the pointer must come to a point's centre, in pixels.
constexpr double kPointerReach = kChartMarkerRadius + 2.5;
// A tooltip lists this many points of a stack, then how many more there are.
constexpr size_t kTooltipPoints = 12;

QComboBox* FieldList(QWidget* parent, const char* name, const char* spoken, const char* chosen) {
  auto* list = new QComboBox(parent);
  list->setObjectName(QString::fromLatin1(name));
  list->setAccessibleName(QString::fromLatin1(spoken));
  for (const std::string_view field : ChartFieldNames()) {
    list->addItem(QString::fromLatin1(field.data(), static_cast<qsizetype>(field.size())));
  }
  list->setCurrentText(QString::fromLatin1(chosen));
  list->setMaxVisibleItems(24);
  return list;
}

}  // namespace

// The drawing: paints the layout and turns the pointer into tooltips and choices.
class ChartPlot final : public QWidget {
 public:
  explicit ChartPlot(CatalogueChart& chart) : QWidget(&chart), chart_(chart) {
    setObjectName(QStringLiteral("CatalogueChartPlot"));
    setAccessibleName(QStringLiteral("Scatter chart"));
    setMouseTracking(true);
    setMinimumSize(240, 180);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
  }
  QSize sizeHint() const override { return {560, 460}; }

 protected:
  void paintEvent(QPaintEvent* /*event*/) override {
    QPainter painter(this);
    PainterChartCanvas canvas(painter);
    DrawChart(chart_.Layout(), canvas, {nullptr, chart_.highlight_});
  }
  void mouseMoveEvent(QMouseEvent* event) override {
    const QString text = chart_.TextAt(event->position());
    if (text.isEmpty()) {
      QToolTip::hideText();
      return;
    }
    // As rich text, so that a name with markup in it shows as it is.
    QToolTip::showText(
        event->globalPosition().toPoint(),
        QStringLiteral("<p style='white-space:pre'>%1</p>")
            .arg(text.toHtmlEscaped().replace(QLatin1Char('\n'), QLatin1String("<br>"))),
        this);
  }
  void mousePressEvent(QMouseEvent* event) override {
    if (event->button() != Qt::LeftButton) return QWidget::mousePressEvent(event);
    if (const std::optional<int> entry = chart_.EntryAt(event->position())) {
      emit chart_.entryChosen(*entry);
    }
  }

 private:
  CatalogueChart& chart_;
};

CatalogueChart::CatalogueChart(const DataSet& records, EntryNameOf names, EditorDialogs& dialogs,
                               QWidget* parent)
    : QWidget(parent), records_(records), dialogs_(dialogs) {
  setObjectName(QStringLiteral("CatalogueChart"));
  request_.names = std::move(names);
  xField_ = FieldList(this, "ChartXField", "Chart x field", kDefaultChartX);
  yField_ = FieldList(this, "ChartYField", "Chart y field", kDefaultChartY);
  export_ = new QPushButton(QStringLiteral("Export..."), this);
  export_->setObjectName(QStringLiteral("ChartExport"));
  export_->setAccessibleName(QStringLiteral("Export chart"));
  export_->setToolTip(QStringLiteral("Save the chart as an SVG or PNG picture"));
  plot_ = new ChartPlot(*this);

  auto* fields = new QHBoxLayout;
  const auto labelled = [&](const QString& caption, QComboBox* list) {
    auto* label = new QLabel(caption, this);
    label->setBuddy(list);
    fields->addWidget(label);
    fields->addWidget(list);
  };
  labelled(QStringLiteral("&X"), xField_);
  labelled(QStringLiteral("&Y"), yField_);
  fields->addStretch(1);
  fields->addWidget(export_);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addLayout(fields);
  layout->addWidget(plot_, 1);

  const auto chosen = [this] {
    request_.xField = xField_->currentText().toStdString();
    request_.yField = yField_->currentText().toStdString();
    Invalidate();
  };
  connect(xField_, &QComboBox::currentTextChanged, this, chosen);
  connect(yField_, &QComboBox::currentTextChanged, this, chosen);
}

CatalogueChart::~CatalogueChart() = default;

QWidget* CatalogueChart::Plot() const { return plot_; }

const ChartLayout& CatalogueChart::Layout() {
  if (!layout_ || request_.width != plot_->width() || request_.height != plot_->height()) {
    request_.width = plot_->width();
    request_.height = plot_->height();
    layout_ = LayOutChart(records_, request_);
  }
  return *layout_;
}

void CatalogueChart::Invalidate() {
  layout_.reset();
  plot_->update();
}

void CatalogueChart::SetFilter(const EntryFilter& filter, const QString& text) {
  request_.filter = filter;
  request_.filterText = text.toStdString();
  Invalidate();
}

void CatalogueChart::RecordsChanged() { Invalidate(); }

void CatalogueChart::SetHighlight(int entryIndex) {
  if (entryIndex == highlight_) return;
  highlight_ = entryIndex;
  plot_->update();
}

QString CatalogueChart::TextAt(QPointF position) {
  const ChartLayout& layout = Layout();
  const std::vector<const ChartPoint*> points =
      PointsNear(layout, position.x(), position.y(), kPointerReach);
  QStringList lines;
  for (size_t i = 0; i < points.size() && i < kTooltipPoints; ++i) {
    lines << QString::fromStdString(DescribeChartPoint(layout, *points[i], request_.names));
  }
  if (points.size() > kTooltipPoints) {
    lines << QString::fromStdString(ChartMorePointsText(points.size() - kTooltipPoints));
  }
  return lines.join(QLatin1Char('\n'));
}

std::optional<int> CatalogueChart::EntryAt(QPointF position) {
  std::vector<int> stack;
  for (const ChartPoint* point : PointsNear(Layout(), position.x(), position.y(), kPointerReach)) {
    stack.push_back(point->entryIndex);
  }
  if (stack.empty()) return std::nullopt;
  clickedAt_ = stack == clickedStack_ ? (clickedAt_ + 1) % stack.size() : 0;
  clickedStack_ = std::move(stack);
  return clickedStack_[clickedAt_];
}

void CatalogueChart::Export() {
  if (saveDialog_ == nullptr) {
    saveDialog_ = new QFileDialog(window(), QStringLiteral("Export chart"));
    saveDialog_->setAcceptMode(QFileDialog::AcceptSave);
    const QString svg = QStringLiteral("SVG picture (*.svg)");
    saveDialog_->setNameFilters({svg, QStringLiteral("PNG picture (*.png)")});
    saveDialog_->setDefaultSuffix(QStringLiteral("svg"));
    connect(saveDialog_, &QFileDialog::filterSelected, saveDialog_, [this, svg](const QString& f) {
      saveDialog_->setDefaultSuffix(f == svg ? QStringLiteral("svg") : QStringLiteral("png"));
    });
  }
  const std::optional<QString> chosen = dialogs_.ChooseFile(*saveDialog_);
  if (!chosen) return;
  const std::string path = QFile::encodeName(*chosen).toStdString();
  const QString name = chosen->toLower();
  const ChartLayout& layout = Layout();
  QByteArray picture;
  if (name.endsWith(QLatin1String(".svg"))) {
    picture = QByteArray::fromStdString(ChartSvg(layout, request_.names));
  } else if (name.endsWith(QLatin1String(".png"))) {
    picture = ChartPng(layout);
    if (picture.isEmpty()) throw VarskError(PngEncodingFailedText());
  } else {
    throw VarskError(ChartFileTypeMessage(FullPath(path)));
  }
  ReplaceFile(path, std::span(reinterpret_cast<const uint8_t*>(picture.constData()),
                              static_cast<size_t>(picture.size())));
}

}  // namespace varsk
