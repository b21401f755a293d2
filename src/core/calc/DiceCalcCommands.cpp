// The worksheet's commands: the cell operations, split, clone, bonus, new column and
// the drop of marked cells.

#include "calc/DiceCalc.h"

#include "KrException.h"
#include "dice/Catalogue.h"
#include "dice/DiceData.h"
#include "game/GameData.h"
#include "shell/QRVUtils.h"

#include <algorithm>
#include <limits>

using namespace Qt::StringLiterals;

namespace {

const QString kContext = u"in calculator"_s;

// Values are 32-bit; doubling or adding past the edge stops there rather than wrapping
// round to a count of the other sign.
qint32 Saturated(qint64 value)
{
    return qint32(std::clamp<qint64>(value, std::numeric_limits<qint32>::min(), std::numeric_limits<qint32>::max()));
}

bool NeedsDie(TCalcOperation operation)
{
    return operation == TCalcOperation::Reroll || operation == TCalcOperation::ChangeRoll;
}

} // namespace

void TDieCalcSheet::Guarded(const QString &status, const std::function<void()> &command)
{
    try {
        command();
    } catch (const TKrException &failure) {
        FUI.Show(status);
        FUI.ReportError(failure, kContext);
    }
}

void TDieCalcSheet::ModifyValues(TCalcOperation operation)
{
    if (!MarkCurrentIfNone()) {
        FUI.Beep();
        FUI.Show(u"No cells to process."_s);
        return;
    }
    Guarded(u"Error in calculator."_s, [&] {
        FUI.Changed();
        FUI.Show(u"Processing..."_s);
        int processed = 0;
        int skipped = 0;
        // The marks stay as they are until the last cell is done.
        const std::vector<TDieCalcObject *> marked = FMarks;
        for (TDieCalcObject *item : marked) {
            auto *die = dynamic_cast<TDieCalcDie *>(item);
            // A die that has left the game can still be counted, but not rolled.
            if (!die || (NeedsDie(operation) && !die->Die())) {
                FUI.Show(u"Skipping..."_s);
                ++skipped;
                continue;
            }
            FUI.Show(u"Processing "_s + die->FullName() + u"..."_s);
            Modify(*die, operation);
            Recalc(*ColumnAt(Find(*die).Column));
            FUI.Changed();
            ++processed;
        }
        FUI.Show(u"%1 processed, %2 skipped."_s.arg(processed).arg(skipped));
        FMarks.clear();
        FUI.Changed();
    });
}

void TDieCalcSheet::Modify(TDieCalcDie &item, TCalcOperation operation)
{
    switch (operation) {
    case TCalcOperation::Double:
        item.Value = Saturated(qint64(item.Value) * 2);
        break;
    case TCalcOperation::Halve:
        item.Value /= 2;
        break;
    case TCalcOperation::Clear:
        item.Value = 0;
        break;
    case TCalcOperation::Increase:
        item.Value = Saturated(qint64(item.Value) + 1);
        break;
    case TCalcOperation::Decrease:
        item.Value = Saturated(qint64(item.Value) - 1);
        break;
    case TCalcOperation::Reset:
        item.Value = item.BaseValue;
        break;
    case TCalcOperation::Reroll:
        Reroll(item, false);
        break;
    case TCalcOperation::ChangeRoll:
        Reroll(item, true);
        break;
    }
}

bool TDieCalcSheet::Reroll(TDieCalcDie &item, bool replace)
{
    TDieInPlay *die = item.Die();
    if (!die)
        return false;
    die->Roll();
    FUI.DieRolled(*die);
    const int count = die->HasShowingFace() ? die->Die().FaceSymbolCount(die->Face()) : 0;
    const TIconDescriptor *icon = die->Die().Race().Catalogue().GetIcon(die->ShowingSymbol());
    const bool use =
        FUI.AskYesNo(u"Use "_s + QString::number(count) + u' ' + (icon ? icon->Name : QString()) + u'?');
    if (replace) {
        item.Value = use ? count : 0;
        item.BaseValue = item.Value;
    } else if (use) {
        item.Value = Saturated(qint64(item.Value) + count);
        item.BaseValue = Saturated(qint64(item.BaseValue) + count);
    }
    return true;
}

void TDieCalcSheet::SplitCell()
{
    TDieCalcDie *whole = CurrentDie();
    if (!whole) {
        FUI.Beep();
        return;
    }
    try {
        const qint32 high = Saturated(qint64(whole->Value) - 1);
        const std::optional<qint32> amount = AskBoundedNumber(
            [&](const QString &prompt, const QString &text) {
                return FUI.InputBox(u"Enter split amount."_s, prompt, text);
            },
            u"Enter a number between %1 and %2:"_s.arg(1).arg(high), 1, high, QString());
        if (!amount) {
            FUI.Show(u"Cell split cancelled by user."_s);
            return;
        }
        Insert(FCurrent, std::make_unique<TDieCalcDie>(*whole, *amount));
        whole->Value -= *amount;
        whole->BaseValue = Saturated(qint64(whole->BaseValue) - *amount);
        RecalcColumns();
        FUI.Changed();
    } catch (const TKrException &failure) {
        FUI.Show(u"Error splitting cell."_s);
        FUI.ReportError(failure, kContext);
    }
}

void TDieCalcSheet::CloneCell()
{
    TDieCalcDie *original = CurrentDie();
    if (!original) {
        FUI.Beep();
        return;
    }
    try {
        auto copy = std::make_unique<TDieCalcDie>(*original, original->Value);
        copy->BaseValue = original->BaseValue;
        Insert(FCurrent, std::move(copy));
        FUI.Changed();
    } catch (const TKrException &failure) {
        FUI.Show(u"Error cloning cell."_s);
        FUI.ReportError(failure, kContext);
    }
}

void TDieCalcSheet::CreateBonus()
{
    if (!CanBonus()) {
        FUI.Beep();
        return;
    }
    try {
        const TNumReasonRequest request{Cost(FCurrent.Column)->Name + u" Bonus"_s,
                                        u"Enter name of spell:"_s,
                                        CalcSpellNames(),
                                        u"Enter amount of bonus:"_s,
                                        1,
                                        256,
                                        1};
        const std::optional<TNumReasonAnswer> answer = FUI.AskNumReason(request);
        if (!answer) {
            FUI.Show(u"Spell bonus cancelled by user."_s);
            return;
        }
        Insert(FCurrent, std::make_unique<TDieCalcBonus>(answer->Text, answer->Number));
        FUI.Changed();
    } catch (const TKrException &failure) {
        FUI.Show(u"Error creating spell bonus."_s);
        FUI.ReportError(failure, kContext);
    }
}

void TDieCalcSheet::NewColumn()
{
    Guarded(u"Error in calculator."_s, [&] {
        const TNumReasonRequest request{u"New Column"_s,
                                        u"Enter result name for the new column:"_s,
                                        CalcResultNames(),
                                        u"Enter cost per result:"_s,
                                        0,
                                        12,
                                        1};
        const std::optional<TNumReasonAnswer> answer = FUI.AskNumReason(request);
        if (!answer) {
            FUI.Show(u"Column create cancelled by user."_s);
            return;
        }
        const bool inside = FCurrent.Column >= 1 && FCurrent.Column <= ColumnCount();
        const size_t at = inside ? size_t(FCurrent.Column) : FColumns.size();
        auto cost = std::make_unique<TDieCalcCost>(answer->Text, answer->Number);
        const QString name = cost->Name;
        FColumns.insert(FColumns.begin() + qptrdiff(at), TColumn{std::move(cost), {}});
        Recalc(FColumns[at]);
        FUI.Changed();
        FUI.Show(u"Column created for "_s + name + u'.');
    });
}

void TDieCalcSheet::DropCells(int column, int row)
{
    Guarded(u"Error in calculator."_s, [&] {
        TColumn *target = ColumnAt(column);
        if (!target || FMarks.empty())
            return;
        // The cells go in before the first cell at or below the drop row that stays
        // where it is: dropped below the last cell of the column, that is the end.
        // Taking every marked cell out before putting them back keeps them in marking
        // order even when some come from above the drop row of the same column.
        const size_t from = size_t(std::clamp(row, 1, int(target->Items.size()) + 1) - 1);
        const TDieCalcObject *anchor = nullptr;
        for (size_t i = from; i < target->Items.size() && !anchor; ++i)
            if (!IsMarked(*target->Items[i]))
                anchor = target->Items[i].get();

        std::vector<std::unique_ptr<TDieCalcObject>> moving;
        for (TDieCalcObject *item : FMarks) {
            const TCalcCell cell = Find(*item);
            auto &items = FColumns[size_t(cell.Column - 1)].Items;
            moving.push_back(std::move(items[size_t(cell.Row - 1)]));
            items.erase(items.begin() + cell.Row - 1);
        }
        auto &items = target->Items;
        const auto at = std::find_if(items.begin(), items.end(), [&](const auto &each) { return each.get() == anchor; });
        items.insert(at, std::make_move_iterator(moving.begin()), std::make_move_iterator(moving.end()));
        Grow();
        RecalcColumns();
        FMarks.clear();
        FUI.Changed();
    });
}
