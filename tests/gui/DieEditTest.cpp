#include "editors/DieEdit.h"
#include "MainFixture.h"
#include "TestSupport.h"
#include "controls/FancyGrid.h"
#include "dice/Catalogue.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

struct TRecordingListener : TDiePostListener
{
    void DiePosted(TDie &die, bool added) override { Posts.push_back({&die, added}); }
    std::vector<std::pair<TDie *, bool>> Posts;
};

class DieEditTest : public TMainFixture
{
protected:
    TfrmMain &StartMain()
    {
        TfrmMain &main = Start();
        Stonekin = main.Catalogue().Races().back().get();
        EXPECT_EQ(Stonekin->Name, u"Stonekin");
        return main;
    }

    // A die of the Stonekin whose faces are (symbol, count) pairs.
    TDie &AddDie(const QString &name, const std::vector<TFaceLine> &faces, int health = 1,
                 Profession profession = Profession::HeavyTroop)
    {
        auto die = std::make_unique<TDie>(*Stonekin, name);
        die->SetHealth(health);
        die->SetProfession(profession);
        die->SetFaceCount(int(faces.size()));
        for (size_t i = 0; i < faces.size(); ++i)
            die->SetFace(int(i), faces[i].Symbol, faces[i].Count);
        return *Stonekin->Die(Stonekin->AddDie(std::move(die)));
    }

    // Follows the dialog's status lines from its creation on.
    std::unique_ptr<TfrmDie> Watch(std::unique_ptr<TfrmDie> dialog)
    {
        QObject::connect(dialog.get(), &TfrmDie::StatusChanged, dialog.get(),
                         [this](const QString &text) { DialogStatuses << text; });
        return dialog;
    }

    template <class T> static T &Control(const TfrmDie &dialog, const QString &name)
    {
        T *control = dialog.findChild<T *>(name);
        EXPECT_NE(control, nullptr) << name.toStdString();
        return *control;
    }
    static QPushButton &Button(const TfrmDie &dialog, const QString &name)
    {
        return Control<QPushButton>(dialog, name);
    }

    static QStringList Lines(const TfrmDie &dialog)
    {
        auto &list = Control<QListWidget>(dialog, u"lstFaces"_s);
        QStringList lines;
        for (int i = 0; i < list.count(); ++i)
            lines << list.item(i)->text();
        return lines;
    }

    static QStringList Entries(const QComboBox &box)
    {
        QStringList entries;
        for (int i = 0; i < box.count(); ++i)
            entries << box.itemText(i);
        return entries;
    }

    static void Key(QWidget &target, int key, const QString &text)
    {
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
        QApplication::sendEvent(&target, &press);
    }

    static void DoubleClickFace(const TfrmDie &dialog, int row)
    {
        auto &list = Control<QListWidget>(dialog, u"lstFaces"_s);
        const QPoint point = list.visualItemRect(list.item(row)).center();
        for (auto [type, buttons] :
             {std::pair{QEvent::MouseButtonPress, Qt::LeftButton}, std::pair{QEvent::MouseButtonRelease, Qt::NoButton},
              std::pair{QEvent::MouseButtonDblClick, Qt::LeftButton},
              std::pair{QEvent::MouseButtonRelease, Qt::NoButton}}) {
            QMouseEvent event(type, QPointF(point), QPointF(list.viewport()->mapToGlobal(point)), Qt::LeftButton,
                              buttons, Qt::NoModifier);
            QApplication::sendEvent(list.viewport(), &event);
        }
    }

    TRace *Stonekin = nullptr;
    QStringList DialogStatuses;
    TRecordingListener Listener;
};

const std::vector<TFaceLine> kPlainFaces{{BasicIcon::ID, 1},   {BasicIcon::Move, 1}, {BasicIcon::Move, 1},
                                         {BasicIcon::Move, 1}, {BasicIcon::Move, 1}, {BasicIcon::Move, 1}};

} // namespace

TEST_F(DieEditTest, ShowingADieFillsTheFormAndBothGrids)
{
    TfrmMain &main = StartMain();
    // Melee moved to the second place: the grid follows the program's column order.
    main.MoveResultColumn(main.ResultMap().Position(ResultType::Melee), 2);
    TDie &die = *Stonekin->Dice().front();
    auto dialog = std::make_unique<TfrmDie>(main, *Stonekin, 0, &Listener);
    EXPECT_EQ(dialog->StatusText(), u"New Unit displayed");
    EXPECT_EQ(dialog->windowTitle(), u"Die Viewer");
    EXPECT_EQ(&dialog->Die(), &die);
    EXPECT_FALSE(dialog->IsNewDie() || dialog->EditMode());
    EXPECT_EQ(Control<QLineEdit>(*dialog, u"txtName"_s).text(), u"New Unit");
    EXPECT_EQ(Control<QComboBox>(*dialog, u"cmbProfession"_s).currentText(), u"Cavalry");
    EXPECT_EQ(dialog->SelectedHealth(), 1);
    EXPECT_EQ(dialog->SelectedSides(), 6);
    EXPECT_EQ(Lines(*dialog),
              (QStringList{u"1 ID"_s, u"1 Move"_s, u"1 Move"_s, u"1 Move"_s, u"1 Move"_s, u"1 Move"_s}));
    EXPECT_EQ(Control<QListWidget>(*dialog, u"lstFaces"_s).currentRow(), 0);
    EXPECT_TRUE(Control<QPlainTextEdit>(*dialog, u"txtIconNotes"_s).toPlainText().startsWith(u"Counts as one point"));
    // Viewing only until the user asks to edit; a race of one die has nowhere to move.
    for (const QString &name : {u"btnSave"_s, u"btnPrev"_s, u"btnNext"_s})
        EXPECT_FALSE(Button(*dialog, name).isEnabled()) << name.toStdString();
    EXPECT_FALSE(Control<QGroupBox>(*dialog, u"grpNewFace"_s).isEnabled());
    EXPECT_FALSE(Control<QComboBox>(*dialog, u"cmbProfession"_s).isEnabled());

    const TFancyGrid &results = Control<TFancyGrid>(*dialog, u"grdResults"_s);
    ASSERT_EQ(results.Cols(), 16);
    ASSERT_EQ(results.Rows(), 8);
    EXPECT_EQ(results.ColumnAt(0)->Title(), u"Terrain");
    EXPECT_EQ(results.ColumnAt(0)->Cell(1)->Text(), u"Coastland");
    EXPECT_EQ(results.ColumnAt(0)->Cell(8)->Text(), u"(none)");
    EXPECT_EQ(results.ColumnAt(2)->Title(), u"Melee");
    EXPECT_EQ(results.ColumnAt(2)->Cell(1)->Text(), u"0.17/0.37");
    const TColumnData &move = *results.ColumnAt(main.ResultMap().Position(ResultType::Move));
    EXPECT_EQ(move.Title(), u"Move");
    EXPECT_EQ(move.Cell(1)->Text(), u"1.00/0.00");
    EXPECT_EQ(move.Cell(4)->Text(), u"0.00/0.00"); // the reserves do not move
    EXPECT_EQ(results.ColumnAt(1)->Title(), u"Black Magic");

    const TFancyGrid &chances = Control<TFancyGrid>(*dialog, u"grdChances"_s);
    ASSERT_EQ(chances.Rows(), 17);
    EXPECT_EQ(chances.Column(1)->Title(), u"Effect");
    EXPECT_EQ(chances.Column(2)->Title(), u"%");
    EXPECT_EQ(chances.Column(1)->Cell(1)->Text(), u"Spell Resist");
    EXPECT_EQ(chances.Column(2)->Cell(1)->Text(), u"  16.67");
    EXPECT_EQ(chances.Column(1)->Cell(17)->Text(), u"Surprise");
    EXPECT_EQ(chances.Column(2)->Cell(17)->Text(), u"   0.00");

    // The position is kept under the dialog's name.
    dialog.reset();
    EXPECT_EQ(Settings.TypeOf(u"Die Viewer"_s), TSettingType::Binary);
}

TEST_F(DieEditTest, RadioGroupsShowTheFirstChoiceAtLeastTheValue)
{
    TfrmMain &main = StartMain();
    std::vector<TFaceLine> faces(8, {BasicIcon::Melee, 7});
    TDie &seven = AddDie(u"Seven"_s, faces, 7);
    TDie &twelve = AddDie(u"Twelve"_s, std::vector<TFaceLine>(13, {BasicIcon::Save, 12}), 12);
    TfrmDie dialog(main, *Stonekin, 1, &Listener);
    EXPECT_EQ(dialog.SelectedHealth(), 10);
    EXPECT_EQ(dialog.SelectedSides(), 10);
    EXPECT_TRUE(Control<QRadioButton>(dialog, u"rbHealth10"_s).isChecked());

    // A new name alone keeps the die's true health and faces.
    dialog.EnableEdit();
    Control<QLineEdit>(dialog, u"txtName"_s).setText(u"Seventh"_s);
    dialog.Save();
    EXPECT_EQ(seven.Name, u"Seventh");
    EXPECT_EQ(seven.Health(), 7);
    EXPECT_EQ(seven.FaceCount(), 8);
    // Choosing the "10" shown is a real choice: the die gets ten faces.
    dialog.SelectSides(10);
    EXPECT_EQ(Lines(dialog).size(), 10);
    EXPECT_EQ(Lines(dialog).last(), u"7 Melee");

    // Beyond every choice nothing is checked.
    TfrmDie beyond(main, twelve);
    EXPECT_EQ(beyond.SelectedHealth(), 0);
    EXPECT_EQ(beyond.SelectedSides(), 0);
}

TEST_F(DieEditTest, TheNewFaceBoxShowsTheTrueCount)
{
    TfrmMain &main = StartMain();
    AddDie(u"Counter"_s, {{BasicIcon::Melee, 10}, {BasicIcon::Save, 8}, {BasicIcon::Move, 2}});
    TfrmDie dialog(main, *Stonekin, 1, &Listener);
    auto &counts = Control<QComboBox>(dialog, u"cmbIconCount"_s);
    auto &symbols = Control<QComboBox>(dialog, u"cmbFaceIcon"_s);
    dialog.show();
    DoubleClickFace(dialog, 0);
    ASSERT_TRUE(dialog.EditMode());
    EXPECT_EQ(symbols.currentText(), u"Melee");
    EXPECT_EQ(counts.currentText(), u"10");
    EXPECT_EQ(counts.count(), 12);

    // 8 is not offered: it joins the list in its place.
    auto &list = Control<QListWidget>(dialog, u"lstFaces"_s);
    list.setCurrentRow(1);
    Key(list, Qt::Key_Space, u" "_s);
    EXPECT_EQ(symbols.currentText(), u"Save");
    EXPECT_EQ(counts.currentText(), u"8");
    EXPECT_EQ(Entries(counts), (QStringList{u"1"_s, u"2"_s, u"3"_s, u"4"_s, u"5"_s, u"6"_s, u"7"_s, u"8"_s, u"10"_s,
                                            u"12"_s, u"14"_s, u"20"_s, u"24"_s}));
    // Storing it back keeps the 8, and the selection moves on.
    Button(dialog, u"btnStore"_s).click();
    EXPECT_EQ(dialog.StatusText(), u"Face 2 changed to 8 Save.");
    EXPECT_EQ(list.currentRow(), 2);
    list.setCurrentRow(0);
    Key(list, Qt::Key_Space, u" "_s);
    EXPECT_EQ(counts.currentText(), u"10");
    EXPECT_EQ(counts.count(), 13);
}

TEST_F(DieEditTest, SavingNewDiceOneAfterAnother)
{
    TfrmMain &main = StartMain();
    const qint32 firstID = Stonekin->NextDieID;
    auto dialog = Watch(std::make_unique<TfrmDie>(main, *Stonekin, 5, &Listener));
    ASSERT_TRUE(dialog->IsNewDie());
    EXPECT_TRUE(dialog->EditMode());
    EXPECT_TRUE(Button(*dialog, u"btnSave"_s).isEnabled());
    EXPECT_FALSE(Button(*dialog, u"btnNext"_s).isEnabled() || Button(*dialog, u"btnPrev"_s).isEnabled());
    EXPECT_EQ(dialog->Die().ID(), TDie::kNoID);

    Control<QComboBox>(*dialog, u"cmbProfession"_s).setCurrentText(u"Archer"_s);
    EXPECT_EQ(dialog->StatusText(), u"Default faces recomputed.");
    dialog->SelectSides(4);
    dialog->SelectHealth(2);
    EXPECT_EQ(Lines(*dialog), (QStringList{u"2 ID"_s, u"2 Missile"_s, u"2 Missile"_s, u"2 Missile"_s}));
    Control<QListWidget>(*dialog, u"lstFaces"_s).setCurrentRow(3);
    Control<QComboBox>(*dialog, u"cmbFaceIcon"_s).setCurrentText(u"Save"_s);
    Control<QComboBox>(*dialog, u"cmbIconCount"_s).setCurrentText(u"3"_s);
    dialog->UpdateFace();
    Control<QLineEdit>(*dialog, u"txtName"_s).setText(u"First"_s);
    DialogStatuses.clear();
    Button(*dialog, u"btnSave"_s).click();
    EXPECT_EQ(DialogStatuses,
              (QStringList{u"Processing First..."_s, u"Updating die statistics..."_s, u"Die statistics updated."_s,
                           u"Posting to Stonekin..."_s, u"Die data saved."_s, u"Processing New Unit..."_s,
                           u"Updating die statistics..."_s, u"Die statistics updated."_s}));
    ASSERT_EQ(Stonekin->DieCount(), 2);
    TDie &first = *Stonekin->Die(2);
    EXPECT_EQ(first.Name, u"First");
    EXPECT_EQ(first.ID(), firstID);
    EXPECT_EQ(first.GetProfession(), Profession::Archer);
    EXPECT_EQ(first.Health(), 2);
    EXPECT_EQ(first.FaceText(3), u"3 Save");
    ASSERT_EQ(Listener.Posts.size(), 1u);
    EXPECT_EQ(Listener.Posts[0], std::pair(&first, true));
    EXPECT_TRUE(main.Catalogue().RacesModified);

    // The next new die starts from the form just saved.
    ASSERT_TRUE(dialog->IsNewDie());
    EXPECT_NE(&dialog->Die(), &first);
    EXPECT_EQ(Control<QLineEdit>(*dialog, u"txtName"_s).text(), u"New Unit");
    EXPECT_EQ(Lines(*dialog), (QStringList{u"2 ID"_s, u"2 Missile"_s, u"2 Missile"_s, u"3 Save"_s}));
    EXPECT_FALSE(Button(*dialog, u"btnSave"_s).isEnabled());
    EXPECT_FALSE(dialog->Draft().Modified || dialog->Draft().FacesEdited);
    // Faces may be regenerated again for the fresh die.
    dialog->SelectHealth(3);
    EXPECT_EQ(Lines(*dialog), (QStringList{u"3 ID"_s, u"3 Missile"_s, u"3 Missile"_s, u"3 Missile"_s}));
    dialog->SelectHealth(2);
    dialog->Save();
    ASSERT_EQ(Stonekin->DieCount(), 3);
    TDie &second = *Stonekin->Die(3);
    EXPECT_EQ(second.Name, u"New Unit");
    EXPECT_EQ(second.ID(), firstID + 1);
    EXPECT_EQ(second.FaceCount(), 4);
    EXPECT_EQ(second.FaceText(1), u"2 Missile");
    EXPECT_EQ(Listener.Posts.size(), 2u);

    // The third new die was never touched: closing frees it without a question.
    dialog->show();
    Button(*dialog, u"btnClose"_s).click();
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(Stonekin->DieCount(), 3);
    EXPECT_TRUE(Prompts.Transcript.isEmpty());
}

TEST_F(DieEditTest, CloseQueryAnswers)
{
    TfrmMain &main = StartMain();
    TDie &die = *Stonekin->Dice().front();
    auto rename = [&](TfrmDie &dialog) {
        dialog.show();
        dialog.EnableEdit();
        Control<QLineEdit>(dialog, u"txtName"_s).setText(u"Renamed"_s);
        EXPECT_TRUE(Button(dialog, u"btnSave"_s).isEnabled());
    };

    TfrmDie kept(main, *Stonekin, 0, &Listener);
    rename(kept);
    Prompts.ExpectAsk(u"Save changes to Renamed?"_s, TAnswer::Cancel);
    Button(kept, u"btnClose"_s).click();
    EXPECT_TRUE(kept.isVisible());
    EXPECT_EQ(Prompts.Transcript.last(), u"ask YesNoCancel Die Viewer: Save changes to Renamed?");
    Prompts.ExpectAsk(u"Save changes to Renamed?"_s, TAnswer::No);
    kept.reject(); // Esc and the close box ask the same
    EXPECT_FALSE(kept.isVisible());
    EXPECT_EQ(die.Name, u"New Unit");
    EXPECT_TRUE(Listener.Posts.empty());
    EXPECT_FALSE(main.Catalogue().RacesModified);

    TfrmDie posted(main, *Stonekin, 0, &Listener);
    rename(posted);
    Prompts.ExpectAsk(u"Save changes to Renamed?"_s, TAnswer::Yes);
    posted.ExitQuery();
    EXPECT_FALSE(posted.isVisible());
    EXPECT_EQ(die.Name, u"Renamed");
    EXPECT_EQ(Listener.Posts, (std::vector{std::pair(&die, false)}));
    EXPECT_TRUE(main.Catalogue().RacesModified);
    EXPECT_EQ(Stonekin->DieCount(), 1);
}

TEST_F(DieEditTest, BrowsingAnArmyListSkipsRepeatsAndNeverEdits)
{
    TfrmMain &main = StartMain();
    TDie &a = *Stonekin->Dice().front();
    TDie &b = AddDie(u"Bravo"_s, kPlainFaces);
    TDie &c = AddDie(u"Charlie"_s, kPlainFaces);
    auto watched = Watch(std::make_unique<TfrmDie>(main, std::vector<TDie *>{&a, &b, &b, &b, &c}, 0));
    TfrmDie &dialog = *watched;
    dialog.show();
    QPushButton &prev = Button(dialog, u"btnPrev"_s);
    QPushButton &next = Button(dialog, u"btnNext"_s);
    EXPECT_FALSE(prev.isEnabled());
    EXPECT_TRUE(next.isEnabled());
    next.click();
    EXPECT_EQ(&dialog.Die(), &b);
    EXPECT_EQ(DialogStatuses, (QStringList{u"Displaying Bravo..."_s, u"Bravo displayed"_s}));
    next.click();
    EXPECT_EQ(&dialog.Die(), &c);
    EXPECT_EQ(dialog.Index(), 4);
    EXPECT_FALSE(next.isEnabled());
    prev.click();
    EXPECT_EQ(&dialog.Die(), &b);
    EXPECT_EQ(dialog.Index(), 3);
    prev.click();
    EXPECT_EQ(&dialog.Die(), &a);
    EXPECT_EQ(dialog.StatusText(), u"New Unit displayed");

    // Opened from an army, a double click on a face leaves the form read-only.
    DoubleClickFace(dialog, 1);
    EXPECT_FALSE(dialog.EditMode());
    EXPECT_TRUE(Control<QLineEdit>(dialog, u"txtName"_s).isReadOnly());
    EXPECT_FALSE(Control<QCheckBox>(dialog, u"chkPrecious"_s).isEnabled());

    // Repeats up to the end: the same die stays, and only the step back is offered.
    TfrmDie tail(main, std::vector<TDie *>{&a, &b, &b}, 1);
    Button(tail, u"btnNext"_s).click();
    EXPECT_EQ(&tail.Die(), &b);
    EXPECT_EQ(tail.Index(), 2);
    EXPECT_FALSE(Button(tail, u"btnNext"_s).isEnabled());
    EXPECT_TRUE(Button(tail, u"btnPrev"_s).isEnabled());

    // A single die has no list to move in.
    TfrmDie single(main, c);
    EXPECT_EQ(single.Index(), -1);
    EXPECT_FALSE(Button(single, u"btnPrev"_s).isEnabled() || Button(single, u"btnNext"_s).isEnabled());
}

TEST_F(DieEditTest, MovingWithChangesAsksFirst)
{
    TfrmMain &main = StartMain();
    TDie &a = *Stonekin->Dice().front();
    TDie &b = AddDie(u"Bravo"_s, kPlainFaces);
    TfrmDie dialog(main, *Stonekin, 0, &Listener);
    dialog.show();
    DoubleClickFace(dialog, 0);
    ASSERT_TRUE(dialog.EditMode());
    dialog.SelectHealth(3);
    Prompts.ExpectAsk(u"Save changes to New Unit?"_s, TAnswer::Cancel);
    Button(dialog, u"btnNext"_s).click();
    EXPECT_EQ(&dialog.Die(), &a);
    EXPECT_TRUE(dialog.EditMode());
    Prompts.ExpectAsk(u"Save changes to New Unit?"_s, TAnswer::No);
    Button(dialog, u"btnNext"_s).click();
    EXPECT_EQ(&dialog.Die(), &b);
    EXPECT_EQ(Control<QListWidget>(dialog, u"lstFaces"_s).currentRow(), 0);
    EXPECT_EQ(dialog.Draft().Selected, 0);
    EXPECT_FALSE(dialog.EditMode());
    EXPECT_FALSE(dialog.Draft().Modified);
    EXPECT_EQ(a.Health(), 1);
}

TEST_F(DieEditTest, ShortcutKeysInEditMode)
{
    TfrmMain &main = StartMain();
    TIconDescriptor special;
    special.Name = u"Ambush"_s;
    special.Description = u"Strikes first."_s;
    main.Catalogue().Icons().Add(special);
    AddDie(u"Keys"_s, {{BasicIcon::ID, 1}, {BasicIcon::Melee, 2}, {BasicIcon::Save, 3}});
    TfrmDie dialog(main, *Stonekin, 1, &Listener);
    auto &list = Control<QListWidget>(dialog, u"lstFaces"_s);
    auto &symbols = Control<QComboBox>(dialog, u"cmbFaceIcon"_s);
    auto &counts = Control<QComboBox>(dialog, u"cmbIconCount"_s);

    // Viewing only: the keys do nothing of their own.
    Key(list, Qt::Key_M, u"m"_s);
    Key(list, Qt::Key_Greater, u">"_s);
    EXPECT_EQ(symbols.count(), 0);
    EXPECT_EQ(list.currentRow(), 0);

    dialog.EnableEdit();
    EXPECT_EQ(Entries(symbols),
              (QStringList{u"Ambush"_s, u"ID"_s, u"Magic"_s, u"Melee"_s, u"Missile"_s, u"Move"_s, u"Save"_s}));
    Key(list, Qt::Key_M, u"m"_s);
    EXPECT_EQ(symbols.currentText(), u"Magic");
    Key(symbols, Qt::Key_A, u"A"_s);
    EXPECT_EQ(symbols.currentText(), u"Ambush");
    EXPECT_EQ(Control<QPlainTextEdit>(dialog, u"txtIconNotes"_s).toPlainText(), u"Strikes first.");
    // A click on the selected face shows its own symbol's notes again.
    const QString faceNotes = [&] {
        emit list.itemClicked(list.currentItem());
        return Control<QPlainTextEdit>(dialog, u"txtIconNotes"_s).toPlainText();
    }();
    EXPECT_NE(faceNotes, u"Strikes first.");
    EXPECT_EQ(faceNotes, main.Catalogue().GetIcon(BasicIcon::ID)->Description);
    Key(list, Qt::Key_T, u"t"_s); // nothing after "t": the last symbol
    EXPECT_EQ(symbols.currentText(), u"Save");
    Key(symbols, Qt::Key_3, u"3"_s);
    EXPECT_EQ(counts.currentText(), u"3");
    Key(counts, Qt::Key_6, u"6"_s);
    EXPECT_EQ(counts.currentText(), u"6");
    Key(counts, Qt::Key_9, u"9"_s); // not a shortcut
    EXPECT_EQ(counts.currentText(), u"6");

    EXPECT_EQ(list.currentRow(), 0);
    Key(list, Qt::Key_Less, u"<"_s);
    EXPECT_EQ(list.currentRow(), 2);
    Key(Button(dialog, u"btnStore"_s), Qt::Key_Greater, u">"_s);
    EXPECT_EQ(list.currentRow(), 0);
    Key(list, Qt::Key_Greater, u">"_s);
    Key(list, Qt::Key_Space, u" "_s);
    EXPECT_EQ(symbols.currentText(), u"Melee");
    EXPECT_EQ(counts.currentText(), u"2");

    // Only the basic symbols: the list shrinks and the letters search what is left.
    dialog.findChild<QAction *>(u"mnuBasicIcons"_s)->trigger();
    EXPECT_EQ(symbols.count(), 6);
    EXPECT_EQ(symbols.currentText(), u"ID");
    EXPECT_EQ(dialog.StatusText(), u"Icon combo box reloaded.");
    Key(list, Qt::Key_A, u"a"_s);
    EXPECT_EQ(symbols.currentText(), u"ID");
}

TEST_F(DieEditTest, RegenerateRecomputesTheShownDie)
{
    TfrmMain &main = StartMain();
    TIconDescriptor special;
    special.Name = u"Brawl"_s;
    const qint32 brawl = main.Catalogue().Icons().Add(special);
    AddDie(u"Brawler"_s, {{brawl, 6}, {BasicIcon::Save, 1}});
    TfrmDie dialog(main, *Stonekin, 1, &Listener);
    const TFancyGrid &results = Control<TFancyGrid>(dialog, u"grdResults"_s);
    const TColumnData &melee = *results.ColumnAt(main.ResultMap().Position(ResultType::Melee));
    EXPECT_EQ(melee.Cell(1)->Text(), u"0.00/0.00");

    // The symbol learns to fight; the grid keeps the old figures until asked.
    main.Catalogue().Icons().GetIcon(brawl)->Effects.Include(EffectFlag::Melee);
    dialog.findChild<QAction *>(u"mnuRegenerate"_s)->trigger();
    EXPECT_EQ(melee.Cell(1)->Text(), u"3.00/3.00");
    EXPECT_EQ(dialog.StatusText(), u"Die statistics updated.");
}
