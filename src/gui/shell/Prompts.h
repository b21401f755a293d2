#pragma once

#include <QColor>
#include <QString>
#include <QStringList>

#include <optional>

class QPrinter;
class QWidget;

// Which buttons a question offers, and which one the user pressed.
enum class TButtons { Ok, OkCancel, YesNo, YesNoCancel };
enum class TAnswer { Ok, Cancel, Yes, No };
enum class TMessageKind { Warning, Information, Confirmation };

// The button a question box offers by default (the one Enter presses): OK or Yes.
TAnswer DefaultAnswer(TButtons buttons);
// "Warning", "Information" or "Confirmation", as transcripts and logs name a box.
QString MessageKindName(TMessageKind kind);

// An open or save dialog as the program describes it. Filters are written as pairs
// separated by "|" ("Army Files|*.kra|All Files|*.*"); FilterIndex counts from 1.
struct TFileDialog
{
    QString Title;
    QString Directory;
    QString FileName;
    QString Filter;
    int FilterIndex = 1;
    QString DefaultExtension;
    bool MultiSelect = false;
    bool MustExist = false;
};

// What the user chose in a file dialog.
struct TFileChoice
{
    QStringList Files;
    int FilterIndex = 1;
};

// Every message box, question, input box, file, print and colour dialog and the system
// beep go through this interface, so that a window can be driven by a test that answers
// from a script and checks what was asked.
class TPrompts
{
public:
    virtual ~TPrompts() = default;

    // A box with OK alone. While it is up the mouse shows the arrow, whatever the
    // program was busy with.
    virtual void Message(TMessageKind kind, const QString &caption, const QString &text) = 0;
    virtual TAnswer Ask(TMessageKind kind, const QString &caption, const QString &text, TButtons buttons) = 0;
    // The text typed, or nothing when cancelled.
    virtual std::optional<QString> InputBox(const QString &caption, const QString &prompt, const QString &text) = 0;
    virtual std::optional<TFileChoice> OpenFiles(const TFileDialog &dialog) = 0;
    virtual std::optional<TFileChoice> SaveFile(const TFileDialog &dialog) = 0;
    virtual bool PrintSetup(QPrinter &printer) = 0;
    virtual std::optional<QColor> ChooseColor(const QColor &initial) = 0;
    virtual void Beep() = 0;

    void Warning(const QString &caption, const QString &text) { Message(TMessageKind::Warning, caption, text); }
    void Information(const QString &caption, const QString &text)
    {
        Message(TMessageKind::Information, caption, text);
    }
    TAnswer Confirm(const QString &caption, const QString &text, TButtons buttons)
    {
        return Ask(TMessageKind::Confirmation, caption, text, buttons);
    }
    // A whole number from low to high; a wrong entry is asked again, saying what was
    // wrong with it.
    std::optional<qint32> AskNumber(const QString &caption, const QString &prompt, qint32 low, qint32 high,
                                    const QString &initial = QString());
};

// The real dialogs, shown over the given window.
class TDialogPrompts final : public TPrompts
{
public:
    void SetParent(QWidget *parent) { FParent = parent; }

    void Message(TMessageKind kind, const QString &caption, const QString &text) override;
    TAnswer Ask(TMessageKind kind, const QString &caption, const QString &text, TButtons buttons) override;
    std::optional<QString> InputBox(const QString &caption, const QString &prompt, const QString &text) override;
    std::optional<TFileChoice> OpenFiles(const TFileDialog &dialog) override;
    std::optional<TFileChoice> SaveFile(const TFileDialog &dialog) override;
    bool PrintSetup(QPrinter &printer) override;
    std::optional<QColor> ChooseColor(const QColor &initial) override;
    void Beep() override;

private:
    QWidget *FParent = nullptr;
};

// "Army Files|*.kra|All Files|*.*" as Qt writes filters: "Army Files (*.kra)" and so on.
QStringList QtFilters(const QString &filter);
