#include "ToolCommon.h"

#include "army/ArmyAnalysis.h"
#include "army/ArmyFile.h"
#include "dice/Catalogue.h"
#include "dice/RaceFile.h"
#include "random/Randomizer.h"

#include <QTextStream>

#include <cmath>
#include <limits>
#include <optional>

namespace KrTool {

namespace {

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

} // namespace

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
    const std::unique_ptr<TArmy> army = OpenArmy(context, path, catalogue);

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

} // namespace KrTool
