#include "dice/IconView.h"

#include "KrException.h"
#include "dice/Catalogue.h"
#include "shell/CatalogueFiles.h"
#include "shell/MainForm.h"
#include "shell/Prompts.h"
#include "shell/SettingsStore.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>

#include <algorithm>
#include <array>

using namespace Qt::StringLiterals;

namespace {

const QString kPositionName = u"Icons"_s;
constexpr int kEffectRows = (kEffectFlagCount + 1) / 2;
constexpr int kIdRole = Qt::UserRole;

QStringList NamesOf(const QListWidget &list)
{
    QStringList names;
    names.reserve(list.count());
    for (int row = 0; row < list.count(); ++row)
        names << list.item(row)->text();
    return names;
}

// The lists keep QString's own order (UTF-16 code units, case-sensitive) rather than
// the locale's, so that a search by typed prefix finds what the user sees next.
// The name search of the name box: the first name not below the text, the last name
// when every name is below it, -1 for no names.
int FirstNameNotBelow(const QStringList &sortedNames, QStringView text)
{
    if (sortedNames.isEmpty())
        return -1;
    const auto found = std::lower_bound(sortedNames.cbegin(), sortedNames.cend(), text,
                                        [](const QString &name, QStringView t) { return name < t; });
    return found == sortedNames.cend() ? int(sortedNames.size()) - 1 : int(found - sortedNames.cbegin());
}

// Where a name goes in a sorted list: after every equal name.
int SortedRow(const QStringList &sortedNames, QStringView name)
{
    const auto found = std::upper_bound(sortedNames.cbegin(), sortedNames.cend(), name,
                                        [](QStringView n, const QString &entry) { return n < entry; });
    return int(found - sortedNames.cbegin());
}

// Why a symbol may not be deleted: die faces keep symbol numbers, so a symbol some die
// shows must stay. Empty when nothing shows it.
QString DeletionRefusal(const TCatalogue &catalogue, qint32 id)
{
    const TDie *user = catalogue.FindSymbolUser(id);
    if (!user)
        return {};
    return u'"' + catalogue.GetIcon(id)->Name + u"\" cannot be deleted: it is on a face of "_s + user->Name +
           u" of "_s + user->Race().Name + u'.';
}

struct TEffectPreset
{
    const char16_t *Name;
    const char16_t *Caption;
    TEffectSet Effects;
};

using E = EffectFlag;
const std::array kEffectPresets{
    TEffectPreset{u"mnuEffectDisable", u"Disable", {E::MeleeEffect}},
    TEffectPreset{u"mnuEffectMissileSpecial", u"Missile Special", {E::Missile, E::MissileDamageEffect}},
    TEffectPreset{u"mnuEffectKill", u"Kill", {E::Melee, E::MeleeDamageEffect}},
    TEffectPreset{u"mnuEffectSpecial",
                  u"Special",
                  {E::MagicEffect, E::MissileEffect, E::MeleeEffect, E::MissileSaveEffect, E::MeleeSaveEffect}},
    TEffectPreset{u"mnuEffectNothing", u"Nothing", {}},
};

// Sets a flag for the span of a block and puts back the old value, also when the block
// throws.
class TFlagScope
{
public:
    explicit TFlagScope(bool &flag) : FFlag(flag), FOld(flag) { flag = true; }
    ~TFlagScope() { FFlag = FOld; }
    TFlagScope(const TFlagScope &) = delete;
    TFlagScope &operator=(const TFlagScope &) = delete;

private:
    bool &FFlag;
    bool FOld;
};

} // namespace

TfrmIconView::TfrmIconView(TfrmMain &main, QWidget *parent) : QDialog(parent), FMain(main)
{
    setObjectName(u"frmIconView"_s);
    setWindowTitle(u"Icon Viewer"_s);
    // A tool window with only the system menu: no help button, no minimise or maximise.
    setWindowFlags(Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint);
    BuildWindow();
    BuildPopups();
    resize(620, 570); // the design size, kept unless a stored position says otherwise
    InitializeViewer();
}

TfrmIconView::~TfrmIconView() = default;

void TfrmIconView::BuildWindow()
{
    auto *grid = new QGridLayout(this);

    auto *nameLabel = new QLabel(u"&Name:"_s, this);
    txtIconName = new QLineEdit(this);
    txtIconName->setObjectName(u"txtIconName"_s);
    nameLabel->setBuddy(txtIconName);
    auto *nameRow = new QHBoxLayout;
    nameRow->addWidget(nameLabel);
    nameRow->addWidget(txtIconName, 1);
    grid->addLayout(nameRow, 0, 0);

    const auto makeList = [this](const QString &name) {
        auto *list = new QListWidget(this);
        list->setObjectName(name);
        list->setSelectionMode(QAbstractItemView::SingleSelection);
        // Symbols are dragged onto die faces in the die editor.
        list->setDragEnabled(true);
        list->setDragDropMode(QAbstractItemView::DragOnly);
        list->setDefaultDropAction(Qt::CopyAction);
        connect(list, &QListWidget::currentItemChanged, this, [this, list](QListWidgetItem *item) {
            if (item && !FShowing)
                SelectIcon(list);
        });
        // A click on the symbol already shown shows it again, taking back unstored edits.
        connect(list, &QListWidget::itemClicked, this, [this, list](QListWidgetItem *item) {
            if (item && item == list->currentItem() && !FShowing)
                SelectIcon(list);
        });
        return list;
    };
    lstSpecialIcons = makeList(u"lstSpecialIcons"_s);
    lstBasicIcons = makeList(u"lstBasicIcons"_s);
    lstSpecialIcons->setContextMenuPolicy(Qt::CustomContextMenu);
    auto *specialLabel = new QLabel(u"&Special icons:"_s, this);
    specialLabel->setBuddy(lstSpecialIcons);
    auto *basicLabel = new QLabel(u"&Basic icons:"_s, this);
    basicLabel->setBuddy(lstBasicIcons);
    grid->addWidget(specialLabel, 1, 0);
    grid->addWidget(lstSpecialIcons, 2, 0);
    grid->addWidget(basicLabel, 3, 0);
    grid->addWidget(lstBasicIcons, 4, 0);

    lstEffects = new QTableWidget(kEffectRows, 2, this);
    lstEffects->setObjectName(u"lstEffects"_s);
    lstEffects->horizontalHeader()->hide();
    lstEffects->verticalHeader()->hide();
    lstEffects->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    lstEffects->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    lstEffects->verticalHeader()->setDefaultSectionSize(lstEffects->fontMetrics().height() + 4);
    lstEffects->setShowGrid(false);
    lstEffects->setWordWrap(false);
    lstEffects->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // A click toggles a flag, as in a list where the selection is the set.
    lstEffects->setSelectionMode(QAbstractItemView::MultiSelection);
    lstEffects->setSelectionBehavior(QAbstractItemView::SelectItems);
    lstEffects->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    lstEffects->setContextMenuPolicy(Qt::CustomContextMenu);
    lstEffects->setMinimumWidth(2 * (lstEffects->fontMetrics().horizontalAdvance(u"Missile Save Damage"_s) + 24));
    lstEffects->setMinimumHeight(kEffectRows * (lstEffects->fontMetrics().height() + 4) + 2 * lstEffects->frameWidth());
    auto *effectsLabel = new QLabel(u"&Effects:"_s, this);
    effectsLabel->setBuddy(lstEffects);
    grid->addWidget(effectsLabel, 0, 1);
    grid->addWidget(lstEffects, 1, 1, 4, 1);
    connect(lstEffects, &QTableWidget::itemSelectionChanged, this, [this] {
        if (!FShowing)
            IconChanged();
    });

    txtDescription = new QPlainTextEdit(this);
    txtDescription->setObjectName(u"txtDescription"_s);
    txtDescription->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    txtDescription->setTabChangesFocus(true);
    txtDescription->setFixedHeight(txtDescription->fontMetrics().lineSpacing() * 4 + 12);
    auto *descriptionLabel = new QLabel(u"&Description:"_s, this);
    descriptionLabel->setBuddy(txtDescription);
    grid->addWidget(descriptionLabel, 5, 0, 1, 2);
    grid->addWidget(txtDescription, 6, 0, 1, 2);
    FEditPalette = txtDescription->palette();
    FLockedPalette = FEditPalette;
    for (const auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
        FLockedPalette.setColor(group, QPalette::Base, FEditPalette.color(group, QPalette::Button));
    connect(txtDescription, &QPlainTextEdit::textChanged, this, [this] {
        if (!FShowing)
            IconChanged();
    });

    txtPoints = new QSpinBox(this);
    txtPoints->setObjectName(u"txtPoints"_s);
    txtPoints->setRange(-2, 6);
    txtPoints->setValue(1);
    auto *pointsLabel = new QLabel(u"&Points:"_s, this);
    pointsLabel->setBuddy(txtPoints);
    connect(txtPoints, &QSpinBox::valueChanged, this, [this] {
        if (!FShowing)
            IconChanged();
    });

    btnStore = new QPushButton(u"Store New Icon"_s, this);
    btnStore->setObjectName(u"btnStore"_s);
    // Wide enough for its longest caption, so the row does not jump.
    btnStore->setMinimumWidth(btnStore->fontMetrics().horizontalAdvance(u"Store New Icon"_s) + 32);
    btnClose = new QPushButton(u"Close"_s, this);
    btnClose->setObjectName(u"btnClose"_s);
    // Enter in the name box must not press a button of the dialog.
    btnStore->setAutoDefault(false);
    btnClose->setAutoDefault(false);
    connect(btnStore, &QPushButton::clicked, this, &TfrmIconView::SaveIconChanges);
    connect(btnClose, &QPushButton::clicked, this, &TfrmIconView::CloseIconViewer);
    auto *buttonRow = new QHBoxLayout;
    buttonRow->addWidget(pointsLabel);
    buttonRow->addWidget(txtPoints);
    buttonRow->addStretch(1);
    buttonRow->addWidget(btnStore);
    buttonRow->addWidget(btnClose);
    grid->addLayout(buttonRow, 7, 0, 1, 2);

    grid->setColumnStretch(0, 2);
    grid->setColumnStretch(1, 3);
    grid->setRowStretch(2, 1);

    connect(txtIconName, &QLineEdit::textChanged, this, [this] {
        if (!FUpdatingName)
            NewIconName();
    });
    SetEditable(false);
}

void TfrmIconView::BuildPopups()
{
    mnuSpecialIconsPopup = new QMenu(this);
    mnuSpecialIconsPopup->setObjectName(u"mnuSpecialIconsPopup"_s);
    const auto addItem = [this](QMenu *menu, const QString &name, const QString &caption, auto handler) {
        auto *item = new QAction(caption, menu);
        item->setObjectName(name);
        menu->addAction(item);
        connect(item, &QAction::triggered, this, handler);
        return item;
    };
    mnuIconRename = addItem(mnuSpecialIconsPopup, u"mnuIconRename"_s, u"Rename"_s, [this] { RenameIcon(); });
    mnuIconNew = addItem(mnuSpecialIconsPopup, u"mnuIconNew"_s, u"New Icons"_s, [this] { CreateIcon(); });
    mnuIconDuplicate = addItem(mnuSpecialIconsPopup, u"mnuIconDuplicate"_s, u"Duplicate"_s, [this] { CopyIcon(); });
    connect(lstSpecialIcons, &QWidget::customContextMenuRequested, this, [this](const QPoint &pos) {
        UpdateRenameItem();
        mnuSpecialIconsPopup->popup(lstSpecialIcons->viewport()->mapToGlobal(pos));
    });

    mnuEffectPopUp = new QMenu(this);
    mnuEffectPopUp->setObjectName(u"mnuEffectPopUp"_s);
    for (const TEffectPreset &preset : kEffectPresets) {
        addItem(mnuEffectPopUp, QString::fromUtf16(preset.Name), QString::fromUtf16(preset.Caption),
                [this, effects = preset.Effects] { SelectSpecialEffects(effects); });
    }
    connect(lstEffects, &QWidget::customContextMenuRequested, this,
            [this](const QPoint &pos) { mnuEffectPopUp->popup(lstEffects->viewport()->mapToGlobal(pos)); });
    UpdateRenameItem();
}

void TfrmIconView::InitializeViewer()
{
    FCurrent = -1;
    FModified = false;
    FNewMode = false;
    // A stored position places the window; without one it opens centred on first show.
    FPlaced = FMain.Settings().TypeOf(kPositionName) == TSettingType::Binary;
    try {
        FMain.RestoreWindowPosition(*this, kPositionName);

        FMain.ShowStatus(u"Loading effect list..."_s);
        for (int flag = 0; flag < kEffectFlagCount; ++flag) {
            auto *item = new QTableWidgetItem(NameOf(EffectFlag(flag)));
            item->setData(kIdRole, flag);
            item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
            lstEffects->setItem(flag % kEffectRows, flag / kEffectRows, item);
        }
        for (int cell = kEffectFlagCount; cell < 2 * kEffectRows; ++cell) {
            auto *unused = new QTableWidgetItem;
            unused->setFlags(Qt::NoItemFlags);
            lstEffects->setItem(cell % kEffectRows, cell / kEffectRows, unused);
        }

        FMain.ShowStatus(u"Loading basic icons..."_s);
        lstBasicIcons->clear();
        lstSpecialIcons->clear();
        Table().Reset();
        for (qint32 id = 0; id < BasicIcon::Count; ++id) {
            IconLoading(Table().GetIcon(id)->Name);
            IconLoaded(*Table().GetIcon(id));
        }
        // Tall enough for the basic symbols without a scroll bar.
        lstBasicIcons->setFixedHeight(lstBasicIcons->sizeHintForRow(0) * BasicIcon::Count +
                                      2 * lstBasicIcons->frameWidth() + 4);

        if (!ReadIconData(Table(), FMain.DataFilePath(QString::fromUtf16(kIconFileName)), FMain, this))
            return; // reported, with the context of this window's creation
        FMain.ShowStatus(u"Icon viewer initialized."_s);
    } catch (const TKrException &failure) {
        FMain.ReportError(failure, u"initializing icon viewer"_s);
    }
}

void TfrmIconView::IconLoading(const QString &name)
{
    FMain.ShowStatus(u"Loading icon:  "_s + name + u"..."_s);
}

void TfrmIconView::IconLoaded(const TIconDescriptor &icon)
{
    ListIcon(icon);
    FMain.ShowStatus(icon.Name + u" icon loaded."_s);
}

TIconTable &TfrmIconView::Table() const
{
    return FMain.Catalogue().Icons();
}

qint32 TfrmIconView::AddIcon(const TIconDescriptor &icon)
{
    IconLoading(icon.Name);
    const qint32 id = Table().Add(icon);
    IconLoaded(*Table().GetIcon(id));
    return id;
}

void TfrmIconView::ListIcon(const TIconDescriptor &icon)
{
    // A nameless record is a deleted symbol: it stays in the table only until the next save.
    if (icon.Name.isEmpty())
        return;
    QListWidget *list = icon.Basic ? lstBasicIcons : lstSpecialIcons;
    auto *item = new QListWidgetItem(icon.Name);
    item->setData(kIdRole, icon.ID);
    TFlagScope showing(FShowing);
    list->insertItem(SortedRow(NamesOf(*list), icon.Name), item);
}

void TfrmIconView::RebuildLists()
{
    TFlagScope showing(FShowing);
    lstBasicIcons->clear();
    lstSpecialIcons->clear();
    for (qint32 id = 0; id < Table().Count(); ++id)
        ListIcon(*Table().GetIcon(id));
}

QListWidget *TfrmIconView::ListOf(qint32 id) const
{
    const TIconDescriptor *icon = Table().GetIcon(id);
    if (!icon)
        return nullptr;
    return icon->Basic ? lstBasicIcons : lstSpecialIcons;
}

void TfrmIconView::SelectEntry(qint32 id)
{
    TFlagScope showing(FShowing);
    for (QListWidget *list : {lstBasicIcons, lstSpecialIcons}) {
        QListWidgetItem *found = nullptr;
        for (int row = 0; row < list->count() && !found; ++row) {
            if (list->item(row)->data(kIdRole).toInt() == id)
                found = list->item(row);
        }
        // The current item goes too: a click on the same entry later must still count.
        list->setCurrentItem(found);
        if (!found)
            list->clearSelection();
    }
}

void TfrmIconView::RemoveEntry(qint32 id)
{
    TFlagScope showing(FShowing);
    for (int row = 0; row < lstSpecialIcons->count(); ++row) {
        if (lstSpecialIcons->item(row)->data(kIdRole).toInt() == id) {
            delete lstSpecialIcons->takeItem(row);
            return;
        }
    }
}

void TfrmIconView::ShowEffects(TEffectSet effects)
{
    TFlagScope showing(FShowing);
    for (int flag = 0; flag < kEffectFlagCount; ++flag)
        lstEffects->item(flag % kEffectRows, flag / kEffectRows)->setSelected(effects.Contains(EffectFlag(flag)));
}

TEffectSet TfrmIconView::ShownEffects() const
{
    TEffectSet effects;
    for (int flag = 0; flag < kEffectFlagCount; ++flag) {
        if (lstEffects->item(flag % kEffectRows, flag / kEffectRows)->isSelected())
            effects.Include(EffectFlag(flag));
    }
    return effects;
}

void TfrmIconView::SetEditable(bool editable)
{
    lstEffects->setEnabled(editable);
    txtDescription->setReadOnly(!editable);
    txtDescription->setPalette(editable ? FEditPalette : FLockedPalette);
    txtPoints->setEnabled(editable);
}

void TfrmIconView::SetStoreButton(const QString &caption, bool pending)
{
    btnStore->setText(caption);
    btnStore->setEnabled(true);
    FStorePending = pending;
}

void TfrmIconView::RestStoreButton()
{
    // With nothing to store the button keeps its caption and starts a new symbol, as
    // "New Icons" does: a blank button that does nothing looks broken.
    SetStoreButton(u"Store New Icon"_s, false);
}

void TfrmIconView::OfferStore()
{
    if (!FStorePending)
        SetStoreButton(u"Store Changes"_s, true);
}

void TfrmIconView::UpdateRenameItem()
{
    const TIconDescriptor *icon = Table().GetIcon(FCurrent);
    const bool special = icon && !icon->Basic && !icon->Name.isEmpty();
    mnuIconRename->setText(special ? u"Rename "_s + icon->Name : u"Rename"_s);
    mnuIconRename->setEnabled(special);
}

void TfrmIconView::SelectIcon(QListWidget *list)
{
    QListWidgetItem *item = list ? list->currentItem() : nullptr;
    const TIconDescriptor *icon = item ? Table().GetIcon(item->data(kIdRole).toInt()) : nullptr;
    if (!icon)
        return;
    FCurrent = icon->ID;
    // Choosing an existing symbol abandons the new one being defined.
    FNewMode = false;
    {
        TFlagScope showing(FShowing);
        item->setSelected(true);
        QListWidget *other = list == lstBasicIcons ? lstSpecialIcons : lstBasicIcons;
        other->setCurrentItem(nullptr);
        other->clearSelection();
    }
    if (!txtIconName->hasFocus()) {
        TFlagScope updating(FUpdatingName);
        txtIconName->setText(icon->Name);
    }
    {
        TFlagScope showing(FShowing);
        txtDescription->setPlainText(icon->Description);
        ShowEffects(icon->Effects);
        txtPoints->setValue(icon->Points);
    }
    RestStoreButton();
    SetEditable(!icon->Basic);
    UpdateRenameItem();
    FMain.ShowStatus(icon->Name + u" selected."_s);
}

void TfrmIconView::NewIconName()
{
    const QString text = txtIconName->text();
    QListWidget *searched = lstBasicIcons;
    int row = FirstNameNotBelow(NamesOf(*lstBasicIcons), text);
    if ((row < 0 || lstBasicIcons->item(row)->text() != text) && lstSpecialIcons->count() > 0) {
        searched = lstSpecialIcons;
        row = FirstNameNotBelow(NamesOf(*lstSpecialIcons), text);
    }
    if (row < 0)
        return;
    {
        TFlagScope showing(FShowing);
        searched->setCurrentRow(row);
    }
    SelectIcon(searched);
}

void TfrmIconView::IconChanged()
{
    OfferStore();
}

void TfrmIconView::SaveIconChanges()
{
    if (!FStorePending) {
        CreateIcon();
        return;
    }
    if (FCurrent < 0) {
        const QString name = txtIconName->text();
        // The name was checked when asked; the box may have changed since.
        if (name.isEmpty() || Table().IconByName(name) >= 0) {
            FMain.Beep();
            return;
        }
        TIconDescriptor icon;
        icon.Name = name;
        FCurrent = AddIcon(icon);
        SelectEntry(FCurrent);
    }
    TIconDescriptor *icon = Table().GetIcon(FCurrent);
    if (!icon || icon->Basic || icon->Name.isEmpty()) {
        FMain.Beep();
        return;
    }
    icon->Description = txtDescription->toPlainText();
    icon->Points = txtPoints->value();
    icon->Effects = ShownEffects();
    FModified = true;
    UpdateRenameItem();
    FMain.ShowStatus(u"Icon "_s + icon->Name + u" updated."_s);
    RestStoreButton();
    emit IconsChanged();
    if (FNewMode)
        CreateIcon();
}

std::optional<QString> TfrmIconView::AskIconName(const QString &prompt, const QString &start)
{
    for (;;) {
        std::optional<QString> name = FMain.Prompts().InputBox(u"Icon Name"_s, prompt, start);
        if (!name || name->isEmpty())
            return std::nullopt;
        if (Table().IconByName(*name) < 0)
            return name;
        FMain.Prompts().Warning(windowTitle(), u'"' + *name + u"\" is already in use."_s);
    }
}

void TfrmIconView::BeginNewIcon(bool keepShown)
{
    const std::optional<QString> name = AskIconName(u"Enter the name of the new icon."_s, QString());
    if (!name) {
        FNewMode = false;
        FMain.ShowStatus(u"Icon create cancelled by user."_s);
        return;
    }
    {
        TFlagScope updating(FUpdatingName);
        txtIconName->setText(*name);
    }
    {
        TFlagScope showing(FShowing);
        // The points shown stay: a series of new symbols often shares them.
        if (!keepShown) {
            txtDescription->clear();
            ShowEffects({});
        }
    }
    SetEditable(true);
    FCurrent = -1;
    SelectEntry(-1);
    SetStoreButton(u"Store New Icon"_s, true);
    txtDescription->setFocus();
    FNewMode = !keepShown;
    UpdateRenameItem();
}

void TfrmIconView::CreateIcon()
{
    BeginNewIcon(false);
}

void TfrmIconView::CopyIcon()
{
    BeginNewIcon(true);
}

void TfrmIconView::RenameIcon()
{
    TIconDescriptor *icon = Table().GetIcon(FCurrent);
    if (!icon || icon->Basic || icon->Name.isEmpty()) {
        FMain.Beep();
        return;
    }
    const QString oldName = icon->Name;
    const std::optional<QString> name = AskIconName(u"Enter the new name for \""_s + oldName + u"\"."_s, oldName);
    if (!name) {
        FMain.ShowStatus(u"Rename cancelled by user."_s);
        return;
    }
    if (*name == u"delete") {
        DeleteIcon(FCurrent);
        return;
    }
    // The input box runs an event loop; the table may have grown meanwhile.
    icon = Table().GetIcon(FCurrent);
    icon->Name = *name;
    RemoveEntry(FCurrent);
    ListIcon(*icon);
    SelectEntry(FCurrent);
    {
        TFlagScope updating(FUpdatingName);
        txtIconName->setText(*name);
    }
    // The table already holds the new name, so it must be saved even if the user
    // never presses the store button.
    FModified = true;
    OfferStore();
    UpdateRenameItem();
    FMain.ShowStatus(u"Icon "_s + oldName + u" renamed to "_s + *name + u"."_s);
    emit IconsChanged();
}

void TfrmIconView::DeleteIcon(qint32 id)
{
    TIconDescriptor *icon = Table().GetIcon(id);
    const QString name = icon->Name;
    const QString refusal = DeletionRefusal(FMain.Catalogue(), id);
    if (!refusal.isEmpty()) {
        FMain.Prompts().Warning(windowTitle(), refusal);
        FMain.ShowStatus(u"Icon "_s + name + u" kept."_s);
        return;
    }
    icon->Name.clear();
    RemoveEntry(id);
    FModified = true;
    // Nothing is shown any more: the boxes are emptied and locked.
    FCurrent = -1;
    FNewMode = false;
    SelectEntry(-1);
    {
        TFlagScope updating(FUpdatingName);
        txtIconName->clear();
    }
    {
        TFlagScope showing(FShowing);
        txtDescription->clear();
        ShowEffects({});
    }
    SetEditable(false);
    RestStoreButton();
    UpdateRenameItem();
    FMain.ShowStatus(u"Icon "_s + name + u" deleted."_s);
    emit IconsChanged();
}

void TfrmIconView::SelectSpecialEffects(TEffectSet preset)
{
    // The presets only apply where the effects may be edited.
    if (!lstEffects->isEnabled())
        return;
    ShowEffects(preset);
    OfferStore();
}

void TfrmIconView::CloseIconViewer()
{
    CloseIconViewerQuery();
}

bool TfrmIconView::SaveIcons()
{
    // A write takes the deleted symbols out of the table, so every later symbol gets a
    // lower ID and the shown symbol moves down with them; a failed one puts the old
    // table back, and the shown symbol keeps its ID.
    qint32 compacted = FCurrent;
    if (compacted >= BasicIcon::Count) {
        for (qint32 id = BasicIcon::Count; id < FCurrent; ++id) {
            if (Table().GetIcon(id)->Name.isEmpty())
                --compacted;
        }
    }
    TCatalogue &catalogue = FMain.Catalogue();
    const bool written = WriteSymbolsAndRaces(catalogue, FMain.DataSavePath(QString::fromUtf16(kIconFileName)),
                                              FMain.DataSavePath(QString::fromUtf16(kRaceFileName)), FMain);
    const qint32 current = written ? compacted : FCurrent;
    FCurrent = Table().GetIcon(current) ? current : -1;
    RebuildLists();
    if (FCurrent >= 0)
        SelectEntry(FCurrent);
    UpdateRenameItem();
    FMain.RefreshSaveRaces();
    emit IconsChanged();
    if (written)
        FModified = false;
    return written;
}

bool TfrmIconView::CloseIconViewerQuery()
{
    // A window never shown has no position of its own to keep: storing it would pin
    // the window to the corner of the screen at the next start.
    if (FPlaced)
        FMain.SaveWindowPosition(*this, kPositionName);
    FMain.ShowStatus(u"Icon form closed."_s);
    if (FModified) {
        switch (FMain.Prompts().Confirm(windowTitle(), u"Save icon changes to disk?"_s, TButtons::YesNoCancel)) {
        case TAnswer::Yes:
            // A failed write keeps the window up, so that the changes are not lost
            // with it at exit.
            if (!SaveIcons())
                return false;
            break;
        case TAnswer::No:
            break;
        case TAnswer::Cancel:
        case TAnswer::Ok:
            return false;
        }
    }
    if (FPlaced)
        FMain.SaveWindowPosition(*this, kPositionName);
    hide();
    return true;
}

void TfrmIconView::ShowViewer()
{
    show();
    raise();
    activateWindow();
}

void TfrmIconView::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    FPlaced = true;
}

void TfrmIconView::closeEvent(QCloseEvent *event)
{
    // The viewer lives until the main window goes: the close query hides it.
    event->ignore();
    CloseIconViewerQuery();
}

void TfrmIconView::reject()
{
    CloseIconViewerQuery();
}
