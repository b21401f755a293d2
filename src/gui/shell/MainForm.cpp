#include "shell/MainForm.h"

#include "KrException.h"
#include "shell/CatalogueFiles.h"
#include "shell/Prompts.h"

#include <QApplication>
#include <QLabel>
#include <QMdiArea>
#include <QMenuBar>
#include <QStatusBar>

using namespace Qt::StringLiterals;

TfrmMain::TfrmMain(TDataPaths paths, TPrompts &prompts, QWidget *parent)
    : QMainWindow(parent), FPaths(std::move(paths)), FPrompts(prompts)
{
    setWindowTitle(u"Tarrowind Assistant"_s);
    resize(1024, 720);
    FMdiArea = new QMdiArea(this);
    setCentralWidget(FMdiArea);
    // One simple panel; a label keeps the text until the next status, unlike
    // showMessage's temporary messages.
    FStatus = new QLabel(this);
    statusBar()->addWidget(FStatus, 1);
    CreateMenus();
    ShowStatus(u"Tarrowind Assistant initialized."_s);
}

TfrmMain::~TfrmMain() = default;

void TfrmMain::CreateMenus()
{
    QMenu *file = menuBar()->addMenu(u"&File"_s);
    QAction *exit = file->addAction(u"E&xit"_s);
    connect(exit, &QAction::triggered, this, &QWidget::close);
}

void TfrmMain::LoadCatalogue()
{
    ShowStatus(u"Loading basic icons..."_s);
    ReadIconData(FCatalogue.Icons(), DataFilePath(QString::fromUtf16(kIconFileName)), *this);
    ShowStatus(u"Icon viewer initialized."_s);
    ReadRaceData(FCatalogue, DataFilePath(QString::fromUtf16(kRaceFileName)), *this);
    FCatalogue.MakeTerrains();
}

void TfrmMain::ShowStatus(const QString &text)
{
    FStatus->setText(text);
    // Long operations report as they go: paint the line now, not after the work.
    FStatus->repaint();
}

QString TfrmMain::StatusText() const
{
    return FStatus->text();
}

void TfrmMain::ReportError(const TKrException &failure, const QString &context)
{
    ShowStatus(u"Error "_s + context + u'.');
    FPrompts.Warning(this, windowTitle(), failure.Message());
}

void TfrmMain::Beep()
{
    FPrompts.Beep();
}
