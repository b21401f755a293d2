#pragma once

// What the krtool commands share: their errors, the parsing of their command lines and
// the loading of the catalogue they work on. Each group of commands lives in a file of
// its own; KrTool.cpp dispatches to them.

#include "KrException.h"
#include "dice/DiceTypes.h"

#include <QCommandLineParser>
#include <QJsonObject>
#include <QStringList>

#include <functional>
#include <memory>

class QTextStream;
class TArmy;
class TCatalogue;
class TIconTable;
class TTaggedReader;
class TTaggedWriter;

namespace KrTool {

using namespace Qt::StringLiterals;

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

struct TContext
{
    QTextStream &Out;
    QTextStream &Err;
    QString ApplicationDir;
};

// Parses the options of one command; positional arguments must number exactly
// `positionals`, unless the command counts them itself (kAnyPositionals).
class TCommandLine
{
public:
    static constexpr int kAnyPositionals = -1;

    TCommandLine(const QString &command, const QStringList &args, const QList<QCommandLineOption> &options,
                 int positionals)
    {
        FParser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
        FParser.addOptions(options);
        if (!FParser.parse(QStringList{u"krtool"_s} + args))
            throw TUsageError(command + u": "_s + FParser.errorText());
        if (positionals != kAnyPositionals && FParser.positionalArguments().size() != positionals)
            throw TUsageError(u"%1 takes %2 file argument(s)."_s.arg(command, QString::number(positionals)));
        if (FParser.positionalArguments().contains(QString()))
            throw TUsageError(command + u": a file name is empty."_s);
    }

    bool IsSet(const QString &name) const { return FParser.isSet(name); }
    QString Value(const QString &name) const { return FParser.value(name); }
    QStringList Values(const QString &name) const { return FParser.values(name); }
    QString Positional(int index) const { return FParser.positionalArguments().at(index); }
    int PositionalCount() const { return int(FParser.positionalArguments().size()); }

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

QCommandLineOption ValueOption(const QString &name, const QString &valueName);

// A dump must show everything in the file, so it refuses bytes after the contents that
// the program itself would silently pass over.
enum class TTrailing { Ignore, Refuse };

void ReadTagged(const QString &path, const std::function<void(TTaggedReader &)> &read,
                TTrailing trailing = TTrailing::Ignore);
void WriteTagged(const QString &path, const std::function<void(TTaggedWriter &)> &write);
// The icon file named by --icons, else the one beside the race database when it exists.
void LoadIcons(const TCommandLine &line, const QString &racesPath, TIconTable &table);
QJsonObject ReadJson(const QString &path);
QString DefaultRacesPath(const TContext &context);
// The catalogue as the program has it once started: symbols, races and terrains.
void LoadCatalogue(const TContext &context, const TCommandLine &line, TCatalogue &catalogue);
// An army file opened as the army window opens it; its lost dice are told on standard
// error as "<n> dice lost.".
std::unique_ptr<TArmy> OpenArmy(const TContext &context, const QString &path, TCatalogue &catalogue);

// The names the user types for searches and styles: any case, blanks and hyphens
// optional ("ultra-rare", "RaceGrids").
QString Compact(const QString &name);

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

// The commands of the other files.
int Stats(const TContext &context, const QStringList &args);
int Analyze(const TContext &context, const QStringList &args);
int Rng(const TContext &context, const QStringList &args);
int ExportAlerts(const TContext &context, const QStringList &args);
int Odds(const TContext &context, const QStringList &args);
int ExportCsv(const TContext &context, const QStringList &args);
int ImportCsv(const TContext &context, const QStringList &args);

} // namespace KrTool
