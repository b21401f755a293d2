#include "dice/RaceFile.h"

#include "dice/Catalogue.h"
#include "io/TaggedStream.h"

using namespace Qt::StringLiterals;

namespace {

// A vocabulary number read from the file; anything outside the vocabulary would index
// past its names and tables, so it is refused where it stands.
template <typename E>
E ReadVocabulary(TTaggedReader &reader, const QString &what)
{
    const qint64 offset = reader.Position();
    const qint32 value = reader.ReadInteger();
    if (!IsInVocabulary<E>(value))
        reader.Fail(u"%1 %2 is out of range"_s.arg(what, QString::number(value)), offset);
    return E(value);
}

quint64 ReadBits(TTaggedReader &reader, int bytes, const QString &what)
{
    const QByteArray raw = reader.ReadRaw(bytes, what);
    quint64 bits = 0;
    for (int i = 0; i < bytes; ++i)
        bits |= quint64(quint8(raw[i])) << (8 * i);
    return bits;
}

void WriteBits(TTaggedWriter &writer, quint64 bits, int bytes)
{
    std::array<quint8, 8> raw{};
    for (int i = 0; i < bytes; ++i)
        raw[size_t(i)] = quint8(bits >> (8 * i));
    writer.WriteRaw(raw.data(), bytes);
}

std::unique_ptr<TDie> ReadDie(TTaggedReader &reader, TRace &race)
{
    auto die = std::make_unique<TDie>(race, reader.ReadString());
    const qint32 id = reader.ReadInteger();
    if (id != TDie::kNoID)
        die->AssignID(id);
    die->SetHealth(reader.ReadInteger());
    die->SetProfession(ReadVocabulary<Profession>(reader, u"Profession"_s));
    die->UltraRare = reader.ReadBoolean();

    const qint64 countOffset = reader.Position();
    const qint32 faces = reader.ReadInteger();
    if (faces < 0 || faces > TDie::kMaxFaces) {
        reader.Fail(u"Face count %1 of \"%2\" is outside 0 to %3"_s.arg(
                        QString::number(faces), die->Name, QString::number(TDie::kMaxFaces)),
                    countOffset);
    }
    die->SetFaceCount(faces);
    for (int face = 0; face < faces; ++face) {
        const qint32 symbol = reader.ReadInteger();
        const qint32 count = reader.ReadInteger();
        die->SetFace(face, symbol, count);
    }
    die->InvalidateStatistics();
    return die;
}

std::unique_ptr<TRace> ReadRace(TTaggedReader &reader, TCatalogue &catalogue, TRaceLoadListener *listener)
{
    const qint32 id = reader.ReadInteger();
    auto race = std::make_unique<TRace>(catalogue, id, reader.ReadString());
    if (listener)
        listener->RaceLoading(race->Name);
    race->Colors = TColorSet::FromBits(quint8(ReadBits(reader, 1, u"the racial colours"_s)));
    race->HomeTerrain = ReadVocabulary<Land>(reader, u"Home terrain"_s);
    race->MovesAtHome = ReadVocabulary<MoveEffect>(reader, u"Move effect"_s);
    race->CanDoubleMagic = reader.ReadBoolean();
    race->TerrainMagic = reader.ReadBoolean();
    race->Type = ReadVocabulary<RaceType>(reader, u"Race type"_s);
    race->Armored = reader.ReadBoolean();
    race->Intangible = reader.ReadBoolean();
    race->ReserveAbilities = TResultSet::FromBits(quint16(ReadBits(reader, 2, u"the reserve abilities"_s)));
    race->NextDieID = reader.ReadInteger();

    reader.ReadListBegin();
    while (!reader.EndOfList())
        race->AppendDie(ReadDie(reader, *race));
    reader.ReadListEnd();
    return race;
}

void WriteDie(TTaggedWriter &writer, const TDie &die)
{
    writer.WriteString(die.Name);
    writer.WriteInteger(die.ID());
    writer.WriteInteger(die.Health());
    writer.WriteInteger(qint32(die.GetProfession()));
    writer.WriteBoolean(die.UltraRare);
    writer.WriteInteger(die.FaceCount());
    for (int face = 0; face < die.FaceCount(); ++face) {
        writer.WriteInteger(die.FaceSymbol(face));
        writer.WriteInteger(die.FaceSymbolCount(face));
    }
}

void WriteRace(TTaggedWriter &writer, const TRace &race)
{
    writer.WriteInteger(race.ID);
    writer.WriteString(race.Name);
    WriteBits(writer, race.Colors.ToBits(), 1);
    writer.WriteInteger(qint32(race.HomeTerrain));
    writer.WriteInteger(qint32(race.MovesAtHome));
    writer.WriteBoolean(race.CanDoubleMagic);
    writer.WriteBoolean(race.TerrainMagic);
    writer.WriteInteger(qint32(race.Type));
    writer.WriteBoolean(race.Armored);
    writer.WriteBoolean(race.Intangible);
    WriteBits(writer, race.ReserveAbilities.ToBits(), 2);
    writer.WriteInteger(race.NextDieID);
    writer.WriteListBegin();
    for (const auto &die : race.Dice())
        WriteDie(writer, *die);
    writer.WriteListEnd();
}

} // namespace

void ReadRaceStream(TTaggedReader &reader, TCatalogue &catalogue, TRaceLoadListener *listener)
{
    catalogue.SetNextID(reader.ReadInteger());
    reader.ReadListBegin();
    while (!reader.EndOfList()) {
        TRace &race = catalogue.InsertRace(ReadRace(reader, catalogue, listener));
        if (listener) {
            const qint64 size = reader.Size();
            listener->RaceLoaded(race, size > 0 ? int(reader.Position() * 100 / size) : 100);
        }
    }
    reader.ReadListEnd();
}

void WriteRaceStream(TTaggedWriter &writer, const TCatalogue &catalogue)
{
    writer.WriteInteger(catalogue.PeekNextID());
    writer.WriteListBegin();
    for (const auto &race : catalogue.Races())
        WriteRace(writer, *race);
    writer.WriteListEnd();
}
