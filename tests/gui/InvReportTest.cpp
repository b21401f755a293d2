#include "MainFixture.h"
#include "controls/FancyGrid.h"
#include "dice/Catalogue.h"
#include "inventory/InventoryForm.h"
#include "reports/ConfigHTML.h"
#include "reports/InvReport.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPushButton>
#include <QRegularExpression>
#include <QSpinBox>
#include <QTest>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

// One race, Ember Kin: Ash Runner (health 1, ten copies: two spare), Flame Adept
// (health 2, none: four missing) and Forge Lord (health 3, five copies, locked).
// Terrains keep no copies, so that only the dice show in a trade search.
class InvReportTest : public TMainFixture
{
protected:
    InvReportTest()
    {
        TCatalogue catalogue;
        auto kin = catalogue.CreateRace();
        kin->Name = u"Ember Kin"_s;
        for (const auto &[name, health] :
             {std::pair{u"Ash Runner"_s, 1}, std::pair{u"Flame Adept"_s, 2}, std::pair{u"Forge Lord"_s, 3}}) {
            auto die = std::make_unique<TDie>(*kin, name);
            die->SetHealth(health);
            die->SetProfession(Profession::Mage);
            kin->AddDie(std::move(die));
        }
        catalogue.InsertRace(std::move(kin));
        WriteCatalogue(catalogue);
        Settings.WriteText(u"ArmyDir"_s, Data.path());
        Settings.WriteInteger(u"IRTerrain"_s, 0);
        Settings.WriteInteger(u"IRTerrainMinor"_s, 0);
        Settings.WriteInteger(u"IRCommon"_s, 8);
    }

    TfrmInvReport &Report()
    {
        if (!Main)
            Start();
        Main->ShowInventory();
        TfrmInventory &inventory = *Main->InventoryForm();
        Die(1).Count = 10;
        Die(3).Count = 5;
        Die(3).Locked = true;
        Item(u"mnuInvAlertList"_s).trigger();
        TfrmInvReport *report = inventory.AlertReport();
        EXPECT_NE(report, nullptr);
        QApplication::setActiveWindow(Main.get());
        return *report;
    }

    TDie &Die(int position) { return *Main->Catalogue().Races().front()->Die(position); }

    void Run(TfrmInvReport &report, TAlertSearch search)
    {
        report.SearchList().setCurrentIndex(int(search));
        QTest::mouseClick(&report.RunButton(), Qt::LeftButton);
    }

    static QString Cell(TfrmInvReport &report, int column, int row)
    {
        const TCellData *cell = report.Grid().Column(column + 1)->Cell(row);
        return cell ? cell->Text() : u"(none)"_s;
    }

    static void ClickCell(TfrmInvReport &report, int column, int row)
    {
        TFancyGrid &grid = report.Grid();
        const QRect rect = grid.visualRect(grid.model()->index(row - 1, column));
        QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, rect.center());
    }

    static void ClickTitle(TfrmInvReport &report, int column, Qt::KeyboardModifiers keys)
    {
        QHeaderView &header = *report.Grid().horizontalHeader();
        const QPoint at(header.sectionViewportPosition(column) + header.sectionSize(column) / 2, header.height() / 2);
        QTest::mouseClick(header.viewport(), Qt::LeftButton, keys, at);
    }

    static void Key(TfrmInvReport &report, int key, Qt::KeyboardModifiers keys = {})
    {
        QTest::keyClick(&report.Grid(), Qt::Key(key), keys);
    }

    QAction &ReportItem(TfrmInvReport &report, const QString &name) { return *report.findChild<QAction *>(name); }
};

} // namespace

TEST_F(InvReportTest, MadeAtFirstActivationWithTheStoredRules)
{
    Settings.WriteInteger(u"IRUncommon"_s, 6);
    Settings.WriteInteger(u"IRSearchType"_s, 4);
    Start();
    EXPECT_EQ(Main->InventoryForm()->AlertReport(), nullptr);
    TfrmInvReport &report = Report();
    EXPECT_EQ(report.windowTitle(), u"Inventory Alert List"_s);
    auto *window = qobject_cast<QMdiSubWindow *>(report.parentWidget());
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(Main->MdiArea()->activeSubWindow(), window);
    EXPECT_EQ(report.RuleBox(u"IRUncommon"_s)->value(), 6);
    EXPECT_EQ(report.RuleBox(u"IRCommon"_s)->value(), 8);
    EXPECT_EQ(report.RuleBox(u"IRTradeMax"_s)->maximum(), 1000);
    EXPECT_EQ(report.RuleBox(u"IRSpecial"_s)->maximum(), 100);
    EXPECT_EQ(report.SearchList().currentText(), u"Trading"_s);
    EXPECT_EQ(report.SearchList().count(), 11);
    // One empty row and no item commands before the first search.
    EXPECT_EQ(report.Grid().Rows(), 1);
    EXPECT_EQ(ReportItem(report, u"mnuEditIncrease"_s).text(), u"&Increase Value"_s);
    EXPECT_FALSE(ReportItem(report, u"mnuEditIncrease"_s).isEnabled());

    // Spin boxes that were changed are kept when the program ends, with the position.
    report.RuleBox(u"IRRare"_s)->setValue(7);
    window->move(40, 30);
    Main.reset();
    EXPECT_EQ(Settings.Integer(u"IRRare"_s), 7);
    EXPECT_EQ(Settings.Integer(u"IRUncommon"_s), 6);
    EXPECT_EQ(Settings.Integer(u"IRSearchType"_s), 4);
    EXPECT_EQ(Settings.Integer(u"IRLockedAsLiked"_s), 0);
    EXPECT_EQ(Settings.TypeOf(u"InvReport"_s), TSettingType::Binary);
}

TEST_F(InvReportTest, RunFillsTheGridAndTheRulesGoToTheInventory)
{
    TfrmInvReport &report = Report();
    QStringList statuses;
    QObject::connect(&report, &TfrmInvReport::StatusChanged, &report, [&](const QString &text) { statuses << text; });
    Run(report, TAlertSearch::Trade);
    EXPECT_EQ(report.StatusText(), u"Trade search complete."_s);
    ASSERT_GE(statuses.size(), 4);
    EXPECT_EQ(statuses.front(), u"Processing army dice..."_s);
    EXPECT_TRUE(statuses.contains(u"Processing minor terrains..."_s));
    EXPECT_EQ(statuses[statuses.size() - 2], u"Displaying dice found..."_s);
    ASSERT_EQ(report.List().Count(), 2);
    EXPECT_EQ(report.Grid().Rows(), 3);
    QStringList first;
    for (int c = 0; c < 8; ++c)
        first << Cell(report, c, 1);
    EXPECT_EQ(first, (QStringList{u" "_s, u"Ash Runner"_s, u"Ember Kin"_s, u"Mage"_s, u"1"_s, u"10/0"_s, u"+  2"_s,
                                  u"     2"_s}));
    EXPECT_EQ(Cell(report, 6, 2), u"-  4"_s);
    EXPECT_EQ(Cell(report, 1, 3), QString());

    // The spin boxes become the rules that the inventory's surplus reads.
    report.RuleBox(u"IRCommon"_s)->setValue(9);
    ReportItem(report, u"mnuToolsLocked"_s).trigger();
    EXPECT_TRUE(ReportItem(report, u"mnuToolsLocked"_s).isChecked());
    Run(report, TAlertSearch::Surplus);
    EXPECT_EQ(report.StatusText(), u"Surplus search complete."_s);
    EXPECT_EQ(Main->InventoryForm()->Inventory().Surplus(Die(1)), 1);
    ASSERT_EQ(report.List().Count(), 2);
    EXPECT_EQ(Cell(report, 1, 2), u"Forge Lord"_s);
    EXPECT_EQ(Cell(report, 6, 2), u"+  3"_s);

    // The main window's options redraw the list from the items.
    Die(1).Count = 12;
    Item(u"mnuOptionsShowPrices"_s).trigger();
    EXPECT_EQ(Cell(report, 5, 1), u"12/0"_s);
    EXPECT_EQ(Cell(report, 6, 1), u"+  1"_s); // Diff only changes with a new search
}

TEST_F(InvReportTest, TheSelectedRowIsEditedWithItsKeys)
{
    TfrmInvReport &report = Report();
    Run(report, TAlertSearch::Trade);
    ClickCell(report, 2, 1);
    EXPECT_EQ(report.StatusText(), u"Ash Runner selected."_s);
    EXPECT_EQ(report.SelectedItem(), &Die(1));
    EXPECT_EQ(ReportItem(report, u"mnuEditIncrease"_s).text(), u"&Increase Ash Runner"_s);
    EXPECT_EQ(ReportItem(report, u"mnuEditDecrease"_s).text(), u"&Decrease Ash Runner"_s);
    EXPECT_EQ(ReportItem(report, u"mnuEditRemove"_s).text(), u"&Remove Ash Runner"_s);
    EXPECT_EQ(ReportItem(report, u"mnuEditEdit"_s).text(), u"&Edit Ash Runner"_s);
    EXPECT_EQ(ReportItem(report, u"mnuEditMark"_s).text(), u"&Mark Ash Runner"_s);

    Key(report, Qt::Key_Insert, Qt::ShiftModifier);
    Key(report, Qt::Key_Insert, Qt::ShiftModifier);
    EXPECT_EQ(Cell(report, 6, 1), u"+  4"_s);
    Key(report, Qt::Key_Delete, Qt::ShiftModifier);
    EXPECT_EQ(Cell(report, 6, 1), u"+  3"_s);
    EXPECT_EQ(Die(1).Count, 10U); // the collection is not touched

    EXPECT_FALSE(Main->InventoryForm()->Inventory().InventoryModified);
    Key(report, Qt::Key_F2);
    EXPECT_TRUE(Die(1).Trading);
    EXPECT_EQ(Cell(report, 0, 1), u"*"_s);
    EXPECT_EQ(ReportItem(report, u"mnuEditMark"_s).text(), u"&Un-mark Ash Runner"_s);
    EXPECT_TRUE(Main->InventoryForm()->Inventory().InventoryModified);
    EXPECT_TRUE(Main->InventoryForm()->findChild<QAction *>(u"mnuInvSave"_s)->isEnabled());
    // A click on the mark column of another row selects it and toggles its mark.
    ClickCell(report, 0, 2);
    EXPECT_EQ(report.SelectedItem(), &Die(2));
    EXPECT_TRUE(Die(2).Trading);
    EXPECT_EQ(Cell(report, 0, 2), u"*"_s);
    // The pop-up shows the Edit menu as it stands.
    QMenu &popup = report.Popup();
    EXPECT_EQ(popup.actions()[4]->text(), u"&Un-mark Flame Adept"_s);
    EXPECT_TRUE(popup.actions()[1]->isEnabled());

    Prompts.ExpectAsk(u"Remove Flame Adept from the alert list?"_s, TAnswer::Cancel);
    Key(report, Qt::Key_Delete, Qt::ControlModifier);
    EXPECT_EQ(report.StatusText(), u"Removal aborted by user."_s);
    EXPECT_EQ(report.List().Count(), 2);
    Prompts.ExpectAsk(u"Remove Flame Adept from the alert list?"_s, TAnswer::Ok);
    Key(report, Qt::Key_Delete, Qt::ControlModifier);
    EXPECT_EQ(report.StatusText(), u"Flame Adept removed from list."_s);
    EXPECT_EQ(report.List().Count(), 1);
    EXPECT_EQ(report.Grid().Rows(), 2);
    EXPECT_EQ(ReportItem(report, u"mnuEditRemove"_s).text(), u"&Remove Value"_s);
    EXPECT_FALSE(ReportItem(report, u"mnuEditRemove"_s).isEnabled());
    EXPECT_EQ(ReportItem(report, u"mnuEditMark"_s).text(), u"&Toggle Mark"_s);
    EXPECT_EQ(ReportItem(report, u"mnuEditEdit"_s).text(), u"&Edit"_s);
    // The empty row selects nothing.
    ClickCell(report, 1, 2);
    EXPECT_EQ(report.SelectedItem(), nullptr);
    Prompts.CheckAllUsed();
}

TEST_F(InvReportTest, ShiftOrControlOnATitleSorts)
{
    TfrmInvReport &report = Report();
    Run(report, TAlertSearch::Owned);
    ASSERT_EQ(report.List().Count(), 2);
    ClickTitle(report, 6, Qt::ControlModifier);
    EXPECT_EQ(report.StatusText(), u"Alert list sorted by Diff."_s);
    EXPECT_EQ(Cell(report, 1, 1), u"Forge Lord"_s); // "   0" before "+  2"
    ClickTitle(report, 1, Qt::ShiftModifier);
    EXPECT_EQ(report.StatusText(), u"Alert list sorted by Name."_s);
    EXPECT_EQ(Cell(report, 1, 1), u"Forge Lord"_s);
    EXPECT_EQ(Cell(report, 1, 2), u"Ash Runner"_s);
    ClickTitle(report, 1, Qt::ControlModifier);
    EXPECT_EQ(Cell(report, 1, 1), u"Ash Runner"_s);
    // A plain click on a title sorts nothing.
    ClickTitle(report, 6, {});
    EXPECT_EQ(report.StatusText(), u"Alert list sorted by Name."_s);
    EXPECT_EQ(Cell(report, 1, 1), u"Ash Runner"_s);
}

TEST_F(InvReportTest, PrintingToAFileGivesAPdf)
{
    TfrmInvReport &report = Report();
    Run(report, TAlertSearch::All);
    const QString pdf = Data.filePath(u"alerts.pdf"_s);
    Prompts.PrintFile = pdf;
    Prompts.ExpectPrintSetup(true);
    ReportItem(report, u"mnuToolsPrint"_s).trigger();
    EXPECT_EQ(report.StatusText(), u"Inventory printed."_s);
    const QByteArray bytes = FileBytes(pdf);
    EXPECT_TRUE(bytes.startsWith("%PDF"));
    // 75 rows do not fit one page.
    static const QRegularExpression page(u"/Type\\s*/Page[^s]"_s);
    EXPECT_GE(QString::fromLatin1(bytes).count(page), 2);
    // Cancelled: nothing printed, nothing said.
    Prompts.ExpectPrintSetup(false);
    ReportItem(report, u"mnuToolsPrint"_s).trigger();
    EXPECT_EQ(report.StatusText(), u"Inventory printed."_s);
    Prompts.CheckAllUsed();
}

TEST_F(InvReportTest, ADeletedDieLeavesTheList)
{
    TfrmInvReport &report = Report();
    Run(report, TAlertSearch::Trade);
    ClickCell(report, 1, 2);
    TDie &adept = Die(2);
    Main->InventoryForm()->ForgetDie(adept);
    Main->Catalogue().Races().front()->RemoveDie(&adept);
    Main->MarkRacesChanged();
    EXPECT_EQ(report.List().Count(), 1);
    EXPECT_EQ(report.SelectedItem(), nullptr);
    EXPECT_EQ(Cell(report, 1, 1), u"Ash Runner"_s);
    EXPECT_EQ(Cell(report, 1, 2), QString());
}

TEST_F(InvReportTest, TheExportDialogKeepsItsSettingsAfterARun)
{
    TfrmInvReport &report = Report();
    Run(report, TAlertSearch::Trade);
    TfrmConfigHTML dialog(*Main, report.List().Items(), &report);
    EXPECT_EQ(dialog.windowTitle(), u"Export Trading Information"_s);
    auto &style = *dialog.findChild<QComboBox *>(u"cmbStyle"_s);
    EXPECT_EQ(style.currentText(), u"Race Grids"_s);
    EXPECT_EQ(dialog.findChild<QLineEdit *>(u"txtWantColor"_s)->text(), u"#FF0000"_s);
    EXPECT_EQ(dialog.findChild<QLineEdit *>(u"txtHaveColor"_s)->text(), u"#008000"_s);
    EXPECT_EQ(dialog.findChild<QLineEdit *>(u"txtOutputFile"_s)->text(), u"trades.htm"_s);
    auto &widgets = *dialog.findChild<QCheckBox *>(u"chkWidgets"_s);
    auto &widgetFile = *dialog.findChild<QLineEdit *>(u"txtWidgetFile"_s);
    EXPECT_FALSE(widgetFile.isEnabled());
    QTest::mouseClick(&widgets, Qt::LeftButton);
    EXPECT_TRUE(widgetFile.isEnabled());
    auto &form = *dialog.findChild<QCheckBox *>(u"chkTradeForm"_s);
    EXPECT_FALSE(dialog.findChild<QLineEdit *>(u"txtScriptName"_s)->isEnabled());
    QTest::mouseClick(&form, Qt::LeftButton);
    EXPECT_TRUE(dialog.findChild<QLineEdit *>(u"txtScriptName"_s)->isEnabled());

    Prompts.ExpectColor(QColor(0, 0, 170));
    QTest::mouseClick(dialog.findChild<QPushButton *>(u"btnHaveColor"_s), Qt::LeftButton);
    EXPECT_EQ(dialog.findChild<QLineEdit *>(u"txtHaveColor"_s)->text(), u"#0000AA"_s);
    Prompts.ExpectColor(std::nullopt);
    QTest::mouseClick(dialog.findChild<QPushButton *>(u"btnWantColor"_s), Qt::LeftButton);
    EXPECT_EQ(dialog.findChild<QLineEdit *>(u"txtWantColor"_s)->text(), u"#FF0000"_s);

    // The output file: the style picks the filter, the folder is kept at once.
    style.setCurrentIndex(int(TExportStyle::CommaSeparatedValues));
    const QString csv = Data.filePath(u"out/list.csv"_s);
    QDir(Data.path()).mkdir(u"out"_s);
    Prompts.ExpectSave(TFileChoice{{csv}, 1});
    QTest::mouseClick(dialog.findChild<QPushButton *>(u"btnOutputFile"_s), Qt::LeftButton);
    EXPECT_EQ(Prompts.LastFileDialog.FilterIndex, 1);
    EXPECT_EQ(Prompts.LastFileDialog.FileName, u"trades.htm"_s);
    EXPECT_EQ(Settings.Text(u"IRXDir"_s), Data.filePath(u"out"_s));
    EXPECT_FALSE(Settings.Exists(u"IRXType"_s));

    // A frame chosen, then the choice cancelled: the question turns framing off on OK.
    const QString frame = Data.filePath(u"frame.htm"_s);
    WriteFile(frame, "<BODY>\r\n<!--#include x -->\r\n</BODY>\r\n");
    Prompts.ExpectOpen(TFileChoice{{frame}, 1});
    QTest::mouseClick(dialog.findChild<QPushButton *>(u"btnFrameFile"_s), Qt::LeftButton);
    EXPECT_EQ(Prompts.LastFileDialog.Title, u"Select a Frame File"_s);
    EXPECT_EQ(Prompts.LastFileDialog.Directory, Data.filePath(u"out"_s));
    EXPECT_EQ(dialog.findChild<QLineEdit *>(u"txtFrameFile"_s)->text(), frame);
    Prompts.ExpectOpen(std::nullopt);
    Prompts.ExpectAsk(u"Choose OK to turn off HTML framing, CANCEL to continue using "_s + frame + u"."_s,
                      TAnswer::Cancel);
    QTest::mouseClick(dialog.findChild<QPushButton *>(u"btnFrameFile"_s), Qt::LeftButton);
    EXPECT_EQ(dialog.findChild<QLineEdit *>(u"txtFrameFile"_s)->text(), frame);

    QTest::mouseClick(dialog.findChild<QPushButton *>(u"btnRun"_s), Qt::LeftButton);
    EXPECT_EQ(dialog.StatusText(), u"Alert list written to "_s + csv + u"."_s);
    EXPECT_TRUE(FileBytes(csv).startsWith("\"Ember Kin\", \"Ash Runner\", \"Mage\", \"1\", 2, 2, 10, \""));
    EXPECT_EQ(Settings.Integer(u"IRXType"_s), 1);
    EXPECT_EQ(Settings.Integer(u"IRXHaveColor"_s), 0xAA0000);
    EXPECT_EQ(Settings.Text(u"ExportFile"_s), csv);
    EXPECT_EQ(Settings.Text(u"FrameFile"_s), frame);
    EXPECT_EQ(Settings.Integer(u"TradeFormFlag"_s), 1);

    // A failure says so on both status lines and keeps the stored settings.
    style.setCurrentIndex(int(TExportStyle::RaceLists));
    QFile::remove(frame);
    Prompts.ExpectMessage(QString());
    QTest::mouseClick(dialog.findChild<QPushButton *>(u"btnRun"_s), Qt::LeftButton);
    EXPECT_EQ(dialog.StatusText(), u"Error writing alerts to "_s + csv + u"."_s);
    EXPECT_EQ(Main->StatusText(), u"Error exporting alert list."_s);
    EXPECT_EQ(Settings.Integer(u"IRXType"_s), 1);
    EXPECT_TRUE(FileBytes(csv).startsWith("\"Ember Kin\""));

    // Framing turned off on OK; a fresh dialog starts from the stored settings.
    Prompts.ExpectOpen(std::nullopt);
    Prompts.ExpectAsk(QString(), TAnswer::Ok);
    QTest::mouseClick(dialog.findChild<QPushButton *>(u"btnFrameFile"_s), Qt::LeftButton);
    EXPECT_EQ(dialog.findChild<QLineEdit *>(u"txtFrameFile"_s)->text(), QString());
    TfrmConfigHTML again(*Main, report.List().Items(), &report);
    EXPECT_EQ(again.findChild<QComboBox *>(u"cmbStyle"_s)->currentText(), u"Comma-Separated Values"_s);
    EXPECT_EQ(again.findChild<QLineEdit *>(u"txtHaveColor"_s)->text(), u"#0000AA"_s);
    EXPECT_TRUE(again.findChild<QLineEdit *>(u"txtWidgetFile"_s)->isEnabled());
    Prompts.CheckAllUsed();
}
