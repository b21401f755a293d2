#include "game/GameLog.h"

#include "game/GameData.h"
#include "io/FileErrors.h"

#include <QFile>

using namespace Qt::StringLiterals;

QString JoinLines(const QStringList &lines)
{
    QString text;
    for (const QString &line : lines)
        text += line + u"\r\n"_s;
    return text;
}

void AppendLogFile(const QString &path, const QStringList &lines)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append))
        throw TFileAccessError(u"Cannot open \"%1\" for writing: %2"_s.arg(path, file.errorString()));
    const QByteArray bytes = JoinLines(lines).toUtf8();
    if (file.write(bytes) != bytes.size() || !file.flush())
        throw TFileAccessError(u"Cannot write \"%1\": %2"_s.arg(path, file.errorString()));
}

QStringList GameStatusLines(const TGame &game)
{
    QStringList lines{u"Transmitting game status during round "_s + QString::number(game.Round()) + u'.'};
    for (const TTerrainInPlay *place : game.ListPlaces(false)) {
        bool headed = false;
        const auto head = [&] {
            if (headed)
                return;
            headed = true;
            QString header = u"*** "_s + place->FullName();
            if (const TTerrain *terrain = place->TerrainDie())
                header += u":  "_s + terrain->Name + u" on "_s + place->FaceText();
            lines << header;
        };
        for (const auto &dragon : place->Dragons()) {
            head();
            lines << u"    "_s + dragon->ReferenceText();
        }
        for (const auto &army : place->Armies()) {
            const qint32 health = army->Health();
            if (health <= 0)
                continue;
            head();
            lines << u" ** "_s + army->CellText() + u":  "_s + QString::number(health) + u" health"_s;
            for (const auto &die : army->Dice())
                lines << u"    "_s + die->ReferenceText();
        }
    }
    return lines;
}
