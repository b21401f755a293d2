#include "shell/Disclaimer.h"

#include <QLabel>
#include <QProgressBar>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

TfrmDisclaimer::TfrmDisclaimer(QWidget *parent) : QDialog(parent, Qt::SplashScreen)
{
    setObjectName(u"frmDisclaimer"_s);
    setWindowTitle(u"Tarrowind Assistant"_s);
    auto *layout = new QVBoxLayout(this);
    auto *title = new QLabel(u"<h2>Tarrowind Assistant</h2>"_s, this);
    title->setAlignment(Qt::AlignCenter);
    txtDisclaimer = new QLabel(
        u"A companion for players and collectors of Tarrowind: the catalogue of races and dice, "
        "your collection and trades, armies and their analysis, and games passed between players.\n\n"
        "Tarrowind Assistant is an independent program made by players for players. The race and "
        "die data you keep in it is your own; check it against the dice you hold."_s,
        this);
    txtDisclaimer->setObjectName(u"txtDisclaimer"_s);
    txtDisclaimer->setWordWrap(true);
    barProgress = new QProgressBar(this);
    barProgress->setObjectName(u"barProgress"_s);
    barProgress->setRange(0, 100);
    barProgress->setValue(0);
    pnlStatus = new QLabel(this);
    pnlStatus->setObjectName(u"pnlStatus"_s);
    pnlStatus->setFrameShape(QFrame::StyledPanel);
    layout->addWidget(title);
    layout->addWidget(txtDisclaimer);
    layout->addWidget(barProgress);
    layout->addWidget(pnlStatus);
    setFixedSize(460, 260);
}

void TfrmDisclaimer::RaceLoading(const QString &name)
{
    pnlStatus->setText(u"Loading "_s + name + u"..."_s);
    // The load runs before the event loop: paint the panel now.
    pnlStatus->repaint();
}

void TfrmDisclaimer::RaceLoaded(const TRace &, int percent)
{
    barProgress->setValue(percent);
    barProgress->repaint();
}

QString TfrmDisclaimer::StatusText() const
{
    return pnlStatus->text();
}

int TfrmDisclaimer::Progress() const
{
    return barProgress->value();
}
