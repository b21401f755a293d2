// The army window's commands on the army as a whole: its edits that reach the group,
// sorting, saving and closing, printing and exporting, and its dialogs.

#include "army/ArmyForm.h"

#include "KrException.h"
#include "army/ArmyAnalysis.h"
#include "army/ArmyDescription.h"
#include "army/ArmyExport.h"
#include "army/ArmyFile.h"
#include "army/ArmyPrint.h"
#include "army/ArmySort.h"
#include "army/OddsWindow.h"
#include "army/PrinterCanvas.h"
#include "army/RaceBreakdown.h"
#include "army/RaceReport.h"
#include "controls/FancyGrid.h"
#include "dice/Catalogue.h"
#include "shell/MainForm.h"
#include "shell/Prompts.h"
#include "shell/SettingsStore.h"

#include <QAction>
#include <QDateTime>
#include <QDir>
#include <QPrinter>

using namespace Qt::StringLiterals;

std::vector<TfrmArmy *> TfrmArmy::GroupArmies() const
{
    std::vector<TfrmArmy *> group;
    for (TfrmArmy *army : FMain.ArmyForms()) {
        if (army->Army().GroupName() == FArmy->GroupName())
            group.push_back(army);
    }
    return group;
}

void TfrmArmy::SetNotes(const QString &notes)
{
    FArmy->SetNotes(notes);
    Modify();
}

void TfrmArmy::SetMajorTerrain(int index)
{
    FArmy->SetMajorTerrain(index);
    Modify();
}

void TfrmArmy::SetMinorTerrain(int k, int index)
{
    FArmy->SetMinorTerrain(k, index);
    Modify();
}

void TfrmArmy::SetGroupName(const QString &name)
{
    FArmy->SetGroupName(name);
    Modify();
    // Joining a group adopts its battle size.
    if (name != u"(none)"_s) {
        for (TfrmArmy *other : FMain.ArmyForms()) {
            if (other == this || other->Army().GroupName() != name)
                continue;
            const quint32 size = other->Army().BattleSize();
            for (TfrmArmy *member : GroupArmies()) {
                if (member == other)
                    continue;
                member->Army().SetBattleSize(size);
                member->Modify();
            }
            break;
        }
    }
    UpdateGroupItems();
    FMain.SetCurrentArmy(this);
}

void TfrmArmy::SetBattleSize(quint32 size)
{
    FArmy->SetBattleSize(size);
    Modify();
    int updated = 0;
    if (FArmy->GroupName() != u"(none)"_s) {
        for (TfrmArmy *member : GroupArmies()) {
            if (member == this)
                continue;
            member->Army().SetBattleSize(size);
            member->Modify();
            ++updated;
        }
    }
    ShowStatus(u"Battle size set to "_s + QString::number(size) + u".  "_s + QString::number(updated)
               + u" armies updated in group."_s);
}

void TfrmArmy::SortArmy(int tag)
{
    try {
        ShowStatus(u"Sorting..."_s);
        ::SortArmy(*FArmy, ArmySortOrder(tag));
        FillDiceRows();
        ShowStatus(u"Army sorted by "_s + SortCaption(ArmySortOrder(tag)) + u'.');
        Modify();
    } catch (const TKrException &failure) {
        ShowStatus(u"Error during sort."_s);
        FMain.ReportError(failure, u"during sort"_s);
    }
}

void TfrmArmy::ShowArmyNotes()
{
    FMain.ArmyDescription().ShowArmyNotes(*this);
}

void TfrmArmy::ShowRaceBreakdown()
{
    std::vector<const TArmy *> armies;
    for (TfrmArmy *army : FMain.ArmyForms())
        armies.push_back(&army->Army());
    TfrmRaceBreakdown breakdown(TRaceBreakdown(FMain.Catalogue(), FArmy->GroupName(), armies), this);
    breakdown.exec();
}

void TfrmArmy::ShowOdds()
{
    if (!FOdds)
        FOdds = new TfrmOdds(FMain, *this);
    FOdds->show();
    FOdds->raise();
    FOdds->activateWindow();
}

bool TfrmArmy::WriteArmyFile(const QString &path)
{
    try {
        ShowStatus(u"Writing army data..."_s);
        ShowStatus(u"Writing army data for "_s + FArmy->Name() + u"..."_s);
        SaveArmyFile(*FArmy, path);
        mnuFileSave->setEnabled(false);
        ShowStatus(u"Army saved to disk."_s);
        ShowStatus(u"Army saved to "_s + path + u'.');
        return true;
    } catch (const TKrException &failure) {
        ShowStatus(u"Error writing army to "_s + path + u'.');
        FMain.ReportError(failure, u"saving army"_s);
        return false;
    }
}

bool TfrmArmy::WriteGroupFile(const QString &path)
{
    try {
        const std::vector<TfrmArmy *> members = GroupArmies();
        std::vector<TArmy *> armies;
        for (TfrmArmy *member : members)
            armies.push_back(&member->Army());
        SaveGroupFile(path, armies, [this](const QString &text) { ShowStatus(text); });
        for (TfrmArmy *member : members)
            member->mnuFileSave->setEnabled(false);
        ShowStatus(u"Army group saved to "_s + path + u'.');
        return true;
    } catch (const TKrException &failure) {
        ShowStatus(u"Error saving army group."_s);
        FMain.ReportError(failure, u"saving army group"_s);
        return false;
    }
}

bool TfrmArmy::SaveArmy(bool force)
{
    const bool group = !FArmy->GroupFileName.isEmpty();
    QString fileName = group ? FArmy->GroupFileName : FArmy->FileName;
    const QString proposed = group ? FArmy->GroupName() + u".KRG"_s : FArmy->Name() + u".KRA"_s;
    // The dialog serves both kinds of file; each is offered first where it is written, so
    // that a name typed without an extension gets the right one.
    TFileDialog dialog;
    dialog.Title = u"Save Army"_s;
    dialog.Filter = group ? u"KRA Army Group File|*.krg|All Files|*.*"_s
                          : u"KRA Army File|*.kra|KRA Army Group File|*.krg|All Files|*.*"_s;
    dialog.DefaultExtension = group ? u"krg"_s : u"kra"_s;
    if (!FMain.ChooseSaveFile(fileName, dialog, force, proposed))
        return false;
    return group ? WriteGroupFile(fileName) : WriteArmyFile(fileName);
}

bool TfrmArmy::SaveGroup()
{
    // The bare name only proposes a file; a group save that did not happen must not
    // leave it behind for the next "&Save", which would write the group there unasked.
    const QString before = FArmy->GroupFileName;
    FArmy->GroupFileName = FArmy->GroupName() + u".KRG"_s;
    if (SaveArmy(true))
        return true;
    FArmy->GroupFileName = before;
    return false;
}

bool TfrmArmy::CloseQuery()
{
    if (!FArmy->Modified)
        return true;
    TPrompts &prompts = FMain.Prompts();
    if (!FArmy->FileName.isEmpty()) {
        switch (prompts.Confirm(windowTitle(), u"Save changes to "_s + FArmy->Name() + u'?', TButtons::YesNoCancel)) {
        case TAnswer::Yes:
            return SaveArmy(false);
        case TAnswer::No:
            FArmy->Modified = false;
            return true;
        default:
            return false;
        }
    }
    FArmy->FileName = FArmy->Name() + u".KRA"_s;
    if (SaveArmy(true))
        return true;
    // The name was only a proposal: a later "Save" must ask again, not write a bare file
    // name into whatever folder is current.
    FArmy->FileName.clear();
    if (prompts.Confirm(windowTitle(), u"Close without saving "_s + FArmy->Name() + u'?', TButtons::YesNo)
        == TAnswer::Yes) {
        FArmy->Modified = false;
        return true;
    }
    return false;
}

void TfrmArmy::CloseGroup()
{
    for (TfrmArmy *member : GroupArmies()) {
        if (member != this && !member->CloseArmy())
            return;
    }
    CloseArmy();
}

void TfrmArmy::CloseAllArmies()
{
    for (TfrmArmy *army : std::vector<TfrmArmy *>(FMain.ArmyForms())) {
        if (army != this && !army->CloseArmy())
            return;
    }
    CloseArmy();
}

TArmyPrintData TfrmArmy::PrintData()
{
    // Printing shows the figures of the window; an army not analysed yet is analysed first.
    if (!FArmy->Analyzed || !FAnalysis)
        AnalyzeArmy();
    return MakeArmyPrintData(*FArmy, *FAnalysis, FMain.ResultMap(), FMain.ShowMinimum(),
                             QDateTime::currentDateTime());
}

void TfrmArmy::PrintArmy()
{
    QPrinter printer;
    if (!FMain.Prompts().PrintSetup(printer))
        return;
    try {
        ShowStatus(u"Printing..."_s);
        TPrinterCanvas canvas(printer, grdDice->font());
        ::PrintArmy(canvas, PrintData());
        ShowStatus(FArmy->Name() + u" printed."_s);
    } catch (const TKrException &failure) {
        ShowStatus(u"Print failed."_s);
        FMain.ReportError(failure, u" printing army"_s);
    }
}

void TfrmArmy::PrintGroup()
{
    QPrinter printer;
    if (!FMain.Prompts().PrintSetup(printer))
        return;
    try {
        ShowStatus(u"Printing..."_s);
        std::vector<TArmyPrintData> armies;
        for (TfrmArmy *member : GroupArmies())
            armies.push_back(member->PrintData());
        TPrinterCanvas canvas(printer, grdDice->font());
        PrintArmyGroup(canvas, FArmy->GroupName(), armies,
                       [this](const QString &name) { ShowStatus(u"Printing "_s + name + u"..."_s); });
        ShowStatus(FArmy->Name() + u" printed."_s);
    } catch (const TKrException &failure) {
        ShowStatus(u"Print failed."_s);
        FMain.ReportError(failure, u" printing army group"_s);
    }
}

void TfrmArmy::ExportGroup()
{
    TFileDialog dialog;
    dialog.Title = u"Export Group Description"_s;
    dialog.Directory = FMain.DocumentDirectory();
    dialog.Filter = u"Message Files|*.msg|Text Files|*.txt|All Files|*.*"_s;
    dialog.DefaultExtension = u"msg"_s;
    const std::optional<TFileChoice> choice = FMain.Prompts().SaveFile(dialog);
    if (!choice) {
        ShowStatus(u"Army group export aborted by user."_s);
        return;
    }
    try {
        std::vector<const TArmy *> armies;
        for (TfrmArmy *army : FMain.ArmyForms())
            armies.push_back(&army->Army());
        ::ExportGroup(choice->Files.value(0), FArmy->GroupName(), armies);
    } catch (const TKrException &failure) {
        ShowStatus(u"Export failed."_s);
        FMain.ReportError(failure, u"exportting army group"_s);
    }
}
