// The calculator's items and the worksheet's cells, columns and marks.

#include "calc/DiceCalc.h"

#include "dice/DiceData.h"
#include "game/GameData.h"

#include <algorithm>
#include <limits>

using namespace Qt::StringLiterals;

namespace {

QString Capitalised(QString name)
{
    if (!name.isEmpty())
        name[0] = name[0].toUpper();
    return name;
}

} // namespace

// ---------------------------------------------------------------------------------
// Items

TDieCalcDie::TDieCalcDie(const TCalcGameSource &source, TDieInPlay &die)
    : TDieCalcObject(die.HasShowingFace() ? die.Die().FaceSymbolCount(die.Face()) : 0), FSource(&source),
      FID(die.ID()), FCellText(die.CellText()), FFullName(die.FullName())
{
}

TDieCalcDie::TDieCalcDie(const TDieCalcDie &same, qint32 value)
    : TDieCalcObject(value), FSource(same.FSource), FID(same.FID), FCellText(same.FCellText),
      FFullName(same.FFullName)
{
}

TDieInPlay *TDieCalcDie::Die() const
{
    const TGame *game = *FSource ? (*FSource)() : nullptr;
    return game ? dynamic_cast<TDieInPlay *>(game->FindTarget(FID)) : nullptr;
}

TDieInPlay *TDieCalcDie::Look() const
{
    TDieInPlay *die = Die();
    if (die) {
        FCellText = die->CellText();
        FFullName = die->FullName();
    }
    return die;
}

QString TDieCalcDie::GetText() const
{
    Look();
    if (Value > 0)
        return FCellText + u'\n' + QString::number(Value) + u" points"_s;
    return FCellText;
}

QString TDieCalcDie::FullName() const
{
    Look();
    return FFullName;
}

QString TDieCalcBonus::GetText() const
{
    return Spell + u"\n\n\n"_s + QString::number(Value) + u" bonus"_s;
}

TDieCalcCost::TDieCalcCost(const QString &name, qint32 cost) : Name(Capitalised(name)), Cost(cost) {}

QString TDieCalcCost::GetText() const
{
    if (Cost == 0)
        return Name;
    const qint32 n = Total / Cost;
    if (n > 1)
        return QString::number(n) + u' ' + Name + u's';
    if (n == 1)
        return u"1 "_s + Name;
    return u"No "_s + Name + u's';
}

QStringList CalcResultNames()
{
    return {u"Melee Hit"_s,        u"Missile Hit"_s,     u"Save"_s,           u"Maneuver"_s,
            u"Mana Burn"_s,        u"Special"_s,         u"Black Mana"_s,     u"Blue Mana"_s,
            u"Gold Mana"_s,        u"Green Mana"_s,      u"Red Mana"_s,       u"Ashmarch Mana"_s,
            u"Aurelan Mana"_s,     u"Brinewarden Mana"_s, u"Fenhollow Mana"_s, u"Gloamrider Mana"_s,
            u"Mistveil Mana"_s,    u"Sandreaver Mana"_s, u"Silvershade Mana"_s, u"Stoneborn Mana"_s,
            u"Thornwood Mana"_s,   u"Wyrmbrood Mana"_s};
}

QStringList CalcSpellNames()
{
    return {u"Watery Double"_s, u"Wall of Ice"_s,     u"Wind Walk"_s, u"Stoneskin"_s,
            u"Wind Wall"_s,     u"Spirit Furnace"_s, u"Armor"_s};
}

// ---------------------------------------------------------------------------------
// The worksheet

TDieCalcSheet::TDieCalcSheet(TCalcGameSource source, TCalcUI &ui) : FSource(std::move(source)), FUI(ui)
{
    FColumns.push_back({std::make_unique<TDieCalcCost>(u"Unused"_s, 0), {}});
}

TDieCalcSheet::~TDieCalcSheet() = default;

QString TDieCalcSheet::ProposedResult(const TGame &game)
{
    return game.Step() == 0 ? u"Maneuver"_s : u"Hit"_s;
}

void TDieCalcSheet::Open(TArmyInPlay &army, const QString &mainResult)
{
    FColumns.clear();
    FMarks.clear();
    FColumns.push_back({std::make_unique<TDieCalcCost>(u"Unused"_s, 0), {}});
    FColumns.push_back({std::make_unique<TDieCalcCost>(mainResult, 1), {}});
    FTitle = army.FullName();
    for (const auto &die : army.Dice())
        FColumns.front().Items.push_back(std::make_unique<TDieCalcDie>(FSource, *die));
    FRows = std::max(1, army.DieCount());
    FCurrent = {1, 1};
    RecalcColumns();
}

TDieCalcSheet::TColumn *TDieCalcSheet::ColumnAt(int column)
{
    return column >= 1 && column <= ColumnCount() ? &FColumns[size_t(column - 1)] : nullptr;
}

TDieCalcCost *TDieCalcSheet::Cost(int column) const
{
    return column >= 1 && column <= ColumnCount() ? FColumns[size_t(column - 1)].Cost.get() : nullptr;
}

int TDieCalcSheet::ItemCount(int column) const
{
    return column >= 1 && column <= ColumnCount() ? int(FColumns[size_t(column - 1)].Items.size()) : 0;
}

TDieCalcObject *TDieCalcSheet::Item(int column, int row) const
{
    if (row < 1 || row > ItemCount(column))
        return nullptr;
    return FColumns[size_t(column - 1)].Items[size_t(row - 1)].get();
}

TCalcCell TDieCalcSheet::Find(const TDieCalcObject &item) const
{
    for (size_t c = 0; c < FColumns.size(); ++c) {
        const auto &items = FColumns[c].Items;
        const auto found = std::find_if(items.begin(), items.end(), [&](const auto &each) { return each.get() == &item; });
        if (found != items.end())
            return {int(c) + 1, int(found - items.begin()) + 1};
    }
    return {};
}

qint64 TDieCalcSheet::ValueSum() const
{
    qint64 sum = 0;
    for (const TColumn &column : FColumns)
        for (const auto &item : column.Items)
            sum += item->Value;
    return sum;
}

void TDieCalcSheet::SetCurrent(int column, int row)
{
    FCurrent = {column, row};
}

TDieCalcDie *TDieCalcSheet::CurrentDie() const
{
    return dynamic_cast<TDieCalcDie *>(CurrentItem());
}

bool TDieCalcSheet::CanBonus() const
{
    const int count = ItemCount(FCurrent.Column);
    return FCurrent.Column >= 1 && FCurrent.Column <= ColumnCount() && FCurrent.Row >= 1 && FCurrent.Row <= count + 1;
}

bool TDieCalcSheet::IsMarked(const TDieCalcObject &item) const
{
    return std::find(FMarks.begin(), FMarks.end(), &item) != FMarks.end();
}

void TDieCalcSheet::Mark(TDieCalcObject &item)
{
    if (!IsMarked(item) && Find(item).Column > 0)
        FMarks.push_back(&item);
}

void TDieCalcSheet::Unmark(const TDieCalcObject &item)
{
    std::erase(FMarks, &item);
}

void TDieCalcSheet::FollowMarks(const std::vector<TDieCalcObject *> &shown)
{
    std::erase_if(FMarks, [&](const TDieCalcObject *item) {
        return std::find(shown.begin(), shown.end(), item) == shown.end();
    });
    for (TDieCalcObject *item : shown)
        if (item)
            Mark(*item);
}

void TDieCalcSheet::Recalc(TColumn &column)
{
    // Totals are 32-bit, as the header arithmetic expects; a sum beyond that range
    // stops at its edge instead of turning round to the other sign.
    qint64 total = 0;
    for (const auto &item : column.Items)
        total += item->Value;
    column.Cost->Total = qint32(std::clamp<qint64>(total, std::numeric_limits<qint32>::min(),
                                                   std::numeric_limits<qint32>::max()));
}

void TDieCalcSheet::RecalcColumns()
{
    for (TColumn &column : FColumns)
        Recalc(column);
}

void TDieCalcSheet::Grow()
{
    for (const TColumn &column : FColumns)
        FRows = std::max(FRows, int(column.Items.size()));
}

void TDieCalcSheet::Insert(const TCalcCell &cell, std::unique_ptr<TDieCalcObject> item)
{
    TColumn &column = *ColumnAt(cell.Column);
    const size_t at = size_t(std::clamp(cell.Row, 1, int(column.Items.size()) + 1) - 1);
    column.Items.insert(column.Items.begin() + qptrdiff(at), std::move(item));
    Grow();
    Recalc(column);
}

bool TDieCalcSheet::MarkCurrentIfNone()
{
    if (FMarks.empty())
        if (TDieCalcObject *item = CurrentItem())
            FMarks.push_back(item);
    return !FMarks.empty();
}

bool TDieCalcSheet::VerifySource()
{
    const bool marked = MarkCurrentIfNone();
    if (marked)
        FUI.Changed();
    return marked;
}

QStringList TDieCalcSheet::ResultLines() const
{
    QStringList lines{u"Results for "_s + FTitle};
    for (size_t c = 1; c < FColumns.size(); ++c)
        if (FColumns[c].Cost->Total > 0)
            lines << FColumns[c].Cost->GetText();
    return lines;
}

QString TDieCalcSheet::Transmit(const QString &scratchPad, const QString &userEmail) const
{
    TGame *game = FSource ? FSource() : nullptr;
    const bool log = game && game->HasControl(userEmail);
    QString text = scratchPad;
    for (const QString &line : ResultLines()) {
        if (!text.isEmpty())
            text += u"\r\n"_s;
        text += line;
        if (log)
            game->LogLine(u"> "_s + line);
    }
    return text;
}
