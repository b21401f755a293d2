// The Trading menu's commands on the trade list: creating, naming and deleting trades,
// walking them, covering the loaded armies and applying a trade to the collection.

#include "inventory/TradePanel.h"

#include "KrException.h"
#include "army/ArmyForm.h"
#include "inventory/Inventory.h"
#include "inventory/InventoryForm.h"
#include "shell/MainForm.h"
#include "shell/Prompts.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QLocale>
#include <QPlainTextEdit>

using namespace Qt::StringLiterals;

void TTradePanel::CreateTrade()
{
    if (!QueryTradeEdits()) {
        ShowStatus(u"Create-trade cancelled by user."_s);
        return;
    }
    const std::optional<QString> name =
        Main().Prompts().InputBox(u"Create New Trade"_s, u"Enter name of trader:"_s, QString());
    if (!name) {
        ShowStatus(u"Create-trade cancelled by user."_s);
        return;
    }
    FEditor->Create(*name);
    FillSelector();
    ShowStatus(u"Trade created for "_s + *name + u'.');
    txtAddress->setFocus();
}

void TTradePanel::DuplicateTrade()
{
    if (!FEditor->Current() || !QueryTradeEdits()) {
        ShowStatus(u"Duplicate-trade cancelled by user."_s);
        return;
    }
    const TTrade &trade = FEditor->Duplicate();
    FillSelector();
    ShowStatus(u"New trade created for "_s + trade.Name + u'.');
    cmbStatus->setFocus();
}

void TTradePanel::RenameTrade()
{
    TTrade *trade = FEditor->Current();
    if (!trade)
        return;
    if (!QueryTradeEdits()) {
        ShowStatus(u"Rename cancelled by user."_s);
        return;
    }
    const QString old = trade->Name;
    const std::optional<QString> name =
        Main().Prompts().InputBox(u"Rename "_s + old, u"Enter new name of trader:"_s, QString());
    if (!name || name->isEmpty()) {
        ShowStatus(u"Rename cancelled by user."_s);
        return;
    }
    FEditor->Rename(*name);
    FillSelector();
    FForm.RefreshSaveItem();
    ShowStatus(u"Trader "_s + old + u" renamed to "_s + *name + u'.');
}

void TTradePanel::DeleteTrade()
{
    const TTrade *trade = FEditor->Current();
    if (!trade)
        return;
    const QString name = trade->Name;
    if (Main().Prompts().Confirm(FForm.windowTitle(), u"Delete "_s + name + u'?', TButtons::OkCancel) != TAnswer::Ok) {
        ShowStatus(u"Delete of "_s + name + u" aborted by user."_s);
        return;
    }
    FEditor->DeleteCurrent();
    FillSelector();
    FForm.RefreshSaveItem();
    ShowStatus(u"Trader "_s + name + u" deleted."_s);
}

void TTradePanel::ClearTrade()
{
    const TTrade *trade = FEditor->Current();
    if (!trade)
        return;
    if (Main().Prompts().Confirm(FForm.windowTitle(), u"Clear trade items for "_s + trade->Name + u'?',
                                 TButtons::OkCancel) != TAnswer::Ok) {
        ShowStatus(u"Clear-trade cancelled by user."_s);
        return;
    }
    // The trade itself changes only when the panel is saved.
    FEditor->ClearRows();
    FShowing = true;
    chkUseTradeOuts->setChecked(true);
    dtpDate->setDate(Main().Clock().Now().date());
    cmbStatus->setCurrentIndex(int(TradeStatus::Proposed));
    FShowing = false;
    FillGrid();
    UpdateCommands();
    ShowStatus(u"Trade for "_s + trade->Name + u" cleared."_s);
}

void TTradePanel::CoverArmies()
{
    if (!FEditor->Current())
        return;
    if (Main().Prompts().Confirm(FForm.windowTitle(), u"Modify current trade to cover loaded armies?"_s,
                                 TButtons::OkCancel) != TAnswer::Ok) {
        ShowStatus(u"Cover operation cancelled by user."_s);
        return;
    }
    try {
        std::vector<const TArmy *> armies;
        for (const TfrmArmy *army : Main().ArmyForms())
            armies.push_back(&army->Army());
        const int added = FEditor->CoverArmies(armies, Fields(), [this](const QString &step) { ShowStatus(step); });
        ShowTrade();
        FForm.RefreshSaveItem();
        ShowStatus(u"Trade adjusted to cover armies.  "_s + QString::number(added) + u" dice added."_s);
    } catch (const TKrException &failure) {
        ShowTrade();
        ShowStatus(u"Error building cover trade."_s);
        Main().ReportError(failure, u"building cover trade"_s);
    }
}

void TTradePanel::StepTrade(int step)
{
    if (!QueryTradeEdits()) {
        ShowStatus(u"Trader change cancelled."_s);
        return;
    }
    if (!FEditor->Step(step)) {
        Main().Beep();
        return;
    }
    ShowTrade();
}

void TTradePanel::FindWithStatus(std::initializer_list<TradeStatus> statuses)
{
    if (!QueryTradeEdits()) {
        ShowStatus(u"Trader change cancelled."_s);
        return;
    }
    const TWalk walk = FEditor->FindNextWithStatus(statuses);
    ShowTrade();
    WalkEnded(walk);
}

void TTradePanel::NextAcceptedReceived()
{
    FindWithStatus({TradeStatus::Accepted, TradeStatus::Received});
}

void TTradePanel::NextSentProposed()
{
    FindWithStatus({TradeStatus::Proposed, TradeStatus::Sent});
}

void TTradePanel::NextWaiting()
{
    if (!QueryTradeEdits()) {
        ShowStatus(u"Trader change cancelled."_s);
        return;
    }
    const TInventoryData *available = nullptr;
    const TWalk walk = FEditor->NextWaiting(available);
    ShowTrade();
    if (available)
        ShowStatus(u"The "_s + available->Name + u" is available."_s);
    WalkEnded(walk);
}

void TTradePanel::TraderByEMail()
{
    const std::optional<QString> email =
        Main().Prompts().InputBox(u"Find by EMAIL"_s, u"Enter EMAIL name of trader:"_s, QString());
    if (!email) {
        ShowStatus(u"Find by EMAIL cancelled by user."_s);
        return;
    }
    if (!QueryTradeEdits()) {
        ShowStatus(u"Trader change cancelled."_s);
        return;
    }
    const TWalk walk = FEditor->FindByEMail(*email);
    ShowTrade();
    if (walk != TWalk::Found) {
        Main().Beep();
        ShowStatus(u"End of trade list reached."_s);
    }
}

void TTradePanel::ApplyTrade(TApplyKind kind)
{
    TTrade *trade = FEditor->Current();
    if (!trade)
        return;
    if (Main().Prompts().Confirm(FForm.windowTitle(), ApplyCaption(kind) + u" for "_s + trade->Name + u'?',
                                 TButtons::OkCancel) != TAnswer::Ok) {
        ShowStatus(u"Apply-Trade cancelled by user."_s);
        return;
    }
    const QDate today = Main().Clock().Now().date();
    const std::vector<TInventoryData *> stopped = FEditor->Apply(kind, Fields(), today);
    ShowTrade();
    FForm.RefreshSaveItem();
    QString done = u"Trade "_s + trade->Name + u" processed."_s;
    if (!stopped.empty()) {
        QStringList names;
        for (const TInventoryData *item : stopped)
            names << item->Name;
        const bool down = kind == TApplyKind::Send || kind == TApplyKind::UndoReceive;
        done += down ? u"  Too few copies of "_s + names.join(u", "_s) + u" were owned; the count stays 0."_s
                     : u"  The count of "_s + names.join(u", "_s) + u" cannot go higher; it stays 4294967295."_s;
        Main().Beep();
    }
    // The counts and the status have changed whatever becomes of the log.
    const QString log = FForm.Inventory().InventoryLogName;
    if (!log.isEmpty()) {
        try {
            AppendTradeLog(log, TradeLogEntry(*trade, kind, QLocale::system().toString(today, QLocale::ShortFormat)));
        } catch (const TKrException &failure) {
            ShowStatus(u"Error writing trade log."_s);
            Main().ReportError(failure, u"writing trade log"_s);
            return;
        }
    }
    ShowStatus(done);
}
