#pragma once

#include "dice/DiceIcons.h"

#include <QDialog>
#include <QPalette>

#include <optional>

class QAction;
class QLineEdit;
class QListWidget;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class QSpinBox;
class QTableWidget;
class TfrmMain;

// The icon viewer: the face-symbol table of the catalogue, where the user defines,
// changes, duplicates, renames and deletes special symbols. It is created hidden at
// start-up (which loads the table), shown on demand and hidden rather than closed; it
// reports on the main window's status line.
//
// Components (object names): lstSpecialIcons and lstBasicIcons (sorted by name in
// code-unit order, each entry carrying its symbol ID under Qt::UserRole), txtIconName,
// lstEffects (a two-column table of the effect flags; flag n sits in row n % 22, column
// n / 22 and carries n under Qt::UserRole; selected = set), txtDescription, txtPoints,
// btnStore, btnClose. Popup of the special list mnuSpecialIconsPopup with mnuIconRename,
// mnuIconNew, mnuIconDuplicate; popup of the effect list mnuEffectPopUp with
// mnuEffectDisable, mnuEffectMissileSpecial, mnuEffectKill, mnuEffectSpecial,
// mnuEffectNothing.
//
// Give it the main window as parent, so that the tool window stays above it and opens
// centred over it.
class TfrmIconView : public QDialog, private TIconLoadListener
{
    Q_OBJECT

public:
    // Restores the position ("Icons"), fills the effect list, resets the symbol table
    // to the basic symbols and reads the special ones from the icon file. A damaged file
    // is reported; the symbols read before the damage stay.
    explicit TfrmIconView(TfrmMain &main, QWidget *parent = nullptr);
    ~TfrmIconView() override;

    // Edit > Icons and the race window's "&Icons...".
    void ShowViewer();
    // Saves the position, asks about unsaved changes and hides the window. False when
    // the user cancelled or the symbols could not be written: the window stays up.
    bool CloseIconViewerQuery();
    bool Modified() const { return FModified; }
    // The symbol shown; -1 while a new one is being defined or nothing is shown.
    qint32 CurrentIcon() const { return FCurrent; }

    // The window's operations: the handlers of its lists, boxes, buttons and popups.
    void SelectIcon(QListWidget *list);
    void NewIconName();
    void IconChanged();
    void SaveIconChanges();
    void CreateIcon();
    void CopyIcon();
    void RenameIcon();
    void SelectSpecialEffects(TEffectSet preset);
    void CloseIconViewer();

signals:
    // A symbol was added, changed, renamed or deleted, or the table was renumbered by a
    // save: windows showing face texts or holding symbol IDs refresh.
    void IconsChanged();

protected:
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void reject() override;

private:
    void BuildWindow();
    void BuildPopups();
    void InitializeViewer();
    void IconLoading(const QString &name) override;
    void IconLoaded(const TIconDescriptor &icon) override;

    TIconTable &Table() const;
    // Appends a symbol to the table and lists it, with the loading status lines.
    qint32 AddIcon(const TIconDescriptor &icon);
    void ListIcon(const TIconDescriptor &icon);
    void RebuildLists();
    QListWidget *ListOf(qint32 id) const;
    void SelectEntry(qint32 id);
    void RemoveEntry(qint32 id);
    void ShowEffects(TEffectSet effects);
    TEffectSet ShownEffects() const;
    // Locks or unlocks the description, effects and points.
    void SetEditable(bool editable);
    // The store button's caption; pending when a click stores what the boxes show.
    void SetStoreButton(const QString &caption, bool pending);
    void RestStoreButton();
    void OfferStore();
    void UpdateRenameItem();
    // Starts a new symbol; keepShown leaves the description and effects in the boxes.
    void BeginNewIcon(bool keepShown);
    // A name no symbol uses, asked until one is given; nothing when cancelled.
    std::optional<QString> AskIconName(const QString &prompt, const QString &start);
    void DeleteIcon(qint32 id);
    bool SaveIcons();

    TfrmMain &FMain;
    qint32 FCurrent = -1;
    bool FModified = false;
    bool FNewMode = false;
    bool FStorePending = false;
    bool FUpdatingName = false;
    // Programmatic changes of the boxes and lists that must not count as edits or
    // selections by the user.
    bool FShowing = false;
    bool FPlaced = false; // a position was restored or the window has been shown
    QPalette FEditPalette;
    QPalette FLockedPalette;

    QListWidget *lstSpecialIcons = nullptr;
    QListWidget *lstBasicIcons = nullptr;
    QLineEdit *txtIconName = nullptr;
    QTableWidget *lstEffects = nullptr;
    QPlainTextEdit *txtDescription = nullptr;
    QSpinBox *txtPoints = nullptr;
    QPushButton *btnStore = nullptr;
    QPushButton *btnClose = nullptr;
    QMenu *mnuSpecialIconsPopup = nullptr;
    QMenu *mnuEffectPopUp = nullptr;
    QAction *mnuIconRename = nullptr;
    QAction *mnuIconNew = nullptr;
    QAction *mnuIconDuplicate = nullptr;
};
