#pragma once

#include "calc/DiceCalc.h"

#include <QMainWindow>

#include <memory>

class QAction;
class QCloseEvent;
class QDragMoveEvent;
class QDropEvent;
class QLabel;
class QListWidget;
class QMdiSubWindow;
class QPlainTextEdit;
class TArmyInPlay;
class TFancyGrid;
class TGame;
class TfrmCalculator;
class TfrmMain;

// What the roll calculator needs from the game window that opened it; the game window
// implements it. The calculator is not modal, so the game window must tell it when it
// goes (HostClosing) and may change its game while the calculator is open.
class TCalculatorHost
{
public:
    virtual ~TCalculatorHost() = default;

    // The game as the window holds it now: a refresh or a download may have replaced
    // the one the calculator was opened on. None once the window has no game.
    virtual TGame *CalculatorGame() = 0;
    // The scratch pad memo (txtScratchPad): the results are appended to its text, with
    // CR LF between lines.
    virtual QString ScratchPadText() const = 0;
    virtual void SetScratchPadText(const QString &text) = 0;
    // The user's own e-mail address (user information), which decides control.
    virtual QString UserEmail() const = 0;
    // The game window's status line.
    virtual void ShowGameStatus(const QString &text) = 0;
    // The calculator rolled this die of the game (Reroll, Change Roll): its face and the
    // log changed, and the game is modified; the army grid's cell needs redrawing.
    virtual void CalculatorRolled(TDieInPlay &die) = 0;
    // The calculator is closing, after its results were sent or not: show the game
    // window again. The calculator makes no call to the host after this one.
    virtual void CalculatorClosed(TfrmCalculator &calculator) = 0;
};

// "Virtual Tabletop": the worksheet of one army's roll, an MDI child of the main window
// kept at its position as "Roll Calculator". The grid shows the worksheet; the memo and
// the list beside it show the symbol help and the spells of the current die.
class TfrmCalculator : public QMainWindow, private TCalcUI
{
    Q_OBJECT

public:
    TfrmCalculator(TCalculatorHost &host, TfrmMain &main);
    ~TfrmCalculator() override;

    // "&Analyze Roll" of the game window: opens a calculator on the army and answers
    // it (not modal). Without an army it says "No army is selected." and answers none;
    // a failure shows "Error in calculator." on the game window, is reported as
    // "processing die roll", and answers none.
    static TfrmCalculator *ShowCalculator(TCalculatorHost &host, TfrmMain &main, TGame &game, TArmyInPlay *army);
    // The game window is closing: the calculator closes at once without asking, as
    // there is nothing left to send its results to.
    void HostClosing();

    TDieCalcSheet &Sheet() { return FSheet; }
    TFancyGrid &Grid() const { return *grdDice; }
    QPlainTextEdit &IconHelp() const { return *txtIconHelp; }
    QListWidget &Spells() const { return *lstSpells; }
    QString StatusText() const;

    // Commands.
    void CloseCalc();
    void NewColumn();
    void RecalcColumns();
    // By the menu item's tag (TCalcOperation).
    void ModifyValues(int tag);
    void SplitCell();
    void CloneCell();
    void CreateBonus();
    // The close query: whether the window may close, after the results went to the
    // scratch pad if the user wanted them there.
    bool RequestClose();

    // The MIME type of a drag of marked cells; drops of anything else are refused.
    static const QString kCellsMimeType;

signals:
    void StatusChanged(const QString &text);

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    // TCalcUI
    void Show(const QString &text) override;
    void Beep() override;
    bool AskYesNo(const QString &question) override;
    std::optional<QString> InputBox(const QString &caption, const QString &prompt, const QString &text) override;
    std::optional<TNumReasonAnswer> AskNumReason(const TNumReasonRequest &request) override;
    void ReportError(const TKrException &failure, const QString &context) override;
    void Changed() override;
    void DieRolled(TDieInPlay &die) override;

    void Open(TArmyInPlay &army, const QString &mainResult);
    void BuildGrid();
    void BuildMenus();
    // The grid shows the worksheet again: headers, cells, marks and the current cell.
    void Redraw();
    void DisplaySpells(int column, int row);
    void UpdateCommands();
    void FollowMarks();
    bool VerifySource();
    void DragOver(QDragMoveEvent *event);
    void DropCell(QDropEvent *event);
    QMdiSubWindow *Frame() const;

    TCalculatorHost *FHost;
    TfrmMain &FMain;
    TDieCalcSheet FSheet;
    bool FRedrawing = false;

    TFancyGrid *grdDice = nullptr;
    QPlainTextEdit *txtIconHelp = nullptr;
    QListWidget *lstSpells = nullptr;
    QLabel *barStatus = nullptr;
    QAction *mnuCreateSplit = nullptr;
    QAction *mnuCreateClone = nullptr;
    QAction *mnuCreateBonus = nullptr;
};
