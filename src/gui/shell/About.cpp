#include "shell/About.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QLabel>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

TfrmAbout::TfrmAbout(QWidget *parent) : QDialog(parent)
{
    setObjectName(u"frmAbout"_s);
    setWindowTitle(u"About Tarrowind Assistant"_s);
    auto *layout = new QVBoxLayout(this);
    auto *text = new QLabel(
        u"<h2>Tarrowind Assistant</h2><p>Version %1</p>"
        "<p>The catalogue of races and dice with their statistics, its editors and the face "
        "symbols; your collection with its counts, drawers, price lists, spreadsheet files and "
        "trades with other collectors; the alert list and the trading list for the web; armies and "
        "army groups with their analysis, the exact odds of a roll, printing and export; the die "
        "finder; games passed between players by FTP "
        "or e-mail under a control lock; and the roll calculator.</p>"
        "<p>Built with Qt %2.</p>"_s.arg(QApplication::applicationVersion(), QString::fromLatin1(qVersion())),
        this);
    text->setObjectName(u"lblAbout"_s);
    text->setWordWrap(true);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    layout->addWidget(text);
    layout->addWidget(buttons);
    setFixedSize(440, 270);
}
