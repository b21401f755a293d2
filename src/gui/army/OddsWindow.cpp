#include "army/OddsWindow.h"

#include "army/ArmyAnalysis.h"
#include "army/ArmyForm.h"
#include "army/ArmyOdds.h"
#include "army/OddsView.h"
#include "shell/MainForm.h"

#include <QVBoxLayout>

using namespace Qt::StringLiterals;

TfrmOdds::TfrmOdds(TfrmMain &main, TfrmArmy &army) : QDialog(&army), FArmy(army)
{
    setObjectName(u"frmOdds"_s);
    setModal(false);
    FView = new TOddsView(main, main.ResultMap(), this);
    FView->SetSource([this](Land land, ResultType result) {
        return ArmyOdds(AnalysedDice(FArmy.Army().Dice(), FArmy.IncludeSummoned()), land, result);
    });
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(FView);
    resize(560, 420);
    ArmyChanged();

    // The rules options recompute every die's statistics, and so change what dice roll.
    connect(&main, &TfrmMain::RacesRegenerated, FView, &TOddsView::Refresh);
    connect(&main, &TfrmMain::RacesChanged, FView, &TOddsView::Refresh);
    connect(&main, &TfrmMain::ResultColumnsMoved, FView, &TOddsView::ArrangeResults);
    // Renaming an army makes it the current one again.
    connect(&main, &TfrmMain::CurrentArmyChanged, this,
            [this] { setWindowTitle(u"Odds of "_s + FArmy.Army().Name()); });
}

void TfrmOdds::ArmyChanged()
{
    setWindowTitle(u"Odds of "_s + FArmy.Army().Name());
    FView->Refresh();
}
