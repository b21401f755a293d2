#include "army/ArmyPrint.h"

#include "army/ArmyAnalysis.h"
#include "army/PrintCanvas.h"
#include "dice/DiceData.h"
#include "dice/DieStatistics.h"
#include "shell/ResultMap.h"

#include <QRegularExpression>

#include <algorithm>
#include <array>

using namespace Qt::StringLiterals;

namespace {

constexpr TPrintFont kTitleFont{12, true};
// Only the title switches to size 12 and back; the weight stays bold through the date
// and the table headers, and the column widths are measured in that bold font, so the
// body rows in normal weight always fit their columns.
constexpr TPrintFont kHeadFont{10, true};
constexpr TPrintFont kBodyFont{10, false};
constexpr int kRulePen = 5;
constexpr int kRuleSkip = 9;
// Room the capabilities table needs below the army section, in lines: one per column of
// the result grid and four for its title and rule.
constexpr int kCapabilityLines = kResultTypeCount + 1 + 4;
// The tables shrink no further than this to fit the page.
constexpr int kSmallestTableSize = 6;
// What a text cut to its column ends with.
const QString kCut = u"..."_s;

enum class Align { Left, Right };
constexpr std::array kDiceAlign{Align::Left, Align::Left, Align::Left, Align::Right, Align::Right, Align::Left};
constexpr std::array kChanceAlign{Align::Left, Align::Right};
constexpr int kDiceColumns = int(kDiceAlign.size());
// Name, race, profession and drawer may be cut when nothing else makes the dice fit;
// figures never are.
constexpr std::array kDiceCuttable{true, true, true, false, false, true};

// Lays out one army from the top of the current page.
class TArmyLayout
{
public:
    TArmyLayout(TPrintCanvas &canvas, const TArmyPrintData &army)
        : FCanvas(canvas)
        , FArmy(army)
        , FH(canvas.TextHeight(u"SAMPLE"_s, kBodyFont) * 8 / 7)
        , FMargin(canvas.PixelsPerInch() * 3 / 4)
        , FX0(FMargin)
        , FY(FMargin)
    {}

    void Print()
    {
        Cell(FX0, RightEdge() - FX0, Align::Left,
             FArmy.Name + u":  "_s + QString::number(FArmy.Health) + u" Health "_s + NameOf(FArmy.Type) + u" for "_s +
                 FArmy.GroupName,
             kTitleFont);
        FY += 2 * FH;
        Cell(FX0, RightEdge() - FX0, Align::Left, FArmy.PrintedAt, kHeadFont);
        PrintTables();
        PrintNotes();
        PrintTerrains();

        int y = FY + FH;
        if (y + kCapabilityLines * FH > PageBottom()) {
            FCanvas.NewPage();
            y = FMargin;
        }
        PrintCapabilities(y);
    }

private:
    int PageBottom() const { return FCanvas.PageHeight() - FMargin; }
    // The right margin mirrors the left one; every table keeps inside it.
    int RightEdge() const { return FCanvas.PageWidth() - FMargin; }
    int Width(const QString &text, TPrintFont font) const { return FCanvas.TextWidth(text, font); }

    // The sections that grow with the army (its rows and notes) could run past the foot
    // of the page; a line that would not fit goes to the top of the next page instead.
    // True when it did.
    bool MakeRoom()
    {
        if (FY + FH <= PageBottom())
            return false;
        FCanvas.NewPage();
        FY = FMargin;
        return true;
    }

    // A text wider than its column (only ever one of the columns that may be cut, or a
    // line longer than the page) loses its end.
    void Cell(int x, int width, Align align, const QString &text, TPrintFont font)
    {
        if (text.isEmpty())
            return;
        const QString shown = Width(text, font) <= width ? text : Cut(text, width, font);
        FCanvas.Text(align == Align::Right ? x + width - Width(shown, font) : x, FY, shown, font);
    }

    QString Cut(const QString &text, int width, TPrintFont font) const
    {
        qsizetype keep = text.size();
        while (keep > 0 && Width(text.left(keep) + kCut, font) > width)
            --keep;
        return keep > 0 ? text.left(keep) + kCut : QString();
    }

    int WidestOf(const QString &header, const std::vector<QStringList> &rows, int column,
                 TPrintFont font = kHeadFont) const
    {
        int widest = Width(header, font);
        for (const QStringList &row : rows)
            widest = std::max(widest, Width(row.value(column), font));
        return widest;
    }

    // The dice and the chances side by side, as wide as their widest cells.
    struct TArmyTables
    {
        TPrintFont Head;
        TPrintFont Body;
        int Gap = 0;
        std::array<int, kDiceColumns> DiceW{};
        int CountW = 0;
        std::array<int, 2> ChanceW{};

        int Width(int x0) const
        {
            int width = 0;
            for (const int w : DiceW)
                width += w + Gap;
            return x0 + width + CountW + 2 * Gap + ChanceW[0] + Gap + ChanceW[1];
        }
    };

    // Measured as the layout always did, every cell in the bold of the headers, so the
    // rows in normal weight fit with room to spare; narrower, the rows in their own
    // weight.
    TArmyTables MeasureTables(int pointSize, bool allBold) const
    {
        TArmyTables tables{{pointSize, true}, {pointSize, false}};
        const TPrintFont cells = allBold ? tables.Head : tables.Body;
        tables.Gap = Width(u"  "_s, tables.Head);
        const auto widest = [&](const QString &header, const std::vector<QStringList> &rows, int column) {
            int w = Width(header, tables.Head);
            for (const QStringList &row : rows)
                w = std::max(w, Width(row.value(column), cells));
            return w;
        };
        for (int c = 0; c < kDiceColumns; ++c)
            tables.DiceW[size_t(c)] = widest(FArmy.DiceHeaders.value(c), FArmy.DiceRows, c);
        tables.CountW = Width(u"999"_s, tables.Head);
        for (int c = 0; c < 2; ++c)
            tables.ChanceW[size_t(c)] = widest(FArmy.ChanceHeaders.value(c), FArmy.ChanceRows, c);
        return tables;
    }

    // The tables on the page: narrowed, then in smaller type, and as a last resort the
    // widest texts cut, widest column first, never below its header.
    TArmyTables FitTables() const
    {
        TArmyTables tables = MeasureTables(kBodyFont.PointSize, true);
        for (int size = kBodyFont.PointSize; size >= kSmallestTableSize && tables.Width(FX0) > RightEdge(); --size)
            tables = MeasureTables(size, false);
        std::vector<int *> cuttable;
        std::vector<int> floors;
        for (int c = 0; c < kDiceColumns; ++c) {
            if (kDiceCuttable[size_t(c)]) {
                cuttable.push_back(&tables.DiceW[size_t(c)]);
                floors.push_back(std::max(Width(FArmy.DiceHeaders.value(c), tables.Head), Width(kCut, tables.Body)));
            }
        }
        cuttable.push_back(&tables.ChanceW[0]);
        floors.push_back(std::max(Width(FArmy.ChanceHeaders.value(0), tables.Head), Width(kCut, tables.Body)));
        // A unit at a time off the widest column that can still give, so the columns end
        // as even as their floors allow.
        for (int excess = tables.Width(FX0) - RightEdge(); excess > 0; --excess) {
            size_t widest = cuttable.size();
            for (size_t i = 0; i < cuttable.size(); ++i) {
                if (*cuttable[i] > floors[i] && (widest == cuttable.size() || *cuttable[i] > *cuttable[widest]))
                    widest = i;
            }
            if (widest == cuttable.size())
                break;
            --*cuttable[widest];
        }
        return tables;
    }

    void PrintTables()
    {
        const TArmyTables tables = FitTables();
        const TPrintFont head = tables.Head;
        const TPrintFont body = tables.Body;
        const int gap = tables.Gap;
        std::array<int, kDiceColumns + 1> diceX{};
        const std::array<int, kDiceColumns> &diceW = tables.DiceW;
        diceX[0] = FX0;
        for (int c = 0; c < kDiceColumns; ++c)
            diceX[size_t(c) + 1] = diceX[size_t(c)] + diceW[size_t(c)] + gap;
        const int countX = diceX[kDiceColumns];
        const int countW = tables.CountW;
        const int diceEnd = countX + countW;
        std::array<int, 2> chanceX{};
        const std::array<int, 2> &chanceW = tables.ChanceW;
        chanceX[0] = diceEnd + 2 * gap;
        chanceX[1] = chanceX[0] + chanceW[0] + gap;
        FTableEnd = chanceX[1] + chanceW[1];

        // Rows continued on another page are headed again there.
        const auto header = [&] {
            for (int c = 0; c < kDiceColumns; ++c)
                Cell(diceX[size_t(c)], diceW[size_t(c)], kDiceAlign[size_t(c)], FArmy.DiceHeaders.value(c),
                     head);
            Cell(countX, countW, Align::Right, u"#"_s, head);
            for (int c = 0; c < 2; ++c)
                Cell(chanceX[size_t(c)], chanceW[size_t(c)], kChanceAlign[size_t(c)], FArmy.ChanceHeaders.value(c),
                     head);
            FY += FH;
            FCanvas.Line(FX0, FY, diceEnd, FY, kRulePen);
            FCanvas.Line(chanceX[0], FY, FTableEnd, FY, kRulePen);
            FY += kRuleSkip;
        };
        FY += 2 * FH;
        header();

        const auto &dice = FArmy.DiceRows;
        const auto &chances = FArmy.ChanceRows;
        size_t die = 0;
        size_t chance = 0;
        while (die < dice.size() || chance < chances.size()) {
            if (MakeRoom())
                header();
            if (die < dice.size()) {
                const QStringList &row = dice[die];
                for (int c = 0; c < kDiceColumns; ++c)
                    Cell(diceX[size_t(c)], diceW[size_t(c)], kDiceAlign[size_t(c)], row.value(c), body);
                size_t run = 1;
                while (die + run < dice.size() && dice[die + run].value(0) == row.value(0) &&
                       dice[die + run].value(1) == row.value(1))
                    ++run;
                Cell(countX, countW, Align::Right, QString::number(run), body);
                die += run;
            }
            if (chance < chances.size()) {
                for (int c = 0; c < 2; ++c)
                    Cell(chanceX[size_t(c)], chanceW[size_t(c)], kChanceAlign[size_t(c)], chances[chance].value(c),
                         body);
                ++chance;
            }
            FY += FH;
        }
    }

    // The notes are edited in a memo, so their line breaks are the writer's own: each
    // starts a new printed line, and each paragraph is wrapped by itself.
    void PrintNotes()
    {
        FY += FH;
        if (FArmy.Notes.isEmpty())
            return;
        static const QRegularExpression breaks(u"\r\n|\r|\n"_s);
        const int width = FTableEnd - FX0;
        for (const QString &paragraph : FArmy.Notes.split(breaks)) {
            for (const QString &line : Wrap(paragraph, width)) {
                MakeRoom();
                Cell(FX0, width, Align::Left, line, kBodyFont);
                FY += FH;
            }
        }
    }

    // A line ends before the last blank that still fits; a stretch without a blank that
    // is wider than the line is cut where it stops fitting. An empty paragraph is one
    // empty line.
    QStringList Wrap(const QString &text, int width) const
    {
        QStringList lines;
        qsizetype start = 0;
        const qsizetype length = text.size();
        while (start < length || lines.isEmpty()) {
            const QString rest = text.mid(start);
            if (Width(rest, kBodyFont) <= width) {
                lines << rest;
                break;
            }
            // The longest piece that fits, but never nothing, or wrapping would not end.
            qsizetype fits = 1;
            while (start + fits < length && Width(text.mid(start, fits + 1), kBodyFont) <= width)
                ++fits;
            // The blank just after the piece still ends a line that fits.
            qsizetype end = std::min(start + fits, length - 1);
            while (end > start && text[end] != u' ')
                --end;
            if (end == start)
                end = start + fits;
            lines << text.mid(start, end - start);
            start = end;
            while (start < length && text[start] == u' ')
                ++start;
        }
        return lines;
    }

    void PrintTerrains()
    {
        FY += FH;
        const int valueX = FX0 + Width(u"Major Terrain:**"_s, kBodyFont);
        const auto detail = [&](const QString &label, const QString &value) {
            MakeRoom();
            FCanvas.Text(FX0, FY, label, kBodyFont);
            Cell(valueX, RightEdge() - valueX, Align::Left, value, kBodyFont);
        };
        if (!FArmy.MajorTerrain.isEmpty()) {
            detail(u"Major Terrain:  "_s, FArmy.MajorTerrain);
            FY += FH;
        }
        if (!FArmy.MinorTerrains.isEmpty()) {
            detail(u"Minor Terrains:  "_s, FArmy.MinorTerrains.join(u", "_s));
            FY += FH;
        }
        if (FArmy.BattleSize) {
            FY += FH;
            detail(u"Battle Size:  "_s, QString::number(*FArmy.BattleSize));
        }
    }

    // The result grid turned on its side: its columns become the printed lines, so the
    // fifteen result types run down the page and the eight lands across it.
    void PrintCapabilities(int y)
    {
        FY = y;
        Cell(FX0, RightEdge() - FX0, Align::Left, FArmy.Name + u" Capabilities"_s, kTitleFont);
        FY += 2 * FH;

        const int columns = int(FArmy.ResultHeaders.size());
        const TTurnedTable table = FitTurnedTable();
        const TPrintFont head{table.PointSize, true};
        const TPrintFont body{table.PointSize, false};
        const auto columnX = [&](int c) {
            return c == 0 ? FX0 : FX0 + table.FirstW + table.Gap + (c - 1) * (table.LandW + table.Gap);
        };
        const auto columnW = [&](int c) { return c == 0 ? table.FirstW : table.LandW; };

        for (int c = 0; c < columns; ++c)
            Cell(columnX(c), columnW(c), Align::Left, FArmy.ResultHeaders[c], head);
        FY += FH;
        FCanvas.Line(FX0, FY, table.End, FY, kRulePen);
        FY += kRuleSkip;
        for (const QStringList &row : FArmy.ResultRows) {
            for (int c = 0; c < columns; ++c)
                Cell(columnX(c), columnW(c), Align::Left, row.value(c), body);
            FY += FH;
        }
    }

    struct TTurnedTable
    {
        int PointSize;
        int FirstW;
        int LandW;
        int Gap;
        int End;
    };

    // Every land column is meant to be wide enough for the widest figures the results
    // can show ("99.999/99.999"). On an upright page that makes the table run off the
    // paper with most fonts, so then the figures actually shown set the width, and if
    // even that passes the right edge the table's type gets smaller until it fits.
    TTurnedTable FitTurnedTable() const
    {
        const int columns = int(FArmy.ResultHeaders.size());
        const auto measure = [&](int pointSize, bool reserve) {
            const TPrintFont head{pointSize, true};
            TTurnedTable table{pointSize, WidestOf(FArmy.ResultHeaders.value(0), FArmy.ResultRows, 0, head), 0,
                               Width(u"  "_s, head), 0};
            for (int c = 1; c < columns; ++c) {
                table.LandW =
                    std::max(table.LandW, reserve ? Width(FArmy.ResultHeaders[c], head)
                                                  : WidestOf(FArmy.ResultHeaders[c], FArmy.ResultRows, c, head));
            }
            if (reserve)
                table.LandW = std::max(table.LandW, Width(u"99.999/99.999"_s, head));
            table.End = FX0 + table.FirstW + (columns - 1) * (table.Gap + table.LandW);
            return table;
        };
        TTurnedTable table = measure(kBodyFont.PointSize, true);
        for (int size = kBodyFont.PointSize; size >= kSmallestTableSize && table.End > RightEdge(); --size)
            table = measure(size, false);
        return table;
    }

    TPrintCanvas &FCanvas;
    const TArmyPrintData &FArmy;
    const int FH;
    const int FMargin;
    const int FX0;
    int FY;
    int FTableEnd = 0;
};

// A print job that fails half-way is aborted rather than left open or sent incomplete.
template <typename Body> void PrintDocument(TPrintCanvas &canvas, const QString &title, Body body)
{
    try {
        canvas.BeginDocument(title);
        body();
        canvas.EndDocument();
    } catch (...) {
        canvas.AbortDocument();
        throw;
    }
}

} // namespace

QStringList ArmyDiceHeaders()
{
    return {u"Name"_s, u"Race"_s, u"Profession"_s, u"HP"_s, u"Resist"_s, u"Loc"_s};
}

QStringList ArmyDiceRow(const TDie &die)
{
    return {die.Name,
            die.Race().Name,
            NameOf(die.GetProfession()),
            QString::number(die.Health()),
            QString::asprintf("%5.2f", die.Fraction(EffectFlag::SpellResist) * 100),
            die.Drawer};
}

QString PrintDateText(const QDateTime &moment)
{
    return moment.toString(u"MM/dd/yy hh:mm:ss"_s);
}

TArmyPrintData MakeArmyPrintData(const TArmy &army, const TArmyAnalysis &analysis, const TResultMap &resultMap,
                                 bool showMinimum, const QDateTime &printedAt)
{
    TArmyPrintData data;
    data.Name = army.Name();
    data.Health = army.Health();
    data.Type = army.Type();
    data.GroupName = army.GroupName();
    data.PrintedAt = PrintDateText(printedAt);

    data.DiceHeaders = ArmyDiceHeaders();
    for (const TDie *die : army.Dice())
        data.DiceRows.push_back(ArmyDiceRow(*die));

    data.ChanceHeaders = QStringList{u"Effect"_s, u"%"_s};
    for (int flag = kFirstFractionFlag; flag <= kLastFractionFlag; ++flag)
        data.ChanceRows.push_back({NameOf(EffectFlag(flag)), analysis.ChanceText(EffectFlag(flag))});

    data.ResultHeaders = QStringList{u"Terrain"_s};
    for (int land = 0; land < kLandCount; ++land)
        data.ResultHeaders << NameOf(Land(land));
    for (int position = 1; position <= kResultTypeCount; ++position) {
        const ResultType result = resultMap.ResultAt(position);
        QStringList row{NameOf(result)};
        for (int land = 0; land < kLandCount; ++land)
            row << analysis.CellText(result, Land(land), showMinimum);
        data.ResultRows.push_back(row);
    }

    data.Notes = army.Notes();
    if (HasMajorTerrain(army.Type()))
        data.MajorTerrain = MajorTerrainName(army.MajorTerrain());
    for (int k = 1; k <= 4; ++k) {
        const int minor = army.GetMinorTerrain(k);
        if (minor != TArmy::kNoMinorTerrain)
            data.MinorTerrains << MinorTerrainName(minor);
    }
    if (army.Type() == ArmyType::HomeArmy)
        data.BattleSize = army.BattleSize();
    return data;
}

void PrintArmy(TPrintCanvas &canvas, const TArmyPrintData &army)
{
    PrintDocument(canvas, army.Name, [&] { TArmyLayout(canvas, army).Print(); });
}

void PrintArmyGroup(TPrintCanvas &canvas, const QString &groupName, const std::vector<TArmyPrintData> &armies,
                    const std::function<void(const QString &name)> &printing)
{
    std::vector<const TArmyPrintData *> order;
    for (const TArmyPrintData &army : armies) {
        if (army.GroupName == groupName)
            order.push_back(&army);
    }
    std::stable_sort(order.begin(), order.end(),
                     [](const TArmyPrintData *a, const TArmyPrintData *b) { return a->Type < b->Type; });
    PrintDocument(canvas, groupName, [&] {
        bool first = true;
        for (const TArmyPrintData *army : order) {
            if (printing)
                printing(army->Name);
            if (!first)
                canvas.NewPage();
            first = false;
            TArmyLayout(canvas, *army).Print();
        }
    });
}
