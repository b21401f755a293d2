#include "io/TaggedStream.h"

#include "io/DateTimeValue.h"
#include "io/ExtendedFloat.h"

#include <QIODevice>

#include <cstring>
#include <limits>

using namespace Qt::StringLiterals;

namespace {

const QString kInteger = u"an integer"_s;
const QString kFloat = u"a floating-point number"_s;
const QString kText = u"a text"_s;
const QString kList = u"a list"_s;
const QString kListEnd = u"the end of a list"_s;
const QString kValue = u"a value"_s;

bool IsSevenBit(const QString &text)
{
    for (QChar c : text) {
        if (c.unicode() >= 0x80)
            return false;
    }
    return true;
}

// 8-bit text was written in the Windows code page of Western Europe, where 0x80 to 0x9F
// are printable (quotes, dashes, the euro sign). Read as Latin-1 they would become
// control characters, and the next save would keep them so. The five bytes that page
// leaves undefined stand for themselves.
QString FromCodePage(const QByteArray &bytes)
{
    static constexpr char16_t kHigh[32] = {
        0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
        0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
    QString text(bytes.size(), Qt::Uninitialized);
    QChar *out = text.data();
    for (const char byte : bytes) {
        const auto code = quint8(byte);
        *out++ = QChar(code >= 0x80 && code < 0xA0 ? kHigh[code - 0x80] : char16_t(code));
    }
    return text;
}

} // namespace

// ---------------------------------------------------------------------------------
// TTaggedWriter

TTaggedWriter::TTaggedWriter(QIODevice &device) : FDevice(device) {}

void TTaggedWriter::WriteRawAcrossBuffers(const void *data, qsizetype size)
{
    const char *bytes = static_cast<const char *>(data);
    while (size > 0) {
        if (FUsed == kStreamBufferSize)
            Flush();
        const int chunk = int(std::min<qsizetype>(size, kStreamBufferSize - FUsed));
        std::memcpy(FBuffer.data() + FUsed, bytes, size_t(chunk));
        FUsed += chunk;
        bytes += chunk;
        size -= chunk;
    }
}

void TTaggedWriter::Flush()
{
    if (FUsed == 0)
        return;
    if (FDevice.write(FBuffer.data(), FUsed) != FUsed)
        throw TFileAccessError(u"Cannot write the file: %1"_s.arg(FDevice.errorString()));
    FWritten += FUsed;
    FUsed = 0;
}

void TTaggedWriter::WriteTag(TValueTag tag)
{
    const auto byte = static_cast<quint8>(tag);
    WriteRaw(&byte, 1);
}

void TTaggedWriter::WriteTagged(TValueTag tag, quint64 value, int bytes)
{
    std::array<quint8, 9> out{};
    out[0] = quint8(tag);
    for (int i = 0; i < bytes; ++i)
        out[size_t(i) + 1] = quint8(value >> (8 * i));
    WriteRaw(out.data(), bytes + 1);
}

void TTaggedWriter::WriteListBegin()
{
    WriteTag(TValueTag::List);
}

void TTaggedWriter::WriteListEnd()
{
    WriteTag(TValueTag::EndOfList);
}

void TTaggedWriter::WriteInteger(qint32 value)
{
    if (value >= -128 && value <= 127)
        WriteTagged(TValueTag::Int8, quint64(value), 1);
    else if (value >= -32768 && value <= 32767)
        WriteTagged(TValueTag::Int16, quint64(value), 2);
    else
        WriteTagged(TValueTag::Int32, quint64(value), 4);
}

void TTaggedWriter::WriteInt64(qint64 value)
{
    if (value >= std::numeric_limits<qint32>::min() && value <= std::numeric_limits<qint32>::max()) {
        WriteInteger(qint32(value));
        return;
    }
    WriteTagged(TValueTag::Int64, quint64(value), 8);
}

void TTaggedWriter::WriteBoolean(bool value)
{
    WriteTag(value ? TValueTag::True : TValueTag::False);
}

void TTaggedWriter::WriteFloat(double value)
{
    WriteTag(TValueTag::Extended);
    const TExtendedBytes bytes = DoubleToExtended(value);
    WriteRaw(bytes.data(), qsizetype(bytes.size()));
}

void TTaggedWriter::WriteDate(const QDateTime &moment)
{
    WriteFloat(DateTimeToDays(moment));
}

void TTaggedWriter::WriteString(const QString &text)
{
    if (IsSevenBit(text)) {
        const QByteArray bytes = text.toLatin1();
        if (bytes.size() <= 255)
            WriteTagged(TValueTag::String, quint64(bytes.size()), 1);
        else
            WriteTagged(TValueTag::LongString, quint64(bytes.size()), 4);
        WriteRaw(bytes.constData(), bytes.size());
        return;
    }
    const QByteArray bytes = text.toUtf8();
    WriteTagged(TValueTag::Utf8String, quint64(bytes.size()), 4);
    WriteRaw(bytes.constData(), bytes.size());
}

// ---------------------------------------------------------------------------------
// TTaggedReader

TTaggedReader::TTaggedReader(QIODevice &device) : FDevice(device)
{
    FSize = device.size();
    FBufferStart = device.pos();
}

bool TTaggedReader::FillBuffer()
{
    FBufferStart += FLength;
    FPos = 0;
    FLength = 0;
    const qint64 got = FDevice.read(FBuffer.data(), kStreamBufferSize);
    if (got < 0)
        throw TFileAccessError(u"Cannot read the file: %1"_s.arg(FDevice.errorString()));
    FLength = int(got);
    return FLength > 0;
}

void TTaggedReader::Fail(const QString &problem, qint64 offset) const
{
    throw TFileFormatError(u"%1 at offset %2."_s.arg(problem, QString::number(offset)));
}

void TTaggedReader::UnexpectedTag(quint8 tag, qint64 offset, const QString &expected) const
{
    throw TFileFormatError(u"Unexpected value type %1 at offset %2 where %3 was expected."_s.arg(
        QString::number(tag), QString::number(offset), expected));
}

void TTaggedReader::CheckAvailable(qint64 size, const QString &what, qint64 valueStart) const
{
    if (size > BytesLeft()) {
        throw TFileFormatError(u"File ends at offset %1 inside %2 that starts at offset %3."_s.arg(
            QString::number(FSize), what, QString::number(valueStart)));
    }
}

void TTaggedReader::ReadBytes(void *target, qsizetype size, const QString &what, qint64 valueStart)
{
    CheckAvailable(size, what, valueStart);
    char *out = static_cast<char *>(target);
    while (size > 0) {
        if (FPos == FLength && !FillBuffer()) {
            // The device holds less than its size promised.
            throw TFileFormatError(u"File ends at offset %1 inside %2 that starts at offset %3."_s.arg(
                QString::number(Position()), what, QString::number(valueStart)));
        }
        const int chunk = int(std::min<qsizetype>(size, FLength - FPos));
        std::memcpy(out, FBuffer.data() + FPos, size_t(chunk));
        FPos += chunk;
        out += chunk;
        size -= chunk;
    }
}

quint64 TTaggedReader::ReadLittleEndian(int bytes, const QString &what, qint64 valueStart)
{
    std::array<quint8, 8> in{};
    ReadBytes(in.data(), bytes, what, valueStart);
    quint64 value = 0;
    for (int i = 0; i < bytes; ++i)
        value |= quint64(in[size_t(i)]) << (8 * i);
    return value;
}

TValueTag TTaggedReader::NextValue()
{
    if (FPos == FLength && !FillBuffer())
        throw TFileFormatError(
            u"File ends at offset %1 where %2 was expected."_s.arg(QString::number(Position()), kValue));
    return static_cast<TValueTag>(static_cast<quint8>(FBuffer[size_t(FPos)]));
}

quint8 TTaggedReader::ReadTag(const QString &expected)
{
    if (FPos == FLength && !FillBuffer()) {
        throw TFileFormatError(
            u"File ends at offset %1 where %2 was expected."_s.arg(QString::number(Position()), expected));
    }
    return static_cast<quint8>(FBuffer[size_t(FPos++)]);
}

void TTaggedReader::ReadListBegin()
{
    const qint64 start = Position();
    const quint8 tag = ReadTag(kList);
    if (tag != quint8(TValueTag::List))
        UnexpectedTag(tag, start, kList);
}

void TTaggedReader::ReadListEnd()
{
    const qint64 start = Position();
    const quint8 tag = ReadTag(kListEnd);
    if (tag != quint8(TValueTag::EndOfList))
        UnexpectedTag(tag, start, kListEnd);
}

qint32 TTaggedReader::ReadIntegerChecked()
{
    const qint64 start = Position();
    const quint8 tag = ReadTag(kInteger);
    switch (TValueTag(tag)) {
    case TValueTag::Int8:
        return qint8(ReadLittleEndian(1, kInteger, start));
    case TValueTag::Int16:
        return qint16(ReadLittleEndian(2, kInteger, start));
    case TValueTag::Int32:
        return qint32(ReadLittleEndian(4, kInteger, start));
    default:
        UnexpectedTag(tag, start, kInteger);
    }
}

qint64 TTaggedReader::ReadInt64()
{
    if (NextValue() != TValueTag::Int64)
        return ReadInteger();
    const qint64 start = Position();
    ReadTag(kInteger);
    return qint64(ReadLittleEndian(8, kInteger, start));
}

double TTaggedReader::ReadFloat()
{
    const qint64 start = Position();
    const TValueTag tag = NextValue();
    if (tag == TValueTag::Int8 || tag == TValueTag::Int16 || tag == TValueTag::Int32)
        return double(ReadInteger());
    const quint8 read = ReadTag(kFloat);
    if (read != quint8(TValueTag::Extended))
        UnexpectedTag(read, start, kFloat);
    TExtendedBytes bytes{};
    ReadBytes(bytes.data(), qsizetype(bytes.size()), kFloat, start);
    return ExtendedToDouble(bytes);
}

QDateTime TTaggedReader::ReadDate()
{
    return DaysToDateTime(ReadFloat());
}

qint32 TTaggedReader::ReadLength(const QString &what, qint64 valueStart, qint64 unitSize)
{
    const auto length = qint32(ReadLittleEndian(4, what, valueStart));
    if (length < 0)
        Fail(u"Negative length %1 of %2"_s.arg(QString::number(length), what), valueStart);
    CheckClaim(qint64(length) * unitSize, what, valueStart);
    return length;
}

void TTaggedReader::CheckClaim(qint64 claimed, const QString &what, qint64 valueStart) const
{
    if (claimed > BytesLeft()) {
        throw TFileFormatError(u"The length of %1 at offset %2 is %3 bytes but only %4 remain."_s.arg(
            what, QString::number(valueStart), QString::number(claimed), QString::number(BytesLeft())));
    }
}

QString TTaggedReader::ReadString()
{
    const qint64 start = Position();
    const quint8 tag = ReadTag(kText);
    switch (TValueTag(tag)) {
    case TValueTag::String: {
        const auto length = qint32(ReadLittleEndian(1, kText, start));
        CheckClaim(length, kText, start);
        QByteArray bytes(length, Qt::Uninitialized);
        ReadBytes(bytes.data(), length, kText, start);
        return FromCodePage(bytes);
    }
    case TValueTag::LongString: {
        const qint32 length = ReadLength(kText, start, 1);
        QByteArray bytes(length, Qt::Uninitialized);
        ReadBytes(bytes.data(), length, kText, start);
        return FromCodePage(bytes);
    }
    case TValueTag::Utf8String: {
        const qint32 length = ReadLength(kText, start, 1);
        QByteArray bytes(length, Qt::Uninitialized);
        ReadBytes(bytes.data(), length, kText, start);
        return QString::fromUtf8(bytes);
    }
    case TValueTag::WideString: {
        const qint32 length = ReadLength(kText, start, 2);
        QByteArray bytes(qsizetype(length) * 2, Qt::Uninitialized);
        ReadBytes(bytes.data(), bytes.size(), kText, start);
        QString text(length, Qt::Uninitialized);
        for (qint32 i = 0; i < length; ++i) {
            const auto low = quint8(bytes[2 * i]);
            const auto high = quint8(bytes[2 * i + 1]);
            text[i] = QChar(char16_t(low | (high << 8)));
        }
        return text;
    }
    default:
        UnexpectedTag(tag, start, kText);
    }
}

QByteArray TTaggedReader::ReadRaw(qsizetype size, const QString &what)
{
    const qint64 start = Position();
    CheckAvailable(size, what, start);
    QByteArray bytes(size, Qt::Uninitialized);
    ReadBytes(bytes.data(), size, what, start);
    return bytes;
}
