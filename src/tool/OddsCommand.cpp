// krtool odds: the exact chances of the totals of one roll of an army or of one die, for
// scripts.

#include "ToolCommon.h"

#include "army/ArmyAnalysis.h"
#include "army/ArmyFile.h"
#include "army/ArmyOdds.h"
#include "dice/Catalogue.h"
#include "dice/RollOdds.h"

#include <QTextStream>

#include <limits>
#include <memory>

namespace KrTool {

namespace {

void PrintOdds(QTextStream &out, const TRollOdds &odds)
{
    for (int row = 0; row < odds.Count(); ++row) {
        out << QString::asprintf("%g\t%.9f\t%.9f\n", odds.Total(row), odds.Exactly(row), odds.AtLeast(row));
    }
    out << QString::asprintf("remainder\t%.3g\n", odds.Remainder());
}

qint32 IDOption(const TCommandLine &line, const QString &name)
{
    return qint32(line.Integer(name, std::numeric_limits<qint32>::min(), std::numeric_limits<qint32>::max()));
}

const TDie &FindDie(const TCatalogue &catalogue, const QString &racesPath, qint32 raceID, qint32 dieID)
{
    const TRace *race = catalogue.FindRaceByID(raceID);
    if (!race)
        throw TFileProblem(racesPath, u"there is no race with ID %1"_s.arg(raceID));
    const TDie *die = race->DieByID(dieID);
    if (!die)
        throw TFileProblem(racesPath, u"race %1 has no die with ID %2"_s.arg(raceID).arg(dieID));
    return *die;
}

} // namespace

int Odds(const TContext &context, const QStringList &args)
{
    const TCommandLine line(u"odds"_s, args,
                            {ValueOption(u"races"_s, u"R"_s), ValueOption(u"icons"_s, u"I"_s),
                             ValueOption(u"race"_s, u"ID"_s), ValueOption(u"die"_s, u"ID"_s),
                             ValueOption(u"land"_s, u"LAND"_s), ValueOption(u"result"_s, u"RESULT"_s),
                             QCommandLineOption(u"include-summoned"_s), QCommandLineOption(u"power-magic-items"_s),
                             QCommandLineOption(u"monstrous-magic-resistance"_s)},
                            TCommandLine::kAnyPositionals);
    const bool oneDie = line.IsSet(u"race"_s) || line.IsSet(u"die"_s);
    if (oneDie) {
        if (!line.IsSet(u"race"_s) || !line.IsSet(u"die"_s))
            throw TUsageError(u"odds of one die needs both --race and --die."_s);
        if (line.PositionalCount() != 0)
            throw TUsageError(u"odds of one die takes no army file."_s);
        if (line.IsSet(u"include-summoned"_s))
            throw TUsageError(u"--include-summoned is for armies."_s);
    } else if (line.PositionalCount() != 1) {
        throw TUsageError(u"odds takes one army file, or --race and --die for one die."_s);
    }
    if (!line.IsSet(u"land"_s) || !line.IsSet(u"result"_s))
        throw TUsageError(u"odds needs --land and --result."_s);
    const Land land = ParseVocabulary<Land>(u"land"_s, line.Value(u"land"_s));
    const ResultType result = ParseVocabulary<ResultType>(u"result"_s, line.Value(u"result"_s));
    const qint32 raceID = oneDie ? IDOption(line, u"race"_s) : 0;
    const qint32 dieID = oneDie ? IDOption(line, u"die"_s) : 0;

    TCatalogue catalogue;
    catalogue.Rules.PowerMagicItems = line.IsSet(u"power-magic-items"_s);
    catalogue.Rules.MonstrousMagicResistance = line.IsSet(u"monstrous-magic-resistance"_s);
    LoadCatalogue(context, line, catalogue);

    if (oneDie) {
        const QString racesPath = line.IsSet(u"races"_s) ? line.Value(u"races"_s) : DefaultRacesPath(context);
        const TDie &die = FindDie(catalogue, racesPath, raceID, dieID);
        try {
            PrintOdds(context.Out, RollOdds(die, land, result));
        } catch (const TKrException &failure) {
            throw TFileProblem(racesPath, failure.Message());
        }
        return 0;
    }

    const QString path = line.Positional(0);
    const std::unique_ptr<TArmy> army = OpenArmy(context, path, catalogue);
    try {
        PrintOdds(context.Out, ArmyOdds(AnalysedDice(army->Dice(), line.IsSet(u"include-summoned"_s)), land, result));
    } catch (const TKrException &failure) {
        throw TFileProblem(path, failure.Message());
    }
    return 0;
}

} // namespace KrTool
