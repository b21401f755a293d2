// The collection as comma-separated values: export-csv and import-csv.

#include "ToolCommon.h"

#include "dice/Catalogue.h"
#include "inventory/CollectionCsv.h"
#include "inventory/Inventory.h"
#include "shell/Clock.h"

#include <QTextStream>

namespace KrTool {

namespace {

const QList<QCommandLineOption> kCatalogueOptions{ValueOption(u"races"_s, u"R"_s), ValueOption(u"icons"_s, u"I"_s)};

// The inventory as "&Load Inventory..." reads it; entries of dice the catalogue lacks are
// told as the program's message box tells them, and the work goes on without them.
void LoadInventory(const TContext &context, TInventory &inventory, const QString &path)
{
    TInventoryReadResult read;
    try {
        read = inventory.LoadFile(path);
    } catch (const TKrException &failure) {
        throw TFileProblem(path, failure.Message());
    }
    if (read.NotFound > 0)
        context.Err << TInventory::InventoryNotFoundMessage(read.NotFound) << u'\n';
}

} // namespace

int ExportCsv(const TContext &context, const QStringList &args)
{
    const TCommandLine line(u"export-csv"_s, args, kCatalogueOptions, 2);
    const QString inPath = line.Positional(0);
    const QString outPath = line.Positional(1);
    TCatalogue catalogue;
    LoadCatalogue(context, line, catalogue);
    TSystemClock clock;
    TInventory inventory(catalogue, clock);
    LoadInventory(context, inventory, inPath);
    try {
        TCollectionCsv::ExportFile(inventory, outPath);
    } catch (const TKrException &failure) {
        throw TFileProblem(outPath, failure.Message());
    }
    return 0;
}

int ImportCsv(const TContext &context, const QStringList &args)
{
    const TCommandLine line(u"import-csv"_s, args, kCatalogueOptions, 3);
    const QString inPath = line.Positional(0);
    const QString csvPath = line.Positional(1);
    const QString outPath = line.Positional(2);
    TCatalogue catalogue;
    LoadCatalogue(context, line, catalogue);
    TSystemClock clock;
    TInventory inventory(catalogue, clock);
    LoadInventory(context, inventory, inPath);
    TCsvImportResult result;
    try {
        result = TCollectionCsv::ImportFile(inventory, csvPath);
    } catch (const TKrException &failure) {
        throw TFileProblem(csvPath, failure.Message());
    }
    try {
        inventory.SaveFile(outPath);
    } catch (const TKrException &failure) {
        throw TFileProblem(outPath, failure.Message());
    }
    // What the window's status line and message box say.
    context.Out << result.StatusText(csvPath) << u'\n';
    if (!result.Unmatched.empty())
        context.Err << result.UnmatchedMessage() << u'\n';
    return 0;
}

} // namespace KrTool
