#include "army/OddsView.h"
#include "MainFixture.h"
#include "army/ArmyForm.h"
#include "army/OddsWindow.h"
#include "controls/FancyGrid.h"
#include "dice/Catalogue.h"
#include "editors/DieEdit.h"

#include <QAbstractItemModel>
#include <QApplication>
#include <QComboBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTableView>
#include <QTest>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

using R = ResultType;

// Reedfolk: Gull (melee 0, 0, 1, 1, 2, 2), Raider (a face that hits and rolls again),
// Colossus (twelve faces of 60,000 hits that roll again: too many totals to list);
// the Relics' Ember Wand (a health-2 mage item of red magic); the summoned Drakes'
// Wyrmling (melee 4 on every face).
class OddsViewTest : public TMainFixture
{
protected:
    OddsViewTest()
    {
        using namespace BasicIcon;
        TCatalogue catalogue;
        TIconDescriptor cleave;
        cleave.Name = u"Cleave"_s;
        cleave.Effects = {EffectFlag::Melee, EffectFlag::RerollMelee};
        const qint32 cleaveID = catalogue.Icons().Add(cleave);

        auto reed = catalogue.CreateRace();
        reed->Name = u"Reedfolk"_s;
        AddDie(*reed, u"Gull"_s, {{Move, 1}, {Move, 1}, {Melee, 1}, {Melee, 1}, {Melee, 2}, {Melee, 2}});
        AddDie(*reed, u"Raider"_s, {{cleaveID, 1}, {Melee, 1}, {Melee, 1}, {Melee, 2}, {Move, 1}, {Move, 1}});
        std::vector<std::pair<qint32, int>> colossal(12, {cleaveID, 60000});
        colossal.push_back({Melee, 1});
        AddDie(*reed, u"Colossus"_s, colossal);
        catalogue.InsertRace(std::move(reed));
        auto relics = catalogue.CreateRace();
        relics->Name = u"Relics"_s;
        relics->Type = RaceType::MagicItems;
        relics->Colors = {MagicColor::Red};
        AddDie(*relics, u"Ember Wand"_s, {{Magic, 1}, {Magic, 1}, {Move, 1}, {Move, 1}, {Move, 1}, {Move, 1}}, 2,
               Profession::Mage);
        catalogue.InsertRace(std::move(relics));
        auto drakes = catalogue.CreateRace();
        drakes->Name = u"Drakes"_s;
        drakes->Type = RaceType::Dragonkin;
        AddDie(*drakes, u"Wyrmling"_s, std::vector<std::pair<qint32, int>>(6, {Melee, 4}));
        catalogue.InsertRace(std::move(drakes));
        WriteCatalogue(catalogue);
        Settings.WriteText(u"ArmyDir"_s, Data.path());
        Start();
    }

    static void AddDie(TRace &race, const QString &name, const std::vector<std::pair<qint32, int>> &faces,
                       int health = 1, Profession profession = Profession::HeavyTroop)
    {
        auto die = std::make_unique<TDie>(race, name);
        die->SetHealth(health);
        die->SetProfession(profession);
        die->SetFaceCount(int(faces.size()));
        for (size_t i = 0; i < faces.size(); ++i)
            die->SetFace(int(i), faces[i].first, faces[i].second);
        race.AddDie(std::move(die));
    }

    TDie &Die(const QString &name)
    {
        TDieTraversal walk(Main->Catalogue());
        for (TDie *die = walk.First(); die; die = walk.Next()) {
            if (die->Name == name)
                return *die;
        }
        ADD_FAILURE() << name.toStdString();
        return *walk.First();
    }

    // The table as the user reads it: "total exactly at-least" per row.
    static QStringList Rows(const TOddsView &view)
    {
        const QAbstractItemModel &model = *view.Table().model();
        QStringList rows;
        for (int row = 0; row < model.rowCount(); ++row) {
            QStringList cells;
            for (int column = 0; column < model.columnCount(); ++column)
                cells << model.index(row, column).data().toString();
            rows << cells.join(u' ');
        }
        return rows;
    }

    // A choice as the user makes it: the entry of that name in the box.
    static void Pick(QComboBox &box, const QString &entry)
    {
        const int index = box.findText(entry);
        ASSERT_GE(index, 0) << entry.toStdString();
        box.setCurrentIndex(index);
    }

    static QStringList Entries(const QComboBox &box)
    {
        QStringList entries;
        for (int i = 0; i < box.count(); ++i)
            entries << box.itemText(i);
        return entries;
    }

    // Ctrl+D in the army window, as the user presses it.
    TfrmOdds &OpenOdds(TfrmArmy &army)
    {
        QApplication::setActiveWindow(Main.get());
        army.DiceGrid().setFocus();
        QTest::keyClick(&army.DiceGrid(), Qt::Key_D, Qt::ControlModifier);
        if (!army.OddsWindow() || !army.OddsWindow()->isVisible()) {
            ADD_FAILURE() << "Ctrl+D showed no odds";
            army.ShowOdds();
        }
        return *army.OddsWindow();
    }
};

} // namespace

TEST_F(OddsViewTest, TheArmyOddsFollowTheArmyAndItsOptions)
{
    TfrmArmy &army = Main->CreateArmy();
    army.Army().SetName(u"Ford"_s);
    army.RefreshAll();
    // The key is the army window's own: neither the frame nor the army uses it otherwise.
    int holders = 0;
    for (const QAction *item : Main->findChildren<QAction *>())
        holders += item->shortcut() == QKeySequence(Qt::CTRL | Qt::Key_D) ? 1 : 0;
    EXPECT_EQ(holders, 1);

    TfrmOdds &odds = OpenOdds(army);
    TOddsView &view = odds.View();
    EXPECT_TRUE(odds.isVisible());
    EXPECT_EQ(odds.windowTitle(), u"Odds of Ford");
    // No dice roll nothing.
    EXPECT_EQ(Rows(view), QStringList{u"0 100.00 100.00"_s});
    EXPECT_EQ(view.Summary().text(), u"Always 0.");
    EXPECT_EQ(Entries(view.LandChooser()).value(6), u"Feyland");
    EXPECT_EQ(Entries(view.ResultChooser()).size(), kResultTypeCount);

    Pick(view.LandChooser(), u"Feyland"_s);
    Pick(view.ResultChooser(), u"Melee"_s);
    army.AddDie(Die(u"Gull"_s));
    EXPECT_EQ(Rows(view), (QStringList{u"0 33.33 100.00"_s, u"1 33.33 66.67"_s, u"2 33.33 33.33"_s}));
    army.AddDie(Die(u"Gull"_s));
    EXPECT_EQ(Rows(view), (QStringList{u"0 11.11 100.00"_s, u"1 22.22 88.89"_s, u"2 33.33 66.67"_s, u"3 22.22 33.33"_s,
                                       u"4 11.11 11.11"_s}));
    EXPECT_EQ(view.Summary().text(), u"Totals 0 to 4, mean 2.00.");

    // Summoned dice count once the army window says so.
    army.AddDie(Die(u"Wyrmling"_s));
    EXPECT_EQ(Rows(view).front(), u"0 11.11 100.00");
    army.findChild<QAction *>(u"mnuOptionsSummoned"_s)->trigger();
    EXPECT_EQ(Rows(view).front(), u"4 11.11 100.00");
    army.findChild<QAction *>(u"mnuOptionsSummoned"_s)->trigger();

    // A die deleted with Ctrl+Del leaves the odds at once.
    army.DiceGrid().SelectCell(1, 1);
    QTest::keyClick(&army.DiceGrid(), Qt::Key_Delete, Qt::ControlModifier);
    ASSERT_EQ(army.Army().Dice().size(), 2u);
    EXPECT_EQ(Rows(view), (QStringList{u"0 33.33 100.00"_s, u"1 33.33 66.67"_s, u"2 33.33 33.33"_s}));

    // The rules options, from the army window's menu.
    army.AddDie(Die(u"Ember Wand"_s));
    Pick(view.ResultChooser(), u"Red Magic"_s);
    EXPECT_EQ(Rows(view), (QStringList{u"0 66.67 100.00"_s, u"1 33.33 33.33"_s}));
    army.findChild<QAction *>(u"mnuArmyPowerItems"_s)->trigger();
    ASSERT_TRUE(Main->Catalogue().Rules.PowerMagicItems);
    EXPECT_EQ(Rows(view), (QStringList{u"1 66.67 100.00"_s, u"2 33.33 33.33"_s}));

    // The result types follow the shared column order; the choice stays.
    Main->MoveResultColumn(Main->ResultMap().Position(R::Melee), 1);
    EXPECT_EQ(Entries(view.ResultChooser()).front(), u"Melee");
    EXPECT_EQ(view.ResultChooser().currentText(), u"Red Magic");
    EXPECT_EQ(view.ChosenResult(), R::RedMagic);

    // A renamed army renames its odds.
    army.findChild<QLineEdit *>(u"txtName"_s)->selectAll();
    QTest::keyClicks(army.findChild<QLineEdit *>(u"txtName"_s), u"Shallows"_s);
    EXPECT_EQ(odds.windowTitle(), u"Odds of Shallows");

    // Closed and opened again with the key: the same window, still following.
    odds.close();
    EXPECT_EQ(&OpenOdds(army), &odds);
    EXPECT_TRUE(odds.isVisible());
}

TEST_F(OddsViewTest, TheChartIsDrawnFromTheAtLeastChances)
{
    TfrmArmy &army = Main->CreateArmy();
    army.AddDie(Die(u"Raider"_s));
    TOddsView &view = OpenOdds(army).View();
    view.Choose(Land::Flatland, R::Melee);
    // The reroll series, cut off after sixteen rounds.
    ASSERT_NE(view.Odds(), nullptr);
    EXPECT_EQ(view.Odds()->Count(), 18);
    EXPECT_EQ(Rows(view).mid(0, 3), (QStringList{u"0 33.33 100.00"_s, u"1 38.89 66.67"_s, u"2 23.15 27.78"_s}));
    EXPECT_EQ(view.Summary().text(), u"Totals 0 to 17, mean 1.00.  Not placed: 3.54e-13.");

    TOddsChart &chart = view.Chart();
    ASSERT_GT(chart.width(), 100);
    ASSERT_GT(chart.height(), 100);
    ASSERT_EQ(chart.BarCount(), 18);
    const QImage picture = chart.grab().toImage();
    const QColor bar = chart.palette().color(QPalette::Highlight);
    const QColor ground = chart.palette().color(QPalette::Base);
    // The first bar is full height, the second two thirds of it.
    const QRectF first = chart.BarRect(0);
    const QRectF second = chart.BarRect(1);
    EXPECT_NEAR(second.height() / first.height(), 2.0 / 3, 1e-9);
    EXPECT_EQ(picture.pixelColor(first.center().toPoint()), bar);
    EXPECT_EQ(picture.pixelColor(second.center().toPoint()), bar);
    // Above the second bar, and above the last (nearly nothing), the ground shows.
    EXPECT_EQ(picture.pixelColor(QPoint(int(second.center().x()), int(first.top() + first.height() / 6))), ground);
    const QRectF last = chart.BarRect(17);
    EXPECT_LT(last.height(), 1.0);
    EXPECT_EQ(picture.pixelColor(QPoint(int(last.center().x()), int(first.top() + first.height() / 4))), ground);
    EXPECT_LT(second.right(), chart.BarRect(2).left() + 1e-9) << "bars stand side by side";
}

TEST_F(OddsViewTest, TheDieViewerShowsTheOddsOfTheDieShown)
{
    std::vector<TDie *> list{&Die(u"Gull"_s), &Die(u"Raider"_s)};
    TfrmDie dialog(*Main, list, 0);
    dialog.show();
    QTabWidget &pages = dialog.ResultPages();
    EXPECT_EQ(pages.tabText(0), u"Results");
    EXPECT_EQ(pages.tabText(1), u"Odds");
    EXPECT_EQ(pages.currentIndex(), 0);
    // Worked out only once the page is shown: a click on its tab.
    EXPECT_EQ(dialog.OddsView().Odds(), nullptr);
    QTest::mouseClick(pages.tabBar(), Qt::LeftButton, {}, pages.tabBar()->tabRect(1).center());
    ASSERT_EQ(pages.currentIndex(), 1);
    TOddsView &view = dialog.OddsView();
    ASSERT_NE(view.Odds(), nullptr);
    Pick(view.ResultChooser(), u"Melee"_s);
    EXPECT_EQ(Rows(view), (QStringList{u"0 33.33 100.00"_s, u"1 33.33 66.67"_s, u"2 33.33 33.33"_s}));

    // The next die of the list brings its own odds.
    QTest::mouseClick(dialog.findChild<QPushButton *>(u"btnNext"_s), Qt::LeftButton);
    ASSERT_EQ(&dialog.Die(), list[1]);
    EXPECT_EQ(view.Odds()->Count(), 18);
    EXPECT_EQ(Rows(view).front(), u"0 33.33 100.00");
    EXPECT_EQ(Rows(view).at(1), u"1 38.89 66.67");
    dialog.close();
}

TEST_F(OddsViewTest, OddsTooWideToWorkOutAreReported)
{
    TfrmDie dialog(*Main, Die(u"Colossus"_s));
    dialog.show();
    dialog.ResultPages().setCurrentIndex(1);
    TOddsView &view = dialog.OddsView();
    const QString message = u"The totals of this roll spread too wide to work out its odds."_s;
    Prompts.ExpectMessage(message);
    Pick(view.ResultChooser(), u"Melee"_s);
    Prompts.CheckAllUsed();
    EXPECT_EQ(view.Odds(), nullptr);
    EXPECT_EQ(view.Table().model()->rowCount(), 0);
    EXPECT_EQ(view.Chart().BarCount(), 0);
    EXPECT_EQ(view.Summary().text(), u"Error computing odds.");
    EXPECT_EQ(Main->StatusText(), u"Error computing odds.");
    EXPECT_EQ(Prompts.Transcript.last(), u"message Warning Tarrowind Assistant: "_s + message);
    // Another choice works again.
    Pick(view.ResultChooser(), u"Move"_s);
    EXPECT_EQ(Rows(view), QStringList{u"0 100.00 100.00"_s});
    EXPECT_EQ(view.Summary().text(), u"Always 0.");
    dialog.close();
}
