#pragma once

#include <QDialog>

#include <array>

class QComboBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QWidget;
class TfrmArmy;

// "Army Description": the notes, terrains, group name and battle size of an army. Made
// once and shown for whichever army asks.
class TfrmArmyDescription : public QDialog
{
    Q_OBJECT

public:
    explicit TfrmArmyDescription(QWidget *parent = nullptr);

    // Fills the dialog from the army and shows it modally; the changes are written to
    // the army when the dialog is closed with "Close".
    void ShowArmyNotes(TfrmArmy &army);
    // Fills the dialog without showing it (ShowArmyNotes does this first).
    void Load(TfrmArmy &army);
    // "Close": writes whatever was changed.
    void SaveArmyData();
    bool Changed() const { return FChanged; }

protected:
    // Esc and the title bar's close button close the dialog as "Close" does: long notes
    // must not be lost to a key.
    void reject() override;

private:
    void PostChange();

    TfrmArmy *FArmy = nullptr;
    bool FChanged = false;
    bool FLoading = false;
    QPlainTextEdit *txtNotes;
    QLineEdit *txtGroup;
    QWidget *pnlTerrain;
    QComboBox *cmbTerrain;
    QWidget *pnlSpecialDetails;
    std::array<QComboBox *, 4> cmbMinorTerrain{};
    QComboBox *cmbSize;
    QPushButton *btnClose;
};
