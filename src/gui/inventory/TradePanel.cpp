#include "inventory/TradePanel.h"

#include "controls/FancyGrid.h"
#include "inventory/Inventory.h"
#include "inventory/InventoryForm.h"
#include "shell/MainForm.h"
#include "shell/Prompts.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QFontDatabase>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace {

// Characters each grid column is wide, in the grid's fixed-pitch font.
constexpr std::array<int, kTradeGridColumns> kColumnChars{6, 6, 20, 13, 13, 5, 5, 6};
constexpr int kPreferredExtra = 30;

QString BoxText(const QString &text)
{
    return TextLines(text).join(u'\n');
}

} // namespace

TTradePanel::TTradePanel(TfrmInventory &form)
    : QWidget(&form), FForm(form), FEditor(std::make_unique<TTradeEditor>(form.Inventory()))
{
    setObjectName(u"pnlTrade"_s);
    BuildWidgets();
    ShowTrade();
}

TTradePanel::~TTradePanel() = default;

TfrmMain &TTradePanel::Main() const
{
    return FForm.Main();
}

void TTradePanel::ShowStatus(const QString &text)
{
    FForm.ShowStatus(text);
}

void TTradePanel::BuildWidgets()
{
    auto named = [](auto *widget, const QString &name) {
        widget->setObjectName(name);
        return widget;
    };
    cmbTrader = named(new QComboBox(this), u"cmbTrader"_s);
    txtAddress = named(new QPlainTextEdit(this), u"txtAddress"_s);
    txtAddress->setTabChangesFocus(true);
    txtAddress->setMaximumHeight(fontMetrics().lineSpacing() * 4 + 12);
    txtPhone = named(new QLineEdit(this), u"txtPhone"_s);
    txtEMAIL = named(new QLineEdit(this), u"txtEMAIL"_s);
    txtCard = named(new QLineEdit(this), u"txtCard"_s);
    cmbStatus = named(new QComboBox(this), u"cmbStatus"_s);
    for (int s = 0; s < VocabularyCount<TradeStatus>(); ++s)
        cmbStatus->addItem(NameOf(TradeStatus(s)));
    chkUseTradeOuts = named(new QCheckBox(u"Use Trade Outs"_s, this), u"chkUseTradeOuts"_s);
    dtpDate = named(new QDateEdit(this), u"dtpDate"_s);
    dtpDate->setCalendarPopup(true);
    txtTerms = named(new QLineEdit(this), u"txtTerms"_s);
    txtNotes = named(new QPlainTextEdit(this), u"txtNotes"_s);
    txtNotes->setTabChangesFocus(true);
    txtNotes->setMaximumHeight(fontMetrics().lineSpacing() * 3 + 12);

    grdTrade = named(new TFancyGrid(this), u"grdTrade"_s);
    grdTrade->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    grdTrade->SetCols(kTradeGridColumns);
    grdTrade->SetRows(1);
    grdTrade->SetSelectMode(eSelectRow);
    QList<TColumnSpec> titles;
    for (const QString &title : TradeGridHeaders())
        titles << TColumnSpec{title, eAlignLeft};
    grdTrade->SetColData(titles);
    const int charWidth = QFontMetrics(grdTrade->font()).horizontalAdvance(u'0');
    for (int c = 0; c < kTradeGridColumns; ++c)
        grdTrade->Column(c + 1)->SetWidth(kColumnChars[size_t(c)] * charWidth + 6);

    lblNet = named(new QLabel(this), u"lblNet"_s);
    btnSave = named(new QPushButton(u"Save Changes"_s, this), u"btnSave"_s);
    btnCancel = named(new QPushButton(u"Cancel"_s, this), u"btnCancel"_s);

    auto *details = new QFormLayout;
    details->addRow(u"Trader"_s, cmbTrader);
    details->addRow(u"Address"_s, txtAddress);
    details->addRow(u"Phone"_s, txtPhone);
    details->addRow(u"EMAIL"_s, txtEMAIL);
    details->addRow(u"Card"_s, txtCard);
    auto *state = new QHBoxLayout;
    state->addWidget(cmbStatus);
    state->addWidget(chkUseTradeOuts);
    state->addWidget(new QLabel(u"Date"_s, this));
    state->addWidget(dtpDate);
    state->addStretch(1);
    details->addRow(u"Status"_s, state);
    details->addRow(u"Terms"_s, txtTerms);
    details->addRow(u"Notes"_s, txtNotes);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(new QLabel(u"Net value:"_s, this));
    buttons->addWidget(lblNet);
    buttons->addStretch(1);
    buttons->addWidget(btnSave);
    buttons->addWidget(btnCancel);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addLayout(details);
    layout->addWidget(grdTrade, 1);
    layout->addLayout(buttons);

    connect(cmbTrader, &QComboBox::activated, this, &TTradePanel::SelectTrader);
    for (QLineEdit *box : {txtPhone, txtEMAIL, txtCard, txtTerms})
        connect(box, &QLineEdit::textEdited, this, &TTradePanel::FieldEdited);
    for (QPlainTextEdit *box : {txtAddress, txtNotes})
        connect(box, &QPlainTextEdit::textChanged, this, &TTradePanel::FieldEdited);
    connect(cmbStatus, &QComboBox::currentIndexChanged, this, &TTradePanel::FieldEdited);
    connect(chkUseTradeOuts, &QCheckBox::toggled, this, &TTradePanel::FieldEdited);
    connect(dtpDate, &QDateEdit::dateChanged, this, &TTradePanel::FieldEdited);
    connect(btnSave, &QPushButton::clicked, this, &TTradePanel::SaveChanges);
    connect(btnCancel, &QPushButton::clicked, this, &TTradePanel::CancelChanges);
    connect(grdTrade, &TFancyGrid::SelectItem, this, [this](int, int row) { GridRowSelected(row); });
    connect(grdTrade, &TFancyGrid::TitleClicked, this, &TTradePanel::SortByTitle);
}

int TTradePanel::PreferredWidth() const
{
    int width = kPreferredExtra;
    for (int c = 1; c <= grdTrade->Cols(); ++c)
        width += grdTrade->Column(c)->Width();
    return width;
}

void TTradePanel::BuildMenu(QMenu &trading)
{
    auto add = [this](QMenu &menu, const QString &name, const QString &caption, auto handler,
                      const QKeySequence &keys = {}, bool needsTrade = false) {
        QAction *item = menu.addAction(caption);
        item->setObjectName(name);
        item->setShortcut(keys);
        connect(item, &QAction::triggered, this, handler);
        if (needsTrade)
            FTradeCommands.push_back(item);
        return item;
    };
    trading.addSeparator();
    QMenu &create = *trading.addMenu(u"&New"_s);
    create.setObjectName(u"mnuTradeNew"_s);
    add(create, u"mnuTradeCreate"_s, u"&Create Trade"_s, &TTradePanel::CreateTrade);
    add(create, u"mnuTradeDuplicate"_s, u"D&uplicate Trade"_s, &TTradePanel::DuplicateTrade, {}, true);
    create.addSeparator();
    add(create, u"mnuTradeImportFile"_s, u"&Import Trade From File"_s, &TTradePanel::ImportTradeFromFile);
    add(create, u"mnuTradeImportClipboard"_s, u"I&mport Trade From Clipboard"_s,
        &TTradePanel::ImportTradeFromClipboard);
    add(trading, u"mnuTradeRename"_s, u"Re&name Trade"_s, &TTradePanel::RenameTrade, {}, true);
    add(trading, u"mnuTradeDelete"_s, u"&Delete Trade"_s, &TTradePanel::DeleteTrade, {}, true);
    add(trading, u"mnuTradeClear"_s, u"C&lear Trade"_s, &TTradePanel::ClearTrade, {}, true);
    add(trading, u"mnuTradeCover"_s, u"Co&ver Armies"_s, &TTradePanel::CoverArmies,
        QKeySequence(Qt::CTRL | Qt::Key_K), true);
    trading.addSeparator();
    add(trading, u"mnuTradeNext"_s, u"&Next Trade"_s, &TTradePanel::NextTrade, QKeySequence(Qt::Key_F9));
    add(trading, u"mnuTradePrevious"_s, u"&Previous Trade"_s, &TTradePanel::PreviousTrade, QKeySequence(Qt::Key_F8));
    add(trading, u"mnuTradeNextWaiting"_s, u"Next &Waiting"_s, &TTradePanel::NextWaiting,
        QKeySequence(Qt::SHIFT | Qt::Key_F9));
    add(trading, u"mnuTradeNextAccepted"_s, u"Next &Accepted/Received"_s, &TTradePanel::NextAcceptedReceived,
        QKeySequence(Qt::SHIFT | Qt::Key_F8));
    add(trading, u"mnuTradeNextSent"_s, u"Next &Sent/Proposed"_s, &TTradePanel::NextSentProposed,
        QKeySequence(Qt::CTRL | Qt::Key_F8));
    add(trading, u"mnuTradeByEMail"_s, u"Trader by &EMAIL Name"_s, &TTradePanel::TraderByEMail);
    trading.addSeparator();
    QMenu &process = *trading.addMenu(u"&Process"_s);
    process.setObjectName(u"mnuTradeProcess"_s);
    const std::array<std::pair<TApplyKind, QKeySequence>, 4> applies{{
        {TApplyKind::Send, QKeySequence(Qt::CTRL | Qt::Key_F12)},
        {TApplyKind::Receive, QKeySequence(Qt::CTRL | Qt::Key_F11)},
        {TApplyKind::UndoSend, {}},
        {TApplyKind::UndoReceive, {}},
    }};
    const std::array<QString, 4> applyNames{u"mnuTradeSend"_s, u"mnuTradeReceive"_s, u"mnuTradeUndoSend"_s,
                                            u"mnuTradeUndoReceive"_s};
    for (size_t i = 0; i < applies.size(); ++i) {
        const TApplyKind kind = applies[i].first;
        add(process, applyNames[i], ApplyCaption(kind), [this, kind] { ApplyTrade(kind); }, applies[i].second, true);
    }
    process.addSeparator();
    add(process, u"mnuTradeCopy"_s, u"Co&py Trade to Clipboard"_s, &TTradePanel::CopyTradeToClipboard,
        QKeySequence(Qt::CTRL | Qt::Key_T), true);
    add(process, u"mnuTradePrint"_s, u"&Print Trade"_s, &TTradePanel::PrintTrade, QKeySequence(Qt::CTRL | Qt::Key_P),
        true);
    add(process, u"mnuTradeCopyAddress"_s, u"Copy &Address to Clipboard"_s, &TTradePanel::CopyAddressToClipboard,
        QKeySequence(Qt::CTRL | Qt::Key_A));
    add(process, u"mnuTradeExport"_s, u"&Export Trade"_s, &TTradePanel::ExportTrade, {}, true);
    UpdateCommands();
}

void TTradePanel::UpdateCommands()
{
    const bool trade = FEditor->Current() != nullptr;
    for (QAction *item : FTradeCommands)
        item->setEnabled(trade);
    btnSave->setEnabled(trade && FEditor->Edited());
    btnCancel->setEnabled(trade && FEditor->Edited());
}

TTradeFields TTradePanel::Fields() const
{
    TTradeFields fields;
    fields.Address = AddressText();
    fields.Phone = txtPhone->text();
    fields.EMail = txtEMAIL->text();
    fields.Card = txtCard->text();
    fields.Terms = txtTerms->text();
    fields.Notes = TextLines(txtNotes->toPlainText()).join(kCrLf);
    fields.Date = dtpDate->date();
    fields.Status = TradeStatus(std::max(cmbStatus->currentIndex(), 0));
    fields.UseTradeOuts = chkUseTradeOuts->isChecked();
    return fields;
}

QString TTradePanel::AddressText() const
{
    return TextLines(txtAddress->toPlainText()).join(kCrLf);
}

QString TTradePanel::NetText() const
{
    return lblNet->text();
}

void TTradePanel::ShowTrade()
{
    FShowing = true;
    const TTrade *trade = FEditor->Current();
    TTradeFields fields;
    fields.Date = Main().Clock().Now().date();
    if (trade)
        fields = TTradeFields::Of(*trade);
    for (QWidget *box : std::initializer_list<QWidget *>{txtAddress, txtPhone, txtEMAIL, txtCard, cmbStatus,
                                                         chkUseTradeOuts, dtpDate, txtTerms, txtNotes, grdTrade})
        box->setEnabled(trade != nullptr);
    txtAddress->setPlainText(BoxText(fields.Address));
    txtPhone->setText(fields.Phone);
    txtEMAIL->setText(fields.EMail);
    txtCard->setText(fields.Card);
    cmbStatus->setCurrentIndex(int(fields.Status));
    chkUseTradeOuts->setChecked(fields.UseTradeOuts);
    dtpDate->setDate(fields.Date);
    txtTerms->setText(fields.Terms);
    txtNotes->setPlainText(BoxText(fields.Notes));
    cmbTrader->setCurrentIndex(FEditor->CurrentIndex());
    FShowing = false;
    FillGrid();
    UpdateCommands();
    emit CurrentTradeChanged();
}

void TTradePanel::FillSelector()
{
    FShowing = true;
    cmbTrader->clear();
    for (const TTrade *trade : FEditor->Selector())
        cmbTrader->addItem(trade->Name);
    FShowing = false;
    ShowTrade();
}

void TTradePanel::FillGrid()
{
    const std::vector<TInventoryData *> &rows = FEditor->Rows();
    // One row per line, and the empty row that stands for items not in the trade.
    grdTrade->SetRows(int(rows.size()) + 1);
    for (int r = 1; r <= grdTrade->Rows(); ++r) {
        const QStringList cells = r <= int(rows.size())
                                      ? TradeGridRow(*rows[size_t(r - 1)], rows[size_t(r - 1)]->TradeCount)
                                      : QStringList();
        for (int c = 1; c <= kTradeGridColumns; ++c)
            grdTrade->Column(c)->Cell(r)->SetText(cells.value(c - 1));
    }
    ShowNet();
}

void TTradePanel::ShowNet()
{
    lblNet->setText(QString::number(FEditor->NetValue()));
}

void TTradePanel::FieldEdited()
{
    if (FShowing || !FEditor->Current())
        return;
    FEditor->SetEdited();
    UpdateCommands();
}

bool TTradePanel::QueryTradeEdits()
{
    const TTrade *trade = FEditor->Current();
    if (!trade || !FEditor->Edited())
        return true;
    switch (Main().Prompts().Confirm(FForm.windowTitle(), u"Save changes to "_s + trade->Name + u'?',
                                     TButtons::YesNoCancel)) {
    case TAnswer::Yes:
        SaveChanges();
        return true;
    case TAnswer::No:
        return true;
    default:
        return false;
    }
}

void TTradePanel::Refill()
{
    FEditor->Refill();
    FillSelector();
}

void TTradePanel::SelectTrader(int index)
{
    if (index == FEditor->CurrentIndex())
        return;
    if (!QueryTradeEdits()) {
        cmbTrader->setCurrentIndex(FEditor->CurrentIndex());
        ShowStatus(u"Trader change cancelled."_s);
        return;
    }
    FEditor->ShowAt(index);
    ShowTrade();
}

void TTradePanel::SaveChanges()
{
    TTrade *trade = FEditor->Current();
    if (!trade)
        return;
    FEditor->Save(Fields());
    ShowTrade();
    FForm.RefreshSaveItem();
    ShowStatus(u"Trade "_s + trade->Name + u" updated in inventory."_s);
}

void TTradePanel::CancelChanges()
{
    TTrade *trade = FEditor->Current();
    if (!trade)
        return;
    FEditor->Show(trade);
    ShowTrade();
    ShowStatus(u"Changes to "_s + trade->Name + u" cancelled."_s);
}

void TTradePanel::SelectItemRow(const TInventoryData *item)
{
    if (FSelectingRow || !item)
        return;
    const int row = FEditor->RowOf(*item);
    FSelectingRow = true;
    grdTrade->SelectCell(1, row < 0 ? grdTrade->Rows() : row + 1);
    FSelectingRow = false;
}

void TTradePanel::GridRowSelected(int row)
{
    const std::vector<TInventoryData *> &rows = FEditor->Rows();
    if (FSelectingRow || row < 1 || row > int(rows.size()))
        return;
    FSelectingRow = true;
    FForm.SelectItemNode(*rows[size_t(row - 1)]);
    FSelectingRow = false;
}

void TTradePanel::ForgetItem(const TInventoryData &item)
{
    FEditor->ForgetItem(item);
    FillGrid();
}

void TTradePanel::SortByTitle(int position, Qt::KeyboardModifiers keys)
{
    // Ctrl sorts up, Shift alone down.
    const bool up = keys & Qt::ControlModifier;
    const bool down = !up && (keys & Qt::ShiftModifier);
    const TColumnData *column = grdTrade->ColumnAt(position);
    if (!FEditor->Current() || !column || !(up || down))
        return;
    FEditor->SortRows(column->Index() - 1, down);
    FillGrid();
    UpdateCommands();
}

void TTradePanel::ChangeCurrentRow(qint32 delta)
{
    TInventoryData *item = FForm.CurrentItem();
    if (!item || !FEditor->Current())
        return;
    FEditor->ChangeRow(*item, delta);
    FillGrid();
    SelectItemRow(item);
    UpdateCommands();
}

void TTradePanel::TransferCurrentItem(int direction)
{
    TInventoryData *item = FForm.CurrentItem();
    if (!item || !FEditor->Current())
        return;
    const TTrade *partner = FEditor->Transfer(*item, direction, Fields().Status);
    if (!partner) {
        Main().Beep();
        ShowStatus(u"No waiting trade found!"_s);
        return;
    }
    FillGrid();
    SelectItemRow(item);
    UpdateCommands();
    FForm.RefreshSaveItem();
    ShowStatus(item->Name + u" transferred with trade #"_s + QString::number(partner->Number()) + u'.');
}

void TTradePanel::WalkEnded(TWalk walk)
{
    if (walk == TWalk::Found)
        return;
    Main().Beep();
    if (walk == TWalk::EndReached)
        ShowStatus(u"End of trade list reached."_s);
}

void TTradePanel::NextTradeUsing()
{
    const TInventoryData *item = FForm.CurrentItem();
    if (!item)
        return;
    if (!QueryTradeEdits()) {
        ShowStatus(u"Trader change cancelled."_s);
        return;
    }
    const TWalk walk = FEditor->NextTradeUsing(*item);
    ShowTrade();
    if (walk == TWalk::Found) {
        SelectItemRow(item);
    } else {
        Main().Beep();
        ShowStatus(u"End of trade list reached."_s);
    }
}
