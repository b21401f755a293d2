// The game window's two grids: the places in the terrain grid, the armies and dragons
// of the selected place in the army grid, marks, the drop of marked dice, the spell list
// and the notes that follow what is picked.

#include "game/GameForm.h"

#include "controls/FancyGrid.h"
#include "dice/Catalogue.h"
#include "editors/DieEdit.h"
#include "game/GameGrids.h"
#include "game/GameLogWindow.h"
#include "shell/MainForm.h"

#include <QGuiApplication>
#include <QListWidget>
#include <QMouseEvent>
#include <QPlainTextEdit>

using namespace Qt::StringLiterals;

namespace {

void FillColumn(TColumnData &column, const TTerrainGridColumn &data)
{
    column.SetTitle(data.Header);
    column.SetData(data.Place);
    for (size_t row = 0; row < data.Cells.size(); ++row) {
        TCellData *cell = column.Cell(int(row) + 1);
        if (!cell)
            continue;
        const TGameGridCell &source = data.Cells[row];
        cell->Clear();
        cell->SetText(source.Text);
        cell->SetAlarm(source.Highlighted ? 1 : 0);
        if (auto *place = dynamic_cast<TTerrainInPlay *>(source.Object))
            cell->SetData(place);
        else if (auto *army = dynamic_cast<TArmyInPlay *>(source.Object))
            cell->SetData(army);
    }
}

} // namespace

TTerrainInPlay *TfrmGame::SelectedPlace() const
{
    return FGame->Place(FSelectedColumn - 1);
}

int TfrmGame::ColumnOf(const TTerrainInPlay &place) const
{
    return place.Index() + 1;
}

void TfrmGame::BuildTerrainGrid()
{
    grdArmies->FreeData();
    grdTerrains->FreeData();
    grdTerrains->SetCols(FGame->PlaceCount());
    grdTerrains->SetRows(FGame->PlayerCount() + 2);
    for (int column = 1; column <= FGame->PlaceCount(); ++column)
        RebuildTerrainColumn(column);
}

void TfrmGame::RebuildTerrainColumn(int column)
{
    TTerrainInPlay *place = FGame->Place(column - 1);
    TColumnData *target = grdTerrains->Column(column);
    if (!place || !target)
        return;
    FillColumn(*target, TerrainGridColumn(*FGame, *place));
}

void TfrmGame::SelectColumn(int column)
{
    if (column < 1 || column > FGame->PlaceCount())
        column = GamePlace::Reserves + 1;
    grdTerrains->SelectCell(column, 1);
    if (FSelectedColumn != column)
        SelectTerrain(column);
}

void TfrmGame::SelectTerrain(int column)
{
    if (column < 1 || column > FGame->PlaceCount())
        return;
    FSelectedColumn = column;
    RebuildArmyGrid();
}

void TfrmGame::RebuildArmyGrid()
{
    TArmyInPlay *keep = FCurrentArmy;
    grdArmies->FreeData();
    grdArmies->ClearMarks();
    TTerrainInPlay *place = SelectedPlace();
    const std::vector<TArmyGridColumn> columns =
        place ? ArmyGridColumns(*FGame, *place) : std::vector<TArmyGridColumn>{};
    size_t rows = 1;
    for (const TArmyGridColumn &column : columns)
        rows = std::max(rows, column.Cells.size());
    grdArmies->SetCols(std::max<int>(1, int(columns.size())));
    grdArmies->SetRows(int(rows));
    grdArmies->ClearCells();
    for (int c = 1; c <= grdArmies->Cols(); ++c)
        grdArmies->Column(c)->SetTitle(QString());
    for (size_t c = 0; c < columns.size(); ++c) {
        TColumnData &column = *grdArmies->Column(int(c) + 1);
        column.SetTitle(columns[c].Header);
        if (auto *army = dynamic_cast<TArmyInPlay *>(columns[c].Army))
            column.SetData(army);
        for (size_t r = 0; r < columns[c].Cells.size(); ++r) {
            TCellData &cell = *column.Cell(int(r) + 1);
            cell.SetText(columns[c].Cells[r].Text);
            if (auto *die = dynamic_cast<TDieInPlay *>(columns[c].Cells[r].Object))
                cell.SetData(die);
            else if (auto *army = dynamic_cast<TArmyInPlay *>(columns[c].Cells[r].Object))
                cell.SetData(army);
        }
    }
    // The army picked before stays picked when it is still shown.
    FCurrentArmy = nullptr;
    int column = 1;
    for (size_t c = 0; c < columns.size(); ++c) {
        if (keep && columns[c].Army == keep)
            column = int(c) + 1;
    }
    grdArmies->SelectCell(column, 1);
}

void TfrmGame::SelectArmy(int column, int row)
{
    lstSpells->clear();
    FEffectLines.clear();
    FSelectedSpell = nullptr;
    txtNotes->clear();
    const TColumnData *data = grdArmies->Column(column);
    FCurrentArmy = data ? data->Data<TArmyInPlay>() : nullptr;
    if (FCurrentArmy)
        Show(u"Current army is "_s + FCurrentArmy->FullName() + u'.');
    const TCellData *cell = data ? data->Cell(row) : nullptr;
    if (const TDieInPlay *die = cell ? cell->Data<TDieInPlay>() : nullptr) {
        ShowEffects(die);
        if (const TIconDescriptor *icon = FGame->Catalogue().GetIcon(die->ShowingSymbol()))
            txtNotes->setPlainText(icon->Description);
    }
    UpdateMenus();
}

void TfrmGame::RefreshSpellList()
{
    const TCellData *cell = grdArmies->SelectedCell();
    ShowEffects(cell ? cell->Data<TDieInPlay>() : nullptr);
}

void TfrmGame::ShowEffects(const TSpellTarget *target)
{
    lstSpells->clear();
    FEffectLines.clear();
    FSelectedSpell = nullptr;
    if (!target)
        return;
    target->ListEffects(FEffectLines);
    for (const TEffectLine &line : FEffectLines)
        lstSpells->addItem(line.Text);
}

void TfrmGame::ShowData(const QPoint &position)
{
    // Holding Shift over a place or an army shows what acts on it; moving without
    // Shift clears the list.
    if (!(QGuiApplication::keyboardModifiers() & Qt::ShiftModifier)) {
        lstSpells->clear();
        FEffectLines.clear();
        FSelectedSpell = nullptr;
        return;
    }
    const TCellData *cell = grdTerrains->CellAt(position);
    const TSpellTarget *target = nullptr;
    if (cell) {
        if (const TArmyInPlay *army = cell->Data<TArmyInPlay>())
            target = army;
        else if (const TTerrainInPlay *place = cell->Data<TTerrainInPlay>())
            target = place;
    }
    if (target)
        ShowEffects(target);
}

bool TfrmGame::VerifyMark(TCellData &cell) const
{
    return cell.Data<TDieInPlay>() != nullptr;
}

std::vector<TDieInPlay *> TfrmGame::MarkedDice() const
{
    std::vector<TDieInPlay *> dice;
    for (const TCellData *cell : grdArmies->MarkedCells()) {
        if (TDieInPlay *die = cell->Data<TDieInPlay>())
            dice.push_back(die);
    }
    return dice;
}

void TfrmGame::ProcessMark()
{
    Guarded(u"Error processing marked dice."_s, u"marking"_s, [&] {
        qint64 health = 0;
        const std::vector<TDieInPlay *> dice = MarkedDice();
        for (const TDieInPlay *die : dice)
            health += die->Health();
        Show(dice.empty() ? u"No dice marked."_s : QString::number(health) + u" health marked."_s);
    });
}

void TfrmGame::ClearArmyMarks()
{
    grdArmies->ClearMarks();
    Show(u"Marks cleared in army grid."_s);
}

void TfrmGame::DropDice(const QPoint &position)
{
    const TCellData *cell = grdTerrains->CellAt(position);
    if (cell)
        DropDiceOn(cell->Column().Index());
}

void TfrmGame::DropDiceOn(int column)
{
    TTerrainInPlay *target = FGame->Place(column - 1);
    TTerrainInPlay *source = SelectedPlace();
    if (!target || !source || !HasControl())
        return;
    const std::vector<TDieInPlay *> dice = MarkedDice();
    if (dice.empty())
        return;
    // The cells let go of the dice before any of them moves.
    grdArmies->ClearMarks();
    FCommands->DropDice(dice, *source, *target);
}

void TfrmGame::ViewDie()
{
    const TCellData *cell = grdArmies->SelectedCell();
    if (const TDieInPlay *die = cell ? cell->Data<TDieInPlay>() : nullptr)
        TfrmDie::ViewDie(FMain, die->Die());
}

void TfrmGame::ArmyKeyCheck()
{
    const int row = grdArmies->SelectedRow();
    int column = 1;
    if (FCurrentArmy) {
        for (int c = 1; c <= grdArmies->Cols(); ++c) {
            if (grdArmies->Column(c)->Data<TArmyInPlay>() == FCurrentArmy)
                column = c;
        }
        if (row == 1)
            column = 1;
    }
    grdArmies->SelectCell(column, 1);
}

void TfrmGame::Refresh(const TSpellTarget &target)
{
    if (const auto *place = dynamic_cast<const TTerrainInPlay *>(&target)) {
        RebuildTerrainColumn(ColumnOf(*place));
        SelectColumn(ColumnOf(*place));
    } else if (const auto *army = dynamic_cast<const TArmyInPlay *>(&target)) {
        RebuildTerrainColumn(ColumnOf(army->Place()));
        SelectColumn(ColumnOf(army->Place()));
    } else if (TCellData *cell = grdArmies->FindCellWithData(&target)) {
        cell->SetText(target.CellText());
    }
}

void TfrmGame::RebuildGrids()
{
    const int column = FSelectedColumn;
    BuildTerrainGrid();
    FSelectedColumn = 0;
    SelectColumn(column);
}
