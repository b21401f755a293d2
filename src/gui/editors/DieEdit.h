#pragma once

#include "dice/DieDraft.h"

#include <QDialog>

#include <memory>
#include <vector>

class QAbstractButton;
class QButtonGroup;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class QStatusBar;
class QTabWidget;
class TDie;
class TFancyGrid;
class TOddsView;
class TRace;
class TfrmMain;

// Told when the dialog posts a die into its race, so that the race window can show it.
class TDiePostListener
{
public:
    virtual ~TDiePostListener() = default;
    // added: the die was new and has just been appended to its race (it has its ID now);
    // otherwise an existing die of the race changed.
    virtual void DiePosted(TDie &die, bool added) = 0;
};

// The die viewer: one die of a list at a time, with its faces, its results per land and
// the chances of its effects. Opened from the race window it also edits the die and
// writes it back into its race.
class TfrmDie : public QDialog
{
    Q_OBJECT

public:
    // From the race window: the race's dice, at 0-based position `index`; an index at or past
    // the last die opens a new die "New Unit" (new-die flag, edit mode on). Editing allowed.
    static void ViewRace(TfrmMain &main, TRace &race, int index, TDiePostListener *listener);
    // From an army window: browse the list (which may hold one die several times); view only.
    static void ViewList(TfrmMain &main, const std::vector<TDie *> &dice, int index);
    // One die on its own; view only.
    static void ViewDie(TfrmMain &main, TDie &die);

    // The same three ways of opening, without running the dialog. A list must not be empty.
    TfrmDie(TfrmMain &main, TRace &race, int index, TDiePostListener *listener);
    TfrmDie(TfrmMain &main, const std::vector<TDie *> &dice, int index);
    TfrmDie(TfrmMain &main, TDie &die);
    // DestroyDieViewer: keeps the position; a new die never posted is freed.
    ~TfrmDie() override;

    TDie &Die() const { return *FDie; }
    bool IsNewDie() const { return FNewDie != nullptr; }
    bool EditMode() const { return FEditMode; }
    bool EditingAllowed() const { return FEditingAllowed; }
    // Position in the list browsed, -1 for a single die.
    int Index() const { return FIndex; }
    const TDieDraft &Draft() const { return FDraft; }
    // The exact odds of a roll of the die shown, on the page beside its results.
    TOddsView &OddsView() const { return *FOdds; }
    QTabWidget &ResultPages() const { return *tabResults; }
    QString StatusText() const;

    // The radio groups by value, as a click on the button showing it.
    void SelectHealth(int health);
    void SelectSides(int sides);
    // The value whose button is checked, 0 for none.
    int SelectedHealth() const;
    int SelectedSides() const;

    // The handlers of the dialog's controls.
    void EnableEdit();
    void SetEditMode(bool on);
    void UpdateFace();
    void ChangeDie(int step);
    void Save();
    void ExitQuery();
    // The close query: answers whether the dialog may close (or move on).
    bool CloseRequest();
    // 2 for every symbol, 1 for the basic ones.
    void RefreshIcons(int tag);
    void RegenerateStatistics();
    // The face at the selection into the "New Face" box.
    void LoadFace(int face);

    // Esc, the window's close box and "Close" all come here.
    void reject() override;

signals:
    void StatusChanged(const QString &text);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    TfrmDie(TfrmMain &main, std::vector<TDie *> list, int index, TRace *race, TDiePostListener *listener);

    void BuildControls();
    QWidget *BuildSpecs();
    QWidget *BuildFaces();
    void BuildGrids();
    QButtonGroup *BuildRadioGroup(QGroupBox *box, const QString &prefix, std::span<const int> values);
    void Status(const QString &text);
    void Statuses(const QStringList &texts);

    void Open(int index);
    void StartNewDie();
    void ShowDie(TDie &die);
    void FillFaceList();
    void SelectFace(int face);
    void ShowIconData(qint32 symbol);
    void FillGrids();
    void CheckRadio(QButtonGroup *group, std::span<const int> choices, int value);
    void RefreshList();
    bool WriteDie(bool post);
    bool Shortcut(QKeyEvent &key);

    void DataChanged();
    void NewSpecs(QObject *control);
    void ChangeFaceCount(int sides);

    TfrmMain &FMain;
    std::vector<TDie *> FList;
    int FIndex = -1;
    // The race whose dice are browsed; none when the dialog views an army's list or a
    // single die.
    TRace *FRace = nullptr;
    TDiePostListener *FListener = nullptr;
    TDie *FDie = nullptr;
    // The die being made, until it is posted into its race.
    std::unique_ptr<TDie> FNewDie;
    TDieDraft FDraft;
    bool FEditingAllowed = false;
    bool FEditMode = false;
    // Set while the controls are filled, so that their change signals edit nothing.
    bool FDisplaying = false;

    QLineEdit *txtName = nullptr;
    QCheckBox *chkPrecious = nullptr;
    QComboBox *cmbProfession = nullptr;
    QGroupBox *grpHealth = nullptr;
    QGroupBox *grpSides = nullptr;
    QButtonGroup *FHealthButtons = nullptr;
    QButtonGroup *FSideButtons = nullptr;
    QListWidget *lstFaces = nullptr;
    QGroupBox *grpNewFace = nullptr;
    QComboBox *cmbFaceIcon = nullptr;
    QComboBox *cmbIconCount = nullptr;
    QPushButton *btnStore = nullptr;
    QPlainTextEdit *txtIconNotes = nullptr;
    TFancyGrid *grdResults = nullptr;
    TOddsView *FOdds = nullptr;
    QTabWidget *tabResults = nullptr;
    TFancyGrid *grdChances = nullptr;
    QPushButton *btnPrev = nullptr;
    QPushButton *btnNext = nullptr;
    QPushButton *btnSave = nullptr;
    QPushButton *btnClose = nullptr;
    QStatusBar *barStatus = nullptr;
    QLabel *FStatusText = nullptr;
    QMenu *mnuNewFacePopup = nullptr;
    QMenu *mnuResultsPopup = nullptr;
};
