#include "SyntheticGame.h"

#include "dice/Catalogue.h"
#include "game/GameData.h"

#include <vector>

using namespace Qt::StringLiterals;

std::unique_ptr<TGame> MakeSyntheticGame(TCatalogue &catalogue, const TClock &clock, int players, int dice,
                                         int spells, int logLines)
{
    auto game = std::make_unique<TGame>(catalogue, clock, players, u"Synthetic War"_s);
    std::vector<TDie *> pool;
    TDieTraversal walk(catalogue);
    for (TDie *die = walk.First(); die; die = walk.Next())
        pool.push_back(die);

    quint32 next = 2024;
    const auto draw = [&](quint32 below) {
        next = next * 1103515245u + 12345u;
        return (next >> 8) % below;
    };
    for (int p = 1; p <= players; ++p) {
        TPlayer &player = *game->Player(p);
        player.Name = u"Player %1 of the Marches"_s.arg(p);
        player.Email = u"player%1@example.org"_s.arg(p);
        player.SetMinorTerrainIndex(int(draw(4)), int(draw(24)));
    }
    const std::vector<TTerrainInPlay *> places = game->ListPlaces(false);
    for (TTerrainInPlay *place : places) {
        if (place->IsTerrain()) {
            place->PutTerrainDie(catalogue.MajorTerrain(int(draw(48))));
            place->PutFace(1 + int(draw(8)));
        }
    }
    std::vector<TSpellTarget *> targets(places.begin(), places.end());
    for (int i = 0; i < dice; ++i) {
        TDie &die = *pool[draw(quint32(pool.size()))];
        TTerrainInPlay &place = *places[draw(quint32(places.size()))];
        const int player = 1 + int(draw(quint32(players)));
        auto made = std::make_unique<TDieInPlay>(*game, player, die);
        made->SetPlaceIndex(place.Index());
        made->SetFace(int(draw(quint32(die.FaceCount() > 0 ? die.FaceCount() : 1))));
        targets.push_back(made.get());
        if (made->IsDragon() && place.HasTerrainDie())
            place.AddDragon(std::move(made));
        else
            place.Army(player)->AddDie(std::move(made));
    }
    for (TTerrainInPlay *place : places) {
        for (int p = 1; p <= players; ++p) {
            TArmyInPlay &army = *place->Army(p);
            targets.push_back(&army);
            if (place->IsTerrain() && !army.Empty() && draw(3) == 0) {
                army.PutMinorTerrain(catalogue.MinorTerrain(int(draw(24))));
                army.PutMinorTerrainFace(1 + int(draw(8)));
            }
        }
    }
    for (int i = 0; i < spells; ++i) {
        TPlayer &owner = *game->Player(1 + int(draw(quint32(players))));
        TSpell &spell = owner.AddSpell(u"Spell %1 of %2"_s.arg(i).arg(owner.Name), SpellDuration(draw(6)));
        for (quint32 t = 0, count = 1 + draw(3); t < count; ++t)
            spell.AddTarget(*targets[draw(quint32(targets.size()))]);
    }
    if (!catalogue.Races().empty()) {
        for (int i = 0; i < 4; ++i)
            game->AddGameEffect(u"Armored"_s, *catalogue.Races()[draw(quint32(catalogue.Races().size()))],
                                *places[GamePlace::Frontier]);
    }
    game->SetController(game->Player(1));
    game->SetFtpName(u"G0Aplayer1exampleorgab.dat"_s);
    for (int i = 0; i < logLines; ++i)
        game->LogLine(u"Move %1 rolled by a die of the synthetic war at the Frontier."_s.arg(i));
    return game;
}
