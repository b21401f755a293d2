// The input is a game file, read as opening a game reads it over the catalogue of the
// army targets (small synthetic races, dragons, the 72 terrains). A game that reads must
// hold together: every target found under its ID, every die in the place and army it
// says, every spell linked both ways, texts and the status text built without a
// failure. Saved and read again it must save to the very same bytes, and krtool's
// reading of the file must agree with the program's.

#include "FuzzArmies.h"

#include "KrException.h"
#include "game/GameFile.h"
#include "game/GameLog.h"
#include "shell/Clock.h"

#include <algorithm>

namespace {

constexpr const char *kTarget = "fuzz_game_file";

void CheckTarget(const TGame &game, const TSpellTarget &target, int &count)
{
    ++count;
    if (game.FindTarget(target.ID()) != &target)
        FuzzFault(kTarget, "a target is not found under its ID");
    for (const TSpell *spell : target.Effects()) {
        if (std::find(spell->Targets().begin(), spell->Targets().end(), &target) == spell->Targets().end())
            FuzzFault(kTarget, "a spell links a target one way only");
    }
    (void)target.CellText();
    (void)target.FullName();
    TEffectLines lines;
    target.ListEffects(lines);
}

void CheckDie(const TGame &game, const TDieInPlay &die, const TTerrainInPlay &place, const TArmyInPlay *army,
              int &count)
{
    CheckTarget(game, die, count);
    if (die.ContainingPlace() != &place || die.ContainingArmy() != army || die.PlaceIndex() != place.Index())
        FuzzFault(kTarget, "a die is not where it says it is");
    if (army && die.Player() != army->Player())
        FuzzFault(kTarget, "a die stands in another player's army");
    if (!game.Player(die.Player()))
        FuzzFault(kTarget, "a die belongs to no player");
    (void)die.ReferenceText();
}

void CheckGame(const TGame &game)
{
    if (game.Modified())
        FuzzFault(kTarget, "a game just read counts as modified");
    if (game.TurnPosition() < 1 || game.TurnPosition() > game.PlayerCount() || !game.Player(game.CurrentPlayerNumber()))
        FuzzFault(kTarget, "the turn position is not a player's");
    if (game.PhaseName().isEmpty())
        FuzzFault(kTarget, "the phase has no name");
    int count = 0;
    for (const TTerrainInPlay *place : game.ListPlaces(false)) {
        CheckTarget(game, *place, count);
        for (const auto &dragon : place->Dragons())
            CheckDie(game, *dragon, *place, nullptr, count);
        for (int p = 1; p <= game.PlayerCount(); ++p) {
            const TArmyInPlay *army = place->Army(p);
            if (!army || army->Player() != p || army->PlaceIndex() != place->Index())
                FuzzFault(kTarget, "a place lacks a player's army");
            CheckTarget(game, *army, count);
            (void)army->MinorTerrainFaceText();
            for (const auto &die : army->Dice())
                CheckDie(game, *die, *place, army, count);
        }
    }
    if (count != game.TargetCount())
        FuzzFault(kTarget, "the target index holds other objects than the game");
    (void)GameStatusLines(game);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray input = FuzzBytes(data, size);
    TArmyFuzzCatalogue c;
    const TFixedClock clock(QDateTime(QDate(2026, 12, 7), QTime(12, 0)));

    TGameOpened opened;
    bool programRead = true;
    try {
        ReadFromBytes(input, [&](TTaggedReader &reader) { ReadGameStream(reader, c.Catalogue, clock, opened); });
    } catch (const TKrException &) {
        programRead = false;
    }
    TGameRecord raw;
    bool toolRead = true;
    try {
        ReadFromBytes(input, [&](TTaggedReader &reader) { raw = TGameRecord::Read(reader); });
    } catch (const TKrException &) {
        toolRead = false;
    }
    if (toolRead != programRead)
        FuzzFault(kTarget, "krtool and the program disagree whether the file reads");
    if (!programRead) {
        if (opened.Game)
            FuzzFault(kTarget, "a damaged file gave a game");
        return 0;
    }
    CheckGame(*opened.Game);

    const QByteArray saved = WriteToBytes([&](TTaggedWriter &writer) { WriteGameStream(writer, *opened.Game); });
    TGameOpened again;
    try {
        ReadFromBytes(saved, [&](TTaggedReader &reader) { ReadGameStream(reader, c.Catalogue, clock, again); });
    } catch (const TKrException &) {
        FuzzFault(kTarget, "a game the program saved does not read back");
    }
    if (again.LostDice != 0)
        FuzzFault(kTarget, "a saved game loses dice when read back");
    CheckGame(*again.Game);
    if (WriteToBytes([&](TTaggedWriter &writer) { WriteGameStream(writer, *again.Game); }) != saved)
        FuzzFault(kTarget, "the saved game reads back other than it was");

    // Spells and targets may go in either order without leaving a link behind.
    TGame &game = *again.Game;
    for (const TTerrainInPlay *place : game.ListPlaces(false)) {
        for (int p = 1; p <= game.PlayerCount(); ++p)
            place->Army(p)->Erase();
    }
    for (const TPlayer *player : game.ListPlayers()) {
        for (int d = 0; d < kSpellDurationCount; ++d) {
            for (const auto &spell : player->Spells(SpellDuration(d))) {
                for (const TSpellTarget *target : spell->Targets()) {
                    if (std::find(target->Effects().begin(), target->Effects().end(), spell.get()) ==
                        target->Effects().end())
                        FuzzFault(kTarget, "a spell keeps a target that left it");
                }
            }
        }
    }
    return 0;
}
