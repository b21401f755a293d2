#include "shell/UserInfo.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

TfrmUserInfo::TfrmUserInfo(QWidget *parent) : QDialog(parent)
{
    setObjectName(u"frmUserInfo"_s);
    setWindowTitle(u"User Information"_s);
    txtUserStuff = new QPlainTextEdit(this);
    txtUserStuff->setObjectName(u"txtUserStuff"_s);
    txtEMAIL = new QLineEdit(this);
    txtEMAIL->setObjectName(u"txtEMAIL"_s);
    txtServer = new QLineEdit(this);
    txtServer->setObjectName(u"txtServer"_s);
    txtLogin = new QLineEdit(this);
    txtLogin->setObjectName(u"txtLogin"_s);

    auto *form = new QFormLayout;
    form->addRow(u"Name and Address"_s, txtUserStuff);
    form->addRow(u"EMAIL Address"_s, txtEMAIL);
    form->addRow(u"SMTP Server"_s, txtServer);
    form->addRow(u"Login Name"_s, txtLogin);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(u"btnOK"_s);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
    resize(440, 300);
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
