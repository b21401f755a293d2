#pragma once

#include "dice/DiceTypes.h"

#include <array>

class TSettingsStore;

// The display position (1 to 15) of each result type, shared by every window that
// shows results in columns.
class TResultMap
{
public:
    static constexpr int kStoredSize = kResultTypeCount * 4;

    TResultMap(); // the identity order 1..15

    int Position(ResultType result) const { return FPositions[size_t(result)]; }
    // The result type shown at a 1-based position.
    ResultType ResultAt(int position) const;
    const std::array<qint32, kResultTypeCount> &Positions() const { return FPositions; }

    // Moves the column at position from to position to; the columns between shift by
    // one. Nothing happens unless both are real positions (1 to 15); the answer is
    // whether anything moved.
    bool MoveResultColumn(int from, int to);

    // "ResultMap": 15 little-endian 32-bit integers. A value of any other size, or one
    // that is not an order of the 15 positions, is ignored and the identity stays.
    void Load(const TSettingsStore &store);
    void Save(TSettingsStore &store) const;
    QByteArray ToBytes() const;
    bool FromBytes(const QByteArray &bytes);

private:
    std::array<qint32, kResultTypeCount> FPositions{};
};
