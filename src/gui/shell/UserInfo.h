#pragma once

#include "net/NetSettings.h"

#include <QDialog>

class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QSpinBox;
class TPrompts;

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
// settings here; the main window keeps them when it closes. Below the user's own
// fields are the servers the games are shared through (mail port, password and
// encryption; the FTP server and its account; a certificate file for a private
// server), which the main window keeps as soon as OK is pressed.
class TfrmUserInfo : public QDialog
{
    Q_OBJECT

public:
    explicit TfrmUserInfo(QWidget *parent = nullptr);

    // Fills the four fields.
    void FormShow(const TUserInfo &info);
    // The four fields as the user left them.
    TUserInfo StoreUserInfo() const;

    // Fills the server fields; where tells the user where the passwords are kept.
    void FormShowServers(const TSharingSettings &servers, const QString &where);
    TSharingSettings StoreServers() const;
    // "Browse..." asks for the certificate file through these.
    void SetPrompts(TPrompts &prompts) { FPrompts = &prompts; }

private:
    void BrowseCertificate();

    QPlainTextEdit *txtUserStuff;
    QLineEdit *txtEMAIL;
    QLineEdit *txtServer;
    QLineEdit *txtLogin;
    QLineEdit *txtPassword;
    QSpinBox *spnPort;
    QComboBox *cmbSecurity;
    QLineEdit *txtFTPServer;
    QSpinBox *spnFTPPort;
    QLineEdit *txtFTPLogin;
    QLineEdit *txtFTPPassword;
    QComboBox *cmbFTPSecurity;
    QLineEdit *txtCertificate;
    QLabel *lblPasswords;
    TPrompts *FPrompts = nullptr;
};
