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
  help
      Prints this text.

Face symbols come from --icons, else from the KRICONS.DAT beside the race
database. Without --races, the race database is the data directory's KRRACES.DAT.

Exit status: 0 success, 1 a file that cannot be read or written, 2 bad usage.
)"_s;

// Bad usage: exit status 2.
class TUsageError : public TKrException
{
public:
    using TKrException::TKrException;
};

// A file that cannot be read or written: exit status 1, the path in front.
class TFileProblem : public TKrException
{
public:
    TFileProblem(const QString &path, const QString &problem) : TKrException(path + u": "_s + problem) {}
};

enum class TKind { Races, Icons, Inventory, Prices, Trade, Army, Group, Game };

struct TContext
{
    QTextStream &Out;
    QTextStream &Err;
    QString ApplicationDir;
};

// Parses the options of one command; positional arguments must number exactly
// `positionals`.
class TCommandLine
{
public:
    TCommandLine(const QString &command, const QStringList &args, const QList<QCommandLineOption> &options,
                 int positionals)
    {
        FParser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
        FParser.addOptions(options);
        if (!FParser.parse(QStringList{u"krtool"_s} + args))
            throw TUsageError(command + u": "_s + FParser.errorText());
        if (FParser.positionalArguments().size() != positionals)
            throw TUsageError(u"%1 takes %2 file argument(s)."_s.arg(command, QString::number(positionals)));
        if (FParser.positionalArguments().contains(QString()))
            throw TUsageError(command + u": a file name is empty."_s);
    }

    bool IsSet(const QString &name) const { return FParser.isSet(name); }
    QString Value(const QString &name) const { return FParser.value(name); }
    QStringList Values(const QString &name) const { return FParser.values(name); }
    QString Positional(int index) const { return FParser.positionalArguments().at(index); }

    qint64 Integer(const QString &name, qint64 low, qint64 high) const
    {
        bool ok = false;
        const qint64 value = Value(name).toLongLong(&ok);
        if (!ok || value < low || value > high) {
            throw TUsageError(u"--%1 must be a whole number from %2 to %3."_s.arg(name, QString::number(low),
                                                                                   QString::number(high)));
        }
        return value;
    }

private:
    QCommandLineParser FParser;
};

QCommandLineOption ValueOption(const QString &name, const QString &valueName)
{
    return QCommandLineOption(name, QString(), valueName);
}

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

// A dump must show everything in the file, so it refuses bytes after the contents that
// the program itself would silently pass over.
enum class TTrailing { Ignore, Refuse };

void ReadTagged(const QString &path, const std::function<void(TTaggedReader &)> &read,
                TTrailing trailing = TTrailing::Ignore)
{
    try {
        ReadFileWith(path, [&](QIODevice &file) {
            TTaggedReader reader(file);
            read(reader);
            if (trailing == TTrailing::Refuse && !reader.AtEnd())
                reader.Fail(u"Unexpected data after the end of the file's contents"_s, reader.Position());
        });
    } catch (const TKrException &failure) {
        throw TFileProblem(path, failure.Message());
    }
}

void WriteTagged(const QString &path, const std::function<void(TTaggedWriter &)> &write)
{
    try {
        SaveFileWith(path, [&](QIODevice &file) {
            TTaggedWriter writer(file);
            write(writer);
            writer.Flush();
        });
    } catch (const TKrException &failure) {
        throw TFileProblem(path, failure.Message());
    }
}

// The icon file named by --icons, else the one beside the race database when it exists.
void LoadIcons(const TCommandLine &line, const QString &racesPath, TIconTable &table)
{
    QString path = line.Value(u"icons"_s);
    if (path.isEmpty()) {
        path = QFileInfo(racesPath).dir().filePath(QString::fromUtf16(kIconFileName));
        if (!QFileInfo::exists(path))
            return;
    }
    ReadTagged(path, [&](TTaggedReader &reader) { ReadIconStream(reader, table); });
}

QJsonObject ReadJson(const QString &path)
{
    QByteArray bytes;
    try {
        ReadFileWith(path, [&](QIODevice &file) { bytes = file.readAll(); });
    } catch (const TKrException &failure) {
        throw TFileProblem(path, failure.Message());
    }
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &error);
    if (error.error != QJsonParseError::NoError)
        throw TFileProblem(path, u"%1 at offset %2"_s.arg(error.errorString(), QString::number(error.offset)));
    if (!document.isObject())
        throw TFileProblem(path, u"the JSON must be an object"_s);
    return document.object();
}

QString DefaultRacesPath(const TContext &context)
{
    return TDataPaths::Resolve(QString(), context.ApplicationDir).DataFilePath(QString::fromUtf16(kRaceFileName));
}

// The catalogue as the program has it once started: symbols, races and terrains.
void LoadCatalogue(const TContext &context, const TCommandLine &line, TCatalogue &catalogue)
{
    const QString racesPath = line.IsSet(u"races"_s) ? line.Value(u"races"_s) : DefaultRacesPath(context);
    LoadIcons(line, racesPath, catalogue.Icons());
    ReadTagged(racesPath, [&](TTaggedReader &reader) { ReadRaceStream(reader, catalogue); });
    catalogue.MakeTerrains();
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

void PrintStats(QTextStream &out, const TDie &die, bool perHealth)
{
    const QString key = QString::number(die.Race().ID) + u'\t' + QString::number(die.ID()) + u'\t';
    for (int l = 0; l < kLandCount; ++l) {
        out << key << NameOf(Land(l));
        for (int r = 0; r < kResultTypeCount; ++r)
            out << u'\t' << die.ResultText(ResultType(r), Land(l), perHealth);
        out << u'\n';
    }
    out << key << u"effects"_s;
    for (int f = kFirstFractionFlag; f <= kLastFractionFlag; ++f)
        out << u'\t' << QString::asprintf("%.6f", die.Fraction(EffectFlag(f)));
    out << u'\t' << (die.MagicUser() ? u"mage"_s : u"-"_s) << u'\n';
}

int Stats(const TContext &context, const QStringList &args)
{
    const TCommandLine line(u"stats"_s, args,
                            {ValueOption(u"races"_s, u"R"_s), ValueOption(u"icons"_s, u"I"_s),
                             ValueOption(u"race"_s, u"ID"_s), ValueOption(u"die"_s, u"ID"_s),
                             QCommandLineOption(u"per-health"_s), QCommandLineOption(u"power-magic-items"_s),
                             QCommandLineOption(u"monstrous-magic-resistance"_s)},
                            0);
    if (line.IsSet(u"die"_s) && !line.IsSet(u"race"_s))
        throw TUsageError(u"--die needs --race."_s);
    const qint64 kMin = std::numeric_limits<qint32>::min();
    const qint64 kMax = std::numeric_limits<qint32>::max();
    const std::optional<qint32> raceID =
        line.IsSet(u"race"_s) ? std::optional(qint32(line.Integer(u"race"_s, kMin, kMax))) : std::nullopt;
    const std::optional<qint32> dieID =
        line.IsSet(u"die"_s) ? std::optional(qint32(line.Integer(u"die"_s, kMin, kMax))) : std::nullopt;

    const QString racesPath = line.IsSet(u"races"_s) ? line.Value(u"races"_s) : DefaultRacesPath(context);
    TCatalogue catalogue;
    catalogue.Rules.PowerMagicItems = line.IsSet(u"power-magic-items"_s);
    catalogue.Rules.MonstrousMagicResistance = line.IsSet(u"monstrous-magic-resistance"_s);
    LoadIcons(line, racesPath, catalogue.Icons());
    ReadTagged(racesPath, [&](TTaggedReader &reader) { ReadRaceStream(reader, catalogue); });

    std::vector<const TDie *> selected;
    if (raceID) {
        const TRace *race = catalogue.FindRaceByID(*raceID);
        if (!race)
            throw TFileProblem(racesPath, u"there is no race with ID %1"_s.arg(*raceID));
        if (dieID) {
            const TDie *die = race->DieByID(*dieID);
            if (!die)
                throw TFileProblem(racesPath, u"race %1 has no die with ID %2"_s.arg(*raceID).arg(*dieID));
            selected.push_back(die);
        } else {
            for (const auto &die : race->Dice())
                selected.push_back(die.get());
        }
    } else {
        TDieTraversal walk(catalogue);
        for (const TDie *die = walk.First(); die; die = walk.Next())
            selected.push_back(die);
    }
    const bool perHealth = line.IsSet(u"per-health"_s);
    for (const TDie *die : selected)
        PrintStats(context.Out, *die, perHealth);
    return 0;
}

int Analyze(const TContext &context, const QStringList &args)
{
    const TCommandLine line(u"analyze"_s, args,
                            {ValueOption(u"races"_s, u"R"_s), ValueOption(u"icons"_s, u"I"_s),
                             QCommandLineOption(u"include-summoned"_s), QCommandLineOption(u"show-minimum"_s),
                             QCommandLineOption(u"power-magic-items"_s),
                             QCommandLineOption(u"monstrous-magic-resistance"_s)},
                            1);
    const QString path = line.Positional(0);
    TCatalogue catalogue;
    catalogue.Rules.PowerMagicItems = line.IsSet(u"power-magic-items"_s);
    catalogue.Rules.MonstrousMagicResistance = line.IsSet(u"monstrous-magic-resistance"_s);
    LoadCatalogue(context, line, catalogue);
    int lost = 0;
    std::unique_ptr<TArmy> army;
    try {
        army = OpenArmyFile(path, catalogue, lost);
    } catch (const TKrException &failure) {
        throw TFileProblem(path, failure.Message());
    }
    if (lost > 0)
        context.Err << LostDiceMessage(lost) << u'\n';

    const TArmyAnalysis analysis = AnalyzeArmy(AnalysedDice(army->Dice(), line.IsSet(u"include-summoned"_s)));
    const bool minimum = line.IsSet(u"show-minimum"_s);
    for (int l = 0; l < kLandCount; ++l) {
        context.Out << NameOf(Land(l));
        for (int r = 0; r < kResultTypeCount; ++r)
            context.Out << u'\t' << analysis.CellText(ResultType(r), Land(l), minimum);
        context.Out << u'\n';
    }
    for (int f = kFirstFractionFlag; f <= kLastFractionFlag; ++f)
        context.Out << NameOf(EffectFlag(f)) << u'\t' << analysis.ChanceText(EffectFlag(f)) << u'\n';
    return 0;
}

int Rng(const TContext &context, const QStringList &args)
{
    const TCommandLine line(u"rng"_s, args,
                            {ValueOption(u"time"_s, u"T"_s), ValueOption(u"count"_s, u"N"_s),
                             ValueOption(u"sides"_s, u"S"_s), ValueOption(u"modifier"_s, u"M"_s)},
                            0);
    if (!line.IsSet(u"time"_s))
        throw TUsageError(u"rng needs --time."_s);
    bool ok = false;
    const double moment = line.Value(u"time"_s).toDouble(&ok);
    if (!ok || !std::isfinite(moment))
        throw TUsageError(u"--time must be a decimal number of days, such as 45000.25."_s);
    const qint64 count = line.IsSet(u"count"_s) ? line.Integer(u"count"_s, 0, 1000000) : 10;
    if (line.IsSet(u"modifier"_s) && !line.IsSet(u"sides"_s))
        throw TUsageError(u"--modifier needs --sides."_s);

    TRandomizer generator(moment);
    if (!line.IsSet(u"sides"_s)) {
        for (qint64 i = 0; i < count; ++i)
            context.Out << generator.Next() << u'\n';
        return 0;
    }
    const auto sides = qint32(line.Integer(u"sides"_s, 1, std::numeric_limits<qint32>::max()));
    const auto modifier = line.IsSet(u"modifier"_s)
                              ? qint32(line.Integer(u"modifier"_s, -1000000000, 1000000000))
                              : 0;
    for (qint64 i = 0; i < count; ++i)
        context.Out << generator.Roll(sides, modifier) << u'\n';
    return 0;
}

// The names the user types for searches and styles: any case, blanks and hyphens
// optional ("ultra-rare", "RaceGrids").
QString Compact(const QString &name)
{
    QString compact;
    for (QChar c : name) {
        if (c.isLetterOrNumber())
            compact += c.toLower();
    }
    return compact;
}

template <typename E> E ParseVocabulary(const QString &option, const QString &value)
{
    QStringList names;
    for (int i = 0; i < VocabularyCount<E>(); ++i) {
        names << u'"' + NameOf(E(i)) + u'"';
        if (Compact(value) == Compact(NameOf(E(i))))
            return E(i);
    }
    throw TUsageError(u"--%1 must be one of %2, not \"%3\"."_s.arg(option, names.join(u", "_s), value));
}

// The keep rules as the alert report window holds them after reading the settings:
// the defaults with the --rule values over them.
TKeepRules ParseRules(const TCommandLine &line)
{
    TMemorySettingsStore settings;
    for (const QString &rule : line.Values(u"rule"_s)) {
        const QString key = rule.section(u'=', 0, 0);
        const QString value = rule.section(u'=', 1);
        const auto &known = TKeepRules::Settings();
        const auto setting = std::find_if(known.begin(), known.end(), [&](const TKeepRules::TSetting &s) {
            return key == QStringView(s.Key) && key != u"IRSearchType";
        });
        if (setting == known.end() || !rule.contains(u'='))
            throw TUsageError(u"--rule takes KEY=VALUE with a keep rule setting such as IRCommon, not \"%1\"."_s.arg(rule));
        bool ok = false;
        const int number = value.toInt(&ok);
        if (!ok || number < 0 || number > setting->Max)
            throw TUsageError(u"--rule %1 must be a whole number from 0 to %2."_s.arg(key).arg(setting->Max));
        settings.WriteIntegerSetting(key, number);
    }
    TKeepRules rules;
    rules.Load(settings);
    rules.LockedAsLiked = line.IsSet(u"locked-is-liked"_s);
    rules.SearchType = qint32(ParseVocabulary<TAlertSearch>(u"search"_s, line.Value(u"search"_s)));
    return rules;
}

TTradeListOptions ParseExportOptions(const TCommandLine &line)
{
    TTradeListOptions options;
    options.Style = ParseVocabulary<TExportStyle>(u"style"_s, line.Value(u"style"_s));
    options.ShowValues = !line.IsSet(u"no-values"_s);
    options.ShowWidgets = line.IsSet(u"widget"_s);
    if (options.ShowWidgets)
        options.WidgetFile = line.Value(u"widget"_s);
    options.TradeForm = line.IsSet(u"form"_s);
    if (options.TradeForm)
        options.Script = line.Value(u"form"_s);
    if (line.IsSet(u"max-lock"_s))
        options.MaxLock = qint32(line.Integer(u"max-lock"_s, 0, TTradeListOptions::kMaxLockLimit));
    options.Aggressive = line.IsSet(u"aggressive"_s);
    options.IncludeCC = line.IsSet(u"include-cc"_s);
    options.JavaScript = line.IsSet(u"javascript"_s);
    options.FrameFile = line.Value(u"frame"_s);
    if (line.IsSet(u"frame"_s) && options.FrameFile.isEmpty())
        throw TUsageError(u"export-alerts: a file name is empty."_s);
    if (line.IsSet(u"colors"_s)) {
        const QStringList texts = line.Value(u"colors"_s).split(u',');
        std::array<quint32 *, 4> colors{&options.WantColor, &options.DefaultColor, &options.HaveColor,
                                        &options.LockColor};
        if (texts.size() != int(colors.size()))
            throw TUsageError(u"--colors takes four colours such as #FF0000,#000000,#008000,#FF0000."_s);
        for (size_t i = 0; i < colors.size(); ++i) {
            const std::optional<quint32> color = ColorFromText(texts[qsizetype(i)].trimmed());
            if (!color)
                throw TUsageError(u"--colors: \"%1\" is not a colour of the form #RRGGBB."_s.arg(texts[qsizetype(i)]));
            *colors[i] = *color;
        }
    }
    return options;
}

int ExportAlerts(const TContext &context, const QStringList &args)
{
    const TCommandLine line(
        u"export-alerts"_s, args,
        {ValueOption(u"races"_s, u"R"_s), ValueOption(u"icons"_s, u"I"_s), ValueOption(u"search"_s, u"NAME"_s),
         ValueOption(u"style"_s, u"NAME"_s), ValueOption(u"rule"_s, u"KEY=VALUE"_s),
         QCommandLineOption(u"locked-is-liked"_s), QCommandLineOption(u"no-values"_s),
         ValueOption(u"widget"_s, u"FILE"_s), ValueOption(u"form"_s, u"SCRIPT"_s), ValueOption(u"max-lock"_s, u"N"_s),
         QCommandLineOption(u"aggressive"_s), QCommandLineOption(u"include-cc"_s),
         QCommandLineOption(u"javascript"_s), ValueOption(u"frame"_s, u"FILE"_s), ValueOption(u"colors"_s, u"LIST"_s),
         ValueOption(u"date"_s, u"YYYY-MM-DD"_s)},
        2);
    if (!line.IsSet(u"search"_s) || !line.IsSet(u"style"_s))
        throw TUsageError(u"export-alerts needs --search and --style."_s);
    TKeepRules rules = ParseRules(line);
    const TTradeListOptions options = ParseExportOptions(line);
    QDate today = TSystemClock().Now().date();
    if (line.IsSet(u"date"_s)) {
        today = QDate::fromString(line.Value(u"date"_s), Qt::ISODate);
        if (!today.isValid())
            throw TUsageError(u"--date must be a date written YYYY-MM-DD."_s);
    }
    const QString inventoryPath = line.Positional(0);
    const QString outPath = line.Positional(1);

    TCatalogue catalogue;
    LoadCatalogue(context, line, catalogue);
    TSystemClock clock;
    TInventory inventory(catalogue, clock);
    inventory.Rules = rules;
    TInventoryReadResult read;
    try {
        read = inventory.LoadFile(inventoryPath);
    } catch (const TKrException &failure) {
        throw TFileProblem(inventoryPath, failure.Message());
    }
    if (read.NotFound > 0)
        context.Err << TInventory::InventoryNotFoundMessage(read.NotFound) << u'\n';
    QByteArray frame;
    if (UsesFrame(options)) {
        try {
            frame = ReadFrameFile(options.FrameFile);
        } catch (const TKrException &failure) {
            throw TFileProblem(options.FrameFile, failure.Message());
        }
    }
    TAlertList list;
    list.Run(catalogue, inventory.Rules);
    try {
        SaveTradeListFile(outPath, TradeListText(list.Items(), catalogue, options, today, frame));
    } catch (const TKrException &failure) {
        throw TFileProblem(outPath, failure.Message());
    }
    return 0;
}

} // namespace

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
