#include "TestSupport.h"
#include "army/ArmyPrint.h"
#include "army/PrinterCanvas.h"

#include <QFile>
#include <QFontDatabase>
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
