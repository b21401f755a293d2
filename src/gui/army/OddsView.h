#pragma once

#include "dice/RollOdds.h"

#include <QWidget>

#include <functional>
#include <optional>
#include <vector>

class QComboBox;
class QLabel;
class QTableView;
class TOddsModel;
class TResultMap;
class TShellServices;

// The chances of at least each total as bars, drawn by the program itself: 0 % at the
// foot, 100 % at the top, the totals left to right.
class TOddsChart : public QWidget
{
    Q_OBJECT

public:
    explicit TOddsChart(QWidget *parent = nullptr);

    // The bars of the odds, or none.
    void SetOdds(const TRollOdds *odds);
    int BarCount() const { return int(FAtLeast.size()); }
    // Where bar i stands, for the size the chart has now.
    QRectF BarRect(int bar) const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QRectF PlotArea() const;

    std::vector<double> FAtLeast;
    QString FFirstTotal;
    QString FLastTotal;
};

// The exact odds of a roll: a land and a result type to choose, and for them a table of
// every total with its chance exactly and at least, a line with the range and the mean,
// and the chart of the chances of at least each total. Where the odds come from is its
// owner's business (an army window's dice, the die viewer's die); the view works them
// out again whenever it is told they changed, and only while it is shown.
class TOddsView : public QWidget
{
    Q_OBJECT

public:
    using TSource = std::function<TRollOdds(Land, ResultType)>;

    TOddsView(TShellServices &shell, const TResultMap &order, QWidget *parent = nullptr);
    ~TOddsView() override;

    void SetSource(TSource source);
    // The odds are out of date: they are worked out again now when shown, else when
    // next shown.
    void Refresh();
    // The result types in the shared column order, the choice kept.
    void ArrangeResults();
    void Choose(Land land, ResultType result);
    Land ChosenLand() const;
    ResultType ChosenResult() const;

    // The odds shown; none before the first showing and after a failure.
    const TRollOdds *Odds() const { return FOdds ? &*FOdds : nullptr; }
    QComboBox &LandChooser() const { return *cmbLand; }
    QComboBox &ResultChooser() const { return *cmbResult; }
    QTableView &Table() const { return *grdOdds; }
    QLabel &Summary() const { return *lblSummary; }
    TOddsChart &Chart() const { return *pnlChart; }

protected:
    void showEvent(QShowEvent *event) override;

private:
    void Recompute();

    TShellServices &FShell;
    const TResultMap &FOrder;
    TSource FSource;
    std::optional<TRollOdds> FOdds;
    bool FStale = true;

    QComboBox *cmbLand = nullptr;
    QComboBox *cmbResult = nullptr;
    QLabel *lblSummary = nullptr;
    QTableView *grdOdds = nullptr;
    TOddsModel *FModel = nullptr;
    TOddsChart *pnlChart = nullptr;
};
