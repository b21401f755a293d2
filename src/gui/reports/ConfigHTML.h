#pragma once

#include "reports/ProgressStatus.h"
#include "reports/TradeListExport.h"

#include <QDialog>

#include <array>
#include <memory>
#include <vector>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;
class TInventoryData;
class TfrmMain;

// "Export Trading Information": writes the alert list for other collectors in the style
// and with the options chosen here, which are kept in the settings after each export.
class TfrmConfigHTML : public QDialog
{
    Q_OBJECT

public:
    // The rows are the alert list's, read but never changed or copied.
    TfrmConfigHTML(TfrmMain &main, const std::vector<TInventoryData *> &rows, QWidget *parent = nullptr);

    // What the controls say now.
    TTradeListOptions Options() const;
    QString StatusText() const;

    // The colour buttons by their tag: 0 want, 1 default, 2 have, 3 lock.
    void GetColor(int tag);
    void GetOutputFile();
    void GetFrameFile();
    void ToggleWidgets();
    void ToggleTradeScriptFlag();
    // "Run": true when the file was written.
    bool RunReport();

private:
    void LoadControls();
    void ShowColor(int tag);
    quint32 &Color(int tag);
    // The file written: a bare name goes to the user's document folder.
    QString OutputPath() const;
    void ShowStatus(const QString &text);
    void ShowProgress(const QString &text);

    TfrmMain &FMain;
    const std::vector<TInventoryData *> &FRows;
    // Colours, files and folder live here; the rest in the controls.
    TTradeListOptions FOptions;
    std::unique_ptr<TProgressStatus> FStatus;

    QComboBox *cmbStyle = nullptr;
    std::array<QLineEdit *, 4> txtColors{};
    std::array<QPushButton *, 4> btnColors{};
    QCheckBox *chkWidgets = nullptr;
    QCheckBox *chkTradeValues = nullptr;
    QLineEdit *txtWidgetFile = nullptr;
    QLineEdit *txtOutputFile = nullptr;
    QPushButton *btnOutputFile = nullptr;
    QCheckBox *chkTradeForm = nullptr;
    QLineEdit *txtScriptName = nullptr;
    QSpinBox *txtMaxLock = nullptr;
    QCheckBox *chkAggressive = nullptr;
    QCheckBox *chkIncludeCC = nullptr;
    QCheckBox *chkJavaScript = nullptr;
    QLineEdit *txtFrameFile = nullptr;
    QPushButton *btnFrameFile = nullptr;
    QPushButton *btnRun = nullptr;
    QPushButton *btnClose = nullptr;
    QLabel *barStatus = nullptr;
};
