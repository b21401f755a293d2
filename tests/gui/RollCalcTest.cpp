#include "MainFixture.h"
#include "calc/RollCalc.h"
#include "controls/FancyGrid.h"
#include "dice/Catalogue.h"
#include "dice/DiceIcons.h"
#include "game/GameData.h"
#include "game/NumReason.h"
#include "random/Randomizer.h"
#include "shell/WindowRecord.h"

#include <QApplication>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

using namespace Qt::StringLiterals;

namespace {

// The game window's side, as the calculator sees it.
class TTestHost final : public TCalculatorHost
{
public:
    TGame *CalculatorGame() override { return Game; }
    QString ScratchPadText() const override { return Pad; }
    void SetScratchPadText(const QString &text) override { Pad = text; }
    QString UserEmail() const override { return Email; }
    void ShowGameStatus(const QString &text) override { Events << u"status: "_s + text; }
    void CalculatorRolled(TDieInPlay &die) override { Events << u"rolled: "_s + die.ReferenceText(); }
    void CalculatorClosed(TfrmCalculator &) override { Events << u"closed"_s; }

    TGame *Game = nullptr;
    QString Pad;
    QString Email = u"me@example.org"_s;
    QStringList Events;
};

// Answers the next number-and-text dialog the way a user does: types the text, types
// the number over the one shown and presses OK, or presses Cancel.
void AnswerDialog(std::function<void(TfrmNumReason &)> look, const QString &text, std::optional<int> number)
{
    QTimer::singleShot(0, [look, text, number] {
        auto *dialog = qobject_cast<TfrmNumReason *>(QApplication::activeModalWidget());
        if (!dialog) {
            ADD_FAILURE() << "no number dialog";
            if (QWidget *other = QApplication::activeModalWidget())
                other->close();
            return;
        }
        if (look)
            look(*dialog);
        if (!number) {
            QTest::mouseClick(dialog->findChild<QPushButton *>(u"btnCancel"_s), Qt::LeftButton);
            return;
        }
        QTest::keyClicks(dialog->findChild<QLineEdit *>(u"txtReason"_s), text);
        QSpinBox &box = dialog->NumberBox();
        box.selectAll();
        QTest::keyClicks(&box, QString::number(*number));
        QTest::mouseClick(dialog->findChild<QPushButton *>(u"btnOK"_s), Qt::LeftButton);
    });
}

// Reedfolk: a Striker showing 5 Melee, a Warden showing 3 Save, a Piper showing 2 Magic
// (a die shows face 1 when it comes into play). Player 1's army at the Frontier holds
// one of each, and a spell on the Striker.
class RollCalcTest : public TMainFixture
{
protected:
    RollCalcTest()
    {
        TCatalogue catalogue;
        auto race = catalogue.CreateRace();
        race->Name = u"Reedfolk"_s;
        for (const auto &[name, symbol, count] : {std::tuple{u"Striker"_s, BasicIcon::Melee, 5},
                                                   std::tuple{u"Warden"_s, BasicIcon::Save, 3},
                                                   std::tuple{u"Piper"_s, BasicIcon::Magic, 2}}) {
            TDie &die = AddDie(*race, name, 2, Profession::HeavyTroop);
            die.SetFace(1, symbol, count);
        }
        catalogue.InsertRace(std::move(race));
        WriteCatalogue(catalogue);
        Start();
        Game = std::make_unique<TGame>(Main->Catalogue(), Clock, 2, u"Marsh War"_s);
        Host.Game = Game.get();
        for (int position = 1; position <= 3; ++position) {
            auto die = std::make_unique<TDieInPlay>(*Game, 1, *Main->Catalogue().Races().front()->Die(position));
            die->SetPlaceIndex(GamePlace::Frontier);
            Army().AddDie(std::move(die));
        }
        Game->Player(1)->AddSpell(u"Stoneskin on the Striker"_s, SpellDuration::Permanent).AddTarget(*Army().Die(0));
        QApplication::setActiveWindow(Main.get());
    }

    TArmyInPlay &Army() const { return *Game->FixedPlace(GamePlace::Frontier).Army(1); }

    TfrmCalculator &Open(const std::optional<QString> &answer = u"melee Hit"_s)
    {
        Prompts.ExpectInput(u"Enter main result type:"_s, answer);
        TfrmCalculator *calculator = TfrmCalculator::ShowCalculator(Host, *Main, *Game, &Army());
        EXPECT_NE(calculator, nullptr);
        Prompts.CheckAllUsed();
        QApplication::setActiveWindow(Main.get());
        return *calculator;
    }

    static QString Cell(TfrmCalculator &calculator, int column, int row)
    {
        const TColumnData *data = calculator.Grid().Column(column);
        const TCellData *cell = data ? data->Cell(row) : nullptr;
        return cell ? cell->Text() : u"(none)"_s;
    }
    static QString Title(TfrmCalculator &calculator, int column) { return calculator.Grid().Column(column)->Title(); }
    static QPoint CellCenter(TfrmCalculator &calculator, int column, int row)
    {
        TFancyGrid &grid = calculator.Grid();
        return grid.visualRect(grid.model()->index(row - 1, grid.Column(column)->Position())).center();
    }
    static void Click(TfrmCalculator &calculator, int column, int row)
    {
        QTest::mouseClick(calculator.Grid().viewport(), Qt::LeftButton, {}, CellCenter(calculator, column, row));
    }
    static void DoubleClick(TfrmCalculator &calculator, int column, int row)
    {
        Click(calculator, column, row);
        QTest::mouseDClick(calculator.Grid().viewport(), Qt::LeftButton, {}, CellCenter(calculator, column, row));
    }
    static void Key(TfrmCalculator &calculator, int key, Qt::KeyboardModifiers keys = {})
    {
        // Without a window manager nothing activates the main window again after a
        // dialog has closed, and shortcuts only reach an active window.
        QApplication::setActiveWindow(calculator.window());
        QTest::keyClick(&calculator.Grid(), Qt::Key(key), keys);
    }
    static QAction &MenuItem(TfrmCalculator &calculator, const QString &name)
    {
        auto *item = calculator.findChild<QAction *>(name);
        EXPECT_NE(item, nullptr) << name.toStdString();
        static QAction missing;
        return item ? *item : missing;
    }
    // Drops whatever is marked onto a cell, as the end of a drag does.
    static bool Drop(TfrmCalculator &calculator, const QPoint &at, const QString &format = TfrmCalculator::kCellsMimeType)
    {
        QMimeData mime;
        mime.setData(format, QByteArray());
        QWidget *viewport = calculator.Grid().viewport();
        QDragEnterEvent enter(at, Qt::MoveAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(viewport, &enter);
        QDragMoveEvent move(at, Qt::MoveAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(viewport, &move);
        if (!move.isAccepted())
            return false;
        QDropEvent drop(QPointF(at), Qt::MoveAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(viewport, &drop);
        return drop.isAccepted();
    }

    TFixedClock Clock{QDateTime(QDate(2026, 12, 7), QTime(12, 0))};
    std::unique_ptr<TGame> Game;
    TTestHost Host;
};

const QString kStriker = u"Reedfolk\nStriker (2)\n5 Melee"_s;

} // namespace

TEST_F(RollCalcTest, OpensOnTheArmyWithItsQuestionAndItsGrid)
{
    Prompts.ExpectMessage(u"No army is selected."_s);
    EXPECT_EQ(TfrmCalculator::ShowCalculator(Host, *Main, *Game, nullptr), nullptr);
    EXPECT_EQ(Prompts.Transcript.back(), u"message Information Marsh War: No army is selected.");

    Settings.WriteBinary(u"Roll Calculator"_s, WindowRecord::ToBytes(QRect(10, 20, 500, 380)));
    TfrmCalculator &calculator = Open();
    EXPECT_EQ(Prompts.Transcript.back(), u"input Roll Calculator: Enter main result type: [Maneuver]");
    auto *frame = qobject_cast<QMdiSubWindow *>(calculator.parentWidget());
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(frame->mdiArea(), Main->MdiArea());
    EXPECT_TRUE(frame->isVisible());
    EXPECT_EQ(calculator.windowTitle(), u"Virtual Tabletop");
    EXPECT_EQ(frame->geometry(), QRect(10, 20, 500, 380));

    TFancyGrid &grid = calculator.Grid();
    EXPECT_EQ(grid.SelectMode(), eSelectCell);
    EXPECT_EQ(grid.RowLines(), 4);
    EXPECT_TRUE(grid.DblClickMarks());
    EXPECT_TRUE(grid.OnlyMarkFull());
    EXPECT_FALSE(grid.ColSizing());
    EXPECT_EQ(grid.Cols(), 2);
    EXPECT_EQ(grid.Rows(), 3);
    EXPECT_EQ(Title(calculator, 1), u"Unused");
    EXPECT_EQ(Title(calculator, 2), u"No Melee Hits");
    EXPECT_EQ(Cell(calculator, 1, 1), kStriker + u"\n5 points"_s);
    EXPECT_EQ(Cell(calculator, 1, 3), u"Reedfolk\nPiper (2)\n2 Magic\n2 points");
    EXPECT_EQ(Cell(calculator, 2, 1), QString());

    // The current cell is (1, 1): its die's spells and symbol help stand beside the grid.
    EXPECT_EQ(grid.SelectedCell(), grid.Column(1)->Cell(1));
    ASSERT_EQ(calculator.Spells().count(), 1);
    EXPECT_EQ(calculator.Spells().item(0)->text(), u"Stoneskin on the Striker");
    EXPECT_EQ(calculator.IconHelp().toPlainText(), u"Counts as one melee hit point.");
    EXPECT_TRUE(calculator.IconHelp().isReadOnly());
    EXPECT_TRUE(MenuItem(calculator, u"mnuCreateSplit"_s).isEnabled());

    // Every menu item with its shortcut and tag.
    struct TExpected
    {
        const char16_t *Name;
        const char16_t *Caption;
        QKeySequence Keys;
        int Tag;
    };
    for (const TExpected &each : {
             TExpected{u"mnuFileClose", u"&Close", {}, 0},
             TExpected{u"mnuColumnNew", u"&New", QKeySequence(Qt::Key_F4), 0},
             TExpected{u"mnuColumnRecalc", u"&Recalculate", QKeySequence(Qt::Key_F2), 0},
             TExpected{u"mnuCellsDouble", u"&Double", QKeySequence(Qt::CTRL | Qt::Key_Insert), 1},
             TExpected{u"mnuCellsHalve", u"&Halve", QKeySequence(Qt::CTRL | Qt::Key_Delete), 2},
             TExpected{u"mnuCellsIncrease", u"&Increase", QKeySequence(Qt::SHIFT | Qt::Key_Insert), 4},
             TExpected{u"mnuCellsDecrease", u"Dec&rease", QKeySequence(Qt::SHIFT | Qt::Key_Delete), 5},
             TExpected{u"mnuCellsReset", u"&Reset", QKeySequence(Qt::ALT | Qt::Key_Backspace), 6},
             TExpected{u"mnuCellsChange", u"Chan&ge Roll", {}, 8},
             TExpected{u"mnuCellsReroll", u"R&eroll", {}, 7},
             TExpected{u"mnuCellsClear", u"&Clear", {}, 3},
             TExpected{u"mnuCreateSplit", u"&Split", QKeySequence(Qt::SHIFT | Qt::Key_F2), 0},
             TExpected{u"mnuCreateClone", u"&Clone", QKeySequence(Qt::CTRL | Qt::Key_F2), 0},
             TExpected{u"mnuCreateBonus", u"&Bonus", QKeySequence(Qt::CTRL | Qt::Key_S), 0},
         }) {
        QAction &item = MenuItem(calculator, QString::fromUtf16(each.Name));
        EXPECT_EQ(item.text(), QString::fromUtf16(each.Caption));
        EXPECT_EQ(item.shortcut(), each.Keys) << item.objectName().toStdString();
        EXPECT_EQ(item.data().toInt(), each.Tag) << item.objectName().toStdString();
    }

    // A cancelled question keeps the proposal: "Hit" in the action step.
    Game->AdvanceStep();
    Game->AdvanceStep();
    TfrmCalculator &second = Open(std::nullopt);
    EXPECT_EQ(Prompts.Transcript.back(), u"input Roll Calculator: Enter main result type: [Hit]");
    EXPECT_EQ(Title(second, 2), u"No Hits");
}

TEST_F(RollCalcTest, TheCellKeysChangeTheMarkedCells)
{
    TfrmCalculator &calculator = Open();
    QStringList statuses;
    QObject::connect(&calculator, &TfrmCalculator::StatusChanged, &calculator,
                     [&](const QString &text) { statuses << text; });

    // Double-clicks mark the Piper and the Striker; Ctrl+Ins doubles both.
    DoubleClick(calculator, 1, 3);
    DoubleClick(calculator, 1, 1);
    EXPECT_TRUE(calculator.Grid().Column(1)->Cell(3)->Marked());
    Key(calculator, Qt::Key_Insert, Qt::ControlModifier);
    EXPECT_EQ(Cell(calculator, 1, 1), kStriker + u"\n10 points"_s);
    EXPECT_EQ(Cell(calculator, 1, 3), u"Reedfolk\nPiper (2)\n2 Magic\n4 points");
    EXPECT_FALSE(calculator.Grid().AnyMarked());
    EXPECT_EQ(statuses, (QStringList{u"Processing..."_s,
                                     u"Processing "_s + Army().Die(2)->FullName() + u"..."_s,
                                     u"Processing "_s + Army().Die(0)->FullName() + u"..."_s,
                                     u"2 processed, 0 skipped."_s}));

    // Without marks the keys work on the current cell.
    Click(calculator, 1, 1);
    Key(calculator, Qt::Key_Delete, Qt::ControlModifier);
    EXPECT_EQ(Cell(calculator, 1, 1), kStriker + u"\n5 points"_s);
    Key(calculator, Qt::Key_Insert, Qt::ShiftModifier);
    EXPECT_EQ(Cell(calculator, 1, 1), kStriker + u"\n6 points"_s);
    Key(calculator, Qt::Key_Backspace, Qt::AltModifier);
    EXPECT_EQ(Cell(calculator, 1, 1), kStriker + u"\n5 points"_s);
    for (int i = 0; i < 6; ++i)
        Key(calculator, Qt::Key_Delete, Qt::ShiftModifier);
    EXPECT_EQ(Cell(calculator, 1, 1), kStriker) << "at -1 the points line goes";
    EXPECT_EQ(Title(calculator, 1), u"Unused");
    MenuItem(calculator, u"mnuCellsClear"_s).trigger();
    EXPECT_EQ(calculator.Sheet().Item(1, 1)->Value, 0);

    // An empty cell with nothing marked: a beep and the reason.
    Click(calculator, 2, 2);
    Key(calculator, Qt::Key_Insert, Qt::ControlModifier);
    EXPECT_EQ(Prompts.Transcript.back(), u"beep");
    EXPECT_EQ(calculator.StatusText(), u"No cells to process.");

    // Reroll asks whether to use the face the game's generator gave.
    TRandomizer next = Game->Randomizer();
    const TDie &warden = Army().Die(1)->Die();
    const int face = next.Roll(warden.FaceCount(), -1);
    const QString symbol = Main->Catalogue().GetIcon(warden.FaceSymbol(face))->Name;
    Prompts.ExpectAsk(u"Use 1 "_s + symbol + u'?', TAnswer::Yes);
    Click(calculator, 1, 2);
    MenuItem(calculator, u"mnuCellsReroll"_s).trigger();
    Prompts.CheckAllUsed();
    EXPECT_EQ(calculator.Sheet().Item(1, 2)->Value, 4);
    EXPECT_EQ(Host.Events, QStringList{u"rolled: "_s + Army().Die(1)->ReferenceText()});
    EXPECT_TRUE(Game->Log().back().endsWith(u" rolled by "_s + Army().Die(1)->FullName() + u'.'));
}

TEST_F(RollCalcTest, SplitCloneBonusAndNewColumnByTheirKeys)
{
    TfrmCalculator &calculator = Open();
    // Shift+F2 asks for the part to split off.
    Prompts.ExpectInput(u"Enter a number between 1 and 4:"_s, u"7"_s);
    Prompts.ExpectInput(u"Value too high.  Enter a number between 1 and 4:"_s, u"2"_s);
    Key(calculator, Qt::Key_F2, Qt::ShiftModifier);
    Prompts.CheckAllUsed();
    EXPECT_EQ(Prompts.Transcript.back(),
              u"input Enter split amount.: Value too high.  Enter a number between 1 and 4: [7]");
    EXPECT_EQ(calculator.Grid().Rows(), 4);
    EXPECT_EQ(Cell(calculator, 1, 1), kStriker + u"\n2 points"_s);
    EXPECT_EQ(Cell(calculator, 1, 2), kStriker + u"\n3 points"_s);
    Prompts.ExpectInput(QString(), std::nullopt);
    Key(calculator, Qt::Key_F2, Qt::ShiftModifier);
    EXPECT_EQ(calculator.StatusText(), u"Cell split cancelled by user.");

    // Ctrl+F2 copies the current die cell.
    Key(calculator, Qt::Key_F2, Qt::ControlModifier);
    EXPECT_EQ(calculator.Grid().Rows(), 5);
    EXPECT_EQ(Cell(calculator, 1, 2), kStriker + u"\n2 points"_s);

    // Ctrl+S puts a spell bonus onto the empty top of the second column.
    Click(calculator, 2, 1);
    EXPECT_FALSE(MenuItem(calculator, u"mnuCreateSplit"_s).isEnabled());
    EXPECT_FALSE(MenuItem(calculator, u"mnuCreateClone"_s).isEnabled());
    EXPECT_TRUE(MenuItem(calculator, u"mnuCreateBonus"_s).isEnabled());
    EXPECT_EQ(calculator.Spells().count(), 0);
    EXPECT_TRUE(calculator.IconHelp().toPlainText().isEmpty());
    AnswerDialog(
        [](TfrmNumReason &dialog) {
            EXPECT_EQ(dialog.windowTitle(), u"Melee Hit Bonus");
            EXPECT_EQ(dialog.findChild<QLabel *>(u"lblPrompt"_s)->text(), u"Enter name of spell:");
            EXPECT_EQ(dialog.findChild<QGroupBox *>(u"grpAmount"_s)->title(), u"Specify the amount");
            EXPECT_EQ(dialog.findChild<QLabel *>(u"lblNumber"_s)->text(), u"Enter amount of bonus:");
            EXPECT_EQ(dialog.NumberBox().minimum(), 1);
            EXPECT_EQ(dialog.NumberBox().maximum(), 256);
            auto *list = dialog.findChild<QListWidget *>(u"lstReasons"_s);
            ASSERT_EQ(list->count(), 7);
            EXPECT_EQ(list->item(1)->text(), u"Wall of Ice");
            EXPECT_FALSE(dialog.findChild<QPushButton *>(u"btnOK"_s)->isEnabled()) << "no spell named yet";
        },
        u"Wall of Ice"_s, 3);
    Key(calculator, Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(Cell(calculator, 2, 1), u"Wall of Ice\n\n\n3 bonus");
    EXPECT_EQ(Title(calculator, 2), u"3 Melee Hits");
    EXPECT_FALSE(MenuItem(calculator, u"mnuCreateSplit"_s).isEnabled());
    Click(calculator, 2, 3);
    EXPECT_FALSE(MenuItem(calculator, u"mnuCreateBonus"_s).isEnabled()) << "a gap would open";

    // F4: a new column after the current one, cost 1 proposed.
    Click(calculator, 1, 1);
    AnswerDialog(
        [](TfrmNumReason &dialog) {
            EXPECT_EQ(dialog.windowTitle(), u"New Column");
            EXPECT_EQ(dialog.NumberBox().value(), 1);
            EXPECT_EQ(dialog.NumberBox().maximum(), 12);
            EXPECT_EQ(dialog.findChild<QListWidget *>(u"lstReasons"_s)->count(), 22);
        },
        u"gold Mana"_s, 2);
    Key(calculator, Qt::Key_F4);
    EXPECT_EQ(calculator.Grid().Cols(), 3);
    EXPECT_EQ(Title(calculator, 2), u"No Gold Manas");
    EXPECT_EQ(Title(calculator, 3), u"3 Melee Hits");
    EXPECT_EQ(calculator.StatusText(), u"Column created for Gold Mana.");
    AnswerDialog({}, QString(), std::nullopt);
    Key(calculator, Qt::Key_F4);
    EXPECT_EQ(calculator.StatusText(), u"Column create cancelled by user.");
    EXPECT_EQ(calculator.Grid().Cols(), 3);

    // F2 recalculates the headers from the cells.
    calculator.Sheet().Item(3, 1)->Value = 9;
    Key(calculator, Qt::Key_F2);
    EXPECT_EQ(Title(calculator, 3), u"9 Melee Hits");
}

TEST_F(RollCalcTest, MarkedCellsAreDraggedIntoAColumn)
{
    TfrmCalculator &calculator = Open();
    TFancyGrid &grid = calculator.Grid();
    // A drag starts from the current cell when nothing is marked, and marks it.
    Click(calculator, 1, 2);
    ASSERT_TRUE(grid.OnVerifyDrag);
    EXPECT_TRUE(grid.OnVerifyDrag(grid));
    EXPECT_TRUE(grid.Column(1)->Cell(2)->Marked());
    DoubleClick(calculator, 1, 1);
    EXPECT_EQ(calculator.Sheet().Marked().size(), 2U);

    // Something else dragged in is refused; so is the title row.
    EXPECT_FALSE(Drop(calculator, CellCenter(calculator, 2, 3), u"text/plain"_s));
    EXPECT_FALSE(Drop(calculator, QPoint(CellCenter(calculator, 2, 1).x(), -5)));
    // Dropped far down the empty column they stand at its top, in marking order.
    EXPECT_TRUE(Drop(calculator, CellCenter(calculator, 2, 3)));
    EXPECT_EQ(Cell(calculator, 2, 1), u"Reedfolk\nWarden (2)\n3 Save\n3 points");
    EXPECT_EQ(Cell(calculator, 2, 2), kStriker + u"\n5 points"_s);
    EXPECT_EQ(Cell(calculator, 2, 3), QString());
    EXPECT_EQ(Cell(calculator, 1, 1), u"Reedfolk\nPiper (2)\n2 Magic\n2 points");
    EXPECT_EQ(Cell(calculator, 1, 2), QString());
    EXPECT_EQ(Title(calculator, 2), u"8 Melee Hits");
    EXPECT_FALSE(grid.AnyMarked());
    EXPECT_TRUE(calculator.Sheet().Marked().empty());
    // The current cell stays; what it shows beside the grid is the Piper now under it.
    EXPECT_EQ(grid.SelectedCell(), grid.Column(1)->Cell(1));
    EXPECT_EQ(calculator.Spells().count(), 0);
    EXPECT_EQ(calculator.IconHelp().toPlainText(), u"Counts as one spell point.");
    Click(calculator, 2, 2);
    EXPECT_EQ(calculator.Spells().count(), 1);
    Click(calculator, 1, 2);
    EXPECT_FALSE(MenuItem(calculator, u"mnuCreateSplit"_s).isEnabled());
    EXPECT_TRUE(MenuItem(calculator, u"mnuCreateBonus"_s).isEnabled());
}

TEST_F(RollCalcTest, ClosingAsksWhetherToSendTheResults)
{
    TfrmCalculator &calculator = Open(u"Melee Hit"_s);
    auto *frame = qobject_cast<QMdiSubWindow *>(calculator.parentWidget());
    DoubleClick(calculator, 1, 1);
    ASSERT_TRUE(Drop(calculator, CellCenter(calculator, 2, 1)));

    Prompts.ExpectAsk(u"Transmit results to scratch pad?"_s, TAnswer::Cancel);
    MenuItem(calculator, u"mnuFileClose"_s).trigger();
    EXPECT_TRUE(frame->isVisible());
    EXPECT_TRUE(Host.Events.isEmpty());
    EXPECT_EQ(Settings.TypeOf(u"Roll Calculator"_s), TSettingType::Binary);

    Host.Pad = u"Before the roll"_s;
    const int logged = int(Game->Log().size());
    Prompts.ExpectAsk(u"Transmit results to scratch pad?"_s, TAnswer::Yes);
    QPointer<TfrmCalculator> alive(&calculator);
    MenuItem(calculator, u"mnuFileClose"_s).trigger();
    Prompts.CheckAllUsed();
    EXPECT_EQ(Host.Pad, u"Before the roll\r\nResults for Player 1's Army at Frontier\r\n5 Melee Hits");
    EXPECT_EQ(Game->Log().mid(logged),
              (QStringList{u"> Results for Player 1's Army at Frontier"_s, u"> 5 Melee Hits"_s}));
    EXPECT_EQ(Host.Events, QStringList{u"closed"_s});
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(alive.isNull());

    // No closes without sending; a game window that goes closes its calculator quietly.
    TfrmCalculator &second = Open();
    Prompts.ExpectAsk(u"Transmit results to scratch pad?"_s, TAnswer::No);
    qobject_cast<QMdiSubWindow *>(second.parentWidget())->close();
    EXPECT_EQ(Host.Pad.count(u"Results for"_s), 1);
    TfrmCalculator &third = Open();
    Host.Events.clear();
    third.HostClosing();
    Prompts.CheckAllUsed();
    EXPECT_TRUE(Host.Events.isEmpty());
}
