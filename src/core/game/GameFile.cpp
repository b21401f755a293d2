#include "game/GameFile.h"

#include "dice/Catalogue.h"
#include "io/FileAccess.h"
#include "io/TaggedStream.h"

#include <unordered_set>

using namespace Qt::StringLiterals;

namespace {

// Reads a game record and checks every value the game relies on where it stands, so
// that the message names the offset of what is wrong.
class TRecordReader
{
public:
    explicit TRecordReader(TTaggedReader &reader) : FReader(reader) {}

    TGameRecord Read()
    {
        TGameRecord game;
        const qint64 versionAt = FReader.Position();
        game.Version = FReader.ReadInteger();
        // A later version may hold what this program would drop without a word on the
        // next save.
        if (game.Version > TGameRecord::kVersion) {
            FReader.Fail(u"Game file version %1 is newer than %2"_s.arg(game.Version).arg(TGameRecord::kVersion),
                         versionAt);
        }
        FVersion = game.Version;
        FCount = Ranged(u"Player count"_s, 1, TGame::kMaxPlayers);
        game.Name = FReader.ReadString();
        game.FtpName = FReader.ReadString();
        if (FVersion >= 3) {
            const qint64 at = FReader.Position();
            game.Controller = FReader.ReadInteger();
            if (game.Controller != -1 && (game.Controller < 1 || game.Controller > FCount))
                FReader.Fail(u"Controller %1 is not a player of the game"_s.arg(game.Controller), at);
        }
        game.NextTargetID = Ranged(u"Next target ID"_s, 0, std::numeric_limits<qint32>::max());
        game.Round = Ranged(u"Round"_s, 0, std::numeric_limits<qint32>::max());
        std::vector<bool> seen(size_t(FCount) + 1, false);
        for (int position = 1; position <= FCount; ++position) {
            const qint64 at = FReader.Position();
            const int player = Ranged(u"Turn order entry"_s, 1, FCount);
            if (seen[size_t(player)])
                FReader.Fail(u"Player %1 is twice in the turn order"_s.arg(player), at);
            seen[size_t(player)] = true;
            game.TurnOrder.push_back(player);
        }
        game.TurnPosition = Ranged(u"Turn position"_s, 1, FCount);
        game.Phase = Ranged(u"Phase"_s, 0, TGame::kLastPhase);
        game.Step = Ranged(u"Step"_s, 0, 1);
        FReader.ReadListBegin();
        while (!FReader.EndOfList())
            game.Log.append(FReader.ReadString());
        FReader.ReadListEnd();
        for (int index = 0; index < GamePlace::FixedCount + FCount; ++index)
            game.Places.push_back(ReadPlace(index));
        game.MarchTerrain = FReader.ReadInteger();
        ReadSpells(game.GameEffects);
        for (int number = 1; number <= FCount; ++number)
            game.Players.push_back(ReadPlayer(number));
        if (FVersion >= 4) {
            game.FtpGame = FReader.ReadBoolean();
            game.StaggeredStart = FReader.ReadBoolean();
        }
        if (FVersion >= 5)
            game.Utility = FReader.ReadBoolean();
        return game;
    }

private:
    int Ranged(const QString &what, qint64 low, qint64 high)
    {
        const qint64 at = FReader.Position();
        const qint32 value = FReader.ReadInteger();
        if (value < low || value > high)
            FReader.Fail(u"%1 %2 is out of range"_s.arg(what).arg(value), at);
        return value;
    }

    // Every target ID once: spells find their targets by it.
    qint32 TargetID()
    {
        const qint64 at = FReader.Position();
        const qint32 id = FReader.ReadInteger();
        if (id < 0)
            FReader.Fail(u"Target ID %1 is negative"_s.arg(id), at);
        if (!FIDs.insert(id).second)
            FReader.Fail(u"Target ID %1 is used twice"_s.arg(id), at);
        return id;
    }

    // A value that must repeat what the record stands under.
    void Expect(const QString &what, qint32 expected)
    {
        const qint64 at = FReader.Position();
        const qint32 value = FReader.ReadInteger();
        if (value != expected)
            FReader.Fail(u"%1 %2 where %3 was expected"_s.arg(what).arg(value).arg(expected), at);
    }

    TGameDieRecord ReadDie(qint32 place, qint32 player)
    {
        TGameDieRecord die;
        die.ID = TargetID();
        die.Place = place;
        Expect(u"Die place"_s, place);
        if (player > 0) {
            die.Player = player;
            Expect(u"Die player"_s, player);
        } else {
            die.Player = Ranged(u"Die player"_s, 1, FCount);
        }
        die.Race = FReader.ReadInteger();
        die.Die = FReader.ReadInteger();
        die.Face = Ranged(u"Die face"_s, 0, TDie::kMaxFaces - 1);
        return die;
    }

    void ReadDice(std::vector<TGameDieRecord> &dice, qint32 place, qint32 player)
    {
        FReader.ReadListBegin();
        while (!FReader.EndOfList())
            dice.push_back(ReadDie(place, player));
        FReader.ReadListEnd();
    }

    TGamePlaceRecord ReadPlace(qint32 index)
    {
        TGamePlaceRecord place;
        place.ID = TargetID();
        place.Index = index;
        Expect(u"Place index"_s, index);
        place.MajorTerrain = FReader.ReadInteger();
        place.Face = Ranged(u"Terrain face"_s, 1, TTerrain::kFaceCount);
        // A dragon outside an army belongs to whichever player brought it.
        ReadDice(place.Dragons, index, 0);
        for (int player = 1; player <= FCount; ++player) {
            TGameArmyRecord army;
            army.ID = TargetID();
            army.Place = index;
            Expect(u"Army place"_s, index);
            army.Player = player;
            Expect(u"Army player"_s, player);
            army.MinorTerrain = FReader.ReadInteger();
            army.MinorTerrainFace = Ranged(u"Minor terrain face"_s, 1, TTerrain::kFaceCount);
            if (FVersion >= 2)
                army.OwnsTerrain = FReader.ReadBoolean();
            ReadDice(army.Dice, index, player);
            place.Armies.push_back(std::move(army));
        }
        return place;
    }

    void ReadSpells(std::vector<TGameSpellRecord> &spells)
    {
        FReader.ReadListBegin();
        while (!FReader.EndOfList()) {
            TGameSpellRecord spell;
            spell.Name = FReader.ReadString();
            spell.Duration = Ranged(u"Spell duration"_s, 0, kSpellDurationCount - 1);
            spell.CasterRace = FReader.ReadInteger();
            if (FVersion >= 6)
                spell.Round = FReader.ReadInteger();
            FReader.ReadListBegin();
            while (!FReader.EndOfList())
                spell.Targets.push_back(FReader.ReadInteger());
            FReader.ReadListEnd();
            spells.push_back(std::move(spell));
        }
        FReader.ReadListEnd();
    }

    TGamePlayerRecord ReadPlayer(qint32 number)
    {
        TGamePlayerRecord player;
        player.Number = number;
        Expect(u"Player number"_s, number);
        player.Name = FReader.ReadString();
        player.Email = FReader.ReadString();
        for (qint32 &minor : player.MinorTerrains)
            minor = FReader.ReadInteger();
        for (auto &spells : player.Spells)
            ReadSpells(spells);
        return player;
    }

    TTaggedReader &FReader;
    qint32 FVersion = TGameRecord::kVersion;
    int FCount = 1;
    std::unordered_set<qint32> FIDs;
};

void WriteDice(TTaggedWriter &writer, const std::vector<TGameDieRecord> &dice)
{
    writer.WriteListBegin();
    for (const TGameDieRecord &die : dice) {
        writer.WriteInteger(die.ID);
        writer.WriteInteger(die.Place);
        writer.WriteInteger(die.Player);
        writer.WriteInteger(die.Race);
        writer.WriteInteger(die.Die);
        writer.WriteInteger(die.Face);
    }
    writer.WriteListEnd();
}

void WriteSpells(TTaggedWriter &writer, const std::vector<TGameSpellRecord> &spells)
{
    writer.WriteListBegin();
    for (const TGameSpellRecord &spell : spells) {
        writer.WriteString(spell.Name);
        writer.WriteInteger(spell.Duration);
        writer.WriteInteger(spell.CasterRace);
        writer.WriteInteger(spell.Round);
        writer.WriteListBegin();
        for (qint32 target : spell.Targets)
            writer.WriteInteger(target);
        writer.WriteListEnd();
    }
    writer.WriteListEnd();
}

TGameDieRecord DieRecordOf(const TDieInPlay &die)
{
    return {die.ID(), die.PlaceIndex(), die.Player(), die.Die().Race().ID, die.Die().ID(), die.Face()};
}

TGameSpellRecord SpellRecordOf(const TSpell &spell)
{
    TGameSpellRecord record{spell.Name(), qint32(spell.Duration()), spell.CasterRace(), spell.Round(), {}};
    for (const TSpellTarget *target : spell.Targets())
        record.Targets.push_back(target->ID());
    return record;
}

} // namespace

TGameRecord TGameRecord::Read(TTaggedReader &reader)
{
    return TRecordReader(reader).Read();
}

void TGameRecord::Write(TTaggedWriter &writer) const
{
    writer.WriteInteger(kVersion);
    writer.WriteInteger(PlayerCount());
    writer.WriteString(Name);
    writer.WriteString(FtpName);
    writer.WriteInteger(Controller);
    writer.WriteInteger(NextTargetID);
    writer.WriteInteger(Round);
    for (qint32 player : TurnOrder)
        writer.WriteInteger(player);
    writer.WriteInteger(TurnPosition);
    writer.WriteInteger(Phase);
    writer.WriteInteger(Step);
    writer.WriteListBegin();
    for (const QString &line : Log)
        writer.WriteString(line);
    writer.WriteListEnd();
    for (const TGamePlaceRecord &place : Places) {
        writer.WriteInteger(place.ID);
        writer.WriteInteger(place.Index);
        writer.WriteInteger(place.MajorTerrain);
        writer.WriteInteger(place.Face);
        WriteDice(writer, place.Dragons);
        for (const TGameArmyRecord &army : place.Armies) {
            writer.WriteInteger(army.ID);
            writer.WriteInteger(army.Place);
            writer.WriteInteger(army.Player);
            writer.WriteInteger(army.MinorTerrain);
            writer.WriteInteger(army.MinorTerrainFace);
            writer.WriteBoolean(army.OwnsTerrain);
            WriteDice(writer, army.Dice);
        }
    }
    writer.WriteInteger(MarchTerrain);
    WriteSpells(writer, GameEffects);
    for (const TGamePlayerRecord &player : Players) {
        writer.WriteInteger(player.Number);
        writer.WriteString(player.Name);
        writer.WriteString(player.Email);
        for (qint32 minor : player.MinorTerrains)
            writer.WriteInteger(minor);
        for (const auto &spells : player.Spells)
            WriteSpells(writer, spells);
    }
    writer.WriteBoolean(FtpGame);
    writer.WriteBoolean(StaggeredStart);
    writer.WriteBoolean(Utility);
}

TGameRecord RecordOf(const TGame &game)
{
    TGameRecord record;
    record.Name = game.Name();
    record.FtpName = game.FtpName();
    record.Controller = game.ControllerNumber();
    record.NextTargetID = game.NextTargetID();
    record.Round = game.Round();
    for (int position = 1; position <= game.PlayerCount(); ++position)
        record.TurnOrder.push_back(game.TurnOrder(position));
    record.TurnPosition = game.TurnPosition();
    record.Phase = game.Phase();
    record.Step = game.Step();
    record.Log = game.Log();
    for (const TTerrainInPlay *place : game.ListPlaces(false)) {
        TGamePlaceRecord &out = record.Places.emplace_back();
        out.ID = place->ID();
        out.Index = place->Index();
        out.MajorTerrain = place->TerrainDie() ? place->TerrainDie()->Index() : -1;
        out.Face = place->Face();
        for (const auto &dragon : place->Dragons())
            out.Dragons.push_back(DieRecordOf(*dragon));
        for (const auto &army : place->Armies()) {
            TGameArmyRecord &armyOut = out.Armies.emplace_back();
            armyOut.ID = army->ID();
            armyOut.Place = army->PlaceIndex();
            armyOut.Player = army->Player();
            armyOut.MinorTerrain = army->MinorTerrain() ? army->MinorTerrain()->Index() : -1;
            armyOut.MinorTerrainFace = army->MinorTerrainFace();
            armyOut.OwnsTerrain = army->OwnsTerrain;
            for (const auto &die : army->Dice())
                armyOut.Dice.push_back(DieRecordOf(*die));
        }
    }
    record.MarchTerrain = game.MarchTerrain() ? game.MarchTerrain()->Index() : -1;
    for (const auto &effect : game.GameEffects())
        record.GameEffects.push_back(SpellRecordOf(*effect));
    for (const TPlayer *player : game.ListPlayers()) {
        TGamePlayerRecord &out = record.Players.emplace_back();
        out.Number = player->Number();
        out.Name = player->Name;
        out.Email = player->Email;
        for (int slot = 0; slot < TPlayer::kMinorSlots; ++slot)
            out.MinorTerrains[size_t(slot)] = player->MinorTerrainIndex(slot);
        for (int d = 0; d < kSpellDurationCount; ++d) {
            for (const auto &spell : player->Spells(SpellDuration(d)))
                out.Spells[size_t(d)].push_back(SpellRecordOf(*spell));
        }
    }
    record.FtpGame = game.FtpGame;
    record.StaggeredStart = game.StaggeredStart;
    record.Utility = game.Utility;
    return record;
}

// Builds the objects of a game record; a friend of the game so that it can set the
// turn state as read and register targets under their IDs.
class TGameBuilder
{
public:
    TGameBuilder(const TGameRecord &record, TCatalogue &catalogue, const TClock &clock)
        : FRecord(record), FCatalogue(catalogue), FGame(new TGame(catalogue, clock))
    {
    }

    TGameOpened Build()
    {
        TGame &game = *FGame;
        game.FLoading = true;
        game.FName = FRecord.Name;
        game.FFtpName = FRecord.FtpName;
        game.MakePlayers(FRecord.PlayerCount());
        game.FController = FRecord.Controller;
        game.FNextTargetID = FRecord.NextTargetID;
        game.FRound = FRecord.Round;
        for (size_t i = 0; i < FRecord.TurnOrder.size(); ++i)
            game.FTurnOrder[i] = FRecord.TurnOrder[i];
        game.FTurnPosition = FRecord.TurnPosition;
        game.FPhase = FRecord.Phase;
        game.FStep = FRecord.Step;
        game.FLog = FRecord.Log;
        for (const TGamePlaceRecord &place : FRecord.Places)
            BuildPlace(place);
        game.FMarchTerrain = game.Place(FRecord.MarchTerrain);
        for (const TGameSpellRecord &spell : FRecord.GameEffects)
            Link(game.AddLoadedGameEffect(spell.Name, SpellDuration(spell.Duration), spell.Round, spell.CasterRace),
                 spell);
        for (const TGamePlayerRecord &record : FRecord.Players) {
            TPlayer &player = *game.Player(record.Number);
            player.Name = record.Name;
            player.Email = record.Email;
            for (int slot = 0; slot < TPlayer::kMinorSlots; ++slot)
                player.SetMinorTerrainIndex(slot, record.MinorTerrains[size_t(slot)]);
            for (int d = 0; d < kSpellDurationCount; ++d) {
                for (const TGameSpellRecord &spell : record.Spells[size_t(d)])
                    Link(player.AddLoadedSpell(spell.Name, SpellDuration(d), spell.Round, spell.CasterRace), spell);
            }
        }
        game.FtpGame = FRecord.FtpGame;
        game.StaggeredStart = FRecord.StaggeredStart;
        game.Utility = FRecord.Utility;
        game.FLoading = false;
        game.FModified = false;
        return {std::move(FGame), FLost};
    }

private:
    const TTerrain *Major(qint32 index) const
    {
        return index >= 0 && index < TTerrain::kMajorCount ? FCatalogue.MajorTerrain(index) : nullptr;
    }

    const TTerrain *Minor(qint32 index) const
    {
        return index >= 0 && index < TTerrain::kMinorCount ? FCatalogue.MinorTerrain(index) : nullptr;
    }

    std::unique_ptr<TDieInPlay> MakeDie(const TGameDieRecord &record)
    {
        const TRace *race = FCatalogue.FindRaceByID(record.Race);
        TDie *die = race ? race->DieByID(record.Die) : nullptr;
        if (!die) {
            ++FLost;
            return nullptr;
        }
        auto made = std::make_unique<TDieInPlay>(*FGame, record.Player, *die, record.ID);
        made->SetPlaceIndex(record.Place);
        made->SetFace(record.Face);
        return made;
    }

    void BuildPlace(const TGamePlaceRecord &record)
    {
        auto place = std::make_unique<TTerrainInPlay>(*FGame, record.Index, record.ID);
        place->PutTerrainDie(Major(record.MajorTerrain));
        place->PutFace(record.Face);
        for (const TGameDieRecord &dragon : record.Dragons) {
            if (auto die = MakeDie(dragon))
                place->AddDragon(std::move(die));
        }
        for (const TGameArmyRecord &armyRecord : record.Armies) {
            auto army = std::make_unique<TArmyInPlay>(*place, armyRecord.Player, armyRecord.ID);
            army->PutMinorTerrain(Minor(armyRecord.MinorTerrain));
            army->PutMinorTerrainFace(armyRecord.MinorTerrainFace);
            army->OwnsTerrain = armyRecord.OwnsTerrain;
            for (const TGameDieRecord &dieRecord : armyRecord.Dice) {
                if (auto die = MakeDie(dieRecord))
                    army->AddDie(std::move(die));
            }
            place->AddArmy(std::move(army));
        }
        FGame->FPlaces.push_back(std::move(place));
    }

    void Link(TSpell &spell, const TGameSpellRecord &record)
    {
        for (qint32 id : record.Targets) {
            if (TSpellTarget *target = FGame->FindTarget(id))
                spell.AddTarget(*target);
        }
    }

    const TGameRecord &FRecord;
    TCatalogue &FCatalogue;
    std::unique_ptr<TGame> FGame;
    int FLost = 0;
};

TGameOpened GameFromRecord(const TGameRecord &record, TCatalogue &catalogue, const TClock &clock)
{
    return TGameBuilder(record, catalogue, clock).Build();
}

void ReadGameStream(TTaggedReader &reader, TCatalogue &catalogue, const TClock &clock, TGameOpened &opened)
{
    opened = GameFromRecord(TGameRecord::Read(reader), catalogue, clock);
}

void WriteGameStream(TTaggedWriter &writer, const TGame &game)
{
    RecordOf(game).Write(writer);
}

TGameOpened OpenGameFile(const QString &path, TCatalogue &catalogue, const TClock &clock)
{
    TGameOpened opened;
    ReadFileWith(path, [&](QIODevice &file) {
        TTaggedReader reader(file);
        ReadGameStream(reader, catalogue, clock, opened);
    });
    return opened;
}

void SaveGameFile(TGame &game, const QString &path)
{
    SaveFileWith(path, [&](QIODevice &file) {
        TTaggedWriter writer(file);
        WriteGameStream(writer, game);
        writer.Flush();
    });
    game.ClearModified();
}
