#pragma once

#include <QDialog>

#include <array>

class QComboBox;
class QLineEdit;
class QListWidget;
class QPushButton;
class QSpinBox;
class TGame;
class TPrompts;

// "Player Info": each player's name, e-mail address, place in the turn order and minor
// terrains. Before the game starts everything can be edited, afterwards only the
// address. Unsaved edits are asked about before another player is shown or the dialog
// closes.
class TfrmPlayerInfo : public QDialog
{
    Q_OBJECT

public:
    TfrmPlayerInfo(TPrompts &prompts, TGame &game, bool started, QWidget *parent = nullptr);

    // Shows another player (0-based), asking first about unsaved edits; false when the
    // user chose Cancel.
    bool SelectPlayer(int index);
    // "Save": stores the fields into the player.
    void StoreData();
    // The close query: false keeps the dialog open.
    bool QueryClose();
    bool Changed() const { return FChanged; }
    // Something was stored while the dialog was open.
    bool Stored() const { return FStored; }

    QListWidget *lstPlayers;
    QLineEdit *txtName;
    QLineEdit *txtEmail;
    QSpinBox *spnSequence;
    std::array<QComboBox *, 4> cmbMinor{};
    QPushButton *btnSave;
    QPushButton *btnClose;

protected:
    void closeEvent(QCloseEvent *event) override;
    void reject() override;

private:
    void LoadPlayer();
    void Edited();

    TPrompts &FPrompts;
    TGame &FGame;
    int FShown = -1;
    bool FChanged = false;
    bool FStored = false;
    bool FLoading = false;
};
