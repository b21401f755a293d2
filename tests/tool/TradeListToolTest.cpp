#include "ToolFixture.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

// The test catalogue and collection (tests/data/tradelist): two races whose names share
// the anchor "EmberKin", a race whose only die has nothing to spare, an Eldarim race, a
// die named Spark <b>&"' marked for trading, a locked die with three spare copies, two
// dice of one race, profession and health, a die of no profession, a spare minor terrain
// and a wanted, locked major one. Terrains keep no copies unless a case says otherwise.
class TradeListToolTest : public TToolTest
{
protected:
    void SetUp() override
    {
        ASSERT_EQ(Run({u"build"_s, u"--kind"_s, u"races"_s, Data(u"races.json"_s), Path(u"KRRACES.DAT"_s)}).Status, 0);
        ASSERT_EQ(Run({u"build"_s, u"--kind"_s, u"inventory"_s, Data(u"inventory.json"_s), Path(u"inv.kri"_s)}).Status,
                  0);
    }

    static QString Data(const QString &name) { return TestDataPath(u"tradelist/"_s + name); }

    TRun Export(const QStringList &options, const QString &out)
    {
        return Run(QStringList{u"export-alerts"_s, u"--races"_s, Path(u"KRRACES.DAT"_s), Path(u"inv.kri"_s),
                               u"--date"_s, u"2024-03-07"_s, u"--rule"_s, u"IRTerrain=0"_s, u"--rule"_s,
                               u"IRTerrainMinor=0"_s} +
                   options + QStringList{out});
    }

    struct TCase
    {
        QString Expected;
        QStringList Options;
    };

    static QList<TCase> Cases()
    {
        return {
            {u"announcement.msg"_s, {u"--search"_s, u"Trade"_s, u"--style"_s, u"Announcement"_s}},
            {u"announcement-liked-aggressive.msg"_s,
             {u"--search"_s, u"Owned"_s, u"--style"_s, u"Announcement"_s, u"--locked-is-liked"_s, u"--aggressive"_s,
              u"--max-lock"_s, u"3"_s, u"--no-values"_s}},
            {u"text-list.msg"_s, {u"--search"_s, u"Trade"_s, u"--style"_s, u"Text List"_s}},
            {u"values.csv"_s, {u"--search"_s, u"Trade"_s, u"--style"_s, u"Comma-Separated Values"_s}},
            {u"race-grids.htm"_s, {u"--search"_s, u"Owned"_s, u"--style"_s, u"Race Grids"_s}},
            {u"race-grids-framed.htm"_s,
             {u"--search"_s, u"Trade"_s, u"--style"_s, u"race-grids"_s, u"--frame"_s, Data(u"frame.htm"_s),
              u"--form"_s, u"cgi-bin/order?a=1&b=2"_s, u"--include-cc"_s, u"--javascript"_s, u"--widget"_s,
              u"face\"1\".gif"_s, u"--colors"_s, u"#AA0000,#000000,#00AA00,#0000AA"_s}},
            {u"race-lists-noinclude.htm"_s,
             {u"--search"_s, u"Trade"_s, u"--style"_s, u"Race Lists"_s, u"--frame"_s, Data(u"noinclude.htm"_s),
              u"--no-values"_s, u"--form"_s, u"genform"_s}},
            {u"price-grids.htm"_s,
             {u"--search"_s, u"Owned"_s, u"--style"_s, u"PriceGrids"_s, u"--form"_s, u"cgi-bin/genform"_s}},
        };
    }

    // What Python's own HTML parser reads from a page.
    static QJsonArray HtmlEvents(const QString &path)
    {
        QProcess python;
        python.start(u"/usr/bin/python3"_s, {TestDataPath(u"../support/html_events.py"_s), path});
        EXPECT_TRUE(python.waitForFinished(30000)) << "the HTML parser did not finish";
        EXPECT_EQ(python.exitCode(), 0) << python.readAllStandardError().toStdString();
        return QJsonDocument::fromJson(python.readAllStandardOutput()).array();
    }
};

const QString kName = u"Spark <b>&\"'"_s;

} // namespace

TEST_F(TradeListToolTest, EveryStyleWritesItsGoldenFile)
{
    for (const TCase &each : Cases()) {
        const QString out = Path(each.Expected);
        const TRun run = Export(each.Options, out);
        ASSERT_EQ(run.Status, 0) << each.Expected.toStdString() << ": " << run.Err.toStdString();
        EXPECT_TRUE(run.Out.isEmpty());
        const QByteArray expected = FileBytes(Data(u"expected/"_s + each.Expected));
        ASSERT_FALSE(expected.isEmpty()) << each.Expected.toStdString();
        const QByteArray actual = FileBytes(out);
        if (actual != expected) {
            const QList<QByteArray> want = expected.split('\n');
            const QList<QByteArray> got = actual.split('\n');
            for (qsizetype i = 0; i < std::max(want.size(), got.size()); ++i) {
                if (want.value(i) != got.value(i)) {
                    ADD_FAILURE() << each.Expected.toStdString() << " line " << i + 1 << "\n  expected: "
                                  << want.value(i).toStdString() << "\n  written:  " << got.value(i).toStdString();
                    break;
                }
            }
        }
        // Every line ends with CR LF, and no bare line feed hides anywhere.
        EXPECT_TRUE(actual.endsWith("\r\n")) << each.Expected.toStdString();
        EXPECT_EQ(actual.count("\n"), actual.count("\r\n")) << each.Expected.toStdString();
    }
}

TEST_F(TradeListToolTest, AParserReadsTheMarkedUpNameBackAsText)
{
    for (const QString &page :
         {u"race-grids.htm"_s, u"race-grids-framed.htm"_s, u"race-lists-noinclude.htm"_s, u"price-grids.htm"_s}) {
        SCOPED_TRACE(page.toStdString());
        const QJsonArray events = HtmlEvents(Data(u"expected/"_s + page));
        ASSERT_FALSE(events.isEmpty());
        int nameTexts = 0;
        int boldTags = 0;
        int statusTexts = 0;
        for (const QJsonValue &value : events) {
            const QJsonArray event = value.toArray();
            const QString kind = event[0].toString();
            if (kind == u"data") {
                const QString text = event[1].toString();
                nameTexts += text == kName;
                statusTexts += text.startsWith(u"HAVE "_s) || text.startsWith(u"WANT "_s);
                // The name never leaves a piece of itself outside its text.
                EXPECT_FALSE(text.contains(u"Spark"_s) && text != kName) << text.toStdString();
            } else if (kind == u"start") {
                boldTags += event[1].toString() == u"b";
                for (const QJsonValue &attribute : event[2].toArray()) {
                    const QString name = attribute.toArray()[0].toString();
                    const QString text = attribute.toArray()[1].toString();
                    if (name == u"onfocus" && text.contains(u"Spark"_s)) {
                        EXPECT_EQ(text, u"SetupDie(this,4,'Spark <b>&\"\\'',2,false)"_s);
                    } else if (name == u"src" && event[1].toString() == u"img") {
                        EXPECT_EQ(text, u"face\"1\".gif"_s);
                    } else if (name == u"action") {
                        EXPECT_TRUE(text == u"cgi-bin/order?a=1&b=2" || text == u"genform" ||
                                    text == u"cgi-bin/genform")
                            << text.toStdString();
                    }
                }
            }
        }
        EXPECT_EQ(nameTexts, 1);
        // Every bold tag is a HAVE or WANT status: none came out of the name.
        EXPECT_EQ(boldTags, statusTexts);
    }
}

TEST_F(TradeListToolTest, TheOutputMayReplaceItsOwnFrame)
{
    // The frame is read whole before anything is written.
    const QString page = Path(u"page.htm"_s);
    QFile::copy(Data(u"frame.htm"_s), page);
    ASSERT_EQ(Export({u"--search"_s, u"Trade"_s, u"--style"_s, u"Race Lists"_s, u"--frame"_s, page}, page).Status, 0);
    const QByteArray written = FileBytes(page);
    EXPECT_TRUE(written.startsWith("<HTML><HEAD><TITLE>Trades</TITLE>\r\n")) << written.left(80).toStdString();
    EXPECT_TRUE(written.contains("\r\n<P>LAST UPDATED Mar 07, 2024\r\n"));
    EXPECT_TRUE(written.endsWith("Return to Directory</A>\r\n</BODY></HTML>\r\n"));
    EXPECT_FALSE(written.contains("#include"));
}

TEST_F(TradeListToolTest, FailuresLeaveTheOldFileAndSayWhy)
{
    const QString out = Path(u"old.htm"_s);
    WriteFile(out, "the page as it was\r\n");
    const QString missingFrame = Path(u"no-frame.htm"_s);
    ExpectFailures({
        {{u"export-alerts"_s, u"--races"_s, Path(u"KRRACES.DAT"_s), Path(u"inv.kri"_s), u"--search"_s, u"All"_s,
          u"--style"_s, u"Race Grids"_s, u"--frame"_s, missingFrame, out},
         missingFrame + u": Cannot open"_s},
        {{u"export-alerts"_s, u"--races"_s, Path(u"KRRACES.DAT"_s), Path(u"missing.kri"_s), u"--search"_s, u"All"_s,
          u"--style"_s, u"Race Grids"_s, out},
         Path(u"missing.kri"_s) + u": "_s},
        {{u"export-alerts"_s, u"--races"_s, Path(u"KRRACES.DAT"_s), Path(u"inv.kri"_s), u"--search"_s, u"All"_s,
          u"--style"_s, u"Text List"_s, Path(u"no/such/folder/list.msg"_s)},
         Path(u"no/such/folder/list.msg"_s) + u": "_s},
    });
    EXPECT_EQ(FileBytes(out), QByteArray("the page as it was\r\n"));
    // A frame is only read for the HTML styles.
    EXPECT_EQ(Export({u"--search"_s, u"All"_s, u"--style"_s, u"Text List"_s, u"--frame"_s, missingFrame}, out).Status,
              0);
    EXPECT_TRUE(FileBytes(out).startsWith("Dice are shown in the form"));
}

TEST_F(TradeListToolTest, BadOptionsAreUsageErrors)
{
    const QList<std::pair<QStringList, QString>> cases{
        {{u"--style"_s, u"Race Grids"_s}, u"export-alerts needs --search and --style."_s},
        {{u"--search"_s, u"Plenty"_s, u"--style"_s, u"Race Grids"_s}, u"--search must be one of \"Shortage\""_s},
        {{u"--search"_s, u"All"_s, u"--style"_s, u"Poster"_s}, u"--style must be one of \"Announcement\""_s},
        {{u"--search"_s, u"All"_s, u"--style"_s, u"csv"_s}, u"--style must be one of"_s},
        {{u"--search"_s, u"All"_s, u"--style"_s, u"Race Grids"_s, u"--rule"_s, u"IRCommon"_s},
         u"--rule takes KEY=VALUE"_s},
        {{u"--search"_s, u"All"_s, u"--style"_s, u"Race Grids"_s, u"--rule"_s, u"IRSearchType=3"_s},
         u"--rule takes KEY=VALUE"_s},
        {{u"--search"_s, u"All"_s, u"--style"_s, u"Race Grids"_s, u"--rule"_s, u"IRTradeMax=1001"_s},
         u"--rule IRTradeMax must be a whole number from 0 to 1000."_s},
        {{u"--search"_s, u"All"_s, u"--style"_s, u"Race Grids"_s, u"--max-lock"_s, u"100"_s},
         u"--max-lock must be a whole number from 0 to 99."_s},
        {{u"--search"_s, u"All"_s, u"--style"_s, u"Race Grids"_s, u"--colors"_s, u"#FF0000,#000000,#008000"_s},
         u"--colors takes four colours"_s},
        {{u"--search"_s, u"All"_s, u"--style"_s, u"Race Grids"_s, u"--colors"_s, u"red,#000000,#008000,#FF0000"_s},
         u"--colors: \"red\" is not a colour"_s},
        {{u"--search"_s, u"All"_s, u"--style"_s, u"Race Grids"_s, u"--date"_s, u"2024-02-30"_s},
         u"--date must be a date written YYYY-MM-DD."_s},
    };
    for (const auto &[options, message] : cases) {
        const TRun run = Export(options, Path(u"never.htm"_s));
        EXPECT_EQ(run.Status, 2) << message.toStdString();
        EXPECT_TRUE(run.Err.startsWith(u"krtool: "_s + message)) << run.Err.toStdString();
    }
    EXPECT_FALSE(QFile::exists(Path(u"never.htm"_s)));
}
