#pragma once

#include <QDialog>

#include <optional>

class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QVBoxLayout;

// The reason dialog of the game's actions: a caption and a prompt from the caller and
// an editable list of reasons. A proposed reason is selected when it is in the list and
// typed in otherwise; OK is open while the reason is not empty.
class TfrmReason : public QDialog
{
    Q_OBJECT

public:
    TfrmReason(const QString &caption, const QString &prompt, const QStringList &reasons,
               const QString &proposed = QString(), QWidget *parent = nullptr);

    QString Reason() const;
    void SetReason(const QString &text);
    bool CanAccept() const;
    // OK, as the button gives it; false when the reason is empty.
    bool Accept();

protected:
    // Where a derived dialog adds its own fields, above the buttons.
    QVBoxLayout &Fields() const { return *FFields; }
    virtual void UpdateOK();

    QLineEdit *txtReason;
    QListWidget *lstReasons;
    QPushButton *btnOK;
    QPushButton *btnCancel;

private:
    QVBoxLayout *FFields;
};

// Adds the army the roll targets: "(none/various)" is offered first and chosen.
class TfrmRollReason : public TfrmReason
{
    Q_OBJECT

public:
    TfrmRollReason(const QString &caption, const QString &prompt, const QStringList &reasons,
                   const QStringList &targets, QWidget *parent = nullptr);

    QString Target() const;
    void SetTarget(int index);

private:
    QComboBox *cmbTarget;
};
