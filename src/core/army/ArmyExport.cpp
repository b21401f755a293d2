#include "army/ArmyExport.h"

#include "army/ArmyData.h"
#include "dice/DiceData.h"
#include "io/FileAccess.h"
#include "io/FileErrors.h"
#include "shell/QRVUtils.h"

#include <QIODevice>
#include <QRegularExpression>

using namespace Qt::StringLiterals;

namespace {

constexpr qsizetype kLineWidth = 65;
constexpr qsizetype kCutWidth = 66;

// The remainder is always the last line, even when a cut or trailing blanks left it
// empty: readers of earlier exports see the same lines.
void WrapParagraph(QString rest, QStringList &lines)
{
    while (rest.size() > kLineWidth) {
        const qsizetype blank = rest.lastIndexOf(u' ', kLineWidth);
        const qsizetype end = blank < 0 ? kCutWidth : blank;
        lines << rest.left(end);
        qsizetype next = end;
        while (next < rest.size() && rest[next] == u' ')
            ++next;
        rest = rest.mid(next);
    }
    lines << rest;
}

QStringList MinorTerrainNames(const TArmy &army)
{
    QStringList names;
    for (int k = 1; k <= 4; ++k) {
        const int index = army.GetMinorTerrain(k);
        if (index != TArmy::kNoMinorTerrain)
            names << MinorTerrainName(index);
    }
    return names;
}

void AddArmy(const TArmy &army, QStringList &lines)
{
    lines << u"** "_s + army.Name() + u":  "_s + army.HealthText() + u' ' + NameOf(army.Type());
    lines << QString();
    lines << WrapExportNotes(army.Notes());
    lines << QString();
    const std::vector<TDie *> &dice = army.Dice();
    for (size_t i = 0; i < dice.size();) {
        size_t run = 1;
        while (i + run < dice.size() && dice[i + run] == dice[i])
            ++run;
        lines << PadNumber(qint64(run), 4) + u' ' + dice[i]->ListText();
        i += run;
    }
    lines << QString();
    if (HasMajorTerrain(army.Type()))
        lines << u"Terrain:  "_s + MajorTerrainName(army.MajorTerrain()) << QString();
    const QStringList minors = MinorTerrainNames(army);
    if (!minors.isEmpty())
        lines << minors.join(u", "_s) << QString();
}

} // namespace

QStringList WrapExportNotes(const QString &notes)
{
    static const QRegularExpression lineBreak(u"\r\n|\r|\n"_s);
    QStringList lines;
    for (const QString &paragraph : notes.split(lineBreak))
        WrapParagraph(paragraph, lines);
    return lines;
}

QStringList GroupExportLines(const QString &groupName, const std::vector<const TArmy *> &openArmies)
{
    QStringList lines{groupName, QString()};
    for (int type = 0; type < VocabularyCount<ArmyType>(); ++type) {
        for (const TArmy *army : openArmies) {
            if (army->GroupName() == groupName && army->Type() == ArmyType(type))
                AddArmy(*army, lines);
        }
    }
    return lines;
}

QString GroupExportText(const QString &groupName, const std::vector<const TArmy *> &openArmies)
{
    QString text;
    for (const QString &line : GroupExportLines(groupName, openArmies))
        text += line + u"\r\n"_s;
    return text;
}

void ExportGroup(const QString &path, const QString &groupName, const std::vector<const TArmy *> &openArmies)
{
    const QByteArray bytes = GroupExportText(groupName, openArmies).toUtf8();
    SaveFileWith(path, [&](QIODevice &file) {
        if (file.write(bytes) != bytes.size())
            throw TFileAccessError(u"Cannot write \"%1\": %2"_s.arg(path, file.errorString()));
    });
}
