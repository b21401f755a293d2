#include "reports/TradeListExport.h"
#include "TestSupport.h"
#include "dice/Catalogue.h"
#include "shell/SettingsStore.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

class TradeListExportTest : public ::testing::Test
{
protected:
    TradeListExportTest()
    {
        Catalogue.MakeTerrains();
        auto race = std::make_unique<TRace>(Catalogue, 7, u"Kin"_s);
        Kin = &Catalogue.AppendRace(std::move(race));
        auto other = std::make_unique<TRace>(Catalogue, 8, u"Empty Ones"_s);
        Catalogue.AppendRace(std::move(other));
    }

    TDie &Row(const QString &name, int health, Profession profession, qint32 diff)
    {
        TDie &die = AddDie(*Kin, name, health, profession);
        die.Diff = diff;
        die.SetPrice(3);
        Rows.push_back(&die);
        return die;
    }
    QString Text(const QByteArray &frame = {})
    {
        Statuses.clear();
        return QString::fromUtf8(TradeListText(Rows, Catalogue, Options, QDate(2024, 12, 1), frame,
                                               [this](const QString &text) { Statuses << text; }));
    }

    TCatalogue Catalogue;
    TRace *Kin = nullptr;
    std::vector<TInventoryData *> Rows;
    TTradeListOptions Options;
    QStringList Statuses;
};

} // namespace

TEST(TradeListOptions, ColoursAndSettingsKeepTheirNamesAndDefaults)
{
    EXPECT_EQ(ColorText(255), u"#FF0000"_s);
    EXPECT_EQ(ColorText(32768), u"#008000"_s);
    EXPECT_EQ(ColorText(0), u"#000000"_s);
    EXPECT_EQ(ColorText(0x123456), u"#563412"_s);
    EXPECT_EQ(ColorFromText(u"#563412"), 0x123456U);
    EXPECT_EQ(ColorFromText(u"#00aaFF"), 0xFFAA00U);
    for (QStringView bad : {u"FF0000", u"#FF000", u"#FF00000", u"#GG0000", u"", u"#-10000"})
        EXPECT_FALSE(ColorFromText(bad).has_value()) << bad.toString().toStdString();

    TMemorySettingsStore empty;
    TTradeListOptions options;
    options.Style = TExportStyle::TextList;
    options.Load(empty);
    EXPECT_EQ(options.Style, TExportStyle::RaceGrids);
    EXPECT_EQ(options.WantColor, 255U);
    EXPECT_EQ(options.DefaultColor, 0U);
    EXPECT_EQ(options.HaveColor, 32768U);
    EXPECT_EQ(options.LockColor, 255U);
    EXPECT_FALSE(options.ShowWidgets);
    EXPECT_TRUE(options.ShowValues);
    EXPECT_EQ(options.WidgetFile, u"view.gif"_s);
    EXPECT_EQ(options.ExportFile, u"trades.htm"_s);
    EXPECT_FALSE(options.TradeForm);
    EXPECT_EQ(options.Script, u"cgi-bin/genform"_s);
    EXPECT_EQ(options.MaxLock, 2);
    EXPECT_FALSE(options.Aggressive || options.IncludeCC || options.JavaScript);
    EXPECT_TRUE(options.FrameFile.isEmpty() && options.Directory.isEmpty());

    options.Style = TExportStyle::PriceGrids;
    options.WantColor = 0x0000AA;
    options.LockColor = 0xAA0000;
    options.ShowValues = false;
    options.MaxLock = 7;
    options.JavaScript = true;
    options.FrameFile = u"frame.htm"_s;
    options.Directory = u"/never/written"_s;
    TMemorySettingsStore store;
    options.Save(store);
    EXPECT_EQ(store.Names(), (QStringList{u"Aggressive"_s, u"ExportFile"_s, u"FrameFile"_s, u"IRXDefaultColor"_s,
                                          u"IRXHaveColor"_s, u"IRXLockColor"_s, u"IRXShowValues"_s,
                                          u"IRXShowWidgets"_s, u"IRXType"_s, u"IRXWantColor"_s, u"IRXWidgetFile"_s,
                                          u"IncludeCC"_s, u"JavaScript"_s, u"MaxLock"_s, u"TradeFormFlag"_s,
                                          u"TradeFormScript"_s}));
    EXPECT_EQ(store.Integer(u"IRXType"_s), 4);
    EXPECT_EQ(store.Integer(u"IRXLockColor"_s), 0xAA0000);
    EXPECT_EQ(store.Integer(u"IRXShowValues"_s), 0);
    TTradeListOptions back;
    back.Load(store);
    EXPECT_EQ(back.Style, TExportStyle::PriceGrids);
    EXPECT_EQ(back.WantColor, 0x0000AAU);
    EXPECT_FALSE(back.ShowValues);
    EXPECT_EQ(back.MaxLock, 7);
    EXPECT_TRUE(back.JavaScript);
    EXPECT_EQ(back.FrameFile, u"frame.htm"_s);
    TTradeListOptions::SaveDirectory(store, u"/home/pat"_s);
    back.Load(store);
    EXPECT_EQ(back.Directory, u"/home/pat"_s);

    // Stored values beyond the dialog's lists come back within them.
    store.WriteInteger(u"IRXType"_s, 6);
    store.WriteInteger(u"MaxLock"_s, 500);
    store.WriteInteger(u"IRXHaveColor"_s, -1);
    back.Load(store);
    EXPECT_EQ(back.Style, TExportStyle::RaceGrids);
    EXPECT_EQ(back.MaxLock, 99);
    EXPECT_EQ(ColorText(back.HaveColor), u"#FFFFFF"_s);

    EXPECT_EQ(ExportFilterIndex(TExportStyle::Announcement), 3);
    EXPECT_EQ(ExportFilterIndex(TExportStyle::CommaSeparatedValues), 1);
    EXPECT_EQ(ExportFilterIndex(TExportStyle::PriceGrids), 2);
    EXPECT_EQ(ExportFilterIndex(TExportStyle::TextList), 3);
}

TEST(TradeListPieces, AnchorsAndFieldKeys)
{
    EXPECT_EQ(HtmlAnchor(u"Ember Kin"_s), u"EmberKin"_s);
    EXPECT_EQ(HtmlAnchor(u"Ember-Kin!"_s), u"EmberKin"_s);
    EXPECT_EQ(HtmlAnchor(u"\u00c9lan 3rd"_s), u"lan3rd"_s);
    EXPECT_EQ(ItemFieldKey(12, 3), u"xx0001200003"_s);
    EXPECT_EQ(ItemFieldKey(123456, 7), u"xx12345600007"_s);
    EXPECT_EQ(ItemFieldKey(-2, 5), u"xx-000200005"_s);
    EXPECT_EQ(ItemFieldKey(-3, 47), u"xx-000300047"_s);
    EXPECT_EQ(ItemFieldKey(3, -7), QString::asprintf("xx%5.5d%5.5d", 3, -7));
    EXPECT_EQ(ItemFieldKey(std::numeric_limits<qint32>::min(), 0), u"xx-214748364800000"_s);
}

TEST_F(TradeListExportTest, EachStyleTellsItsProgress)
{
    Row(u"Spare"_s, 1, Profession::Archer, 2);
    Row(u"Short"_s, 2, Profession::Archer, -1);
    Options.Style = TExportStyle::CommaSeparatedValues;
    Text();
    EXPECT_EQ(Statuses, (QStringList{u"Exporting die #1 of 2..."_s, u"Exporting die #2 of 2..."_s}));
    Options.Style = TExportStyle::Announcement;
    Text();
    EXPECT_EQ(Statuses, (QStringList{u"Processing Spare..."_s, u"Processing Short..."_s}));
    Options.Style = TExportStyle::TextList;
    Text();
    EXPECT_EQ(Statuses, QStringList{u"Processing Short..."_s});
    Options.Style = TExportStyle::RaceLists;
    Text();
    EXPECT_EQ(Statuses, (QStringList{u"Scanning for directory..."_s, u"Processing Kin..."_s,
                                     u"Processing Empty Ones..."_s, u"Processing terrains..."_s}));
}

TEST_F(TradeListExportTest, AFrameIsCopiedLineByLineAroundItsFirstIncludeLine)
{
    Row(u"Spare"_s, 1, Profession::Archer, 2);
    Options.Style = TExportStyle::RaceLists;
    const QString body = Text();
    ASSERT_TRUE(body.startsWith(u"<P>LAST UPDATED Dec 01, 2024\r\n"_s));

    // Line feeds alone, a blank before the include, a second include, no final break.
    const QString framed = Text("<HTML>\n <!--#include one -->\n<!--#include two -->\n<!--#include three\n</HTML>");
    EXPECT_EQ(framed, u"<HTML>\r\n <!--#include one -->\r\n"_s + body + u"<!--#include three\r\n</HTML>\r\n"_s);
    // Bytes of another code page pass through untouched.
    const QByteArray latin = TradeListText(Rows, Catalogue, Options, QDate(2024, 12, 1), "<P>Caf\xe9\r\n");
    EXPECT_TRUE(latin.startsWith("<P>Caf\xe9\r\n<P>LAST UPDATED"));
    // A frame of one empty line gives that line.
    EXPECT_EQ(Text("\n"), u"\r\n"_s + body);
}

TEST_F(TradeListExportTest, ScriptNamesAndOddDiceStayOnThePage)
{
    Row(u"Back\\slash'q\n"_s, 12, Profession::Mage, 1);
    Row(u"Plain"_s, 2, Profession::Mage, 0).Locked = true;
    Options.Style = TExportStyle::RaceGrids;
    Options.TradeForm = true;
    Options.JavaScript = true;
    Options.ShowValues = false;
    const QString page = Text();
    // The script string keeps its backslash, quote and line break as escapes.
    EXPECT_TRUE(page.contains(u"onFocus=\"SetupDie(this,3,'Back\\\\slash\\'q\\n',1,false)\""_s)) << page.toStdString();
    EXPECT_TRUE(page.contains(u"onFocus=\"SetupDie(this,3,'Plain',0,true)\""_s));
    // Health 12 has no row in the grid: the die goes to the side table, and without
    // values the input follows the status directly.
    EXPECT_TRUE(page.contains(u"<TABLE BORDER=2>\r\n<TR>\r\n<TD><FONT COLOR=\"#008000\">Back\\slash'q\n<BR>"
                              u"<B>HAVE 1</B><BR><INPUT TYPE=\"TEXT\" NAME=\"xx0000700000\" SIZE=4"_s))
        << page.toStdString();
    EXPECT_TRUE(page.contains(u"<TR><TD><FONT SIZE=\"-1\">Uncommon</FONT></TD>\r\n<TD><FONT COLOR=\"#FF0000\">Plain"
                              u"<BR>---<BR><INPUT"_s));
}

TEST_F(TradeListExportTest, ExportWritesWholeFilesOrNothing)
{
    Row(u"Spare"_s, 1, Profession::Archer, 2);
    QTemporaryDir folder;
    const QString out = folder.filePath(u"trades.htm"_s);
    WriteFile(out, "old page\r\n");
    Options.Style = TExportStyle::RaceGrids;
    Options.FrameFile = folder.filePath(u"missing.htm"_s);
    EXPECT_TRUE(FailureOf([&] { ExportTradeList(out, Rows, Catalogue, Options, QDate(2024, 1, 2)); })
                    .startsWith(u"Cannot open \""_s + Options.FrameFile));
    EXPECT_EQ(FileBytes(out), QByteArray("old page\r\n"));
    Options.FrameFile = folder.path();
    EXPECT_EQ(FailureOf([&] { ExportTradeList(out, Rows, Catalogue, Options, QDate(2024, 1, 2)); }),
              u"Cannot read \""_s + folder.path() + u"\": it is not a regular file."_s);
    EXPECT_EQ(FileBytes(out), QByteArray("old page\r\n"));

    // The text styles never read the frame.
    Options.Style = TExportStyle::CommaSeparatedValues;
    ExportTradeList(out, Rows, Catalogue, Options, QDate(2024, 1, 2));
    EXPECT_EQ(FileBytes(out),
              QByteArray("\"Kin\", \"Spare\", \"Archer\", \"1\", 2, 3, 0, \"1 ID, 1 Move, 1 Move, 1 Move, 1 Move, "
                         "1 Move\"\r\n"));
    EXPECT_TRUE(FailureOf([&] {
                    ExportTradeList(folder.filePath(u"no/folder.csv"_s), Rows, Catalogue, Options, QDate(2024, 1, 2));
                }).startsWith(u"Cannot write"_s));
}
