// The main window's part in armies: the list of army windows, the current army and its
// group menu, navigation, and opening army and group files.

#include "shell/MainForm.h"

#include "KrException.h"
#include "army/ArmyFile.h"
#include "army/ArmyForm.h"
#include "army/ArmySort.h"
#include "controls/MenuItems.h"
#include "editors/RaceData.h"
#include "shell/Prompts.h"
#include "shell/SettingsStore.h"

#include <algorithm>

#include <QMdiArea>
#include <QMdiSubWindow>

using namespace Qt::StringLiterals;

namespace {

// The captions of the group menu as it stands before any army is current, and while no
// army of that type is at hand.
const std::array kGroupArmy{u"&Home Army"_s, u"&Campaign Army"_s, u"H&orde Army"_s, u"&Promotion Pool"_s,
                            u"&Summoning Pool"_s};
const std::array kNoGroupArmy{u"No &Home Army"_s, u"No &Campaign Army"_s, u"No Ho&rde Army"_s,
                              u"No &Promotion Pool"_s, u"No &Summoning Pool"_s};

} // namespace

QString TfrmMain::GroupArmyCaption(int type)
{
    return kGroupArmy[size_t(type)];
}

void TfrmMain::PlaceDocumentWindow(QMdiSubWindow &frame, const QSize &largest, const QSize &smallest, int index)
{
    // Each new window steps down and right from the last, but stays inside the frame: a
    // window whose grids run off the edge looks broken.
    const QSize room = FMdiArea->viewport()->size();
    const QSize size(std::min(largest.width(), std::max(room.width(), smallest.width())),
                     std::min(largest.height(), std::max(room.height(), smallest.height())));
    frame.resize(size);
    const int step = 24 * (index % 8);
    frame.move(std::clamp(step, 0, std::max(0, room.width() - size.width())),
               std::clamp(step, 0, std::max(0, room.height() - size.height())));
}

TfrmArmy &TfrmMain::AddArmyWindow(std::unique_ptr<TfrmArmy> window)
{
    TfrmArmy *army = window.release();
    QMdiSubWindow *frame = FMdiArea->addSubWindow(army);
    frame->setAttribute(Qt::WA_DeleteOnClose);
    PlaceDocumentWindow(*frame, QSize(900, 620), QSize(320, 240), int(FArmyForms.size()));
    FArmyForms.push_back(army);
    SetCurrentArmy(army);
    frame->show();
    return *army;
}

TfrmArmy &TfrmMain::CreateArmy()
{
    return AddArmyWindow(std::make_unique<TfrmArmy>(*this));
}

void TfrmMain::RemoveArmy(TfrmArmy *army)
{
    if (FCurrentArmy == army)
        SetCurrentArmy(nullptr);
    std::erase(FArmyForms, army);
    if (!FClosing)
        ShowRaceForm();
}

void TfrmMain::SetCurrentArmy(TfrmArmy *army)
{
    FCurrentArmy = army;
    mnuNavigateCurrent->setEnabled(army != nullptr);
    RefreshGroupMenu();
    emit CurrentArmyChanged();
    if (!army) {
        ShowStatus(u"No army selected."_s);
        return;
    }
    ShowStatus(army->windowTitle() + u" selected."_s);
}

void TfrmMain::RefreshGroupMenu()
{
    for (size_t tag = 0; tag < mnuGroup.size(); ++tag) {
        mnuGroup[tag]->setEnabled(false);
        mnuGroup[tag]->setText(kNoGroupArmy[tag]);
    }
    if (!FCurrentArmy)
        return;
    // A later window of the same type replaces an earlier one.
    for (TfrmArmy *each : FArmyForms) {
        if (each->Army().GroupName() != FCurrentArmy->Army().GroupName())
            continue;
        QAction *item = mnuGroup[size_t(each->Army().Type())];
        item->setEnabled(true);
        item->setText(MenuCaption(each->windowTitle()));
    }
}

void TfrmMain::ArmyCaptionChanged(TfrmArmy *army)
{
    // The group menu names the armies of the current one's group, this one among them
    // perhaps; the window list is made afresh each time it opens.
    if (FCurrentArmy && FCurrentArmy->Army().GroupName() == army->Army().GroupName())
        RefreshGroupMenu();
    if (FCurrentArmy == army)
        emit CurrentArmyChanged();
}

namespace {

void ShowArmy(TfrmArmy *army)
{
    if (!army)
        return;
    auto *frame = qobject_cast<QMdiSubWindow *>(army->parentWidget());
    if (!frame)
        return;
    frame->showNormal();
    frame->mdiArea()->setActiveSubWindow(frame);
    army->SelectArmy();
}

} // namespace

void TfrmMain::GotoCurrentArmy()
{
    ShowArmy(FCurrentArmy);
}

void TfrmMain::GotoNextArmy()
{
    if (FArmyForms.empty())
        return;
    auto at = std::find(FArmyForms.begin(), FArmyForms.end(), FCurrentArmy);
    if (at == FArmyForms.end() || ++at == FArmyForms.end())
        at = FArmyForms.begin();
    ShowArmy(*at);
}

void TfrmMain::GotoPrevArmy()
{
    if (FArmyForms.empty())
        return;
    auto at = std::find(FArmyForms.begin(), FArmyForms.end(), FCurrentArmy);
    if (at == FArmyForms.end() || at == FArmyForms.begin())
        at = FArmyForms.end();
    ShowArmy(*--at);
}

void TfrmMain::GotoGroupArmy(int type)
{
    if (!FCurrentArmy) {
        Beep();
        ShowStatus(u"No army selected."_s);
        return;
    }
    for (TfrmArmy *army : FArmyForms) {
        if (army->Army().GroupName() == FCurrentArmy->Army().GroupName() && int(army->Army().Type()) == type) {
            ShowArmy(army);
            return;
        }
    }
    Beep();
    ShowStatus(u"Army not found."_s);
}

void TfrmMain::SortAllArmies()
{
    for (TfrmArmy *army : FArmyForms)
        army->SortArmy(int(ArmySortOrder::DrawerRace));
    ShowStatus(QString::number(FArmyForms.size()) + u" armies sorted."_s);
}

void TfrmMain::OpenFile()
{
    TFileDialog dialog;
    dialog.Title = u"Open Army Files"_s;
    dialog.Directory = DocumentDirectory();
    dialog.Filter = u"Army Files|*.kra|Group Files|*.krg|Game Files|*.kgm|All Files|*.*"_s;
    dialog.DefaultExtension = u"kra"_s;
    dialog.MultiSelect = true;
    dialog.MustExist = true;
    const std::optional<TFileChoice> choice = FPrompts.OpenFiles(dialog);
    if (!choice || choice->Files.isEmpty()) {
        ShowStatus(u"File open aborted by user."_s);
        return;
    }
    try {
        for (const QString &path : choice->Files)
            OpenDocument(path);
        ShowStatus(choice->Files.size() == 1 ? choice->Files.front() + u" loaded."_s
                                             : QString::number(choice->Files.size()) + u" files loaded."_s);
    } catch (const TKrException &failure) {
        ReportError(failure, u"loading file"_s);
    }
}

void TfrmMain::RegisterArmyOpeners()
{
    // Any file that is neither a group nor a game is read as one army.
    RegisterDocumentOpener(QString(), [this](const QString &path) {
        int lost = 0;
        std::unique_ptr<TArmy> army = OpenArmyFile(path, FCatalogue, lost);
        TfrmArmy &window = AddArmyWindow(std::make_unique<TfrmArmy>(*this, std::move(army)));
        if (lost > 0)
            window.ShowStatus(LostDiceMessage(lost));
    });
    RegisterDocumentOpener(u".krg"_s, [this](const QString &path) {
        ShowStatus(u"Reading group file..."_s);
        TGroupFile group;
        // The armies read before any damage open all the same; then the failure is told.
        auto registerArmies = [&] {
            for (size_t i = 0; i < group.Armies.size(); ++i) {
                TfrmArmy &window = AddArmyWindow(std::make_unique<TfrmArmy>(*this, std::move(group.Armies[i])));
                if (group.LostByArmy[i] > 0)
                    window.ShowStatus(LostDiceMessage(group.LostByArmy[i]));
            }
            group.Armies.clear();
            group.LostByArmy.clear();
        };
        try {
            OpenGroupFile(path, FCatalogue, group, [this](const QString &text) { ShowStatus(text); });
        } catch (const TKrException &) {
            registerArmies();
            throw;
        }
        registerArmies();
    });
}
