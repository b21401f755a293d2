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
        "symbols; your collection with its counts, drawers and price lists; armies and army groups "
        "with their analysis, printing and export; and the die finder.</p>"
        "<p>Built with Qt %2.</p>"_s.arg(QApplication::applicationVersion(), QString::fromLatin1(qVersion())),
        this);
    text->setObjectName(u"lblAbout"_s);
    text->setWordWrap(true);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    layout->addWidget(text);
    layout->addWidget(buttons);
    setFixedSize(420, 240);
}
