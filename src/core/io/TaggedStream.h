#pragma once

#include "io/FileErrors.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include <array>
#include <cstring>

class QIODevice;

// The tag byte in front of every value of our data files.
enum class TValueTag : quint8 {
    EndOfList = 0,
    List = 1,
    Int8 = 2,
    Int16 = 3,
    Int32 = 4,
    Extended = 5,
    String = 6,
    False = 8,
    True = 9,
    LongString = 12,
    WideString = 18,
    Int64 = 19,
    Utf8String = 20,
};

inline constexpr int kStreamBufferSize = 4096;

// Writes tagged values through a 4096-byte buffer. Nothing reaches the device until the
// buffer fills or Flush() is called; the destructor does not flush, so a write that
// failed half-way never pretends to have finished.
class TTaggedWriter
{
public:
    explicit TTaggedWriter(QIODevice &device);
    TTaggedWriter(const TTaggedWriter &) = delete;
    TTaggedWriter &operator=(const TTaggedWriter &) = delete;

    void WriteListBegin();
    void WriteListEnd();
    // The smallest of the 8-, 16- and 32-bit tags that holds the value.
    void WriteInteger(qint32 value);
    // As WriteInteger while the value fits 32 bits, else the 64-bit tag (counts above
    // 2147483647).
    void WriteInt64(qint64 value);
    void WriteBoolean(bool value);
    void WriteFloat(double value);
    void WriteDate(const QDateTime &moment);
    // Plain 7-bit text as a short or long string, anything else as UTF-8.
    void WriteString(const QString &text);
    void WriteRaw(const void *data, qsizetype size)
    {
        // Most values are a few bytes that fit the buffer: copy them without a call.
        if (size <= kStreamBufferSize - FUsed) {
            std::memcpy(FBuffer.data() + FUsed, data, size_t(size));
            FUsed += int(size);
            return;
        }
        WriteRawAcrossBuffers(data, size);
    }

    void Flush();
    qint64 Position() const { return FWritten + FUsed; }

private:
    void WriteRawAcrossBuffers(const void *data, qsizetype size);
    void WriteTag(TValueTag tag);
    // The tag and then the value's low bytes, little-endian, in one piece.
    void WriteTagged(TValueTag tag, quint64 value, int bytes);

    QIODevice &FDevice;
    std::array<char, kStreamBufferSize> FBuffer{};
    int FUsed = 0;
    qint64 FWritten = 0;
};

// Reads tagged values through a 4096-byte buffer. Every failure is a TFileFormatError
// whose message names what was expected and the byte offset; every length in the file
// is checked against the bytes left before anything is allocated.
class TTaggedReader
{
public:
    explicit TTaggedReader(QIODevice &device);
    TTaggedReader(const TTaggedReader &) = delete;
    TTaggedReader &operator=(const TTaggedReader &) = delete;

    qint64 Position() const { return FBufferStart + FPos; }
    qint64 Size() const { return FSize; }
    qint64 BytesLeft() const { return FSize - Position(); }
    bool AtEnd() const { return BytesLeft() <= 0; }

    // The tag of the next value, left in the stream.
    TValueTag NextValue();
    bool EndOfList() { return NextValue() == TValueTag::EndOfList; }

    void ReadListBegin();
    void ReadListEnd();
    // Accepts the 8-, 16- and 32-bit tags.
    qint32 ReadInteger()
    {
        // Integers are most of every file; decode them straight from the buffer
        // unless they straddle its edge or are not what was asked for.
        if (FLength - FPos >= 5) {
            const auto *at = reinterpret_cast<const quint8 *>(FBuffer.data()) + FPos;
            switch (TValueTag(at[0])) {
            case TValueTag::Int8:
                FPos += 2;
                return qint8(at[1]);
            case TValueTag::Int16:
                FPos += 3;
                return qint16(quint16(at[1] | (at[2] << 8)));
            case TValueTag::Int32:
                FPos += 5;
                return qint32(quint32(at[1]) | (quint32(at[2]) << 8) | (quint32(at[3]) << 16)
                              | (quint32(at[4]) << 24));
            default:
                break;
            }
        }
        return ReadIntegerChecked();
    }
    // Accepts the 8-, 16-, 32- and 64-bit tags.
    qint64 ReadInt64();
    // The true tag is true; any other single tag byte is false.
    bool ReadBoolean()
    {
        if (FPos < FLength)
            return quint8(FBuffer[size_t(FPos++)]) == quint8(TValueTag::True);
        return ReadTag(QStringLiteral("a flag")) == quint8(TValueTag::True);
    }
    // The extended tag, or an integer taken as a float.
    double ReadFloat();
    QDateTime ReadDate();
    // Short, long, wide and UTF-8 strings.
    QString ReadString();
    QByteArray ReadRaw(qsizetype size, const QString &what);

    // Throws a TFileFormatError that names the offset, for checks made by the callers
    // (values out of range and the like).
    [[noreturn]] void Fail(const QString &problem, qint64 offset) const;

private:
    qint32 ReadIntegerChecked();
    quint8 ReadTag(const QString &expected);
    void CheckAvailable(qint64 size, const QString &what, qint64 valueStart) const;
    void CheckClaim(qint64 claimed, const QString &what, qint64 valueStart) const;
    void ReadBytes(void *target, qsizetype size, const QString &what, qint64 valueStart);
    quint64 ReadLittleEndian(int bytes, const QString &what, qint64 valueStart);
    qint32 ReadLength(const QString &what, qint64 valueStart, qint64 unitSize);
    bool FillBuffer();
    [[noreturn]] void UnexpectedTag(quint8 tag, qint64 offset, const QString &expected) const;

    QIODevice &FDevice;
    std::array<char, kStreamBufferSize> FBuffer{};
    qint64 FSize = 0;
    qint64 FBufferStart = 0;
    int FLength = 0;
    int FPos = 0;
};
