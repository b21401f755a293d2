#include "game/GameLogWindow.h"

#include <QCloseEvent>
#include <QListWidget>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

TfrmGameLog::TfrmGameLog(QWidget *parent) : QWidget(parent, Qt::Tool | Qt::WindowStaysOnTopHint)
{
    setObjectName(u"frmGameLog"_s);
    setWindowTitle(u"Game Log"_s);
    lstLog = new QListWidget(this);
    lstLog->setObjectName(u"lstLog"_s);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(lstLog);
    resize(520, 300);
}

void TfrmGameLog::ShowLines(const QStringList &lines)
{
    lstLog->clear();
    lstLog->addItems(lines);
    ShowLastLine();
}

void TfrmGameLog::AddLine(const QString &line)
{
    lstLog->addItem(line);
    ShowLastLine();
}

void TfrmGameLog::ShowLastLine()
{
    if (lstLog->count() > 0) {
        lstLog->setCurrentRow(lstLog->count() - 1);
        lstLog->scrollToBottom();
    }
}

QStringList TfrmGameLog::Lines() const
{
    QStringList lines;
    for (int i = 0; i < lstLog->count(); ++i)
        lines << lstLog->item(i)->text();
    return lines;
}

void TfrmGameLog::closeEvent(QCloseEvent *event)
{
    emit Closing();
    event->accept();
}
