#pragma once

#include "reports/DieSearch.h"

#include <QElapsedTimer>
#include <QMainWindow>

#include <optional>

class QAction;
class QCheckBox;
class QLabel;
class QListWidget;
class QMenu;
class QPushButton;
class QSpinBox;
class TDie;
class TFancyGrid;
class TfrmMain;

// The die finder: picks the dice of the catalogue that fit the user's criteria, ranks
// them by a weighted sum of their expected results and lists the best, from where a die
// can be viewed or put into the current army. It lives as long as the program; closing
// it asks whether to leave the program.
class TfrmDieSearch : public QMainWindow
{
    Q_OBJECT

public:
    explicit TfrmDieSearch(TfrmMain &main);
    ~TfrmDieSearch() override;

    // The criteria as the controls and the weights grid hold them.
    TDieSearchCriteria Criteria() const;
    const TDieRanking &Results() const { return FRanking; }
    // The weight the weights pop-up changes: the column last clicked, none at first.
    std::optional<ResultType> CurrentWeight() const { return FCurrentWeight; }
    // The die of the selected result row, if any.
    TDie *SelectedDie() const;
    QString StatusText() const;

    // Commands.
    void Search();
    void ClearCriteria();
    void ViewDetails();
    void AddToArmy();
    void SelectWeight(ResultType result);
    // Sets the current weight (status "<result> set to ...").
    void SetWeight(double weight);
    void EditWeight();
    // The status line of the die at a result row.
    void CheckSelection(int row);

    TFancyGrid &ResultGrid() const { return *grdResults; }
    TFancyGrid &WeightGrid() const { return *grdWeights; }
    // The pop-up menus as they would show now.
    QMenu &ResultPopup();
    QMenu &WeightPopup();

signals:
    void StatusChanged(const QString &text);

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void BuildCriteria(QWidget *central);
    void BuildGrids(QWidget *central);
    void BuildMenus();
    // Puts the criteria into the controls; the land, the health and count choices and
    // the check boxes included.
    void ShowCriteria(const TDieSearchCriteria &criteria);
    void FillWeights();
    void ArrangeResultColumns();
    void FillGrid();
    void ResultColumnMoved(int from, int to);
    void WeightColumnChosen(int logicalColumn);
    // Enabled states and captions of the commands for the selected die and current army.
    void UpdateCommands();
    void ShowStatus(const QString &text);
    // Progress lines: set at once, painted at most every few milliseconds so that a
    // large catalogue is not held up by the painting.
    void ShowProgress(const QString &text);

    TfrmMain &FMain;
    // The weights live here; the other criteria in the controls.
    TDieSearchCriteria FCriteria;
    TDieRanking FRanking{TDieSearchCriteria().NumberToFind};
    std::optional<ResultType> FCurrentWeight;
    QElapsedTimer FLastPaint;

    QListWidget *lstTerrain = nullptr;
    QListWidget *lstColors = nullptr;
    QListWidget *lstRaceTypes = nullptr;
    QListWidget *lstProfessions = nullptr;
    QListWidget *lstEffects = nullptr;
    QSpinBox *spnMaxHealth = nullptr;
    QCheckBox *chkMaxHealthOnly = nullptr;
    QCheckBox *chkRestrict = nullptr;
    QSpinBox *spnNumber = nullptr;
    QPushButton *btnSearch = nullptr;
    QPushButton *btnClear = nullptr;
    TFancyGrid *grdWeights = nullptr;
    TFancyGrid *grdResults = nullptr;
    QLabel *barStatus = nullptr;
    QAction *mnuEditView = nullptr;
    QAction *mnuEditAdd = nullptr;
    QMenu *FResultPopup = nullptr;
    QAction *mnuPopupView = nullptr;
    QAction *mnuPopupAdd = nullptr;
    QMenu *FWeightPopup = nullptr;
};
