#pragma once

#include "shell/Prompts.h"

#include <QStringList>

#include <deque>
#include <variant>

// Answers the program's questions from a script and writes down every question,
// message, dialog and beep. A question the script did not expect fails the test and is
// answered with Cancel (or nothing); answers left over fail it when the script ends.
class TScriptedPrompts : public TPrompts
{
public:
    ~TScriptedPrompts() override;

    // Each expectation answers the next question of its kind; a non-empty text must be
    // the question's text (for input boxes, the prompt) exactly.
    void ExpectAsk(const QString &text, TAnswer answer);
    void ExpectMessage(const QString &text);
    void ExpectInput(const QString &prompt, std::optional<QString> answer);
    void ExpectOpen(std::optional<TFileChoice> answer);
    void ExpectSave(std::optional<TFileChoice> answer);
    void ExpectColor(std::optional<QColor> answer);
    void ExpectPrintSetup(bool answer);

    // Fails the test for every expectation not used yet, and forgets them.
    void CheckAllUsed();

    void Message(TMessageKind kind, const QString &caption, const QString &text) override;
    TAnswer Ask(TMessageKind kind, const QString &caption, const QString &text, TButtons buttons) override;
    std::optional<QString> InputBox(const QString &caption, const QString &prompt, const QString &text) override;
    std::optional<TFileChoice> OpenFiles(const TFileDialog &dialog) override;
    std::optional<TFileChoice> SaveFile(const TFileDialog &dialog) override;
    bool PrintSetup(QPrinter &printer) override;
    std::optional<QColor> ChooseColor(const QColor &initial) override;
    void Beep() override;

    // One line per event: "ask YesNoCancel Caption: text", "message Warning Caption: text",
    // "input Caption: prompt [text]", "open Title [file]", "save Title [file]", "color",
    // "print setup", "beep".
    QStringList Transcript;
    int Beeps = 0;
    TFileDialog LastFileDialog;
    // When set, an accepted print dialog prints to this PDF file, as "Print to File" does.
    QString PrintFile;

private:
    enum class TKind { Ask, Message, Input, Open, Save, Color, Print };
    struct TStep
    {
        TKind Kind;
        QString Text;
        std::variant<std::monostate, TAnswer, std::optional<QString>, std::optional<TFileChoice>,
                     std::optional<QColor>, bool>
            Answer;
    };

    // The step that answers this event, or nothing when the script did not expect it.
    std::optional<TStep> Take(TKind kind, const QString &text, const QString &event);

    std::deque<TStep> FSteps;
};
