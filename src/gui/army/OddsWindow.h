#pragma once

#include <QDialog>

class TOddsView;
class TfrmArmy;
class TfrmMain;

// "Odds": the exact odds of one roll of an army, in a window of its own beside the army
// window. It rolls the dice the analysis would count, follows the army as dice come and
// go and the summoned dice are included or not, and the program as the rules options,
// the dice and the result column order change.
class TfrmOdds : public QDialog
{
    Q_OBJECT

public:
    TfrmOdds(TfrmMain &main, TfrmArmy &army);

    TOddsView &View() const { return *FView; }
    // The army's dice, name or options changed.
    void ArmyChanged();

private:
    TfrmArmy &FArmy;
    TOddsView *FView = nullptr;
};
