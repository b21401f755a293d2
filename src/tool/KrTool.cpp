#include "KrTool.h"

#include "ArmyJson.h"
#include "CatalogueJson.h"
#include "GameJson.h"
#include "InventoryJson.h"
#include "army/ArmyAnalysis.h"
#include "army/ArmyFile.h"
#include "dice/Catalogue.h"
#include "dice/RaceFile.h"
#include "game/GameFile.h"
#include "game/GameLog.h"
#include "inventory/Inventory.h"
#include "inventory/KeepRules.h"
#include "inventory/TradeFile.h"
#include "inventory/TradeOffer.h"
#include "io/FileAccess.h"
#include "io/TaggedStream.h"
#include "random/Randomizer.h"
#include "reports/AlertList.h"
#include "reports/TradeListExport.h"
#include "shell/Clock.h"
#include "shell/DataPaths.h"
#include "shell/SettingsStore.h"

#include "ToolCommon.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <QJsonDocument>
#include <QTextStream>

#include <algorithm>
#include <array>
#include <cmath>
#include <functional>

using namespace Qt::StringLiterals;

namespace KrTool {

namespace {

const QString kUsage = uR"(Usage: krtool COMMAND [OPTIONS]

Reads and writes the data files of Tarrowind Assistant.

Commands:
  dump FILE [--kind races|icons|inventory|prices|trade|army|group|game]
       [--races R] [--icons I]
      Prints the file as JSON. The kind comes from the file name (KRICONS.DAT is
      the icon file, any other .DAT a race database, .kri an inventory, .krp a
      price list, .btr a trade file, .kra an army, .krg an army group, .kgm a
      game) unless --kind says. Inventories, price lists, trade files, armies,
      groups and games name their dice from the race database.
  build --kind races|icons|inventory|prices|trade|army|group|game JSON OUT
        [--icons I]
      Writes the binary file described by JSON (as dump prints it).
  resave [--kind inventory|prices] [--races R] [--icons I] IN OUT
      Loads IN as the program loads an inventory (or imports a price list) and
      writes OUT as the program saves one (or exports prices): older versions
      upgraded, dice not in the race database dropped and counted on standard
      error.
  resave [--kind army|group] [--races R] [--icons I] IN OUT
      Opens IN as the program opens an army or group file and writes OUT as the
      program saves it: older versions upgraded (a group of army file paths
      loads those files), dice not in the race database dropped and counted on
      standard error as "<n> dice lost.".
  resave [--kind game] [--races R] [--icons I] IN OUT
      Opens IN as the program opens a game and writes OUT as the program saves
      it: any version from 1 on upgraded, dice not in the race database left out
      and counted on standard error as "<n> dice lost.".
  status GAME [--races R] [--icons I]
      Prints the status text of the game as "Copy Status to Clipboard" gives it,
      each line ending in CR LF.
  import-trade [--races R] [--icons I] IN OFFER OUT
      Loads the inventory IN as the program does, takes in OFFER as a new trade
      (a .btr file as "Import Trade From File", any other file as its UTF-8
      text pasted for "Import Trade From Clipboard") and writes OUT as "Save
      Inventory" would. Lost lines are told on standard error; an offer the
      program refuses is a failure.
  export-csv [--races R] [--icons I] IN.kri OUT.csv
      Loads the inventory IN as the program does and writes its collection as
      comma-separated values, as "Export Collection as CSV..." does: a header,
      then a row per die and terrain (UTF-8, CR LF).
  import-csv [--races R] [--icons I] IN.kri CSV OUT.kri
      Loads the inventory IN, sets the dice and terrains that the rows of CSV
      name as "Import Collection from CSV..." does, and writes OUT as "Save
      Inventory" would. Prints how many items were set; rows that match no
      die are named on standard error. A row that does not parse is a failure
      and nothing is written.
  stats [--races R] [--icons I] [--race ID [--die ID]] [--per-health]
        [--power-magic-items] [--monstrous-magic-resistance]
      Prints the statistics of every selected die: a line per land with the
      mean/spread of the 15 results, then a line with the effect fractions.
  analyze ARMY [--races R] [--icons I] [--include-summoned] [--show-minimum]
          [--power-magic-items] [--monstrous-magic-resistance]
      Prints the analysis of the army file as the army window shows it: a line
      per land with the 15 results (mean and spread, or minimum), then a line
      per effect with the chance that some die shows it.
  rng --time T [--count N] [--sides S [--modifier M]]
      Prints N values (default 10) of the game's random number generator seeded
      as at the moment T (days since 30 December 1899, fraction = time of day):
      its raw outputs, or rolls of one die with S sides plus M.
  export-alerts [--races R] [--icons I] INVENTORY.kri --search NAME
                --style NAME [--rule KEY=VALUE]... [--locked-is-liked]
                [--no-values] [--widget FILE] [--form SCRIPT] [--max-lock N]
                [--aggressive] [--include-cc] [--javascript] [--frame FILE]
                [--colors WANT,DEFAULT,HAVE,LOCK] [--date YYYY-MM-DD] OUT
      Runs an alert list search over the inventory with the keep rules
      (defaults, or IR settings given by --rule) and writes the list in one of
      the export styles as the export dialog would.
  odds ARMY --land LAND --result RESULT [--races R] [--icons I]
       [--include-summoned] [--power-magic-items] [--monstrous-magic-resistance]
  odds --race ID --die ID --land LAND --result RESULT [--races R] [--icons I]
       [--power-magic-items] [--monstrous-magic-resistance]
      Prints the exact chances of the totals of one roll of the army file (the
      dice its analysis counts) or of one die, for a land and a result type: a
      line per total of non-zero chance, lowest first, with the total, the
      chance of exactly it and the chance of at least it, tab-separated; then
      "remainder" and the chance left out where reroll faces were cut off.
  help
      Prints this text.

Face symbols come from --icons, else from the KRICONS.DAT beside the race
database. Without --races, the race database is the data directory's KRRACES.DAT.

Exit status: 0 success, 1 a file that cannot be read or written, 2 bad usage.
)"_s;

enum class TKind { Races, Icons, Inventory, Prices, Trade, Army, Group, Game };

TKind ParseKind(const QString &kind)
{
    if (kind == u"races")
        return TKind::Races;
    if (kind == u"icons")
        return TKind::Icons;
    if (kind == u"inventory")
        return TKind::Inventory;
    if (kind == u"prices")
        return TKind::Prices;
    if (kind == u"trade")
        return TKind::Trade;
    if (kind == u"army")
        return TKind::Army;
    if (kind == u"group")
        return TKind::Group;
    if (kind == u"game")
        return TKind::Game;
    throw TUsageError(u"--kind must be \"races\", \"icons\", \"inventory\", \"prices\", \"trade\", \"army\", "
                      u"\"group\" or \"game\", not \"%1\"."_s.arg(kind));
}

TKind KindOfFile(const QString &path)
{
    const QString name = QFileInfo(path).fileName();
    if (name.compare(QStringView(kIconFileName), Qt::CaseInsensitive) == 0)
        return TKind::Icons;
    if (name.endsWith(u".dat"_s, Qt::CaseInsensitive))
        return TKind::Races;
    if (name.endsWith(u".kri"_s, Qt::CaseInsensitive))
        return TKind::Inventory;
    if (name.endsWith(u".krp"_s, Qt::CaseInsensitive))
        return TKind::Prices;
    if (name.endsWith(u".btr"_s, Qt::CaseInsensitive))
        return TKind::Trade;
    if (name.endsWith(u".kra"_s, Qt::CaseInsensitive))
        return TKind::Army;
    if (name.endsWith(u".krg"_s, Qt::CaseInsensitive))
        return TKind::Group;
    if (name.endsWith(u".kgm"_s, Qt::CaseInsensitive))
        return TKind::Game;
    throw TUsageError(u"Cannot tell what kind of file \"%1\" is; give --kind."_s.arg(path));
}

bool NamesDice(TKind kind)
{
    return kind == TKind::Inventory || kind == TKind::Prices || kind == TKind::Trade || kind == TKind::Army ||
           kind == TKind::Group || kind == TKind::Game;
}

// Inventories, price lists, armies and groups name their dice from the race database.
void DumpNamingFile(const TContext &context, const TCommandLine &line, const QString &path, TKind kind)
{
    std::function<TJsonOut(const TCatalogue &)> render;
    ReadTagged(
        path,
        [&](TTaggedReader &reader) {
            switch (kind) {
            case TKind::Inventory:
                render = [file = TInventoryFile::Read(reader)](const TCatalogue &c) { return InventoryToJson(file, c); };
                break;
            case TKind::Prices:
                render = [file = TPriceListFile::Read(reader)](const TCatalogue &c) { return PricesToJson(file, c); };
                break;
            case TKind::Trade:
                render = [file = TTradeFile::Read(reader)](const TCatalogue &c) { return TradeFileToJson(file, c); };
                break;
            case TKind::Army:
                render = [file = TArmyRecord::Read(reader)](const TCatalogue &c) { return ArmyToJson(file, c); };
                break;
            case TKind::Game:
                render = [file = TGameRecord::Read(reader)](const TCatalogue &c) { return GameToJson(file, c); };
                break;
            default: // a group: the other kinds name no dice
                render = [file = TGroupFileRecord::Read(reader)](const TCatalogue &c) { return GroupToJson(file, c); };
                break;
            }
        },
        TTrailing::Refuse);
    TCatalogue catalogue;
    LoadCatalogue(context, line, catalogue);
    context.Out << render(catalogue).Render();
}

int Dump(const TContext &context, const QStringList &args)
{
    const TCommandLine line(
        u"dump"_s, args,
        {ValueOption(u"kind"_s, u"K"_s), ValueOption(u"races"_s, u"R"_s), ValueOption(u"icons"_s, u"I"_s)}, 1);
    const QString path = line.Positional(0);
    const TKind kind = line.IsSet(u"kind"_s) ? ParseKind(line.Value(u"kind"_s)) : KindOfFile(path);
    if (NamesDice(kind)) {
        DumpNamingFile(context, line, path, kind);
        return 0;
    }
    if (line.IsSet(u"races"_s))
        throw TUsageError(u"--races is for inventories, price lists, trade files, armies, groups and games."_s);
    TCatalogue catalogue;
    if (kind == TKind::Icons) {
        ReadTagged(path, [&](TTaggedReader &reader) { ReadIconStream(reader, catalogue.Icons()); },
                   TTrailing::Refuse);
        context.Out << IconsToJson(catalogue.Icons()).Render();
        return 0;
    }
    LoadIcons(line, path, catalogue.Icons());
    ReadTagged(path, [&](TTaggedReader &reader) { ReadRaceStream(reader, catalogue); }, TTrailing::Refuse);
    context.Out << RacesToJson(catalogue).Render();
    return 0;
}

int Build(const TContext &, const QStringList &args)
{
    const TCommandLine line(u"build"_s, args, {ValueOption(u"kind"_s, u"K"_s), ValueOption(u"icons"_s, u"I"_s)}, 2);
    if (!line.IsSet(u"kind"_s))
        throw TUsageError(u"build needs --kind races, icons, inventory, prices, trade, army, group or game."_s);
    const TKind kind = ParseKind(line.Value(u"kind"_s));
    const QString jsonPath = line.Positional(0);
    const QString outPath = line.Positional(1);
    const QJsonObject json = ReadJson(jsonPath);
    if (kind == TKind::Army || kind == TKind::Group || kind == TKind::Trade || kind == TKind::Game) {
        std::function<void(TTaggedWriter &)> write;
        try {
            if (kind == TKind::Army)
                write = [army = ArmyFromJson(json)](TTaggedWriter &writer) { army.Write(writer); };
            else if (kind == TKind::Trade)
                write = [trade = TradeFileFromJson(json)](TTaggedWriter &writer) { trade.Write(writer); };
            else if (kind == TKind::Group)
                write = [group = GroupFromJson(json)](TTaggedWriter &writer) { group.Write(writer); };
            else
                write = [game = GameFromJson(json)](TTaggedWriter &writer) { game.Write(writer); };
        } catch (const TKrException &failure) {
            throw TFileProblem(jsonPath, failure.Message());
        }
        WriteTagged(outPath, write);
        return 0;
    }
    if (kind == TKind::Inventory || kind == TKind::Prices) {
        TInventoryFile inventory;
        TPriceListFile prices;
        try {
            if (kind == TKind::Inventory)
                inventory = InventoryFromJson(json);
            else
                prices = PricesFromJson(json);
        } catch (const TKrException &failure) {
            throw TFileProblem(jsonPath, failure.Message());
        }
        // Only a trade without a date needs today: the program gives it one on loading.
        const QDate today = TSystemClock().Now().date();
        WriteTagged(outPath, [&](TTaggedWriter &writer) {
            if (kind == TKind::Inventory)
                inventory.Write(writer, today);
            else
                prices.Write(writer);
        });
        return 0;
    }
    TCatalogue catalogue;
    try {
        if (kind == TKind::Icons) {
            IconsFromJson(json, catalogue.Icons());
        } else {
            LoadIcons(line, outPath, catalogue.Icons());
            RacesFromJson(json, catalogue);
        }
    } catch (const TFileProblem &) {
        throw;
    } catch (const TKrException &failure) {
        throw TFileProblem(jsonPath, failure.Message());
    }
    WriteTagged(outPath, [&](TTaggedWriter &writer) {
        if (kind == TKind::Icons)
            WriteIconStream(writer, catalogue.Icons());
        else
            WriteRaceStream(writer, catalogue);
    });
    return 0;
}

// An army or group file opened and saved as the program does.
int ResaveArmies(const TContext &context, const TCommandLine &line, TKind kind, const QString &inPath,
                 const QString &outPath)
{
    TCatalogue catalogue;
    LoadCatalogue(context, line, catalogue);
    TGroupFile opened;
    try {
        if (kind == TKind::Army)
            opened.Armies.push_back(OpenArmyFile(inPath, catalogue, opened.Lost));
        else
            OpenGroupFile(inPath, catalogue, opened);
    } catch (const TKrException &failure) {
        throw TFileProblem(inPath, failure.Message());
    }
    std::vector<TArmy *> armies;
    for (const auto &army : opened.Armies)
        armies.push_back(army.get());
    try {
        if (kind == TKind::Army)
            SaveArmyFile(*armies.front(), outPath);
        else
            SaveGroupFile(outPath, armies);
    } catch (const TKrException &failure) {
        throw TFileProblem(outPath, failure.Message());
    }
    // The program's status text: the file was written, without them.
    if (opened.Lost > 0)
        context.Err << LostDiceMessage(opened.Lost) << u'\n';
    return 0;
}

// A game opened and saved as the program does.
TGameOpened OpenGame(TCatalogue &catalogue, const QString &path)
{
    try {
        return OpenGameFile(path, catalogue, TSystemClock());
    } catch (const TKrException &failure) {
        throw TFileProblem(path, failure.Message());
    }
}

int ResaveGame(const TContext &context, const TCommandLine &line, const QString &inPath, const QString &outPath)
{
    TCatalogue catalogue;
    LoadCatalogue(context, line, catalogue);
    TGameOpened opened = OpenGame(catalogue, inPath);
    try {
        SaveGameFile(*opened.Game, outPath);
    } catch (const TKrException &failure) {
        throw TFileProblem(outPath, failure.Message());
    }
    if (opened.LostDice > 0)
        context.Err << LostDiceMessage(opened.LostDice) << u'\n';
    return 0;
}

int Status(const TContext &context, const QStringList &args)
{
    const TCommandLine line(u"status"_s, args, {ValueOption(u"races"_s, u"R"_s), ValueOption(u"icons"_s, u"I"_s)},
                            1);
    const QString path = line.Positional(0);
    TCatalogue catalogue;
    LoadCatalogue(context, line, catalogue);
    const TGameOpened opened = OpenGame(catalogue, path);
    if (opened.LostDice > 0)
        context.Err << LostDiceMessage(opened.LostDice) << u'\n';
    context.Out << JoinLines(GameStatusLines(*opened.Game));
    return 0;
}

// An inventory loaded (or a price list imported) as the program does; entries it cannot
// place are told with the program's own message box text, and the work goes on without
// them.
void ReadCollection(const TContext &context, TInventory &inventory, const QString &path, TKind kind)
{
    TInventoryReadResult read;
    try {
        read = kind == TKind::Inventory ? inventory.LoadFile(path) : inventory.ImportPrices(path);
    } catch (const TKrException &failure) {
        throw TFileProblem(path, failure.Message());
    }
    if (read.NotFound > 0) {
        context.Err << (kind == TKind::Inventory ? TInventory::InventoryNotFoundMessage(read.NotFound)
                                                 : TInventory::PriceListNotFoundMessage(read.NotFound))
                    << u'\n';
    }
}

int Resave(const TContext &context, const QStringList &args)
{
    const TCommandLine line(
        u"resave"_s, args,
        {ValueOption(u"kind"_s, u"K"_s), ValueOption(u"races"_s, u"R"_s), ValueOption(u"icons"_s, u"I"_s)}, 2);
    const QString inPath = line.Positional(0);
    const QString outPath = line.Positional(1);
    const TKind kind = line.IsSet(u"kind"_s) ? ParseKind(line.Value(u"kind"_s)) : KindOfFile(inPath);
    if (kind == TKind::Army || kind == TKind::Group)
        return ResaveArmies(context, line, kind, inPath, outPath);
    if (kind == TKind::Game)
        return ResaveGame(context, line, inPath, outPath);
    if (kind != TKind::Inventory && kind != TKind::Prices)
        throw TUsageError(u"resave takes inventories, price lists, armies, groups and games."_s);
    TCatalogue catalogue;
    LoadCatalogue(context, line, catalogue);
    TSystemClock clock;
    TInventory inventory(catalogue, clock);
    ReadCollection(context, inventory, inPath, kind);
    try {
        if (kind == TKind::Inventory)
            inventory.SaveFile(outPath);
        else
            inventory.ExportPrices(outPath);
    } catch (const TKrException &failure) {
        throw TFileProblem(outPath, failure.Message());
    }
    return 0;
}

// The offer's text as a paste would give it: UTF-8, whatever the bytes.
QString ReadOfferText(const QString &path)
{
    QByteArray bytes;
    try {
        ReadFileWith(path, [&](QIODevice &file) { bytes = file.readAll(); });
    } catch (const TKrException &failure) {
        throw TFileProblem(path, failure.Message());
    }
    return QString::fromUtf8(bytes);
}

int ImportTrade(const TContext &context, const QStringList &args)
{
    const TCommandLine line(u"import-trade"_s, args, {ValueOption(u"races"_s, u"R"_s), ValueOption(u"icons"_s, u"I"_s)},
                            3);
    const QString inPath = line.Positional(0);
    const QString offerPath = line.Positional(1);
    const QString outPath = line.Positional(2);
    TCatalogue catalogue;
    LoadCatalogue(context, line, catalogue);
    TSystemClock clock;
    TInventory inventory(catalogue, clock);
    ReadCollection(context, inventory, inPath, TKind::Inventory);
    qint64 lost = 0;
    if (offerPath.endsWith(u".btr"_s, Qt::CaseInsensitive)) {
        try {
            ImportTradeFile(inventory, offerPath);
        } catch (const TKrException &failure) {
            throw TFileProblem(offerPath, failure.Message());
        }
    } else {
        const QString text = ReadOfferText(offerPath);
        try {
            ImportTradeOffer(inventory, ParseTradeOffer(text), lost);
        } catch (const TKrException &failure) {
            throw TFileProblem(offerPath, failure.Message());
        }
    }
    try {
        inventory.SaveFile(outPath);
    } catch (const TKrException &failure) {
        throw TFileProblem(outPath, failure.Message());
    }
    if (lost > 0)
        context.Err << LostInImportMessage(lost) << u'\n';
    return 0;
}

} // namespace

} // namespace KrTool

using namespace KrTool;

int RunKrTool(const QStringList &args, QTextStream &out, QTextStream &err, const QString &applicationDir)
{
    const TContext context{out, err, applicationDir};
    const QString command = args.value(0);
    const QStringList rest = args.mid(1);
    try {
        if (command == u"help" || command == u"--help" || command == u"-h") {
            out << kUsage;
            return 0;
        }
        if (command == u"dump")
            return Dump(context, rest);
        if (command == u"build")
            return Build(context, rest);
        if (command == u"resave")
            return Resave(context, rest);
        if (command == u"import-trade")
            return ImportTrade(context, rest);
        if (command == u"stats")
            return Stats(context, rest);
        if (command == u"status")
            return Status(context, rest);
        if (command == u"analyze")
            return Analyze(context, rest);
        if (command == u"rng")
            return Rng(context, rest);
        if (command == u"export-alerts")
            return ExportAlerts(context, rest);
        if (command == u"odds")
            return Odds(context, rest);
        if (command == u"export-csv")
            return ExportCsv(context, rest);
        if (command == u"import-csv")
            return ImportCsv(context, rest);
        if (command.isEmpty())
            throw TUsageError(u"No command given."_s);
        throw TUsageError(u"Unknown command \"%1\"."_s.arg(command));
    } catch (const TUsageError &failure) {
        err << u"krtool: "_s << failure.Message() << u"\n"_s;
        err << u"Try \"krtool help\"."_s << u'\n';
        return 2;
    } catch (const TKrException &failure) {
        err << u"krtool: "_s << failure.Message() << u'\n';
        return 1;
    }
}
