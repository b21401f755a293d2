#include "TestSupport.h"

#include <QFile>

#include <memory>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

void PrintTo(const QString &text, std::ostream *out)
{
    *out << '"' << text.toStdString() << '"';
}

QByteArray FileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void WriteFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
    ASSERT_EQ(file.write(bytes), bytes.size());
}

QString Hex(const QByteArray &bytes)
{
    return QString::fromLatin1(bytes.toHex(' ')).toUpper();
}

QByteArray FromHex(const QString &hex)
{
    QString compact = hex;
    compact.remove(u' ');
    return QByteArray::fromHex(compact.toLatin1());
}

QString FailureOf(const std::function<void()> &call)
{
    try {
        call();
    } catch (const TKrException &failure) {
        return failure.Message();
    }
    return u"(no failure)"_s;
}

QString TestDataPath(const QString &name)
{
    return QStringLiteral(KR_TEST_DATA_DIR) + u'/' + name;
}

TDie &AddDie(TRace &race, const QString &name, int health, Profession profession)
{
    auto die = std::make_unique<TDie>(race, name);
    die->SetHealth(health);
    die->SetProfession(profession);
    TDie &added = *die;
    race.AddDie(std::move(die));
    return added;
}
