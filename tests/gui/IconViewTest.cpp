#include "dice/IconView.h"
#include "MainFixture.h"
#include "TestSupport.h"
#include "dice/Catalogue.h"
#include "dice/RaceFile.h"
#include "io/MemoryStream.h"
#include "io/TaggedStream.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>

#include <QTest>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

const QString kNewPrompt = u"Enter the name of the new icon."_s;

TIconDescriptor Symbol(const QString &name, TEffectSet effects, qint32 points, const QString &description)
{
    TIconDescriptor icon;
    icon.Name = name;
    icon.Effects = effects;
    icon.Points = points;
    icon.Description = description;
    return icon;
}

// Four special symbols in file order (IDs 6 to 9), one of them spelt in lower case so
// that the code-unit order shows; two dice show symbols on their faces.
class IconViewTest : public TMainFixture
{
protected:
    IconViewTest()
    {
        using E = EffectFlag;
        TCatalogue catalogue;
        catalogue.Icons().Add(Symbol(u"Twin Volley"_s, {E::Missile, E::RerollMissile}, 2, u"Two shots."_s));
        catalogue.Icons().Add(Symbol(u"Bulwark"_s, {E::SaveMelee, E::SaveMissile}, 2, u"Stands firm."_s));
        catalogue.Icons().Add(Symbol(u"apex"_s, {E::Maneuver}, -1, u"Climbs."_s));
        catalogue.Icons().Add(Symbol(u"Riposte"_s, {E::SaveMelee, E::MeleeCounter}, 3, u"Strikes back."_s));
        auto stonekin = catalogue.CreateRace();
        stonekin->Name = u"Stonekin"_s;
        auto guard = std::make_unique<TDie>(*stonekin, u"Stonekin Guard"_s);
        guard->SetFace(2, 9, 1);
        stonekin->AddDie(std::move(guard));
        catalogue.InsertRace(std::move(stonekin));
        auto reedfolk = catalogue.CreateRace();
        reedfolk->Name = u"Reedfolk"_s;
        auto archer = std::make_unique<TDie>(*reedfolk, u"Reed Archer"_s);
        archer->SetFace(1, 6, 2);
        reedfolk->AddDie(std::move(archer));
        catalogue.InsertRace(std::move(reedfolk));
        WriteCatalogue(catalogue);
    }

    TfrmIconView &Open()
    {
        if (!Main)
            Start();
        Statuses.clear();
        View = std::make_unique<TfrmIconView>(*Main, Main.get());
        return *View;
    }

    template <typename T> T &Get(const QString &name)
    {
        auto *child = View->findChild<T *>(name);
        EXPECT_NE(child, nullptr) << name.toStdString();
        return *child;
    }
    QListWidget &Special() { return Get<QListWidget>(u"lstSpecialIcons"_s); }
    QListWidget &Basic() { return Get<QListWidget>(u"lstBasicIcons"_s); }
    QLineEdit &NameBox() { return Get<QLineEdit>(u"txtIconName"_s); }
    QTableWidget &Effects() { return Get<QTableWidget>(u"lstEffects"_s); }
    QPlainTextEdit &Description() { return Get<QPlainTextEdit>(u"txtDescription"_s); }
    QSpinBox &Points() { return Get<QSpinBox>(u"txtPoints"_s); }
    QPushButton &Store() { return Get<QPushButton>(u"btnStore"_s); }
    QAction &Action(const QString &name) { return Get<QAction>(name); }

    static QStringList Names(const QListWidget &list)
    {
        QStringList names;
        for (int row = 0; row < list.count(); ++row)
            names << list.item(row)->text() + u'=' + QString::number(list.item(row)->data(Qt::UserRole).toInt());
        return names;
    }
    static QString Selected(const QListWidget &list)
    {
        const QList<QListWidgetItem *> items = list.selectedItems();
        return items.size() == 1 ? items.front()->text() : QString::number(items.size()) + u" selected"_s;
    }
    // The effect flags selected in the effect list, in flag order.
    QStringList ShownEffects()
    {
        QStringList names;
        for (int flag = 0; flag < kEffectFlagCount; ++flag) {
            if (Effects().item(flag % 22, flag / 22)->isSelected())
                names << Effects().item(flag % 22, flag / 22)->text();
        }
        return names;
    }
    // A click on an entry, as the list reports it.
    void Click(QListWidget &list, const QString &name)
    {
        const QList<QListWidgetItem *> found = list.findItems(name, Qt::MatchExactly);
        ASSERT_EQ(found.size(), 1) << name.toStdString();
        list.setCurrentItem(found.front());
    }
    // Keys typed into the name box, one at a time.
    void Type(const QString &text)
    {
        for (const QChar c : text) {
            QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
            QApplication::sendEvent(&NameBox(), &press);
        }
    }
    TIconDescriptor &Icon(const QString &name)
    {
        const qint32 id = Main->Catalogue().Icons().IconByName(name);
        EXPECT_GE(id, 0) << name.toStdString();
        static TIconDescriptor missing;
        return id >= 0 ? *Main->Catalogue().Icons().GetIcon(id) : missing;
    }

    std::unique_ptr<TfrmIconView> View;
};

TEST_F(IconViewTest, CreationLoadsTheSymbolTable)
{
    TfrmIconView &view = Open();
    QStringList expected{u"Positioning Icons..."_s, u"Icon Viewer repositioned."_s, u"Loading effect list..."_s,
                         u"Loading basic icons..."_s};
    for (const QString &name :
         {u"ID"_s, u"Magic"_s, u"Melee"_s, u"Missile"_s, u"Move"_s, u"Save"_s, u"Loading special icons..."_s,
          u"Twin Volley"_s, u"Bulwark"_s, u"apex"_s, u"Riposte"_s}) {
        if (name.endsWith(u"..."))
            expected << name;
        else
            expected << u"Loading icon:  "_s + name + u"..."_s << name + u" icon loaded."_s;
    }
    expected << u"Icons loaded into viewer."_s << u"Icon viewer initialized."_s;
    EXPECT_EQ(Statuses, expected);
    EXPECT_FALSE(view.isVisible());
    EXPECT_EQ(view.windowTitle(), u"Icon Viewer");
    EXPECT_TRUE(view.windowFlags() & Qt::Tool);

    // The table was reset rather than added to the symbols the main window had read.
    EXPECT_EQ(Main->Catalogue().Icons().Count(), 10);
    EXPECT_EQ(Names(Basic()),
              (QStringList{u"ID=0"_s, u"Magic=1"_s, u"Melee=2"_s, u"Missile=3"_s, u"Move=4"_s, u"Save=5"_s}));
    EXPECT_EQ(Names(Special()), (QStringList{u"Bulwark=7"_s, u"Riposte=9"_s, u"Twin Volley=6"_s, u"apex=8"_s}));

    ASSERT_EQ(Effects().columnCount(), 2);
    QStringList effects;
    for (int flag = 0; flag < kEffectFlagCount; ++flag)
        effects << Effects().item(flag % 22, flag / 22)->text();
    EXPECT_EQ(effects.front(), u"Magic");
    EXPECT_EQ(effects[21], u"Dragon Effect");
    EXPECT_EQ(effects[22], u"Surprise");
    EXPECT_EQ(effects.back(), u"ID Icon");
    EXPECT_EQ(Effects().item(21, 1)->flags(), Qt::NoItemFlags); // the spare cell
    EXPECT_EQ(Effects().selectionMode(), QAbstractItemView::MultiSelection);

    // Nothing is shown yet, so nothing can be edited; the store button starts a symbol.
    EXPECT_EQ(Store().text(), u"Store New Icon");
    EXPECT_TRUE(Store().isEnabled());
    EXPECT_EQ(Points().value(), 1);
    EXPECT_EQ(Points().minimum(), -2);
    EXPECT_EQ(Points().maximum(), 6);
    EXPECT_FALSE(Effects().isEnabled());
    EXPECT_TRUE(Description().isReadOnly());
    EXPECT_EQ(view.CurrentIcon(), -1);
    EXPECT_FALSE(view.Modified());
    EXPECT_FALSE(Action(u"mnuIconRename"_s).isEnabled());
}

TEST_F(IconViewTest, DamagedOrMissingIconFile)
{
    // The second record is cut short: the first stays loaded and the failure is reported.
    const QByteArray whole = FileBytes(IconFile);
    WriteFile(IconFile, whole.left(whole.indexOf("Bulwark") + 12));
    Prompts.ExpectMessage(QString()); // the main window's own read
    Start();
    Prompts.ExpectMessage(QString());
    Open();
    EXPECT_EQ(Statuses.mid(Statuses.size() - 3),
              (QStringList{u"Twin Volley icon loaded."_s, u"Loading icon:  Bulwark..."_s,
                           u"Error initializing icon viewer."_s}));
    EXPECT_EQ(Names(Special()), QStringList{u"Twin Volley=6"_s});

    // Without a file only the basic symbols exist, without a word.
    QFile::remove(IconFile);
    Open();
    EXPECT_EQ(Statuses.mid(Statuses.size() - 2),
              (QStringList{u"Loading special icons..."_s, u"Icon viewer initialized."_s}));
    EXPECT_EQ(Special().count(), 0);
    EXPECT_EQ(Main->Catalogue().Icons().Count(), BasicIcon::Count);
}

TEST_F(IconViewTest, SelectingShowsTheSymbolAndLocksBasicOnes)
{
    TfrmIconView &view = Open();
    Click(Special(), u"Riposte"_s);
    EXPECT_EQ(view.CurrentIcon(), 9);
    EXPECT_EQ(NameBox().text(), u"Riposte");
    EXPECT_EQ(Description().toPlainText(), u"Strikes back.");
    EXPECT_EQ(ShownEffects(), (QStringList{u"Save/Melee"_s, u"Melee Counter"_s}));
    EXPECT_EQ(Points().value(), 3);
    EXPECT_TRUE(Effects().isEnabled() && Points().isEnabled());
    EXPECT_FALSE(Description().isReadOnly());
    EXPECT_EQ(Store().text(), u"Store New Icon"); // showing a symbol is no change
    EXPECT_EQ(Main->StatusText(), u"Riposte selected.");
    EXPECT_EQ(Action(u"mnuIconRename"_s).text(), u"Rename Riposte");
    EXPECT_TRUE(Action(u"mnuIconRename"_s).isEnabled());

    Click(Basic(), u"Melee"_s);
    EXPECT_EQ(view.CurrentIcon(), BasicIcon::Melee);
    EXPECT_EQ(Selected(Special()), u"0 selected");
    EXPECT_EQ(ShownEffects(), (QStringList{u"Melee"_s, u"Melee Avoidance"_s}));
    EXPECT_FALSE(Effects().isEnabled() || Points().isEnabled());
    EXPECT_TRUE(Description().isReadOnly());
    EXPECT_NE(Description().palette().color(QPalette::Base), view.palette().color(QPalette::Base));
    EXPECT_EQ(Main->StatusText(), u"Melee selected.");
    EXPECT_EQ(Action(u"mnuIconRename"_s).text(), u"Rename");
    EXPECT_FALSE(Action(u"mnuIconRename"_s).isEnabled());
    // Presets leave a basic symbol alone.
    Action(u"mnuEffectNothing"_s).trigger();
    EXPECT_EQ(ShownEffects().size(), 2);
    EXPECT_EQ(Store().text(), u"Store New Icon");

    // The entry clicked before counts again once the other list took the selection.
    Click(Special(), u"Riposte"_s);
    EXPECT_EQ(view.CurrentIcon(), 9);
    EXPECT_EQ(Selected(Basic()), u"0 selected");
    EXPECT_EQ(Main->StatusText(), u"Riposte selected.");
}

TEST_F(IconViewTest, TypingSearchesTheBasicListFirst)
{
    QFile::remove(IconFile);
    TfrmIconView &view = Open();
    view.ShowViewer();
    QApplication::processEvents(); // the activation arrives as an event
    NameBox().setFocus();
    ASSERT_TRUE(NameBox().hasFocus());
    Type(u"Me"_s);
    EXPECT_EQ(Selected(Basic()), u"Melee");
    EXPECT_EQ(view.CurrentIcon(), BasicIcon::Melee);
    EXPECT_EQ(Main->StatusText(), u"Melee selected.");
    EXPECT_EQ(NameBox().text(), u"Me"); // the typist's text stays
    NameBox().clear();
    Type(u"zz"_s); // past every name: the last one
    EXPECT_EQ(Selected(Basic()), u"Save");

    // With special symbols, a name the basic list lacks is looked up among them.
    View.reset();
    WriteFile(IconFile, WriteToBytes([](TTaggedWriter &w) {
                  TIconTable table;
                  table.Add(Symbol(u"Bulwark"_s, {}, 1, {}));
                  table.Add(Symbol(u"apex"_s, {}, 1, {}));
                  WriteIconStream(w, table);
              }));
    Open();
    NameBox().setText(u"Bul"_s);
    EXPECT_EQ(Selected(Special()), u"Bulwark");
    EXPECT_EQ(Selected(Basic()), u"0 selected");
    EXPECT_EQ(Main->StatusText(), u"Bulwark selected.");
    NameBox().setText(u"Move"_s); // an exact basic name stays in the basic list
    EXPECT_EQ(Selected(Basic()), u"Move");
    EXPECT_EQ(Selected(Special()), u"0 selected");
    NameBox().setText(u"b"_s); // lower case sorts after every capital
    EXPECT_EQ(Selected(Special()), u"apex");
}

TEST_F(IconViewTest, StoringChangesToASpecialSymbol)
{
    TfrmIconView &view = Open();
    Click(Special(), u"Bulwark"_s);
    // A click on the symbol shown takes back what was not stored.
    Description().setPlainText(u"Holds nothing."_s);
    EXPECT_TRUE(Store().isEnabled());
    emit Special().itemClicked(Special().currentItem());
    EXPECT_EQ(Description().toPlainText(), u"Stands firm.");
    EXPECT_EQ(Store().text(), u"Store New Icon");

    Description().setPlainText(u"Holds the line."_s);
    EXPECT_EQ(Store().text(), u"Store Changes");
    EXPECT_TRUE(Store().isEnabled());
    Points().setValue(5);
    Effects().item(0, 0)->setSelected(true); // Magic, by a click
    Store().click();
    const TIconDescriptor &icon = Icon(u"Bulwark"_s);
    EXPECT_EQ(icon.Description, u"Holds the line.");
    EXPECT_EQ(icon.Points, 5);
    EXPECT_EQ(icon.Effects, (TEffectSet{EffectFlag::Magic, EffectFlag::SaveMelee, EffectFlag::SaveMissile}));
    EXPECT_TRUE(view.Modified());
    EXPECT_EQ(Main->StatusText(), u"Icon Bulwark updated.");
    EXPECT_EQ(Store().text(), u"Store New Icon");
    EXPECT_TRUE(Prompts.Transcript.isEmpty());

    // With nothing left to store, a click on the button starts a new symbol.
    Prompts.ExpectInput(u"Enter the name of the new icon."_s, u"Bastion"_s);
    QTest::mouseClick(&Store(), Qt::LeftButton);
    EXPECT_EQ(NameBox().text(), u"Bastion");
    EXPECT_EQ(view.CurrentIcon(), -1);
    EXPECT_EQ(Store().text(), u"Store New Icon");
    Description().setPlainText(u"Stands firmer."_s);
    // The next new symbol is offered at once, as "New Icons" does; cancelled here.
    Prompts.ExpectInput(u"Enter the name of the new icon."_s, std::nullopt);
    QTest::mouseClick(&Store(), Qt::LeftButton);
    EXPECT_EQ(Icon(u"Bastion"_s).Description, u"Stands firmer.");
    EXPECT_EQ(Main->StatusText(), u"Icon create cancelled by user.");
    Prompts.CheckAllUsed();
}

TEST_F(IconViewTest, NewAndDuplicatedSymbols)
{
    TfrmIconView &view = Open();
    Click(Special(), u"Twin Volley"_s);
    Click(Basic(), u"Save"_s);
    Points().setValue(3);
    // A name in use is refused and asked again.
    Prompts.ExpectInput(kNewPrompt, u"Melee"_s);
    Prompts.ExpectMessage(u"\"Melee\" is already in use."_s);
    Prompts.ExpectInput(kNewPrompt, u"Ember"_s);
    Action(u"mnuIconNew"_s).trigger();
    EXPECT_EQ(Prompts.Transcript, (QStringList{u"input Icon Name: Enter the name of the new icon. []"_s,
                                               u"message Warning Icon Viewer: \"Melee\" is already in use."_s,
                                               u"input Icon Name: Enter the name of the new icon. []"_s}));
    EXPECT_EQ(view.CurrentIcon(), -1);
    EXPECT_EQ(NameBox().text(), u"Ember");
    EXPECT_TRUE(Description().toPlainText().isEmpty());
    EXPECT_TRUE(ShownEffects().isEmpty());
    EXPECT_EQ(Points().value(), 3) << "the points shown stay for the new symbol";
    EXPECT_TRUE(Effects().isEnabled() && Points().isEnabled() && !Description().isReadOnly());
    EXPECT_EQ(Selected(Basic()), u"0 selected");
    EXPECT_EQ(Store().text(), u"Store New Icon");
    EXPECT_TRUE(Store().isEnabled());

    Description().setPlainText(u"Burns."_s);
    Action(u"mnuEffectSpecial"_s).trigger();
    Points().setValue(4);
    EXPECT_EQ(Store().text(), u"Store New Icon");
    Statuses.clear();
    Prompts.ExpectInput(kNewPrompt, std::nullopt); // the next new symbol is asked at once
    Store().click();
    EXPECT_EQ(Statuses, (QStringList{u"Loading icon:  Ember..."_s, u"Ember icon loaded."_s, u"Icon Ember updated."_s,
                                     u"Icon create cancelled by user."_s}));
    const qint32 ember = Main->Catalogue().Icons().IconByName(u"Ember"_s);
    EXPECT_EQ(ember, 10); // after the last symbol of the file
    EXPECT_EQ(view.CurrentIcon(), ember);
    EXPECT_EQ(Names(Special()),
              (QStringList{u"Bulwark=7"_s, u"Ember=10"_s, u"Riposte=9"_s, u"Twin Volley=6"_s, u"apex=8"_s}));
    EXPECT_EQ(Selected(Special()), u"Ember");
    EXPECT_EQ(Icon(u"Ember"_s).Description, u"Burns.");
    EXPECT_EQ(Icon(u"Ember"_s).Points, 4);
    EXPECT_FALSE(Icon(u"Ember"_s).Basic);
    EXPECT_EQ(Icon(u"Ember"_s).Effects,
              (TEffectSet{EffectFlag::MagicEffect, EffectFlag::MissileEffect, EffectFlag::MeleeEffect,
                          EffectFlag::MissileSaveEffect, EffectFlag::MeleeSaveEffect}));
    EXPECT_TRUE(view.Modified());

    // A duplicate starts from the symbol shown and asks no further name after storing.
    Click(Special(), u"Riposte"_s);
    Prompts.ExpectInput(kNewPrompt, u"Riposte II"_s);
    Action(u"mnuIconDuplicate"_s).trigger();
    EXPECT_EQ(Description().toPlainText(), u"Strikes back.");
    EXPECT_EQ(ShownEffects(), (QStringList{u"Save/Melee"_s, u"Melee Counter"_s}));
    Store().click();
    EXPECT_EQ(Main->Catalogue().Icons().IconByName(u"Riposte II"_s), 11);
    EXPECT_EQ(Icon(u"Riposte II"_s).Points, 3);
    EXPECT_EQ(Icon(u"Riposte II"_s).Effects, Icon(u"Riposte"_s).Effects);
    EXPECT_EQ(Main->StatusText(), u"Icon Riposte II updated.");

    // An empty answer is a cancel.
    Prompts.ExpectInput(kNewPrompt, QString());
    Action(u"mnuIconNew"_s).trigger();
    EXPECT_EQ(Main->StatusText(), u"Icon create cancelled by user.");
    EXPECT_EQ(view.CurrentIcon(), 11);
}

TEST_F(IconViewTest, RenamingAndItsRefusals)
{
    TfrmIconView &view = Open();
    Click(Special(), u"Twin Volley"_s);
    const QString prompt = u"Enter the new name for \"Twin Volley\"."_s;
    Prompts.ExpectInput(prompt, u"Bulwark"_s);
    Prompts.ExpectMessage(u"\"Bulwark\" is already in use."_s);
    Prompts.ExpectInput(prompt, u"Volley"_s);
    Action(u"mnuIconRename"_s).trigger();
    EXPECT_EQ(Prompts.Transcript.front(), u"input Icon Name: "_s + prompt + u" [Twin Volley]"_s);
    EXPECT_EQ(Prompts.Transcript.back(), u"input Icon Name: "_s + prompt + u" [Twin Volley]"_s);
    EXPECT_EQ(Names(Special()), (QStringList{u"Bulwark=7"_s, u"Riposte=9"_s, u"Volley=6"_s, u"apex=8"_s}));
    EXPECT_EQ(Selected(Special()), u"Volley");
    EXPECT_EQ(NameBox().text(), u"Volley");
    EXPECT_EQ(Store().text(), u"Store Changes");
    EXPECT_TRUE(Store().isEnabled());
    EXPECT_EQ(Action(u"mnuIconRename"_s).text(), u"Rename Volley");
    EXPECT_TRUE(view.Modified());

    Prompts.ExpectInput(u"Enter the new name for \"Volley\"."_s, std::nullopt);
    Action(u"mnuIconRename"_s).trigger();
    EXPECT_EQ(Main->StatusText(), u"Rename cancelled by user.");
    EXPECT_EQ(Icon(u"Volley"_s).ID, 6);

    // A symbol on a die face stays.
    Click(Special(), u"Riposte"_s);
    Statuses.clear();
    Prompts.ExpectInput(u"Enter the new name for \"Riposte\"."_s, u"delete"_s);
    Prompts.ExpectMessage(u"\"Riposte\" cannot be deleted: it is on a face of Stonekin Guard of Stonekin."_s);
    Action(u"mnuIconRename"_s).trigger();
    EXPECT_EQ(Statuses, QStringList{u"Icon Riposte kept."_s});
    EXPECT_EQ(Icon(u"Riposte"_s).ID, 9);
    EXPECT_EQ(Special().count(), 4);
    EXPECT_EQ(view.CurrentIcon(), 9);
}

TEST_F(IconViewTest, DeletedSymbolsLeaveBothFilesAtTheNextSave)
{
    TfrmIconView &view = Open();
    view.ShowViewer();
    Click(Special(), u"Bulwark"_s);
    Prompts.ExpectInput(u"Enter the new name for \"Bulwark\"."_s, u"delete"_s);
    Action(u"mnuIconRename"_s).trigger();
    EXPECT_EQ(Names(Special()), (QStringList{u"Riposte=9"_s, u"Twin Volley=6"_s, u"apex=8"_s}));
    EXPECT_TRUE(Main->Catalogue().GetIcon(7)->Name.isEmpty()); // held until the save
    EXPECT_EQ(view.CurrentIcon(), -1);
    EXPECT_TRUE(NameBox().text().isEmpty());
    EXPECT_EQ(Main->StatusText(), u"Icon Bulwark deleted.");
    EXPECT_TRUE(view.Modified());
    Click(Special(), u"apex"_s); // shown across the save, which moves it down

    // A failed save keeps the old numbers, and the shown symbol with them.
    ASSERT_TRUE(QFile::remove(IconFile));
    ASSERT_TRUE(QDir(Data.path()).mkdir(u"KRICONS.DAT"_s));
    Prompts.ExpectAsk(u"Save icon changes to disk?"_s, TAnswer::Yes);
    Prompts.ExpectMessage(QString());
    EXPECT_FALSE(view.CloseIconViewerQuery());
    EXPECT_EQ(view.CurrentIcon(), 8);
    EXPECT_EQ(Selected(Special()), u"apex");
    EXPECT_EQ(NameBox().text(), u"apex");
    ASSERT_TRUE(QDir(Data.path()).rmdir(u"KRICONS.DAT"_s));

    Statuses.clear();
    Prompts.ExpectAsk(u"Save icon changes to disk?"_s, TAnswer::Yes);
    EXPECT_TRUE(view.CloseIconViewerQuery());
    EXPECT_FALSE(view.isVisible());
    EXPECT_FALSE(view.Modified());
    EXPECT_EQ(Statuses, (QStringList{u"Saving position of Icons..."_s, u"Position of Icon Viewer saved."_s,
                                     u"Icon form closed."_s, u"Writing race data..."_s, u"Race data written to disk."_s,
                                     u"Saving icons to disk..."_s, u"Icons saved to disk."_s,
                                     u"Saving position of Icons..."_s, u"Position of Icon Viewer saved."_s}));

    TCatalogue saved;
    ReadFromBytes(FileBytes(IconFile), [&](TTaggedReader &r) { ReadIconStream(r, saved.Icons()); });
    ASSERT_EQ(saved.Icons().Count(), 9);
    EXPECT_EQ(saved.GetIcon(6)->Name, u"Twin Volley");
    EXPECT_EQ(saved.GetIcon(7)->Name, u"apex");
    EXPECT_EQ(saved.GetIcon(8)->Name, u"Riposte");
    EXPECT_EQ(saved.GetIcon(8)->Points, 3);
    ReadFromBytes(FileBytes(RaceFile), [&](TTaggedReader &r) { ReadRaceStream(r, saved); });
    ASSERT_EQ(saved.RaceCount(), 2);
    const TDie &archer = *saved.Races()[0]->Dice().front();
    const TDie &guard = *saved.Races()[1]->Dice().front();
    EXPECT_EQ(archer.Name, u"Reed Archer");
    EXPECT_EQ(archer.FaceSymbol(1), 6);
    EXPECT_EQ(archer.FaceSymbolCount(1), 2);
    EXPECT_EQ(guard.FaceSymbol(2), 8); // Riposte moved down with the table
    EXPECT_EQ(guard.FaceSymbol(0), BasicIcon::ID);

    // The lists carry the new numbers, and the shown symbol kept its place.
    EXPECT_EQ(Names(Special()), (QStringList{u"Riposte=8"_s, u"Twin Volley=6"_s, u"apex=7"_s}));
    EXPECT_EQ(view.CurrentIcon(), 7);
    EXPECT_EQ(Selected(Special()), u"apex");
    EXPECT_EQ(Main->Catalogue().Races()[1]->Dice().front()->FaceSymbol(2), 8);
    EXPECT_FALSE(Main->Catalogue().RacesModified);
    EXPECT_FALSE(Item(u"mnuFileSaveRaces"_s).isEnabled());
}

TEST_F(IconViewTest, EffectPresetsReplaceTheSelection)
{
    Open();
    Click(Special(), u"Riposte"_s);
    const std::pair<const char16_t *, QStringList> presets[] = {
        {u"mnuEffectDisable", {u"Melee Effect"_s}},
        {u"mnuEffectMissileSpecial", {u"Missile"_s, u"Missile Damage Effect"_s}},
        {u"mnuEffectKill", {u"Melee"_s, u"Melee Damage Effect"_s}},
        {u"mnuEffectSpecial",
         {u"Magic Effect"_s, u"Missile Effect"_s, u"Melee Effect"_s, u"Missile Save Effect"_s, u"Melee Save Effect"_s}},
        {u"mnuEffectNothing", {}},
    };
    for (const auto &[name, effects] : presets) {
        Action(QString::fromUtf16(name)).trigger();
        EXPECT_EQ(ShownEffects(), effects) << QString::fromUtf16(name).toStdString();
        EXPECT_EQ(Store().text(), u"Store Changes");
    }
    EXPECT_EQ(Action(u"mnuEffectMissileSpecial"_s).text(), u"Missile Special");
    // Nothing is stored until the button is pressed.
    EXPECT_EQ(Icon(u"Riposte"_s).Effects, (TEffectSet{EffectFlag::SaveMelee, EffectFlag::MeleeCounter}));
}

TEST_F(IconViewTest, CloseQueryAnswers)
{
    TfrmIconView &view = Open();
    // Without changes it hides without a question, keeping its position once shown.
    EXPECT_TRUE(view.CloseIconViewerQuery());
    EXPECT_FALSE(Settings.Exists(u"Icons"_s)); // never shown: no position of its own yet
    view.ShowViewer();
    EXPECT_TRUE(view.isVisible());
    view.close();
    EXPECT_FALSE(view.isVisible());
    EXPECT_EQ(Settings.TypeOf(u"Icons"_s), TSettingType::Binary);
    EXPECT_EQ(Main->StatusText(), u"Position of Icon Viewer saved.");

    view.ShowViewer();
    Click(Special(), u"apex"_s);
    Description().setPlainText(u"Climbs high."_s);
    Store().click();
    const QByteArray before = FileBytes(IconFile);

    Prompts.ExpectAsk(u"Save icon changes to disk?"_s, TAnswer::Cancel);
    EXPECT_FALSE(view.CloseIconViewerQuery());
    EXPECT_TRUE(view.isVisible());
    EXPECT_EQ(Prompts.Transcript.last(), u"ask YesNoCancel Icon Viewer: Save icon changes to disk?");

    Prompts.ExpectAsk(u"Save icon changes to disk?"_s, TAnswer::No);
    view.close(); // the title bar's close runs the same query
    EXPECT_FALSE(view.isVisible());
    EXPECT_TRUE(view.Modified());
    EXPECT_EQ(Icon(u"apex"_s).Description, u"Climbs high.");
    EXPECT_EQ(FileBytes(IconFile), before);

    // A failed write keeps the changes and the window.
    view.ShowViewer();
    QFile::remove(IconFile);
    ASSERT_TRUE(QDir(Data.path()).mkdir(u"KRICONS.DAT"_s));
    Prompts.ExpectAsk(u"Save icon changes to disk?"_s, TAnswer::Yes);
    Prompts.ExpectMessage(QString());
    EXPECT_FALSE(view.CloseIconViewerQuery());
    EXPECT_TRUE(view.isVisible());
    EXPECT_TRUE(view.Modified());
    EXPECT_EQ(Main->StatusText(), u"Error writing icon file.");
    EXPECT_EQ(Names(Special()), (QStringList{u"Bulwark=7"_s, u"Riposte=9"_s, u"Twin Volley=6"_s, u"apex=8"_s}));
}

} // namespace
