#pragma once

#include "dice/DiceTypes.h"

#include <QString>

#include <vector>

class TTaggedReader;
class TTaggedWriter;

// A face symbol: a named set of effect flags with a description and a points value.
struct TIconDescriptor
{
    QString Name; // empty marks a deleted symbol
    QString Description;
    TEffectSet Effects;
    bool Basic = false; // one of the six built-in symbols; never stored
    qint32 ID = -1;     // position in the symbol table, the number die faces store
    qint32 Points = 0;  // the "Extras" result of a face showing the symbol

    // Copies everything but the ID, which the table gives when the copy is added.
    void Assign(const TIconDescriptor &source);
    bool Has(EffectFlag flag) const { return Effects.Contains(flag); }
    void SetFlags(TEffectSet flags, bool on);
};

// The positions of the basic symbols, which every part of the program uses by name.
namespace BasicIcon {
inline constexpr qint32 ID = 0;
inline constexpr qint32 Magic = 1;
inline constexpr qint32 Melee = 2;
inline constexpr qint32 Missile = 3;
inline constexpr qint32 Move = 4;
inline constexpr qint32 Save = 5;
inline constexpr qint32 Count = 6;
} // namespace BasicIcon

// The symbol table: the six basic symbols at positions 0 to 5, the special symbols
// after them. A symbol's ID is its position, so symbols are never taken out of the
// table; deleting one empties its name.
class TIconTable
{
public:
    TIconTable(); // holds the six basic symbols

    int Count() const { return int(FIcons.size()); }
    const TIconDescriptor *GetIcon(qint32 id) const;
    TIconDescriptor *GetIcon(qint32 id);
    // Appends the symbol, gives it its position as ID and answers the ID.
    qint32 Add(const TIconDescriptor &icon);
    // The position of the last symbol with exactly this name, or -1.
    qint32 IconByName(QStringView name) const;
    // Back to the six basic symbols.
    void Reset();

    // count, a blank and the symbol's name; empty without a symbol.
    static QString FaceText(const TIconDescriptor *icon, int count);
    QString FaceText(qint32 id, int count) const { return FaceText(GetIcon(id), count); }

private:
    std::vector<TIconDescriptor> FIcons;
};

// The special-symbol file: a list of (name, description, 6-byte effect set, points)
// records, one per special symbol with a name, in table order.
// Reading appends every record to the table; the callback, when given, hears each
// symbol's name before and after it is added.
class TIconLoadListener
{
public:
    virtual ~TIconLoadListener() = default;
    virtual void IconLoading(const QString &name) = 0;
    virtual void IconLoaded(const TIconDescriptor &icon) = 0;
};

void ReadIconStream(TTaggedReader &reader, TIconTable &table, TIconLoadListener *listener = nullptr);
void WriteIconStream(TTaggedWriter &writer, const TIconTable &table);
