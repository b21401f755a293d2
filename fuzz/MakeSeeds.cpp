// Writes small, well-formed files for the fuzzers to start from: a symbol file, two race
// databases, value streams for the tagged reader target, and inventories and a price list
// over the small synthetic catalogue the inventory targets read them onto, and armies and
// army groups over the catalogue of the army targets. The fuzz build has no krtool
// and hence no sample catalogue, so the seeds come from the synthetic one.
//
//   fuzz_seeds FOLDER

#include "../bench/SyntheticCatalogue.h"
#include "FuzzArmies.h"
#include "../bench/SyntheticGame.h"
#include "army/ArmyFile.h"
#include "game/GameFile.h"
#include "dice/Catalogue.h"
#include "dice/RaceFile.h"
#include "io/FileAccess.h"
#include "io/MemoryStream.h"
#include "io/TaggedStream.h"
#include "shell/ResultMap.h"
#include "shell/WindowRecord.h"
#include "inventory/CollectionCsv.h"
#include "inventory/Inventory.h"
#include "inventory/TradeFile.h"
#include "shell/Clock.h"

#include <QBuffer>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRect>
#include <QDir>

#include <cstdio>
#include <functional>
#include <tuple>

using namespace Qt::StringLiterals;

namespace {

void Save(const QString &path, const QByteArray &bytes)
{
    SaveFileWith(path, [&](QIODevice &file) { file.write(bytes); });
}

QByteArray Races(int raceCount, int dicePerRace)
{
    TCatalogue catalogue;
    MakeSyntheticCatalogue(catalogue, raceCount, dicePerRace);
    return WriteToBytes([&](TTaggedWriter &writer) { WriteRaceStream(writer, catalogue); });
}

// A value of every tag, the wide string written by hand because the program never
// writes one, then four raw bytes.
QByteArray EveryValue()
{
    QByteArray bytes = WriteToBytes([](TTaggedWriter &writer) {
        writer.WriteListBegin();
        writer.WriteInteger(5);
        writer.WriteInteger(-300);
        writer.WriteInteger(100000);
        writer.WriteInt64(qint64(1) << 40);
        writer.WriteBoolean(true);
        writer.WriteBoolean(false);
        writer.WriteFloat(3.25);
        writer.WriteDate(QDateTime(QDate(2001, 2, 3), QTime(4, 5, 6, 7)));
        writer.WriteString(u"short"_s);
        writer.WriteString(QString(300, u'x'));
        writer.WriteString(u"\u00c6r\u00f8"_s);
    });
    bytes.append(char(TValueTag::WideString));
    bytes.append("\x03\x00\x00\x00"
                 "a\0b\0c\0",
                 10);
    bytes.append(char(TValueTag::EndOfList));
    bytes.append("RAW!");
    return bytes;
}

// The tagged reader target's header: program length, start offset, program.
QByteArray Program(const QByteArray &ops, const QByteArray &stream)
{
    QByteArray input;
    input.append(char(ops.size()));
    input.append('\0');
    input.append(ops);
    input.append(stream);
    return input;
}

// A collection with every field in use somewhere and trades of every status, over the
// catalogue of fuzz_inventory_file and fuzz_price_list.
struct TSeedCollection
{
    TSeedCollection() : Clock(QDateTime(QDate(2024, 3, 5), QTime(9, 30))), Inventory(Catalogue, Clock)
    {
        MakeSyntheticCatalogue(Catalogue, 3, 3);
        Catalogue.MakeTerrains();
        int i = 0;
        TDieTraversal walk(Catalogue);
        for (TDie *die = walk.First(); die; die = walk.Next(), ++i) {
            die->Count = quint32(i % 4);
            die->Locked = i % 3 == 0;
            die->Trading = i % 2 == 0;
            die->SetPrice(i * 3);
            die->Drawer = i % 2 ? u"Box %1"_s.arg(i) : QString();
            die->Modifier = i % 3 - 1;
        }
        TDie *first = walk.First();
        first->Count = 3'000'000'000U;
        Catalogue.MajorTerrain(7)->Count = 2;
        Catalogue.MinorTerrain(20)->Drawer = u"Tiroir \u00e9"_s;
        for (int t = 0; t < 7; ++t) {
            TTrade &trade = Inventory.CreateTrade(u"Trader %1"_s.arg(t));
            trade.Address = u"1 Lane\r\nTown"_s;
            trade.EMail = u"t@example.org"_s;
            trade.Card = t == 2 ? u"visa"_s : QString();
            trade.Notes = t == 3 ? u"n"_s : QString();
            trade.SetStatus(TradeStatus(t));
            trade.SetUseTradeOuts(t % 2 == 1);
            trade.AppendLine(*walk.Next(), -1 - t);
            trade.AppendLine(*Catalogue.MinorTerrain(t), 1);
            trade.AppendLine(*Catalogue.MajorTerrain(47 - t), -2);
        }
    }

    TCatalogue Catalogue;
    TFixedClock Clock;
    TInventory Inventory;
};

// Version 4: no drawers, modifiers or trades, and prices as floats.
QByteArray OldInventory()
{
    return WriteToBytes([](TTaggedWriter &writer) {
        writer.WriteInteger(4);
        writer.WriteListBegin();
        for (qint32 race = 1; race <= 3; ++race) {
            writer.WriteInteger(race);
            writer.WriteInteger(race - 1);
            writer.WriteInteger(race * 2);
            writer.WriteBoolean(race == 2);
            writer.WriteBoolean(race == 3);
            writer.WriteFloat(2.9 * race);
        }
        writer.WriteInteger(TInventory::kMinorTerrainRef);
        writer.WriteInteger(5);
        writer.WriteInteger(1);
        writer.WriteBoolean(false);
        writer.WriteBoolean(false);
        writer.WriteFloat(0);
        writer.WriteListEnd();
    });
}

// A home army with every die of the catalogue (one twice), terrains, notes and a group,
// and a horde of the same group.
struct TSeedArmies
{
    TSeedArmies() : Home(Fuzz.Catalogue), Horde(Fuzz.Catalogue)
    {
        TDieTraversal walk(Fuzz.Catalogue);
        for (TDie *die = walk.First(); die; die = walk.Next())
            Home.AddDie(*die);
        Home.AddDie(*walk.First());
        Home.SetName(u"Home \u00c6r\u00f8"_s);
        Home.SetNotes(u"Line one\r\nLine two"_s);
        Home.SetArmyType(ArmyType::HomeArmy);
        Home.SetMajorTerrain(29);
        Home.SetMinorTerrain(1, 3);
        Home.SetMinorTerrain(3, 23);
        Home.SetGroupName(u"Raid"_s);
        Home.SetBattleSize(60);
        Horde.SetName(u"Horde"_s);
        Horde.AddDie(*walk.First());
        Horde.SetGroupName(u"Raid"_s);
    }

    TArmyFuzzCatalogue Fuzz;
    TArmy Home;
    TArmy Horde;
};

// Version 2: two dice, a campaign army with dragon slots for present, missing and no
// dragons.
QByteArray OldArmy()
{
    return WriteToBytes([](TTaggedWriter &writer) {
        writer.WriteInteger(2);
        writer.WriteString(u"Old"_s);
        writer.WriteListBegin();
        for (qint32 id : {1, 2}) {
            writer.WriteInteger(id);
            writer.WriteInteger(0);
        }
        writer.WriteListEnd();
        writer.WriteString(QString());
        writer.WriteInteger(int(ArmyType::CampaignArmy));
        for (qint32 slot : {0, 3, 4, 10, -1})
            writer.WriteInteger(slot);
        for (qint32 terrain : {5, 3, 24, 24, 23})
            writer.WriteInteger(terrain);
        writer.WriteString(u"G"_s);
    });
}

} // namespace

// A settings file of every kind of value, the blocks start-up decodes, and an entry of
// a kind this version does not know.
QByteArray Settings()
{
    const auto binary = [](const QByteArray &bytes) {
        return QJsonObject{{u"binary"_s, QString::fromLatin1(bytes.toBase64())}};
    };
    QJsonObject values;
    values.insert(u"MainForm"_s, binary(WindowRecord::ToBytes(QRect(40, 30, 700, 500))));
    values.insert(u"MainForm State"_s, QJsonObject{{u"integer"_s, 2}});
    values.insert(u"ResultMap"_s, binary(TResultMap().ToBytes()));
    values.insert(u"ViewPerHealth"_s, QJsonObject{{u"integer"_s, 1}});
    values.insert(u"ArmyDir"_s, QJsonObject{{u"text"_s, u"/home/player/armies"_s}});
    values.insert(u"Later"_s, QJsonObject{{u"float"_s, 2.5}});
    return QJsonDocument(values).toJson();
}

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: fuzz_seeds FOLDER\n");
        return 2;
    }
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    if (!folder.mkpath(u"."_s)) {
        std::fprintf(stderr, "fuzz_seeds: cannot make %s\n", argv[1]);
        return 1;
    }
    try {
        TIconTable icons;
        AddSyntheticSymbols(icons);
        Save(folder.filePath(u"KRICONS.DAT"_s),
             WriteToBytes([&](TTaggedWriter &writer) { WriteIconStream(writer, icons); }));

        const QByteArray smallRaces = Races(3, 3);
        Save(folder.filePath(u"KRRACES-SMALL.DAT"_s), smallRaces);
        Save(folder.filePath(u"KRRACES-MIXED.DAT"_s), Races(12, 2));

        // In the order of EveryValue: list, three integers, int64, two flags, float,
        // date, four strings, end of list and its peeks, then a raw read of 4 bytes.
        const QByteArray ops("\x07\x00\x00\x00\x01\x02\x02\x03\x04\x05\x05\x05\x05\x09\x0a\x08\x46", 17);
        Save(folder.filePath(u"tagged-every-value.bin"_s), Program(ops, EveryValue()));
        // The generic walker over a race database.
        Save(folder.filePath(u"tagged-walk-races.bin"_s), Program(QByteArray(1, '\x0b'), smallRaces));

        const TSeedCollection collection;
        Save(folder.filePath(u"inventory-with-trades.kri"_s),
             WriteToBytes([&](TTaggedWriter &writer) { collection.Inventory.WriteStream(writer); }));
        Save(folder.filePath(u"inventory-version-4.kri"_s), OldInventory());
        const TTradeFile trade =
            MakeTradeFile(*collection.Inventory.Trades().front(), u"Robin Vale\n4 Hill Road"_s, u"r@example.org"_s);
        Save(folder.filePath(u"trade.btr"_s), WriteToBytes([&](TTaggedWriter &writer) { trade.Write(writer); }));
        Save(folder.filePath(u"offer.txt"_s),
             "Name: Pat\r\nEMail: PAT@example.org\r\nxx0000100000: 2\r\nxx0000200001: 1\r\n"
             "xx-000200005: 1\r\nxx-000300010: 1\r\nxx12   3    : 1\r\ncard: visa\r\ndate: 05/99\r\n"
             "Address: 1 Mill Lane\r\nRiverton\r\nNotes: slow\r\nfast\r\n");
        Save(folder.filePath(u"prices.krp"_s),
             WriteToBytes([&](TTaggedWriter &writer) { collection.Inventory.WritePrices(writer); }));
        Save(folder.filePath(u"collection.csv"_s), TCollectionCsv::Export(collection.Inventory));
        // What a spreadsheet user might make of it: columns of their own, names instead of
        // IDs, quotes, blank rows, flags spelt out.
        Save(folder.filePath(u"collection-by-name.csv"_s),
             "Notes,Name,COUNT,race,kind,drawer,locked,trading,price,modifier\r\n"
             "\"first, \"\"best\"\"\",ashmark bowman 1,3,ASHMARK,die,\"Box\r\n2\",yes,FALSE,12,-1\r\n"
             ",,,,,,,,,\r\n"
             ",Coastland City,1,coastland,major,,0,1,4,0\n"
             ",Feyland Forest,2,feyland,minor,,no,true,+5,3\r"
             "x,Nobody,1,Nowhere,die,,0,0,1,0\r\n");

        TSeedArmies armies;
        Save(folder.filePath(u"army.kra"_s), WriteToBytes([&](TTaggedWriter &writer) { armies.Home.WriteRecord(writer); }));
        Save(folder.filePath(u"army-version-2.kra"_s), OldArmy());
        Save(folder.filePath(u"group.krg"_s), WriteToBytes([&](TTaggedWriter &writer) {
                 WriteGroupStream(writer, {&armies.Home, &armies.Horde});
             }));
        TGroupFileRecord paths;
        paths.Version = 1;
        paths.ArmyPaths = QStringList{u".\\army.kra"_s, u"C:\\Armies\\Horde.KRA"_s};
        Save(folder.filePath(u"group-paths.krg"_s), WriteToBytes([&](TTaggedWriter &writer) { paths.Write(writer); }));
        Save(folder.filePath(u"settings.json"_s), Settings());

        // Games over the catalogue of the game target: a busy one and a small one.
        TArmyFuzzCatalogue gameCatalogue;
        const TFixedClock clock(QDateTime(QDate(2026, 12, 7), QTime(12, 0)));
        for (const auto &[name, players, dice] : {std::tuple{u"game.kgm"_s, 3, 40}, std::tuple{u"game-small.kgm"_s, 1, 3}}) {
            const auto game = MakeSyntheticGame(gameCatalogue.Catalogue, clock, players, dice, dice / 2, 5);
            Save(folder.filePath(name), WriteToBytes([&](TTaggedWriter &writer) { WriteGameStream(writer, *game); }));
        }
    } catch (const TKrException &failure) {
        std::fprintf(stderr, "fuzz_seeds: %s\n", failure.what());
        return 1;
    }
    return 0;
}
