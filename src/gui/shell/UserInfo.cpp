#include "shell/UserInfo.h"

#include "shell/Prompts.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace {

QLineEdit *Edit(QWidget *parent, const QString &name, bool password = false)
{
    auto *edit = new QLineEdit(parent);
    edit->setObjectName(name);
    if (password)
        edit->setEchoMode(QLineEdit::Password);
    return edit;
}

QSpinBox *PortBox(QWidget *parent, const QString &name)
{
    auto *box = new QSpinBox(parent);
    box->setObjectName(name);
    box->setRange(1, 65535);
    return box;
}

// In the order of TTlsMode.
QComboBox *SecurityBox(QWidget *parent, const QString &name)
{
    auto *box = new QComboBox(parent);
    box->setObjectName(name);
    box->addItems({u"When the server offers it"_s, u"Always"_s, u"From the start (implicit TLS)"_s});
    return box;
}

} // namespace

TfrmUserInfo::TfrmUserInfo(QWidget *parent) : QDialog(parent)
{
    setObjectName(u"frmUserInfo"_s);
    setWindowTitle(u"User Information"_s);
    txtUserStuff = new QPlainTextEdit(this);
    txtUserStuff->setObjectName(u"txtUserStuff"_s);
    txtUserStuff->setFixedHeight(90);
    txtEMAIL = Edit(this, u"txtEMAIL"_s);

    auto *form = new QFormLayout;
    form->addRow(u"Name and Address"_s, txtUserStuff);
    form->addRow(u"EMAIL Address"_s, txtEMAIL);

    auto *mail = new QGroupBox(u"Mail Server"_s, this);
    txtServer = Edit(mail, u"txtServer"_s);
    txtLogin = Edit(mail, u"txtLogin"_s);
    txtPassword = Edit(mail, u"txtPassword"_s, true);
    spnPort = PortBox(mail, u"spnPort"_s);
    cmbSecurity = SecurityBox(mail, u"cmbSecurity"_s);
    auto *mailForm = new QFormLayout(mail);
    mailForm->addRow(u"SMTP Server"_s, txtServer);
    mailForm->addRow(u"Login Name"_s, txtLogin);
    mailForm->addRow(u"Password"_s, txtPassword);
    mailForm->addRow(u"Port"_s, spnPort);
    mailForm->addRow(u"Encryption"_s, cmbSecurity);

    auto *ftp = new QGroupBox(u"FTP Server"_s, this);
    txtFTPServer = Edit(ftp, u"txtFTPServer"_s);
    spnFTPPort = PortBox(ftp, u"spnFTPPort"_s);
    txtFTPLogin = Edit(ftp, u"txtFTPLogin"_s);
    txtFTPPassword = Edit(ftp, u"txtFTPPassword"_s, true);
    cmbFTPSecurity = SecurityBox(ftp, u"cmbFTPSecurity"_s);
    auto *ftpForm = new QFormLayout(ftp);
    ftpForm->addRow(u"FTP Server"_s, txtFTPServer);
    ftpForm->addRow(u"Port"_s, spnFTPPort);
    ftpForm->addRow(u"Login Name"_s, txtFTPLogin);
    ftpForm->addRow(u"Password"_s, txtFTPPassword);
    ftpForm->addRow(u"Encryption"_s, cmbFTPSecurity);

    txtCertificate = Edit(this, u"txtCertificate"_s);
    txtCertificate->setPlaceholderText(u"Only for a private server"_s);
    auto *browse = new QPushButton(u"Browse..."_s, this);
    browse->setObjectName(u"btnBrowse"_s);
    connect(browse, &QPushButton::clicked, this, &TfrmUserInfo::BrowseCertificate);
    auto *certificate = new QHBoxLayout;
    certificate->addWidget(txtCertificate, 1);
    certificate->addWidget(browse);
    auto *trust = new QFormLayout;
    trust->addRow(u"Certificate File"_s, certificate);
    lblPasswords = new QLabel(this);
    lblPasswords->setObjectName(u"lblPasswords"_s);
    lblPasswords->setWordWrap(true);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(u"btnOK"_s);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto *servers = new QHBoxLayout;
    servers->addWidget(mail, 1);
    servers->addWidget(ftp, 1);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(servers);
    layout->addLayout(trust);
    layout->addWidget(lblPasswords);
    layout->addWidget(buttons);
    FormShowServers({}, QString());
    resize(660, 440);
}

void TfrmUserInfo::FormShow(const TUserInfo &info)
{
    txtUserStuff->setPlainText(info.Address);
    txtEMAIL->setText(info.Email);
    txtServer->setText(info.SmtpHost);
    txtLogin->setText(info.SmtpUser);
}

TUserInfo TfrmUserInfo::StoreUserInfo() const
{
    return {txtUserStuff->toPlainText(), txtEMAIL->text(), txtServer->text(), txtLogin->text()};
}

void TfrmUserInfo::FormShowServers(const TSharingSettings &servers, const QString &where)
{
    txtPassword->setText(servers.MailPassword);
    spnPort->setValue(servers.Accounts.MailPort);
    cmbSecurity->setCurrentIndex(int(servers.Accounts.MailTls));
    txtFTPServer->setText(servers.Accounts.FtpHost);
    spnFTPPort->setValue(servers.Accounts.FtpPort);
    txtFTPLogin->setText(servers.Accounts.FtpUser);
    txtFTPPassword->setText(servers.FtpPassword);
    cmbFTPSecurity->setCurrentIndex(int(servers.Accounts.FtpTls));
    txtCertificate->setText(servers.Accounts.CertificateFile);
    lblPasswords->setText(where.isEmpty() ? QString() : u"Passwords are kept in "_s + where + u'.');
}

TSharingSettings TfrmUserInfo::StoreServers() const
{
    TSharingSettings servers;
    servers.MailPassword = txtPassword->text();
    servers.Accounts.MailPort = spnPort->value();
    servers.Accounts.MailTls = TTlsMode(cmbSecurity->currentIndex());
    servers.Accounts.FtpHost = txtFTPServer->text().trimmed();
    servers.Accounts.FtpPort = spnFTPPort->value();
    servers.Accounts.FtpUser = txtFTPLogin->text();
    servers.FtpPassword = txtFTPPassword->text();
    servers.Accounts.FtpTls = TTlsMode(cmbFTPSecurity->currentIndex());
    servers.Accounts.CertificateFile = txtCertificate->text().trimmed();
    return servers;
}

void TfrmUserInfo::BrowseCertificate()
{
    if (!FPrompts)
        return;
    TFileDialog dialog;
    dialog.Title = u"Certificate File"_s;
    dialog.FileName = txtCertificate->text();
    dialog.Filter = u"Certificate Files|*.pem;*.crt;*.cer|All Files|*.*"_s;
    dialog.MustExist = true;
    if (const std::optional<TFileChoice> choice = FPrompts->OpenFiles(dialog); choice && !choice->Files.isEmpty())
        txtCertificate->setText(choice->Files.first());
}
