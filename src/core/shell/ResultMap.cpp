#include "shell/ResultMap.h"

#include "shell/SettingsStore.h"

#include <QByteArray>

using namespace Qt::StringLiterals;

namespace {
const QString kSettingName = u"ResultMap"_s;
}

TResultMap::TResultMap()
{
    for (int i = 0; i < kResultTypeCount; ++i)
        FPositions[size_t(i)] = i + 1;
}

ResultType TResultMap::ResultAt(int position) const
{
    for (int i = 0; i < kResultTypeCount; ++i) {
        if (FPositions[size_t(i)] == position)
            return ResultType(i);
    }
    return ResultType(0);
}

bool TResultMap::MoveResultColumn(int from, int to)
{
    if (from < 1 || to < 1 || from > kResultTypeCount || to > kResultTypeCount || from == to)
        return false;
    for (qint32 &entry : FPositions) {
        if (entry == from)
            entry = to;
        else if (from < entry && entry <= to)
            --entry;
        else if (to <= entry && entry < from)
            ++entry;
    }
    return true;
}

QByteArray TResultMap::ToBytes() const
{
    QByteArray bytes(kStoredSize, '\0');
    for (int i = 0; i < kResultTypeCount; ++i) {
        const auto value = quint32(FPositions[size_t(i)]);
        for (int b = 0; b < 4; ++b)
            bytes[4 * i + b] = char(quint8(value >> (8 * b)));
    }
    return bytes;
}

bool TResultMap::FromBytes(const QByteArray &bytes)
{
    if (bytes.size() != kStoredSize)
        return false;
    std::array<qint32, kResultTypeCount> positions{};
    std::array<bool, kResultTypeCount + 1> seen{};
    for (int i = 0; i < kResultTypeCount; ++i) {
        quint32 value = 0;
        for (int b = 0; b < 4; ++b)
            value |= quint32(quint8(bytes[4 * i + b])) << (8 * b);
        const auto position = qint32(value);
        // Every window indexes its columns by these positions.
        if (position < 1 || position > kResultTypeCount || seen[size_t(position)])
            return false;
        seen[size_t(position)] = true;
        positions[size_t(i)] = position;
    }
    FPositions = positions;
    return true;
}

void TResultMap::Load(const TSettingsStore &store)
{
    *this = TResultMap();
    if (store.TypeOf(kSettingName) == TSettingType::Binary)
        FromBytes(store.Binary(kSettingName));
}

void TResultMap::Save(TSettingsStore &store) const
{
    store.WriteBinary(kSettingName, ToBytes());
}
