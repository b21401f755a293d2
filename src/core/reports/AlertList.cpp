#include "reports/AlertList.h"

#include "army/PrintCanvas.h"
#include "dice/Catalogue.h"
#include "inventory/KeepRules.h"

#include <QRegularExpression>

#include <algorithm>
#include <array>
#include <numeric>
#include <unordered_set>

using namespace Qt::StringLiterals;

TAlertSearch AlertSearchOf(qint32 number)
{
    return IsInVocabulary<TAlertSearch>(number) ? TAlertSearch(number) : TAlertSearch::Shortage;
}

bool AlertListed(TAlertSearch search, const TInventoryData &item, qint32 diff, qint32 lookLimit)
{
    const auto *die = dynamic_cast<const TDie *>(&item);
    switch (search) {
    case TAlertSearch::Shortage:
        return diff < 0;
    case TAlertSearch::Surplus:
        return diff > 0;
    case TAlertSearch::Trade:
        return diff != 0;
    case TAlertSearch::UltraRare:
        return die && die->UltraRare;
    case TAlertSearch::Trading:
        return item.Trading;
    case TAlertSearch::All:
        return true;
    case TAlertSearch::Announce:
        return diff != 0 && (!die || die->UltraRare || die->Health() >= 3);
    case TAlertSearch::Locked:
        return item.Locked;
    case TAlertSearch::Owned:
        return item.Count > 0;
    case TAlertSearch::Used:
        return item.UsedCount > 0;
    case TAlertSearch::Looking:
        return diff <= lookLimit;
    }
    return false;
}

void TAlertList::Run(const TCatalogue &catalogue, const TKeepRules &rules,
                     const std::function<void(const QString &)> &status)
{
    const auto say = [&status](const QString &text) {
        if (status)
            status(text);
    };
    FItems.clear();
    const TAlertSearch search = AlertSearchOf(rules.SearchType);
    const auto consider = [&](TInventoryData &item) {
        say(u"Processing "_s + item.Name + u"..."_s);
        item.Diff = Surplus(item, rules);
        if (AlertListed(search, item, item.Diff, rules.LookLimit) && !item.IsVirtual())
            FItems.push_back(&item);
    };
    say(u"Processing army dice..."_s);
    TDieTraversal walk(catalogue);
    for (TDie *die = walk.First(); die; die = walk.Next())
        consider(*die);
    say(u"Processing minor terrains..."_s);
    for (int i = 0; i < TTerrain::kMinorCount; ++i) {
        if (TTerrain *terrain = catalogue.MinorTerrain(i))
            consider(*terrain);
    }
    say(u"Processing major terrains..."_s);
    for (int i = 0; i < TTerrain::kMajorCount; ++i) {
        if (TTerrain *terrain = catalogue.MajorTerrain(i))
            consider(*terrain);
    }
}

TInventoryData *TAlertList::Item(int index) const
{
    return index >= 0 && index < Count() ? FItems[size_t(index)] : nullptr;
}

void TAlertList::Remove(int index)
{
    if (index >= 0 && index < Count())
        FItems.erase(FItems.begin() + index);
}

void TAlertList::Sort(int column, bool ascending)
{
    std::vector<QString> texts;
    texts.reserve(FItems.size());
    for (const TInventoryData *item : FItems)
        texts.push_back(CellText(*item, column));
    std::vector<size_t> order(FItems.size());
    std::iota(order.begin(), order.end(), size_t(0));
    // A stable sort gives what an insertion sort gives: equal texts stay in list order,
    // in either direction.
    std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) {
        const int compared = QString::compare(texts[a], texts[b], Qt::CaseSensitive);
        return ascending ? compared < 0 : compared > 0;
    });
    std::vector<TInventoryData *> sorted;
    sorted.reserve(FItems.size());
    for (size_t index : order)
        sorted.push_back(FItems[index]);
    FItems = std::move(sorted);
}

int TAlertList::ForgetMissing(const TCatalogue &catalogue)
{
    std::unordered_set<const TInventoryData *> present;
    TDieTraversal walk(catalogue);
    for (const TDie *die = walk.First(); die; die = walk.Next())
        present.insert(die);
    for (int i = 0; i < TTerrain::kMinorCount; ++i)
        present.insert(catalogue.MinorTerrain(i));
    for (int i = 0; i < TTerrain::kMajorCount; ++i)
        present.insert(catalogue.MajorTerrain(i));
    const auto gone = std::remove_if(FItems.begin(), FItems.end(),
                                     [&present](const TInventoryData *item) { return !present.contains(item); });
    const int count = int(FItems.end() - gone);
    FItems.erase(gone, FItems.end());
    return count;
}

QStringList TAlertList::Headers()
{
    return {QString(),        u"Name"_s, u"Type"_s,  u"Profession"_s, u"SZ"_s,
            u"Count"_s,       u"Diff"_s, u"Points"_s};
}

QString TAlertList::CellText(const TInventoryData &item, int column)
{
    switch (column) {
    case 0:
        return item.Trading ? u"*"_s : u" "_s;
    case 1:
        return item.Name;
    case 2:
        return item.GroupText();
    case 3:
        return item.KindText();
    case 4:
        return item.SizeText();
    case 5:
        return QString::number(item.Count) + u'/' + QString::number(item.UsedCount);
    case 6: {
        const QChar sign = item.Diff < 0 ? u'-' : item.Diff > 0 ? u'+' : u' ';
        return sign + QString::number(qAbs(qint64(item.Diff))).rightJustified(3, u' ');
    }
    case 7:
        return QString::number(item.Price()).rightJustified(6, u' ');
    default:
        return {};
    }
}

QStringList TAlertList::RowTexts(const TInventoryData &item)
{
    QStringList row;
    for (int column = 0; column < kColumns; ++column)
        row << CellText(item, column);
    return row;
}

TAlertPrintData MakeAlertPrintData(const TAlertList &list, const QString &userAddress, const QString &printedAt)
{
    TAlertPrintData data;
    data.Headers = TAlertList::Headers();
    data.Rows.reserve(size_t(list.Count()));
    for (const TInventoryData *item : list.Items())
        data.Rows.push_back(TAlertList::RowTexts(*item));
    static const QRegularExpression lineBreak(u"\r\n|\r|\n"_s);
    data.Address = userAddress.section(lineBreak, 0, 0);
    data.PrintedAt = printedAt;
    return data;
}

namespace {

constexpr TPrintFont kTitleFont{12, true};
constexpr TPrintFont kHeadFont{10, true};
constexpr TPrintFont kBodyFont{10, false};
constexpr int kHeaderRulePen = 5;
constexpr int kHeaderRuleSkip = 9;
// The name, race, profession and mark read from the left; sizes, counts and numbers
// line up on the right.
constexpr int kFirstRightColumn = 4;

class TAlertLayout
{
public:
    TAlertLayout(TPrintCanvas &canvas, const TAlertPrintData &data)
        : FCanvas(canvas)
        , FData(data)
        , FH(canvas.TextHeight(u"SAMPLE"_s, kBodyFont) * 8 / 7)
        , FMargin(canvas.PixelsPerInch() * 3 / 4)
    {
        // Each text is measured in the font it is printed in: headers bold, rows not.
        const int gap = canvas.TextWidth(u"   "_s, kBodyFont);
        int x = FMargin;
        for (int c = 0; c < TAlertList::kColumns; ++c) {
            int widest = canvas.TextWidth(FData.Headers.value(c), kHeadFont);
            for (const QStringList &row : FData.Rows)
                widest = std::max(widest, canvas.TextWidth(row.value(c), kBodyFont));
            FX[size_t(c)] = x;
            FW[size_t(c)] = widest;
            x += widest + (c + 1 < TAlertList::kColumns ? gap : 0);
        }
        FRight = x;
    }

    void Print()
    {
        FCanvas.BeginDocument(u"Tarrowind Inventory"_s);
        try {
            Header();
            for (const QStringList &row : FData.Rows) {
                if (FY >= FCanvas.PageHeight() - FMargin) {
                    FCanvas.NewPage();
                    Header();
                }
                Cells(row, kBodyFont);
                FY += FH;
                FCanvas.Line(FMargin, FY, FRight, FY, 1);
                FY += 1;
            }
            FCanvas.EndDocument();
        } catch (...) {
            FCanvas.AbortDocument();
            throw;
        }
    }

private:
    void Header()
    {
        ++FPage;
        FY = FMargin;
        FCanvas.Text(FMargin, FY,
                     u"Inventory Alert List:  "_s + FData.PrintedAt + u" page "_s + QString::number(FPage),
                     kTitleFont);
        FY += 3 * FH;
        if (!FData.Address.isEmpty()) {
            FCanvas.Text(FMargin, FY, FData.Address, kHeadFont);
            FY += 2 * FH;
        }
        Cells(FData.Headers, kHeadFont);
        FY += FH;
        FCanvas.Line(FMargin, FY, FRight, FY, kHeaderRulePen);
        FY += kHeaderRuleSkip;
    }

    void Cells(const QStringList &row, TPrintFont font)
    {
        for (int c = 0; c < TAlertList::kColumns; ++c) {
            const QString text = row.value(c);
            if (text.isEmpty())
                continue;
            int x = FX[size_t(c)];
            if (c >= kFirstRightColumn)
                x += FW[size_t(c)] - FCanvas.TextWidth(text, font);
            FCanvas.Text(x, FY, text, font);
        }
    }

    TPrintCanvas &FCanvas;
    const TAlertPrintData &FData;
    const int FH;
    const int FMargin;
    std::array<int, TAlertList::kColumns> FX{};
    std::array<int, TAlertList::kColumns> FW{};
    int FRight = 0;
    int FY = 0;
    int FPage = 0;
};

} // namespace

void PrintAlertList(TPrintCanvas &canvas, const TAlertPrintData &data)
{
    TAlertLayout(canvas, data).Print();
}
