#include "TradeWindowFixture.h"

#include "inventory/TradeText.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QRegularExpression>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

int PdfPages(const QByteArray &pdf)
{
    static const QRegularExpression page(u"/Type\\s*/Page[^s]"_s);
    return int(QString::fromLatin1(pdf).count(page));
}

} // namespace

TEST_F(TTradeWindowTest, TheTradeAndTheAddressGoToTheClipboard)
{
    TfrmInventory &form = Open();
    CreateTrade(u"Pat"_s);
    Box<QLineEdit>(u"txtEMAIL"_s).setText(u"pat@example.org"_s);
    Box<QPlainTextEdit>(u"txtAddress"_s).setPlainText(u"1 Mill Lane\nRiverton"_s);
    Select(Heron());
    Press(Qt::Key_S, Qt::ControlModifier);
    Press(Qt::Key_S, Qt::ControlModifier);

    // What the panel shows, saved or not.
    Press(Qt::Key_T, Qt::ControlModifier);
    EXPECT_EQ(form.StatusText(), u"Trade information copied to clipboard.");
    const QString text = QGuiApplication::clipboard()->text();
    EXPECT_TRUE(text.startsWith(u"pat@example.org\r\n     ----"_s)) << text.toStdString();
    EXPECT_TRUE(text.contains(u"I SEND YOU\r\n     Heron, Reedfolk Archer, 3hp; 2 @ 12pts ea."_s));
    EXPECT_TRUE(text.endsWith(u"My address is\r\n\r\n     Robin Vale\r\n     4 Hill Road"_s));

    Press(Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(form.StatusText(), u"Trader address copied to clipboard.");
    EXPECT_EQ(QGuiApplication::clipboard()->text(), u"Pat\r\n1 Mill Lane\r\nRiverton");
}

TEST_F(TTradeWindowTest, TradeFilesGoOutAndComeInReversed)
{
    TfrmInventory &form = Open();
    CreateTrade(u"Pat"_s);
    Select(Gull());
    Press(Qt::Key_S, Qt::ControlModifier);
    Press(Qt::Key_S, Qt::ControlModifier);
    Select(Pebble());
    Press(Qt::Key_B, Qt::ControlModifier);
    Click(Box<QPushButton>(u"btnSave"_s));

    Prompts.ExpectSave(std::nullopt);
    FormItem(u"mnuTradeExport"_s).trigger();
    EXPECT_EQ(form.StatusText(), u"Trade export aborted by user.");
    EXPECT_EQ(Prompts.LastFileDialog.FilterIndex, 3);
    EXPECT_EQ(Prompts.LastFileDialog.Directory, Data.path());
    EXPECT_TRUE(Prompts.LastFileDialog.FileName.isEmpty());
    const QString path = Data.filePath(u"pat.btr"_s);
    Prompts.ExpectSave(TFileChoice{{path}, 3});
    FormItem(u"mnuTradeExport"_s).trigger();
    EXPECT_EQ(form.StatusText(), u"Trade exported to "_s + path + u'.');

    // Read back on this side, the file is Robin's offer: Robin sends two Gulls.
    Prompts.ExpectOpen(std::nullopt);
    FormItem(u"mnuTradeImportFile"_s).trigger();
    EXPECT_EQ(form.StatusText(), u"Trade import cancelled.");
    Prompts.ExpectOpen(TFileChoice{{path}, 3});
    FormItem(u"mnuTradeImportFile"_s).trigger();
    EXPECT_EQ(form.StatusText(), u"Trade imported for Robin Vale.");
    EXPECT_EQ(Panel().TraderSelector().currentText(), u"Robin Vale");
    EXPECT_EQ(Box<QPlainTextEdit>(u"txtAddress"_s).toPlainText(), u"4 Hill Road");
    EXPECT_EQ(Box<QLineEdit>(u"txtEMAIL"_s).text(), u"robin@example.org");
    EXPECT_EQ(GridRow(1).first(), u"   2 ");
    EXPECT_EQ(GridRow(2).first(), u"  (1)");

    // A damaged file: the trade read so far stays and the failure is reported.
    const QString damaged = Data.filePath(u"damaged.btr"_s);
    WriteFile(damaged, FileBytes(path).left(20));
    Prompts.ExpectOpen(TFileChoice{{damaged}, 3});
    Prompts.ExpectMessage(QString());
    FormItem(u"mnuTradeImportFile"_s).trigger();
    EXPECT_EQ(form.StatusText(), u"Error reading trade.");
    EXPECT_EQ(Main->StatusText(), u"Error importing trade.");
    EXPECT_EQ(form.Inventory().Trades().size(), 3u);
}

TEST_F(TTradeWindowTest, OffersArePastedFromTheClipboard)
{
    TfrmInventory &form = Open();
    QClipboard &clipboard = *QGuiApplication::clipboard();
    clipboard.clear();
    Prompts.ExpectMessage(u"No text found in clipboard."_s);
    FormItem(u"mnuTradeImportClipboard"_s).trigger();
    EXPECT_EQ(form.StatusText(), u"Error importing trade.");
    clipboard.setText(u"Dear Robin,\r\nName: Pat"_s);
    Prompts.ExpectMessage(u"Name string not first in clipboard."_s);
    FormItem(u"mnuTradeImportClipboard"_s).trigger();
    EXPECT_EQ(form.StatusText(), u"Error importing trade.");
    EXPECT_TRUE(form.Inventory().Trades().empty());

    clipboard.setText(u"Name: Pat\r\nEMAIL: PAT@EXAMPLE.ORG\r\nxx0000000000: 2\r\nxx0000100000: 1\r\n"
                      "xx0009900000: 1\r\nAddress: 1 Mill Lane\r\nRiverton"_s);
    Prompts.ExpectMessage(u"1 dice lost during import."_s);
    FormItem(u"mnuTradeImportClipboard"_s).trigger();
    EXPECT_EQ(form.StatusText(), u"Trade imported for Pat.");
    EXPECT_EQ(Panel().TraderSelector().currentText(), u"Pat");
    EXPECT_EQ(Box<QLineEdit>(u"txtEMAIL"_s).text(), u"pat@example.org");
    EXPECT_EQ(Box<QPlainTextEdit>(u"txtAddress"_s).toPlainText(), u"1 Mill Lane\nRiverton");
    EXPECT_TRUE(Box<QCheckBox>(u"chkUseTradeOuts"_s).isChecked());
    EXPECT_EQ(GridRow(1).at(2), u"Gull");
    EXPECT_EQ(GridRow(1).first(), u"  (2)");
    EXPECT_EQ(Gull().UsedCount, 2u);
    EXPECT_TRUE(FormItem(u"mnuInvSave"_s).isEnabled());

    // Edits of the trade shown are asked about before the offer takes the panel.
    QTest::keyClicks(&Box<QLineEdit>(u"txtTerms"_s), u"even"_s);
    Prompts.ExpectAsk(u"Save changes to Pat?"_s, TAnswer::Cancel);
    FormItem(u"mnuTradeImportClipboard"_s).trigger();
    EXPECT_EQ(form.StatusText(), u"Trade import cancelled.");
    EXPECT_EQ(form.Inventory().Trades().size(), 1u);
}

TEST_F(TTradeWindowTest, TheReportPrintsToAPdfFile)
{
    TfrmInventory &form = Open();
    CreateTrade(u"Pat"_s);
    Box<QPlainTextEdit>(u"txtAddress"_s).setPlainText(u"1 Mill Lane\nRiverton"_s);
    Select(Gull());
    for (int i = 0; i < 3; ++i)
        Press(Qt::Key_S, Qt::ControlModifier);
    Prompts.ExpectAsk(u"Save changes to Pat?"_s, TAnswer::Cancel);
    Press(Qt::Key_P, Qt::ControlModifier);
    EXPECT_EQ(form.StatusText(), u"Print cancelled by user.");

    Prompts.ExpectAsk(u"Save changes to Pat?"_s, TAnswer::Yes);
    Prompts.ExpectPrintSetup(false);
    Press(Qt::Key_P, Qt::ControlModifier);
    EXPECT_EQ(form.StatusText(), u"Print cancelled by user.");
    EXPECT_EQ(form.Inventory().Trades().front()->Lines().size(), 1u) << "saved before printing";

    Prompts.PrintFile = Data.filePath(u"Pat.pdf"_s);
    Prompts.ExpectPrintSetup(true);
    Press(Qt::Key_P, Qt::ControlModifier);
    EXPECT_EQ(form.StatusText(), u"Pat printed.");
    const QByteArray pdf = FileBytes(Prompts.PrintFile);
    EXPECT_TRUE(pdf.startsWith("%PDF"));
    EXPECT_EQ(PdfPages(pdf), 1);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), u"Pat\r\n1 Mill Lane\r\nRiverton");
}
