// Drives the tagged value reader with a little program of reads and checks every answer
// against a plain model of the encoding that looks straight at the input bytes. That
// catches the buffer logic handing out wrong bytes at a 4096-byte boundary, a length
// check that lets a value run past the end, or a failure where the bytes were fine.
//
// Input layout:
//   byte 0      length L of the program
//   byte 1      where in the stream the reader starts (the device is already there)
//   L bytes     the program, one operation a byte: the low four bits pick the read,
//               the high four bits the size of a raw read
//   the rest    the stream
// The program repeats until the stream ends, a read fails, or a whole pass reads nothing.

#include "FuzzSupport.h"

#include "KrException.h"
#include "io/DateTimeValue.h"
#include "io/ExtendedFloat.h"

#include <array>
#include <bit>
#include <cmath>
#include <cstring>
#include <optional>

using namespace Qt::StringLiterals;

namespace {

constexpr const char *kTarget = "fuzz_tagged_reader";
constexpr int kMaxSteps = 100000;

enum class TOp : quint8 {
    ReadInteger,
    ReadInt64,
    ReadBoolean,
    ReadFloat,
    ReadDate,
    ReadString,
    ReadRaw,
    ReadListBegin,
    ReadListEnd,
    EndOfList,
    NextValue,
    ReadAny, // whatever the next tag announces, as a generic file walker would
};
constexpr int kOpCount = int(TOp::ReadAny) + 1;

// Sizes around the edges of the reader's buffer and of the input.
constexpr std::array<qsizetype, 16> kRawSizes{0, 1, 2, 3, 4, 6, 8, 10, 16, 64, 255, 1000, 4095, 4096, 4097, 100000};

bool IsIntegerTag(quint8 tag)
{
    return tag == quint8(TValueTag::Int8) || tag == quint8(TValueTag::Int16) || tag == quint8(TValueTag::Int32);
}

bool IsStringTag(quint8 tag)
{
    return tag == quint8(TValueTag::String) || tag == quint8(TValueTag::LongString) ||
           tag == quint8(TValueTag::WideString) || tag == quint8(TValueTag::Utf8String);
}

// What a read should do with the bytes at a position: the number of bytes it takes,
// or nothing when it must fail.
class TModel
{
public:
    explicit TModel(const QByteArray &stream) : FStream(stream) {}

    qint64 Left(qint64 at) const { return FStream.size() - at; }
    std::optional<quint8> Byte(qint64 at) const
    {
        if (at < 0 || at >= FStream.size())
            return std::nullopt;
        return quint8(FStream[at]);
    }
    quint64 LittleEndian(qint64 at, int bytes) const
    {
        quint64 value = 0;
        for (int i = 0; i < bytes; ++i)
            value |= quint64(quint8(FStream[at + i])) << (8 * i);
        return value;
    }
    QByteArray Slice(qint64 at, qint64 size) const { return FStream.mid(at, size); }

    std::optional<qint64> Integer(qint64 at, bool allow64) const
    {
        const auto tag = Byte(at);
        if (!tag)
            return std::nullopt;
        int bytes = 0;
        switch (TValueTag(*tag)) {
        case TValueTag::Int8:
            bytes = 1;
            break;
        case TValueTag::Int16:
            bytes = 2;
            break;
        case TValueTag::Int32:
            bytes = 4;
            break;
        case TValueTag::Int64:
            bytes = allow64 ? 8 : 0;
            break;
        default:
            break;
        }
        if (bytes == 0 || Left(at + 1) < bytes)
            return std::nullopt;
        return 1 + bytes;
    }

    std::optional<qint64> Float(qint64 at) const
    {
        const auto tag = Byte(at);
        if (tag && IsIntegerTag(*tag))
            return Integer(at, false);
        if (tag != quint8(TValueTag::Extended) || Left(at + 1) < 10)
            return std::nullopt;
        return 11;
    }

    std::optional<qint64> String(qint64 at) const
    {
        const auto tag = Byte(at);
        if (!tag)
            return std::nullopt;
        if (*tag == quint8(TValueTag::String)) {
            if (Left(at + 1) < 1)
                return std::nullopt;
            const qint64 length = quint8(FStream[at + 1]);
            if (Left(at + 2) < length)
                return std::nullopt;
            return 2 + length;
        }
        if (!IsStringTag(*tag) || Left(at + 1) < 4)
            return std::nullopt;
        const auto length = qint32(LittleEndian(at + 1, 4));
        const qint64 bytes = qint64(length) * (*tag == quint8(TValueTag::WideString) ? 2 : 1);
        if (length < 0 || Left(at + 5) < bytes)
            return std::nullopt;
        return 5 + bytes;
    }

private:
    const QByteArray &FStream;
};

qint64 SignExtend(quint64 value, int bytes)
{
    const int shift = 64 - 8 * bytes;
    return qint64(value << shift) >> shift;
}

bool SameDouble(double a, double b)
{
    if (std::isnan(a) || std::isnan(b))
        return std::isnan(a) && std::isnan(b);
    return std::bit_cast<quint64>(a) == std::bit_cast<quint64>(b);
}

class TRun
{
public:
    TRun(const QByteArray &stream, TTaggedReader &reader) : FModel(stream), FReader(reader) {}

    // Runs one operation; false once the reader failed (as the model expected).
    bool Step(quint8 code)
    {
        const auto op = TOp(std::min(code & 0x0F, kOpCount - 1));
        const qsizetype rawSize = kRawSizes[size_t(code >> 4)];
        const qint64 before = FReader.Position();
        const std::optional<qint64> expected = Expect(op, before, rawSize);
        try {
            Perform(op, before, rawSize);
        } catch (const TKrException &failure) {
            if (expected)
                FuzzFault(kTarget, "a read failed on bytes that hold a whole value");
            if (!failure.Message().contains(u"offset"_s))
                FuzzFault(kTarget, "a read failure does not name the offset");
            return false;
        }
        if (!expected)
            FuzzFault(kTarget, "a read succeeded on bytes that do not hold a whole value");
        if (FReader.Position() != before + *expected)
            FuzzFault(kTarget, "a read took a different number of bytes than the value has");
        if (FReader.Position() > FReader.Size() || FReader.AtEnd() != (FReader.Position() == FReader.Size()))
            FuzzFault(kTarget, "the reader's position ran past the end");
        return true;
    }

private:
    std::optional<qint64> Expect(TOp op, qint64 at, qsizetype rawSize) const
    {
        const auto tag = FModel.Byte(at);
        switch (op) {
        case TOp::ReadInteger:
            return FModel.Integer(at, false);
        case TOp::ReadInt64:
            return FModel.Integer(at, true);
        case TOp::ReadFloat:
        case TOp::ReadDate:
            return FModel.Float(at);
        case TOp::ReadString:
            return FModel.String(at);
        case TOp::ReadRaw:
            return FModel.Left(at) >= rawSize ? std::optional<qint64>(rawSize) : std::nullopt;
        case TOp::ReadBoolean:
            return tag ? std::optional<qint64>(1) : std::nullopt;
        case TOp::ReadListBegin:
            return tag == quint8(TValueTag::List) ? std::optional<qint64>(1) : std::nullopt;
        case TOp::ReadListEnd:
            return tag == quint8(TValueTag::EndOfList) ? std::optional<qint64>(1) : std::nullopt;
        case TOp::EndOfList:
        case TOp::NextValue:
            return tag ? std::optional<qint64>(0) : std::nullopt;
        case TOp::ReadAny:
            return tag ? Expect(AnyOp(*tag), at, rawSize) : std::nullopt;
        }
        return std::nullopt;
    }

    static TOp AnyOp(quint8 tag)
    {
        switch (TValueTag(tag)) {
        case TValueTag::EndOfList:
            return TOp::ReadListEnd;
        case TValueTag::List:
            return TOp::ReadListBegin;
        case TValueTag::Int8:
        case TValueTag::Int16:
        case TValueTag::Int32:
            return TOp::ReadInteger;
        case TValueTag::Int64:
            return TOp::ReadInt64;
        case TValueTag::Extended:
            return TOp::ReadDate;
        case TValueTag::String:
        case TValueTag::LongString:
        case TValueTag::WideString:
        case TValueTag::Utf8String:
            return TOp::ReadString;
        default:
            return TOp::ReadBoolean; // takes exactly the one unknown tag byte
        }
    }

    void Perform(TOp op, qint64 at, qsizetype rawSize)
    {
        switch (op) {
        case TOp::ReadInteger:
            CheckInteger(FReader.ReadInteger(), at);
            break;
        case TOp::ReadInt64:
            CheckInteger(FReader.ReadInt64(), at);
            break;
        case TOp::ReadBoolean:
            if (FReader.ReadBoolean() != (FModel.Byte(at) == quint8(TValueTag::True)))
                FuzzFault(kTarget, "ReadBoolean answered a different flag than the tag byte says");
            break;
        case TOp::ReadFloat:
            CheckFloat(FReader.ReadFloat(), at);
            break;
        case TOp::ReadDate:
            CheckDate(FReader.ReadDate());
            break;
        case TOp::ReadString:
            CheckString(FReader.ReadString(), at);
            break;
        case TOp::ReadRaw:
            if (FReader.ReadRaw(rawSize, u"raw bytes"_s) != FModel.Slice(at, rawSize))
                FuzzFault(kTarget, "ReadRaw answered other bytes than the stream holds");
            break;
        case TOp::ReadListBegin:
            FReader.ReadListBegin();
            break;
        case TOp::ReadListEnd:
            FReader.ReadListEnd();
            break;
        case TOp::EndOfList:
            if (FReader.EndOfList() != (FModel.Byte(at) == quint8(TValueTag::EndOfList)))
                FuzzFault(kTarget, "EndOfList disagrees with the tag byte");
            break;
        case TOp::NextValue:
            if (quint8(FReader.NextValue()) != FModel.Byte(at))
                FuzzFault(kTarget, "NextValue answered another tag than the stream holds");
            break;
        case TOp::ReadAny: {
            const auto tag = FModel.Byte(at);
            Perform(AnyOp(tag ? *tag : 0), at, rawSize);
            break;
        }
        }
    }

    void CheckInteger(qint64 value, qint64 at) const
    {
        const quint8 tag = *FModel.Byte(at);
        const int bytes = tag == quint8(TValueTag::Int8)    ? 1
                          : tag == quint8(TValueTag::Int16) ? 2
                          : tag == quint8(TValueTag::Int32) ? 4
                                                            : 8;
        if (value != SignExtend(FModel.LittleEndian(at + 1, bytes), bytes))
            FuzzFault(kTarget, "an integer read back as another number");
    }

    void CheckFloat(double value, qint64 at) const
    {
        const quint8 tag = *FModel.Byte(at);
        if (IsIntegerTag(tag)) {
            const int bytes = tag == quint8(TValueTag::Int8) ? 1 : tag == quint8(TValueTag::Int16) ? 2 : 4;
            if (value != double(SignExtend(FModel.LittleEndian(at + 1, bytes), bytes)))
                FuzzFault(kTarget, "an integer read as a float changed its value");
            return;
        }
        TExtendedBytes raw{};
        const QByteArray slice = FModel.Slice(at + 1, qint64(raw.size()));
        std::memcpy(raw.data(), slice.constData(), raw.size());
        if (!SameDouble(value, ExtendedToDouble(raw)))
            FuzzFault(kTarget, "ReadFloat did not convert the bytes in the stream");
        // Every double fits the extended format, so writing it and reading it back is exact.
        if (!SameDouble(ExtendedToDouble(DoubleToExtended(value)), value))
            FuzzFault(kTarget, "a double did not survive the extended format");
    }

    static void CheckDate(const QDateTime &moment)
    {
        // A date read from a file and saved again must read back as the same moment.
        if (moment.isValid() && DaysToDateTime(DateTimeToDays(moment)) != moment)
            FuzzFault(kTarget, "a date did not survive writing and reading it again");
    }

    // 8-bit text: one character a byte; below 0x80 and from 0xA0 on the byte itself, and
    // from 0x80 to 0x9F a printable character of the Western Windows code page (the five
    // bytes it leaves undefined stand for themselves).
    static bool FromCodePage(const QString &text, const QByteArray &bytes)
    {
        if (text.size() != bytes.size())
            return false;
        for (qsizetype i = 0; i < bytes.size(); ++i) {
            const auto byte = quint8(bytes[i]);
            const char16_t shown = text[i].unicode();
            const bool undefined = byte == 0x81 || byte == 0x8D || byte == 0x8F || byte == 0x90 || byte == 0x9D;
            if (byte < 0x80 || byte >= 0xA0 || undefined ? shown != byte : shown < 0x100)
                return false;
        }
        return true;
    }

    void CheckString(const QString &text, qint64 at) const
    {
        const quint8 tag = *FModel.Byte(at);
        if (tag == quint8(TValueTag::String)) {
            const qint64 length = *FModel.Byte(at + 1);
            if (!FromCodePage(text, FModel.Slice(at + 2, length)))
                FuzzFault(kTarget, "a short string read back as other text");
            return;
        }
        const auto length = qint32(FModel.LittleEndian(at + 1, 4));
        if (tag == quint8(TValueTag::LongString) && !FromCodePage(text, FModel.Slice(at + 5, length)))
            FuzzFault(kTarget, "a long string read back as other text");
        if (tag == quint8(TValueTag::Utf8String) && text != QString::fromUtf8(FModel.Slice(at + 5, length)))
            FuzzFault(kTarget, "a UTF-8 string read back as other text");
        if (tag == quint8(TValueTag::WideString) && text.size() != length)
            FuzzFault(kTarget, "a wide string read back with another length");
    }

    TModel FModel;
    TTaggedReader &FReader;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size < 2)
        return 0;
    const QByteArray input = FuzzBytes(data, size);
    const qsizetype programLength = std::min<qsizetype>(quint8(input[0]), input.size() - 2);
    QByteArray program = input.mid(2, programLength);
    if (program.isEmpty())
        program.append(char(TOp::ReadAny));
    const QByteArray stream = input.mid(2 + programLength);
    const qint64 start = quint8(input[1]) % (stream.size() + 1);

    QBuffer buffer;
    buffer.setData(stream);
    buffer.open(QIODevice::ReadOnly);
    buffer.seek(start);
    TTaggedReader reader(buffer);
    if (reader.Position() != start || reader.Size() != stream.size())
        FuzzFault(kTarget, "the reader does not start where the device stands");

    TRun run(stream, reader);
    // Each pass either reads a byte or ends the loop, so this cannot spin; the cap keeps
    // a long program of peeks over a long stream from eating the fuzzer's time.
    int steps = 0;
    for (;;) {
        const qint64 passStart = reader.Position();
        for (const char code : program) {
            if (!run.Step(quint8(code)) || ++steps > kMaxSteps)
                return 0;
        }
        if (reader.AtEnd() || reader.Position() == passStart)
            return 0;
    }
}
