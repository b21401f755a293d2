#include "shell/Prompts.h"

#include "shell/QRVUtils.h"

#include <QApplication>
#include <QColorDialog>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>

using namespace Qt::StringLiterals;

namespace {

// Keeps the arrow cursor up while a box waits for the user.
class TArrowCursor
{
public:
    TArrowCursor() { QApplication::setOverrideCursor(Qt::ArrowCursor); }
    ~TArrowCursor() { QApplication::restoreOverrideCursor(); }
    TArrowCursor(const TArrowCursor &) = delete;
    TArrowCursor &operator=(const TArrowCursor &) = delete;
};

QMessageBox::Icon IconOf(TMessageKind kind)
{
    switch (kind) {
    case TMessageKind::Warning:
        return QMessageBox::Warning;
    case TMessageKind::Information:
        return QMessageBox::Information;
    case TMessageKind::Confirmation:
        break;
    }
    return QMessageBox::Question;
}

QMessageBox::StandardButtons ButtonsOf(TButtons buttons)
{
    switch (buttons) {
    case TButtons::Ok:
        return QMessageBox::Ok;
    case TButtons::OkCancel:
        return QMessageBox::Ok | QMessageBox::Cancel;
    case TButtons::YesNo:
        return QMessageBox::Yes | QMessageBox::No;
    case TButtons::YesNoCancel:
        break;
    }
    return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
}

// The file dialog as the program describes it; the caller runs it.
void Prepare(QFileDialog &box, const TFileDialog &dialog)
{
    box.setWindowTitle(dialog.Title);
    box.setDirectory(dialog.Directory);
    const QStringList filters = QtFilters(dialog.Filter);
    box.setNameFilters(filters);
    if (dialog.FilterIndex >= 1 && dialog.FilterIndex <= filters.size())
        box.selectNameFilter(filters.at(dialog.FilterIndex - 1));
    box.setDefaultSuffix(dialog.DefaultExtension);
    if (!dialog.FileName.isEmpty())
        box.selectFile(dialog.FileName);
}

std::optional<TFileChoice> Run(QFileDialog &box)
{
    const TArrowCursor arrow;
    if (box.exec() != QDialog::Accepted || box.selectedFiles().isEmpty())
        return std::nullopt;
    TFileChoice choice;
    choice.Files = box.selectedFiles();
    choice.FilterIndex = int(box.nameFilters().indexOf(box.selectedNameFilter())) + 1;
    return choice;
}

} // namespace

TAnswer DefaultAnswer(TButtons buttons)
{
    return buttons == TButtons::Ok || buttons == TButtons::OkCancel ? TAnswer::Ok : TAnswer::Yes;
}

QString MessageKindName(TMessageKind kind)
{
    switch (kind) {
    case TMessageKind::Warning:
        return u"Warning"_s;
    case TMessageKind::Information:
        return u"Information"_s;
    case TMessageKind::Confirmation:
        break;
    }
    return u"Confirmation"_s;
}

QStringList QtFilters(const QString &filter)
{
    const QStringList parts = filter.split(u'|');
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString patterns = parts.at(i + 1);
        patterns.replace(u';', u' ');
        filters << parts.at(i) + u" ("_s + patterns + u')';
    }
    return filters;
}

std::optional<qint32> TPrompts::AskNumber(const QString &caption, const QString &prompt, qint32 low, qint32 high,
                                          const QString &initial)
{
    return AskBoundedNumber([&](const QString &question, const QString &text) { return InputBox(caption, question, text); },
                            prompt, low, high, initial);
}

void TDialogPrompts::Message(TMessageKind kind, const QString &caption, const QString &text)
{
    const TArrowCursor arrow;
    QMessageBox box(IconOf(kind), caption, text, QMessageBox::Ok, FParent);
    box.exec();
}

TAnswer TDialogPrompts::Ask(TMessageKind kind, const QString &caption, const QString &text, TButtons buttons)
{
    const TArrowCursor arrow;
    QMessageBox box(IconOf(kind), caption, text, ButtonsOf(buttons), FParent);
    box.setDefaultButton(DefaultAnswer(buttons) == TAnswer::Ok ? QMessageBox::Ok : QMessageBox::Yes);
    switch (box.exec()) {
    case QMessageBox::Ok:
        return TAnswer::Ok;
    case QMessageBox::Yes:
        return TAnswer::Yes;
    case QMessageBox::No:
        return TAnswer::No;
    default:
        return TAnswer::Cancel;
    }
}

std::optional<QString> TDialogPrompts::InputBox(const QString &caption, const QString &prompt, const QString &text)
{
    const TArrowCursor arrow;
    bool ok = false;
    const QString answer = QInputDialog::getText(FParent, caption, prompt, QLineEdit::Normal, text, &ok);
    if (!ok)
        return std::nullopt;
    return answer;
}

std::optional<TFileChoice> TDialogPrompts::OpenFiles(const TFileDialog &dialog)
{
    QFileDialog box(FParent);
    Prepare(box, dialog);
    box.setAcceptMode(QFileDialog::AcceptOpen);
    box.setFileMode(dialog.MultiSelect ? QFileDialog::ExistingFiles
                    : dialog.MustExist ? QFileDialog::ExistingFile
                                       : QFileDialog::AnyFile);
    return Run(box);
}

std::optional<TFileChoice> TDialogPrompts::SaveFile(const TFileDialog &dialog)
{
    QFileDialog box(FParent);
    Prepare(box, dialog);
    box.setAcceptMode(QFileDialog::AcceptSave);
    box.setFileMode(QFileDialog::AnyFile);
    return Run(box);
}

bool TDialogPrompts::PrintSetup(QPrinter &printer)
{
    const TArrowCursor arrow;
    QPrintDialog box(&printer, FParent);
    return box.exec() == QDialog::Accepted;
}

std::optional<QColor> TDialogPrompts::ChooseColor(const QColor &initial)
{
    const TArrowCursor arrow;
    const QColor chosen = QColorDialog::getColor(initial, FParent);
    if (!chosen.isValid())
        return std::nullopt;
    return chosen;
}

void TDialogPrompts::Beep()
{
    QApplication::beep();
}
