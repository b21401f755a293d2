#include "reports/DieFinder.h"
#include "MainFixture.h"
#include "army/ArmyForm.h"
#include "controls/FancyGrid.h"
#include "dice/Catalogue.h"
#include "editors/DieEdit.h"

#include <QApplication>
#include <QCheckBox>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSpinBox>
#include <QTimer>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

using R = ResultType;

class DieFinderTest : public TMainFixture
{
protected:
    DieFinderTest()
    {
        // Scores with the starting weights are the melee of each die. Wader is too big
        // for any search and the dragonkin are not searched at first.
        TCatalogue catalogue;
        AddRace(catalogue, u"Ashen"_s, RaceType::NormalUnits,
                {{u"Cinder"_s, 3, 3}, {u"Ember"_s, 2, 2}, {u"Char & Smoke"_s, 1, 2}});
        AddRace(catalogue, u"Reedfolk"_s, RaceType::NormalUnits, {{u"Heron"_s, 4, 5}, {u"Wader"_s, 10, 9}});
        AddRace(catalogue, u"Wyrms"_s, RaceType::Dragonkin, {{u"Drake"_s, 4, 8}});
        WriteCatalogue(catalogue);
    }

    struct TDieShape
    {
        QString Name;
        int Health;
        int Melee;
    };

    static void AddRace(TCatalogue &catalogue, const QString &name, RaceType type, const std::vector<TDieShape> &dice)
    {
        auto race = catalogue.CreateRace();
        race->Name = name;
        race->Type = type;
        for (const TDieShape &shape : dice) {
            auto die = std::make_unique<TDie>(*race, shape.Name);
            die->SetHealth(shape.Health);
            for (int face = 0; face < die->FaceCount(); ++face)
                die->SetFace(face, BasicIcon::Melee, shape.Melee);
            race->AddDie(std::move(die));
        }
        catalogue.InsertRace(std::move(race));
    }

    TfrmDieSearch &Finder()
    {
        if (!FFinder) {
            Start();
            FFinder = std::make_unique<TfrmDieSearch>(*Main);
            QObject::connect(FFinder.get(), &TfrmDieSearch::StatusChanged, FFinder.get(),
                             [this](const QString &text) { FinderStatuses << text; });
        }
        return *FFinder;
    }

    template <class T> T &Control(const QString &name)
    {
        auto *control = Finder().findChild<T *>(name);
        EXPECT_NE(control, nullptr) << name.toStdString();
        return *control;
    }

    QAction &FinderItem(const QString &name) { return Control<QAction>(name); }

    static QStringList Selected(const QListWidget &list)
    {
        QStringList names;
        for (int row = 0; row < list.count(); ++row)
            if (list.item(row)->isSelected())
                names << list.item(row)->text();
        return names;
    }

    // The texts of the result grid's column shown at a grid position, from the top.
    QStringList Shown(int position)
    {
        QStringList texts;
        const TColumnData *column = Finder().ResultGrid().ColumnAt(position);
        for (int row = 1; row <= Finder().ResultGrid().Rows(); ++row)
            texts << column->Cell(row)->Text();
        return texts;
    }

    QStringList Weights()
    {
        QStringList texts;
        for (int position = 0; position < kResultTypeCount; ++position)
            texts << Finder().WeightGrid().ColumnAt(position)->Cell(1)->Text();
        return texts;
    }

    QStringList FinderStatuses;
    std::unique_ptr<TfrmDieSearch> FFinder;
};

} // namespace

TEST_F(DieFinderTest, StartingCriteriaAndClearing)
{
    TfrmDieSearch &finder = Finder();
    EXPECT_EQ(finder.windowTitle(), u"Die Finder");
    EXPECT_EQ(Selected(Control<QListWidget>(u"lstTerrain"_s)), QStringList{u"(none)"_s});
    EXPECT_TRUE(Selected(Control<QListWidget>(u"lstColors"_s)).isEmpty());
    EXPECT_EQ(Selected(Control<QListWidget>(u"lstRaceTypes"_s)), QStringList{u"Normal Units"_s});
    EXPECT_EQ(Selected(Control<QListWidget>(u"lstProfessions"_s)).size(), 9);
    auto &effects = Control<QListWidget>(u"lstEffects"_s);
    EXPECT_TRUE(Selected(effects).isEmpty());
    ASSERT_EQ(effects.count(), 17);
    EXPECT_EQ(effects.item(0)->text(), u"Spell Resist");
    EXPECT_EQ(effects.item(16)->text(), u"Surprise");
    auto &maxHealth = Control<QSpinBox>(u"spnMaxHealth"_s);
    auto &number = Control<QSpinBox>(u"spnNumber"_s);
    EXPECT_EQ(maxHealth.value(), 4);
    EXPECT_EQ(maxHealth.maximum(), 5);
    EXPECT_EQ(number.value(), 20);
    EXPECT_EQ(number.minimum(), 10);
    EXPECT_EQ(number.maximum(), 100);
    EXPECT_FALSE(Control<QCheckBox>(u"chkMaxHealthOnly"_s).isChecked());
    EXPECT_FALSE(Control<QCheckBox>(u"chkRestrict"_s).isChecked());
    EXPECT_EQ(Weights(), (QStringList{u"  0.50"_s, u"  0.50"_s, u"  0.50"_s, u"  0.50"_s, u"  0.50"_s, u"  1.00"_s,
                                      u"  1.00"_s, u"  1.00"_s, u"  0.25"_s, u"  0.50"_s, u"  0.00"_s, u"  0.00"_s,
                                      u"  0.00"_s, u"  1.00"_s, u"  0.00"_s}));
    EXPECT_EQ(finder.WeightGrid().ColumnAt(14)->Title(), u"Rout Buffer");
    EXPECT_EQ(finder.Criteria().Weights, DefaultDieWeights());

    // Clearing zeroes the weights and resets the lists; the other choices stay.
    Control<QListWidget>(u"lstColors"_s).item(2)->setSelected(true);
    effects.item(3)->setSelected(true);
    Control<QListWidget>(u"lstRaceTypes"_s).item(3)->setSelected(true);
    Control<QListWidget>(u"lstProfessions"_s).item(6)->setSelected(false);
    Control<QListWidget>(u"lstTerrain"_s).setCurrentRow(2);
    maxHealth.setValue(2);
    Control<QCheckBox>(u"chkRestrict"_s).setChecked(true);
    EXPECT_EQ(finder.Criteria().RaceTypes, (TRaceTypeSet{RaceType::NormalUnits, RaceType::Eldarim}));
    EXPECT_EQ(finder.Criteria().Effects, TEffectSet{EffectFlag::MagicEffect});
    Control<QPushButton>(u"btnClear"_s).click();
    EXPECT_EQ(Weights(), QStringList(kResultTypeCount, u"  0.00"_s));
    EXPECT_TRUE(Selected(Control<QListWidget>(u"lstColors"_s)).isEmpty());
    EXPECT_TRUE(Selected(effects).isEmpty());
    EXPECT_EQ(Selected(Control<QListWidget>(u"lstRaceTypes"_s)), QStringList{u"Normal Units"_s});
    EXPECT_EQ(Selected(Control<QListWidget>(u"lstProfessions"_s)).size(), 9);
    const TDieSearchCriteria cleared = finder.Criteria();
    EXPECT_EQ(cleared.Weights, TDieWeights{});
    EXPECT_EQ(cleared.Terrain, Land::Highland);
    EXPECT_EQ(cleared.MaxHealth, 2);
    EXPECT_TRUE(cleared.RestrictToInventory);
    EXPECT_EQ(finder.StatusText(), u"Criteria cleared.");
}

TEST_F(DieFinderTest, WeightsPopup)
{
    TfrmDieSearch &finder = Finder();
    // Nothing to set before a column is chosen.
    for (QAction *item : finder.WeightPopup().actions())
        EXPECT_FALSE(item->isEnabled()) << item->text().toStdString();
    ASSERT_EQ(finder.WeightPopup().actions().size(), 6);
    EXPECT_EQ(finder.WeightPopup().actions().at(2)->text(), u"Set to 1/&3");
    EXPECT_EQ(finder.WeightPopup().actions().at(5)->text(), u"&Edit");

    emit finder.WeightGrid().TitleClicked(int(R::Melee), Qt::NoModifier);
    EXPECT_EQ(finder.CurrentWeight(), R::Melee);
    EXPECT_EQ(FinderStatuses, QStringList{u"Melee selected."_s});
    EXPECT_TRUE(finder.WeightPopup().actions().at(0)->isEnabled());
    FinderItem(u"mnuWeight2"_s).trigger();
    EXPECT_EQ(finder.StatusText(), u"Melee set to 1/3.");
    EXPECT_EQ(Weights()[int(R::Melee)], u"  0.33");
    EXPECT_EQ(finder.Criteria().Weights[size_t(R::Melee)], 1.0 / 3);

    // The box offers six digits; taking them back unchanged keeps the third exact.
    Prompts.ExpectInput(u"Enter a new weight for Melee"_s, u"0.333333"_s);
    FinderItem(u"mnuWeightEdit"_s).trigger();
    EXPECT_EQ(Prompts.Transcript.last(), u"input Die Finder: Enter a new weight for Melee [0.333333]");
    EXPECT_EQ(finder.Criteria().Weights[size_t(R::Melee)], 1.0 / 3);
    EXPECT_EQ(finder.StatusText(), u"Melee set to 1/3.");
    Prompts.ExpectInput(u"Enter a new weight for Melee"_s, u" 2.5"_s);
    FinderItem(u"mnuWeightEdit"_s).trigger();
    EXPECT_EQ(finder.StatusText(), u"Melee set to 2.5.");
    EXPECT_EQ(Weights()[int(R::Melee)], u"  2.50");
    // A wrong entry changes nothing; a cancelled box says nothing.
    Prompts.ExpectInput(u"Enter a new weight for Melee"_s, u"lots"_s);
    FinderItem(u"mnuWeightEdit"_s).trigger();
    EXPECT_EQ(Prompts.Beeps, 1);
    EXPECT_EQ(finder.StatusText(), u"\"lots\" is not a number.");
    Prompts.ExpectInput(u"Enter a new weight for Melee"_s, std::nullopt);
    FinderItem(u"mnuWeightEdit"_s).trigger();
    EXPECT_EQ(finder.StatusText(), u"\"lots\" is not a number.");
    EXPECT_EQ(finder.Criteria().Weights[size_t(R::Melee)], 2.5);

    // A cell chooses its column too; whole values read as such.
    finder.WeightGrid().SelectCell(int(R::SaveMissile) + 1, 1);
    EXPECT_EQ(finder.StatusText(), u"Save/Missile selected.");
    FinderItem(u"mnuWeight4"_s).trigger();
    EXPECT_EQ(finder.StatusText(), u"Save/Missile set to 1.");
    FinderItem(u"mnuWeight0"_s).trigger();
    EXPECT_EQ(finder.StatusText(), u"Save/Missile set to 0.");
    EXPECT_EQ(Weights()[int(R::SaveMissile)], u"  0.00");
}

TEST_F(DieFinderTest, SearchStatusesAndResultGrid)
{
    TfrmDieSearch &finder = Finder();
    FinderStatuses.clear();
    Control<QPushButton>(u"btnSearch"_s).click();
    EXPECT_EQ(FinderStatuses,
              (QStringList{u"Searching..."_s, u"0 dice found.  Processing Cinder..."_s,
                           u"1 dice found.  Processing Ember..."_s, u"2 dice found.  Processing Char & Smoke..."_s,
                           u"3 dice found.  Processing Heron..."_s, u"Search complete.  4 dice found."_s}));
    EXPECT_EQ(finder.StatusText(), u"Search complete.  4 dice found.");
    EXPECT_EQ(Shown(0), (QStringList{u"Heron"_s, u"Cinder"_s, u"Ember"_s, u"Char & Smoke"_s}));
    EXPECT_EQ(Shown(1), (QStringList{u"Reedfolk"_s, u"Ashen"_s, u"Ashen"_s, u"Ashen"_s}));
    EXPECT_EQ(Shown(2).first(), u"Cavalry");
    EXPECT_EQ(Shown(3), (QStringList{u" 4"_s, u" 3"_s, u" 2"_s, u" 1"_s}));
    EXPECT_EQ(Shown(4), (QStringList{u"  5.00"_s, u"  3.00"_s, u"  2.00"_s, u"  2.00"_s}));
    EXPECT_EQ(finder.ResultGrid().ColumnAt(5 + int(R::Melee))->Title(), u"Melee");
    EXPECT_EQ(Shown(5 + int(R::Melee)).first(), u"5.00/0.00");
    EXPECT_EQ(finder.Results().Found()[0].ScoreText(), u"5.000000");

    // Another land redraws the results; the scores stay those of the search.
    Control<QListWidget>(u"lstTerrain"_s).setCurrentRow(int(Land::Reserves));
    EXPECT_EQ(Shown(5 + int(R::Melee)).first(), u"0.00/0.00");
    EXPECT_EQ(Shown(4).first(), u"  5.00");

    // Melee moved to the second result place: the types between shift right, in both
    // grids, and the next search keeps the order.
    Main->MoveResultColumn(int(R::Melee) + 1, 2);
    EXPECT_EQ(finder.ResultGrid().ColumnAt(5)->Title(), u"Black Magic");
    EXPECT_EQ(finder.ResultGrid().ColumnAt(6)->Title(), u"Melee");
    EXPECT_EQ(finder.ResultGrid().ColumnAt(7)->Title(), u"Blue Magic");
    EXPECT_EQ(finder.ResultGrid().ColumnAt(11)->Title(), u"Missile");
    EXPECT_EQ(finder.ResultGrid().ColumnAt(12)->Title(), u"Move");
    EXPECT_EQ(finder.WeightGrid().ColumnAt(1)->Title(), u"Melee");
    EXPECT_EQ(Weights()[1], u"  1.00");
    Control<QListWidget>(u"lstTerrain"_s).setCurrentRow(int(Land::Flatland));
    EXPECT_EQ(Shown(6).first(), u"5.00/0.00");

    // Dragging one result column over another moves it in the shared order; a drag
    // that touches a fixed column is undone.
    TFancyGrid &grid = finder.ResultGrid();
    grid.Column(6 + int(R::Move))->SetPosition(5);
    emit grid.ColumnMoved(12, 5);
    EXPECT_EQ(Main->ResultMap().Position(R::Move), 1);
    EXPECT_EQ(grid.ColumnAt(5)->Title(), u"Move");
    EXPECT_EQ(finder.WeightGrid().ColumnAt(0)->Title(), u"Move");
    grid.Column(1)->SetPosition(8);
    emit grid.ColumnMoved(0, 8);
    EXPECT_EQ(grid.ColumnAt(0)->Title(), u"Name");
    EXPECT_EQ(grid.ColumnAt(8)->Title(), u"Blue Magic");
    EXPECT_EQ(Main->ResultMap().Position(R::Move), 1);

    // More criteria: the dragonkin join, a smaller maximum health keeps only its own.
    Control<QListWidget>(u"lstRaceTypes"_s).item(int(RaceType::Dragonkin))->setSelected(true);
    Control<QSpinBox>(u"spnMaxHealth"_s).setValue(4);
    Control<QCheckBox>(u"chkMaxHealthOnly"_s).setChecked(true);
    finder.Search();
    EXPECT_EQ(Shown(0), (QStringList{u"Drake"_s, u"Heron"_s}));
    EXPECT_EQ(finder.StatusText(), u"Search complete.  2 dice found.");
    Control<QSpinBox>(u"spnMaxHealth"_s).setValue(5);
    finder.Search();
    EXPECT_EQ(finder.StatusText(), u"Search complete.  0 dice found.");
    EXPECT_EQ(grid.Rows(), 1);
    EXPECT_EQ(Shown(0), QStringList{QString()});
}

TEST_F(DieFinderTest, ViewingAndAddingTheSelectedDie)
{
    TfrmDieSearch &finder = Finder();
    finder.Search();
    QAction &view = FinderItem(u"mnuEditView"_s);
    QAction &add = FinderItem(u"mnuEditAdd"_s);
    EXPECT_EQ(view.text(), u"View Details");
    EXPECT_EQ(view.shortcut(), QKeySequence(Qt::Key_F2));
    EXPECT_EQ(add.text(), u"Add to Army");
    EXPECT_EQ(add.shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Insert));
    EXPECT_FALSE(view.isEnabled());
    EXPECT_FALSE(add.isEnabled());
    QMenu &popup = finder.ResultPopup();
    EXPECT_EQ(popup.actions().at(0)->text(), u"View Die");
    EXPECT_FALSE(popup.actions().at(0)->isEnabled());
    EXPECT_EQ(popup.actions().at(1)->text(), u"Add to Army");
    EXPECT_FALSE(popup.actions().at(1)->isEnabled());

    // A die but no army.
    finder.ResultGrid().SelectCell(1, 4);
    EXPECT_EQ(finder.StatusText(), u"Char & Smoke selected.");
    EXPECT_TRUE(view.isEnabled());
    EXPECT_FALSE(add.isEnabled());
    EXPECT_EQ(finder.ResultPopup().actions().at(0)->text(), u"View Char && Smoke");
    finder.AddToArmy();
    EXPECT_EQ(Prompts.Beeps, 1);
    EXPECT_EQ(finder.StatusText(), u"No army to add to.");

    // With an army the die goes in.
    TfrmArmy &army = Main->CreateArmy();
    ASSERT_EQ(Main->CurrentArmy(), &army);
    EXPECT_EQ(finder.ResultPopup().actions().at(1)->text(), u"Add Char && Smoke to New Army");
    EXPECT_TRUE(finder.ResultPopup().actions().at(1)->isEnabled());
    EXPECT_TRUE(add.isEnabled());
    add.trigger();
    ASSERT_EQ(army.Army().Dice().size(), 1u);
    EXPECT_EQ(army.Army().Dice()[0]->Name, u"Char & Smoke");
    EXPECT_EQ(finder.StatusText(), u"Char & Smoke added to New Army.  Total health now 1/0.");

    // The viewer browses the found dice from the selected one.
    int index = -1;
    QString shown;
    QTimer::singleShot(0, &finder, [&] {
        auto *dialog = qobject_cast<TfrmDie *>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        index = dialog->Index();
        shown = dialog->Die().Name;
        dialog->reject();
    });
    view.trigger();
    EXPECT_EQ(index, 3);
    EXPECT_EQ(shown, u"Char & Smoke");
}

TEST_F(DieFinderTest, DeletedDiceLeaveTheResults)
{
    TfrmDieSearch &finder = Finder();
    finder.Search();
    ASSERT_EQ(finder.Results().Count(), 4);
    TRace &ashen = *Main->Catalogue().Races().front();
    ashen.RemoveDie(ashen.Die(2)); // Ember
    Main->MarkRacesChanged();
    EXPECT_EQ(Shown(0), (QStringList{u"Heron"_s, u"Cinder"_s, u"Char & Smoke"_s}));

    // Closing the finder asks whether to leave the program.
    finder.show();
    Prompts.ExpectAsk(u"Exit Tarrowind Assistant?"_s, TAnswer::Cancel);
    EXPECT_FALSE(finder.close());
    EXPECT_EQ(Prompts.Transcript.last(), u"ask OkCancel Tarrowind Assistant: Exit Tarrowind Assistant?");
}
