#include "shell/WindowRecord.h"

#include <array>

namespace WindowRecord {

QByteArray ToBytes(const QRect &bounds)
{
    const std::array<qint32, 4> values{bounds.x(), bounds.y(), bounds.x() + bounds.width(),
                                       bounds.y() + bounds.height()};
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
    return QRect(values[0], values[1], values[2] - values[0], values[3] - values[1]);
}

} // namespace WindowRecord
