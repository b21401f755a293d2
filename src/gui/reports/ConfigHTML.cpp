#include "reports/ConfigHTML.h"

#include "KrException.h"
#include "shell/MainForm.h"
#include "shell/Prompts.h"
#include "shell/SettingsStore.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace {

constexpr std::array kColorNames{u"Want", u"Default", u"Have", u"Lock"};
constexpr std::array kColorCaptions{u"Wanted", u"Neither", u"Available", u"Locked"};

QColor QtColor(quint32 color)
{
    return QColor(int(color & 0xFF), int((color >> 8) & 0xFF), int((color >> 16) & 0xFF));
}

} // namespace

TfrmConfigHTML::TfrmConfigHTML(TfrmMain &main, const std::vector<TInventoryData *> &rows, QWidget *parent)
    : QDialog(parent), FMain(main), FRows(rows)
{
    setObjectName(u"frmConfigHTML"_s);
    setWindowTitle(u"Export Trading Information"_s);
    auto *layout = new QVBoxLayout(this);
    auto *grid = new QGridLayout;
    layout->addLayout(grid);
    int row = 0;

    cmbStyle = new QComboBox(this);
    cmbStyle->setObjectName(u"cmbStyle"_s);
    for (int style = 0; style < VocabularyCount<TExportStyle>(); ++style)
        cmbStyle->addItem(NameOf(TExportStyle(style)));
    grid->addWidget(new QLabel(u"Style"_s, this), row, 0);
    grid->addWidget(cmbStyle, row++, 1, 1, 2);

    for (int tag = 0; tag < 4; ++tag) {
        const QString name = QString::fromUtf16(kColorNames[size_t(tag)]);
        txtColors[size_t(tag)] = new QLineEdit(this);
        txtColors[size_t(tag)]->setObjectName(u"txt"_s + name + u"Color"_s);
        txtColors[size_t(tag)]->setReadOnly(true);
        btnColors[size_t(tag)] = new QPushButton(u"..."_s, this);
        btnColors[size_t(tag)]->setObjectName(u"btn"_s + name + u"Color"_s);
        grid->addWidget(new QLabel(QString::fromUtf16(kColorCaptions[size_t(tag)]) + u" Color"_s, this), row, 0);
        grid->addWidget(txtColors[size_t(tag)], row, 1);
        grid->addWidget(btnColors[size_t(tag)], row++, 2);
        connect(btnColors[size_t(tag)], &QPushButton::clicked, this, [this, tag] { GetColor(tag); });
    }

    chkTradeValues = new QCheckBox(u"Show Trade Values"_s, this);
    chkTradeValues->setObjectName(u"chkTradeValues"_s);
    grid->addWidget(chkTradeValues, row++, 0, 1, 3);
    chkWidgets = new QCheckBox(u"Face Widget File"_s, this);
    chkWidgets->setObjectName(u"chkWidgets"_s);
    txtWidgetFile = new QLineEdit(this);
    txtWidgetFile->setObjectName(u"txtWidgetFile"_s);
    grid->addWidget(chkWidgets, row, 0);
    grid->addWidget(txtWidgetFile, row++, 1, 1, 2);

    txtOutputFile = new QLineEdit(this);
    txtOutputFile->setObjectName(u"txtOutputFile"_s);
    txtOutputFile->setReadOnly(true);
    btnOutputFile = new QPushButton(u"..."_s, this);
    btnOutputFile->setObjectName(u"btnOutputFile"_s);
    grid->addWidget(new QLabel(u"Output File"_s, this), row, 0);
    grid->addWidget(txtOutputFile, row, 1);
    grid->addWidget(btnOutputFile, row++, 2);

    chkTradeForm = new QCheckBox(u"Trade Form Script"_s, this);
    chkTradeForm->setObjectName(u"chkTradeForm"_s);
    txtScriptName = new QLineEdit(this);
    txtScriptName->setObjectName(u"txtScriptName"_s);
    grid->addWidget(chkTradeForm, row, 0);
    grid->addWidget(txtScriptName, row++, 1, 1, 2);

    txtMaxLock = new QSpinBox(this);
    txtMaxLock->setObjectName(u"txtMaxLock"_s);
    txtMaxLock->setRange(0, TTradeListOptions::kMaxLockLimit);
    grid->addWidget(new QLabel(u"Max Accepted"_s, this), row, 0);
    grid->addWidget(txtMaxLock, row++, 1);

    auto *checks = new QHBoxLayout;
    chkAggressive = new QCheckBox(u"Aggressive"_s, this);
    chkAggressive->setObjectName(u"chkAggressive"_s);
    chkIncludeCC = new QCheckBox(u"Include CC field"_s, this);
    chkIncludeCC->setObjectName(u"chkIncludeCC"_s);
    chkJavaScript = new QCheckBox(u"Use JavaScript"_s, this);
    chkJavaScript->setObjectName(u"chkJavaScript"_s);
    checks->addWidget(chkAggressive);
    checks->addWidget(chkIncludeCC);
    checks->addWidget(chkJavaScript);
    grid->addLayout(checks, row++, 0, 1, 3);

    txtFrameFile = new QLineEdit(this);
    txtFrameFile->setObjectName(u"txtFrameFile"_s);
    txtFrameFile->setReadOnly(true);
    btnFrameFile = new QPushButton(u"..."_s, this);
    btnFrameFile->setObjectName(u"btnFrameFile"_s);
    grid->addWidget(new QLabel(u"Frame File"_s, this), row, 0);
    grid->addWidget(txtFrameFile, row, 1);
    grid->addWidget(btnFrameFile, row++, 2);
    grid->setColumnMinimumWidth(1, 260);

    auto *buttons = new QHBoxLayout;
    btnRun = new QPushButton(u"Run"_s, this);
    btnRun->setObjectName(u"btnRun"_s);
    btnRun->setDefault(true);
    btnClose = new QPushButton(u"Close"_s, this);
    btnClose->setObjectName(u"btnClose"_s);
    buttons->addStretch(1);
    buttons->addWidget(btnRun);
    buttons->addWidget(btnClose);
    layout->addLayout(buttons);
    barStatus = new QLabel(this);
    barStatus->setObjectName(u"barStatus"_s);
    FStatus = std::make_unique<TProgressStatus>(*barStatus);
    barStatus->setFrameShape(QFrame::StyledPanel);
    layout->addWidget(barStatus);

    connect(btnOutputFile, &QPushButton::clicked, this, &TfrmConfigHTML::GetOutputFile);
    connect(btnFrameFile, &QPushButton::clicked, this, &TfrmConfigHTML::GetFrameFile);
    for (QCheckBox *box : {chkWidgets, chkAggressive, chkIncludeCC, chkJavaScript})
        connect(box, &QCheckBox::clicked, this, &TfrmConfigHTML::ToggleWidgets);
    connect(chkTradeForm, &QCheckBox::clicked, this, &TfrmConfigHTML::ToggleTradeScriptFlag);
    connect(btnRun, &QPushButton::clicked, this, &TfrmConfigHTML::RunReport);
    connect(btnClose, &QPushButton::clicked, this, &QDialog::reject);

    FOptions.Load(FMain.Settings());
    LoadControls();
}

void TfrmConfigHTML::LoadControls()
{
    cmbStyle->setCurrentIndex(int(FOptions.Style));
    for (int tag = 0; tag < 4; ++tag)
        ShowColor(tag);
    chkWidgets->setChecked(FOptions.ShowWidgets);
    chkTradeValues->setChecked(FOptions.ShowValues);
    txtWidgetFile->setText(FOptions.WidgetFile);
    txtOutputFile->setText(FOptions.ExportFile);
    chkTradeForm->setChecked(FOptions.TradeForm);
    txtScriptName->setText(FOptions.Script);
    txtMaxLock->setValue(FOptions.MaxLock);
    chkAggressive->setChecked(FOptions.Aggressive);
    chkIncludeCC->setChecked(FOptions.IncludeCC);
    chkJavaScript->setChecked(FOptions.JavaScript);
    txtFrameFile->setText(FOptions.FrameFile);
    ToggleWidgets();
    ToggleTradeScriptFlag();
}

TTradeListOptions TfrmConfigHTML::Options() const
{
    TTradeListOptions options = FOptions;
    options.Style = TExportStyle(std::max(0, cmbStyle->currentIndex()));
    options.ShowWidgets = chkWidgets->isChecked();
    options.ShowValues = chkTradeValues->isChecked();
    options.WidgetFile = txtWidgetFile->text();
    options.TradeForm = chkTradeForm->isChecked();
    options.Script = txtScriptName->text();
    options.MaxLock = txtMaxLock->value();
    options.Aggressive = chkAggressive->isChecked();
    options.IncludeCC = chkIncludeCC->isChecked();
    options.JavaScript = chkJavaScript->isChecked();
    return options;
}

quint32 &TfrmConfigHTML::Color(int tag)
{
    switch (tag) {
    case 0:
        return FOptions.WantColor;
    case 1:
        return FOptions.DefaultColor;
    case 2:
        return FOptions.HaveColor;
    default:
        return FOptions.LockColor;
    }
}

void TfrmConfigHTML::ShowColor(int tag)
{
    QLineEdit &box = *txtColors[size_t(tag)];
    box.setText(ColorText(Color(tag)));
    QPalette palette = box.palette();
    palette.setColor(QPalette::Text, QtColor(Color(tag)));
    box.setPalette(palette);
}

void TfrmConfigHTML::GetColor(int tag)
{
    if (tag < 0 || tag > 3)
        return;
    const std::optional<QColor> chosen = FMain.Prompts().ChooseColor(QtColor(Color(tag)));
    if (!chosen)
        return;
    Color(tag) = quint32(chosen->red()) | quint32(chosen->green()) << 8 | quint32(chosen->blue()) << 16;
    ShowColor(tag);
}

void TfrmConfigHTML::GetOutputFile()
{
    TFileDialog dialog;
    dialog.Title = u"Export Trading Information"_s;
    dialog.Directory = FOptions.Directory;
    dialog.FileName = FOptions.ExportFile;
    dialog.Filter = QString::fromUtf16(kExportFileFilter);
    dialog.FilterIndex = ExportFilterIndex(Options().Style);
    const std::optional<TFileChoice> choice = FMain.Prompts().SaveFile(dialog);
    if (!choice || choice->Files.isEmpty())
        return;
    FOptions.ExportFile = choice->Files.front();
    FOptions.Directory = QFileInfo(FOptions.ExportFile).absolutePath();
    TTradeListOptions::SaveDirectory(FMain.Settings(), FOptions.Directory);
    txtOutputFile->setText(FOptions.ExportFile);
}

void TfrmConfigHTML::GetFrameFile()
{
    TFileDialog dialog;
    dialog.Title = u"Select a Frame File"_s;
    dialog.Directory = FOptions.Directory;
    dialog.FileName = FOptions.FrameFile;
    dialog.Filter = u"HTML File|*.htm;*.html;*.shtml|All Files|*.*"_s;
    dialog.MustExist = true;
    const std::optional<TFileChoice> choice = FMain.Prompts().OpenFiles(dialog);
    if (choice && !choice->Files.isEmpty()) {
        FOptions.FrameFile = choice->Files.front();
    } else if (!FOptions.FrameFile.isEmpty() &&
               FMain.Prompts().Confirm(windowTitle(),
                                       u"Choose OK to turn off HTML framing, CANCEL to continue using "_s +
                                           FOptions.FrameFile + u'.',
                                       TButtons::OkCancel) == TAnswer::Ok) {
        FOptions.FrameFile.clear();
    }
    txtFrameFile->setText(FOptions.FrameFile);
}

void TfrmConfigHTML::ToggleWidgets()
{
    txtWidgetFile->setEnabled(chkWidgets->isChecked());
}

void TfrmConfigHTML::ToggleTradeScriptFlag()
{
    txtScriptName->setEnabled(chkTradeForm->isChecked());
}

QString TfrmConfigHTML::OutputPath() const
{
    const QString &file = FOptions.ExportFile;
    if (QFileInfo(file).isAbsolute())
        return file;
    const QString folder = FMain.Settings().ReadStringSetting(u"ArmyDir"_s, QString());
    return folder.isEmpty() ? file : QDir(folder).filePath(file);
}

bool TfrmConfigHTML::RunReport()
{
    const TTradeListOptions options = Options();
    const QString path = OutputPath();
    try {
        ShowStatus(u"Exporting alert list..."_s);
        ExportTradeList(path, FRows, FMain.Catalogue(), options, FMain.Clock().Now().date(),
                        [this](const QString &text) { ShowProgress(text); });
        ShowStatus(u"Alert list written to "_s + path + u'.');
        options.Save(FMain.Settings());
        FOptions = options;
        return true;
    } catch (const TKrException &failure) {
        ShowStatus(u"Error writing alerts to "_s + path + u'.');
        FMain.ReportError(failure, u"exporting alert list"_s);
        return false;
    }
}

void TfrmConfigHTML::ShowStatus(const QString &text)
{
    FStatus->Show(text);
}

void TfrmConfigHTML::ShowProgress(const QString &text)
{
    FStatus->Progress(text);
}

QString TfrmConfigHTML::StatusText() const
{
    return barStatus->text();
}
