// The inventory window's file commands: the inventory file, price lists and the
// collection as CSV.

#include "inventory/InventoryForm.h"

#include "KrException.h"
#include "inventory/CollectionCsv.h"
#include "inventory/TradePanel.h"
#include "shell/MainForm.h"
#include "shell/Prompts.h"
#include "shell/QRVUtils.h"
#include "shell/SettingsStore.h"

#include <QAction>

using namespace Qt::StringLiterals;

namespace {

const QString kLoadFilter = u"KR Inventory File|*.kri|KR Price File|*.krp|KR Trade File|*.btr|All Files|*.*"_s;
const QString kSaveFilter = u"KR Inventory Files|*.kri|KR Price Files|*.krp|KR Trade File|*.btr|All Files|*.*"_s;
constexpr int kPriceFilter = 2;
const QString kCsvFilter = u"Comma-Separated Value Files|*.csv"_s;

} // namespace

bool TfrmInventory::QuerySaveInventory()
{
    if (!FTradePanel->QueryTradeEdits())
        return false;
    if (!FInventory->InventoryModified)
        return true;
    if (!FInventory->InventoryFileName.isEmpty()) {
        switch (FMain.Prompts().Confirm(windowTitle(), u"Save changes to "_s + FInventory->InventoryFileName + u'?',
                                        TButtons::YesNoCancel)) {
        case TAnswer::Yes:
            return SaveInventoryFile(FInventory->InventoryFileName);
        case TAnswer::No:
            FInventory->InventoryModified = false;
            mnuSaveInventory->setEnabled(false);
            return true;
        default:
            return false;
        }
    }
    if (SaveInventoryAs())
        return true;
    if (FMain.Prompts().Confirm(windowTitle(), u"Close inventory without saving?"_s, TButtons::YesNo) == TAnswer::Yes) {
        FInventory->InventoryModified = false;
        mnuSaveInventory->setEnabled(false);
        return true;
    }
    return false;
}

bool TfrmInventory::ReadInventoryFile(const QString &path)
{
    try {
        ShowStatus(u"Reading inventory from "_s + path);
        const TInventoryReadResult result = FInventory->LoadFile(path);
        mnuSaveInventory->setEnabled(false);
        ShowStatus(QString::number(result.Total) + u"-die inventory loaded from "_s + path);
        if (result.NotFound > 0)
            FMain.Prompts().Information(windowTitle(), TInventory::InventoryNotFoundMessage(result.NotFound));
        return true;
    } catch (const TKrException &failure) {
        ShowStatus(u"Error loading inventory."_s);
        FMain.ReportError(failure, u"loading inventory"_s);
        return false;
    }
}

bool TfrmInventory::SaveInventoryFile(const QString &path)
{
    try {
        ShowStatus(u"Writing inventory data..."_s);
        FInventory->SaveFile(path);
        mnuSaveInventory->setEnabled(false);
        ShowStatus(u"Inventory saved to "_s + path + u'.');
        return true;
    } catch (const TKrException &failure) {
        ShowStatus(u"Error writing inventory to "_s + path + u'.');
        FMain.ReportError(failure, u"saving inventory"_s);
        return false;
    }
}

void TfrmInventory::LoadInventory()
{
    if (!QuerySaveInventory())
        return;
    TFileDialog dialog;
    dialog.Title = u"Load Inventory"_s;
    dialog.Directory = FMain.DocumentDirectory();
    dialog.FileName = FMain.Settings().ReadStringSetting(u"InventoryFile"_s, u"Collection.KRI"_s);
    dialog.Filter = kLoadFilter;
    dialog.DefaultExtension = u"KRI"_s;
    dialog.MustExist = true;
    const std::optional<TFileChoice> choice = FMain.Prompts().OpenFiles(dialog);
    if (!choice) {
        ShowStatus(u"Inventory load cancelled."_s);
        return;
    }
    ReadAndRedisplay(choice->Files.value(0));
}

void TfrmInventory::ReadAndRedisplay(const QString &path)
{
    const bool read = ReadInventoryFile(path);
    RedisplayTree();
    FTradePanel->Refill();
    // The redisplay's own statuses would read as a success.
    if (!read) {
        ShowStatus(u"Error loading inventory."_s);
        FMain.ShowStatus(u"Error loading inventory."_s);
    }
}

void TfrmInventory::SaveInventory()
{
    if (FInventory->InventoryFileName.isEmpty())
        SaveInventoryAs();
    else
        SaveInventoryFile(FInventory->InventoryFileName);
}

bool TfrmInventory::SaveInventoryAs()
{
    TFileDialog dialog;
    dialog.Title = u"Save Inventory"_s;
    dialog.Directory = FMain.DocumentDirectory();
    // A cancelled first save leaves the collection without a file name.
    dialog.FileName = FInventory->InventoryFileName.isEmpty() ? u"ArmyDice.KRI"_s : FInventory->InventoryFileName;
    dialog.Filter = kSaveFilter;
    dialog.DefaultExtension = u"KRI"_s;
    const std::optional<TFileChoice> choice = FMain.Prompts().SaveFile(dialog);
    if (!choice) {
        ShowStatus(u"Inventory save aborted by user."_s);
        return false;
    }
    const QString path = choice->Files.value(0);
    if (!SaveInventoryFile(path))
        return false;
    FMain.Settings().WriteStringSetting(u"InventoryFile"_s, path);
    return true;
}

void TfrmInventory::ClearInventory()
{
    if (!QuerySaveInventory())
        return;
    try {
        FInventory->Clear();
        mnuSaveInventory->setEnabled(false);
        RedisplayTree();
        FTradePanel->Refill();
    } catch (const TKrException &failure) {
        ShowStatus(u"Error clearing inventory."_s);
        FMain.ReportError(failure, u"clearing inventory"_s);
    }
}

void TfrmInventory::ExportPrices()
{
    TFileDialog dialog;
    dialog.Title = u"Save Inventory"_s;
    dialog.Directory = FMain.DocumentDirectory();
    dialog.FileName = FLastPriceFile;
    dialog.Filter = kSaveFilter;
    dialog.FilterIndex = kPriceFilter;
    dialog.DefaultExtension = u"krp"_s;
    const std::optional<TFileChoice> choice = FMain.Prompts().SaveFile(dialog);
    if (!choice) {
        ShowStatus(u"Price export aborted by user."_s);
        return;
    }
    const QString path = choice->Files.value(0);
    FLastPriceFile = path;
    try {
        ShowStatus(u"Exporting price data..."_s);
        FInventory->ExportPrices(path);
        ShowStatus(u"Prices exported to "_s + path + u'.');
    } catch (const TKrException &failure) {
        ShowStatus(u"Error exporting prices to "_s + path + u'.');
        FMain.ReportError(failure, u"exporting prices"_s);
    }
}

void TfrmInventory::ImportPrices()
{
    if (!QuerySaveInventory())
        return;
    TFileDialog dialog;
    dialog.Title = u"Load Inventory"_s;
    dialog.Directory = FMain.DocumentDirectory();
    dialog.Filter = kLoadFilter;
    dialog.FilterIndex = kPriceFilter;
    dialog.DefaultExtension = u"krp"_s;
    dialog.MustExist = true;
    const std::optional<TFileChoice> choice = FMain.Prompts().OpenFiles(dialog);
    if (!choice) {
        ShowStatus(u"Price import cancelled."_s);
    } else {
        const QString path = choice->Files.value(0);
        try {
            ShowStatus(u"Reading inventory from "_s + path);
            const TInventoryReadResult result = FInventory->ImportPrices(path);
            ShowStatus(u"Price list read from "_s + path + u'.');
            if (result.NotFound > 0)
                FMain.Prompts().Information(windowTitle(), TInventory::PriceListNotFoundMessage(result.NotFound));
        } catch (const TKrException &failure) {
            ShowStatus(u"Error importing price list."_s);
            FMain.ReportError(failure, u"importing price list"_s);
        }
    }
    RedisplayTree();
}

void TfrmInventory::ExportCollectionCsv()
{
    TFileDialog dialog;
    dialog.Title = u"Export Collection as CSV"_s;
    dialog.Directory = FMain.DocumentDirectory();
    dialog.FileName = FLastCsvFile.isEmpty() ? u"Collection.csv"_s : FLastCsvFile;
    dialog.Filter = kCsvFilter;
    dialog.DefaultExtension = u"csv"_s;
    const std::optional<TFileChoice> choice = FMain.Prompts().SaveFile(dialog);
    if (!choice) {
        ShowStatus(u"Collection export aborted by user."_s);
        return;
    }
    const QString path = choice->Files.value(0);
    FLastCsvFile = path;
    try {
        ShowStatus(u"Exporting collection..."_s);
        TCollectionCsv::ExportFile(*FInventory, path);
        ShowStatus(u"Collection exported to "_s + path + u'.');
    } catch (const TKrException &failure) {
        ShowStatus(u"Error exporting collection to "_s + path + u'.');
        FMain.ReportError(failure, u"exporting collection"_s);
    }
}

void TfrmInventory::ImportCollectionCsv()
{
    // The import changes the collection in place: the user may keep what there was first.
    if (!QuerySaveInventory())
        return;
    TFileDialog dialog;
    dialog.Title = u"Import Collection from CSV"_s;
    dialog.Directory = FMain.DocumentDirectory();
    dialog.FileName = FLastCsvFile;
    dialog.Filter = kCsvFilter;
    dialog.DefaultExtension = u"csv"_s;
    dialog.MustExist = true;
    const std::optional<TFileChoice> choice = FMain.Prompts().OpenFiles(dialog);
    if (!choice) {
        ShowStatus(u"Collection import cancelled."_s);
        return;
    }
    const QString path = choice->Files.value(0);
    FLastCsvFile = path;
    TCsvImportResult result;
    try {
        ShowStatus(u"Reading collection from "_s + path + u"..."_s);
        result = TCollectionCsv::ImportFile(*FInventory, path);
    } catch (const TKrException &failure) {
        // Nothing was set: the tree still shows the collection as it is.
        ShowStatus(u"Error importing collection."_s);
        FMain.ReportError(failure, u"importing collection"_s);
        return;
    }
    RefreshSaveItem();
    RedisplayTree();
    // After the redisplay, whose own statuses would hide what the import did.
    ShowStatus(result.StatusText(path));
    if (!result.Unmatched.empty())
        FMain.Prompts().Information(windowTitle(), result.UnmatchedMessage());
}
