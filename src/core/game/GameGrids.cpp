#include "game/GameGrids.h"

#include "game/GameData.h"

using namespace Qt::StringLiterals;

TTerrainGridColumn TerrainGridColumn(const TGame &game, TTerrainInPlay &place)
{
    TTerrainGridColumn column{place.FullName(), &place, {}};
    column.Cells.push_back({place.CellText(), &place, false});
    if (place.DragonCount() > 0)
        column.Cells.push_back({u"%1 dragons"_s.arg(place.DragonCount()), &place, false});
    for (int p = 1; p <= game.PlayerCount(); ++p) {
        TArmyInPlay &army = *place.Army(p);
        const qint32 health = army.Health();
        if (health > 0)
            column.Cells.push_back({army.CellText() + u'\n' + u"%1 health"_s.arg(health), &army, army.OwnsTerrain});
    }
    column.Cells.resize(size_t(game.PlayerCount() + 2));
    return column;
}

std::vector<TArmyGridColumn> ArmyGridColumns(const TGame &game, TTerrainInPlay &place)
{
    std::vector<TArmyGridColumn> columns;
    if (place.DragonCount() > 0) {
        TArmyGridColumn &dragons = columns.emplace_back();
        dragons.Header = u"Dragons"_s;
        for (const auto &dragon : place.Dragons())
            dragons.Cells.push_back({dragon->CellText(), dragon.get(), false});
    }
    for (int p = 1; p <= game.PlayerCount(); ++p) {
        TArmyInPlay &army = *place.Army(p);
        if (army.Health() <= 0)
            continue;
        TArmyGridColumn &column = columns.emplace_back();
        column.Header = army.CellText();
        column.Army = &army;
        if (army.MinorTerrain())
            column.Cells.push_back({army.MinorTerrainName() + u'\n' + army.MinorTerrainFaceText(), &army, false});
        for (const auto &die : army.Dice())
            column.Cells.push_back({die->CellText(), die.get(), false});
    }
    return columns;
}
