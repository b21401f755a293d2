#pragma once

#include <QDialog>

class QLineEdit;
class QPlainTextEdit;

// What the program keeps about its user: name and address, e-mail address, and the
// mail server with its login name.
struct TUserInfo
{
    QString Address;
    QString Email;
    QString SmtpHost;
    QString SmtpUser;
};

// "User Information": edits a copy; OK hands it back. Nothing is written to the
// settings here; the main window keeps them when it closes.
class TfrmUserInfo : public QDialog
{
    Q_OBJECT

public:
    explicit TfrmUserInfo(QWidget *parent = nullptr);

    // Fills the four fields.
    void FormShow(const TUserInfo &info);
    // The four fields as the user left them.
    TUserInfo StoreUserInfo() const;

private:
    QPlainTextEdit *txtUserStuff;
    QLineEdit *txtEMAIL;
    QLineEdit *txtServer;
    QLineEdit *txtLogin;
};
