#include "ToolCommon.h"

#include "army/ArmyData.h"
#include "army/ArmyFile.h"
#include "dice/Catalogue.h"
#include "dice/RaceFile.h"
#include "io/FileAccess.h"
#include "io/TaggedStream.h"
#include "shell/DataPaths.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonDocument>
#include <QTextStream>

namespace KrTool {

QCommandLineOption ValueOption(const QString &name, const QString &valueName)
{
    return QCommandLineOption(name, QString(), valueName);
}

void ReadTagged(const QString &path, const std::function<void(TTaggedReader &)> &read,
                TTrailing trailing)
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
    const bool named = line.IsSet(u"races"_s);
    const QString racesPath = named ? line.Value(u"races"_s) : DefaultRacesPath(context);
    // An installed catalogue may have its races in the user's folder and its symbols
    // still in the installed copy: the symbols are looked for where the program reads them.
    const QString iconsBeside = named ? racesPath
                                      : TDataPaths::Resolve(QString(), context.ApplicationDir)
                                            .DataFilePath(QString::fromUtf16(kIconFileName));
    LoadIcons(line, iconsBeside, catalogue.Icons());
    ReadTagged(racesPath, [&](TTaggedReader &reader) { ReadRaceStream(reader, catalogue); });
    catalogue.MakeTerrains();
}

QString Compact(const QString &name)
{
    QString compact;
    for (QChar c : name) {
        if (c.isLetterOrNumber())
            compact += c.toLower();
    }
    return compact;
}

std::unique_ptr<TArmy> OpenArmy(const TContext &context, const QString &path, TCatalogue &catalogue)
{
    int lost = 0;
    std::unique_ptr<TArmy> army;
    try {
        army = OpenArmyFile(path, catalogue, lost);
    } catch (const TKrException &failure) {
        throw TFileProblem(path, failure.Message());
    }
    if (lost > 0)
        context.Err << LostDiceMessage(lost) << u'\n';
    return army;
}

} // namespace KrTool
