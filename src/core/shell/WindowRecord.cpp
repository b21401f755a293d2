#include "shell/WindowRecord.h"

#include <array>

namespace WindowRecord {

QByteArray ToBytes(const QRect &bounds)
{
    // Right and bottom are kept in 32 bits whatever the sum.
    const std::array<qint32, 4> values{bounds.x(), bounds.y(), qint32(quint32(qint64(bounds.x()) + bounds.width())),
                                       qint32(quint32(qint64(bounds.y()) + bounds.height()))};
    QByteArray bytes(kSize, '\0');
    for (size_t i = 0; i < values.size(); ++i) {
        for (int b = 0; b < 4; ++b)
            bytes[qsizetype(4 * i) + b] = char(quint8(quint32(values[i]) >> (8 * b)));
    }
    return bytes;
}

std::optional<QRect> FromBytes(const QByteArray &bytes)
{
    if (bytes.size() != kSize)
        return std::nullopt;
    std::array<qint32, 4> values{};
    for (size_t i = 0; i < values.size(); ++i) {
        quint32 value = 0;
        for (int b = 0; b < 4; ++b)
            value |= quint32(quint8(bytes[qsizetype(4 * i) + b])) << (8 * b);
        values[i] = qint32(value);
    }
    // A width or height that does not fit is no window's: the record is not one.
    const qint64 width = qint64(values[2]) - values[0];
    const qint64 height = qint64(values[3]) - values[1];
    if (width != qint32(width) || height != qint32(height))
        return std::nullopt;
    return QRect(values[0], values[1], qint32(width), qint32(height));
}

} // namespace WindowRecord
