#include "TradeWindowFixture.h"

#include "army/ArmyForm.h"
#include "io/TaggedStream.h"

#include <QLocale>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

TEST_F(TTradeWindowTest, ATradeIsEditedFromTheTreeAndSaved)
{
    TfrmInventory &form = Open();
    // Without a trade the panel is empty and the trade commands wait.
    EXPECT_FALSE(Box<QLineEdit>(u"txtEMAIL"_s).isEnabled());
    EXPECT_FALSE(FormItem(u"mnuTradeDelete"_s).isEnabled());
    EXPECT_FALSE(FormItem(u"mnuTradeSend"_s).isEnabled());
    EXPECT_TRUE(FormItem(u"mnuTradeCreate"_s).isEnabled());
    EXPECT_EQ(Panel().NetText(), u"0");
    Select(Gull());
    EXPECT_FALSE(FormItem(u"mnuInvTradeOut"_s).isEnabled());

    Prompts.ExpectInput(u"Enter name of trader:"_s, std::nullopt);
    FormItem(u"mnuTradeCreate"_s).trigger();
    EXPECT_EQ(form.StatusText(), u"Create-trade cancelled by user.");
    CreateTrade(u"Pat"_s);
    EXPECT_EQ(form.StatusText(), u"Trade created for Pat.");
    EXPECT_EQ(Panel().TraderSelector().currentText(), u"Pat");
    EXPECT_TRUE(FormItem(u"mnuTradeDelete"_s).isEnabled());
    EXPECT_TRUE(FormItem(u"mnuInvTradeOut"_s).isEnabled());
    EXPECT_FALSE(form.Inventory().InventoryModified) << "a new trade alone changes nothing";

    // Out, out, in: one copy going out.
    form.TreeView().setFocus();
    Press(Qt::Key_S, Qt::ControlModifier);
    Press(Qt::Key_S, Qt::ControlModifier);
    Press(Qt::Key_B, Qt::ControlModifier);
    EXPECT_EQ(GridRow(1), (QStringList{u"  (1)"_s, QString(), u"Gull"_s, u"Reedfolk"_s, u"Archer"_s, u"   1"_s,
                                       u"   1"_s, u"  -1"_s}));
    EXPECT_EQ(GridRow(2), QStringList(8, QString())) << "the empty row for dice not in the trade";
    EXPECT_EQ(Panel().NetText(), u"-1");
    EXPECT_TRUE(Box<QPushButton>(u"btnSave"_s).isEnabled());
    EXPECT_TRUE(form.Inventory().Trades().front()->Lines().empty()) << "nothing reaches the trade before saving";

    Select(Heron());
    EXPECT_EQ(Panel().Grid().SelectedRow(), 2);
    Press(Qt::Key_B, Qt::ControlModifier);
    Press(Qt::Key_B, Qt::ControlModifier);
    EXPECT_EQ(GridRow(2).first(), u"   2 ");
    EXPECT_EQ(Panel().NetText(), u"23");
    // A row chosen in the grid chooses its die in the tree.
    Panel().Grid().SelectCell(1, 1);
    EXPECT_EQ(form.CurrentItem(), &Gull());

    QTest::keyClicks(&Box<QLineEdit>(u"txtEMAIL"_s), u"pat@example.org"_s);
    Box<QPlainTextEdit>(u"txtAddress"_s).setPlainText(u"1 Mill Lane\nRiverton"_s);
    Box<QComboBox>(u"cmbStatus"_s).setCurrentIndex(int(TradeStatus::Waiting));
    Click(Box<QPushButton>(u"btnSave"_s));
    EXPECT_EQ(form.StatusText(), u"Trade Pat updated in inventory.");
    const TTrade &trade = *form.Inventory().Trades().front();
    EXPECT_EQ(trade.EMail, u"pat@example.org");
    EXPECT_EQ(trade.Address, u"1 Mill Lane\r\nRiverton");
    EXPECT_EQ(trade.Lines().size(), 2u);
    EXPECT_EQ(Gull().WaitingCount, 1);
    EXPECT_TRUE(form.Inventory().InventoryModified);
    EXPECT_TRUE(FormItem(u"mnuInvSave"_s).isEnabled());
    EXPECT_FALSE(Box<QPushButton>(u"btnSave"_s).isEnabled());

    // "Use Trade Outs" counts the outgoing copy as used once saved.
    Box<QCheckBox>(u"chkUseTradeOuts"_s).setChecked(true);
    EXPECT_EQ(Gull().UsedCount, 0u);
    Click(Box<QPushButton>(u"btnSave"_s));
    EXPECT_EQ(Gull().UsedCount, 1u);

    // Cancel puts back what the trade holds.
    QTest::keyClicks(&Box<QLineEdit>(u"txtTerms"_s), u"none"_s);
    Click(Box<QPushButton>(u"btnCancel"_s));
    EXPECT_EQ(form.StatusText(), u"Changes to Pat cancelled.");
    EXPECT_TRUE(Box<QLineEdit>(u"txtTerms"_s).text().isEmpty());

    // Ctrl and a click on a title sort the rows up; Shift alone, down.
    QHeaderView &titles = *Panel().Grid().horizontalHeader();
    const int nameX = titles.sectionViewportPosition(2) + titles.sectionSize(2) / 2;
    QTest::mouseClick(titles.viewport(), Qt::LeftButton, Qt::ShiftModifier, QPoint(nameX, titles.height() / 2));
    EXPECT_EQ(GridRow(1).at(2), u"Heron");
    EXPECT_TRUE(Box<QPushButton>(u"btnSave"_s).isEnabled());
    QTest::mouseClick(titles.viewport(), Qt::LeftButton, Qt::ControlModifier, QPoint(nameX, titles.height() / 2));
    EXPECT_EQ(GridRow(1).at(2), u"Gull");
    QTest::mouseClick(titles.viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(nameX, titles.height() / 2));
    EXPECT_EQ(GridRow(1).at(2), u"Gull") << "a plain click sorts nothing";

    // Leaving the program asks about the trade's edits first.
    Prompts.ExpectAsk(u"Save changes to Pat?"_s, TAnswer::Cancel);
    EXPECT_FALSE(Main->RequestClose());
    Prompts.ExpectAsk(u"Save changes to Pat?"_s, TAnswer::No);
    Prompts.ExpectSave(std::nullopt);
    Prompts.ExpectAsk(u"Close inventory without saving?"_s, TAnswer::No);
    EXPECT_FALSE(form.QuerySaveInventory());
}

TEST_F(TTradeWindowTest, TheSelectorWalksAndAsksAboutEdits)
{
    TfrmInventory &form = Open();
    Press(Qt::Key_F9);
    EXPECT_EQ(Prompts.Beeps, 1) << "no trades to walk";
    for (const QString &name : {u"Cyd"_s, u"Ann"_s, u"bea"_s})
        CreateTrade(name);
    QComboBox &selector = Panel().TraderSelector();
    EXPECT_EQ(selector.count(), 3);
    EXPECT_EQ(selector.itemText(0), u"Ann");
    EXPECT_EQ(selector.itemText(1), u"bea");
    EXPECT_EQ(selector.currentText(), u"bea");

    // F9 past the last goes to the first, F8 before the first to the last.
    Press(Qt::Key_F9);
    EXPECT_EQ(selector.currentText(), u"Cyd");
    Press(Qt::Key_F9);
    EXPECT_EQ(selector.currentText(), u"Ann");
    Press(Qt::Key_F8);
    EXPECT_EQ(selector.currentText(), u"Cyd");

    // Unsaved edits: Cancel stays, No lets them go, Yes saves them first.
    QTest::keyClicks(&Box<QLineEdit>(u"txtPhone"_s), u"555"_s);
    Prompts.ExpectAsk(u"Save changes to Cyd?"_s, TAnswer::Cancel);
    Press(Qt::Key_F8);
    EXPECT_EQ(selector.currentText(), u"Cyd");
    EXPECT_EQ(form.StatusText(), u"Trader change cancelled.");
    Prompts.ExpectAsk(u"Save changes to Cyd?"_s, TAnswer::Cancel);
    selector.setCurrentIndex(0);
    emit selector.activated(0);
    EXPECT_EQ(selector.currentText(), u"Cyd");
    Prompts.ExpectAsk(u"Save changes to Cyd?"_s, TAnswer::Yes);
    emit selector.activated(0);
    EXPECT_EQ(selector.currentText(), u"Ann");
    EXPECT_EQ(form.Inventory().Trades().front()->Phone, u"555");

    // Statuses: Ann Accepted, bea Sent; Cyd stays Proposed.
    form.Inventory().Trades()[1]->SetStatus(TradeStatus::Accepted);
    form.Inventory().Trades()[2]->SetStatus(TradeStatus::Sent);
    Press(Qt::Key_F8, Qt::ControlModifier); // next sent or proposed after Ann
    EXPECT_EQ(selector.currentText(), u"bea");
    Press(Qt::Key_F8, Qt::ControlModifier);
    EXPECT_EQ(selector.currentText(), u"Cyd");
    Press(Qt::Key_F8, Qt::ShiftModifier); // nothing accepted or received after Cyd
    EXPECT_EQ(form.StatusText(), u"End of trade list reached.");
    EXPECT_EQ(selector.currentText(), u"Cyd");
    Press(Qt::Key_F9, Qt::ShiftModifier);
    EXPECT_EQ(form.StatusText(), u"End of trade list reached.");

    // By e-mail address, whatever its case.
    form.Inventory().Trades()[2]->EMail = u"Bea@Example.org"_s;
    Prompts.ExpectInput(u"Enter EMAIL name of trader:"_s, u"bea@example.ORG"_s);
    FormItem(u"mnuTradeByEMail"_s).trigger();
    EXPECT_EQ(selector.currentText(), u"bea");
    Prompts.ExpectInput(u"Enter EMAIL name of trader:"_s, u"nobody@example.org"_s);
    const int beeps = Prompts.Beeps;
    FormItem(u"mnuTradeByEMail"_s).trigger();
    EXPECT_EQ(form.StatusText(), u"End of trade list reached.");
    EXPECT_EQ(Prompts.Beeps, beeps + 1);

    // The trades using a die as going out, from the Edit menu's Ctrl+F9.
    TTrade &cyd = *form.Inventory().Trades()[0];
    cyd.SetUseTradeOuts(true);
    cyd.AppendLine(Gull(), -1);
    Panel().Editor().ShowAt(0);
    Select(Gull());
    EXPECT_EQ(FormItem(u"mnuInvTradeUsing"_s).text(), u"Next Trade &Using Gull");
    Press(Qt::Key_F9, Qt::ControlModifier);
    EXPECT_EQ(selector.currentText(), u"Cyd");
    EXPECT_EQ(Panel().Grid().SelectedRow(), 1);
}

TEST_F(TTradeWindowTest, RenamingDuplicatingClearingAndDeleting)
{
    TfrmInventory &form = Open();
    CreateTrade(u"Pat"_s);
    Box<QLineEdit>(u"txtEMAIL"_s).setText(u"pat@example.org"_s);
    Select(Gull());
    Press(Qt::Key_S, Qt::ControlModifier);
    Click(Box<QPushButton>(u"btnSave"_s));

    Prompts.ExpectInput(u"Enter new name of trader:"_s, QString());
    FormItem(u"mnuTradeRename"_s).trigger();
    EXPECT_EQ(form.StatusText(), u"Rename cancelled by user.");
    Prompts.ExpectInput(u"Enter new name of trader:"_s, u"Patricia"_s);
    FormItem(u"mnuTradeRename"_s).trigger();
    EXPECT_EQ(Panel().TraderSelector().currentText(), u"Patricia");
    EXPECT_EQ(Prompts.Transcript.last(), u"input Rename Pat: Enter new name of trader: []");

    FormItem(u"mnuTradeDuplicate"_s).trigger();
    EXPECT_EQ(form.StatusText(), u"New trade created for Patricia.");
    EXPECT_EQ(form.Inventory().Trades().size(), 2u);
    EXPECT_EQ(Box<QLineEdit>(u"txtEMAIL"_s).text(), u"pat@example.org");
    EXPECT_EQ(GridRow(1), QStringList(8, QString()));

    // Clearing empties the panel only; the trade changes when saved.
    Panel().Editor().ShowAt(0);
    Panel().CancelChanges();
    Prompts.ExpectAsk(u"Clear trade items for Patricia?"_s, TAnswer::Cancel);
    FormItem(u"mnuTradeClear"_s).trigger();
    EXPECT_EQ(form.StatusText(), u"Clear-trade cancelled by user.");
    Prompts.ExpectAsk(u"Clear trade items for Patricia?"_s, TAnswer::Ok);
    FormItem(u"mnuTradeClear"_s).trigger();
    EXPECT_EQ(form.StatusText(), u"Trade for Patricia cleared.");
    EXPECT_EQ(Panel().Grid().Rows(), 1);
    EXPECT_TRUE(Box<QCheckBox>(u"chkUseTradeOuts"_s).isChecked());
    EXPECT_EQ(Panel().Editor().Current()->Lines().size(), 1u);
    Prompts.ExpectAsk(u"Save changes to Patricia?"_s, TAnswer::No);
    Press(Qt::Key_F9);

    // Deleting gives back what the trade counted and says so.
    Panel().Editor().ShowAt(0);
    Panel().CancelChanges();
    Prompts.ExpectAsk(u"Delete Patricia?"_s, TAnswer::Cancel);
    FormItem(u"mnuTradeDelete"_s).trigger();
    EXPECT_EQ(form.StatusText(), u"Delete of Patricia aborted by user.");
    form.Inventory().InventoryModified = false;
    Prompts.ExpectAsk(u"Delete Patricia?"_s, TAnswer::Ok);
    FormItem(u"mnuTradeDelete"_s).trigger();
    EXPECT_EQ(form.StatusText(), u"Trader Patricia deleted.");
    EXPECT_EQ(form.Inventory().Trades().size(), 1u);
    EXPECT_EQ(Panel().Editor().Current(), nullptr);
    EXPECT_TRUE(FormItem(u"mnuInvSave"_s).isEnabled());
    EXPECT_FALSE(FormItem(u"mnuTradeDelete"_s).isEnabled());
}

TEST_F(TTradeWindowTest, WaitingAndCoveringArmies)
{
    TfrmInventory &form = Open();
    CreateTrade(u"Pat"_s);
    Select(Gull());
    Press(Qt::Key_W, Qt::ControlModifier);
    EXPECT_EQ(form.StatusText(), u"No waiting trade found!");
    EXPECT_EQ(Prompts.Beeps, 1);
    EXPECT_EQ(GridRow(1), QStringList(8, QString()));

    TTrade &waiting = form.Inventory().CreateTrade(u"Pat"_s);
    waiting.SetStatus(TradeStatus::Waiting);
    Press(Qt::Key_S, Qt::ControlModifier);
    Press(Qt::Key_W, Qt::ControlModifier);
    EXPECT_EQ(form.StatusText(), u"Gull transferred with trade #1.");
    EXPECT_EQ(GridRow(1).first(), u"   0 ");
    EXPECT_EQ(Gull().WaitingCount, 1);
    Press(Qt::Key_U, Qt::ControlModifier);
    EXPECT_EQ(GridRow(1).first(), u"  (1)");
    EXPECT_EQ(Gull().WaitingCount, 0);

    // An army of two Herons: the trade sends two.
    TfrmArmy &army = Main->CreateArmy();
    army.AddDie(Heron());
    army.AddDie(Heron());
    Main->ShowInventory();
    QApplication::setActiveWindow(Main.get());
    form.TreeView().setFocus();
    Prompts.ExpectAsk(u"Modify current trade to cover loaded armies?"_s, TAnswer::Cancel);
    Press(Qt::Key_K, Qt::ControlModifier);
    EXPECT_EQ(form.StatusText(), u"Cover operation cancelled by user.");
    Prompts.ExpectAsk(u"Modify current trade to cover loaded armies?"_s, TAnswer::Ok);
    Press(Qt::Key_K, Qt::ControlModifier);
    EXPECT_EQ(form.StatusText(), u"Trade adjusted to cover armies.  2 dice added.");
    EXPECT_EQ(GridRow(1).at(2), u"Gull") << "the panel was saved first";
    EXPECT_EQ(GridRow(2).first(), u"  (2)");
    EXPECT_EQ(GridRow(2).at(2), u"Heron");
}

TEST_F(TTradeWindowTest, SendingAndReceivingFollowTheCountsAndTheLog)
{
    // A collection with Pat's trade: two Gulls going out, a Heron coming in.
    Start();
    {
        TInventory inventory(Main->Catalogue(), Main->Clock());
        TTrade &trade = inventory.CreateTrade(u"Pat"_s);
        trade.EMail = u"pat@example.org"_s;
        trade.SetUseTradeOuts(true);
        trade.AppendLine(Gull(), -2);
        trade.AppendLine(Heron(), 1);
        Gull().Count = 5;
        Gull().SetPrice(1);
        Heron().SetPrice(12);
        WriteFile(Data.filePath(u"Collection.KRI"_s), WriteToBytes([&](TTaggedWriter &w) { inventory.WriteStream(w); }));
        Gull().Count = 0;
    }
    Settings.WriteText(u"InventoryFile"_s, Data.filePath(u"Collection.KRI"_s));
    Prompts.ExpectAsk(u"Reload inventory from "_s + Data.filePath(u"Collection.KRI"_s) + u'?', TAnswer::Yes);
    TfrmInventory &form = Open();
    EXPECT_EQ(Panel().TraderSelector().count(), 1);
    Press(Qt::Key_F9);
    EXPECT_EQ(Gull().UsedCount, 2u);

    Prompts.ExpectAsk(u"&Send Dice to Trader for Pat?"_s, TAnswer::Cancel);
    Press(Qt::Key_F12, Qt::ControlModifier);
    EXPECT_EQ(form.StatusText(), u"Apply-Trade cancelled by user.");
    EXPECT_EQ(Gull().Count, 5u);

    Prompts.ExpectAsk(u"&Send Dice to Trader for Pat?"_s, TAnswer::Ok);
    Press(Qt::Key_F12, Qt::ControlModifier);
    EXPECT_EQ(form.StatusText(), u"Trade Pat processed.");
    EXPECT_EQ(Gull().Count, 3u);
    EXPECT_EQ(Gull().UsedCount, 0u);
    EXPECT_FALSE(Box<QCheckBox>(u"chkUseTradeOuts"_s).isChecked());
    EXPECT_EQ(Box<QComboBox>(u"cmbStatus"_s).currentText(), u"Sent");
    EXPECT_EQ(Gull().TreeNode->Text(), u"Gull, Archer (3/0, 1pts)");
    EXPECT_TRUE(FormItem(u"mnuInvSave"_s).isEnabled());

    Prompts.ExpectAsk(u"&Receive Dice from Trader for Pat?"_s, TAnswer::Ok);
    Press(Qt::Key_F11, Qt::ControlModifier);
    EXPECT_EQ(Heron().Count, 1u);
    EXPECT_EQ(Box<QComboBox>(u"cmbStatus"_s).currentText(), u"Complete");
    Prompts.ExpectAsk(u"Undo &Receive for Pat?"_s, TAnswer::Ok);
    FormItem(u"mnuTradeUndoReceive"_s).trigger();
    Prompts.ExpectAsk(u"Undo &Receive for Pat?"_s, TAnswer::Ok);
    FormItem(u"mnuTradeUndoReceive"_s).trigger();
    EXPECT_EQ(Heron().Count, 0u);
    EXPECT_EQ(form.StatusText(), u"Trade Pat processed.  Too few copies of Heron were owned; the count stays 0.");

    const QString date = QLocale::system().toString(Main->Clock().Now().date(), QLocale::ShortFormat);
    const QString entry = u"** "_s + date + u":  Pat #0\r\n"_s;
    const QString send = entry + u"   Dice sent to Trader\r\n"
                                 "   pat@example.org\r\n"
                                 "   Sent       * NET    10 * TERMS: \r\n"
                                 "     2 Gull, Reedfolk Archer, 1hp                             2\r\n\r\n"_s;
    const QString receive = entry + u"   Dice received from Trader\r\n"
                                    "   pat@example.org\r\n"
                                    "   Complete   * NET    10 * TERMS: \r\n"
                                    "     1 Heron, Reedfolk Archer, 3hp                           12\r\n\r\n"_s;
    const QString undo = entry + u"   UNDO receive from Trader\r\n"
                                 "   pat@example.org\r\n"
                                 "   Complete   * NET    10 * TERMS: \r\n"
                                 "     1 Heron, Reedfolk Archer, 3hp                           12\r\n\r\n"_s;
    EXPECT_EQ(QString::fromUtf8(FileBytes(Data.filePath(u"Collection.log"_s))), send + receive + undo + undo);

    // A log that cannot be written is reported; the counts have changed all the same.
    form.Inventory().InventoryLogName = Data.path();
    Prompts.ExpectAsk(u"Undo &Send for Pat?"_s, TAnswer::Ok);
    Prompts.ExpectMessage(QString());
    FormItem(u"mnuTradeUndoSend"_s).trigger();
    EXPECT_EQ(Gull().Count, 5u);
    EXPECT_EQ(form.StatusText(), u"Error writing trade log.");
    EXPECT_EQ(Main->StatusText(), u"Error writing trade log.");
}

TEST_F(TTradeWindowTest, TheWindowsOwnKeysComeBeforeTheFrames)
{
    // Ctrl+S and Ctrl+P are also the frame's keys for the group's pools.
    Open();
    CreateTrade(u"Pat"_s);
    Select(Gull());
    Item(u"mnuGroup3"_s).setEnabled(true);
    Item(u"mnuGroup4"_s).setEnabled(true);
    Press(Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(GridRow(1).first(), u"  (1)");
    Prompts.ExpectAsk(u"Save changes to Pat?"_s, TAnswer::Cancel);
    Press(Qt::Key_P, Qt::ControlModifier);
    EXPECT_EQ(Form().StatusText(), u"Print cancelled by user.");
    // In a box of the panel too, while the box keeps its own keys.
    QLineEdit &terms = Box<QLineEdit>(u"txtTerms"_s);
    terms.setText(u"even"_s);
    terms.setFocus();
    QTest::keyClick(&terms, Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(GridRow(1).first(), u"  (2)");
    QTest::keyClick(&terms, Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(terms.selectedText(), u"even");
}
