#include "shell/HelpWindow.h"

#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

// The guide is compiled into the static gui library, whose resources are not registered
// on their own; the macro must stand outside any namespace.
static void RegisterHelpResources()
{
    Q_INIT_RESOURCE(help);
}

TfrmHelp::TfrmHelp(QWidget *parent) : QDialog(parent)
{
    RegisterHelpResources();
    setObjectName(u"frmHelp"_s);
    setWindowTitle(u"Tarrowind Assistant Help"_s);
    FBrowser = new QTextBrowser(this);
    FBrowser->setOpenExternalLinks(true);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(FBrowser);
    resize(640, 560);
}

void TfrmHelp::ShowTopic(int context)
{
    // Topics are anchors of the one guide; the contents are its top.
    const QUrl page(u"qrc:/help/index.html"_s);
    FBrowser->setSource(context <= 1 ? page : QUrl(page.toString() + u"#topic"_s + QString::number(context)));
    show();
    raise();
    activateWindow();
}

QString TfrmHelp::DocumentTitle() const
{
    return FBrowser->documentTitle();
}
