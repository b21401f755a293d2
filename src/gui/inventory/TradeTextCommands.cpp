// The Trading menu's exchange with other collectors: the trade and the address on the
// clipboard, the printed report, and trade files and pasted offers coming in.

#include "inventory/TradePanel.h"

#include "KrException.h"
#include "army/ArmyPrint.h"
#include "army/PrinterCanvas.h"
#include "inventory/Inventory.h"
#include "inventory/InventoryForm.h"
#include "inventory/TradeFile.h"
#include "inventory/TradeOffer.h"
#include "inventory/TradePrint.h"
#include "shell/MainForm.h"
#include "shell/Prompts.h"
#include "shell/SettingsStore.h"

#include <QClipboard>
#include <QComboBox>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QTreeView>

using namespace Qt::StringLiterals;

namespace {

const QString kTradeFilter = u"KR Inventory Files|*.kri|KR Price Files|*.krp|KR Trade File|*.btr|All Files|*.*"_s;
constexpr int kTradeFilterIndex = 3;

TFileDialog TradeFileDialog(TfrmMain &main, const QString &title)
{
    TFileDialog dialog;
    dialog.Title = title;
    dialog.Directory = main.Settings().ReadStringSetting(u"ArmyDir"_s, QString());
    dialog.Filter = kTradeFilter;
    dialog.FilterIndex = kTradeFilterIndex;
    dialog.DefaultExtension = u"btr"_s;
    return dialog;
}

} // namespace

void TTradePanel::CopyTradeToClipboard()
{
    if (!FEditor->Current())
        return;
    try {
        QGuiApplication::clipboard()->setText(TradeClipboardText(txtEMAIL->text(), FEditor->RowCounts(),
                                                                 cmbTrader->currentText(), AddressText(),
                                                                 Main().UserInfo().Address));
        ShowStatus(u"Trade information copied to clipboard."_s);
    } catch (const TKrException &failure) {
        ShowStatus(u"Error copying trade to clipboard."_s);
        Main().ReportError(failure, u"processing trade"_s);
    }
}

void TTradePanel::CopyAddressToClipboard()
{
    QGuiApplication::clipboard()->setText(TraderAddressText(cmbTrader->currentText(), AddressText()));
    ShowStatus(u"Trader address copied to clipboard."_s);
}

void TTradePanel::PrintTrade()
{
    if (!FEditor->Current())
        return;
    if (!QueryTradeEdits()) {
        ShowStatus(u"Print cancelled by user."_s);
        return;
    }
    QPrinter printer;
    if (!Main().Prompts().PrintSetup(printer)) {
        ShowStatus(u"Print cancelled by user."_s);
        return;
    }
    const TTrade &trade = *FEditor->Current();
    try {
        ShowStatus(u"Printing..."_s);
        TPrinterCanvas canvas(printer, FForm.TreeView().font());
        ::PrintTrade(canvas, MakeTradePrintData(trade, PrintDateText(Main().Clock().Now())));
        CopyAddressToClipboard();
        ShowStatus(trade.Name + u" printed."_s);
    } catch (const TKrException &failure) {
        ShowStatus(u"Print failed."_s);
        Main().ReportError(failure, u"printing trade"_s);
    }
}

void TTradePanel::ExportTrade()
{
    const TTrade *trade = FEditor->Current();
    if (!trade)
        return;
    const std::optional<TFileChoice> choice = Main().Prompts().SaveFile(TradeFileDialog(Main(), u"Export Trade"_s));
    if (!choice) {
        ShowStatus(u"Trade export aborted by user."_s);
        return;
    }
    const QString path = choice->Files.value(0);
    try {
        ExportTradeFile(path, MakeTradeFile(*trade, Main().UserInfo().Address, Main().UserInfo().Email));
        ShowStatus(u"Trade exported to "_s + path + u'.');
    } catch (const TKrException &failure) {
        ShowStatus(u"Error writing trade."_s);
        Main().ReportError(failure, u"exporting trade"_s);
    }
}

void TTradePanel::ShowImported(TTrade &trade)
{
    FEditor->Refill();
    FEditor->Show(&trade);
    FillSelector();
    FForm.RefreshSaveItem();
}

void TTradePanel::ImportTradeFromFile()
{
    if (!QueryTradeEdits()) {
        ShowStatus(u"Trade import cancelled."_s);
        return;
    }
    TFileDialog dialog = TradeFileDialog(Main(), u"Import Trade"_s);
    dialog.MustExist = true;
    const std::optional<TFileChoice> choice = Main().Prompts().OpenFiles(dialog);
    if (!choice) {
        ShowStatus(u"Trade import cancelled."_s);
        return;
    }
    TInventory &inventory = FForm.Inventory();
    const size_t before = inventory.Trades().size();
    try {
        TTrade &trade = ImportTradeFile(inventory, choice->Files.value(0));
        ShowImported(trade);
        ShowStatus(u"Trade imported for "_s + trade.Name + u'.');
        txtAddress->setFocus();
    } catch (const TKrException &failure) {
        // What was read before the damage stays, as a trade of its own.
        if (inventory.Trades().size() > before)
            ShowImported(*inventory.Trades().back());
        ShowStatus(u"Error reading trade."_s);
        Main().ReportError(failure, u"importing trade"_s);
    }
}

void TTradePanel::ImportTradeFromClipboard()
{
    // The new trade takes the panel: its edits are asked about first, as for a file.
    if (!QueryTradeEdits()) {
        ShowStatus(u"Trade import cancelled."_s);
        return;
    }
    try {
        const TTradeOffer offer = ParseTradeOffer(QGuiApplication::clipboard()->text());
        qint64 lost = 0;
        TTrade &trade = ImportTradeOffer(FForm.Inventory(), offer, lost);
        ShowImported(trade);
        ShowStatus(u"Trade imported for "_s + trade.Name + u'.');
        txtAddress->setFocus();
        if (lost > 0)
            Main().Prompts().Information(FForm.windowTitle(), LostInImportMessage(lost));
    } catch (const TKrException &failure) {
        ShowStatus(u"Error importing trade."_s);
        Main().ReportError(failure, u"importing trade"_s);
    }
}
