#include "TestSupport.h"
#include "dice/Catalogue.h"
#include "dice/RaceFile.h"
#include "io/TaggedStream.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

QByteArray Write(const TCatalogue &catalogue)
{
    return WriteToBytes([&](TTaggedWriter &w) { WriteRaceStream(w, catalogue); });
}

void Read(const QByteArray &bytes, TCatalogue &catalogue, TRaceLoadListener *listener = nullptr)
{
    ReadFromBytes(bytes, [&](TTaggedReader &r) { ReadRaceStream(r, catalogue, listener); });
}

// A race with every field away from its default, and two dice.
void FillSample(TCatalogue &catalogue)
{
    catalogue.SetNextID(201);
    auto race = std::make_unique<TRace>(catalogue, 200, u"Reedfolk"_s);
    race->Colors = {MagicColor::Blue, MagicColor::Green};
    race->HomeTerrain = Land::Coastland;
    race->MovesAtHome = MoveEffect::AsMissile;
    race->Type = RaceType::Eldarim;
    race->Armored = true;
    auto scout = std::make_unique<TDie>(*race, u"Scout"_s);
    scout->SetHealth(2);
    scout->SetProfession(Profession::LightTroop);
    scout->SetFaceCount(4);
    scout->SetFace(0, BasicIcon::ID, 2);
    scout->SetFace(2, 7, 300);
    scout->SetFace(3, BasicIcon::Melee, 1);
    race->AddDie(std::move(scout));
    auto unnumbered = std::make_unique<TDie>(*race, u"X"_s);
    unnumbered->UltraRare = true;
    unnumbered->SetFaceCount(0);
    race->AppendDie(std::move(unnumbered));
    catalogue.AppendRace(std::move(race));
}

QStringList Describe(const TCatalogue &catalogue)
{
    QStringList lines;
    for (const auto &race : catalogue.Races()) {
        lines << u"%1 %2 t%3 c%4 h%5 m%6 %7%8%9%10 r%11 n%12"_s.arg(
            QString::number(race->ID), race->Name, QString::number(int(race->Type)),
            QString::number(race->Colors.ToBits()), QString::number(int(race->HomeTerrain)),
            QString::number(int(race->MovesAtHome)), race->CanDoubleMagic ? u"D"_s : u"-"_s,
            race->TerrainMagic ? u"T"_s : u"-"_s, race->Armored ? u"A"_s : u"-"_s,
            race->Intangible ? u"I"_s : u"-"_s)
                     .arg(race->ReserveAbilities.ToBits())
                     .arg(race->NextDieID);
        for (const auto &die : race->Dice()) {
            QStringList faces;
            for (int i = 0; i < die->FaceCount(); ++i)
                faces << u"%1x%2"_s.arg(die->FaceSymbolCount(i)).arg(die->FaceSymbol(i));
            lines << u"  %1 %2 h%3 p%4 %5 [%6]"_s.arg(QString::number(die->ID()), die->Name,
                                                      QString::number(die->Health()),
                                                      QString::number(int(die->GetProfession())),
                                                      die->UltraRare ? u"U"_s : u"-"_s, faces.join(u' '));
        }
    }
    return lines;
}

class TRecordingListener : public TRaceLoadListener
{
public:
    void RaceLoading(const QString &name) override { Events << u"Loading "_s + name + u"..."_s; }
    void RaceLoaded(const TRace &race, int percent) override
    {
        Events << race.Name + u' ' + QString::number(percent);
    }
    QStringList Events;
};

} // namespace

TEST(RaceFile, EmptyDatabaseIsFourBytes)
{
    TCatalogue catalogue;
    EXPECT_EQ(Hex(Write(catalogue)), u"02 00 01 00");
}

TEST(RaceFile, BytesOfARaceAndItsDice)
{
    TCatalogue catalogue;
    FillSample(catalogue);
    EXPECT_EQ(Hex(Write(catalogue)),
              u"03 C9 00 01"
              // race ID 200, name, colours, home, move effect, double, terrain magic
              " 03 C8 00 06 08 52 65 65 64 66 6F 6C 6B 0A 02 00 02 01 09 08"
              // type, armoured, intangible, reserve abilities, next die ID, dice
              " 02 03 09 08 1F 03 02 01 01"
              // Scout: ID 0, health 2, Light Troop, not ultra-rare, four faces
              " 06 05 53 63 6F 75 74 02 00 02 02 02 05 08 02 04"
              " 02 00 02 02 02 04 02 01 02 07 03 2C 01 02 02 02 01"
              // a die never numbered: ID -1, health 1, Cavalry, ultra-rare, no faces
              " 06 01 58 02 FF 02 01 02 02 09 02 00"
              " 00 00");
}

TEST(RaceFile, NamesPickTheirTextTag)
{
    TCatalogue catalogue;
    catalogue.InsertRace(std::make_unique<TRace>(catalogue, 0, QString(300, u'n')));
    catalogue.InsertRace(std::make_unique<TRace>(catalogue, 1, u"K\u00f6ln"_s));
    const QByteArray bytes = Write(catalogue);
    EXPECT_EQ(Hex(bytes.left(12)), u"02 00 01 02 01 14 05 00 00 00 4B C3");
    EXPECT_NE(bytes.indexOf(FromHex(u"02 00 0C 2C 01 00 00 6E"_s)), -1);

    TCatalogue loaded;
    Read(bytes, loaded);
    EXPECT_EQ(Describe(loaded), Describe(catalogue));
}

TEST(RaceFile, RoundTripKeepsOrderIdsAndFaces)
{
    TCatalogue catalogue;
    FillSample(catalogue);
    for (int i = 0; i < 5; ++i) {
        auto race = std::make_unique<TRace>(catalogue, 10 + i, u"Race %1"_s.arg(i));
        race->Type = RaceType(i);
        race->Intangible = i % 2 == 1;
        race->TerrainMagic = i == 3;
        race->CanDoubleMagic = i != 2;
        race->ReserveAbilities = TResultSet::FromBits(quint16(0x7FFF >> i));
        for (int d = 0; d < i + 1; ++d) {
            auto die = std::make_unique<TDie>(*race, u"Die %1"_s.arg(d));
            die->SetHealth(d == 4 ? 10 : d + 1);
            die->SetProfession(Profession(d * 2));
            die->SetFaceCount(4 + 2 * d);
            die->SetFace(1, 6 + d, d + 1);
            race->AddDie(std::move(die));
        }
        race->RemoveDie(race->Die(1));
        catalogue.InsertRace(std::move(race));
    }
    const QByteArray bytes = Write(catalogue);
    TCatalogue loaded;
    Read(bytes, loaded);
    EXPECT_EQ(loaded.PeekNextID(), 201);
    EXPECT_EQ(Describe(loaded), Describe(catalogue));
    EXPECT_EQ(Write(loaded), bytes);
    EXPECT_FALSE(loaded.FindRaceByID(200)->Die(1)->StatisticsValid());
}

TEST(RaceFile, ReadingSortsTheRacesAndReportsProgress)
{
    TCatalogue unsorted;
    const std::array<std::pair<RaceType, QString>, 4> races{{{RaceType::MagicItems, u"b"_s},
                                                             {RaceType::NormalUnits, u"a"_s},
                                                             {RaceType::NormalUnits, u"Zulu"_s},
                                                             {RaceType::NormalUnits, u"a"_s}}};
    for (size_t i = 0; i < races.size(); ++i) {
        auto race = std::make_unique<TRace>(unsorted, qint32(i), races[i].second);
        race->Type = races[i].first;
        unsorted.AppendRace(std::move(race));
    }
    TCatalogue loaded;
    TRecordingListener listener;
    Read(Write(unsorted), loaded, &listener);
    QStringList order;
    for (const auto &race : loaded.Races())
        order << QString::number(race->ID) + race->Name;
    EXPECT_EQ(order, (QStringList{u"2Zulu"_s, u"1a"_s, u"3a"_s, u"0b"_s}));
    // Each race's name is announced before it is read; the percentage is of the 95-byte
    // file read so far (22 bytes a race, 25 for Zulu), the list end still to come.
    EXPECT_EQ(listener.Events, (QStringList{u"Loading b..."_s, u"b 26"_s, u"Loading a..."_s, u"a 49"_s,
                                            u"Loading Zulu..."_s, u"Zulu 75"_s, u"Loading a..."_s, u"a 98"_s}));
}

TEST(RaceFile, DamageStopsReadingButKeepsTheRacesBefore)
{
    TCatalogue source;
    for (int i = 0; i < 3; ++i) {
        auto race = std::make_unique<TRace>(source, i, u"R%1"_s.arg(i));
        race->AddDie(std::make_unique<TDie>(*race));
        source.AppendRace(std::move(race));
    }
    const QByteArray bytes = Write(source);
    // Cut inside the second race's die list.
    const qsizetype secondDie = bytes.indexOf("New Unit", bytes.indexOf("R1"));
    TCatalogue loaded;
    const QString failure = FailureOf([&] { Read(bytes.left(secondDie + 4), loaded); });
    EXPECT_EQ(failure, u"The length of a text at offset %1 is 8 bytes but only 4 remain."_s.arg(secondDie - 2));
    ASSERT_EQ(loaded.RaceCount(), 1);
    EXPECT_EQ(loaded.Races().front()->Name, u"R0");
}

TEST(RaceFile, ValuesOutsideTheModelAreRefused)
{
    TCatalogue source;
    auto race = std::make_unique<TRace>(source, 1, u"R"_s);
    auto die = std::make_unique<TDie>(*race, u"Wide"_s);
    die->SetFaceCount(13);
    race->AddDie(std::move(die));
    source.AppendRace(std::move(race));
    const QByteArray bytes = Write(source);

    // The face count 13 (02 0D) becomes 14: more faces than a die has.
    QByteArray fourteen = bytes;
    const qsizetype at = fourteen.indexOf(FromHex(u"08 02 0D"_s)) + 2;
    fourteen[at] = 14;
    TCatalogue loaded;
    EXPECT_EQ(FailureOf([&] { Read(fourteen, loaded); }),
              u"Face count 14 of \"Wide\" is outside 0 to 13 at offset %1."_s.arg(at - 1));
    EXPECT_EQ(loaded.RaceCount(), 0);

    // Profession 2 (Cavalry) becomes 9, past the last profession.
    QByteArray profession = bytes;
    const qsizetype professionAt = profession.indexOf(FromHex(u"02 01 02 02 08"_s)) + 3;
    profession[professionAt] = 9;
    EXPECT_EQ(FailureOf([&] { Read(profession, loaded); }),
              u"Profession 9 is out of range at offset %1."_s.arg(professionAt - 1));

    // The race type byte (after the two flags) becomes 5.
    QByteArray type = bytes;
    const qsizetype typeAt = type.indexOf(FromHex(u"09 08 02 00 08 08"_s)) + 3;
    type[typeAt] = 5;
    EXPECT_EQ(FailureOf([&] { Read(type, loaded); }), u"Race type 5 is out of range at offset %1."_s.arg(typeAt - 1));
}
