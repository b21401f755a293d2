#pragma once

#include "ScriptedPrompts.h"
#include "TestSupport.h"
#include "shell/MainForm.h"
#include "shell/SettingsStore.h"

#include <QAction>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

// A running program for window tests: a data folder with a small catalogue, settings in
// memory, scripted answers to every question, and the main window started as main()
// starts it.
class TMainFixture : public ::testing::Test
{
protected:
    TMainFixture();
    ~TMainFixture() override;

    // Writes the catalogue as the data folder's KRRACES.DAT (and its special symbols
    // as KRICONS.DAT when it has any).
    void WriteCatalogue(const TCatalogue &catalogue);
    // The main window as main() starts it: the frame, its windows, the first show.
    TfrmMain &Start(const QStringList &documents = {}, bool show = true);
    // A menu item of the main window (or of any window it owns) by object name.
    QAction &Item(const QString &name);

    QTemporaryDir Data;
    QString RaceFile;
    QString IconFile;
    TMemorySettingsStore Settings;
    TScriptedPrompts Prompts;
    QStringList Statuses;
    std::unique_ptr<TfrmMain> Main;
};
