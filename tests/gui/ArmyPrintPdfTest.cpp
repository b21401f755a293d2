#include "TestSupport.h"
#include "army/ArmyPrint.h"
#include "army/PrinterCanvas.h"

#include <QFile>
#include <QFontDatabase>
#include <QPageLayout>
#include <QPageSize>
#include <QPrinter>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

TArmyPrintData SampleArmy()
{
    TArmyPrintData army;
    army.Name = u"Iron Host"_s;
    army.Health = 36;
    army.Type = ArmyType::HomeArmy;
    army.GroupName = u"Vale Campaign"_s;
    army.PrintedAt = u"03/07/24 09:05:01"_s;
    army.DiceHeaders = ArmyDiceHeaders();
    const QStringList dice[]{
        {u"Spearman"_s, u"Reedfolk"_s, u"Heavy Troop"_s, u"2"_s, u"16.67"_s, u"A1"_s},
        {u"Spearman"_s, u"Reedfolk"_s, u"Heavy Troop"_s, u"2"_s, u"16.67"_s, u"A1"_s},
        {u"Marsh Archer"_s, u"Reedfolk"_s, u"Archer"_s, u"1"_s, u" 0.00"_s, u"A2"_s},
        {u"Bog Witch"_s, u"Reedfolk"_s, u"Mage"_s, u"3"_s, u"33.33"_s, u"B1"_s},
        {u"Ash Rider"_s, u"Ashen"_s, u"Cavalry"_s, u"4"_s, u" 0.00"_s, u"C7"_s},
    };
    army.DiceRows.assign(std::begin(dice), std::end(dice));
    army.ChanceHeaders = QStringList{u"Effect"_s, u"%"_s};
    for (int flag = int(EffectFlag::SpellResist); flag <= int(EffectFlag::Surprise); ++flag)
        army.ChanceRows.push_back({NameOf(EffectFlag(flag)), QString::asprintf("%6.2f", flag * 3.25)});
    army.ResultHeaders = QStringList{u"Terrain"_s};
    for (int land = 0; land < kLandCount; ++land)
        army.ResultHeaders << NameOf(Land(land));
    for (int result = 0; result < kResultTypeCount; ++result) {
        QStringList row{NameOf(ResultType(result))};
        for (int land = 0; land < kLandCount; ++land)
            row << QString::asprintf("%4.2f/%4.2f", result * 0.75 + land * 0.5, land * 0.31);
        army.ResultRows.push_back(row);
    }
    army.Notes = u"Holds the ford while the hordes gather. The archers stay behind the spearmen; "
                 u"the witch keeps back her spells until the second march.\nRiders: reserve."_s;
    army.MajorTerrain = u"Swampland Temple"_s;
    army.MinorTerrains = QStringList{u"Swampland Bridge"_s, u"Coastland Knoll"_s};
    army.BattleSize = 36;
    return army;
}

// The printer's canvas, with every text it draws checked against the printable area in
// the printer's own font metrics.
class TCheckedCanvas : public TPrinterCanvas
{
public:
    using TPrinterCanvas::TPrinterCanvas;

    void Text(int x, int y, const QString &text, TPrintFont font) override
    {
        const int right = x + TextWidth(text, font);
        if (x < 0 || right > PageWidth() || y + TextHeight(text, font) > PageHeight())
            Outside << u"%1 ends at %2 of %3"_s.arg(text).arg(right).arg(PageWidth());
        Drawn << text;
        TPrinterCanvas::Text(x, y, text, font);
    }

    QStringList Outside;
    QStringList Drawn;
};

// A home army of 36 dice whose names are as long as the sample catalogue's.
TArmyPrintData FullArmy(const QString &name, ArmyType type)
{
    TArmyPrintData army = SampleArmy();
    army.Name = name;
    army.Type = type;
    army.DiceRows.clear();
    const QStringList names{u"Twelve-Sided Footman"_s, u"Deepwater Leviathan"_s, u"Twinstring Marksman"_s,
                            u"Spinebacked Warden"_s, u"Sunthread Acolyte"_s, u"Reed Runner"_s};
    for (int i = 0; i < 36; ++i)
        army.DiceRows.push_back({names[i % names.size()] + u" %1"_s.arg(i), u"Hollowmarsh Folk"_s,
                                 u"Light Missile"_s, u"10"_s, u"33.33"_s, u"Drawer 12B"_s});
    for (QStringList &row : army.ChanceRows)
        row[1] = u"100.00"_s;
    army.MinorTerrains = QStringList{u"Swampland Village"_s, u"Wasteland Village"_s, u"Coastland Bridge"_s,
                                     u"Highland Forest"_s};
    return army;
}

int PageCount(const QByteArray &pdf)
{
    static const QRegularExpression page(u"/Type\\s*/Page[^s]"_s);
    return int(QString::fromLatin1(pdf).count(page));
}

} // namespace

TEST(ArmyPrintPdf, AnArmyPrintsToOnePdfPage)
{
    QTemporaryDir folder;
    const QString path = folder.filePath(u"Iron Host.pdf"_s);
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path);
    {
        TPrinterCanvas canvas(printer, QFontDatabase::systemFont(QFontDatabase::GeneralFont));
        PrintArmy(canvas, SampleArmy());
    }
    const QByteArray pdf = FileBytes(path);
    ASSERT_GT(pdf.size(), 1000);
    EXPECT_TRUE(pdf.startsWith("%PDF"));
    EXPECT_EQ(PageCount(pdf), 1);
}

TEST(ArmyPrintPdf, AnAbortedPrintoutLeavesNoFile)
{
    QTemporaryDir folder;
    const QString path = folder.filePath(u"Group.pdf"_s);
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path);
    TPrinterCanvas canvas(printer, QFont());
    canvas.BeginDocument(u"Group"_s);
    canvas.Text(100, 100, u"half a page"_s, TPrintFont{});
    canvas.AbortDocument();
    EXPECT_FALSE(QFile::exists(path));
}

TEST(ArmyPrintPdf, ArmiesKeepToA4AndLetterPagesBothWays)
{
    QTemporaryDir folder;
    for (const QPageSize::PageSizeId size : {QPageSize::A4, QPageSize::Letter}) {
        for (const QPageLayout::Orientation orientation : {QPageLayout::Portrait, QPageLayout::Landscape}) {
            QPrinter printer(QPrinter::HighResolution);
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(folder.filePath(u"Vale.pdf"_s));
            printer.setPageSize(QPageSize(size));
            printer.setPageOrientation(orientation);
            TCheckedCanvas canvas(printer, QFontDatabase::systemFont(QFontDatabase::GeneralFont));
            PrintArmyGroup(canvas, u"Vale Campaign"_s,
                           {FullArmy(u"Iron Host"_s, ArmyType::HomeArmy), FullArmy(u"Fen Horde"_s, ArmyType::HordeArmy)});
            const std::string page = QPageSize::name(size).toStdString() + (orientation ? " landscape" : " portrait");
            EXPECT_EQ(canvas.Outside, QStringList()) << page;
            EXPECT_EQ(canvas.Drawn.count(u"100.00"_s), 2 * 17) << page;
            EXPECT_EQ(canvas.Drawn.count(u"(none)"_s), 2) << page;
            EXPECT_TRUE(canvas.Drawn.filter(u"..."_s).isEmpty()) << page;
        }
    }
}
