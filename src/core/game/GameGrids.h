#pragma once

// What the game window's two grids show, as data: the terrain grid has a column per
// place, the army grid shows the armies and dragons of the selected place.

#include <QString>

#include <vector>

class TGame;
class TSpellTarget;
class TTerrainInPlay;

struct TGameGridCell
{
    QString Text;
    // The object the cell stands for; none for a blank cell.
    TSpellTarget *Object = nullptr;
    // An army that holds its terrain.
    bool Highlighted = false;
};

// A column of the terrain grid: the place's name as header, then player count + 2
// cells: the place, its dragons (when it has any), an army per player with health, and
// blank cells after them.
struct TTerrainGridColumn
{
    QString Header;
    TTerrainInPlay *Place = nullptr;
    std::vector<TGameGridCell> Cells;
};

TTerrainGridColumn TerrainGridColumn(const TGame &game, TTerrainInPlay &place);

// A column of the army grid: "Dragons" or the army's name as header; the dragons, or
// the army's minor terrain (when one is in play) and then its dice.
struct TArmyGridColumn
{
    QString Header;
    // The army for an army's column; none for the dragons.
    TSpellTarget *Army = nullptr;
    std::vector<TGameGridCell> Cells;
};

// The army grid for a place: a column for each of the terrain column's cells from the
// second down that holds an object, in order: the dragons, then each army with health.
std::vector<TArmyGridColumn> ArmyGridColumns(const TGame &game, TTerrainInPlay &place);
