#include "game/MailMessage.h"

#include <QDialogButtonBox>
#include <QPlainTextEdit>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

TdlgMessage::TdlgMessage(QWidget *parent) : QDialog(parent)
{
    setObjectName(u"dlgMessage"_s);
    setWindowTitle(u"Enter a Brief Message"_s);
    txtMessage = new QPlainTextEdit(this);
    txtMessage->setObjectName(u"txtMessage"_s);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(txtMessage);
    layout->addWidget(buttons);
    resize(420, 260);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

QStringList TdlgMessage::Lines() const
{
    const QString text = txtMessage->toPlainText();
    return text.isEmpty() ? QStringList() : text.split(u'\n');
}
