#pragma once

// Reading the JSON that `build` takes: the place of a value for messages, and the members
// of an object read one by one with their types and ranges checked.

#include "KrException.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QJsonValue>
#include <QStringList>

#include <cmath>
#include <limits>

namespace JsonFields {

inline constexpr qint64 kMin32 = std::numeric_limits<qint32>::min();
inline constexpr qint64 kMax32 = std::numeric_limits<qint32>::max();

// Where in the JSON a value sits, for messages such as trades[2].lines[0].count.
inline QString At(const QString &path, const QString &key)
{
    return path.isEmpty() ? key : path + u'.' + key;
}

inline QString At(const QString &path, qsizetype index)
{
    return path + u'[' + QString::number(index) + u']';
}

// 'this is not an "army" file', 'this is not a "group" file'.
inline QString ThisIsNotA(const QString &kind)
{
    const bool vowel = !kind.isEmpty() && QStringLiteral("aeiou").contains(kind.front());
    return QStringLiteral("this is not %1 \"%2\" file").arg(vowel ? QStringLiteral("an") : QStringLiteral("a"), kind);
}

[[noreturn]] inline void Invalid(const QString &path, const QString &problem)
{
    throw TKrException(path + QStringLiteral(": ") + problem);
}

// The members of one JSON object. Every key must be read or passed over on purpose, so
// that a misspelt key is refused rather than silently left at its default.
class TMembers
{
public:
    TMembers(const QJsonValue &value, QString path) : FPath(std::move(path))
    {
        if (!value.isObject())
            Invalid(FPath, QStringLiteral("an object is expected"));
        FObject = value.toObject();
    }

    const QString &Path() const { return FPath; }
    bool Has(const QString &key) const { return FObject.contains(key); }
    void PassOver(const QString &key) { FUsed << key; }

    QJsonValue Value(const QString &key)
    {
        FUsed << key;
        if (!FObject.contains(key))
            Invalid(At(FPath, key), QStringLiteral("missing"));
        return FObject.value(key);
    }

    qint64 Integer(const QString &key, qint64 low, qint64 high)
    {
        const QJsonValue value = Value(key);
        const double number = value.toDouble();
        // Checked without a cast: a double beyond 64 bits does not convert.
        if (!value.isDouble() || number != std::trunc(number))
            Invalid(At(FPath, key), QStringLiteral("a whole number is expected"));
        if (number < double(low) || number > double(high)) {
            Invalid(At(FPath, key),
                    QStringLiteral("%1 is outside %2 to %3")
                        .arg(QString::number(number, 'f', 0), QString::number(low), QString::number(high)));
        }
        return qint64(number);
    }
    qint32 Integer32(const QString &key) { return qint32(Integer(key, kMin32, kMax32)); }
    qint32 Integer32(const QString &key, qint32 absent) { return Has(key) ? Integer32(key) : absent; }

    bool Boolean(const QString &key, bool absent)
    {
        if (!Has(key))
            return absent;
        const QJsonValue value = Value(key);
        if (!value.isBool())
            Invalid(At(FPath, key), QStringLiteral("true or false is expected"));
        return value.toBool();
    }

    QString Text(const QString &key)
    {
        const QJsonValue value = Value(key);
        if (!value.isString())
            Invalid(At(FPath, key), QStringLiteral("a text is expected"));
        return value.toString();
    }
    QString Text(const QString &key, const QString &absent) { return Has(key) ? Text(key) : absent; }

    QJsonArray List(const QString &key)
    {
        const QJsonValue value = Value(key);
        if (!value.isArray())
            Invalid(At(FPath, key), QStringLiteral("a list is expected"));
        return value.toArray();
    }

    void CheckAllUsed() const
    {
        for (const QString &key : FObject.keys()) {
            if (!FUsed.contains(key))
                Invalid(At(FPath, key), QStringLiteral("unknown key"));
        }
    }

private:
    QString FPath;
    QJsonObject FObject;
    QStringList FUsed;
};

// The top level: an optional "kind" that must be ours and an optional "version" (the
// version of the file dumped; building writes the program's own).
inline void ReadHeader(TMembers &members, const QString &kind, qint64 lowVersion, qint64 highVersion)
{
    if (members.Has(QStringLiteral("kind")) && members.Text(QStringLiteral("kind")) != kind)
        Invalid(QStringLiteral("kind"), ThisIsNotA(kind));
    if (members.Has(QStringLiteral("version")))
        members.Integer(QStringLiteral("version"), lowVersion, highVersion);
}

} // namespace JsonFields
