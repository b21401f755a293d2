#include "TestSupport.h"
#include "dice/Catalogue.h"
#include "dice/RaceFile.h"
#include "io/TaggedStream.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

// Reads the bytes as a race database into a fresh catalogue; the failure message, or
// empty when the bytes read.
QString RaceFailure(const QByteArray &bytes)
{
    TCatalogue catalogue;
    try {
        ReadFromBytes(bytes, [&](TTaggedReader &r) { ReadRaceStream(r, catalogue); });
    } catch (const TFileFormatError &failure) {
        return failure.Message();
    }
    return {};
}

QString IconFailure(const QByteArray &bytes)
{
    TIconTable table;
    try {
        ReadFromBytes(bytes, [&](TTaggedReader &r) { ReadIconStream(r, table); });
    } catch (const TFileFormatError &failure) {
        return failure.Message();
    }
    return {};
}

QByteArray SmallRaceFile()
{
    TCatalogue catalogue;
    for (int i = 0; i < 2; ++i) {
        auto race = std::make_unique<TRace>(catalogue, i * 300, u"Race %1"_s.arg(i));
        race->Colors = {MagicColor::Gold};
        for (int d = 0; d < 2; ++d) {
            auto die = std::make_unique<TDie>(*race, u"D\u00e9 %1"_s.arg(d));
            die->SetFaceCount(4 + 2 * d);
            die->SetFace(1, 6, 200);
            race->AddDie(std::move(die));
        }
        catalogue.AppendRace(std::move(race));
    }
    return WriteToBytes([&](TTaggedWriter &w) { WriteRaceStream(w, catalogue); });
}

QByteArray SmallIconFile()
{
    TIconTable table;
    for (int i = 0; i < 3; ++i) {
        TIconDescriptor icon;
        icon.Name = u"Symbol %1"_s.arg(i);
        icon.Description = QString(260 * i, u'd');
        icon.Effects = TEffectSet::FromBits(0x0123456789ULL << i);
        icon.Points = -40000 * i;
        table.Add(icon);
    }
    return WriteToBytes([&](TTaggedWriter &w) { WriteIconStream(w, table); });
}

} // namespace

TEST(MalformedFiles, EveryTruncationIsRefused)
{
    for (const QByteArray &file : {SmallRaceFile(), SmallIconFile()}) {
        const bool races = file == SmallRaceFile();
        ASSERT_TRUE((races ? RaceFailure(file) : IconFailure(file)).isEmpty());
        for (qsizetype size = 0; size < file.size(); ++size) {
            const QString failure = races ? RaceFailure(file.left(size)) : IconFailure(file.left(size));
            ASSERT_TRUE(failure.startsWith(u"File ends at offset "_s) || failure.startsWith(u"The length of "_s))
                << (races ? "races" : "icons") << " cut at " << size << ": " << failure.toStdString();
        }
    }
}

TEST(MalformedFiles, NoByteValueAnywhereCrashesAReader)
{
    // Every byte replaced by every tag value and a few others: the readers either read
    // something or refuse the file, and never touch memory they should not (the
    // sanitizers watch).
    const QList<quint8> values{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 12, 18, 19, 20, 0x0D, 0x7F, 0x80, 0xFF};
    for (const QByteArray &file : {SmallRaceFile(), SmallIconFile()}) {
        for (qsizetype at = 0; at < file.size(); ++at) {
            for (quint8 value : values) {
                QByteArray damaged = file;
                damaged[at] = char(value);
                RaceFailure(damaged);
                IconFailure(damaged);
            }
        }
    }
}

TEST(MalformedFiles, TheCollectionIsRefusedByEveryReader)
{
    const QDir folder(TestDataPath(u"malformed"_s));
    const QStringList files = folder.entryList(QDir::Files, QDir::Name);
    ASSERT_GE(files.size(), 10);
    for (const QString &name : files) {
        QFile file(folder.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << name.toStdString();
        const QByteArray bytes = file.readAll();
        EXPECT_FALSE(RaceFailure(bytes).isEmpty()) << name.toStdString() << " read as races";
        EXPECT_FALSE(IconFailure(bytes).isEmpty()) << name.toStdString() << " read as icons";
    }

    auto raceFailure = [&](const QString &name) {
        QFile file(folder.filePath(name));
        file.open(QIODevice::ReadOnly);
        return RaceFailure(file.readAll());
    };
    EXPECT_EQ(raceFailure(u"races-face-count-14.dat"_s), u"Face count 14 of \"D\" is outside 0 to 13 at offset 34.");
    EXPECT_EQ(raceFailure(u"races-giant-name.dat"_s),
              u"The length of a text at offset 5 is 2147483647 bytes but only 2 remain.");
    EXPECT_EQ(raceFailure(u"races-giant-wide-name.dat"_s),
              u"The length of a text at offset 5 is 4294967294 bytes but only 2 remain.");
    EXPECT_EQ(raceFailure(u"races-list-for-integer.dat"_s),
              u"Unexpected value type 1 at offset 3 where an integer was expected.");
    EXPECT_EQ(raceFailure(u"races-bad-profession.dat"_s), u"Profession 200 is out of range at offset 31.");
    EXPECT_EQ(raceFailure(u"races-no-list-end.dat"_s), u"File ends at offset 41 where a value was expected.");
}
