#pragma once

#include "dice/Catalogue.h"
#include "shell/DataPaths.h"
#include "shell/ShellServices.h"

#include <QMainWindow>

class QLabel;
class QMdiArea;
class TPrompts;

// The main frame: a multiple-document window whose status line and error report every
// other part of the program reports through. It owns the catalogue.
class TfrmMain : public QMainWindow, public TShellServices
{
    Q_OBJECT

public:
    TfrmMain(TDataPaths paths, TPrompts &prompts, QWidget *parent = nullptr);
    ~TfrmMain() override;

    TCatalogue &Catalogue() { return FCatalogue; }
    const TDataPaths &Paths() const { return FPaths; }
    QString DataFilePath(const QString &name) const { return FPaths.DataFilePath(name); }

    // Loads the face symbols and then the race database, as the program does at start.
    void LoadCatalogue();

    void ShowStatus(const QString &text) override;
    void ReportError(const TKrException &failure, const QString &context) override;
    void Beep() override;

    QString StatusText() const;

private:
    void CreateMenus();

    TDataPaths FPaths;
    TPrompts &FPrompts;
    TCatalogue FCatalogue;
    QMdiArea *FMdiArea = nullptr;
    QLabel *FStatus = nullptr;
};
