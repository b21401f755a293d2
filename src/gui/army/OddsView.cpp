#include "army/OddsView.h"

#include "KrException.h"
#include "shell/ResultMap.h"
#include "shell/ShellServices.h"

#include <QAbstractTableModel>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPainter>
#include <QSplitter>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>
#include <array>

using namespace Qt::StringLiterals;

// The table of totals, read from the odds as the view asks for rows: an army of
// thousands of dice has thousands of totals.
class TOddsModel : public QAbstractTableModel
{
public:
    using QAbstractTableModel::QAbstractTableModel;

    void SetOdds(const TRollOdds *odds)
    {
        beginResetModel();
        FOdds = odds;
        endResetModel();
    }

    int rowCount(const QModelIndex &parent) const override { return parent.isValid() || !FOdds ? 0 : FOdds->Count(); }
    int columnCount(const QModelIndex &parent) const override { return parent.isValid() ? 0 : 3; }

    QVariant data(const QModelIndex &index, int role) const override
    {
        if (!FOdds || !index.isValid() || index.row() >= FOdds->Count())
            return {};
        if (role == Qt::TextAlignmentRole)
            return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
        if (role != Qt::DisplayRole)
            return {};
        switch (index.column()) {
        case 0:
            return OddsTotalText(FOdds->Total(index.row()));
        case 1:
            return OddsPercentText(FOdds->Exactly(index.row()));
        default:
            return OddsPercentText(FOdds->AtLeast(index.row()));
        }
    }

    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
            return {};
        static const std::array<QString, 3> kTitles{u"Total"_s, u"Exactly %"_s, u"At Least %"_s};
        return section >= 0 && section < 3 ? kTitles[size_t(section)] : QVariant();
    }

private:
    const TRollOdds *FOdds = nullptr;
};

// ---------------------------------------------------------------------------------
// The chart

namespace {

constexpr int kMargin = 6;

} // namespace

TOddsChart::TOddsChart(QWidget *parent) : QWidget(parent)
{
    setObjectName(u"pnlChart"_s);
    setBackgroundRole(QPalette::Base);
    setAutoFillBackground(true);
}

void TOddsChart::SetOdds(const TRollOdds *odds)
{
    FAtLeast.clear();
    FFirstTotal.clear();
    FLastTotal.clear();
    if (odds && odds->Count() > 0) {
        for (int row = 0; row < odds->Count(); ++row)
            FAtLeast.push_back(odds->AtLeast(row));
        FFirstTotal = OddsTotalText(odds->Minimum());
        FLastTotal = OddsTotalText(odds->Maximum());
    }
    update();
}

QSize TOddsChart::sizeHint() const
{
    return {320, 180};
}

QSize TOddsChart::minimumSizeHint() const
{
    return {120, 80};
}

QRectF TOddsChart::PlotArea() const
{
    const QFontMetrics metrics = fontMetrics();
    const int left = kMargin + metrics.horizontalAdvance(u"100%"_s) + kMargin;
    const int top = kMargin + metrics.height() / 2;
    const int bottom = height() - kMargin - metrics.height() - kMargin / 2;
    return QRectF(QPointF(left, top), QPointF(std::max(left + 1, width() - kMargin), std::max(top + 1, bottom)));
}

QRectF TOddsChart::BarRect(int bar) const
{
    const QRectF plot = PlotArea();
    const double width = plot.width() / double(std::max<size_t>(FAtLeast.size(), 1));
    const double chance = std::clamp(FAtLeast[size_t(bar)], 0.0, 1.0);
    // Bars a few pixels wide or more keep a gap between them.
    const double gap = width >= 4 ? 1 : 0;
    return QRectF(plot.left() + bar * width + gap / 2, plot.bottom() - chance * plot.height(), width - gap,
                  chance * plot.height());
}

void TOddsChart::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const QRectF plot = PlotArea();
    const QFontMetrics metrics = fontMetrics();
    const QColor grid = palette().color(QPalette::Mid);

    // The scale: 0, 50 and 100 percent.
    for (const auto &[fraction, label] : {std::pair{0.0, u"0%"_s}, {0.5, u"50%"_s}, {1.0, u"100%"_s}}) {
        const double y = plot.bottom() - fraction * plot.height();
        painter.setPen(grid);
        painter.drawLine(QPointF(plot.left(), y), QPointF(plot.right(), y));
        painter.setPen(palette().color(QPalette::Text));
        const QRectF box(kMargin, y - metrics.height() / 2.0, plot.left() - 2 * kMargin, metrics.height());
        painter.drawText(box, Qt::AlignRight | Qt::AlignVCenter, label);
    }
    if (FAtLeast.empty())
        return;

    painter.setPen(Qt::NoPen);
    painter.setBrush(palette().color(QPalette::Highlight));
    for (int bar = 0; bar < BarCount(); ++bar)
        painter.drawRect(BarRect(bar));

    // The lowest total under the first bar, the highest under the last.
    painter.setPen(palette().color(QPalette::Text));
    const QRectF under(plot.left(), plot.bottom() + kMargin / 2.0, plot.width(), metrics.height());
    painter.drawText(under, Qt::AlignLeft | Qt::AlignTop, FFirstTotal);
    if (BarCount() > 1)
        painter.drawText(under, Qt::AlignRight | Qt::AlignTop, FLastTotal);
}

// ---------------------------------------------------------------------------------
// The view

TOddsView::TOddsView(TShellServices &shell, const TResultMap &order, QWidget *parent)
    : QWidget(parent), FShell(shell), FOrder(order)
{
    setObjectName(u"pnlOdds"_s);
    cmbLand = new QComboBox(this);
    cmbLand->setObjectName(u"cmbLand"_s);
    for (int l = 0; l < kLandCount; ++l)
        cmbLand->addItem(NameOf(Land(l)), l);
    cmbResult = new QComboBox(this);
    cmbResult->setObjectName(u"cmbResult"_s);
    ArrangeResults();
    lblSummary = new QLabel(this);
    lblSummary->setObjectName(u"lblSummary"_s);

    FModel = new TOddsModel(this);
    grdOdds = new QTableView(this);
    grdOdds->setObjectName(u"grdOdds"_s);
    grdOdds->setModel(FModel);
    grdOdds->verticalHeader()->hide();
    grdOdds->setSelectionBehavior(QAbstractItemView::SelectRows);
    grdOdds->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grdOdds->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    grdOdds->verticalHeader()->setDefaultSectionSize(grdOdds->fontMetrics().height() + 4);
    pnlChart = new TOddsChart(this);

    auto *choices = new QHBoxLayout;
    choices->addWidget(new QLabel(u"Terrain"_s, this));
    choices->addWidget(cmbLand);
    choices->addSpacing(12);
    choices->addWidget(new QLabel(u"Result"_s, this));
    choices->addWidget(cmbResult);
    choices->addSpacing(12);
    choices->addWidget(lblSummary, 1);
    auto *panes = new QSplitter(Qt::Horizontal, this);
    panes->addWidget(grdOdds);
    panes->addWidget(pnlChart);
    panes->setStretchFactor(1, 1);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(choices);
    layout->addWidget(panes, 1);

    connect(cmbLand, &QComboBox::currentIndexChanged, this, &TOddsView::Refresh);
    connect(cmbResult, &QComboBox::currentIndexChanged, this, &TOddsView::Refresh);
}

// The model and the chart point into the odds; they go first.
TOddsView::~TOddsView()
{
    FModel->SetOdds(nullptr);
}

void TOddsView::SetSource(TSource source)
{
    FSource = std::move(source);
    Refresh();
}

void TOddsView::ArrangeResults()
{
    const QSignalBlocker quiet(cmbResult);
    const int chosen = cmbResult->currentIndex() >= 0 ? cmbResult->currentData().toInt() : -1;
    cmbResult->clear();
    for (int position = 1; position <= kResultTypeCount; ++position) {
        const ResultType result = FOrder.ResultAt(position);
        cmbResult->addItem(NameOf(result), int(result));
    }
    cmbResult->setCurrentIndex(std::max(cmbResult->findData(chosen), 0));
}

void TOddsView::Choose(Land land, ResultType result)
{
    {
        const QSignalBlocker quietLand(cmbLand);
        const QSignalBlocker quietResult(cmbResult);
        cmbLand->setCurrentIndex(cmbLand->findData(int(land)));
        cmbResult->setCurrentIndex(cmbResult->findData(int(result)));
    }
    Refresh();
}

Land TOddsView::ChosenLand() const
{
    return Land(cmbLand->currentData().toInt());
}

ResultType TOddsView::ChosenResult() const
{
    return ResultType(cmbResult->currentData().toInt());
}

void TOddsView::Refresh()
{
    FStale = true;
    if (isVisible())
        Recompute();
}

void TOddsView::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (FStale)
        Recompute();
}

void TOddsView::Recompute()
{
    FStale = false;
    FModel->SetOdds(nullptr);
    pnlChart->SetOdds(nullptr);
    FOdds.reset();
    if (!FSource) {
        lblSummary->clear();
        return;
    }
    try {
        FOdds = FSource(ChosenLand(), ChosenResult());
    } catch (const TKrException &failure) {
        lblSummary->setText(u"Error computing odds."_s);
        FShell.ReportError(failure, u"computing odds"_s);
        return;
    }
    FModel->SetOdds(&*FOdds);
    pnlChart->SetOdds(&*FOdds);
    lblSummary->setText(OddsSummaryText(*FOdds));
}
